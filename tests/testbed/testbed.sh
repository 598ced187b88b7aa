#!/usr/bin/env bash
# The network test bed: hosts of our own in network namespaces, for the tests
# that send real ICMP. Needs root; without it, says why and does nothing
# (under CI=true that is a failure).
#
#   testbed.sh up [RESPONDER]   build the bed (after clearing leftovers)
#   testbed.sh down [--force]   take it down
#   testbed.sh status           exit 0 when the bed is up and answering
# RESPONDER defaults to the build/default tree; the control channel is
# spoken through it too (tolvane_responder --control CMD).
#
# Namespaces (client side address / host address):
#   tolv-c  the client, where tests run. ping_group_range open to all.
#   tolv-k  10.77.1.1 / 10.77.1.2   the kernel answers echoes
#   tolv-s  10.77.2.1 / 10.77.2.2   silent: icmp_echo_ignore_all
#   tolv-r  10.77.3.1 / 10.77.3.2 .12 .15 .20 .66 .100   tolvane_responder
#           answers (kernel replies off), SCHED_FIFO; control on .2:7777
#   tolv-u  10.77.4.1 / 10.77.4.2   router for 10.77.5-7.0/24:
#           10.77.5.0/24 unreachable route: ICMP host unreachable (3/1)
#           10.77.6.0/24 no route:          ICMP net unreachable (3/0)
#           10.77.7.0/24 routed back and forth with tolv-l: time exceeded
#   tolv-l  10.77.8.1 / 10.77.8.2   the other end of that loop (router side)
# IPv6, from the bed's own unique-local prefix fd4c:7f1e:a7b0::/48: link N
# above is fd4c:7f1e:a7b0:N::/64, the client ::1 and the host ::2 on it:
#   tolv-k  :1::2   the kernel answers echoes
#   tolv-s  :2::2   silent: net.ipv6.icmp.echo_ignore_all
#   tolv-r  :3::15 :3::66   tolvane_responder (15 ms; the noisy host)
#   tolv-u  :4::2   router for :5::/64 (unreachable route: no route, 1/0),
#                   :6::/64 (prohibit route: 1/1) and :7::/64 (routed in a
#                   loop with tolv-l, :8::/64: hop limit exceeded, 3/0)
# Names: /etc/netns/tolv-c/hosts; resolv.conf points at 127.0.0.1, where
# nothing listens, so unknown names fail at once.
#
# Several ctest runs on one machine share the bed: each run that brought it
# up (its ctest pid) is recorded, `down` only takes it down when no recorded
# run is still alive, and all changes are made under one lock, which net
# tests also hold while they run (see netexec.sh).
set -euo pipefail

NAMESPACES=(tolv-c tolv-k tolv-s tolv-r tolv-u tolv-l)
RUN_DIR=/run/tolvane-testbed
LOCK=/run/lock/tolvane-testbed.lock
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
OWNER=${TOLVANE_TESTBED_OWNER:-$PPID}
RESPONDER=$HERE/../../build/default/tests/testbed/tolvane_responder
P6=fd4c:7f1e:a7b0

say() { echo "testbed: $*"; }
fail() { echo "testbed: FAILED: $*" >&2; exit 1; }

require_root() {
  if [ "$(id -u)" != 0 ]; then
    if [ "${CI:-}" = true ]; then
      fail "not root: the test bed needs network namespaces (CI=true: tests must not skip)"
    fi
    say "not root: no test bed; network tests will skip"
    exit 0
  fi
  for tool in ip sysctl ping flock chrt setsid; do
    command -v "$tool" >/dev/null || fail "$tool missing (scripts/deps.sh)"
  done
}

take_lock() {
  mkdir -p "$(dirname "$LOCK")"
  exec 9>"$LOCK"
  flock -w 120 9 || fail "lock $LOCK still held after 120 s"
}

in_ns() { local ns=$1; shift; ip netns exec "$ns" "$@"; }

# "pid starttime": a pid alone could be reused by an unrelated process.
proc_id() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  # shellcheck disable=SC2086
  set -- $stat
  echo "${20}"
}

live_users() {
  [ -f "$RUN_DIR/users" ] || return 0
  local pid start
  while read -r pid start; do
    if [ -n "$pid" ] && [ "$(proc_id "$pid" || true)" = "$start" ]; then echo "$pid $start"; fi
  done <"$RUN_DIR/users"
  return 0
}

set_users() {
  [ -d "$RUN_DIR" ] || return 0
  printf '%s' "$1" >"$RUN_DIR/users"
}

