# lib.sh: the preamble every benchmark sources: the repository root, a build to measure and a scratch folder.
# Each benchmark runs standalone from any directory: source "$(dirname "${BASH_SOURCE[0]}")/lib.sh".

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# bench_build TARGET: the build in $BUILD_DIR when set, else ./build (configured on first use), with TARGET
# built there. orvix-cli in a given $BUILD_DIR is used as it stands; the bench programs, which the default
# build leaves out, are always brought up to date.
bench_build() {
  local target="$1"
  if [ -n "${BUILD_DIR:-}" ] && [ "$target" = orvix-cli ]; then
    return 0
  fi
  BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
  if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    local generator=()
    command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
    cmake -S "$ROOT" -B "$BUILD_DIR" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$BUILD_DIR" --target "$target" -j2 >/dev/null
}

# bench_cli: CLI, the orvix-cli of the build (built by bench_build when no $BUILD_DIR was given).
bench_cli() {
  bench_build orvix-cli
  CLI="$BUILD_DIR/src/app/orvix-cli"
  [ -x "$CLI" ] || { echo "no orvix-cli in $BUILD_DIR" >&2; exit 1; }
}

# bench_work: WORK, a scratch folder removed on exit unless KEEP_WORK is set; the environment every run shares.
bench_work() {
  WORK="$(mktemp -d)"
  [ -n "${KEEP_WORK:-}" ] || trap 'rm -rf "$WORK"' EXIT
  echo "work: $WORK" >&2
  export QT_QPA_PLATFORM=offscreen TZ=UTC LC_ALL=C.UTF-8
}
