#!/usr/bin/env bash
# Starts Grimalou on the current display, or on a virtual X display when there is none.
set -u
exe=${1:-build/grimalou}
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$exe"
fi
echo "No X display is available: starting Grimalou on a virtual display (Xvfb, 1920x1080)."
echo "Nothing will appear on screen; close it with Ctrl+C."
exec xvfb-run -a -s "-screen 0 1920x1080x24" "$exe"
