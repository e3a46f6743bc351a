#!/bin/sh
# Starts Dovi from the user's own program folder. The bar keeps its configuration and skins beside the
# program and rewrites them from its preferences, so each user runs a private copy of the installed
# folder, made at the first start; later starts refresh the program and its libraries after an upgrade
# and leave the user's files alone.
set -eu
here="$(dirname "$(readlink -f "$0")")"
installed="$(readlink -f "$here/../../opt/Dovi")"
user="${XDG_DATA_HOME:-$HOME/.local/share}/Dovi"

if [ ! -x "$user/Dovi" ]; then
    mkdir -p "$user"
    cp -R "$installed/." "$user/"
    rm -f "$user/Dovi.desktop"
else
    for file in "$installed"/Dovi "$installed"/*.so; do
        target="$user/$(basename "$file")"
        cmp -s "$file" "$target" || cp -f "$file" "$target"
    done
fi
exec "$user/Dovi" "$@"
