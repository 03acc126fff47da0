#!/usr/bin/env bash
# Reading speed: sfconv on a large generated input, beside `wc -l` on the same
# file (the time it takes just to read the file's lines).
#
#   bench/run.sh [MEGABYTES] [CASE...]
#
# MEGABYTES defaults to 200. CASE is one of the cases below (default: all):
#   gsas      a GSAS time-of-flight listing whose searches pass over refinement
#             cycles and the reflection lists of three other histograms
#   fullprof  a FullProf output of many refinement cycles before the last one
#             and its table (the second pass resumes at the last cycle)
#   examples  the three bundled examples, each as a whole process (target
#             2 ms), beside /bin/true (what starting any process costs here)
#   memory    peak resident memory on a 3 GB listing without a line feed, on
#             a line of 50 M tabs, and on the GSAS example with the largest
#             --max-reflections (the arrays grow with the reflections read,
#             not with the limit) (target below 16 MB, else the bench
#             fails; needs /usr/bin/time)
#   cif       CIF reflection files made by cif_reflections.awk, each timed
#             beside a yardstick in the same run: a SHELXL FCF of 3,000 rows
#             converted, whole process, beside the KOLMEX example (target
#             2); PDB-style mmCIF files of 99,999 rows converted
#             (--max-reflections 99999; target 4) and of 1,000,000 rows read
#             by --init (target 2), beside `gemmi grep -c _refln.index_h` on
#             the same file (GEMMI's program: scripts/deps.sh gemmi installs
#             it; without it that column is left out); and the peak resident
#             size of that --init: beyond a one-row file's, within the
#             file's size plus 8 bytes a value (and the one 2 MiB page of
#             values begun last; needs /usr/bin/time). A goal missed fails
#             the bench.
#
# Needs a release build (cmake --preset release && cmake --build build) or
# SFCONV=/path/to/sfconv, and awk. BASELINE=/path/to/another/sfconv times that
# binary too, in the same run, and prints the new time as a share of its time
# (an earlier build, say: git worktree add /tmp/base main && build it there). RUNS (default 5) sets how many times each
# command runs; the best time counts, after one run that warms the file cache.
# The files are made in a temporary directory (BENCH_DIR to choose it) and
# removed at the end.
#
# To add a case: write make_CASE (the input and the parameter file in the
# current directory, the expected "# NREF1" count in $expected and the
# ratio to wc -l to stay within in $target) and add
# CASE to all_cases.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
sfconv=${SFCONV:-$root/build/sfconv}
runs=${RUNS:-5}
awk=$(command -v mawk || command -v awk)
all_cases=(gsas fullprof examples memory cif)

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
baseline=${BASELINE:-}
if [[ -n $baseline ]]; then
  [[ -x $baseline ]] || { echo "bench: no baseline sfconv at $baseline" >&2; exit 1; }
  baseline=$(cd "$(dirname "$baseline")" && pwd)/$(basename "$baseline")
fi

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
  target=2.0
}

make_fullprof() {
  "$awk" -v MB="$megabytes" -v FOU=bench.fou -f "$here/fullprof_output.awk" > bench.out
  cat > params.txt <<'PARAMS'
bench.out
bench.fou
bench.sf
Benchmark output: nickel
F 225
1.0                  # E
32 32 32
0                    # IAMP
100.0
1.5406               # lambda0
1                    # pattern
1                    # phase
PARAMS
  input=bench.out
  expected=1500
  target=2.0
}

