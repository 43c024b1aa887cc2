#!/usr/bin/env bash
# Installs every Debian package the viewer, the tool, the tests and the benchmarks need.
# Idempotent: packages already present are left as they are.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  googletest libgtest-dev libgmock-dev
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-webengine-dev qt6-svg-dev
  qt6-image-formats-plugins libqt6opengl6-dev
  libgl-dev libxkbcommon-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev libgstreamer-plugins-bad1.0-dev
  gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly gstreamer1.0-libav
  gstreamer1.0-x gstreamer1.0-alsa gstreamer1.0-pulseaudio
  libjs-leaflet tzdata
  dosfstools mtools fdisk
  fonts-nanum fonts-noto-cjk fonts-dejavu-core
  fonts-dejavu-extra
  xvfb xauth poppler-utils
  time clang-format clang libclang-rt-14-dev xdotool imagemagick
  libavcodec-dev libswscale-dev libavutil-dev
  desktop-file-utils appstream dpkg-dev file
  python3-dbusmock udisks2 udev
  libssl-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
