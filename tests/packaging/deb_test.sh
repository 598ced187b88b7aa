#!/usr/bin/env bash
# Builds the .deb with CPack, checks its control data and contents, then
# installs it with apt-get for real inside a mount namespace whose /usr,
# /var and /etc are overlays on a scratch tmpfs (the machine itself is not
# touched), and checks what a fresh install gives: the file capability set
# by the post-install, a valid desktop entry, the icons, and a normal user
# whose process takes its raw socket and then holds no capability.
# Usage: deb_test.sh BUILD_DIR   (as root; skips otherwise unless CI=true)
set -euo pipefail

build=$(cd "$1" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() {
  if [ "${CI:-}" = true ]; then fail "$*"; fi
  echo "SKIP: $*"; exit 77
}
[ "$(id -u)" = 0 ] || skip "needs root for the namespace install"
for tool in cpack dpkg-deb dpkg-shlibdeps apt-get unshare setpriv getcap desktop-file-validate; do
  command -v "$tool" >/dev/null || skip "$tool is missing (scripts/deps.sh installs it)"
done

scratch=$(mktemp -d /tmp/tolvane-deb.XXXXXX)
cleanup() { rm -rf "$scratch"; }
trap cleanup EXIT

# The package.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 \
  || { cat "$scratch/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$scratch"/out/tolvane_*.deb)
[ "$(basename "$deb")" = "tolvane_1.0.10_$(dpkg --print-architecture).deb" ] \
  || fail "package file is named $(basename "$deb")"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = tolvane ] || fail "Package: $(field Package)"
[ "$(field Version)" = 1.0.10 ] || fail "Version: $(field Version)"
depends=$(field Depends)
echo "Depends: $depends"
# From the binary's libraries (shlibdeps), and setcap for the post-install.
names=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
for dep in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libcap2-bin; do
  grep -qxF "$dep" <<<"$names" || fail "Depends lacks $dep"
done
# The chart is painted by the program itself: no charting library.
! grep -q charts <<<"$names" || fail "Depends names a charting library: $depends"
# Qt's Wayland platform, for a native window on a Wayland desktop; libidn2
# for host names beyond ASCII.
[ "$(field Recommends)" = "qt6-wayland, libidn2-0" ] || fail "Recommends: $(field Recommends)"

contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for path in ./usr/bin/tolvane ./usr/share/applications/tolvane.desktop \
    ./usr/share/icons/hicolor/scalable/apps/tolvane.svg ./usr/share/man/man1/tolvane.1.gz \
    ./usr/share/metainfo/example.c_seed_a7988919.tolvane.metainfo.xml \
    ./usr/share/doc/tolvane/copyright ./usr/share/doc/tolvane/changelog.gz; do
  grep -qx "$path" <<<"$contents" || fail "$path is not in the package"
done
for size in 16 24 32 48 128; do
  grep -qx "./usr/share/icons/hicolor/${size}x${size}/apps/tolvane.png" <<<"$contents" \
    || fail "no ${size}px icon in the package"
done
dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -qx './postinst' || fail "no postinst"

# The install, in a namespace of its own.
cat >"$scratch/inside.sh" <<'INSIDE'
set -euo pipefail
scratch=$1 deb=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
mount -t tmpfs tmpfs "$scratch/layers"
for dir in usr var etc; do
  mkdir -p "$scratch/layers/$dir.up" "$scratch/layers/$dir.work"
  mount -t overlay overlay \
    -o "lowerdir=/$dir,upperdir=$scratch/layers/$dir.up,workdir=$scratch/layers/$dir.work" "/$dir"
done
[ ! -e /usr/bin/tolvane ] || fail "/usr/bin/tolvane is there before the install"

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq --no-install-recommends "$deb" >"$scratch/apt.log" 2>&1 \
  || { cat "$scratch/apt.log" >&2; fail "apt-get install"; }
[ "$(dpkg-query -W -f='${Status}' tolvane)" = "install ok installed" ] || fail "not installed"

caps=$(getcap /usr/bin/tolvane)
echo "getcap: $caps"
grep -q "cap_net_raw=ep" <<<"$caps" || fail "no cap_net_raw=ep on /usr/bin/tolvane"
desktop-file-validate /usr/share/applications/tolvane.desktop || fail "desktop entry invalid"
grep -qx "Name=Tolvane" /usr/share/applications/tolvane.desktop || fail "desktop entry name"
grep -qx "Categories=Network;Monitor;" /usr/share/applications/tolvane.desktop \
  || fail "desktop entry categories"
for size in 16 24 32 48 128; do
  file -b "/usr/share/icons/hicolor/${size}x${size}/apps/tolvane.png" | grep -q "$size x $size" \
    || fail "the ${size}px icon is not ${size} pixels square"
done

# A normal user starts it: it takes its raw socket with the capability, then
# holds no capability at all.
setpriv --reuid=nobody --regid=nogroup --clear-groups --inh-caps=-all \
  env -i QT_QPA_PLATFORM=offscreen HOME=/nonexistent XDG_RUNTIME_DIR="$scratch/layers" \
  /usr/bin/tolvane >"$scratch/run.log" 2>&1 &
pid=$!
capeff="" raw=""
for _ in $(seq 50); do
  # setpriv and env exec their way to the program under the same pid.
  if [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = /usr/bin/tolvane ]; then
    sleep 0.5  # past the start-up
    capeff=$(awk '/^CapEff:/ {print $2}' "/proc/$pid/status")
    [ "$(stat -c %U "/proc/$pid")" = nobody ] || fail "the program does not run as nobody"
    raw=$(awk 'NR > 1 {print $10}' /proc/net/raw | grep -xF -f - \
      <(find "/proc/$pid/fd" -lname 'socket:*' -printf '%l\n' | tr -dc '0-9\n') || true)
    break
  fi
  sleep 0.1
done
alive=yes
kill -0 "$pid" 2>/dev/null || alive=no
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
[ "$alive" = yes ] || { cat "$scratch/run.log" >&2; fail "the program did not stay up"; }
[ -n "$capeff" ] || fail "the program never started"
echo "CapEff of the program as nobody: $capeff"
[ "$capeff" = 0000000000000000 ] || fail "the program kept a capability"
if [ "$(cat /proc/sys/net/ipv4/ping_group_range)" = "$(printf '1\t0')" ]; then
  [ -n "$raw" ] || fail "no raw socket in the program, and ping sockets are closed"
fi
echo "installed: capability, desktop entry and icons as they should be"
INSIDE
mkdir -p "$scratch/layers"
timeout 240 unshare --mount --propagation private bash "$scratch/inside.sh" "$scratch" "$deb"
echo "1 passed, 0 failed"
