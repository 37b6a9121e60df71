#!/usr/bin/env bash
# Installs what is missing, builds, and starts the window program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
if [ -x build/mainwindow/parvix ] || [ -x build/app/parvix ]; then
    exec "$(ls build/app/parvix build/mainwindow/parvix 2>/dev/null | head -n 1)"
fi
exec build/app/parvix-cli --help
