#!/usr/bin/env bash
# The source folders stand on floors, and a file includes only its own floor
# and those below it:
#   textio   text records, field editing, values, parameter lines, messages
#   run      the run state, report and summary, writer, --init's values
#   readers  one folder a format, and what the readers compute alike
#   driver   main, reader choice and run order, --init's dispatch
# Prints every include that points up and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

floor() {
  case "$1" in
    textio) echo 0 ;;
    run) echo 1 ;;
    readers) echo 2 ;;
    driver) echo 3 ;;
    *) echo "" ;;
  esac
}

status=0
while IFS= read -r file; do
  top=${file#src/}
  top=${top%%/*}
  own=$(floor "$top")
  if [ -z "$own" ]; then
    echo "$file: src/$top/ is on no floor (add it to scripts/check-floors.sh)"
    status=1
    continue
  fi
  while IFS=: read -r line target; do
    [ -n "$line" ] || continue
    theirs=$(floor "$target")
    if [ -z "$theirs" ]; then
      echo "$file:$line: includes from src/$target/, which is on no floor"
      status=1
    elif [ "$theirs" -gt "$own" ]; then
      echo "$file:$line: $top includes $target, a floor above it"
      status=1
    fi
  done < <(grep -n -o -E '^#include "[a-z_]+/' "$file" | sed -E 's/^([0-9]+):#include "([a-z_]+)\//\1:\2/')
done < <(git ls-files 'src/*.cpp' 'src/*.hpp')
[ "$status" -eq 0 ] && echo "floors: every include of src/ points to its own floor or one below"
exit "$status"
