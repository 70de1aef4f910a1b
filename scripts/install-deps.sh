#!/usr/bin/env bash
# Installs every Debian package that building, running and testing OrvixTools need.
# Idempotent: packages already present are not fetched again. Works as root or through sudo.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev
  qtbase5-dev qtbase5-dev-tools qt5-qmake qttools5-dev qttools5-dev-tools qttranslations5-l10n
  libqt5serialport5-dev qtmultimedia5-dev libqt5multimedia5-plugins
  libqt5opengl5-dev qtwebengine5-dev
  libusb-1.0-0-dev libfontconfig-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libqt5svg5-dev libgl1-mesa-dri libjs-jquery libxcb1-dev libsm-dev
  xvfb xauth fonts-dejavu-core xdotool x11-utils imagemagick onboard python3
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
