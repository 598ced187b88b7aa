#!/usr/bin/env bash
# The attack a file capability invites: user nobody points the toolkit at a
# style plugin of their own and starts the program that holds CAP_NET_RAW.
# The plugin must either never load or find no privilege (no packet socket,
# no raw IP socket), and the program must still ping a test-bed host
# through its raw socket, ping sockets being closed to nobody's group; it
# holds its raw ICMPv6 socket as well, and no capability.
# A copy without the capability, where the plugin does load, shows that
# the test would see it.
# Usage: hostile_plugin_test.sh PROGRAM PLUGIN   (root, inside the bed's client namespace)
set -euo pipefail
program=$1 plugin=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() {
  if [ "${CI:-}" = true ]; then fail "$*"; fi
  echo "SKIP: $*"; exit 77
}
[ "$(id -u)" = 0 ] || skip "needs root"
[ "$(ip netns identify)" = tolv-c ] || skip "not inside the test bed's client namespace"
for tool in setcap setpriv Xvfb xdotool; do
  command -v "$tool" >/dev/null || skip "$tool is missing (scripts/deps.sh installs it)"
done

range=/proc/sys/net/ipv4/ping_group_range
old_range=$(tr '\t' ' ' <"$range")
# A folder nobody may enter but not list or write, so no one can swap the
# binary that holds the capability.
dir=$(mktemp -d /tmp/tolvane-hostile.XXXXXX)
xvfb=""
pids=()
cleanup() {
  for pid in "${pids[@]}" $xvfb; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  echo "$old_range" >"$range"
  rm -rf "$dir"
}
trap cleanup EXIT
chmod 0711 "$dir"
mkdir -p "$dir/plugins/styles" "$dir/report"
install -m 0755 "$program" "$dir/tolvane"
install -m 0755 "$program" "$dir/tolvane-plain"
install -m 0644 "$plugin" "$dir/plugins/styles/"
chmod -R a+rX "$dir/plugins"
chown nobody "$dir/report"
setcap cap_net_raw+ep "$dir/tolvane"
echo "0 65533" >"$range"  # every group but nogroup

# A display number no other X server on the machine holds (their sockets
# are shared through /tmp whatever the namespace). Any client may connect
# (-ac): the program runs as nobody.
display=300
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xvfb ":$display" -nolisten tcp -noreset -ac -screen 0 800x600x24 >"$dir/xvfb.log" 2>&1 &
xvfb=$!
export DISPLAY=:$display
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb did not start: $(cat "$dir/xvfb.log")"

# Starts a copy as nobody with the plugin offered every way the toolkit
# takes one; prints its pid.
start() {
  local report=$dir/report/$2
  setpriv --reuid=nobody --regid=nogroup --clear-groups --inh-caps=-all \
    env -i DISPLAY="$DISPLAY" HOME=/nonexistent QT_QPA_PLATFORM=xcb TOLVANE_HOSTILE_REPORT="$report" \
    QT_PLUGIN_PATH="$dir/plugins" QT_STYLE_OVERRIDE=tolvanehostile \
    "$1" -style tolvanehostile -platformpluginpath "$dir/plugins" >"$report.log" 2>&1 &
  echo $!
}

windows() { xdotool search --onlyvisible --name '^Tolvane$' 2>/dev/null | wc -l; }

# The control: without the capability the plugin is loaded.
pid=$(start "$dir/tolvane-plain" plain)
pids+=("$pid")
for _ in $(seq 100); do [ -s "$dir/report/plain" ] && break; sleep 0.1; done
kill "$pid" 2>/dev/null || true
[ -s "$dir/report/plain" ] || fail "the plugin never loaded even without the capability: $(cat "$dir/report/plain.log")"
echo "without the capability, the plugin: $(head -n1 "$dir/report/plain")"

# The attack.
pid=$(start "$dir/tolvane" capable)
pids+=("$pid")
window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^Tolvane$' 2>/dev/null | head -n1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "the program's window never showed: $(cat "$dir/report/capable.log")"
held=$(awk '/^(Uid|CapPrm|CapEff|CapAmb|NoNewPrivs):/ {printf "%s %s  ", $1, $2}' "/proc/$pid/status")
echo "the program with the capability, once up: $held"
[[ $held == *"Uid: 65534"*"CapPrm: 0000000000000000"*"CapEff: 0000000000000000"*"CapAmb: 0000000000000000"* ]] \
  || fail "the program holds a privilege after start-up"
if [ -s "$dir/report/capable" ]; then
  echo "with the capability, the plugin: $(cat "$dir/report/capable")"
  grep -q "CapEff 0000000000000000 packet socket refused raw IP socket refused" "$dir/report/capable" \
    || fail "the plugin ran with a privilege"
else
  echo "with the capability, the plugin: never loaded"
fi

# Its raw sockets are a raw ICMP and a raw ICMPv6 socket of this namespace.
mine=$(find "/proc/$pid/fd" -lname 'socket:*' -printf '%l\n' | tr -dc '0-9\n')
raw=$(awk 'NR > 1 {print $10}' /proc/net/raw)
grep -qxF -f <(echo "$raw") <<<"$mine" || fail "the program holds no raw socket"
raw6=$(awk 'NR > 1 {print $10}' /proc/net/raw6)
grep -qxF -f <(echo "$raw6") <<<"$mine" || fail "the program holds no raw ICMPv6 socket"
echo "the program holds a raw ICMP and a raw ICMPv6 socket"

# Type a host and press "Ping": a host that answers starts the run, one
# that doesn't brings up the "unresponsive host" box.
eval "$(xdotool getwindowgeometry --shell "$window")"
ping_host() {
  xdotool mousemove $((X + 144)) $((Y + 284)) click --repeat 3 1 key ctrl+a type "$1"
  xdotool mousemove $((X + 264)) $((Y + 284)) click 1
  sleep 1.5
}
ping_host 10.77.1.2
answered=$(windows)
ping_host fd4c:7f1e:a7b0:1::2
answered6=$(windows)
ping_host 10.77.2.2
silent=$(windows)
echo "windows after pinging the kernel host: $answered; over IPv6: $answered6; after the silent host: $silent"
[ "$answered" = 1 ] || fail "pinging the kernel host as nobody brought up a box"
[ "$answered6" = 1 ] || fail "pinging the kernel host's IPv6 address as nobody brought up a box"
[ "$silent" = 2 ] || fail "a silent host brought up no box: the probe can't be observed"
kill "$pid" 2>/dev/null || true

# Started through sudo, it ends up as the user who asked, holding nothing.
env -i DISPLAY="$DISPLAY" QT_QPA_PLATFORM=offscreen SUDO_UID=65534 SUDO_GID=65534 \
  "$dir/tolvane" >"$dir/report/sudo.log" 2>&1 &
pid=$!
pids+=("$pid")
sleep 1.5
kill -0 "$pid" 2>/dev/null || fail "started through sudo, it did not stay up: $(cat "$dir/report/sudo.log")"
held=$(awk '/^(Uid|Gid|CapPrm|CapEff|CapBnd|CapAmb):/ {printf "%s %s  ", $1, $2}' "/proc/$pid/status")
echo "started as root with SUDO_UID=65534: $held"
[ "$held" = "Uid: 65534  Gid: 65534  CapPrm: 0000000000000000  CapEff: 0000000000000000  CapBnd: 0000000000000000  CapAmb: 0000000000000000  " ] \
  || fail "started through sudo, it kept root or a capability"
echo "1 passed, 0 failed"
