#!/usr/bin/env bash
# Installs the Debian packages Snaplorn needs, and only those that are missing.
# Usage: install-deps.sh build   (what `make run` needs)
#        install-deps.sh test    (everything `make test` needs)
#        install-deps.sh package (what `make package` needs)
#        install-deps.sh bench   (the peers the capture benchmark compares with)
#        install-deps.sh fuzz    (clang's libFuzzer for `make fuzz`)
#        install-deps.sh kwin    (the KWin session of `make test-kwin`)
# Quiet when everything is present; safe to run any number of times.
set -euo pipefail

build_pkgs=(
  cmake make g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins libqt6svg6
  libturbojpeg0-dev libxcb1-dev libxcb-keysyms1-dev libxcb-shm0-dev libxcb-xtest0-dev libx11-dev
  libxcb-randr0-dev
  libwayland-dev wayland-protocols qt6-wayland
  fonts-dejavu-core xdg-utils
  # the PNG icons are drawn from the SVG one
  librsvg2-bin
  # headless `make run`: private X display, window manager, screenshot
  xvfb xauth openbox x11-utils x11-apps xdotool imagemagick
)
# `make package`: CPack's Debian generator computes the dependencies with
# dpkg-shlibdeps, which needs file
package_pkgs=(
  "${build_pkgs[@]}"
  dpkg-dev file
)
# `make bench` only: the capture tools the capture benchmark measures against
bench_pkgs=(
  "${build_pkgs[@]}"
  scrot maim flameshot imagemagick libjpeg-turbo-progs
  # the soak run counts the X resources the program holds
  x11-utils xrestop
)
# `make fuzz` only: clang with its fuzzer and sanitizer runtimes
fuzz_pkgs=(
  "${build_pkgs[@]}"
  clang libclang-rt-14-dev
)
test_pkgs=(
  "${build_pkgs[@]}"
  xclip trayer libjpeg-turbo-progs jpeginfo
  cups cups-client printer-driver-cups-pdf ghostscript poppler-utils
  msmtp msmtp-mta python3 python3-aiosmtpd
  # what an assistive tool sees: the accessibility bus and its Python client
  at-spi2-core dbus python3-pyatspi
  # the package and its metadata checked as a distribution checks them
  "${package_pkgs[@]}" desktop-file-utils appstream lintian man-db
  # the headless Wayland session: compositor, portals, their bus, a peer
  sway swaybg pipewire xdg-desktop-portal xdg-desktop-portal-wlr grim
  wtype wl-clipboard
  dbus-daemon dbus-bin python3-dbus python3-gi util-linux
  # a headless KWin session with KDE's portals (many packages: about two
  # minutes to install), and KDE's Wayland protocols for the tests' fake
  # input client
  kwin-wayland xdg-desktop-portal-kde qtwayland5 plasma-workspace
  qml-module-org-kde-kirigami2 qml-module-qtquick-controls2 qml-module-qtquick-layouts
  plasma-wayland-protocols
  # the X server with two monitors: Xorg's dummy driver, xrandr to set them up
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
)
kwin_pkgs=("${test_pkgs[@]}")

case "${1:-test}" in
  build) wanted=("${build_pkgs[@]}") ;;
  test)  wanted=("${test_pkgs[@]}") ;;
  package) wanted=("${package_pkgs[@]}") ;;
  bench) wanted=("${bench_pkgs[@]}") ;;
  fuzz)  wanted=("${fuzz_pkgs[@]}") ;;
  kwin)  wanted=("${kwin_pkgs[@]}") ;;
  *) echo "usage: $0 build|test|package|bench|fuzz|kwin" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
  [[ "$p" == \#* ]] && continue
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
