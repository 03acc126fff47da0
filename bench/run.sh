#!/usr/bin/env bash
# Reading speed: sfconv on a large generated input, beside `wc -l` on the same
# file (the time it takes just to read the file's lines).
#
#   bench/run.sh [MEGABYTES] [CASE...]
#
# MEGABYTES defaults to 200. CASE is one of the cases below (default: all):
#   gsas   a GSAS time-of-flight listing whose searches pass over refinement
#          cycles and the reflection lists of three other histograms
#
# Needs a release build (cmake --preset release && cmake --build build) or
# SFCONV=/path/to/sfconv, and awk. RUNS (default 5) sets how many times each
# command runs; the best time counts, after one run that warms the file cache.
# The files are made in a temporary directory (BENCH_DIR to choose it) and
# removed at the end.
#
# To add a case: write make_CASE (the input and the parameter file in the
# current directory, and the expected "# NREF1" count in $expected) and add
# CASE to all_cases.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
sfconv=${SFCONV:-$root/build/sfconv}
runs=${RUNS:-5}
awk=$(command -v mawk || command -v awk)
all_cases=(gsas)

megabytes=200
if [[ $# -gt 0 && $1 =~ ^[0-9]+$ ]]; then
  megabytes=$1
  shift
fi
cases=("$@")
[[ ${#cases[@]} -gt 0 ]] || cases=("${all_cases[@]}")

if [[ ! -x $sfconv ]]; then
  echo "bench: no sfconv at $sfconv (build it first, or set SFCONV)" >&2
  exit 1
fi
sfconv=$(cd "$(dirname "$sfconv")" && pwd)/$(basename "$sfconv")

work=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/sfconv-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

make_gsas() {
  "$awk" -v MB="$megabytes" -f "$here/gsas_listing.awk" > bench.lst
  cat > params.txt <<'PARAMS'
bench.lst
bench.sf
Benchmark listing: Ni powder, four banks
F 225
1.0                  # E
32 32 32
0                    # IAMP
100.0
1.0                  # lambda0
4                    # histogram: the last one in the listing
1                    # phase
50 80 110 140 /      # detector angles of banks 1 to 4
PARAMS
  input=bench.lst
  expected=1500
}

# Best wall-clock time of `runs` runs of a command, in nanoseconds.
best_time() {
  "$@" > /dev/null  # warm the file cache
  local best="" start end
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    "$@" > /dev/null
    end=$(date +%s%N)
    if [[ -z $best || $((end - start)) -lt $best ]]; then best=$((end - start)); fi
  done
  echo "$best"
}

status=0
for case in "${cases[@]}"; do
  if ! declare -F "make_$case" > /dev/null; then
    echo "bench: unknown case $case (known: ${all_cases[*]})" >&2
    exit 1
  fi
  "make_$case"
  size=$(wc -c < "$input")
  lines=$(wc -l < "$input")
  wc_ns=$(best_time wc -l "$input")
  sf_ns=$(best_time "$sfconv" params.txt)
  got=$(grep -A1 '^# NREF1' ./*.sf | tail -n 1 | tr -d ' ')
  if [[ $got != "$expected" ]]; then
    echo "bench: $case: sfconv stored $got reflections, expected $expected" >&2
    status=1
  fi
  "$awk" -v c="$case" -v mb="$size" -v l="$lines" -v w="$wc_ns" -v s="$sf_ns" 'BEGIN {
    printf "%s: %.0f MB, %d lines\n", c, mb / 1048576, l
    printf "  wc -l    %8.3f s\n", w / 1e9
    printf "  sfconv   %8.3f s\n", s / 1e9
    printf "  ratio    %8.2f (sfconv / wc -l; target 2 or less)\n", s / w
  }'
  rm -f ./*.lst ./*.sf params.txt
done
exit "$status"
