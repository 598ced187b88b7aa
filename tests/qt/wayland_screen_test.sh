#!/usr/bin/env bash
# The program's own window on Wayland: sway's headless backend, run as user
# nobody in network and pid namespaces of its own (loopback only; whatever
# starts inside ends with the namespace). Keys come from wtype, screenshots
# from grim, the labels over the accessibility bus. It checks
#   - the translucency by pixel: the window's colour over grey, and every
#     pixel of the client area against black and against white beneath;
#   - the frame: sway's own (server-side), the client area exactly the layout's;
#   - the default run to 127.0.0.1, started with keys, read back;
#   - "&Systray" with no StatusNotifierItem host: the message, the window stays;
#   - with one (swaybar's tray): the icon, its menu, "&Restore", and "&Exit".
#   wayland_screen_test.sh TOLVANE SHOTS_DIR      (as root; screenshots go to SHOTS_DIR)
# Without root or without the compositor it skips; under CI=true it fails.
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }

# until_ SECONDS COMMAND...: true once COMMAND succeeds, polled every 0.1 s
# for at most SECONDS (however long each try takes).
until_() {
  local deadline=$((SECONDS + $1)); shift
  while [ "$SECONDS" -lt "$deadline" ]; do "$@" && return 0; sleep 0.1; done
  return 1
}

