// LMTableDesignRecovery: table designs rebuilt from the database when a package's designs are lost.
#pragma once

#include "Value.h"

#include <QStringList>

struct sqlite3;

namespace LMTableDesignRecovery {
// The user tables of the database: every table but SQLite's own and the program's internal ones.
QStringList userTables(sqlite3 *db);
// A design for `table` whose fields are typed from its SQL columns (an integer primary key "id" becomes the
// "Primary Key" field, REAL and INTEGER columns "Number", everything else "Text").
Value designForTable(sqlite3 *db, const QString &table);
} // namespace LMTableDesignRecovery
