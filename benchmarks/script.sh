#!/usr/bin/env bash
# script.sh: scripts against the host API. script_rows: a script reads every value of a 100,000-record table
# (three fields) through window.OrvixController and sums one column, against the same reads and sum in a raw
# SQLite loop (Python's sqlite3 module) in the same run. script_add: a script adds 10,000 records and sets a
# value in each, against the same INSERT and UPDATE per record in a raw SQLite loop (autocommit, as the host
# API writes). Times are the runs' own (orvix-cli run-code --timing), without opening and saving the document.
# Uses the build in $BUILD_DIR when set (else builds in ./build). Prints BENCH lines.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
ROWS="${ROWS:-100000}"
ADDS="${ADDS:-10000}"
bench_cli

bench_work

DOC="$WORK/Script.orvix"
cat > "$WORK/Nums.json" <<'JSON'
{"Name": "Nums", "Fields": [
  {"Name": "Label", "Type": "Text"}, {"Name": "Value", "Type": "Number"}, {"Name": "Note", "Type": "Text"}]}
JSON
cat > "$WORK/Added.json" <<'JSON'
{"Name": "Added", "Fields": [{"Name": "Value", "Type": "Number"}]}
JSON
"$CLI" new "$DOC" >/dev/null
"$CLI" add-table "$DOC" "$WORK/Nums.json" >/dev/null
"$CLI" add-table "$DOC" "$WORK/Added.json" >/dev/null
sqlite3 "$DOC/MainDatabase" <<SQL
BEGIN;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $ROWS)
INSERT INTO Nums (Label, Value, Note) SELECT 'Row ' || i, i % 1000, 'note ' || i FROM n;
COMMIT;
SQL
EXPECTED=$(sqlite3 "$DOC/MainDatabase" "SELECT CAST(SUM(Value) AS INTEGER) FROM Nums")

cat > "$WORK/read.js" <<'JS'
var c = window.OrvixController;
var labels = c.xwDataValuesArray__('Nums', 'Label');
var values = c.xwDataValuesArray__('Nums', 'Value');
var notes = c.xwDataValuesArray__('Nums', 'Note');
var sum = 0, seen = 0;
for (var i = 0; i < values.length; i++) {
    sum += Number(values[i]);
    seen += (labels[i] !== null) + (notes[i] !== null);
}
Tools.Log(sum + ' ' + seen);
JS
cat > "$WORK/read.py" <<'PY'
import sqlite3, sys, time
con = sqlite3.connect(sys.argv[1])
start = time.perf_counter()
total = 0; seen = 0
for label, value, note in con.execute("SELECT Label, Value, Note FROM Nums"):
    total += float(value)
    seen += (label is not None) + (note is not None)
elapsed = time.perf_counter() - start
print(int(total), seen)
print("reference_s=%.4f" % elapsed, file=sys.stderr)
PY
cat > "$WORK/add.js" <<JS
var c = window.OrvixController;
for (var i = 1; i <= $ADDS; i++) {
    c.xwAddRowAtEnd_('Added');
    c.xwSetDataValue____('Added', 'Value', i, i);
}
Tools.Log(c.xwRowCountForTable_('Added'));
JS
cat > "$WORK/add.py" <<PY
import sqlite3, sys, time
con = sqlite3.connect(sys.argv[1], isolation_level=None)
start = time.perf_counter()
for i in range(1, $ADDS + 1):
    cur = con.execute("INSERT INTO Added (id) VALUES (NULL)")
    con.execute("UPDATE Added SET Value = ? WHERE id = ?", (i, cur.lastrowid))
elapsed = time.perf_counter() - start
print(con.execute("SELECT COUNT(*) FROM Added").fetchone()[0])
print("reference_s=%.4f" % elapsed, file=sys.stderr)
PY

value() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" "$2"; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
RUNS="${RUNS:-3}"
read_o=""; read_r=""; add_o=""; add_r=""; peak_read=0; peak_add=0
for i in $(seq "$RUNS"); do
  /usr/bin/time -f '%M' -o "$WORK/time.read" "$CLI" run-code "$DOC" "$WORK/read.js" --timing \
    > "$WORK/out.read" 2> "$WORK/err.read"
  [ "$(cat "$WORK/out.read")" = "$EXPECTED $((ROWS * 2))" ] || {
    echo "the script read the wrong values: $(cat "$WORK/out.read") (expected $EXPECTED)" >&2; cat "$WORK/err.read" >&2; exit 1; }
  python3 "$WORK/read.py" "$DOC/MainDatabase" > "$WORK/ref.read" 2> "$WORK/referr.read"
  [ "$(cat "$WORK/ref.read")" = "$EXPECTED $((ROWS * 2))" ] || { echo "the reference read the wrong values" >&2; exit 1; }
  read_o=$(best "$read_o" "$(value script_s "$WORK/err.read")")
  read_r=$(best "$read_r" "$(value reference_s "$WORK/referr.read")")
  m=$(tail -1 "$WORK/time.read"); [ "$m" -gt "$peak_read" ] && peak_read=$m

  # Each add run starts from an empty table, for both sides.
  sqlite3 "$DOC/MainDatabase" "DELETE FROM Added; DELETE FROM sqlite_sequence WHERE name = 'Added';"
  /usr/bin/time -f '%M' -o "$WORK/time.add" "$CLI" run-code "$DOC" "$WORK/add.js" --timing \
    > "$WORK/out.add" 2> "$WORK/err.add"
  [ "$(cat "$WORK/out.add")" = "$ADDS" ] || { echo "the script added $(cat "$WORK/out.add") records" >&2; cat "$WORK/err.add" >&2; exit 1; }
  [ "$(sqlite3 "$DOC/MainDatabase" "SELECT CAST(SUM(Value) AS INTEGER) FROM Added")" = "$((ADDS * (ADDS + 1) / 2))" ] || {
    echo "the script's values were not saved" >&2; exit 1; }
  sqlite3 "$DOC/MainDatabase" "DELETE FROM Added; DELETE FROM sqlite_sequence WHERE name = 'Added';"
  python3 "$WORK/add.py" "$DOC/MainDatabase" > "$WORK/ref.add" 2> "$WORK/referr.add"
  [ "$(cat "$WORK/ref.add")" = "$ADDS" ] || { echo "the reference added the wrong count" >&2; exit 1; }
  add_o=$(best "$add_o" "$(value script_s "$WORK/err.add")")
  add_r=$(best "$add_r" "$(value reference_s "$WORK/referr.add")")
  m=$(tail -1 "$WORK/time.add"); [ "$m" -gt "$peak_add" ] && peak_add=$m
done
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
echo "read: $ROWS records x 3 fields, one column summed: script ${read_o}s, raw SQLite loop ${read_r}s (best of $RUNS)"
echo "add: $ADDS records with one value each: script ${add_o}s, raw SQLite loop ${add_r}s (best of $RUNS)"
echo "BENCH script_rows ratio=$(ratio "$read_o" "$read_r") orvix_s=$read_o reference_s=$read_r peak_mb=$(mb "$peak_read")"
echo "BENCH script_add ratio=$(ratio "$add_o" "$add_r") orvix_s=$add_o reference_s=$add_r peak_mb=$(mb "$peak_add")"
