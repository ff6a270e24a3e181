#!/usr/bin/env bash
# Shared set-up for run.sh and test.sh: install missing Debian packages, then build the targets
# named (run.sh: the program and the simulated unit), or everything.   setup.sh [TARGET...]
set -euo pipefail

PACKAGES=(cmake g++ make qt6-base-dev qt6-serialport-dev qt6-charts-dev xvfb xauth xdotool imagemagick fonts-dejavu-core poppler-utils help2man ser2net)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then SUDO=(); elif command -v sudo >/dev/null; then SUDO=(sudo); else
    echo "These packages are missing and I am neither root nor able to use sudo: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${SUDO[@]}" apt-get update -qq
  "${SUDO[@]}" apt-get install -y -qq "${missing[@]}"
fi

BUILD_DIR=${BUILD_DIR:-build}
BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="$BUILD_TYPE" ${CMAKE_EXTRA:-} >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)" ${1:+--target "$@"}
