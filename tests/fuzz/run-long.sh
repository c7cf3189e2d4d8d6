#!/usr/bin/env bash
# Runs the fuzz harnesses one after another, each until ten million executions
# or ten minutes, whichever comes first, with a random seed, keeping what each
# finds in its build-tree corpus. Prints one line per harness: executions,
# seconds, executions per second (of the clock, and of the processor time the
# harness had: on a busy machine the two differ), coverage (edges reached) and
# crashes; a crashing input is kept in build-fuzz/tests/fuzz/ under the
# harness's name.
#   bash tests/fuzz/run-long.sh [harness...]     (all harnesses by default)
# FUZZ_SECONDS and FUZZ_RUNS change the bounds.
set -u
seconds=${FUZZ_SECONDS:-600}
runs=${FUZZ_RUNS:-10000000}
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$top/build-fuzz
cmake -S "$top" -B "$build" -DGRIMALOU_FUZZ=ON -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null ||
  exit 1
cmake --build "$build" --target fuzzers -j "$(nproc)" >/dev/null || exit 1

status=0
# tests/fuzzers.txt: "name options..." for every harness, written by CMake.
while read -r name options; do
  if [ $# -gt 0 ] && ! printf '%s\n' "$@" | grep -qx "$name"; then continue; fi
  dir=$build/tests/fuzz
  log=$dir/$name.long.log
  mkdir -p "$dir/${name}_corpus"
  rm -f "$dir/$name"-crash-* "$dir/$name"-leak-* "$dir/$name"-oom-* "$dir/$name"-timeout-*
  start=$(date +%s)
  TIMEFORMAT='%U %S'
  # shellcheck disable=SC2086  # the options are separate words
  { time "$dir/$name" $options -runs="$runs" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$dir/$name-" "$dir/${name}_corpus" "$top/tests/fuzz/$name" >"$log" 2>&1 </dev/null; } \
    2>"$log.cpu"
  elapsed=$(($(date +%s) - start))
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  per_cpu=$(awk -v n="${executions:-0}" '{ t = $1 + $2; print (t > 0 ? int(n / t) : "?") }' "$log.cpu")
  crashes=$(find "$dir" -maxdepth 1 \( -name "$name-crash-*" -o -name "$name-leak-*" -o -name "$name-oom-*" \
    -o -name "$name-timeout-*" \) | wc -l)
  printf '%-22s %11s executions in %4ss  %7s exec/s  %7s per CPU second  coverage %6s  crashes %s\n' \
    "$name" "${executions:-?}" "$elapsed" "${rate:-?}" "$per_cpu" "${coverage:-?}" "$crashes"
  if [ "$crashes" != 0 ] || [ -z "$executions" ]; then
    status=1
    find "$dir" -maxdepth 1 -name "$name-*-*" | sed 's/^/    kept: /'
    echo "    log: $log"
  fi
done <"$build/tests/fuzzers.txt"
exit $status
