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
    {"import", "PACKAGE FILE [--table NAME] [--type COLUMN=DATATYPE]... [--skip COLUMN]...",
     "import a .csv or .tsv file (separator by extension) into a new\n"
     "table as the import sheet does: columns named from the first\n"
     "record, every record imported (the first too), and save;\n"
     "DATATYPE is Text, Number, Date, Yes/No or File Path; COLUMN is\n"
     "a column's name as the sheet proposes it (untitledN when the\n"
     "first record's field is not a usable name)",
     0, -1, runImport},
    {"export",
     "PACKAGE TABLE --format csv|tsv|sql|html [--sql-target TARGET] [--doctype DOCTYPE] [--stylesheet] "
     "[--raw] [-o FILE]",
     "write the table as the export sheet does, to FILE (replaced\n"
     "atomically) or standard output; TARGET is MySQL (default),\n"
     "PostgreSQL, \"MS SQL Server\" or SQLite; DOCTYPE is one of\n"
     "\"HTML 4 Transitional\", \"HTML 4 Strict\", \"XHTML 1.0 Transitional\",\n"
     "\"XHTML 1.0 Strict\" (default), \"XHTML 1.1\", \"Just <table>\";\n"
     "--raw writes stored values instead of formatted ones",
     0, -1, runExport},
});
} // namespace
