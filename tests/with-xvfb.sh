#!/usr/bin/env bash
# Runs a command on a private Xvfb display (1920x1080x24) and stops the server afterwards.
# Xvfb picks a free display number itself (-displayfd), so parallel tests never collide.
set -u
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
xvfb_pid=$!
read -r -t 20 display_number <"$fifo"
rm -f "$fifo"
if [ -z "${display_number:-}" ]; then
  echo "Xvfb did not start" >&2
  kill "$xvfb_pid" 2>/dev/null
  exit 1
fi
export DISPLAY=":$display_number"
"$@"
status=$?
kill "$xvfb_pid" 2>/dev/null
wait "$xvfb_pid" 2>/dev/null
exit $status
