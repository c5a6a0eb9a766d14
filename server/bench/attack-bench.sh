#!/usr/bin/env bash
# How long an honest game waits for the board while one party floods the checks, on loopback: kestrovar-scores on
# SQLite with its default limits, behind "a proxy" on 127.0.0.1 (trusted, as the shipped nginx site is), so that the
# party's many addresses (127.1.0.x) and the honest player (127.2.0.1) are told apart as a deployed server tells
# them. The honest game is timed alone first, then under the flood; the attack stops once the game shows.
#   server/bench/attack-bench.sh [BUILD_DIR]      BUILD_DIR defaults to build/rel
# Environment: GAME (the honest game and the flood's first seconds; default server/bench/TenMinuteGame.txt),
# ADDRESSES (the party's addresses, default 17), FLOOD (seconds of flood before the honest game, default 5).
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build/rel}"
game="${GAME:-server/bench/TenMinuteGame.txt}"
server="$build/server/kestrovar-scores"
bench="$build/server/kestrovar_verify_bench"
for tool in "$server" "$bench"; do [ -x "$tool" ] || { echo "build $tool first" >&2; exit 1; }; done

work="$(mktemp -d /tmp/kestrovar-attack-XXXXXX)"
serverPid=""
cleanup() {
  [ -n "$serverPid" ] && kill "$serverPid" 2>/dev/null && wait "$serverPid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$server" --port 0 --db "$work/scores.sqlite" --trusted-proxy 127.0.0.1 --request-log 0 2>"$work/server.log" &
serverPid=$!
port=""
for _ in $(seq 100); do
  port="$(grep -o 'listening on [0-9.]*:[0-9]*' "$work/server.log" 2>/dev/null | sed 's/.*://' || true)"
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { cat "$work/server.log" >&2; exit 1; }
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)"
"$bench" attack "$port" "$game" "$work/scores.sqlite" "${ADDRESSES:-17}" "${FLOOD:-5}"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
