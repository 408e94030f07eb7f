#!/usr/bin/env bash
# Builds the libFuzzer targets with clang-14 (ASan, UBSan) in build/fuzz and
# runs each for FUZZ_SECONDS seconds (60 unless set) on a scratch copy of its
# seed corpus in tests/fuzz/corpus/, which stays as committed. Prints one line
# per target; exits non-zero if any target found a crash, a leak, a sanitizer
# error or a hang, and names the file that reproduces it.
#
# Reproduce a finding: build/fuzz/tests/fuzz/<target> <file>
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds="${FUZZ_SECONDS:-60}"
targets=(fuzz_number fuzz_skin fuzz_settings fuzz_run_value fuzz_policy fuzz_command_line)
build=build/fuzz

CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-14 -DPELLUCOR_FUZZ=ON >/dev/null
cmake --build "$build" --target pellucor_fuzz -j2

export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
status=0
for t in "${targets[@]}"; do
  work="$build/work/$t"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/findings"
  cp tests/fuzz/corpus/"$t"/* "$work/corpus/"
  seeds=$(find "$work/corpus" -type f | wc -l)
  rc=0
  start=$(date +%s)
  "$build/tests/fuzz/$t" "$work/corpus" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
    -artifact_prefix="$work/findings/" >"$work/log.txt" 2>&1 || rc=$?
  elapsed=$(($(date +%s) - start))
  runs=$(awk '/^stat::number_of_executed_units:/ {print $2}' "$work/log.txt")
  rate=$(awk '/^stat::average_exec_per_sec:/ {print $2}' "$work/log.txt")
  corpus=$(find "$work/corpus" -type f | wc -l)
  printf '%-17s %4s s  %8s exec/s  %10s runs  corpus %s files (%s seeds)\n' \
    "$t" "$elapsed" "${rate:-?}" "${runs:-?}" "$corpus" "$seeds"
  if [ "$rc" -ne 0 ]; then
    status=1
    echo "  FAILED (exit $rc); log: $work/log.txt"
    grep -E '^==[0-9]+==ERROR|runtime error:|^fuzz_[a-z_]+:|deadly signal|ALARM|Test unit written to' \
      "$work/log.txt" | head -n 20 | sed 's/^/  /'
  fi
done
exit "$status"
