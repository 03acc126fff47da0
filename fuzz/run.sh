#!/usr/bin/env bash
# Runs every fuzz target (or those named) for SECONDS each (default 20) and
# fails on any finding.
#   cmake --preset fuzz && cmake --build build-fuzz && fuzz/run.sh 600 [TARGET...]
# New inputs gather in build-fuzz/fuzz-work/TARGET/corpus; a finding is saved in
# build-fuzz/fuzz-work/TARGET/artifacts/ (keep it as a regression test).
set -euo pipefail
seconds=${1:-20}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(format freeform parameters kolmex gsas fullprof cif run init)
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
work=$build/fuzz-work

for target in "${targets[@]}"; do
  bin=$build/fuzz/${target}_fuzz
  [ -x "$bin" ] || continue
  mkdir -p "$work/$target/corpus" "$work/$target/artifacts"
  echo "== $target: ${seconds}s"
  "$bin" -max_total_time="$seconds" -rss_limit_mb=512 -timeout=5 -print_final_stats=1 \
    -artifact_prefix="$work/$target/artifacts/" \
    "$work/$target/corpus" "$root/fuzz/corpus/$target" 2>&1 |
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==|SUMMARY|INFO: Running|ERROR)' || true
  if [ "${PIPESTATUS[0]}" -ne 0 ]; then
    echo "fuzz target $target failed: see $work/$target/artifacts/" >&2
    exit 1
  fi
done
