# The tray host the real-window tests dock their icons in (trayer), and the
# docked icon; sourced by the Linux and the Windows window tests, which set
# ICON_NAME to an awk pattern for the icon window's name.

# trayer at the top right, in the foreground (start it with &).
tray_host() {
  exec trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 28 \
    --transparent false --tint 0xd0d0d0 >/dev/null 2>&1
}
tray_host_up() { [ -n "$(xdotool search --class trayer 2>/dev/null)" ]; }

# "WxH+x+y +X+Y" of the icon in a shown trayer panel.
icon_geometry() {
  local w found
  for w in $(xdotool search --class trayer 2>/dev/null); do
    xwininfo -id "$w" | grep -q 'Map State: IsViewable' || continue
    found=$(xwininfo -tree -id "$w" | awk -v name="$ICON_NAME" '$0 ~ name {print $(NF-1) " " $NF; exit}')
    if [ -n "$found" ]; then
      echo "$found"
      return 0
    fi
  done
  return 1
}
icon_up() { icon_geometry >/dev/null; }
icon_gone() { ! icon_up; }

# A right click in the middle of the icon.
right_click_icon() {
  local size position width height x y
  read -r size position <<<"$(icon_geometry)"
  width=${size%%x*} height=${size#*x} height=${height%%+*}
  x=${position#+} x=${x%%+*} y=${position##*+}
  xdotool mousemove $((x + width / 2)) $((y + height / 2)) click 3
}
