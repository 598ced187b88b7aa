#!/usr/bin/env bash
# Cross-builds the engine's Windows layers and their tests with MinGW-w64
# (preset mingw) and runs them under Wine. As root the tests run inside the
# network test bed's client namespace, so the real echoes reach its hosts;
# otherwise those tests skip (and fail under CI=true). Then the program
# itself, tolvane.exe, and its installer: tests/win32/wine_window_test.sh
# drives them under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++-mingw-w64-x86-64 wine64 wine nsis
  xvfb xcompmgr trayer xdotool x11-utils imagemagick)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]} (install them as root)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get -o DPkg::Lock::Timeout=600 update -qq
  apt-get install -y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends "${missing[@]}" >/dev/null
fi

cmake --preset mingw >/dev/null
cmake --build --preset mingw
cpack --config build/mingw/CPackConfig.cmake -B build/mingw/packages >/dev/null

# A prefix of our own each run; Wine quiet and without a display.
export WINEDEBUG=-all
WINEPREFIX=$(mktemp -d /tmp/tolvane-wine.XXXXXX)
export WINEPREFIX
bed=
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  if [ -n "$bed" ]; then TOLVANE_TESTBED_OWNER=$$ tests/testbed/testbed.sh down || true; fi
}
trap cleanup EXIT

# In here: a Wine of its own (the wineserver and the ICMP service it runs
# live in the namespace they were started in), then the tests, holding the
# bed's lock as every net test does.
run_tests() {
  # No .NET or web engine wanted: skip their installers.
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
  # Windows without X: Wine's null display driver, taken up once the
  # desktop process of the boot has gone with its server.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wineserver -w
  # A server that stays (otherwise every test waits 3 s for it to exit),
  # and its system processes started now, away from the pipes through
  # which ctest reads a test: ctest would wait for them to close.
  wineserver -p </dev/null >/dev/null 2>&1
  wineboot </dev/null >/dev/null 2>&1
  if [ -n "${TOLVANE_TESTBED_LOCK:-}" ]; then
    exec 9>"$TOLVANE_TESTBED_LOCK"
    flock -w "${TOLVANE_TESTBED_LOCK_WAIT:-60}" 9 || { echo "test bed busy" >&2; return 1; }
  fi
  # A test that crashes ends there, not in Wine's debugger waiting for a user.
  # Both run whatever the other gives; either failing fails the script.
  local failed=0
  WINEDLLOVERRIDES="winedbg.exe=d" ctest --preset mingw -j2 || failed=1
  # The window tests hold the bed only while they use its hosts.
  exec 9>&-
  tests/win32/wine_window_test.sh build/mingw || failed=1
  return "$failed"
}

# Linux programs the tests use, from the default tree: the bed's responder,
# and the Qt painter's half of the chart's parity test.
cmake --preset default >/dev/null
cmake --build --preset default --target tolvane_responder chart_parity
if [ "$(id -u)" -eq 0 ]; then
  bed=1
  TOLVANE_TESTBED_OWNER=$$ tests/testbed/testbed.sh up build/default/tests/testbed/tolvane_responder
  export -f run_tests
  TOLVANE_TESTBED_LOCK=/run/lock/tolvane-testbed.lock ip netns exec tolv-c bash -c run_tests
else
  run_tests
fi
