#!/usr/bin/env bash
# Runs the benchmarks of a build folder: bash bench/run.sh <builddir>
# The canvas benchmark runs twice on a private Xvfb: with Mesa's llvmpipe
# (frame time is mostly rasterisation on the CPU) and with the no-op driver
# (what the renderer itself costs). The threaded no-op mode is avoided: it
# crashes on a second buffer upload within a frame.
set -u
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
status=0
if [ -x "$build/bench/bench_collector" ]; then
  echo "== collector"
  "$build/bench/bench_collector" || status=1
fi
echo "== canvas, Mesa llvmpipe"
timeout 600 bash "$here/../tests/with-xvfb.sh" "$build/bench/bench_canvas" || status=1
echo "== canvas, Mesa no-op driver (GALLIUM_NOOP=1 GALLIUM_THREAD=0)"
GALLIUM_NOOP=1 GALLIUM_THREAD=0 timeout 600 bash "$here/../tests/with-xvfb.sh" "$build/bench/bench_canvas" || status=1
echo "== application in process, Mesa llvmpipe"
ALSOFT_DRIVERS=null timeout 600 bash "$here/../tests/with-xvfb.sh" "$build/bench/bench_app" || status=1
echo "== application in process, Mesa no-op driver (GALLIUM_NOOP=1 GALLIUM_THREAD=0)"
ALSOFT_DRIVERS=null GALLIUM_NOOP=1 GALLIUM_THREAD=0 timeout 600 bash "$here/../tests/with-xvfb.sh" \
  "$build/bench/bench_app" || status=1
echo "== the executable: start-up and idle, against a bare GLFW window (Mesa llvmpipe)"
ALSOFT_DRIVERS=null timeout 600 python3 "$here/bench_start_idle.py" "$build/grimalou" "$build/bench/bare_window" \
  "$build/bench/first_frame" || status=1
exit $status
