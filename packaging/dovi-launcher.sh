#!/bin/sh
# Starts Dovi: the program installed in ../lib/dovi beside this command. The bar keeps each user's
# configuration, skins and run marker in the user's own folder and runs nothing from there.
set -eu
self="$(readlink -f "$0")"
program="$(dirname "$self")/../lib/dovi/Dovi"
user="${XDG_DATA_HOME:-$HOME/.local/share}/Dovi"

# Earlier packages ran a private copy of the program from that same folder: the copy is not run any
# more and its program files go (also those a copy cut short left under another name), while the
# user's configuration, skins and run marker stay where the bar now looks for them.
if [ -d "$user" ]; then
    for name in Dovi "$user"/lib*.so dovi.png "Licence fr.txt" "Licence eng.txt" \
        "Informations fr.txt" "Informations eng.txt"; do
        name="$(basename "$name")"
        rm -f "$user/$name" "$user/$name.new"
    done
    rm -f "$user"/lib*.so.new "$user/.start.lock"
fi

# The bar registers this command, not the program, to start with the session.
DOVI_LAUNCHER="$self"
export DOVI_LAUNCHER
exec "$program" "$@"