# The wall clock in nanoseconds, read by the shell itself: spawning `date`
# would cost more than some of the runs it times.
now_ns() {
  local t=${EPOCHREALTIME/[.,]/}
  echo $((10#$t * 1000))
}

# Best wall-clock time of `runs` runs of a command, in nanoseconds.
best_time() {
  "$@" > /dev/null  # warm the file cache
  local best="" start end
  for ((i = 0; i < runs; i++)); do
    start=$(now_ns)
    "$@" > /dev/null
    end=$(now_ns)
    if [[ -z $best || $((end - start)) -lt $best ]]; then best=$((end - start)); fi
  done
  echo "$best"
}

# Least CPU time (user and system) of `runs` runs of a command, in
# nanoseconds, as the shell's `times` counts a subshell's children: on a
# machine shared with other work it varies less than the wall clock.
best_cpu() {
  local best="" t
  for ((i = 0; i < runs; i++)); do
    t=$( ("$@" > /dev/null 2>&1; times) | "$awk" 'NR == 2 {
      split($1, u, /[ms]/); split($2, s, /[ms]/)
      printf "%.0f", ((u[1] + s[1]) * 60 + u[2] + s[2]) * 1e9 }')
    if [[ -z $best || $t -lt $best ]]; then best=$t; fi
  done
  echo "$best"
}

# Mean wall-clock time of one run, over 200 runs, in nanoseconds.
mean_time() {
  local start end
  start=$(now_ns)
  for ((i = 0; i < 200; i++)); do "$@" > /dev/null; done
  end=$(now_ns)
  echo $(((end - start) / 200))
}

run_examples() {
  (
    cd "$root"
    local t
    t=$(mean_time /bin/true)
    printf 'examples: whole process, mean of 200 runs (target 2 ms)\n'
    printf '  /bin/true          %6.2f ms\n' "$(echo "$t" | "$awk" '{ print $1 / 1e6 }')"
    for ex in kolmex gsas fullprof; do
      t=$(mean_time "$sfconv" "examples/$ex/params.txt")
      printf '  sfconv %-10s  %6.2f ms\n' "$ex" "$(echo "$t" | "$awk" '{ print $1 / 1e6 }')"
    done
  )
}

# Peak resident size of sfconv [OPTIONS] params.txt in KiB (the first two
# runs are expected to fail).
peak_kib() {
  /usr/bin/time -f %M -o peak.txt "$sfconv" "$@" params.txt > /dev/null 2>&1 || true
  tail -n 1 peak.txt
}

run_memory() {
  cat > params.txt <<'PARAMS'
bench.lst
bench.sf
Memory bound
F 225
1.0
8 8 8
0
1.0
1.0
1
1
PARAMS
  printf 'memory: peak resident size (target below 16384 KiB)\n'
  head -c $((3 * 1024 * 1024 * 1024)) /dev/zero | tr '\0' x > bench.lst
  memory_within '3 GB without a line feed'
  head -c $((50 * 1000 * 1000)) /dev/zero | tr '\0' '\t' > bench.lst
  echo >> bench.lst
  memory_within 'a line of 50 M tabs'
  cp "$root/examples/gsas/sample.lst" bench.lst
  echo '0.5 1.0' >> params.txt  # the example is PXC: the polarization line
  memory_within 'example, limit 99999' --max-reflections 99999
  rm -f bench.lst bench.sf params.txt peak.txt
}

# Prints the peak resident size on bench.lst (sfconv's options after the
# name); above the target, the bench fails.
memory_within() {
  local kib
  kib=$(peak_kib "${@:2}")
  printf '  %-26s %6d KiB\n' "$1" "$kib"
  if ((kib >= 16384)); then
    echo "bench: memory: $1: $kib KiB, above the target" >&2
    status=1
  fi
}

# CIF reflection files: each timing as a ratio to its yardstick, measured in
# the same run (best of RUNS, or of 20 at least for the short processes).
run_cif() {
  local gemmi kolmex fcf mid big grep_mid grep_big base kib bound rows=1000000
  gemmi=$(command -v gemmi || true)
  "$awk" -v KIND=fcf -v ROWS=3000 -f "$here/cif_reflections.awk" > bench.fcf
  "$awk" -v KIND=mmcif -v ROWS=99999 -f "$here/cif_reflections.awk" > mid.cif
  "$awk" -v KIND=mmcif -v ROWS=$rows -f "$here/cif_reflections.awk" > big.cif
  printf 'bench.fcf\nbench.sf\nbench\nP 2\n1.0\n48 48 64\n0\n332.0\n0.71073\n1\n1\n' > fcf.txt
  printf 'mid.cif\nmid.sf\nbench\nC 5\n1.0\n64 8 16\n0\n100.0\n0.9791\n1\n1\n' > mid.txt
  sync
  local short_runs=$((runs > 20 ? runs : 20))
  kolmex=$(cd "$root" && runs=$short_runs best_time "$sfconv" examples/kolmex/params.txt)
  fcf=$(runs=$short_runs best_time "$sfconv" --max-reflections 3000 fcf.txt)
  mid=$(best_time "$sfconv" --max-reflections 99999 mid.txt)
  big=$(best_time "$sfconv" --init big.cif)
  local cpu_mid cpu_big cpu_grep_mid=0 cpu_grep_big=0
  cpu_mid=$(best_cpu "$sfconv" --max-reflections 99999 mid.txt)
  cpu_big=$(best_cpu "$sfconv" --init big.cif)
  grep_mid=0 grep_big=0
  if [[ -n $gemmi ]]; then
    grep_mid=$(best_time "$gemmi" grep -c _refln.index_h mid.cif)
    grep_big=$(best_time "$gemmi" grep -c _refln.index_h big.cif)
    cpu_grep_mid=$(best_cpu "$gemmi" grep -c _refln.index_h mid.cif)
    cpu_grep_big=$(best_cpu "$gemmi" grep -c _refln.index_h big.cif)
  fi
  for sf in bench.sf:3000 mid.sf:99999; do
    if [[ $(grep -A1 '^# NREF1' "${sf%:*}" | tail -n 1 | tr -d ' ') != "${sf#*:}" ]]; then
      echo "bench: cif: ${sf%:*} does not hold ${sf#*:} reflections" >&2
      status=1
    fi
  done
  # The memory the file costs: the peak beyond that of a one-row file of
  # the same kind (the program itself), against the file's size and 8
  # bytes for each of its 11 values a row, and the one 2 MiB page of values
  # the parse may have begun to fill.
  "$awk" -v KIND=mmcif -v ROWS=1 -f "$here/cif_reflections.awk" > one.cif
  base=$(/usr/bin/time -f %M "$sfconv" --init one.cif 2>&1 > /dev/null | tail -n 1)
  kib=$(/usr/bin/time -f %M "$sfconv" --init big.cif 2>&1 > /dev/null | tail -n 1)
  bound=$((($(wc -c < big.cif) - $(wc -c < one.cif) + 8 * 11 * (rows - 1)) / 1024))
  "$awk" -v k="$kolmex" -v f="$fcf" -v m="$mid" -v b="$big" -v gm="$grep_mid" -v gb="$grep_big" \
    -v cm="$cpu_mid" -v cb="$cpu_big" -v cgm="$cpu_grep_mid" -v cgb="$cpu_grep_big" \
    -v kib="$kib" -v base="$base" -v bound="$bound" -v mb="$(wc -c < big.cif)" 'BEGIN {
    printf "cif: best of %d runs (%d for the FCF and the KOLMEX example)\n", '"$runs"', '"$short_runs"'
    printf "  FCF, 3,000 rows        %8.1f ms  KOLMEX example %6.1f ms  ratio %5.2f (target 2)\n", f / 1e6, k / 1e6, f / k
    if (gm > 0) {
      printf "  mmCIF 99,999 rows      %8.1f ms  gemmi grep     %6.1f ms  ratio %5.2f (target 4)\n", m / 1e6, gm / 1e6, m / gm
      printf "  mmCIF 1,000,000, --init %7.1f ms  gemmi grep     %6.1f ms  ratio %5.2f (target 2)\n", b / 1e6, gb / 1e6, b / gb
      if (cgm > 0 && cgb > 0) {
        printf "  CPU time (user and system), least of %d: 99,999 rows %.0f ms / %.0f ms, ratio %.2f;", '"$runs"', cm / 1e6, cgm / 1e6, cm / cgm
        printf " --init %.0f ms / %.0f ms, ratio %.2f\n", cb / 1e6, cgb / 1e6, cb / cgb
      }
    } else {
      printf "  mmCIF 99,999 rows      %8.1f ms  (no gemmi: scripts/deps.sh gemmi)\n", m / 1e6
      printf "  mmCIF 1,000,000, --init %7.1f ms\n", b / 1e6
    }
    printf "  peak resident, --init  %8d KiB: %d KiB for one row, %d KiB beyond\n", kib, base, kib - base
    printf "  file (%.0f MB) + 8 bytes a value: %d KiB, + 2 MiB: %d KiB\n", mb / 1e6, bound, bound + 2048
    fail = f / k > 2 || kib - base > bound + 2048
    if (gm > 0) fail = fail || m / gm > 4 || b / gb > 2
    exit fail
  }' || { echo "bench: cif: a goal is missed" >&2; status=1; }
  rm -f bench.fcf mid.cif big.cif one.cif fcf.txt mid.txt bench.sf mid.sf
}

status=0
for case in "${cases[@]}"; do
  if [[ $case == cif ]]; then
    run_cif
    continue
  fi
  if [[ $case == examples ]]; then
    run_examples
    continue
  fi
  if [[ $case == memory ]]; then
    run_memory
    continue
  fi
  if ! declare -F "make_$case" > /dev/null; then
    echo "bench: unknown case $case (known: ${all_cases[*]})" >&2
    exit 1
  fi
  "make_$case"
  # A file just written is still being written back: reading it then is
  # slower, and slower by chance. Time it once it is on disk.
  sync
  size=$(wc -c < "$input")
  lines=$(wc -l < "$input")
  wc_ns=$(best_time wc -l "$input")
  sf_ns=$(best_time "$sfconv" params.txt)
  base_ns=0
  if [[ -n $baseline ]]; then base_ns=$(best_time "$baseline" params.txt); fi
  got=$(grep -A1 '^# NREF1' ./*.sf | tail -n 1 | tr -d ' ')
  if [[ $got != "$expected" ]]; then
    echo "bench: $case: sfconv stored $got reflections, expected $expected" >&2
    status=1
  fi
  "$awk" -v c="$case" -v mb="$size" -v l="$lines" -v w="$wc_ns" -v s="$sf_ns" -v t="$target" \
    -v b="$base_ns" 'BEGIN {
    printf "%s: %.0f MB, %d lines\n", c, mb / 1048576, l
    printf "  wc -l    %8.3f s\n", w / 1e9
    printf "  sfconv   %8.3f s\n", s / 1e9
    printf "  ratio    %8.2f (sfconv / wc -l; target %s or less)\n", s / w, t
    if (b > 0) {
      printf "  baseline %8.3f s (ratio %.2f to wc -l)\n", b / 1e9, b / w
      printf "  share    %8.2f (sfconv / baseline)\n", s / b
    }
  }'
  rm -f ./*.lst ./*.out ./*.fou ./*.sf params.txt
done
exit "$status"
