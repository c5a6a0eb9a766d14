#!/usr/bin/env bash
# Installs the build into a fresh prefix and starts the installed game: the launcher, the game beside its network
# component, the desktop entry and the icon are where they belong, and the game started by the launcher runs in the
# player's data folder and plays a kept game of two frames (which ends it quickly).
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
for file in bin/kestrovar libexec/kestrovar/kestrovar libexec/kestrovar/libkestrovar_net.so \
    share/applications/kestrovar.desktop share/icons/hicolor/256x256/apps/kestrovar.png; do
    [ -e "$work/prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
entry="$work/prefix/share/applications/kestrovar.desktop"
grep -qx "Exec=$work/prefix/bin/kestrovar" "$entry" || { echo "the desktop entry runs something else"; exit 1; }
grep -qx "Icon=$work/prefix/share/icons/hicolor/256x256/apps/kestrovar.png" "$entry" || { echo "no icon"; exit 1; }

printf 'seed 7\nrules 2\nend 2\n' >"$work/two-frames.txt"
cd "$work"
# In the sanitizer build the leak checker would report what SDL's offscreen driver itself keeps until exit.
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" \
XDG_DATA_HOME="$work/data" SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy timeout 60 \
    prefix/bin/kestrovar --watch two-frames.txt >"$work/out"
grep -q "^end=script-ended frame=2 " "$work/out" || { echo "the installed game did not play"; cat "$work/out"; exit 1; }
[ -d "$work/data/kestrovar" ] || { echo "no data folder"; exit 1; }
echo "installed and started"
