#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test, natively and under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh -DPARVIX_WERROR=ON -DPARVIX_BUILD_BENCH=ON
ctest --test-dir build --output-on-failure -j2
# The whole project once more, built for Windows and tested under Wine.
scripts/test-windows.sh -DPARVIX_WERROR=ON
