#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# into build-fuzz/, replays every saved input under fuzz/regressions, then fuzzes each target
# for FUZZ_SECONDS (30) seconds on FUZZ_JOBS (2) processes. Any crash, hang, leak or broken
# check fails the run; the input that caused it is left in build-fuzz/fuzz/findings/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-30}"
jobs="${FUZZ_JOBS:-2}"
targets=(fuzz_archive fuzz_pcx fuzz_text fuzz_input_script fuzz_sound fuzz_settings fuzz_level
         fuzz_records)
start=$SECONDS

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUIBBET_FUZZ=ON -DQUIBBET_TESTS=OFF -DQUIBBET_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" fuzz_seed_corpora >/dev/null
echo "ci-fuzz: built in $((SECONDS - start)) s"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:detect_stack_use_after_return=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
work="$build/fuzz"
findings="$work/findings"
rm -rf "$findings" "$work/logs"
mkdir -p "$findings" "$work/logs"
failed=0
summary=()

# A unit libFuzzer reports as slow (over 10 s) is a finding only if it is slow by itself: on a
# shared machine a stall of the whole machine makes every unit that straddles it "slow" (both
# processes at once). Each is replayed alone; one that runs well within the limit is kept in the
# logs, not among the findings. A real hang still fails, as a timeout or on its replay.
recheck_slow_units() {
  local binary="$1" found="$2" logs="$3" unit begun ms
  for unit in "$found"/slow-unit-*; do
    [[ -e $unit ]] || continue
    begun=$(date +%s%N)
    timeout 60 "$binary" "$unit" >/dev/null 2>&1 || continue
    ms=$((($(date +%s%N) - begun) / 1000000))
    [[ $ms -lt 5000 ]] || continue
    mkdir -p "$logs/slow-under-load"
    mv "$unit" "$logs/slow-under-load/"
    echo "ci-fuzz: $(basename "$unit") was slow only under load: alone it runs in $ms ms"
  done
}

for target in "${targets[@]}"; do
  binary="$work/$target"
  regressions="$root/fuzz/regressions/$target"
  seeds="$work/seeds/$target"
  corpus="$work/corpus/$target"
  logs="$work/logs/$target"
  mkdir -p "$corpus" "$logs" "$findings/$target"

  # Replay: each saved input once, as the fuzzer runs them.
  if ! "$binary" -runs=0 -artifact_prefix="$findings/$target/" "$regressions" "$seeds" \
    >"$logs/replay.log" 2>&1; then
    echo "ci-fuzz: $target FAILED replaying fuzz/regressions/$target:"
    tail -n 40 "$logs/replay.log"
    failed=1
    continue
  fi
  replayed=$(find "$regressions" "$seeds" -type f | wc -l)

  # Fuzz: new inputs go to the corpus, which persists between local runs of this build.
  if ! (cd "$logs" && "$binary" -max_total_time="$seconds" -jobs="$jobs" -workers="$jobs" \
    -print_final_stats=1 -timeout=20 -rss_limit_mb=2048 -dict="$root/fuzz/$target.dict" \
    -artifact_prefix="$findings/$target/" "$corpus" "$seeds" "$regressions" \
    >"$logs/fuzz.log" 2>&1); then
    failed=1
  fi
  recheck_slow_units "$binary" "$findings/$target" "$logs"
  executions=$(cat "$logs"/fuzz-*.log 2>/dev/null |
    awk '/stat::number_of_executed_units:/ {n += $2} END {print n + 0}')
  corpus_files=$(find "$corpus" -type f | wc -l)
  corpus_bytes=$(du -sb "$corpus" | cut -f1)
  found=$(find "$findings/$target" -type f | wc -l)
  line="$target: replayed $replayed saved inputs; $executions executions in ${seconds} s on $jobs"
  line+=" processes; corpus $corpus_files inputs ($corpus_bytes bytes); findings: $found"
  summary+=("$line")
  if [[ $found -ne 0 ]]; then
    failed=1
    echo "ci-fuzz: $target FOUND inputs that fail, kept in $findings/$target:"
    ls -l "$findings/$target"
    grep -h -B2 -A30 -E "ERROR:|fuzz check failed|SUMMARY" "$logs"/fuzz-*.log | head -n 80 || true
  fi
done

printf '%s\n' "${summary[@]}"
echo "ci-fuzz: $((SECONDS - start)) s in all"
if [[ $failed -ne 0 ]]; then
  echo "ci-fuzz: FAILED"
  exit 1
fi
echo "ci-fuzz: passed"
