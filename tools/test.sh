#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once optimised, once under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the Debian packages built, installed and purged (as root). Needs no display and
# no sound device (SDL's offscreen video driver, dummy audio).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
jobs="$(nproc)"
export SDL_AUDIODRIVER=dummy
# Every build below goes through ccache: a run that follows another (CI on the same machine, a fix tested again)
# compiles only what changed, the browser build's em++ included. Paths are taken from the checkout's root, so a
# fresh clone in another folder finds the same compiles.
export CCACHE_BASEDIR="$PWD"
cache=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

echo "== formatting"
if command -v clang-format >/dev/null; then
  git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
fi

echo "== the player's build"
# tools/play.sh's configuration (the same folder and build type, no server, tests or benchmark) with warnings as
# errors: the game must build from what tools/setup.sh player installs.
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKESTROVAR_WERROR=ON "${cache[@]}" \
  -DKESTROVAR_SERVER=OFF -DKESTROVAR_TESTS=OFF -DKESTROVAR_BENCH=OFF >/dev/null
cmake --build build/release -j"$jobs" --target kestrovar

echo "== optimised build and tests"
cmake -S . -B build/release -DKESTROVAR_SERVER=ON -DKESTROVAR_TESTS=ON -DKESTROVAR_BENCH=ON \
  -DKESTROVAR_WEB_BUILD="$PWD/build/web" >/dev/null
cmake --build build/release -j"$jobs"
# The browser build, whose tests join this pass only (never the sanitizer's).
tools/web.sh -j"$jobs"
(cd build/release && ctest -j"$jobs" --output-on-failure --timeout 300)

echo "== sanitizer build and tests"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug "${cache[@]}" -DKESTROVAR_SANITIZE=ON -DKESTROVAR_BENCH=OFF \
  -DKESTROVAR_WERROR=ON >/dev/null
cmake --build build/sanitize -j"$jobs"
(cd build/sanitize && ASAN_OPTIONS=detect_odr_violation=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest -j"$jobs" --output-on-failure --timeout 600)

echo "== Debian packages"
# Built from the release build above, installed, played, served and purged again (needs root, as in CI).
if [ "$(id -u)" -eq 0 ]; then
  tools/test-packages.sh
else
  echo "(not root: tools/test-packages.sh left out)"
fi
echo "== all tests passed"
