#!/usr/bin/env python3
# Adds a button that runs the "Summary" script to a form printed by `orvix-cli form` (standard input to output).
import json
import re
import sys

form = json.load(sys.stdin)
x, y, w, h = map(float, re.findall(r"-?[0-9.]+", form["Canvas"]["Canvas Size"]))
form["Canvas"]["Canvas Size"] = "{{%g, %g}, {%g, %g}}" % (x, y, w, h + 40)
form["Controls"].append({
    "Class": "NSButton",
    "Control Data": {"$archive": {"$class": "NSButton", "$attributes": {
        "Bezel Style": 1, "Button Type": 0, "Enabled": True, "Title": "Show Summary", "Tool Tip": "Runs the Summary script"}}},
    "Frame": "{{107, %g}, {140, 24}}" % (h + 6),
    "Info": {"Control Action Type": "Run", "Control Action Script": "Summary", "Label Text": "Script:",
             "Script Bridge Name": "Show Summary", "UUID": "818622887.000-1000000001"},
    "Is Locked": False,
    "Springs Struts": "36",
})
json.dump(form, sys.stdout, indent=1)
