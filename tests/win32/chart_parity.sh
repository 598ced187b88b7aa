#!/usr/bin/env bash
# The GDI painter under Wine and the Qt painter offscreen paint the same run:
# the same bars and colours (tests/qt/chart_parity.cpp compares them).
#   chart_parity.sh CHART_PAINT_WIN_EXE CHART_PARITY
set -euo pipefail
[ -x "$2" ] || { echo "FAIL: $2 missing: build the target chart_parity in build/default" >&2; exit 1; }
png=$(mktemp /tmp/tolvane-parity.XXXXXX.png)
trap 'rm -f "$png"' EXIT
wine "$1" "$(winepath -w "$png")"
"$2" "$png"
