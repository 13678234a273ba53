#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run.
set -euo pipefail
PKGS=(
  g++ cmake ninja-build pkg-config ccache clang-format
  qt6-base-dev libgl-dev
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev
  libpugixml-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation libxml2-utils poppler-utils xvfb xauth
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
