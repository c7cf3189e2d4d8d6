#!/usr/bin/env bash
# Runs one fuzz harness for a long time with random seeds, keeping what it
# finds in its build-tree corpus: bash tests/fuzz/run-long.sh <harness> [seconds]
set -eu
name=$1
seconds=${2:-600}
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$top/build-fuzz
cmake -S "$top" -B "$build" -DGRIMALOU_FUZZ=ON -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$build" --target "$name" -j "$(nproc)"
mkdir -p "$build/tests/fuzz/${name}_corpus"
"$build/tests/fuzz/$name" -max_total_time="$seconds" -rss_limit_mb=2048 \
  "$build/tests/fuzz/${name}_corpus" "$top/tests/fuzz/$name"
