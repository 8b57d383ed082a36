// orvix-cli commands that move rows in and out of a document: import and export.
#include "CliRegistry.h"
#include "OrvixCliTransfer.h"

namespace {
// Both commands check their own arguments, so their messages can name what is missing.
int runImport(CliContext &cli, const QStringList &args)
{
    return OrvixCliTransfer(cli.out(), cli.err()).runImport(args);
}

int runExport(CliContext &cli, const QStringList &args)
{
    return OrvixCliTransfer(cli.out(), cli.err()).runExport(args);
}

const CliRegistration registration({
    {"import", "PACKAGE FILE [--table NAME] [--type COLUMN=DATATYPE]... [--skip COLUMN]... [--no-header]",
     "import a .csv or .tsv file (separator by extension) into a new\n"
     "table as the import sheet does, and save: when the first record\n"
     "gives a usable column name it names the columns and is not\n"
     "imported (--no-header: every record is data, columns untitledN);\n"
     "DATATYPE is Text, Number, Date, Yes/No or File Path; COLUMN is\n"
     "a column's name as the sheet proposes it (untitledN when the\n"
     "first record's field is not a usable name); values that will not\n"
     "convert are listed in an alert first (--answer Cancel stops)",
     0, -1, runImport},
    {"export",
     "PACKAGE TABLE --format csv|tsv|sql|html [--sql-target TARGET] [--doctype DOCTYPE] [--stylesheet] "
     "[--raw] [--no-header] [-o FILE]",
     "write the table as the export sheet does, to FILE (replaced\n"
     "atomically) or standard output; TARGET is MySQL (default),\n"
     "PostgreSQL, \"MS SQL Server\" or SQLite; DOCTYPE is one of\n"
     "\"HTML 4 Transitional\", \"HTML 4 Strict\", \"XHTML 1.0 Transitional\",\n"
     "\"XHTML 1.0 Strict\" (default), \"XHTML 1.1\", \"Just <table>\";\n"
     "--raw writes stored values instead of formatted ones (csv/tsv:\n"
     "values as shown, dates in ISO 8601, by default); --no-header\n"
     "leaves out the csv/tsv line of field names (no rows: no file)",
     0, -1, runExport},
});
} // namespace
