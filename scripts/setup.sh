#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the programs need.
# Idempotent: runs apt-get update (once) only when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config lld
  qt6-base-dev qt6-qpa-plugins libqt6opengl6-dev qt6-multimedia-dev
  libpcre2-dev libcurl4-openssl-dev zlib1g-dev libjpeg62-turbo-dev libpng-dev
  libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-dejavu-core python3 python3-pyftpdlib python3-segyio poppler-utils
  xvfb xdotool
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
