#!/usr/bin/env bash
# The chart and the boxes as a screen reader reads them: the program on a
# virtual X display, on a session bus of its own (where the accessibility
# bus starts on demand), read over AT-SPI by chart_a11y_test.py while
# xdotool drives it.
#   chart_a11y_test.sh TOLVANE SHOTS_DIR RESPONDER
# Run inside the test bed's client namespace (netexec.sh). Without the
# tools or the bed it skips (exit 77); under CI=true it fails instead.
set -euo pipefail

skip() {
  if [ "${CI:-}" = true ]; then
    echo "FAIL: $* (CI=true: tests must not skip)" >&2
    exit 1
  fi
  echo "SKIP: $*"
  exit 77
}
# Debian's Python, which python3-pyatspi is for (not whatever is first on PATH).
python=/usr/bin/python3
for tool in xvfb-run dbus-run-session xdotool xwininfo import $python; do
  command -v "$tool" >/dev/null || skip "$tool missing (scripts/deps.sh)"
done
$python -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi missing (scripts/deps.sh)"
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi2-core missing (scripts/deps.sh)"
[ "$(ip netns identify 2>/dev/null || true)" = tolv-c ] || skip "no test bed (it needs root)"

mkdir -p "$2"
exec xvfb-run -a -s "-screen 0 1024x768x24" \
  dbus-run-session -- $python "$(dirname "${BASH_SOURCE[0]}")/chart_a11y_test.py" "$@"
