#!/usr/bin/env bash
# grid.sh: the record grid on 100,000 rows x 8 fields of mixed datatypes, from the standard query to the first
# painted screen and scrolled to the end, against a raw sqlite3_prepare_v2/sqlite3_step loop reading the same
# rows as text. Uses the build in $BUILD_DIR when set (else builds in ./build). Prints BENCH lines.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ROWS="${ROWS:-100000}"
if [ -z "${BUILD_DIR:-}" ]; then
  BUILD_DIR="$ROOT/build"
  if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$BUILD_DIR" --target records_test_grid -j2 >/dev/null
fi
[ -f "$BUILD_DIR/compile_commands.json" ] || { echo "no compile_commands.json in $BUILD_DIR" >&2; exit 1; }

WORK="$(mktemp -d)"
[ -n "${KEEP_WORK:-}" ] || trap 'rm -rf "$WORK"' EXIT
echo "work: $WORK" >&2
export QT_QPA_PLATFORM=offscreen TZ=UTC LC_ALL=C.UTF-8

# The benchmark program is compiled and linked with the flags of the grid's test program, on the same libraries.
python3 - "$BUILD_DIR" "$ROOT/benchmarks/grid_bench.cpp" "$WORK" <<'PY'
import json, os, shlex, subprocess, sys
build, source, work = sys.argv[1:4]
commands = json.load(open(os.path.join(build, 'compile_commands.json')))
entry = next(c for c in commands if c['file'].endswith('tests/records/test_grid.cpp'))
args = shlex.split(entry['command'])
obj = os.path.join(work, 'grid_bench.o')
out = []
skip = False
for a in args:
    if skip:
        skip = False
        continue
    if a in ('-o', '-c', '-MF', '-MT', '-MQ'):
        skip = True
        continue
    if a.endswith('test_grid.cpp') or a in ('-MD',):
        continue
    out.append(a)
subprocess.check_call(out + ['-c', source, '-o', obj], cwd=entry['directory'])
link = subprocess.check_output(['ninja', '-C', build, '-t', 'commands', 'records_test_grid'], text=True).strip().splitlines()[-1]
link = link.split('&&')[1].strip().rstrip(':').strip().rstrip('&').strip()
largs = shlex.split(link)
final = []
skip = False
for a in largs:
    if skip:
        skip = False
        continue
    if a == '-o':
        skip = True
        continue
    if 'records_test_grid.dir/' in a:
        continue
    final.append(a)
final[1:1] = [obj]
subprocess.check_call(final + ['-o', os.path.join(work, 'grid_bench')], cwd=build)
PY

BENCH="$WORK/grid_bench"
"$BENCH" make "$WORK" "$ROWS"
value() { sed -n "s/^$1=//p" "$2"; }
# Best of three runs each, alternating, so a busy moment of the machine does not decide the ratio.
RUNS="${RUNS:-3}"
for i in $(seq "$RUNS"); do
  /usr/bin/time -f '%M' -o "$WORK/grid.time.$i" "$BENCH" grid "$WORK" > "$WORK/grid.out.$i"
  /usr/bin/time -f '%M' -o "$WORK/raw.time.$i" "$BENCH" raw "$WORK" > "$WORK/raw.out.$i"
done
best() { # best <file prefix> <key>: the run with the smallest value of key, as its number
  for i in $(seq "$RUNS"); do echo "$(sed -n "s/^$2=//p" "$1.$i") $i"; done | sort -g | head -1 | cut -d' ' -f2
}
g=$(best "$WORK/grid.out" grid_s)
r=$(best "$WORK/raw.out" raw_s)
cp "$WORK/grid.out.$g" "$WORK/grid.out"; cp "$WORK/grid.time.$g" "$WORK/grid.time"
cp "$WORK/raw.out.$r" "$WORK/raw.out"; cp "$WORK/raw.time.$r" "$WORK/raw.time"

rows=$(value rows "$WORK/grid.out")
[ "$rows" = "$ROWS" ] || { echo "grid shows $rows rows, expected $ROWS" >&2; exit 1; }
[ "$(value rows "$WORK/raw.out")" = "$ROWS" ] || { echo "raw loop read the wrong row count" >&2; exit 1; }
grid_s=$(value grid_s "$WORK/grid.out")
first_s=$(value first_screen_s "$WORK/grid.out")
end_s=$(value scroll_end_s "$WORK/grid.out")
raw_s=$(value raw_s "$WORK/raw.out")
growth_kib=$(value grid_growth_kib "$WORK/grid.out")
text_bytes=$(value text_bytes "$WORK/raw.out")
peak_mb=$(awk '{ printf "%.1f", $1 / 1024 }' "$WORK/grid.time")
raw_peak_mb=$(awk '{ printf "%.1f", $1 / 1024 }' "$WORK/raw.time")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
mem_ratio=$(awk -v g="$growth_kib" -v t="$text_bytes" 'BEGIN { printf "%.2f", (t > 0 ? g * 1024 / t : 0) }')

echo "table: $ROWS rows x 8 fields (+ id), raw text $(awk -v t="$text_bytes" 'BEGIN { printf "%.1f", t / 1048576 }') MiB"
echo "grid: first screen ${first_s}s, scrolled to the end ${end_s}s, memory growth $((growth_kib / 1024)) MiB (${mem_ratio}x the raw text), process peak ${peak_mb} MiB"
echo "raw prepare/step text loop: ${raw_s}s, process peak ${raw_peak_mb} MiB"
echo "BENCH grid ratio=$(ratio "$grid_s" "$raw_s") orvix_s=$grid_s reference_s=$raw_s peak_mb=$peak_mb"
echo "BENCH grid_memory ratio=$mem_ratio orvix_s=$grid_s reference_s=$raw_s peak_mb=$peak_mb"
