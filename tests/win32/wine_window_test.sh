#!/usr/bin/env bash
# The Windows program itself under Wine, on a virtual X display with a
# compositor and a tray host, driven from outside by tests/win32/driver
# and, for the tray icon (an X window docked in the tray host), by xdotool.
# Then its installer: silent install, the installed program starts, silent
# uninstall. Prints the Windows figures at the end.
#
#   wine_window_test.sh BUILD_DIR     (build/mingw, after cpack made the installer)
#
# scripts/test-windows.sh runs it inside the test bed's client namespace,
# so the echoes reach the bed's hosts; with TOLVANE_TESTBED_LOCK set it
# holds that lock while it uses the scripted host. Every wait is bounded;
# everything started here is stopped here.
set -euo pipefail

build=$(cd "$1" && pwd)
if [ "$(ip netns identify $$ 2>/dev/null)" != tolv-c ]; then
  if [ "${CI:-}" = true ]; then
    echo "FAIL: not in the test bed's client namespace (CI=true: tests must not skip)" >&2
    exit 1
  fi
  echo "wine_window_test: skipped: not in the test bed's client namespace tolv-c (scripts/test-windows.sh as root)"
  exit 0
fi
program=$build/src/win32/tolvane.exe
driver_exe=$build/tests/win32/tolvane_driver.exe
bench=$build/bench/win32/start_bench.exe
installer=$build/packages/tolvane-1.0.10-win64.exe
shots=$build/screenshots
rm -rf "$shots"
mkdir -p "$shots"
for f in "$program" "$driver_exe" "$bench" "$installer"; do
  [ -f "$f" ] || { echo "FAIL: $f is not built" >&2; exit 1; }
done

passed=0
fail() {
  echo "FAIL: $*" >&2
  # What the screen showed then, for a look afterwards.
  [ -z "${DISPLAY:-}" ] || import -window root "$shots/failure.png" 2>/dev/null || true
  exit 1
}
pass() { passed=$((passed + 1)); echo "ok: $*"; }

pids=()
WINEPREFIX=$(mktemp -d /tmp/tolvane-winewin.XXXXXX)
export WINEPREFIX WINEDEBUG=-all
# File names reach Linux in UTF-8; Windows' side keeps the Western ANSI
# code page that the C locale gives it.
export LC_ALL=C.UTF-8
# No .NET or web engine; no Start-menu entries of the host desktop; a
# crash ends the program instead of waiting in the debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
cleanup() {
  wineserver -k 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$WINEPREFIX" "$WINEPREFIX.display"
}
trap cleanup EXIT

# until SECONDS COMMAND...: true once COMMAND succeeds, polled every 0.1 s.
until_() {
  local limit=$1; shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}
# The driver's steps; it says what failed, the screen is kept. (Its output
# has Windows line ends.)
drive() { wine "$driver_exe" "$@" | tr -d '\r' || fail "driver: $*"; }
shot() { import -window root "$shots/$1"; }

# The display, its compositor (translucency shows only with one) and a tray.
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$WINEPREFIX.display" 2>/dev/null &
pids+=($!)
until_ 10 test -s "$WINEPREFIX.display" || fail "Xvfb did not start"
display=$(cat "$WINEPREFIX.display")
export DISPLAY=:$display
xcompmgr >/dev/null 2>&1 &
pids+=($!)
# Wine docks its icons as windows of explorer.exe.
ICON_NAME='"explorer.exe"'
# shellcheck source=../support/tray_host.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/tray_host.sh"
tray_host &
pids+=($!)
until_ 10 tray_host_up || fail "trayer did not start"

wineboot -i >/dev/null 2>&1
wineserver -w
wineserver -p </dev/null >/dev/null 2>&1

start_program() {
  wine "$1" </dev/null >>"$shots/tolvane.log" 2>&1 &
  program_pid=$!
  drive window 20000
}
# The program ends by itself within 10 s.
ended() {
  until_ 10 bash -c "! kill -0 $program_pid 2>/dev/null" || fail "the program is still running"
  wait "$program_pid" || fail "the program ended with status $?"
}

# --- One executable that needs nothing beside it -------------------------
# Every DLL it imports is one of the system's own (Wine keeps a stand-in
# for each in system32): no C++ runtime, no Qt.
imports=$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p')
[ -n "$imports" ] || fail "no imports read from $program"
for dll in $imports; do
  [ -n "$(find "$WINEPREFIX/drive_c/windows/system32" -maxdepth 1 -iname "$dll")" ] ||
    fail "tolvane.exe imports $dll, which is not a system DLL"
