#!/bin/sh
# Starts Dovi from the user's own program folder. The bar keeps its configuration and skins beside the
# program and rewrites them from its preferences, so each user runs a private copy of the installed
# folder, made at the first start; later starts refresh the program, its libraries and its texts
# after an upgrade and leave the user's files alone.
set -eu
self="$(readlink -f "$0")"
installed="$(readlink -f "$(dirname "$self")/../../opt/Dovi")"
user="${XDG_DATA_HOME:-$HOME/.local/share}/Dovi"

mkdir -p "$user"
# Two starts at once (a double click, the session's start and a click) would copy over each other's
# files: one copies while the other waits. The lock goes before the bar runs, or it would hold the
# next start up for as long as the bar runs.
exec 9>"$user/.start.lock"
flock 9

if [ ! -x "$user/Dovi" ]; then
    # What the folder lacks comes in, each file whole under another name first, and nothing that is
    # there already is written over: a first start cut short (a full disk, a kill) is completed by
    # the next one. The program comes last, so that its presence tells the copy is complete.
    for entry in "$installed"/*; do
        name="$(basename "$entry")"
        if [ "$name" = Dovi ] || [ "$name" = Dovi.desktop ] || [ -e "$user/$name" ]; then
            continue
        fi
        rm -rf "$user/$name.new"
        cp -R "$entry" "$user/$name.new"
        mv "$user/$name.new" "$user/$name"
    done
    cp -f "$installed/Dovi" "$user/Dovi.new"
    mv -f "$user/Dovi.new" "$user/Dovi"
else
    # The skins are the user's once moved into Boutons/; the texts are only read, never edited.
    for file in "$installed"/Dovi "$installed"/*.so "$installed"/Licence*.txt "$installed"/Informations*.txt; do
        [ -f "$file" ] || continue
        target="$user/$(basename "$file")"
        if ! cmp -s "$file" "$target"; then
            # A bar that runs has the old files mapped: the new ones take their names by a rename,
            # never by writing over them.
            cp -f "$file" "$target.new"
            mv -f "$target.new" "$target"
        fi
    done
fi
exec 9>&-
# Starting with the session goes through this command too, so that it also runs the refreshed copy.
DOVI_LAUNCHER="$self"
export DOVI_LAUNCHER
exec "$user/Dovi" "$@"
