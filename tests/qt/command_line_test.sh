#!/usr/bin/env bash
# The program's --help, --version and a wrong option, with no display and
# an empty environment: each prints on its own stream and exits at once.
# Usage: command_line_test.sh PROGRAM
set -uo pipefail
program=$1
failed=0
while IFS='|' read -r argument status stream expected; do
  out=$(env -i timeout 10 "$program" "$argument" 2>/dev/null); got=$?
  err=$(env -i timeout 10 "$program" "$argument" 2>&1 >/dev/null)
  text=$([ "$stream" = out ] && echo "$out" || echo "$err")
  other=$([ "$stream" = out ] && echo "$err" || echo "$out")
  if [ "$got" != "$status" ] || [[ "$text" != *"$expected"* ]] || [ -n "$other" ]; then
    echo "FAIL: tolvane $argument: exit $got, stdout '$out', stderr '$err'"; failed=1
  fi
done <<'CASES'
--help|0|out|Usage: tolvane [options] [host [count [interval]]]
--version|0|out|Tolvane 1.0.10
--bogus|2|err|tolvane: Unknown option 'bogus'.
CASES
exit $failed