done
pass "imports system DLLs only: $(echo $imports)"

# --- The window as it opens ---------------------------------------------
start_program "$program"
at=$(drive frame)
[[ $at == "frame: 96 dpi, 0,0 609x333" ]] || fail "at 96 dpi: $at"
for row in "Text1 127.0.0.1" "duration 6" "interval 2" "Command1 Ping" "Command5 &Stop" \
  "Command4 &About" "Command3 &Systray" "Command2 &Exit" "Label1 How many times?" \
  "Label2 Int in Sec." "Label3 IP:" "results Duration in sec." "Current "; do
  drive expect "${row%% *}" "${row#* }"
done
drive shown Command5 0 rows 5
pass "frame, translucency, shadow, layout and texts"

# --- The default run: six echoes to 127.0.0.1 every 2 s -------------------
drive click Command1 shown Command5 1
run=$(drive watch Avr: 20000)
# Answers and their average (loopback answers within a millisecond or so;
# how fast is for the benchmark, not for this test).
[[ $(tail -1 <<<"$run") =~ ^Avr:[0-9]+\ \|\ Min\ Rt:[0-9]+\ Max\ Rt:[0-9]+$ ]] || fail "default run ended with: $run"
drive shown Command5 0 nobox rows 6
pass "the default run to 127.0.0.1"

# --- The scripted host: the bed's lock is held while it plays -----------
if [ -n "${TOLVANE_TESTBED_LOCK:-}" ]; then
  exec 8>"$TOLVANE_TESTBED_LOCK"
  flock -w "${TOLVANE_TESTBED_LOCK_WAIT:-60}" 8 || fail "test bed busy"
fi

# --- The 12, 15, lost, 20 ms run against the scripted host ---------------
# The press probes once, then the samples: 12 ms, 15 ms, lost, 20 ms.
# The watch starts in the same driver as the click: a driver of its own
# might start only after the first tick on a busy machine.
run=$(drive script 1 12 15 x 20 type Text1 10.77.3.100 type duration 4 type interval 0.5 click Command1 \
  watch Avr: 8000)
drive requests 5 nobox rows 4
shot main_window.png
echo "$run"
# Replies come back no earlier than the delay, and later under load (up to
# 9 ms here); the labels follow whatever times the samples took.
v='([0-9]+)'
[[ $(sed -n 2,6p <<<"$run" | tr '\n' '/') =~ ^${v}ms\ \|\ Min\ Rt:${v}\ Max\ Rt:${v}/${v}ms\ \|\ Min\ Rt:${v}\ Max\ Rt:${v}/no\ reply\ \|\ Min\ Rt:${v}\ Max\ Rt:${v}/${v}ms\ \|\ Min\ Rt:${v}\ Max\ Rt:${v}/Avr:${v}\ \|\ Min\ Rt:${v}\ Max\ Rt:${v}/$ ]] ||
  fail "the 12, 15, lost, 20 ms run: the ticks showed"$'\n'"$run"
m=("${BASH_REMATCH[@]}")
a=${m[1]} b=${m[4]} d=${m[9]}
for pair in "$a 12" "$b 15" "$d 20"; do
  read -r got delay <<<"$pair"
  [ "$got" -ge "$delay" ] && [ "$got" -le $((delay + 9)) ] || fail "the 12, 15, lost, 20 ms run: $got ms for $delay"$'\n'"$run"
done
# Each label agrees with the samples: the minimum and maximum over the
# answered ones so far (the loss changes nothing), the average over the three.
min() { echo $(( $1 < $2 ? $1 : $2 )); }
max() { echo $(( $1 > $2 ? $1 : $2 )); }
ab=$(min "$a" "$b") AB=$(max "$a" "$b")
for pair in "${m[2]} $a" "${m[3]} $a" "${m[5]} $ab" "${m[6]} $AB" "${m[7]} $ab" "${m[8]} $AB" \
  "${m[10]} $(min "$ab" "$d")" "${m[11]} $(max "$AB" "$d")" "${m[12]} $(( (2 * (a + b + d) + 3) / 6 ))" \
  "${m[13]} $(min "$ab" "$d")" "${m[14]} $(max "$AB" "$d")"; do
  read -r got want <<<"$pair"
  [ "$got" = "$want" ] || fail "the 12, 15, lost, 20 ms run: $got where $want belongs"$'\n'"$run"
