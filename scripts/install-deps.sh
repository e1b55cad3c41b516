#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Tevra need.
# Does nothing when they are all present, so it is cheap to call before every build.
set -euo pipefail
packages=(
  build-essential cmake clang clang-format libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  binutils-m68hc1x srecord
  xvfb xauth fonts-liberation2 imagemagick xdg-utils
  dpkg-dev help2man lintian appstream desktop-file-utils
  g++-mingw-w64-x86-64-posix googletest wine64
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
