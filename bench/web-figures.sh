#!/usr/bin/env bash
# The browser build's figures (tools/web.sh first), beside the native build's on the same machine (build/release's
# kestrovar, when built):
#   web_download_gzip_bytes        the page, its script and its WebAssembly, gzip-compressed as the score server sends
#   web_first_frame_ms             headless chromium at 1024 x 768: from the page's start to its first drawn frame
#   web_frame_busy_ms              the page's main thread per shown frame, the frames made behind it included
#   web_drawn_frame_ms             of that, the shown frame's own step and draw
#   web_frames_shown_per_second    SwiftShader's rasteriser is the limit here, not the game
#   web_game_frames_per_second     the game's frames made (60 while at least 3 are shown a second)
#   web_cpu_per_second_watched     chromium's processes, all together, per second of the first bot game watched
#   web_cpu_per_shown_frame_ms     the same per shown frame
#   native_frame_cpu_ms            the desktop build watching the same game (SDL's offscreen driver, Mesa's llvmpipe
#                                  drawing in software as SwiftShader does), every frame stepped and drawn: a long
#                                  watch's processor time less a short one's, over the frames between, so start-up
#                                  and the closing card cancel
#   native_cpu_per_second_watched  the same, for a second of the game (60 frames)
# The page is served from loopback by Python's file server, standing in for the score server's --play-folder.
#   bench/web-figures.sh [SECONDS]      (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-10}"
work="$(mktemp -d)"
server=""
trap '[ -z "$server" ] || kill "$server"; rm -rf "$work"' EXIT
mkdir -p "$work/site/play"
cp build/web/kestrovar.html "$work/site/play/index.html"
cp build/web/kestrovar.js build/web/kestrovar.wasm "$work/site/play/"
cp tests/replay/FirstGame.txt "$work/site/Kestrovar_scores.php"
bytes=0
for file in kestrovar.html kestrovar.js kestrovar.wasm; do
  bytes=$((bytes + $(gzip -9 -c "build/web/$file" | wc -c)))
done
echo "web_download_gzip_bytes: $bytes bytes"
port=$((20000 + RANDOM % 20000))
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/site" > "$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do curl -sf "http://127.0.0.1:$port/play/" > /dev/null && break; sleep 0.1; done
node bench/web-page.mjs "http://127.0.0.1:$port/play/?game=$(sha256sum < tests/replay/FirstGame.txt | cut -c1-64)" \
  "$work/profile" "$seconds"

native="$PWD/build/release/kestrovar"
if [ ! -x "$native" ]; then
  echo "native figures left out: build/release's kestrovar is not built" >&2
  exit 0
fi
short=60
long=$((short + 60 * seconds))
for frames in "$short" "$long"; do
  awk -v last="$frames" '/^[0-9]/ && $1 >= last { next } /^end / { next } { print } END { print "end " last }' \
    tests/replay/FirstGame.txt > "$work/watch-$frames.txt"
  (cd "$work" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy /usr/bin/time -f '%U %S' -o "cpu-$frames" \
    "$native" --watch "watch-$frames.txt" > /dev/null)
done
awk -v short="$short" -v long="$long" '
  FILENAME ~ /cpu-[0-9]+$/ { split(FILENAME, name, "-"); cpu[name[2]] = ($1 + $2) * 1000 }
  END {
    perFrame = (cpu[long] - cpu[short]) / (long - short)
    printf "native_frame_cpu_ms: %.2f ms\n", perFrame
    printf "native_cpu_per_second_watched: %.0f ms\n", perFrame * 60
  }' "$work/cpu-$short" "$work/cpu-$long"
