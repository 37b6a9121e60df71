#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test, natively and under Wine. $BUILD_DIR and
# $WIN_BUILD_DIR build into other folders than build/ and build-win/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh test
ctest --preset test ${BUILD_DIR:+--test-dir "$BUILD_DIR"}
# The whole project once more, built for Windows and tested under Wine.
scripts/test-windows.sh windows-test
