#!/usr/bin/env bash
# Installs what the project needs to build, run and test, on Debian 12 as
# root. Quiet and idempotent: packages already there are not fetched again.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev
  # the sanitizer build and the fuzz targets
  clang libclang-rt-14-dev
  # the window; the chart is painted with QPainter (qt6-base-dev brings
  # the OpenGL headers Qt's CMake files ask for)
  qt6-base-dev
  # network test bed
  iproute2 iputils-ping libcap2-bin procps util-linux
  # real-window tests
  xvfb xauth xcompmgr imagemagick xdotool x11-utils xinput
  # a decimal-comma locale for the row-label test (localedef compiles it)
  locales
  # tray host for the tray test; icon rendering; the desktop entry and the .deb
  trayer librsvg2-bin icoutils desktop-file-utils dpkg-dev file
  # the package's checker, the manual page's and the AppStream metadata's
  lintian mandoc appstream
  # a private session bus for the StatusNotifierItem test
  dbus-daemon
  # the Wayland window test: Qt's Wayland platform, a headless compositor
  # (sway; swaybg draws the background, swaybar is the StatusNotifierItem
  # host), screenshots, keys, the accessibility bus and gdbus to read it
  qt6-wayland sway swaybg grim wtype jq at-spi2-core libglib2.0-bin
  # the chart and the boxes read over AT-SPI, as a screen reader reads them
  python3-pyatspi
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Run this as root (or install them with apt-get) and try again." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get -o DPkg::Lock::Timeout=600 update -qq
apt-get install -y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends "${missing[@]}"
