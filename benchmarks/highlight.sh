#!/usr/bin/env bash
# highlight.sh: the script editor's colouring on a 10,000-line script (LINES), against one plain ICU uregex scan of
# the same text for the JavaScript keywords, in the same run.
#   highlight: the whole text coloured once and laid on the editor's lines, against the scan.
#   highlight_passes: the colouring passes alone over the whole text, against the scan.
#   highlight_keystroke: one typed character in the middle of the text, its lines and the visible lines
#   recoloured (median of 54 keystrokes; the aim is under one 16 ms frame), against the scan.
# Uses the build in $BUILD_DIR when set (else ./build); builds the highlight_bench target there. Prints BENCH lines.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
LINES="${LINES:-10000}"
bench_build highlight_bench
BENCH="$BUILD_DIR/benchmarks/highlight_bench"

bench_work
export ORVIX_RESOURCES="$ROOT/resources" XDG_DATA_HOME="$WORK/data"

"$BENCH" make "$WORK/script.js" "$LINES"

value() { sed -n "s/^$1=//p" "$2"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
# Best of RUNS runs each, alternating, so a busy moment of the machine does not decide a ratio.
RUNS="${RUNS:-3}"
for i in $(seq "$RUNS"); do
  /usr/bin/time -f '%M' -o "$WORK/orvix.time.$i" "$BENCH" orvix "$WORK/script.js" > "$WORK/orvix.out.$i"
  "$BENCH" reference "$WORK/script.js" > "$WORK/reference.out.$i"
done
best() {
  for i in $(seq "$RUNS"); do value "$2" "$WORK/$1.out.$i"; done | sort -g | head -1
}
full_s=$(best orvix full_s)
passes_s=$(best orvix passes_s)
key_s=$(best orvix keystroke_s)
key_max_s=$(best orvix keystroke_max_s)
reference_s=$(best reference reference_s)
peak_mb=$(for i in $(seq "$RUNS"); do cat "$WORK/orvix.time.$i"; done | sort -g | tail -1 |
  awk '{ printf "%.1f", $1 / 1024 }')

echo "script: $LINES lines, $(value chars "$WORK/orvix.out.1") characters, $(value coloured "$WORK/orvix.out.1") coloured"
echo "colouring: passes ${passes_s}s, laid on the editor ${full_s}s; keystroke median ${key_s}s (slowest of best run ${key_max_s}s)"
echo "uregex keyword scan: ${reference_s}s ($(value matches "$WORK/reference.out.1") keywords)"
echo "BENCH highlight ratio=$(ratio "$full_s" "$reference_s") orvix_s=$full_s reference_s=$reference_s peak_mb=$peak_mb"
echo "BENCH highlight_passes ratio=$(ratio "$passes_s" "$reference_s") orvix_s=$passes_s reference_s=$reference_s peak_mb=$peak_mb"
echo "BENCH highlight_keystroke ratio=$(ratio "$key_s" "$reference_s") orvix_s=$key_s reference_s=$reference_s peak_mb=$peak_mb"