done
# The value axis: 0 to a round number with headroom over the highest reply,
# as the core scales it (25 for 20 ms, 30 from 22 ms, 40 from 27 ms).
axis=$(drive axis)
high=$(max "$AB" "$d")
[ "$axis" = "axis top: $(( high * 115 <= 2500 ? 25 : high * 115 <= 3000 ? 30 : 40 ))" ] ||
  fail "the 12, 15, lost, 20 ms run: $axis for $high ms"
# Each row's tooltip: the round trip to the microsecond (the label's whole
# ms are within one of it), or the status of the reply that didn't come.
tips=$(drive tip 1 tip 2 tip 3 tip 4 hosttip)
echo "$tips"
for want in "1 $a" "2 $b" "3 11010   [ ip req timed out ]" "4 $d"; do
  row=${want%% *} want=${want#* }
  tip=$(sed -n "s/^tip $row: //p" <<<"$tips")
  if [ "$row" = 3 ]; then
    [ "$tip" = "$want" ] || fail "row $row's tooltip: '$tip'"
  else
    [[ $tip =~ ^[0-9]+\.[0-9]{3}\ ms$ ]] &&
      awk -v t="${tip% ms}" -v w="$want" 'BEGIN { exit !(t - w < 1 && w - t < 1) }' ||
      fail "row $row's tooltip: '$tip' for ${want} ms"
  fi
done
# Over the legend's host, the whole host (which the legend may cut short).
[ "$(sed -n 's/^host tip: //p' <<<"$tips")" = 10.77.3.100 ] || fail "the legend's tooltip:"$'\n'"$tips"
# The chart's "Copy as CSV": the same rows, the µs from each tooltip.
us() { local t; t=$(sed -n "s/^tip $1: \(.*\) ms$/\1/p" <<<"$tips"); echo $((10#${t/./})); }
csv=$(drive csv)
want="row,seconds,ms,µs,status
1,.5,$a,$(us 1),0   [ ip success ]
2,1,$b,$(us 2),0   [ ip success ]
3,1.5,no reply,,11010   [ ip req timed out ]
4,2,$d,$(us 4),0   [ ip success ]"
[ "$csv" = "$want" ] || fail "the chart's CSV:"$'\n'"$csv"$'\n'"not:"$'\n'"$want"
# A right click on it pops its menu up; Esc closes it unchosen.
read -r x y <<<"$(drive centre graph)"
xdotool mousemove "$x" "$y" click 3
drive menu 5000
shot chart_menu.png
xdotool key Escape
drive nomenu 5000
pass "the 12, 15, lost, 20 ms run: $a, $b, lost, $d ms"

# --- The chart for keyboard and screen-reader users (MSAA) ---------------
# A click focuses the chart; the pointer then rests on its title, where no
# row's tooltip shows. Keys go to the window under the pointer.
xdotool mousemove "$x" "$y" click 1 mousemove $((x - 290)) $((y - 125))
xdotool key End Left Left Home Right
tree=$(drive selected 2 5000 tree)
echo "$tree"
want="list 'Latency chart', description '10.77.3.100', 4 children
  list item '.5 s: $a ms'
  list item '1 s: $b ms' selected focused
  list item '1.5 s: no reply (11010 ip req timed out)'
  list item '2 s: $d ms'"
[ "$tree" = "$want" ] || fail "the chart read through MSAA:"$'\n'"$tree"$'\n'"not:"$'\n'"$want"
shot chart_selected.png
xdotool key shift+F10
drive menu-at-row 5000
xdotool key Escape
drive nomenu 5000
drive named Text1 "IP:" named duration "How many times?" named interval "Int in Sec."
pass "the chart's rows, its selection by keys and the boxes' names through MSAA"

# --- Saving the image replaces only a file named and confirmed -------------
# ".png" is added to "chart" and to "chart.v2"; before a file is replaced
# the program asks, naming it: Wine's dialog reads `my "best" run.png` as best.png.
# Both questions declined: nothing is written.
saves=$(mktemp -d /tmp/tolvane-saves.XXXXXX)
printf old >"$saves/chart.png"
printf old >"$saves/best.png"
printf old >"$saves/chart.v2.png"
for row in 'chart|chart.png' 'chart.v2|chart.v2.png' 'my "best" run.png|best.png'; do
  IFS='|' read -r typed named <<<"$row"
  asked=$(drive save savename "$(winepath -w "$saves")" 5000 savename "$typed" 5000 saving 0 5000 \
    asked "Save Image" 5000 answer "Save Image" 7)
  [[ $asked == "Save Image: $named already exists."* ]] || fail "typed '$typed', asked: $asked"
done
[ "$(cat "$saves/chart.png" "$saves/best.png" "$saves/chart.v2.png")" = oldoldold ] && [ "$(ls "$saves" | wc -l)" = 3 ] ||
  fail "a declined save wrote: $(ls "$saves")"
# Names beyond a Western ANSI code page: asked about and saved as typed.
[ "$(drive codepage)" = "codepage 1252" ] || fail "not a Western code page: $(drive codepage)"
for name in график.png διάγραμμα.png; do
  printf old >"$saves/$name"
  asked=$(drive save savename "$(winepath -w "$saves")" 5000 savename "$name" 5000 saving 0 5000 \
    asked "Save Image" 5000 answer "Save Image" 6)
  [[ $asked == "Save Image: $name already exists."* ]] || fail "typed '$name', asked: $asked"
  until_ 5 bash -c "[ \"\$(head -c 4 '$saves/$name' | od -An -c | tr -d ' ')\" = 211PNG ]" ||
    fail "$name not saved as a PNG: $(ls "$saves")"
done
[ "$(ls "$saves" | wc -l)" = 5 ] || fail "saved beside the names: $(ls "$saves")"
rm -rf "$saves"
pass "the save dialog: chart.png, chart.v2.png and best.png asked about by name, nothing written; график.png and διάγραμμα.png replaced as typed"

# --- The limits: one message each, nothing sent --------------------------
for row in "51|2|Maximum number of pings are 50!" \
  "6|61|Maximun Interval is 60, I think you may want to try between 2 and 5 secs, its a good number"; do
  IFS='|' read -r count seconds message <<<"$row"
  drive script 1 type duration "$count" type interval "$seconds" click Command1 box "$message" 5000 \
    requests 0 nobox shown Command5 0
done
pass "the limit messages"
[ -z "${TOLVANE_TESTBED_LOCK:-}" ] || exec 8>&-

# --- About, twice: the texts come from the version record ----------------
for round in 1 2; do
  drive click Command4 about 5000
  [ $round = 1 ] && shot about_dialog.png
  drive about-ok
done
pass "About"

# --- The keyboard focus comes back after a box, About and Restore -------
# To the button that had it: "Ping" reached by Tab and pressed by Enter,
# "&About" and "&Systray" clicked. Keys go to the window under the pointer.
click_at() { local x y; read -r x y <<<"$(drive centre "$1")"; xdotool mousemove "$x" "$y" click 1; }
drive type duration 51
click_at Text1
xdotool key Tab Return
drive box "Maximum number of pings are 50!" 5000 focus Command1 3000 type duration 6
click_at Command4
drive about 5000 >/dev/null
drive about-ok focus Command4 3000
click_at Command3
drive main 0 5000
until_ 5 icon_up || fail "focus: no icon in the tray"
sleep 0.5 # docked is not yet drawn and taking clicks
right_click_icon
drive menu 5000 >/dev/null
xdotool key r
drive main 1 5000 focus Command3 3000
until_ 5 icon_gone || fail "focus: the icon stayed"
pass "the focus back on the button after a box, About and Restore"

# --- The tray: "&Systray", the icon's menu, "&Restore"; then "&Exit" -----
for round in 1 2; do
  drive click Command3 main 0 5000
  until_ 5 icon_up || fail "round $round: no icon in the tray"
  sleep 0.5 # docked is not yet drawn and taking clicks
  right_click_icon
  drive menu 5000
  if [ $round = 1 ]; then
    shot tray_menu.png
    xdotool key r # "&Restore"
    drive main 1 5000
    until_ 5 icon_gone || fail "Restore: the icon stayed"
  else
    xdotool key e # "&Exit"
    until_ 5 icon_gone || fail "Exit: the icon stayed"
    ended
  fi
done
pass "the tray: hidden, icon, menu, restored; exit from the menu"

# --- The command line: the boxes filled; the usage, the version, a refusal --
wine "$program" пример.испытание 20 3 </dev/null >>"$shots/tolvane.log" 2>&1 &
program_pid=$!
drive window 20000 expect Text1 пример.испытание expect duration 20 expect interval 3 click Command2
ended
for row in "--help|0|out|Usage: tolvane [options] [host [count [interval]]]" "--version|0|out|Tolvane 1.0.10" \
  "--bogus|2|err|tolvane: Unknown option 'bogus'."; do
  IFS='|' read -r argument status stream expected <<<"$row"
  got=0
  out=$(wine "$program" "$argument" 2>"$WINEPREFIX.err" </dev/null | tr -d '\r') || got=$?
  err=$(tr -d '\r' <"$WINEPREFIX.err")
  text=$([ "$stream" = out ] && echo "$out" || echo "$err")
  [ "$got" = "$status" ] && [[ $text == *"$expected"* ]] ||
    fail "tolvane.exe $argument: status $got, out '$out', err '$err'"
done
rm -f "$WINEPREFIX.err"
# Started with nowhere to write to: the text in a box.
wine "$program" --help >&- 2>&- </dev/null &
said=$(drive lonebox Tolvane 5000)
wait $! || fail "--help in a box: status $?"
[[ $said == "Usage: tolvane [options] [host [count [interval]]]"* ]] || fail "--help in a box: $said"
pass "the command line: host, count and interval in the boxes; --help, --version, a refusal with status 2"

# --- Figures ---------------------------------------------------------------
wine "$bench" "$(winepath -w "$program")" | tr -d '\r'

# --- The installer ---------------------------------------------------------
programs="$WINEPREFIX/drive_c/Program Files/Tolvane"
menu_entry="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tolvane/Tolvane.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane'
wine "$installer" /S
# (The installer asks for elevation; Wine may return before it is done.)
until_ 20 test -f "$programs/Uninstall.exe" || fail "install: no $programs/Uninstall.exe"
[ -f "$programs/tolvane.exe" ] || fail "install: no $programs/tolvane.exe"
grep -q "GNU GENERAL PUBLIC LICENSE" "$programs/LICENSE.txt" || fail "install: no licence beside the program"
echo "installed tolvane.exe (stripped): $(stat -c %s "$programs/tolvane.exe") bytes"
until_ 5 test -f "$menu_entry" || fail "install: no Start-menu shortcut"
wine reg query "$uninstall_key" /v UninstallString | grep -q 'Uninstall.exe' ||
  fail "install: no uninstaller in Add/Remove Programs"
start_program 'C:\Program Files\Tolvane\tolvane.exe'
drive click Command2
ended
# The uninstaller runs on from a copy of itself and returns at once; it
# removes the folder, the shortcut and the key in an order of its own, so
# each is waited for.
wine "$programs/Uninstall.exe" /S
absent() { [ ! -e "$1" ]; }
unregistered() { ! wine reg query "$uninstall_key" >/dev/null 2>&1; }
until_ 20 absent "$programs" || fail "uninstall: $programs is still there"
until_ 10 absent "$menu_entry" || fail "uninstall: the Start-menu shortcut stayed"
until_ 10 unregistered || fail "uninstall: still in Add/Remove Programs"
pass "the installer: silent install, the program starts, silent uninstall"

# --- At 144 dpi every rectangle scales with the window -----------------------
wineserver -k
wineserver -w
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -w
start_program "$program"
at=$(drive frame)
[[ $at == "frame: 144 dpi, 0,0 914x500" ]] || fail "at 144 dpi: $at"
drive click Command2
ended
pass "the layout at 144 dpi"

# --- The shell ends for good while the window is in the tray -------------
# Its notification area goes with it: the window comes back as "&Restore"
# brings it, once the shell has stayed away for a few seconds.
start_program "$program"
drive click Command3 main 0 5000
until_ 5 icon_up || fail "shell: no icon in the tray"
drive end-shell 5000
until_ 5 icon_gone || fail "shell: the icon stayed"
drive main 1 10000 focus Command3 3000 click Command2
ended
pass "the window back when the shell ended"

mkdir -p /tmp/win-shots
cp "$shots"/*.png /tmp/win-shots/
echo "$passed passed, 0 failed; screenshots in $shots"
