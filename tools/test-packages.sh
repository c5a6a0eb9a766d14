#!/usr/bin/env bash
# The Debian packages as a user and an operator get them: built (tools/package.sh), installed with apt-get, the
# golden game played by the installed replay tool and a short game watched by the installed launcher, the installed
# unit's command started as the unit starts it (its user and capabilities) on a free loopback port and the board read,
# the installed game played under Xvfb and synced with that server, named in the machine's score-server.conf, until
# its game is on the board (screenshots left in build/deb/), the unit checked by systemd-analyze, then purged:
# nothing may be left but the board's database. Needs root, xvfb, xdotool and imagemagick; it refuses to touch a
# machine where the packages or a board in /var/lib/kestrovar are already there.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
if [ "$(id -u)" -ne 0 ]; then
  echo "tools/test-packages.sh: installing packages needs root; not run" >&2
  exit 1
fi
# One run at a time on a machine: the packages are the machine's, not the checkout's.
exec 9>/run/lock/kestrovar-test-packages
flock -w 900 9 || { echo "tools/test-packages.sh: another run holds the machine's packages" >&2; exit 1; }
if dpkg-query -W -f='${Status}\n' kestrovar kestrovar-scores 2>/dev/null | grep -qE 'ok installed|config-files' || [ -e /var/lib/kestrovar ]
then
  echo "tools/test-packages.sh: kestrovar is installed here already (or /var/lib/kestrovar exists); not run" >&2
  exit 1
fi

tools/package.sh
packages=()
for deb in build/deb/*.deb; do packages+=("$(dpkg-deb -f "$deb" Package)"); done

work=$(mktemp -d)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "${packages[@]}" >/dev/null 2>&1 || true
  rm -rf /var/lib/kestrovar "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

echo "== installing"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$root"/build/deb/*.deb >/dev/null
owned=$(dpkg -L "${packages[@]}" | sort -u | while read -r f; do [ -d "$f" ] || echo "$f"; done)

echo "== the installed game"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$HOME"
/usr/games/kestrovar_replay tests/replay/FirstGame.txt --every 1 | sed -n 's/^frame=.*hash=//p' >"$work/hashes"
cmp -s "$work/hashes" tests/replay/FirstGame.golden || fail "the installed replay tool does not play the golden game"
# A short game under the rules this build plays (the golden game's script names them).
printf 'seed 7\nrules %s\nend 90\n' "$(sed -n 's/^rules //p' tests/replay/FirstGame.txt)" >"$work/short.txt"
(cd "$work" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy timeout 60 /usr/games/kestrovar --watch short.txt) \
  >"$work/watch.log" 2>&1 || { cat "$work/watch.log"; fail "the installed game does not watch a game"; }
grep -q '^end=script-ended frame=90 ' "$work/watch.log" || { cat "$work/watch.log"; fail "no closing line"; }
grep -q '^Exec=/usr/games/kestrovar$' /usr/share/applications/kestrovar.desktop || fail "the desktop entry"

echo "== the installed server"
unit=/lib/systemd/system/kestrovar-scores.service
systemd-analyze verify "$unit"
user=$(sed -n 's/^User=//p' "$unit")
command=$(sed -n 's/^ExecStart=//p' "$unit" | sed 's/--port [0-9]*/--port 0/')
# The unit's own user and environment (its board in /var/lib/kestrovar); systemd expands the options variable.
KESTROVAR_SCORES_OPTIONS=
# shellcheck disable=SC1091
. /etc/default/kestrovar-scores
read -ra args <<<"${command/\$KESTROVAR_SCORES_OPTIONS/$KESTROVAR_SCORES_OPTIONS}"
# As the unit starts it: its user, no new privileges, and the unit's capabilities as its only (ambient) ones.
caps=$(sed -n 's/^AmbientCapabilities=//p' "$unit" | tr 'A-Z' 'a-z' | sed 's/cap_/+/g; s/ /,/g')
[ "$caps" = "+setuid,+setgid" ] || fail "the unit's capabilities: $caps"
[ "$(sed -n 's/^CapabilityBoundingSet=//p' "$unit")" = "CAP_SETUID CAP_SETGID" ] || fail "the unit's bounding set"
XDG_DATA_HOME=/var/lib setpriv --reuid="$user" --regid="$user" --init-groups --no-new-privs --inh-caps="-all,$caps" \
  --ambient-caps="$caps" --bounding-set="-all,$caps" "${args[@]}" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 100); do
  port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/server.log")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { cat "$work/server.log"; fail "the installed server did not start"; }