# ---------------------------------------------------------------------------
# Inside: user nobody, under dbus-run-session, in the namespaces.
inside() {
  local program=$1 rt=$2 preload=${3:-}
  export WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
  export QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
  printf 'xwayland disable\noutput HEADLESS-1 resolution 1024x768 position 0 0 bg #808080 solid_color\ninclude %s/bar.conf\n' \
    "$rt" >"$rt/sway.conf"
  : >"$rt/bar.conf"
  sway -c "$rt/sway.conf" >"$rt/sway.log" 2>&1 &
  sway_pid=$! program_pid=""
  trap 'kill ${program_pid:-} ${sway_pid:-} 2>/dev/null || true' EXIT
  until_ 10 compgen -G "$rt/sway-ipc.*.sock" >/dev/null || fail "sway did not start: $(tail -3 "$rt/sway.log")"
  SWAYSOCK=$(compgen -G "$rt/sway-ipc.*.sock" | head -1)
  WAYLAND_DISPLAY=$(basename "$(compgen -G "$rt/wayland-[0-9]" | head -1)")
  export SWAYSOCK WAYLAND_DISPLAY

  # The program's views in sway's tree; the main window is the first made.
  views() { swaymsg -t get_tree | jq -c '[.. | objects | select(.app_id? == "tolvane")] | sort_by(.id)'; }
  count() { views | jq length; }
  main_view() { views | jq -c 'first // empty'; }
  shown() { [ -n "$(main_view)" ] && [ "$(main_view | jq .visible)" = true ]; }
  gone() { [ "$(count)" = 0 ]; }
  views_are() { [ "$(count)" = "$1" ]; }
  menu_up() { [ -n "$(views | jq -c '.[] | select(.window_rect.width < 300)')" ]; }
  key() { wtype -s 500 "$@"; }  # the pause: a new keyboard's first key can get lost
  start() {
    env ${preload:+LD_PRELOAD="$preload"} "$program" "$@" >>"$rt/tolvane.log" 2>&1 &
    program_pid=$!
    until_ 15 shown || fail "the window did not show: $(tail -3 "$rt/tolvane.log")"
    sleep 0.5
  }
  ends() {
    # Our own child: a zombie until waited for.
    until_ 10 bash -c "! kill -0 $program_pid 2>/dev/null || grep -q '^State:.*Z' /proc/$program_pid/status 2>/dev/null" ||
      fail "the program is still running"
    local status=0
    wait "$program_pid" || status=$?
    [ "$status" = 0 ] || fail "the program ended with status $status"
    program_pid=""
  }

  # The accessible names of the program's windows and of their controls,
  # one a line.
  a11y_names() {
    local address app
    address=$(gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
      --method org.a11y.Bus.GetAddress | sed -n "s/^('\(.*\)',)$/\1/p")
    app=$(gdbus call --address "$address" --dest org.a11y.atspi.Registry \
      --object-path /org/a11y/atspi/accessible/root --method org.a11y.atspi.Accessible.GetChildren |
      grep -o "(':[0-9.]*'" | tr -d "('" | tail -1)
    [ -n "$app" ] || return 0
    children() {
      gdbus call --address "$address" --dest "$app" --object-path "$1" \
        --method org.a11y.atspi.Accessible.GetChildren 2>/dev/null |
        grep -o "'/org/a11y/atspi/accessible/[0-9a-z]*'" | tr -d "'" | head -40
    }
    local window control
    for window in $(children /org/a11y/atspi/accessible/root); do
      for control in "$window" $(children "$window"); do
        gdbus call --address "$address" --dest "$app" --object-path "$control" \
          --method org.freedesktop.DBus.Properties.Get org.a11y.atspi.Accessible Name 2>/dev/null |
          sed -n -E "s/^\(<['\"](.*)['\"]>,\)$/\1/p"
      done
    done
  }
  # (No grep -q at the end of a pipe: under pipefail the writer's SIGPIPE
  # would count as a failure.)
  a11y_has() { grep -qE "$1" <<<"$(a11y_names)"; }

  # Pixels: "r g b" of (x, y) in a PNG.
  pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)] %[fx:int(255*p{$2,$3}.g+0.5)] %[fx:int(255*p{$2,$3}.b+0.5)]" info:
  }
  background() {  # swaybg's colour under everything, and wait until it shows
    swaymsg output HEADLESS-1 bg "$1" solid_color >/dev/null
    until_ 5 bash -c "grim -g '1010,755 1x1' - | convert - -format '%[hex:p{0,0}]' info: | grep -qi '^${1#\#}'" ||
      fail "the background did not turn $1"
    sleep 0.3
  }

  # --- The window, its frame and its translucency --------------------------
  start 127.0.0.1 3 1
  local view x y w h
  view=$(main_view)
  read -r x y w h < <(jq -r '"\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height)"' <<<"$view")
  echo "window: client area ${w}x${h} at $x,$y; sway border $(jq -r .border <<<"$view"), $(jq -r .type <<<"$view")"
  [ "$w x $h" = "609 x 333" ] || fail "client area ${w}x${h}, not 609x333: a frame drawn into it?"
  [ "$(jq -r .border <<<"$view")" != csd ] || fail "the window draws its own frame where sway offers one"
  [ "$(jq -r .type <<<"$view")" = floating_con ] || fail "the fixed-size window is tiled"

  local area="$x,$y ${w}x${h}"
  grim -g "$area" "$rt/over-grey.png"
  # Bottom left, beside the results label: nothing but the window's colour.
  local seen expected
  seen=$(pixel "$rt/over-grey.png" 3 325)
  expected="$(( (0 * 210 + 128 * 45 + 127) / 255 )) $(( (64 * 210 + 128 * 45 + 127) / 255 )) $(( (64 * 210 + 128 * 45 + 127) / 255 ))"
  echo "window colour over grey (128,128,128): ($seen), expected ($expected) = (0,64,64) at 210/255"
  read -r r g b <<<"$seen"
  read -r er eg eb <<<"$expected"
  for pair in "$r $er" "$g $eg" "$b $eb"; do
    set -- $pair
    [ $(( $1 - $2 )) -le 2 ] && [ $(( $2 - $1 )) -le 2 ] || fail "over grey ($seen), expected ($expected)"
  done
  # Over black and over white, every pixel of the client area differs by
  # the share of the background that shows through: 255 * 45/255.
  background '#000000'; grim -g "$area" "$rt/over-black.png"
  background '#ffffff'; grim -g "$area" "$rt/over-white.png"
  local spread
  spread=$(convert "$rt/over-white.png" "$rt/over-black.png" -compose difference -composite \
    -format '%[fx:int(255*minima+0.5)] %[fx:int(255*maxima+0.5)]' info:)
  echo "white minus black beneath, over all ${w}x${h} pixels and channels: min and max $spread (45 expected)"
  read -r lo hi <<<"$spread"
  [ "$lo" -ge 43 ] && [ "$hi" -le 47 ] || fail "not translucent at 210/255 everywhere: white-black spread $spread"
  echo "window over black: ($(pixel "$rt/over-black.png" 3 325)), over white: ($(pixel "$rt/over-white.png" 3 325))"
  background '#808080'

  # --- The default run: Tab, Tab, Space is "Ping" on 127.0.0.1 -------------
  key -k Tab -k Tab -k space
  until_ 20 a11y_has '^Avr:' || { grim "$rt/wayland-failed-run.png"; fail "the run did not end with an average: $(a11y_names | tr '\n' '|')"; }
  local names
  names=$(a11y_names)
  local avr minmax
  avr=$(grep -E '^Avr:[0-9]+$' <<<"$names" || true)
  minmax=$(grep -E '^Min Rt:[0-9]+ Max Rt:[0-9]+$' <<<"$names" || true)
  echo "after the run: \"$avr\", \"$minmax\""
  [ -n "$avr" ] && [ -n "$minmax" ] || fail "labels after the run: $(tr '\n' '|' <<<"$names")"
  read -r mn mx < <(sed -E 's/^Min Rt:([0-9]+) Max Rt:([0-9]+)$/\1 \2/' <<<"$minmax")
  [ "$mn" -le "${avr#Avr:}" ] && [ "${avr#Avr:}" -le "$mx" ] || fail "average outside min..max"
  sleep 0.3
  grim "$rt/wayland-main-window.png"

  # --- "&Systray" with no StatusNotifierItem host ---------------------------
  key -M alt s -m alt
  until_ 5 views_are 2 || fail "no message box"
  until_ 5 a11y_has "^The notification area isn't available, so the window stays open\.$" ||
    fail "the box does not say why: $(a11y_names | tr '\n' '|')"
  shown || fail "the window went"
  sleep 0.3
  grim "$rt/wayland-no-tray-message.png"
  # The box itself stays opaque: the same over black as over white.
  last_view_opaque() {
    local box spread
    box=$(views | jq -r 'last | "\(.rect.x + .window_rect.x),\(.rect.y + .window_rect.y) \(.window_rect.width)x\(.window_rect.height)"')
    background '#000000'; grim -g "$box" "$rt/box-black.png"
    background '#ffffff'; grim -g "$box" "$rt/box-white.png"
    background '#808080'
    spread=$(convert "$rt/box-white.png" "$rt/box-black.png" -compose difference -composite \
      -format '%[fx:int(255*maxima+0.5)]' info:)
    echo "$1 ($box): white minus black beneath at most $spread (0: opaque)"
    [ "$spread" = 0 ] || fail "the $1 shows what lies beneath"
  }
  last_view_opaque "message box"
  key -k Return
  until_ 5 views_are 1 || fail "the message box did not close"
  shown || fail "the window went after the message"
  # The About dialog is opaque too.
  key -M alt a -m alt
  until_ 5 views_are 2 || fail "no About dialog"
  [ "$(views | jq -r 'last | .name')" = "About Tolvane" ] || fail "not the About dialog: $(views | jq -r 'last | .name')"
  sleep 0.3
  last_view_opaque "About dialog"
  key -k Escape
  until_ 5 views_are 1 || fail "Escape did not close the About dialog"
  key -M alt e -m alt  # "&Exit"
  ends

  # --- With a StatusNotifierItem host: swaybar's tray ----------------------
  printf 'bar {\n  position top\n  tray_output *\n}\n' >"$rt/bar.conf"
  swaymsg reload >/dev/null
  has_watcher() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
      --method org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher | grep true >/dev/null
  }
  items() {
    gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
      --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems |
      grep -o "'[^']*'" | tr -d "'" || true
  }
  has_items() { [ -n "$(items)" ]; }
  no_items() { [ -z "$(items)" ]; }
  until_ 10 has_watcher || fail "swaybar's tray did not come up"
  start
  # swaybar asks the item for its menu on a right click (ContextMenu), as
  # here; the menu opens on its own, and a key picks the item.
  context_menu() {
    local item service path
    item=$(items | head -1)
    service=${item%%/*}
    path=/${item#*/}
    timeout 20 gdbus call --session --dest "$service" --object-path "$path" \
      --method org.kde.StatusNotifierItem.ContextMenu 0 0 >/dev/null &
    until_ 5 menu_up || fail "no menu on the item's ContextMenu"
    sleep 0.3
  }
  for round in 1 2; do
    key -M alt s -m alt
    until_ 5 gone || fail "round $round: the window stayed"
    until_ 5 has_items || fail "round $round: no item registered with the tray"
    echo "round $round: in the tray as $(items)"
    sleep 0.5
    [ "$round" = 1 ] && grim "$rt/wayland-tray.png"
    context_menu
    if [ "$round" = 1 ]; then
      grim "$rt/wayland-tray-menu.png"
      key r  # "&Restore"
      until_ 5 shown || fail "Restore: the window did not come back"
      until_ 5 no_items || fail "Restore: the item stayed"
      [ "$(main_view | jq -r '"\(.window_rect.width)x\(.window_rect.height)"')" = 609x333 ] ||
        fail "Restore: the window came back at another size"
      sleep 0.5
      # And as translucent as it left.
      grim -g "$(main_view | jq -r '"\(.rect.x + .window_rect.x + 3),\(.rect.y + .window_rect.y + 325) 1x1"')" "$rt/restored.png"
      seen=$(pixel "$rt/restored.png" 0 0)
      echo "restored: window colour over grey ($seen)"
      [ "$seen" = "$(pixel "$rt/over-grey.png" 3 325)" ] || fail "Restore: ($seen), not as before"
    else
      key e  # "&Exit"
    fi
  done
  ends
  until_ 5 no_items || fail "Exit: the item stayed"
  echo "1 passed, 0 failed"
}

