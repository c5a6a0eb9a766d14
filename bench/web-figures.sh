#!/usr/bin/env bash
# The browser build's figures (tools/web.sh first): its download, gzip-compressed as the score server sends it, and,
# in headless chromium at 1024 x 768, the time to its first drawn frame and its frames while watching the first bot
# game. The page is served from loopback by Python's file server, standing in for the score server's --play-folder.
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