teardown() {
  local ns pid
  if [ -f "$RUN_DIR/responder.pid" ]; then
    pid=$(cat "$RUN_DIR/responder.pid")
    kill -TERM "$pid" 2>/dev/null || true
  fi
  # Whatever still runs in our namespaces was started by this script.
  for ns in "${NAMESPACES[@]}"; do
    [ -e "/run/netns/$ns" ] || continue
    for pid in $(ip netns pids "$ns" 2>/dev/null); do kill -TERM "$pid" 2>/dev/null || true; done
  done
  for _ in $(seq 20); do
    local left=0
    for ns in "${NAMESPACES[@]}"; do
      [ -e "/run/netns/$ns" ] && [ -n "$(ip netns pids "$ns" 2>/dev/null)" ] && left=1
    done
    [ $left = 0 ] && break
    sleep 0.05
  done
  for ns in "${NAMESPACES[@]}"; do
    if [ -e "/run/netns/$ns" ]; then
      for pid in $(ip netns pids "$ns" 2>/dev/null); do kill -KILL "$pid" 2>/dev/null || true; done
      ip netns del "$ns" 2>/dev/null || true
    fi
    rm -rf "/etc/netns/$ns"
  done
  if [ -f "$RUN_DIR/route.error_cost" ]; then
    sysctl -qw net.ipv4.route.error_cost="$(cat "$RUN_DIR/route.error_cost")" || true
  fi
  rm -rf "$RUN_DIR"
}

