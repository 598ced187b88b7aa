#!/usr/bin/env bash
# The program's own window and tray icon on a virtual X display, driven
# with xdotool as a person would.
#   tray_screen_test.sh TOLVANE SHOTS_DIR tray     with a tray host (trayer)
#   tray_screen_test.sh TOLVANE SHOTS_DIR no-tray  with none
# Under xvfb-run, as CTest starts it. Every wait is bounded; everything
# started here is stopped here.
set -euo pipefail

program=$1 shots=$2 mode=$3
mkdir -p "$shots"
fail() { echo "FAIL: $*" >&2; exit 1; }

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

# until SECONDS COMMAND...: true once COMMAND succeeds, polled every 0.1 s.
until_() {
  local limit=$1; shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}
visible_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null; }
visible_count() { visible_named "$1" | wc -l; }
shown() { [ "$(visible_count Tolvane)" -ge 1 ]; }
hidden() { [ "$(visible_count Tolvane)" -eq 0 ]; }

# The window is at a place of its own choosing (no window manager here);
# its buttons are where its layout puts them, in pixels.
click_in_window() {
  local window=$1 x=$2 y=$3
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + x)) $((Y + y)) click 1
}
about_button() { click_in_window "$1" 556 244; }    # Command4, "&About"
systray_button() { click_in_window "$1" 556 276; }  # Command3, "&Systray"
exit_button() { click_in_window "$1" 556 308; }     # Command2, "&Exit"

# The tray icon: the program's window docked in trayer's panel.
ICON_NAME='"[Tt]olvane"'
# shellcheck source=../../support/tray_host.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../support/tray_host.sh"
# A shown popup menu of the program: a top-level window of its class that
# the window manager is told to leave alone (override-redirect).
# (No grep -q at the end of a pipe: under pipefail the writer's SIGPIPE
# would count as a failure.)
menu_up() {
  local w info
  for w in $(xwininfo -root -children | grep -E '\("tolvane" "[Tt]olvane"\)' | awk '{print $1}'); do
    info=$(xwininfo -id "$w")
    if grep -q 'Map State: IsViewable' <<<"$info" &&
      grep -q 'Override Redirect State: yes' <<<"$info"; then
      return 0
    fi
  done
  return 1
}
menu_gone() { ! menu_up; }
shot() { import -window root "$shots/$1"; }
# up_and_staying WHAT: a menu comes up and is still up a second later.
up_and_staying() {
  until_ 5 menu_up || fail "$1 opened no menu"
  sleep 1
  menu_up || fail "$1: the menu closed by itself"
}
# Whether the X server holds a key down, by its name in the keymap (ESC).
key_held() {
  local code
  code=$(xkbcomp -xkb "$DISPLAY" - 2>/dev/null | awk -v name="<$1>" '$1 == name {sub(";", "", $3); print $3; exit}')
  [ -n "$code" ] || fail "no key $1 in the keymap"
  xinput query-state "Virtual core XTEST keyboard" | grep -q "key\[$code\]=down"
}

# A compositor, as on a desktop: the window is translucent.
xcompmgr -c >/dev/null 2>&1 &
pids+=($!)

if [ "$mode" = tray ]; then
  tray_host &
  tray_pid=$!
  pids+=($!)
  until_ 10 tray_host_up || fail "trayer did not start"
  sleep 0.5
fi

# A session bus would let Qt look for a StatusNotifierItem host; here the
# tray is XEmbed.
env -u DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=xcb "$program" >"$shots/tolvane-$mode.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
until_ 15 shown || fail "the window did not show"
window=$(visible_named Tolvane | head -1)
sleep 0.5

if [ "$mode" = no-tray ]; then
  systray_button "$window"
  # The window stays and a box says why: a second window named Tolvane.
  until_ 5 bash -c '[ "$(xdotool search --onlyvisible --name "^Tolvane\$" | wc -l)" -ge 2 ]' \
    || fail "no message box"
  sleep 0.3
  shot no_tray_message.png
  shown || fail "the window went"
  xdotool key Return
  until_ 5 bash -c '[ "$(xdotool search --onlyvisible --name "^Tolvane\$" | wc -l)" -eq 1 ]' \
    || fail "the message box did not close"
  window=$(visible_named Tolvane | head -1)
  # The About dialog, closed by Esc and then by Enter.
  for key in Escape Return; do
    about_button "$window"
    until_ 5 bash -c '[ -n "$(xdotool search --onlyvisible --name "^About Tolvane\$")" ]' \
      || fail "no About dialog"
    sleep 0.3
    [ "$key" = Escape ] && shot about_dialog.png
    xdotool key "$key"
    until_ 5 bash -c '[ -z "$(xdotool search --onlyvisible --name "^About Tolvane\$")" ]' \
      || fail "$key did not close the About dialog"
  done
  exit_button "$window"
