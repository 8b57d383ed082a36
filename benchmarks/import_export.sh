#!/usr/bin/env bash
# import_export.sh: CSV import and export of 1,000,000 rows x 6 columns, orvix-cli against the sqlite3 shell.
# Uses the build in $BUILD_DIR when set (else builds orvix-cli in ./build). Prints BENCH lines.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
ROWS="${ROWS:-1000000}"
bench_cli
command -v sqlite3 >/dev/null || { echo "sqlite3 is not installed (scripts/install-deps.sh)" >&2; exit 1; }

bench_work

# Six columns: a number, names with quoted commas and doubled quotes, a free text, a real, an ISO date, yes/no.
python3 - "$WORK/data.csv" "$ROWS" <<'PY'
import random, sys
random.seed(7)
towns = ['Oslo', '"Lyon, FR"', 'Rome', '"Say ""hi"""', 'Zürich', 'Kyoto']
with open(sys.argv[1], 'w', encoding='utf-8', newline='') as f:
    for i in range(int(sys.argv[2])):
        f.write('%d,Person %d,%s,%.2f,2024-%02d-%02d,%s\n' % (
            i, i, towns[i % 6], random.random() * 1000, i % 12 + 1, i % 28 + 1, 'yes' if i % 2 else 'no'))
PY
SIZE_MB=$(( $(stat -c %s "$WORK/data.csv") / 1048576 ))

# Runs a command and prints "seconds peak_MiB" (wall clock, peak resident set of the command).
measure() {
  /usr/bin/time -f '%e %M' -o "$WORK/time" "$@" >/dev/null
  awk '{ printf "%s %.1f\n", $1, $2 / 1024 }' "$WORK/time"
}

# Import. The reference loads into an existing table, so every line is a record as in Orvix.
"$CLI" new "$WORK/bench.orvix"
read -r orvix_import orvix_import_mb < <(measure "$CLI" import "$WORK/bench.orvix" "$WORK/data.csv" --table Bench)
sqlite3 "$WORK/ref.db" 'CREATE TABLE Bench (c0, c1, c2, c3, c4, c5)'
read -r ref_import ref_import_mb < <(measure sqlite3 "$WORK/ref.db" ".import --csv $WORK/data.csv Bench")

orvix_rows=$("$CLI" sql "$WORK/bench.orvix" 'SELECT count(*) AS n FROM Bench' | tail -1)
ref_rows=$(sqlite3 "$WORK/ref.db" 'SELECT count(*) FROM Bench')
[ "$orvix_rows" = "$ROWS" ] && [ "$ref_rows" = "$ROWS" ] || { echo "row counts differ: $orvix_rows $ref_rows" >&2; exit 1; }

# Export of the same table to a CSV file.
read -r orvix_export orvix_export_mb < <(measure "$CLI" export "$WORK/bench.orvix" Bench --format csv -o "$WORK/orvix.csv")
read -r ref_export ref_export_mb < <(measure sqlite3 -csv "$WORK/ref.db" "SELECT * FROM Bench" -cmd ".once $WORK/ref.csv")
[ "$(wc -l < "$WORK/orvix.csv")" -ge $((ROWS - 1)) ] || { echo "orvix export is short" >&2; exit 1; }

# What the command-line tool needs before any work (libraries, Qt, ICU), to read the peaks against.
read -r _ baseline_mb < <(measure "$CLI" tables "$WORK/bench.orvix")

echo "file: $ROWS rows, ${SIZE_MB} MiB; orvix-cli baseline ${baseline_mb} MiB peak"
echo "import: orvix ${orvix_import}s (${orvix_import_mb} MiB peak), sqlite3 .import ${ref_import}s (${ref_import_mb} MiB peak)"
echo "export: orvix ${orvix_export}s (${orvix_export_mb} MiB peak), sqlite3 .mode csv ${ref_export}s (${ref_export_mb} MiB peak)"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
echo "BENCH import ratio=$(ratio "$orvix_import" "$ref_import") orvix_s=$orvix_import reference_s=$ref_import peak_mb=$orvix_import_mb"
echo "BENCH export ratio=$(ratio "$orvix_export" "$ref_export") orvix_s=$orvix_export reference_s=$ref_export peak_mb=$orvix_export_mb"
