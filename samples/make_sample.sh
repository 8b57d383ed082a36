#!/usr/bin/env bash
# Builds the bundled sample document with orvix-cli: make_sample.sh ORVIX_CLI OUTPUT_PACKAGE
set -euo pipefail
cli=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
tmp="$out.building"
rm -rf "$tmp"
"$cli" new "$tmp"
"$cli" add-table "$tmp" "$here/contacts/People.json"
"$cli" add-table "$tmp" "$here/contacts/Companies.json"
"$cli" sql "$tmp" "$(cat "$here/contacts/rows.sql")"
"$cli" relate "$tmp" People Employer Companies Staff 1
"$cli" sql "$tmp" "$(grep -v '^--' "$here/contacts/links.sql")"
# The People form is the generated one with a button that runs the Summary script.
rm -rf "$tmp.scratch"
cp -r "$tmp" "$tmp.scratch"
"$cli" generate-form "$tmp.scratch" People
"$cli" form "$tmp.scratch" People | python3 "$here/add_summary_button.py" > "$tmp.people.json"
"$cli" add-form "$tmp" "$tmp.people.json"
rm -rf "$tmp.scratch" "$tmp.people.json"
"$cli" generate-form "$tmp" Companies
"$cli" add-query "$tmp" "$here/contacts/FriendsQuery.json"
"$cli" add-script "$tmp" "$here/contacts/SummaryScript.json"
"$cli" add-report "$tmp" "$here/contacts/Letter.json"
"$cli" report-template "$tmp" Letter "$here/contacts/Letter.html"
"$cli" add-report "$tmp" "$here/contacts/Summary.json"
"$cli" report-template "$tmp" "Company Summary" "$here/contacts/Summary.html"
rm -rf "$out"
mv "$tmp" "$out"
