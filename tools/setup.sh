#!/usr/bin/env bash
# Installs every Debian 12 package Kestrovar needs to build, run and test. Quiet and quick when all is present.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git clang-format
  libsdl2-dev libsdl2-mixer-dev libepoxy-dev
  libgl1-mesa-dri libegl-mesa0 libegl1 libgl-dev libegl-dev
  libpng-dev libjpeg62-turbo-dev zlib1g-dev libvorbis-dev
  libcurl4-openssl-dev libsqlite3-dev libcpp-httplib-dev libssl-dev libpq-dev postgresql-15 wrk
  libmicrohttpd-dev libseccomp-dev nginx-light slowhttptest chromium
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick sox libsox-fmt-all vorbis-tools
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
