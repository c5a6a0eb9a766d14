#!/usr/bin/env bash
# The browser build plays every game as the native build does: the replay tool under Node prints, frame by frame,
# the same state lines, closing line, complaints and exit status as the native tool.
#   tests/web/CompareReplays.sh NATIVE_REPLAY WEB_REPLAY_JS
# Games: the golden game as recorded, in the grey palette, and in the wireframe style on a pad (the goldens'
# variations), the ten-minute game, a game of other rules and a broken script (both refused by name).
set -euo pipefail
native="$1"
web="$2"
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

first="$root/tests/replay/FirstGame.txt"
sed "/^rules /a palette grey" "$first" > "$work/GreyGame.txt"
# The pad's stick for the arrow keys (37 left, 39 right), its buttons for fire (162) and thrust (164).
awk 'BEGIN { left = 0; right = 0 }
     /^rules / { print; print "style wireframe"; print "controls pad"; print "0 plug"; next }
     $2 == "down" || $2 == "up" {
       d = $2 == "down"
       if ($3 == 37 || $3 == 39) {
         if ($3 == 37) left = d; else right = d
         print $1, "pad", right - left, 0; next
       }
       if ($3 == 162 || $3 == 164) { print $1, (d ? "button-down" : "button-up"), ($3 == 164 ? 1 : 0); next }
     }
     { print }' "$first" > "$work/WireframePadGame.txt"
grep -q "^rules " "$first" || { echo "FirstGame.txt has no rules line to follow" >&2; exit 1; }

failed=0
for script in "$first" "$work/GreyGame.txt" "$work/WireframePadGame.txt" "$root/server/bench/TenMinuteGame.txt" \
  "$root/tests/replay/FirstRulesGame.txt" "$root/tests/replay/BadScript.txt"; do
  name="$(basename "$script")"
  status=0
  "$native" "$script" --every 1 > "$work/native.out" 2> "$work/native.err" || status=$?
  echo "exit $status" >> "$work/native.out"
  status=0
  node "$web" "$script" --every 1 > "$work/web.out" 2> "$work/web.err" || status=$?
  echo "exit $status" >> "$work/web.out"
  if cmp -s "$work/native.out" "$work/web.out" && cmp -s "$work/native.err" "$work/web.err"; then
    echo "same: $name ($(wc -l < "$work/native.out") lines, $(tail -2 "$work/native.out" | head -1 | cut -c1-60))"
  else
    echo "DIFFERENT: $name"
    diff "$work/native.out" "$work/web.out" | head -5 || true
    diff "$work/native.err" "$work/web.err" | head -5 || true
    failed=1
  fi
done
exit $failed
