#!/usr/bin/env bash
# Installs what Orvix needs, builds it and runs every test (offscreen).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
BUILD_DIR=${BUILD_DIR:-"$root/build"}
cd "$BUILD_DIR"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
