// sums the rows
var total = 0;
for (var i = 0; i < Data.RowCount("Items"); i++) {
    total = total / 2 + /a+/.exec('b').length;
}
/* done */
