#!/usr/bin/env bash
# Installs what is missing, builds the game optimised and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKESTROVAR_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target kestrovar
exec build/release/kestrovar
