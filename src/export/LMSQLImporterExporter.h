// LMSQLImporterExporter: a table as an SQL script that recreates it in MySQL, PostgreSQL, MS SQL Server or SQLite.
#pragma once

#include "Value.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class OXDatabase;
class QIODevice;

class LMSQLImporterExporter {
public:
    // The targets, in the export sheet's order: "MySQL", "PostgreSQL", "MS SQL Server", "SQLite".
    static QStringList targetNames();
    // The target of a script whose options name none: "MySQL".
    static QString defaultTarget();
    // Options: "OX_SQL_Target" ("MySQL" when absent). Empty data when the table cannot be read.
    static QByteArray exportTable(const QString &table, OXDatabase *db, const Value &options);
    // The same script written to `out` as the rows are read.
    static bool exportTable(QIODevice &out, const QString &table, OXDatabase *db, const Value &options,
                            QString *error = nullptr);
};
