#!/usr/bin/env bash
# The score server's load figures: wrk on loopback against kestrovar-scores, getscore (the top ten) requests per
# second and p99 latency, on SQLite and on PostgreSQL (a private PostgreSQL started in a temporary folder): idle, then
# while a burst of uploaded games is being checked, and beside nginx serving the same reply text as a static file,
# measured right after it with the same wrk command.
#   server/bench/wrk-bench.sh [BUILD_DIR]      BUILD_DIR defaults to build/rel
# Environment: GAME (the game the burst uploads; default: a ten-minute bot game made first), BURST (games uploaded at
# once, default 20), DURATION (seconds, default 10), CONNECTIONS (default 8), WRK_THREADS (default 2),
# SERVER_THREADS (event loops, default: one a core), WITH_NGINX (default 1; 0 leaves the yardstick out), BACKENDS
# (default "sqlite postgresql"), AUTOGROUP_NICE (root only, e.g. -10: on a shared machine busy with other work, a
# larger CPU share for this script's scheduling group and PostgreSQL's, which the kernel's autogroups otherwise share
# out evenly with every other session; the figures then say so).
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build/rel}"
duration="${DURATION:-10}"
connections="${CONNECTIONS:-8}"
wrkThreads="${WRK_THREADS:-2}"
serverThreads="${SERVER_THREADS:-$(nproc)}"
withNginx="${WITH_NGINX:-1}"
backends="${BACKENDS:-sqlite postgresql}"
autogroupNice="${AUTOGROUP_NICE:-}"
server="$build/server/kestrovar-scores"
signer="$build/server/kestrovar_scores_signer"
bench="$build/server/kestrovar_verify_bench"
burst="${BURST:-20}"
lua="server/bench/getscore.lua"
for tool in "$server" "$signer" "$bench"; do [ -x "$tool" ] || { echo "build $tool first" >&2; exit 1; }; done
command -v wrk >/dev/null || { echo "wrk is missing (tools/setup.sh installs it)" >&2; exit 1; }
if [ "$withNginx" = 1 ] && ! [ -x /usr/sbin/nginx ]; then
  echo "nginx is missing (tools/setup.sh installs it)" >&2
  exit 1
fi

