#!/usr/bin/env bash
# report.sh: report evaluation through orvix-cli eval. report_eval: sum, average, median and a sorted
# selection over 100,000 records x 6 fields, against the same aggregates by the sqlite3 shell. report_merge: a
# 10,000-page mail merge of five fields, against a raw loop running the same per-record SELECTs and joining the
# texts. report_pdf: the same mail merge, stored as a report, written to PDF by orvix-cli report, against
# orvix-cli report-eval evaluating it alone (the cost of page layout and writing). Uses the build in $BUILD_DIR when set (else builds orvix-cli in ./build). Prints BENCH lines.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
ROWS="${ROWS:-100000}"
PAGES="${PAGES:-10000}"
RUNS="${RUNS:-3}"
bench_cli
bench_work

make_package() { # make_package PACKAGE ROWS
  cat > "$WORK/T.json" <<'JSON'
{"Name": "T", "Fields": [
  {"Name": "Name", "Type": "Text"}, {"Name": "Amount", "Type": "Number"}, {"Name": "Qty", "Type": "Number"},
  {"Name": "City", "Type": "Text"}, {"Name": "Note", "Type": "Text"}]}
JSON
  "$CLI" new "$1" >/dev/null
  "$CLI" add-table "$1" "$WORK/T.json" >/dev/null
  "$CLI" sql "$1" "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $2)
    INSERT INTO T (Name, Amount, Qty, City, Note)
    SELECT 'Name ' || i, (i * 7919) % 100003 / 100.0, i % 17, 'City ' || (i % 50), 'Note number ' || i FROM n" >/dev/null
}

seconds() { # seconds COMMAND...: wall time of one run, the command's output to $WORK/last.out
  local start end
  start=$(date +%s.%N)
  "$@" > "$WORK/last.out"
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

peak() { # peak COMMAND...: the peak resident size in MiB of one run
  /usr/bin/time -f '%M' -o "$WORK/peak" "$@" >/dev/null
  echo "scale=1; $(cat "$WORK/peak") / 1024" | bc -l
}

best_ratio() { # best_ratio NAME ORVIX_COMMAND -- REFERENCE_COMMAND: best of $RUNS runs each, alternating
  local name=$1; shift
  local orvix=() reference=()
  while [ "$1" != "--" ]; do orvix+=("$1"); shift; done
  shift
  reference=("$@")
  local o=999999 r=999999 t
  for _ in $(seq "$RUNS"); do
    t=$(seconds "${orvix[@]}"); o=$(echo "if ($t < $o) $t else $o" | bc -l)
    cp "$WORK/last.out" "$WORK/$name.orvix.out"
    t=$(seconds "${reference[@]}"); r=$(echo "if ($t < $r) $t else $r" | bc -l)
    cp "$WORK/last.out" "$WORK/$name.reference.out"
  done
  printf 'BENCH %s ratio=%.2f orvix_s=%.3f reference_s=%.3f peak_mb=%s\n' "$name" \
    "$(echo "$o / $r" | bc -l)" "$o" "$r" "$(peak "${orvix[@]}")"
  LAST_ORVIX_S=$o
}

# --- Aggregates over 100,000 records.
make_package "$WORK/Big.orvix" "$ROWS"
DB="$WORK/Big.orvix/MainDatabase"
best_ratio report_eval "$CLI" eval "$WORK/Big.orvix" \
  '@@T.Amount.:sum@@ @@T.Amount.:average@@ @@T.Amount.:median@@ @@T.:asc(Amount).:first.Name@@' -- \
  sqlite3 "$DB" "SELECT sum(Amount) FROM T; SELECT avg(Amount) FROM T;
    SELECT avg(Amount) FROM (SELECT Amount FROM T ORDER BY Amount
      LIMIT 2 - (SELECT count(*) FROM T) % 2 OFFSET ((SELECT count(*) FROM T) - 1) / 2);
    SELECT Name FROM T ORDER BY Amount LIMIT 1;"
echo "orvix: $(cat "$WORK/report_eval.orvix.out")" >&2
echo "sqlite3: $(tr '\n' ' ' < "$WORK/report_eval.reference.out")" >&2

# --- A mail merge of 10,000 pages with five fields.
make_package "$WORK/Merge.orvix" "$PAGES"
cat > "$WORK/raw_merge.py" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
ids = [row[0] for row in db.execute("SELECT id FROM T")]
pages = []
for i, record in enumerate(ids):
    texts = {}
    for field in ("Name", "Amount", "Qty", "City", "Note"):
        row = db.execute("SELECT `%s` FROM `T` WHERE id='%s'" % (field, record)).fetchone()
        texts[field] = "<null>" if row[0] is None else str(row[0])
    pages.append("Dear %s, page %d\nAmount %s, quantity %s\nCity: %s\nNote: %s" % (
        texts["Name"], i + 1, texts["Amount"], texts["Qty"], texts["City"], texts["Note"]))
sys.stdout.write("\f".join(pages))
PY
best_ratio report_merge "$CLI" eval "$WORK/Merge.orvix" \
  $'Dear <<Name>>, page $CUR$\nAmount <<Amount>>, quantity <<Qty>>\nCity: <<City>>\nNote: <<Note>>' --table T -- \
  python3 "$WORK/raw_merge.py" "$WORK/Merge.orvix/MainDatabase"
pages=$(tr -cd '\f' < "$WORK/report_merge.orvix.out" | wc -c)
echo "report_merge pages=$((pages + 1)) pages_per_s=$(echo "($pages + 1) / $LAST_ORVIX_S" | bc)" >&2

# --- The same mail merge as a stored report, written to PDF, against its evaluation alone.
cat > "$WORK/Letters.json" <<'JSON'
{"Name": "Letters", "Content Table": "T",
 "Attributed String": "Dear <<Name>>, page $CUR$\nAmount <<Amount>>, quantity <<Qty>>\nCity: <<City>>\nNote: <<Note>>"}
JSON
"$CLI" add-report "$WORK/Merge.orvix" "$WORK/Letters.json" >/dev/null
best_ratio report_pdf "$CLI" report "$WORK/Merge.orvix" Letters --format pdf -o "$WORK/letters.pdf" -- \
  "$CLI" report-eval "$WORK/Merge.orvix" Letters
pdf_pages=$(pdfinfo "$WORK/letters.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
echo "report_pdf pages=${pdf_pages:-?} pages_per_s=$(echo "${pdf_pages:-0} / $LAST_ORVIX_S" | bc)" \
  "eval_peak_mb=$(peak "$CLI" report-eval "$WORK/Merge.orvix" Letters)" >&2
# Memory against page count: a tenth of the pages should need little less than the whole only if the
# document itself dominates; both peaks are printed so the growth per page can be read off.
make_package "$WORK/Small.orvix" "$((PAGES / 10))"
"$CLI" add-report "$WORK/Small.orvix" "$WORK/Letters.json" >/dev/null
echo "report_pdf pages=$((PAGES / 10)) peak_mb=$(peak "$CLI" report "$WORK/Small.orvix" Letters --format pdf \
  -o "$WORK/small.pdf")" >&2