else
  # The window's own dialogs first: the tray must not care what was shown.
  for key in Escape Return; do
    about_button "$window"
    until_ 5 bash -c '[ -n "$(xdotool search --onlyvisible --name "^About Tolvane\$")" ]' \
      || fail "no About dialog"
    sleep 0.3
    xdotool key "$key"
    until_ 5 bash -c '[ -z "$(xdotool search --onlyvisible --name "^About Tolvane\$")" ]' \
      || fail "$key did not close the About dialog"
  done
  # Esc sent to the About window by its id, as automation tools do
  # ("xdotool key --window ID Escape"): xdotool presses it through the
  # server while the dialog has the focus, which closes the dialog; it then
  # sends the release to the dialog's window, by then gone, as a plain
  # event, which the server refuses. (Both halves here in turn: in one
  # command the dialog closes within xdotool's 12 ms only on a quick
  # machine.) The server holds Esc down from then on and repeats it, 25
  # times a second, to whichever window has the keyboard. Menus must still
  # open and stay open.
  about_button "$window"
  until_ 5 bash -c '[ -n "$(xdotool search --onlyvisible --name "^About Tolvane\$")" ]' \
    || fail "no About dialog"
  sleep 0.3
  about=$(xdotool search --onlyvisible --name "^About Tolvane\$" | head -1)
  xdotool keydown --window "$about" Escape
  until_ 5 bash -c '[ -z "$(xdotool search --onlyvisible --name "^About Tolvane\$")" ]' \
    || fail "the sent Esc did not close the About dialog"
  xdotool keyup --window "$about" Escape 2>/dev/null || true  # BadWindow
  sleep 1  # past the repeat delay
  key_held ESC || fail "Esc is not held: this part checks nothing any more"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + 100)) $((Y + 100)) click 3  # on the chart
  up_and_staying "right click on the chart under a held Esc"
  xdotool mousemove 900 700 click 1  # outside: the menu closes
  until_ 5 menu_gone || fail "the chart's menu did not close"
  # The tray host ends while the window is in the tray: with no host left,
  # the window comes back after a few seconds. Then a host again, for the
  # rounds.
  systray_button "$window"
  until_ 5 hidden || fail "host gone: the window stayed on the screen"
  until_ 5 icon_up || fail "host gone: no icon in the tray"
  kill "$tray_pid"
  until_ 10 shown || fail "host gone: the window did not come back"
  window=$(visible_named Tolvane | head -1)
  tray_host &
  pids+=($!)
  until_ 10 tray_host_up || fail "trayer did not start again"
  sleep 0.5
  for round in 1 2; do
    # Round 2 by Enter: after "&Restore" the focus is back on "&Systray".
    if [ "$round" = 1 ]; then systray_button "$window"; else xdotool key Return; fi
    until_ 5 hidden || fail "round $round: the window stayed on the screen"
    until_ 5 icon_up || fail "round $round: no icon in the tray"
    sleep 0.5  # docked is not yet drawn and taking clicks
    right_click_icon
    # Round 1 under the held Esc.
    up_and_staying "round $round: right click on the icon"
    if [ "$round" = 1 ]; then
      key_held ESC || fail "Esc is no longer held in round 1"
      shot tray_menu.png
      xdotool key r  # "&Restore"
      until_ 5 shown || fail "Restore: the window did not come back"
      until_ 5 icon_gone || fail "Restore: the icon stayed"
      window=$(visible_named Tolvane | head -1)
      until_ 5 bash -c '[ "$(xdotool getwindowfocus)" = "$0" ]' "$window" ||
        fail "Restore: the window did not take the keyboard"
    else
      xdotool key e  # "&Exit"
    fi
  done
fi

# The program ends by itself, and is reaped here as our own child.
until_ 10 bash -c "! kill -0 $program_pid 2>/dev/null || grep -q '^State:.*Z' /proc/$program_pid/status" \
  || fail "the program is still running"
status=0
wait "$program_pid" || status=$?
[ "$status" = 0 ] || fail "the program ended with status $status"
echo "1 passed, 0 failed"
