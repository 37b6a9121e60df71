#!/usr/bin/env bash
# Installs what is missing for the window program alone, builds it into build-run/ (or $BUILD_DIR)
# without the tests, and starts it; arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh window
scripts/build.sh run
exec "${BUILD_DIR:-build-run}/app/parvix" "$@"
