#!/usr/bin/env bash
# Installs what the program needs, builds it, and starts it. Without a
# display it runs the default run (127.0.0.1, 6 pings every 2 s) on a
# virtual display instead and saves a screenshot of it.
set -euo pipefail
cd "$(dirname "$0")/.."
program=build/default/src/qt/tolvane

if [ "${1:-}" = --on-virtual-display ]; then
  # Inside xvfb-run: a compositor for the translucency and the shadow, the
  # program, a press of "Ping", and a screenshot once the run is over.
  shot=$2
  xcompmgr -c & compositor=$!
  "$program" & app=$!
  trap 'kill $app $compositor 2>/dev/null || true; wait 2>/dev/null || true' EXIT
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tolvane$' | head -n 1)
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + 264)) $((Y + 284)) click 1  # "Ping"
  sleep 15                                            # 6 samples 2 s apart, and the average
  import -window root -crop 660x380+0+0 "$shot"
  exit 0
fi

bash scripts/build.sh
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi
shot="$(pwd)/build/default/tolvane-screenshot.png"
echo "start.sh: no display here (DISPLAY and WAYLAND_DISPLAY are unset)."
echo "start.sh: running the default run on a virtual display instead; this takes about 20 s."
xvfb-run -a -s "-screen 0 800x600x24" bash "$0" --on-virtual-display "$shot"
echo "start.sh: screenshot of the window after the run: $shot"
