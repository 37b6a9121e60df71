#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh -DPARVIX_WERROR=ON
ctest --test-dir build --output-on-failure -j2