if [ "${1:-}" = --inside ]; then
  shift
  inside "$@"
  exit
fi

# ---------------------------------------------------------------------------
# Outside: root. Sets up the user's runtime folder and the namespaces.
program=$1 shots=$2
skip() {
  if [ "${CI:-}" = true ]; then fail "$* (CI=true: this test must not skip)"; fi
  echo "SKIP: $*"; exit 77
}
[ "$(id -u)" = 0 ] || skip "needs root (namespaces, and sway as user nobody)"
for tool in sway swaymsg swaybg swaybar grim wtype gdbus dbus-run-session jq convert unshare setpriv ip sysctl; do
  command -v "$tool" >/dev/null || skip "$tool is missing (scripts/deps.sh installs it)"
done
compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null ||
  skip "Qt's Wayland platform is missing (qt6-wayland; scripts/deps.sh installs it)"
[ -f /usr/share/dbus-1/services/org.a11y.Bus.service ] || skip "the accessibility bus is missing (at-spi2-core)"

mkdir -p "$shots"
rm -f "$shots"/wayland-*.png
rt=$(mktemp -d /tmp/tolvane-wayland.XXXXXX)
trap 'rm -rf "$rt"' EXIT
# Copies nobody can read wherever the build is.
install -m 0755 "$program" "$rt/tolvane"
install -m 0755 "${BASH_SOURCE[0]}" "$rt/test.sh"
chown nobody "$rt"
chmod 0700 "$rt"
group=$(id -g nobody)
# A sanitizer build's options go along, its leak suppressions copied in too.
sanitizers=()
for var in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS; do
  [ -n "${!var:-}" ] && sanitizers+=("$var=${!var}")
