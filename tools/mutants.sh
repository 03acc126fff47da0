#!/usr/bin/env bash
# Mutation testing: how many small faults in the sources the test suite
# notices. Each mutant of tools/mutants.txt is applied alone to a copy of the
# tracked files, the copy is rebuilt and the whole suite run; a mutant is
#   killed    when a test fails (or hangs past the timeout),
#   survived  when every test passes,
#   stale     when its text is not found exactly once in its file (the code
#             moved: point the entry at it again),
#   no-build  when the mutated sources do not build (a faulty entry).
# Only killed mutants count; the last line is "killed K of N".
#
#   tools/mutants.sh [ID...]
#
# IDs run only those mutants. MUTANTS_LIST=FILE reads the mutants from FILE
# instead of tools/mutants.txt. An entry with "kind blind" was written from
# the sources and README alone, by someone who had not read the tests; the
# last lines count those apart. Run on demand, not in CI: it takes about half a
# minute a mutant on two cores. The developer's tree is only read: the copy
# and its build live in a temporary directory (MUTANTS_DIR to choose where),
# removed at the end. MUTANTS_LOGS=DIR keeps the test output of each mutant
# as DIR/ID.log. MUTANTS_TIMEOUT (default 60) is the time a test may take,
# in seconds. MUTANTS_FIRST=1 stops a mutant's suite at its first failing
# test: a killed mutant then costs a fraction of the whole suite, and its
# note says "first failing" with that test instead of the count.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(git -C "$here" rev-parse --show-toplevel)
list=${MUTANTS_LIST:-$here/mutants.txt}
[[ $list == /* ]] || list=$PWD/$list
timeout=${MUTANTS_TIMEOUT:-60}
first=()
[[ ${MUTANTS_FIRST:-} != 1 ]] || first=(--stop-on-failure)
logs=${MUTANTS_LOGS:-}
[[ -z $logs ]] || { mkdir -p "$logs" && logs=$(cd "$logs" && pwd); }

# The list: parallel arrays, one entry per mutant.
ids=() files=() froms=() tos=() kinds=()
parse() {
  local line key value n=-1
  while IFS= read -r line || [[ -n $line ]]; do
    [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
    if [[ ! $line =~ ^([a-z]+)[[:space:]]+(.*)$ ]]; then
      echo "mutants: $list: cannot read: $line" >&2
      exit 2
    fi
    key=${BASH_REMATCH[1]}
    value=${BASH_REMATCH[2]}
    case $key in
      id) n=$((n + 1)); ids[n]=$value; files[n]=''; froms[n]=''; tos[n]=''; kinds[n]=own ;;
      file) files[n]=$value ;;
      from) froms[n]=$value ;;
      to) tos[n]=$value ;;
      kind) kinds[n]=$value ;;
      fault) ;;
      *) echo "mutants: $list: unknown key $key" >&2; exit 2 ;;
    esac
  done < "$list"
}
parse

wanted=("$@")
selected=()
for ((i = 0; i < ${#ids[@]}; i++)); do
  if [[ ${#wanted[@]} -eq 0 ]]; then
    selected+=("$i")
    continue
  fi
  for w in "${wanted[@]}"; do [[ $w == "${ids[i]}" ]] && selected+=("$i"); done
done
# (A loop, not printf | grep -q: grep's early exit would fail the pipe.)
for w in "${wanted[@]}"; do
  known=0
  for id in "${ids[@]}"; do [[ $id != "$w" ]] || known=1; done
  ((known)) || { echo "mutants: no mutant $w" >&2; exit 2; }
done

work=$(mktemp -d "${MUTANTS_DIR:-${TMPDIR:-/tmp}}/sfconv-mutants-XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$root" && git ls-files -z | tar --null -T - -cf -) | tar -xf - -C "$work"

# How often `from` occurs in the file (perl: the texts are taken literally).
occurrences() {
  FROM=$2 perl -0777 -ne '$n = () = /\Q$ENV{FROM}\E/g; print $n' "$1"
}
replace() {
  FROM=$2 TO=$3 perl -0777 -i -pe 's/\Q$ENV{FROM}\E/$ENV{TO}/' "$1"
}

build() {
  cmake --build "$work/build" --target sfconv sfconv_tests > "$work/build.log" 2>&1
}
# Runs the suite; prints the number of failing tests (0: all passed), or
# with MUTANTS_FIRST=1 the first failing test's name.
suite() {
  local out=$work/ctest.log
  if ctest --test-dir "$work/build" -j2 --timeout "$timeout" "${first[@]}" > "$out" 2>&1; then
    echo 0
  elif ((${#first[@]})); then
    # The name of the first failing test (or timed-out one).
    local name
    name=$(grep -m1 -E '\*\*\*(Failed|Timeout|Exception)' "$out" | sed -E 's/^.*Test +#[0-9]+: ([^ ]+).*$/\1/' || true)
    echo "${name:-the suite}"
  else
    local failed
    failed=$(grep -oE '[0-9]+ tests failed out of' "$out" | grep -oE '^[0-9]+' || true)
    echo "${failed:-1}"
  fi
}

echo "mutants: building the unchanged sources in $work"
(cd "$work" && cmake --preset release > "$work/configure.log" 2>&1) ||
  { cat "$work/configure.log" >&2; exit 2; }
build || { cat "$work/build.log" >&2; exit 2; }
if [[ $(suite) != 0 ]]; then
  cat "$work/ctest.log" >&2
  echo "mutants: the unchanged suite fails; fix that first" >&2
  exit 2
fi

killed=0 blind=0 blind_killed=0
for i in "${selected[@]}"; do
  id=${ids[i]} file=$work/${files[i]}
  [[ ${kinds[i]} != blind ]] || blind=$((blind + 1))
  if [[ ! -f $file || $(occurrences "$file" "${froms[i]}") != 1 ]]; then
    printf '%-9s %s\n' stale "$id"
    continue
  fi
  cp "$file" "$work/original"
  replace "$file" "${froms[i]}" "${tos[i]}"
  if ! build; then
    status=no-build
    note=''
  else
    failed=$(suite)
    [[ -z $logs ]] || cp "$work/ctest.log" "$logs/$id.log"
    if [[ $failed != 0 ]]; then
      status=killed
      killed=$((killed + 1))
      [[ ${kinds[i]} != blind ]] || blind_killed=$((blind_killed + 1))
      if ((${#first[@]})); then note="(first failing: $failed)"; else note="($failed failing)"; fi
    else
      status=survived
      note=''
    fi
  fi
  cp "$work/original" "$file"
  printf '%-9s %s %s\n' "$status" "$id" "$note"
done
[[ $blind == 0 ]] || echo "blind: killed $blind_killed of $blind; own: killed $((killed - blind_killed)) of $((${#selected[@]} - blind))"
echo "killed $killed of ${#selected[@]}"
