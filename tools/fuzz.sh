#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build on its committed seed corpus (tests/fuzz/corpus/NAME),
# first over the corpus alone (every crash found so far stays there as a regression case), then
# for SECONDS of fuzzing. New inputs go to a scratch folder, never into the committed corpus; a
# crash, a leak, a time-out or a runaway allocation fails the run and leaves its input under
# FUZZ_BUILD/findings/NAME.
# The targets run in FUZZ_RUN_DIR (the game's run folder, for the files a mission names) when set.
# usage: [FUZZ_RUN_DIR=RUN] [FUZZ_FLAGS=...] tools/fuzz.sh FUZZ_BUILD SECONDS [TARGET...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?fuzz build folder}" && pwd)
seconds=${2:?seconds per target}
shift 2
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(settings mission translation dds b3d obj jpeg png bmp ogg ttf)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=0
export LSAN_OPTIONS=suppressions=$top/tests/support/lsan.supp:print_suppressions=0
export ALSOFT_DRIVERS=null
# Each target runs in a single process: several run side by side (FUZZ_JOBS, default all cores).
jobs=${FUZZ_JOBS:-$(nproc)}

# One target over its corpus, then fuzzed; what it found goes to its .result file.
fuzz_one() {
  local name=$1 bin=$build/tests/fuzz/fuzz_$1 seeds=$top/tests/fuzz/corpus/$1
  local work=$build/fuzz-work/$1 findings=$build/findings/$1 log=$build/fuzz-$1.log
  [ -x "$bin" ] || { echo "ERROR: no fuzz target $bin"; return 1; }
  rm -rf "$work"; mkdir -p "$work" "$findings"
  if (cd "${FUZZ_RUN_DIR:-$build}" && "$bin" -rss_limit_mb=2048 -timeout=10 -max_len=65536 \
        -max_total_time="$seconds" -print_final_stats=1 ${FUZZ_FLAGS:-} \
        -artifact_prefix="$findings/" "$work" "$seeds" > "$log" 2>&1); then
    echo "fuzz $name: $(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}') runs, nothing found"
  else
    echo "ERROR: fuzz $name failed, see $log and $findings"
    grep -E 'ERROR:|SUMMARY:' "$log" | head -n 5
    return 1
  fi
}

declare -A running=()
failed=0
reap() {
  local pid code=0
  wait -n -p pid || code=$?
  cat "$build/fuzz-${running[$pid]}.result"
  [ "$code" -eq 0 ] || failed=1
  unset "running[$pid]"
}
for name in "${targets[@]}"; do
  while [ ${#running[@]} -ge "$jobs" ]; do reap; done
  fuzz_one "$name" > "$build/fuzz-$name.result" 2>&1 &
  running[$!]=$name
done
while [ ${#running[@]} -gt 0 ]; do reap; done
exit $failed
