#!/usr/bin/env bash
# Installs every Debian 12 package Kestrovar needs to build, run and test. Quiet and quick when all is present.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git clang-format
  libsdl2-dev libsdl2-mixer-dev libepoxy-dev
  libgl1-mesa-dri libegl-mesa0 libegl1 libgl-dev libegl-dev
  libpng-dev libjpeg62-turbo-dev zlib1g-dev libvorbis-dev
  libcurl4-openssl-dev libsqlite3-dev libcpp-httplib-dev libssl-dev libpq-dev postgresql-15 wrk
  libmicrohttpd-dev libseccomp-dev nginx-light slowhttptest chromium nodejs
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick sox libsox-fmt-all vorbis-tools
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
# The web pages' browser test drives Debian's chromium with puppeteer-core from npm (which downloads no browser).
# A NodeSource nodejs carries its own npm; Debian's needs its npm package.
install_page_driver() {
  local driver
  driver="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/tests/server/browser"
  command -v npm > /dev/null || DEBIAN_FRONTEND=noninteractive $([ "$(id -u)" -eq 0 ] || echo sudo) \
    apt-get install -y -qq --no-install-recommends npm > /dev/null
  [ -d "$driver/node_modules/puppeteer-core" ] || npm ci --prefix "$driver" --no-audit --no-fund --loglevel=error
}
if [ ${#missing[@]} -eq 0 ]; then
  install_page_driver
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
install_page_driver
