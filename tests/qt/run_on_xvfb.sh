#!/bin/sh
# Runs a command on a virtual X display with a compositor (window opacity
# shows only with one), and stops both afterwards.
set -eu
if ! command -v xvfb-run >/dev/null || ! command -v xcompmgr >/dev/null; then
  echo "run_on_xvfb: xvfb-run and xcompmgr are needed (scripts/deps.sh installs them)" >&2
  exit 1
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  xcompmgr & compositor=$!  # no shadows: they would darken what shows through
  trap "kill $compositor 2>/dev/null; wait $compositor 2>/dev/null" EXIT
  sleep 0.5
  kill -0 $compositor || { echo "run_on_xvfb: xcompmgr did not start" >&2; exit 1; }
  QT_QPA_PLATFORM=xcb "$@"
' sh "$@"
