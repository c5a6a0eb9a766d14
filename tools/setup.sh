#!/usr/bin/env bash
# Installs the Debian 12 packages Kestrovar needs. Quiet and quick when all is present.
#   tools/setup.sh player   what building and playing the game needs (tools/play.sh)
#   tools/setup.sh          that, and what the tests need: the score server's libraries, PostgreSQL, nginx, the
#                           attack and load tools, the browser, the packaging tools (tools/test.sh)
set -euo pipefail

PLAYER=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-mixer-dev libepoxy-dev
  libgl1-mesa-dri libegl-mesa0 libegl1 libgl-dev libegl-dev
  libpng-dev libjpeg62-turbo-dev zlib1g-dev
  libcurl4-openssl-dev libssl-dev
)
TESTER=(
  git clang-format libvorbis-dev ccache
  libsqlite3-dev libcpp-httplib-dev libpq-dev postgresql-15 libmicrohttpd-dev libseccomp-dev
  wrk nginx-light slowhttptest chromium nodejs curl openssl
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick sox libsox-fmt-all vorbis-tools
  debhelper dpkg-dev lintian
  emscripten
)

PACKAGES=("${PLAYER[@]}")
[ "${1:-}" = player ] || PACKAGES+=("${TESTER[@]}")

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
  [ "${1:-}" != player ] || return 0
  driver="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/tests/server/browser"
  command -v npm > /dev/null || DEBIAN_FRONTEND=noninteractive $([ "$(id -u)" -eq 0 ] || echo sudo) \
    apt-get install -y -qq --no-install-recommends npm > /dev/null
  [ -d "$driver/node_modules/puppeteer-core" ] || npm ci --prefix "$driver" --no-audit --no-fund --loglevel=error
}
if [ ${#missing[@]} -eq 0 ]; then
  install_page_driver "${1:-}"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
install_page_driver "${1:-}"
