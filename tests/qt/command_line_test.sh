#!/usr/bin/env bash
# The program's --help, --version and a wrong option, with no display and
# an empty environment: each prints on its own stream and exits at once;
# then the same texts unwritable, and displays that aren't there.
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

# Text that could not be written is no success; a display that isn't there
# is named, with status 2.
env -i "$program" --help >/dev/full 2>/tmp/tolvane-cl.$$; got=$?
grep -q 'tolvane: cannot write the text: No space left' /tmp/tolvane-cl.$$ && [ $got = 1 ] ||
  { echo "FAIL: --help to a full disk: exit $got, stderr '$(cat /tmp/tolvane-cl.$$)'"; failed=1; }
env -i "$program" --version >&- 2>/tmp/tolvane-cl.$$; got=$?
grep -q 'tolvane: cannot write the text' /tmp/tolvane-cl.$$ && [ $got = 1 ] ||
  { echo "FAIL: --version to a closed stream: exit $got, stderr '$(cat /tmp/tolvane-cl.$$)'"; failed=1; }
for named in DISPLAY=:4999 WAYLAND_DISPLAY=tolvane-nowhere; do
  platform=$([ "${named%%=*}" = DISPLAY ] && echo xcb || echo wayland)
  env -i XDG_RUNTIME_DIR=/tmp QT_QPA_PLATFORM=$platform "$named" timeout 10 "$program" >/dev/null 2>/tmp/tolvane-cl.$$; got=$?
  if [ $got != 2 ] || ! grep -q "cannot open the window: the display $named could not be opened" /tmp/tolvane-cl.$$ ||
    grep -q -i reinstall /tmp/tolvane-cl.$$; then
    echo "FAIL: $named: exit $got, stderr '$(cat /tmp/tolvane-cl.$$)'"; failed=1
  fi
done
rm -f /tmp/tolvane-cl.$$
exit $failed
