#!/usr/bin/env bash
# Fails when a C++ file differs from what clang-format makes of it (.clang-format at the root).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
command -v clang-format >/dev/null 2>&1 || { echo "check-format: clang-format is not installed" >&2; exit 1; }
mapfile -t files < <(git ls-files '*.cpp' '*.h')
bad=0
for f in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
    echo "check-format: $f is not formatted (run: clang-format -i $f)" >&2
    bad=1
  fi
done
[ "$bad" -eq 0 ] && echo "check-format: ${#files[@]} files formatted"
exit "$bad"
