#!/usr/bin/env bash
# search.sh: the quick search of a word over a document whose table has 1,000,000 rows of four text fields
# (the word only in the last row, so every row is scanned), against the same LIKE query run by the sqlite3
# shell on the same database. Reports the search's total time and its time to the first results (the name
# pass). Uses the build in $BUILD_DIR when set (else builds in ./build). Prints BENCH lines.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
ROWS="${ROWS:-1000000}"
bench_cli

bench_work

DOC="$WORK/Big.orvix"
cat > "$WORK/Notes.json" <<'JSON'
{"Name": "Notes", "Fields": [
  {"Name": "Title", "Type": "Text"}, {"Name": "Body", "Type": "Text"},
  {"Name": "City", "Type": "Text"}, {"Name": "Note", "Type": "Text"}]}
JSON
"$CLI" new "$DOC" >/dev/null
"$CLI" add-table "$DOC" "$WORK/Notes.json" >/dev/null
sqlite3 "$DOC/MainDatabase" <<SQL
BEGIN;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $ROWS)
INSERT INTO Notes (Title, Body, City, Note)
SELECT 'Title ' || i, 'Some body text for row ' || i || ' with a few more words', 'City ' || (i % 997),
       CASE WHEN i = $ROWS THEN 'the zebrafish note' ELSE 'note ' || i END FROM n;
COMMIT;
SQL

WHERE="\`Title\` LIKE '%zebrafish%' OR \`Body\` LIKE '%zebrafish%' OR \`City\` LIKE '%zebrafish%' OR \`Note\` LIKE '%zebrafish%'"
value() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" "$2"; }
RUNS="${RUNS:-3}"
best_search=""; best_first=""; best_ref=""; peak_kib=0
for i in $(seq "$RUNS"); do
  /usr/bin/time -f '%M' -o "$WORK/time.$i" "$CLI" search "$DOC" zebrafish --timing > "$WORK/out.$i" 2> "$WORK/err.$i"
  grep -q "Notes" "$WORK/out.$i" || { echo "the search did not find the table" >&2; cat "$WORK/err.$i" >&2; exit 1; }
  s=$(value search_s "$WORK/err.$i"); f=$(value first_results_s "$WORK/err.$i")
  start=$(date +%s.%N)
  sqlite3 "$DOC/MainDatabase" "SELECT * FROM \`Notes\` WHERE $WHERE" > "$WORK/ref.$i"
  r=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.4f", b - a }')
  [ "$(wc -l < "$WORK/ref.$i")" = 1 ] || { echo "the reference query found the wrong rows" >&2; exit 1; }
  best_search=$(awk -v a="$best_search" -v b="$s" 'BEGIN { print (a == "" || b < a) ? b : a }')
  best_first=$(awk -v a="$best_first" -v b="$f" 'BEGIN { print (a == "" || b < a) ? b : a }')
  best_ref=$(awk -v a="$best_ref" -v b="$r" 'BEGIN { print (a == "" || b < a) ? b : a }')
  m=$(cat "$WORK/time.$i"); [ "$m" -gt "$peak_kib" ] && peak_kib=$m
done
peak_mb=$(awk -v k="$peak_kib" 'BEGIN { printf "%.1f", k / 1024 }')
ratio=$(awk -v a="$best_search" -v b="$best_ref" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
echo "table: $ROWS rows x 4 text fields; the word only in the last row"
echo "quick search: first results after ${best_first}s, all passes ${best_search}s (best of $RUNS)"
echo "sqlite3 shell, same LIKE query: ${best_ref}s"
echo "BENCH quick_search ratio=$ratio orvix_s=$best_search reference_s=$best_ref peak_mb=$peak_mb"
