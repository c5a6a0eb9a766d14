#!/usr/bin/env bash
# Builds Kestrovar for the browser into build/web/ with Debian's emscripten (tools/setup.sh installs it):
#   build/web/kestrovar_replay.js    the replay tool under Node: node build/web/kestrovar_replay.js SCRIPT
#   build/web/kestrovar.html         the page (with kestrovar.js and kestrovar.wasm): the game, or ?game=HASH watches
# The built-in resources are written as C first by a native helper, built in build/release.
#   tools/web.sh [-jN]     (default -j2)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${1:--j2}"
# Debian's emcc runs its JavaScript tools with the system's Node, which finds acorn only here.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

[ -f build/release/CMakeCache.txt ] ||
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" > /dev/null
cmake --build build/release "$jobs" --target kestrovar_web_resources > /dev/null
mkdir -p build/web
build/release/tools/web/kestrovar_web_resources build/web/WebResources.c

emcmake cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release -DKESTROVAR_WERROR=ON \
  -DKESTROVAR_WEB_RESOURCES="$PWD/build/web/WebResources.c" "${launcher[@]}" > /dev/null
cmake --build build/web "$jobs" --target kestrovar_replay kestrovar
echo "web build: $PWD/build/web"