! grep -q 'cannot be run' "$work/server.log" || { cat "$work/server.log"; fail "the installed server lacks its checker"; }
grep -q "checks run as kestrovar-check (uid $(id -u kestrovar-check)) with no capability" "$work/server.log" ||
  { cat "$work/server.log"; fail "the installed server's checks do not run as kestrovar-check"; }
grep -q '^CapEff:[[:space:]]*0*$' "/proc/$server/status" || fail "the installed server holds effective capabilities"
curl -sf "http://127.0.0.1:$port/Kestrovar_scores.php?option=getscore&nbscore=10" >/dev/null || fail "board unread"
if [ -x build/release/server/kestrovar_scores_signer ]; then
  game=$(sha256sum tests/replay/FirstGame.txt | cut -d' ' -f1)
  path=$(build/release/server/kestrovar_scores_signer 1 \
    "option=addscore&user=packages&level=3&score=5060%20&date=08%20Dec%202026&difficulty=&game=$game")
  reply=$(curl -s -w ' %{http_code}' -H 'Content-Type: text/plain' --data-binary @tests/replay/FirstGame.txt \
    "http://127.0.0.1:$port$path")
  echo "upload of the golden game: $(echo "$reply" | tr '\n' ' ')"
  case "$reply" in *" 200" | *" 202") ;; *) fail "the installed server did not check a game" ;; esac
fi

