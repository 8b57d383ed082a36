// OrvixCliTransfer: the command line's "import" and "export", on the import and export sheets' controllers.
#pragma once

#include <QStringList>
#include <QTextStream>

class OrvixCliTransfer {
public:
    OrvixCliTransfer(QTextStream &out, QTextStream &err) : m_out(out), m_err(err) {}

    // import PACKAGE FILE [--table NAME] [--type COLUMN=DATATYPE]... [--skip COLUMN]...
    int runImport(const QStringList &args);
    // export PACKAGE TABLE --format csv|tsv|sql|html [--sql-target TARGET] [--doctype DOCTYPE] [--stylesheet]
    //        [--raw] [-o FILE]
    int runExport(const QStringList &args);

private:
    int fail(const QString &message, int code = 1);

    QTextStream &m_out;
    QTextStream &m_err;
};
