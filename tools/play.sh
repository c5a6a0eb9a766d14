#!/usr/bin/env bash
# Installs what is missing, builds the game optimised and runs it. CI (tools/test.sh) builds this same
# configuration in this same folder, then the tests; only CI turns warnings into errors.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKESTROVAR_WERROR=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target kestrovar
exec build/release/kestrovar
