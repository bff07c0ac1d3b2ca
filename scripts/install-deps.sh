#!/usr/bin/env bash
# Installs the Debian packages the build needs; does nothing when all are present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  python3  # compiles the dialog resource scripts at build time
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libjpeg-dev libpng-dev libtiff-dev zlib1g-dev
  ffmpeg  # ffprobe and ffmpeg read the recorder's AVI files in the tests
  libxcb1-dev libxcb-shm0-dev  # windows on an X display
  libxcb-xtest0-dev xvfb xauth  # the display tests run on a virtual X server
  libusb-1.0-0-dev  # real cameras
  umockdev libumockdev-dev  # the libusb tests run against a fake sysfs and usbfs
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