echo "== the installed game syncs with the machine's server"
# The machine's file names the server (the player names none), and a player plays the installed game under Xvfb as
# a person would: the intro skipped, a game started (seeded by the server's ticket, fetched at the menu), the ship
# turned a little towards the rings and fired until a section breaks, the game left, the scores shown and synced.
# The checked game must then be on the server's board. Keys are sent in real time, so a busy machine can make one
# go astray (a press lost in a page's change): each try starts the game afresh, and the board says when one got
# through.
started=$SECONDS
printf 'server = http://127.0.0.1:%s/\n' "$port" >/etc/xdg/kestrovar/score-server.conf
unset KESTROVAR_SCORE_SERVER XDG_CONFIG_DIRS
data=$XDG_DATA_HOME/kestrovar
cat >"$work/play.sh" <<'PLAY'
#!/bin/bash
# Under xvfb-run: the installed launcher, driven by keys, until the board at $2 shows a game of the player's; leaves
# screenshots of the last try's steps in $1.
set -u
shots=$1 board=$2
last=$data/Kestrovar-last-game.txt
shot() { import -window root "$shots/$1.png"; }
# The game's score line, yellow at the playfield's top: shown only in play (the 1024 x 768 window in the middle).
playing() {
  [ "$(import -window root png:- | convert - -crop 260x30+828+156 -format '%[fx:mean.r > 0.1 && mean.b < 0.07]' info:)" = 1 ]
}
on_board() {
  curl -s "$board" | paste - - - - - | awk '$1 == "unnamed" && $3 > 0' | grep -q .
}
for try in 1 2 3; do
  rm -f "$last" "$data/Kestrovar.dat" # a fresh player: the settings as shipped, no kept game
  SDL_AUDIODRIVER=dummy /usr/games/kestrovar >"$shots/game.log" 2>&1 &
  game=$!
  window=
  for _ in $(seq 150); do
    window=$(xdotool search --name '^Kestrovar' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.2
  done
  [ -n "$window" ] || { echo "no game window"; exit 1; }
  sleep 3
  xdotool windowfocus --sync "$window"
  xdotool key Escape # the intro
  sleep 3
  xdotool key Return # start game (the menu's first item)
  for _ in $(seq 60); do playing && break; sleep 0.5; done # past the level's page
  xdotool keydown Left sleep 0.05 keyup Left # about 15 degrees: the rings' edge, from where the ship starts
  xdotool key --repeat 60 --delay 60 Control_L
  shot "play-$try"
  # Escape opens the exit prompt and Return leaves; pressed while a lost ship's page shows, they do nothing.
  for _ in 1 2 3 4; do
    xdotool key Escape
    sleep 1
    xdotool key Return
    sleep 4
    [ -f "$last" ] && break
  done
  if grep -q '^; score=[1-9]' "$last" 2>/dev/null; then
    sleep 2
    for _ in 1 2 3; do xdotool key Down; sleep 1.5; done # start, instructions, options, show scores
    shot menu
    xdotool key Return # the high-score screen
    sleep 3
    xdotool key Return # sync
    for _ in $(seq 20); do on_board && break; sleep 1; done
    sleep 2
    shot synced
  fi
  kill "$game"
  wait "$game" 2>/dev/null
  on_board && exit 0
done
exit 0
PLAY
chmod +x "$work/play.sh"
mkdir -p "$work/shots" "$data"
board="http://127.0.0.1:$port/Kestrovar_scores.php?option=getscore&nbscore=10"
played=0
data=$data xvfb-run -a -s "-screen 0 1920x1080x24" timeout 400 "$work/play.sh" "$work/shots" "$board" || played=$?
cp "$work"/shots/*.png build/deb/ 2>/dev/null || true
[ "$played" = 0 ] || fail "the installed game could not be played under Xvfb (status $played)"
kept=$(sed -n 's/^; score=\([0-9]*\) level=\([0-9]*\) .*/\1 \2/p' "$data/Kestrovar-last-game.txt" 2>/dev/null || true)
echo "kept game: score and level ${kept:-none}"
[ -n "$kept" ] && [ "${kept%% *}" -gt 0 ] || fail "no game scored in three tries (screenshots in build/deb/)"
grep -q '^ticket ' "$data/Kestrovar-last-game.txt" || fail "the kept game was not seeded by the server's ticket"
rows=$(curl -s "$board" || true)
echo "$rows" | paste - - - - - | awk -v s="${kept%% *}" -v l="${kept##* }" '$1 == "unnamed" && $2 == l && $3 == s' |
  grep -q . || { cat "$work/server.log"; fail "the synced game is not on the board (screenshots in build/deb/)"; }
echo "on the board: $(echo "$rows" | head -3 | tr '\n' ' ') (the played sync took $((SECONDS - started)) s)"

kill "$server"
wait "$server" || true
server=
[ -f /var/lib/kestrovar/scores.sqlite ] || fail "no board in /var/lib/kestrovar"

echo "== purging"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "${packages[@]}" >"$work/purge.log" 2>&1 ||
  { cat "$work/purge.log"; fail "purge"; }
grep -q "the board's database stays in /var/lib/kestrovar" "$work/purge.log" || fail "the purge does not say the board stays"
left=$(for f in $owned; do if [ -e "$f" ] || [ -L "$f" ]; then echo "$f"; fi; done)
[ -z "$left" ] || fail "left after purge: $left"
for name in kestrovar kestrovar-check; do
  ! getent passwd "$name" >/dev/null || fail "user $name left after purge"
  ! getent group "$name" >/dev/null || fail "group $name left after purge"
done
[ ! -e /etc/systemd/system/multi-user.target.wants/kestrovar-scores.service ] || fail "the service is still enabled"
[ ! -e /etc/xdg/kestrovar ] && [ ! -e /etc/default/kestrovar-scores ] || fail "configuration left after purge"
[ -z "$(find /var/lib/kestrovar -type f ! -name 'scores.sqlite*')" ] || fail "more than the board left in /var/lib"
echo "== packages passed"