work="$(mktemp -d /tmp/kestrovar-bench-XXXXXX)"
mkdir -p "$work/static"
chmod 755 "$work" "$work/static" # nginx's workers run as nobody when started as root
serverPid=""
nginxPid=""
pgBin=""
runAs=()
cleanup() {
  [ -n "${autogroupBefore:-}" ] && echo "$autogroupBefore" >/proc/self/autogroup # the group is the caller's too
  [ -n "$serverPid" ] && kill "$serverPid" 2>/dev/null && wait "$serverPid" 2>/dev/null || true
  [ -n "$nginxPid" ] && kill "$nginxPid" 2>/dev/null && wait "$nginxPid" 2>/dev/null || true
  [ -n "$pgBin" ] && "${runAs[@]}" "$pgBin/pg_ctl" -D "$work/pg/data" -m fast -w stop >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

startPostgres() {
  pgBin="$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)"
  mkdir -p "$work/pg"
  if [ "$(id -u)" -eq 0 ]; then # initdb and postgres refuse root
    chown nobody "$work/pg"
    chmod 755 "$work"
    runAs=(runuser -u nobody --)
  fi
  "${runAs[@]}" "$pgBin/initdb" -D "$work/pg/data" -A trust -U kestrovar --no-sync >/dev/null
  "${runAs[@]}" "$pgBin/pg_ctl" -D "$work/pg/data" -l "$work/pg/data/server.log" -w \
    -o "-c listen_addresses='' -k $work/pg -p 5432" start >/dev/null
  "${runAs[@]}" "$pgBin/createdb" -h "$work/pg" -p 5432 -U kestrovar kestrovar
  # pg_ctl starts the server in a session (and so a scheduling group) of its own.
  [ -n "$autogroupNice" ] && echo "$autogroupNice" >"/proc/$(head -1 "$work/pg/data/postmaster.pid")/autogroup"
  return 0
}

measure() {
  local backend="$1" db="$2"
  # The burst is one client's: its prefix may hold all of it, and have it all checked now, not over minutes.
  "$server" --port 0 --db "$db" --rate-limit 0 --threads "$serverThreads" --verify-per-address "$burst" \
    --verify-frames-per-minute 100000000 --connections-per-address $((burst + 16)) --request-log 0 \
    2>"$work/$backend.log" &
  serverPid=$!
  local port=""
  for _ in $(seq 100); do
    port="$(grep -o 'listening on [0-9.]*:[0-9]*' "$work/$backend.log" 2>/dev/null | sed 's/.*://' || true)"
    [ -n "$port" ] && break
    sleep 0.1
  done
  [ -n "$port" ] || { cat "$work/$backend.log" >&2; exit 1; }
  # A full top ten: games cut from the burst's game, each checked.
  "$bench" fill "$port" "$game" 12 "$db" >/dev/null
  # Reads need no signature, but the game signs them, each with its own nonce; the server remembers no nonce, so
  # the run goes round these as often as it needs.
  "$signer" 200000 "option=getscore&nbscore=10" >"$work/paths"
  # The yardstick's file: the same reply text.
  curl -sf "http://127.0.0.1:$port$(head -1 "$work/paths")" >"$work/static/Kestrovar_scores.php"
  runWrk "$backend getscore idle" "$port" "server --threads $serverThreads"
  # The same, while a burst of games is uploaded a second in and checked, one worker a core.
  (sleep 1 && "$bench" upload "$port" "$game" "$burst" "$db" >"$work/burst") &
  local uploader=$!
  runWrk "$backend getscore during a burst of $burst checks ($(basename "$game"))" "$port" \
    "server --threads $serverThreads"
  wait "$uploader"
  echo "  the burst: $(cat "$work/burst")"
  kill "$serverPid"
  wait "$serverPid" || true
  serverPid=""
  if [ "$withNginx" = 1 ]; then
    # nginx serves the reply as a static file, with as many workers as the server has event loops.
    startNginx
    runWrk "nginx ($backend reply) getscore" "$nginxPort" \
      "nginx static file, $serverThreads workers, sendfile, open_file_cache, no access log"
    kill "$nginxPid"
    wait "$nginxPid" || true
    nginxPid=""
  fi
}

# One wrk run of getscore; prints its figures after the label given.
runWrk() {
  local label="$1" port="$2" what="$3"
  loadBefore="$(cut -d' ' -f1-3 /proc/loadavg)"
  wrk -t"$wrkThreads" -c"$connections" -d"${duration}s" --latency -s "$lua" "http://127.0.0.1:$port" \
    -- "$work/paths" "$wrkThreads" >"$work/run.wrk"
  local rps p99 p50 non2xx errors
  rps="$(awk '/^requests_per_second/ {print $2}' "$work/run.wrk")"
  p99="$(awk '/^p99_ms/ {print $2}' "$work/run.wrk")"
  p50="$(awk '/^p50_ms/ {print $2}' "$work/run.wrk")"
  non2xx="$(awk '/^non_2xx/ {print $2}' "$work/run.wrk")"
  errors="$(awk '/^socket_errors/ {print $2}' "$work/run.wrk")"
  echo "$label: $rps requests/s, p99 $p99 ms, p50 $p50 ms ($non2xx non-2xx, $errors socket errors;" \
    "wrk -t$wrkThreads -c$connections -d${duration}s, $what, $(nproc) cores," \
    "load average before: $loadBefore${autogroupNice:+, autogroup nice $autogroupNice})"
}

startNginx() {
  nginxPort="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
  cat >"$work/nginx.conf" <<CONF
worker_processes $serverThreads;
daemon off;
pid $work/nginx.pid;
error_log $work/nginx-error.log;
events { worker_connections 1024; }
http {
  # Tuned as an operator would: no access log (the server writes none either), sendfile, open files kept.
  access_log off;
  sendfile on;
  tcp_nopush on;
  open_file_cache max=64 inactive=60s;
  open_file_cache_valid 60s;
  client_body_temp_path $work/nginx-body;
  proxy_temp_path $work/nginx-proxy;
  fastcgi_temp_path $work/nginx-fastcgi;
  uwsgi_temp_path $work/nginx-uwsgi;
  scgi_temp_path $work/nginx-scgi;
  server {
    listen 127.0.0.1:$nginxPort;
    root $work/static;
    location / { default_type "text/plain; charset=utf-8"; }
  }
}
CONF
  /usr/sbin/nginx -c "$work/nginx.conf" -e "$work/nginx-error.log" &
  nginxPid=$!
  for _ in $(seq 100); do
    curl -sf "http://127.0.0.1:$nginxPort/Kestrovar_scores.php" >/dev/null && break
    sleep 0.1
  done
}

game="${GAME:-}"
if [ -z "$game" ]; then
  game="$work/ten-minute-game.txt"
  "$bench" make-game "$game" >/dev/null
fi

if [ -n "$autogroupNice" ]; then
  autogroupBefore="$(sed 's/.*nice //' /proc/self/autogroup)"
  echo "$autogroupNice" >/proc/self/autogroup
fi

for backend in $backends; do
  case "$backend" in
  sqlite) measure sqlite "$work/scores.sqlite" ;;
  postgresql)
    startPostgres
    measure postgresql "postgresql:///kestrovar?host=$work/pg&port=5432&user=kestrovar"
    ;;
  *) echo "unknown back end $backend" >&2; exit 1 ;;
  esac
done
