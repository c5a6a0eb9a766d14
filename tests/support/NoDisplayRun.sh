#!/bin/sh
# Runs the built game where there is no display and no video driver is named (an ssh session, a console): it must
# end by itself within seconds, with status 1 and one line on stderr.
game="$1"
message=$(env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$game" 2>&1 >/dev/null)
status=$?
printf '%s\n' "$message"
if [ "$status" -ne 1 ]; then
  echo "expected status 1, got $status (124: still running after 10 seconds)"
  exit 1
fi
if [ "$(printf '%s\n' "$message" | wc -l)" -ne 1 ] || [ -z "$message" ]; then
  echo "expected exactly one line on stderr"
  exit 1
fi
