#!/usr/bin/env bash
# grid.sh: the record grid on tables of 8 fields of mixed datatypes, against a raw sqlite3_prepare_v2/sqlite3_step
# loop reading every row of the same table as text, in the same run.
#   100,000 rows (SMALL_ROWS): the standard query to the first painted screen and scrolled to the end.
#   1,000,000 rows (ROWS): the first painted screen, a jump to the middle row and one to the last row (each
#   painted), a sort by a text column to its first painted screen (also against "SELECT id ... ORDER BY" in the
#   sqlite3 shell), and the process peak.
# Uses the build in $BUILD_DIR when set (else ./build); builds the grid_bench target there. Prints BENCH lines.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
ROWS="${ROWS:-1000000}"
SMALL_ROWS="${SMALL_ROWS:-100000}"
bench_build grid_bench
BENCH="$BUILD_DIR/benchmarks/grid_bench"
command -v sqlite3 >/dev/null || { echo "the sqlite3 shell is needed for the sort reference" >&2; exit 1; }

bench_work

mkdir -p "$WORK/small" "$WORK/large"
"$BENCH" make "$WORK/small" "$SMALL_ROWS"
"$BENCH" make "$WORK/large" "$ROWS"

value() { sed -n "s/^$1=//p" "$2"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
mib() { awk '{ printf "%.1f", $1 / 1024 }' "$1"; }
# Best of RUNS runs each, alternating, so a busy moment of the machine does not decide a ratio.
RUNS="${RUNS:-3}"
# once <name> <mode> <dir> <i>: one run of the mode into $WORK/<name>.out.<i>, its peak (KiB) in .time.<i>.
once() { /usr/bin/time -f '%M' -o "$WORK/$1.time.$4" "$BENCH" "$2" "$3" > "$WORK/$1.out.$4"; }
# best <name> <key>: the smallest value of key over the runs.
best() {
  for i in $(seq "$RUNS"); do value "$2" "$WORK/$1.out.$i"; done | sort -g | head -1
}
# bestrun <name> <key>: the number of the run with the smallest value of key.
bestrun() {
  for i in $(seq "$RUNS"); do echo "$(value "$2" "$WORK/$1.out.$i") $i"; done | sort -g | head -1 | cut -d' ' -f2
}
# The sqlite3 shell's own sort of the ids, timed around the whole shell.
shell_sort() {
  for i in $(seq "$RUNS"); do
    local start end
    start=$(date +%s.%N)
    sqlite3 "$WORK/large/Bench.orvix/MainDatabase" 'SELECT id FROM `Bench` ORDER BY `name` ASC' > /dev/null
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f\n", b - a }'
  done | sort -g | head -1
}

for i in $(seq "$RUNS"); do
  once small_grid grid "$WORK/small" "$i"
  once small_raw raw "$WORK/small" "$i"
  once large_jumps jumps "$WORK/large" "$i"
  once large_raw raw "$WORK/large" "$i"
done
sort_reference=$(shell_sort)

# 100,000 rows: the run with the best total, and its memory.
g=$(bestrun small_grid grid_s)
r=$(bestrun small_raw raw_s)
[ "$(value rows "$WORK/small_grid.out.$g")" = "$SMALL_ROWS" ] || { echo "grid shows the wrong row count" >&2; exit 1; }
[ "$(value rows "$WORK/small_raw.out.$r")" = "$SMALL_ROWS" ] || { echo "raw loop read the wrong row count" >&2; exit 1; }
grid_s=$(value grid_s "$WORK/small_grid.out.$g")
first_s=$(value first_screen_s "$WORK/small_grid.out.$g")
end_s=$(value scroll_end_s "$WORK/small_grid.out.$g")
raw_s=$(value raw_s "$WORK/small_raw.out.$r")
growth_kib=$(value grid_growth_kib "$WORK/small_grid.out.$g")
text_bytes=$(value text_bytes "$WORK/small_raw.out.$r")
peak_mb=$(mib "$WORK/small_grid.time.$g")
raw_peak_mb=$(mib "$WORK/small_raw.time.$r")
mem_ratio=$(awk -v g="$growth_kib" -v t="$text_bytes" 'BEGIN { printf "%.2f", (t > 0 ? g * 1024 / t : 0) }')

# 1,000,000 rows: each figure is its best over the runs; the peak is the largest of the grid runs.
[ "$(value rows "$WORK/large_jumps.out.1")" = "$ROWS" ] || { echo "grid shows the wrong row count" >&2; exit 1; }
[ "$(value rows "$WORK/large_raw.out.1")" = "$ROWS" ] || { echo "raw loop read the wrong row count" >&2; exit 1; }
l_first=$(best large_jumps first_screen_s)
l_middle=$(best large_jumps jump_middle_s)
l_last=$(best large_jumps jump_last_s)
l_sort=$(best large_jumps sort_s)
l_raw=$(best large_raw raw_s)
l_peak_mb=$(for i in $(seq "$RUNS"); do cat "$WORK/large_jumps.time.$i"; done | sort -g | tail -1 |
  awk '{ printf "%.1f", $1 / 1024 }')
l_raw_peak_mb=$(for i in $(seq "$RUNS"); do cat "$WORK/large_raw.time.$i"; done | sort -g | tail -1 |
  awk '{ printf "%.1f", $1 / 1024 }')

echo "table: $SMALL_ROWS rows x 8 fields (+ id), raw text $(awk -v t="$text_bytes" 'BEGIN { printf "%.1f", t / 1048576 }') MiB"
echo "grid: first screen ${first_s}s, scrolled to the end ${end_s}s, memory growth $((growth_kib / 1024)) MiB (${mem_ratio}x the raw text), process peak ${peak_mb} MiB"
echo "raw prepare/step text loop: ${raw_s}s, process peak ${raw_peak_mb} MiB"
echo "table: $ROWS rows x 8 fields (+ id)"
echo "grid: first screen ${l_first}s, jump to the middle ${l_middle}s, to the last row ${l_last}s, sort by name ${l_sort}s, process peak ${l_peak_mb} MiB"
echo "raw prepare/step text loop: ${l_raw}s, process peak ${l_raw_peak_mb} MiB; sqlite3 shell SELECT id ORDER BY name: ${sort_reference}s"
echo "BENCH grid ratio=$(ratio "$grid_s" "$raw_s") orvix_s=$grid_s reference_s=$raw_s peak_mb=$peak_mb"
echo "BENCH grid_memory ratio=$mem_ratio orvix_s=$grid_s reference_s=$raw_s peak_mb=$peak_mb"
echo "BENCH grid_first_screen ratio=$(ratio "$l_first" "$l_raw") orvix_s=$l_first reference_s=$l_raw peak_mb=$l_peak_mb"
echo "BENCH grid_jump_middle ratio=$(ratio "$l_middle" "$l_raw") orvix_s=$l_middle reference_s=$l_raw peak_mb=$l_peak_mb"
echo "BENCH grid_jump_last ratio=$(ratio "$l_last" "$l_raw") orvix_s=$l_last reference_s=$l_raw peak_mb=$l_peak_mb"
echo "BENCH grid_sort ratio=$(ratio "$l_sort" "$sort_reference") orvix_s=$l_sort reference_s=$sort_reference peak_mb=$l_peak_mb"
echo "BENCH grid_sort_raw ratio=$(ratio "$l_sort" "$l_raw") orvix_s=$l_sort reference_s=$l_raw peak_mb=$l_peak_mb"
