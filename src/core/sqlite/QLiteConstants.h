// Names shared by the SQLite access layer: stored keys, datatypes and notification names.
#pragma once

#include <QString>
#include <QStringList>

inline const QString QLRecordUID = QStringLiteral("ROWID");
inline const QString QLRecordUIDDatatype = QStringLiteral("INTEGER PRIMARY KEY");

inline const QString QLString = QStringLiteral("QLString");
inline const QString QLNumber = QStringLiteral("QLNumber");
inline const QString QLBoolean = QStringLiteral("QLBoolean");
inline const QString QLDateTime = QStringLiteral("QLDateTime");
inline const QString QLContainer = QStringLiteral("QLContainer");

inline const QString QLP_SchemaTable = QStringLiteral("QLP_SchemaTable");
inline const QString QLP_TableIdentifier = QStringLiteral("QLP_TableIdentifier");
inline const QString QLP_ColumnIdentifier = QStringLiteral("QLP_ColumnIdentifier");
inline const QString QLP_DatatypeIdentifier = QStringLiteral("QLP_DatatypeIdentifier");
inline const QString QLP_UUID = QStringLiteral("UUID");
inline const QString QLP_ProcessID = QStringLiteral("QLP_ProcessID");

inline const QString QLDatabasePathIdentifier = QStringLiteral("QLDatabasePathIdentifier");
inline const QString QLTimestampIdentifier = QStringLiteral("QLTimestampIdentifier");
inline const QString QLSQLStatementIdentifier = QStringLiteral("QLSQLStatementIdentifier");

inline const QString QLP_QLiteDatabaseDidChangeNotification = QStringLiteral("QLP_QLiteDatabaseDidChangeNotification");
inline const QString QLP_QLiteDatabaseDidCompactNotification =
    QStringLiteral("QLP_QLiteDatabaseDidCompactNotification");
inline const QString QLP_QLiteDatabaseDidCloseNotification = QStringLiteral("QLP_QLiteDatabaseDidCloseNotification");
inline const QString QLDatabaseHasChangedNotification = QStringLiteral("QLDatabaseHasChangedNotification");
inline const QString QLDatabaseHasSentSQLStatementNotification =
    QStringLiteral("QLDatabaseHasSentSQLStatementNotification");

inline constexpr int QLSuccess = 0;
inline constexpr int QLP_UnknownError = -1;

namespace QLite {
// The datatypes createTable accepts.
inline const QStringList standardDatatypes{QLRecordUIDDatatype, QLString, QLNumber, QLBoolean, QLDateTime, QLContainer};
// Names SQLite accepts for a table's row identifier.
inline const QStringList rowidKeywords{QStringLiteral("ROWID"), QStringLiteral("OID"), QStringLiteral("_ROWID_")};

inline bool isRowidKeyword(const QString &name)
{
    for (const QString &k : rowidKeywords)
        if (name.compare(k, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
} // namespace QLite
