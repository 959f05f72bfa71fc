#!/usr/bin/env bash
# Installs every Debian package that building, packaging, testing and benchmarking Zeltrix needs.
set -euo pipefail
packages=(
  cmake make g++ clang libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-base-dev-tools
  zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev libgif-dev
  xvfb xauth fonts-dejavu-core fonts-liberation2
  clang-format python3
  dpkg-dev desktop-file-utils libxml2-utils shared-mime-info libglib2.0-bin
  lintian appstream man-db groff-base bsdextrautils bash-completion
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