done
if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]*) ]] && [ -f "${BASH_REMATCH[1]}" ]; then
  install -m 0644 "${BASH_REMATCH[1]}" "$rt/lsan.supp"
  sanitizers=("${sanitizers[@]/suppressions=${BASH_REMATCH[1]}/suppressions=$rt/lsan.supp}")
fi
# Qt's EGL integration loads Mesa's DRI driver and unloads it at exit, before
# the leak check. On AMD Zen processors the driver keeps a block of its own
# for the process's whole life (the L3 cache masks it finds at start-up),
# pointed to only from its own data: unloaded, that data is gone, the block
# is reported as a leak, and its frame has no library left to name it. Under
# the leak checker the program starts with the driver preloaded (one file
# under every driver name), so it stays loaded until the check.
preload=""
if [ -n "${ASAN_OPTIONS:-}${LSAN_OPTIONS:-}" ]; then
  preload=$(compgen -G "/usr/lib/*/dri/swrast_dri.so" | head -1 || true)
fi
status=0
timeout -k 5 170 unshare --net --pid --fork --kill-child --mount-proc -- sh -c '
  group=$1 rt=$2 preload=$3
  shift 3
  ip link set lo up && sysctl -qw net.ipv4.ping_group_range="$group $group" || exit 1
  exec setpriv --reuid=nobody --regid="$group" --clear-groups --inh-caps=-all \
    env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$rt" XDG_RUNTIME_DIR="$rt" LANG=C.UTF-8 "$@" \
    dbus-run-session -- bash "$rt/test.sh" --inside "$rt/tolvane" "$rt" "$preload"
' sh "$group" "$rt" "$preload" "${sanitizers[@]}" 2>&1 | grep -v '^dbus-daemon\[' || status=${PIPESTATUS[0]}
cp "$rt"/wayland-*.png "$shots"/ 2>/dev/null || true
for f in "$shots"/wayland-*.png; do [ -f "$f" ] && echo "screenshot: $f"; done
[ "$status" = 0 ] || { echo "--- program's log"; cat "$rt/tolvane.log" 2>/dev/null || true; exit "$status"; }