# A veth pair from the client to a host namespace; the host end is eth0.
link_host() {
  local ns=$1 cdev=$2 caddr=$3 haddr=$4
  ip -n tolv-c link add "$cdev" type veth peer name eth0 netns "$ns"
  ip -n tolv-c addr add "$caddr/24" dev "$cdev"
  ip -n tolv-c link set "$cdev" up
  ip -n "$ns" addr add "$haddr/24" dev eth0
  ip -n "$ns" link set eth0 up
  # IPv6 on the same link, usable at once (no duplicate address detection).
  local net=${haddr#10.77.}
  net=${net%%.*}
  ip -n tolv-c addr add "$P6:$net::1/64" dev "$cdev" nodad
  ip -n "$ns" addr add "$P6:$net::2/64" dev eth0 nodad
}

build() {
  local ns
  for ns in "${NAMESPACES[@]}"; do
    ip netns add "$ns"
    ip -n "$ns" link set lo up
  done

  in_ns tolv-c sysctl -qw net.ipv4.ping_group_range="0 2147483647"

  link_host tolv-k to-k 10.77.1.1 10.77.1.2

  link_host tolv-s to-s 10.77.2.1 10.77.2.2
  in_ns tolv-s sysctl -qw net.ipv4.icmp_echo_ignore_all=1 net.ipv6.icmp.echo_ignore_all=1

  link_host tolv-r to-r 10.77.3.1 10.77.3.2
  local a
  for a in 12 15 20 66 100; do ip -n tolv-r addr add "10.77.3.$a/24" dev eth0; done
  for a in 15 66; do ip -n tolv-r addr add "$P6:3::$a/64" dev eth0 nodad; done
  in_ns tolv-r sysctl -qw net.ipv4.icmp_echo_ignore_all=1 net.ipv6.icmp.echo_ignore_all=1

  link_host tolv-u to-u 10.77.4.1 10.77.4.2
  ip -n tolv-u link add lp0 type veth peer name eth0 netns tolv-l
  ip -n tolv-u addr add 10.77.8.1/24 dev lp0
  ip -n tolv-u link set lp0 up
  ip -n tolv-l addr add 10.77.8.2/24 dev eth0
  ip -n tolv-l link set eth0 up
  ip -n tolv-u addr add "$P6:8::1/64" dev lp0 nodad
  ip -n tolv-l addr add "$P6:8::2/64" dev eth0 nodad
  for ns in tolv-u tolv-l; do
    # Every error must come back, not one per second per destination.
    in_ns "$ns" sysctl -qw net.ipv4.ip_forward=1 net.ipv4.icmp_ratelimit=0 \
      net.ipv4.conf.all.send_redirects=0 net.ipv4.conf.all.rp_filter=0 \
      net.ipv6.conf.all.forwarding=1 net.ipv6.icmp.ratelimit=0
  done
  # Unreachable and missing routes answer through the route error limit: a
  # burst of 5, then one a second per sender, which a test run soon spends.
  # It is one setting for the whole machine (no namespace has its own), so
  # lift it while the bed is up and put it back in teardown.
  mkdir -p "$RUN_DIR"
  sysctl -n net.ipv4.route.error_cost >"$RUN_DIR/route.error_cost"
  sysctl -qw net.ipv4.route.error_cost=0
  ip -n tolv-u route add unreachable 10.77.5.0/24
  ip -n tolv-u route add 10.77.7.0/24 via 10.77.8.2
  ip -n tolv-l route add 10.77.7.0/24 via 10.77.8.1
  ip -n tolv-l route add 10.77.4.0/24 via 10.77.8.1
  local net
  for net in 10.77.5.0/24 10.77.6.0/24 10.77.7.0/24; do
    ip -n tolv-c route add "$net" via 10.77.4.2
  done
  ip -n tolv-u -6 route add unreachable "$P6:5::/64"
  ip -n tolv-u -6 route add prohibit "$P6:6::/64"
  ip -n tolv-u -6 route add "$P6:7::/64" via "$P6:8::2"
  ip -n tolv-l -6 route add "$P6:7::/64" via "$P6:8::1"
  ip -n tolv-l -6 route add "$P6:4::/64" via "$P6:8::1"
  for net in 5 6 7; do
    ip -n tolv-c -6 route add "$P6:$net::/64" via "$P6:4::2"
  done
  # The routers' neighbours known before the first echo is looped between them.
  in_ns tolv-u ping -6 -n -c1 -W1 "$P6:8::2" >/dev/null 2>&1 || true

  mkdir -p /etc/netns/tolv-c
  cat >/etc/netns/tolv-c/hosts <<'EOF'
127.0.0.1 localhost
10.77.1.2 kernel.tolvane.test
10.77.2.2 silent.tolvane.test
10.77.3.15 r15.tolvane.test
10.77.3.100 scripted.tolvane.test
10.77.3.66 noisy.tolvane.test
10.77.5.9 unreachable.tolvane.test
10.77.1.2 multi.tolvane.test
10.77.3.15 multi.tolvane.test
fd4c:7f1e:a7b0:3::15 v6only.tolvane.test
fd4c:7f1e:a7b0:1::2 multi6.tolvane.test
fd4c:7f1e:a7b0:3::15 multi6.tolvane.test
10.77.2.2 dual.tolvane.test
fd4c:7f1e:a7b0:1::2 dual.tolvane.test
10.77.3.15 xn--mnchen-3ya.tolvane.test
EOF
  printf 'nameserver 127.0.0.1\noptions timeout:1 attempts:1\n' >/etc/netns/tolv-c/resolv.conf
}

start_responder() {
  local bin=$RESPONDER
  [ -x "$bin" ] || fail "responder not built: $bin (cmake --build --preset default --target tolvane_responder)"
  mkdir -p "$RUN_DIR"
  local prio=(chrt -f 50)
  if ! chrt -f 50 true 2>/dev/null; then
    echo "testbed: WARNING: SCHED_FIFO not allowed here; replies may go out late under load" >&2
    prio=()
  fi
  # Own session, no inherited lock or ctest pipes: ctest waits for those.
  setsid "${prio[@]}" ip netns exec tolv-r "$bin" --pidfile "$RUN_DIR/responder.pid" \
    </dev/null >"$RUN_DIR/responder.log" 2>&1 9>&- &
  for _ in $(seq 100); do
    if [ -f "$RUN_DIR/responder.pid" ]; then
      realpath "$bin" >"$RUN_DIR/responder.path"
      return 0
    fi
    kill -0 $! 2>/dev/null || break
    sleep 0.02
  done
  cat "$RUN_DIR/responder.log" >&2 || true
  fail "responder did not start"
}

control() {
  # The binary that runs the bed also speaks to it.
  local bin=$RESPONDER
  [ -f "$RUN_DIR/responder.path" ] && bin=$(cat "$RUN_DIR/responder.path")
  in_ns tolv-c timeout 5 "$bin" --control "$1"
}

ping_out() {
  in_ns tolv-c timeout 5 ping -n -c1 -W1 "$@" 2>&1 || true
}

ping_ms() {
  # The round trip in ms of one echo from the client, or nothing.
  ping_out "$@" | sed -n 's/.*time=\([0-9.]*\) ms.*/\1/p'
}

verify() {
  local quiet=${1:-}
  local t
  [ -e /run/netns/tolv-c ] || { [ -n "$quiet" ] || say "no namespace tolv-c"; return 1; }
  [ "$(control ping 2>/dev/null)" = pong ] || { [ -n "$quiet" ] || say "responder does not answer on 10.77.3.2:7777"; return 1; }
  t=$(ping_ms 10.77.1.2)
  [ -n "$t" ] || { [ -n "$quiet" ] || say "kernel host 10.77.1.2 does not answer"; return 1; }
  [ -n "$quiet" ] || say "kernel host 10.77.1.2: ${t} ms"
  t=$(ping_ms 10.77.3.15)
  [ -n "$t" ] || { [ -n "$quiet" ] || say "15 ms host 10.77.3.15 does not answer"; return 1; }
  [ "${t%%.*}" -ge 15 ] || { [ -n "$quiet" ] || say "15 ms host answered early: ${t} ms"; return 1; }
  [ -n "$quiet" ] || say "15 ms host 10.77.3.15: ${t} ms"
  # A bed built before it had IPv6 is rebuilt rather than shared.
  t=$(ping_ms -6 "$P6:1::2")
  [ -n "$t" ] || { [ -n "$quiet" ] || say "kernel host $P6:1::2 does not answer"; return 1; }
  [ -n "$quiet" ] || say "kernel host $P6:1::2: ${t} ms"
  t=$(ping_ms -6 "$P6:3::15")
  [ -n "$t" ] || { [ -n "$quiet" ] || say "15 ms host $P6:3::15 does not answer"; return 1; }
  [ "${t%%.*}" -ge 15 ] || { [ -n "$quiet" ] || say "15 ms host answered early: ${t} ms"; return 1; }
  [ -n "$quiet" ] || say "15 ms host $P6:3::15: ${t} ms"
  if [ -z "$quiet" ]; then
    [[ $(ping_out 10.77.5.9) == *"Destination Host Unreachable"* ]] ||
      { say "10.77.5.9 does not give host unreachable"; return 1; }
    [[ $(ping_out 10.77.6.9) == *"Destination Net Unreachable"* ]] ||
      { say "10.77.6.9 does not give net unreachable"; return 1; }
    [[ $(ping_out 10.77.7.9) == *"Time to live exceeded"* ]] ||
      { say "10.77.7.9 does not give time exceeded"; return 1; }
    [ "$( (in_ns tolv-c getent ahostsv4 kernel.tolvane.test || true) | awk 'NR==1{print $1}')" = 10.77.1.2 ] ||
      { say "kernel.tolvane.test does not resolve in tolv-c"; return 1; }
    [[ $(ping_out -6 "$P6:5::9") == *"No route"* ]] ||
      { say "$P6:5::9 does not give no route"; return 1; }
    [[ $(ping_out -6 "$P6:6::9") == *"prohibited"* ]] ||
      { say "$P6:6::9 does not give administratively prohibited"; return 1; }
    [[ $(ping_out -6 "$P6:7::9") == *"exceeded"* ]] ||
      { say "$P6:7::9 does not give time exceeded"; return 1; }
    [ "$( (in_ns tolv-c getent ahostsv6 v6only.tolvane.test || true) | awk 'NR==1{print $1}')" = "$P6:3::15" ] ||
      { say "v6only.tolvane.test does not resolve in tolv-c"; return 1; }
  fi
  return 0
}

cmd_up() {
  require_root
  [ -z "${1:-}" ] || RESPONDER=$1
  take_lock
  local users
  users=$(live_users)
  if [ -n "$users" ] && verify quiet; then
    set_users "$users"$'\n'"$OWNER $(proc_id "$OWNER")"$'\n'
    say "already up, shared with running test runs (pids: $(echo "$users" | awk '{printf "%s ", $1}'))"
    return 0
  fi
  teardown
  build
  start_responder
  if ! verify; then
    say "namespaces: $(ip netns list | tr '\n' ' ')"
    [ "${TOLVANE_TESTBED_KEEP:-}" = 1 ] || teardown
    fail "the test bed is not right (TOLVANE_TESTBED_KEEP=1 keeps it for a look)"
  fi
  set_users "$OWNER $(proc_id "$OWNER")"$'\n'
  say "up"
}

cmd_down() {
  require_root
  take_lock
  local users
  users=$(live_users | awk -v me="$OWNER" '$1 != me' || true)
  if [ "${1:-}" != --force ] && [ -n "$users" ]; then
    set_users "$users"$'\n'
    say "left up for running test runs (pids: $(echo "$users" | awk '{printf "%s ", $1}'))"
    return 0
  fi
  teardown
  say "down"
}

cmd_status() {
  [ "$(id -u)" = 0 ] || fail "not root"
  verify
}

case "${1:-}" in
  up) shift; cmd_up "$@" ;;
  down) shift; cmd_down "$@" ;;
  status) cmd_status ;;
  *) echo "usage: $0 up [RESPONDER] | down [--force] | status" >&2; exit 2 ;;
esac
