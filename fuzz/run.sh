#!/usr/bin/env bash
# Runs every fuzz target (or those named) for SECONDS each (default 20) and
# fails on any finding: a crash, a sanitizer report, a leak, a timeout, an
# out-of-memory, a harness's own abort (an exception other than sfconv's own
# stops and failures ends the harness so). Each finding is named on one line,
# "FINDING: TARGET: ARTIFACT", after the end of the fuzzer's report; the
# other targets still run, and the script then exits 1.
#   cmake --preset fuzz && cmake --build build-fuzz && fuzz/run.sh 600 [TARGET...]
# New inputs gather in build-fuzz/fuzz-work/TARGET/corpus; a finding is saved in
# build-fuzz/fuzz-work/TARGET/artifacts/ (keep it as a regression test), the
# fuzzer's whole output in build-fuzz/fuzz-work/TARGET/log.
set -euo pipefail
seconds=${1:-20}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(format freeform parameters kolmex gsas fullprof cif run init)
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
work=$build/fuzz-work

# The first line of a report: a sanitizer's, UBSan's, libFuzzer's (crash,
# deadly signal, timeout, out-of-memory, leak) or an uncaught exception's.
report='^(==[0-9]+== ?ERROR|ERROR: libFuzzer|.*: runtime error: |terminate called|SUMMARY: )'
findings=()
for target in "${targets[@]}"; do
  bin=$build/fuzz/${target}_fuzz
  if [ ! -x "$bin" ]; then
    # A target that is not built would otherwise pass unfuzzed.
    echo "FINDING: $target: no program $bin (cmake --build build-fuzz)" >&2
    findings+=("$target: not built")
    continue
  fi
  mkdir -p "$work/$target/corpus" "$work/$target/artifacts"
  log=$work/$target/log
  echo "== $target: ${seconds}s"
  # The fuzzer's status is taken from the command itself, not from a pipeline
  # whose last command (a filter) would hide it.
  status=0
  "$bin" -max_total_time="$seconds" -rss_limit_mb=512 -timeout=5 -print_final_stats=1 \
    -artifact_prefix="$work/$target/artifacts/" \
    "$work/$target/corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|INFO: Running)' "$log" || true
  # libFuzzer names the input it saved: "Test unit written to PATH".
  artifacts=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log")
  if [ "$status" -ne 0 ] || [ -n "$artifacts" ] || grep -qE "$report" "$log"; then
    # The report, from its first line on.
    first=$(grep -nm1 -E "$report" "$log" | cut -d: -f1 || true)
    tail -n +"${first:-1}" "$log" | grep -v '^#' | head -n 60 >&2 || true
    [ -n "$artifacts" ] || artifacts="no input saved (exit status $status): see $log"
    while read -r a; do
      echo "FINDING: $target: $a" >&2
      findings+=("$target: $a")
    done <<<"$artifacts"
  fi
done

if [ ${#findings[@]} -gt 0 ]; then
  echo "fuzzing failed: ${#findings[@]} finding(s)" >&2
  printf '  %s\n' "${findings[@]}" >&2
  exit 1
fi
echo "fuzzing passed: ${targets[*]}"
