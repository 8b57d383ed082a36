#!/usr/bin/env bash
# Configures and builds Orvix into $BUILD_DIR (default: build/) with both cores.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-"$root/build"}
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
# ccache, when a developer has it, lets several build folders share compiled objects.
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$BUILD_DIR" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
fi
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
