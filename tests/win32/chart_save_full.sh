#!/usr/bin/env bash
# The chart's image is saved whole or not at all, under Wine: onto a name
# that is there, a complete PNG replaces the file; on a full file system
# (TOLVANE_FULL_DIR, from tests/support/full_disk.sh) the save fails with
# the system's reason, the file stays as it was and nothing is left beside it.
#   chart_save_full.sh CHART_PAINT_WIN_EXE
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
free=$(mktemp -d /tmp/tolvane-save.XXXXXX)
trap 'rm -rf "$free"' EXIT
for dir in "$free" "$TOLVANE_FULL_DIR"; do
  printf old >"$dir/chart.png"
  status=0
  said=$(wine "$1" "$(winepath -w "$dir/chart.png")" | tr -d '\r') || status=$?
  if [ "$dir" = "$free" ]; then
    [ "$status" = 0 ] || fail "a save onto a file that is there failed: $said"
    [ "$(tail -c 12 "$dir/chart.png" | od -An -tx1 | tr -d ' \n')" = 0000000049454e44ae426082 ] ||
      fail "the PNG that replaced the file is not complete"
  else
    [ "$status" = 1 ] || fail "a save on a full disk ended with status $status"
    grep -Eqi 'space|full' <<<"$said" || fail "the reason given: '$said'"
    [ "$(cat "$dir/chart.png")" = old ] || fail "the file of that name was changed"
    [ "$(ls -A "$dir")" = chart.png ] || fail "left beside it: $(ls -A "$dir" | tr '\n' ' ')"
  fi
done
echo "ok: a full disk: '$said'; the file was left as it was"
