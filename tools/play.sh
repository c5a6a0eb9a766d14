#!/usr/bin/env bash
# Installs what is missing to build and play (tools/setup.sh player: no server, test or attack tools), builds the
# game optimised and runs it. CI (tools/test.sh) builds this same configuration in this same folder first, then
# turns on the rest; only CI turns warnings into errors.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh player
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKESTROVAR_WERROR=OFF -DKESTROVAR_SERVER=OFF \
  -DKESTROVAR_TESTS=OFF -DKESTROVAR_BENCH=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target kestrovar
exec build/release/kestrovar
