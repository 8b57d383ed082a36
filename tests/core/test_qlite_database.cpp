// QLiteDatabase: statement execution, errors, transactions, schema operations, notifications and closing.
#include "LMUUID.h"
#include "NotificationCenter.h"
#include "QLiteCursor.h"
#include "QLiteDatabase.h"
#include "QLiteRow.h"
#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <memory>

namespace {
// Observes one notification name for the lifetime of the object.
struct Recorder {
    Recorder(NotificationCenter &center, const QString &name, NotificationCenter::Handler extra = {}) : center(center)
    {
        token = center.addObserver(name, nullptr, [this, extra](const Notification &n) {
            received << n;
            if (extra)
                extra(n);
        });
    }
    ~Recorder() { center.removeObserver(token); }
    NotificationCenter &center;
    int token = 0;
    QList<Notification> received;
};

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}
} // namespace

class TestQLiteDatabase : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<QLiteDatabase> m_db;
    QString m_path;

    quint64 count(const QString &table) { return m_db->rowCountInTable(table); }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_path = m_env->path(QStringLiteral("MainDatabase"));
        m_db = std::make_unique<QLiteDatabase>(m_path);
        QVERIFY(m_db->open());
        m_db->performQuery(QStringLiteral("CREATE TABLE t(id INTEGER PRIMARY KEY, Name TEXT);"));
        QCOMPARE(m_db->lastErrorID(), QLSuccess);
    }

    void cleanup()
    {
        m_db.reset();
        m_env.reset();
    }

    void initExpandsTildeAndDoesNotOpen()
    {
        QLiteDatabase db(QStringLiteral("~/somewhere/db"));
        QCOMPARE(db.databasePath(), QDir::homePath() + QStringLiteral("/somewhere/db"));
        QVERIFY(!db.isDatabaseOpen());
        QVERIFY(!QFile::exists(db.databasePath()));
    }

    void onlySelectAndPragmaWithoutLeadingBlankGiveCursors_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("cursor");
        QTest::newRow("select") << "SELECT * FROM t" << true;
        QTest::newRow("lower case") << "select * from t" << true;
        QTest::newRow("mixed case") << "sElEcT 1" << true;
        QTest::newRow("pragma") << "PRAGMA table_info(t)" << true;
        QTest::newRow("pragma lower") << "pragma user_version" << true;
        QTest::newRow("leading blank") << " SELECT * FROM t" << false;
        QTest::newRow("leading newline") << "\nSELECT * FROM t" << false;
        QTest::newRow("with clause") << "WITH x AS (SELECT 1) SELECT * FROM x" << false;
        QTest::newRow("insert") << "INSERT INTO t(Name) VALUES('a')" << false;
    }
    void onlySelectAndPragmaWithoutLeadingBlankGiveCursors()
    {
        QFETCH(QString, sql);
        QFETCH(bool, cursor);
        const auto result = m_db->performQuery(sql);
        QCOMPARE(bool(result), cursor);
        // Run as a statement, a SELECT still succeeds; it just yields nothing.
        QCOMPARE(m_db->lastErrorID(), QLSuccess);
    }

    void textWithSeveralStatementsRunsThemInTurnAndStopsAtTheFirstFailure()
    {
        QVERIFY(
            !m_db->performQuery(QStringLiteral("INSERT INTO t(Name) VALUES('a'); INSERT INTO t(Name) VALUES('b');")));
        QCOMPARE(m_db->lastErrorID(), QLSuccess);
        QCOMPARE(count("t"), 2ull);

        m_db->performQuery(QStringLiteral("INSERT INTO missing VALUES(1); INSERT INTO t(Name) VALUES('c');"));
        QCOMPARE(m_db->lastErrorID(), 1);
        QCOMPARE(m_db->lastError(), QStringLiteral("no such table: missing"));
        QCOMPARE(count("t"), 2ull);

        // The first statement's effect stays when the second fails.
        m_db->performQuery(QStringLiteral("INSERT INTO t(Name) VALUES('d'); INSERT INTO t(id) VALUES(1);"));
        QCOMPARE(m_db->lastErrorID(), 19);
        QCOMPARE(m_db->lastError(), QStringLiteral("UNIQUE constraint failed: t.id"));
        QCOMPARE(count("t"), 3ull);

        QVERIFY(!m_db->performQuery(QStringLiteral("SELEC 1")));
        QCOMPARE(m_db->lastErrorID(), 1);
        QCOMPARE(m_db->lastError(), QStringLiteral("near \"SELEC\": syntax error"));
        // A later success clears the error.
        QVERIFY(m_db->performQuery(QStringLiteral("SELECT 1")));
        QCOMPARE(m_db->lastErrorID(), QLSuccess);
        QVERIFY(m_db->lastError().isEmpty());
    }

    void layerErrorsHaveTheirTextsAndCodeMinusOne_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("message");
        QTest::newRow("nil statement") << 0
                                       << "[QLiteDatabase QLP_performExecuteQuery:] failed because the query is nil.";
        QTest::newRow("no columns") << 1
                                    << "QLite:createTable has failed because the supplied parameters are incorrect.";
        QTest::newRow("nil name") << 2 << "QLite:createTable has failed because the supplied parameters are incorrect.";
        QTest::newRow("non-standard type")
            << 3 << "QLite:createTable has failed because one or more datatypes are not standard.";
        QTest::newRow("drop nil") << 4 << "QLite:dropTable has failed because the supplied parameter is nil.";
        QTest::newRow("nothing to save") << 5 << "The database doesn't have unsaved changes.";
        QTest::newRow("NUL in query")
            << 6 << "[QLiteDatabase performQuery:] failed because the query contains a NUL character.";
    }
    void layerErrorsHaveTheirTextsAndCodeMinusOne()
    {
        QFETCH(int, operation);
        QFETCH(QString, message);
        bool result = true;
        switch (operation) {
        case 0: result = bool(m_db->performQuery(QString())); break;
        case 1: result = m_db->createTable(QStringLiteral("x"), {}, {}); break;
        case 2: result = m_db->createTable(QString(), {QStringLiteral("a")}, {QLString}); break;
        case 3:
            result = m_db->createTable(QStringLiteral("x"), {QStringLiteral("a")}, {QStringLiteral("VARCHAR")});
            break;
        case 4: result = m_db->dropTable(QString()); break;
        case 5: result = m_db->save(); break;
        case 6:
            m_db->performQuery(QStringLiteral("INSERT INTO t(Name) VALUES('a') ;") + QChar(0) + QStringLiteral("x"));
            result = count("t") != 0;
            QCOMPARE(m_db->lastErrorID(), QLSuccess); // count ran after
            m_db->performQuery(QStringLiteral("SELECT 1") + QChar(0));
            break;
        }
        QVERIFY(!result);
        QCOMPARE(m_db->lastError(), message);
        QCOMPARE(m_db->lastErrorID(), QLP_UnknownError);
        QVERIFY(!m_db->tables().contains(QStringLiteral("x")));
    }

    void closedConnectionReportsItself()
    {
        QVERIFY(m_db->close());
        QVERIFY(!m_db->isDatabaseOpen());
        QVERIFY(!m_db->close());
        QVERIFY(!m_db->performQuery(QStringLiteral("SELECT * FROM t")));
        QCOMPARE(m_db->lastError(),
                 QStringLiteral("[QLiteDatabase performQuery:] failed because the database is closed."));
        QCOMPARE(m_db->lastErrorID(), QLP_UnknownError);
        QVERIFY(!m_db->performQuery(QStringLiteral("DELETE FROM t")));
        QCOMPARE(m_db->lastError(),
                 QStringLiteral("[QLiteDatabase performQuery:] failed because the database is closed."));
        QVERIFY(!m_db->save());
        QCOMPARE(m_db->lastError(), QStringLiteral("The database is closed."));
        QVERIFY(!m_db->beginTransaction());
        QCOMPARE(m_db->lastErrorID(), QLP_UnknownError);
        QCOMPARE(m_db->rowCountInTable(QStringLiteral("t")), 0ull);
        // The path survives closing, so the same file opens again.
        QCOMPARE(m_db->databasePath(), m_path);
        QVERIFY(m_db->open());
        QVERIFY(m_db->tables().contains(QStringLiteral("t")));
    }

    // A commit with nothing to commit fails with a reason, so callers never report an empty one.
    void commitWithoutTransactionSaysWhy()
    {
        QVERIFY(!m_db->commitTransaction());
        QCOMPARE(m_db->lastError(), QStringLiteral("no transaction was open to commit"));
        QVERIFY(!m_db->performQuery(QStringLiteral("SELEKT")));
        QVERIFY(!m_db->commitTransaction());
        QVERIFY2(m_db->lastError().startsWith(QStringLiteral("the transaction had already ended after: ")),
                 qPrintable(m_db->lastError()));
        QVERIFY(m_db->lastError().contains(QStringLiteral("syntax error")));
    }

    void transactionsRefuseNestingAndUseTheirStatements()
    {
        QLiteDatabase db(m_env->path(QStringLiteral("statements")));
        QVERIFY(db.open(true, 2, true));
        QStringList statements;
        Recorder recorder(NotificationCenter::distributedCenter(), QLDatabaseHasSentSQLStatementNotification,
                          [&](const Notification &n) {
                              if (n.object == &db)
                                  statements << n.userInfo.value(QLSQLStatementIdentifier).toString();
                          });
        db.performQuery(QStringLiteral("CREATE TABLE u(a);"));
        statements.clear();

        QVERIFY(!db.commitTransaction());
        QVERIFY(!db.rollbackTransaction());
        QVERIFY(statements.isEmpty());

        QVERIFY(db.beginTransaction());
        QVERIFY(db.isTransactionActive());
        QVERIFY(!db.beginImmediateTransaction());
        QVERIFY(!db.beginExclusiveTransaction());
        db.performQuery(QStringLiteral("INSERT INTO u VALUES(1);"));
        QVERIFY(db.rollbackTransaction());
        QVERIFY(!db.isTransactionActive());
        QCOMPARE(db.rowCountInTable(QStringLiteral("u")), 0ull);

        QVERIFY(db.beginImmediateTransaction());
        db.performQuery(QStringLiteral("INSERT INTO u VALUES(2);"));
        QVERIFY(db.commitTransaction());
        QVERIFY(db.beginExclusiveTransaction());
        QVERIFY(db.commitTransaction());
        QCOMPARE(db.rowCountInTable(QStringLiteral("u")), 1ull);

        QCOMPARE(statements,
                 (QStringList{"BEGIN DEFERRED TRANSACTION;", "INSERT INTO u VALUES(1);", "ROLLBACK TRANSACTION;",
                              "BEGIN IMMEDIATE TRANSACTION;", "INSERT INTO u VALUES(2);", "COMMIT TRANSACTION;",
                              "BEGIN EXCLUSIVE TRANSACTION;", "COMMIT TRANSACTION;"}));
        const Notification &last = recorder.received.last();
        QCOMPARE(last.userInfo.value(QLDatabasePathIdentifier).toString(), db.databasePath());
        QVERIFY(last.userInfo.value(QLTimestampIdentifier).isDate());
        QCOMPARE(last.userInfo.value(QLP_ProcessID).toInt(), QCoreApplication::applicationPid());
    }

    void newDocumentDatabaseListsItsTablesButNotTheSchemaTable()
    {
        QLiteDatabase db(m_env->path(QStringLiteral("fresh")));
        QVERIFY(db.open());
        QCOMPARE(db.allTables(), QStringList{QLP_SchemaTable});
        QVERIFY(db.tables().isEmpty());
        QCOMPARE(db.columnsForTable(QLP_SchemaTable),
                 (QStringList{"ROWID", "QLP_TableIdentifier", "QLP_ColumnIdentifier", "QLP_DatatypeIdentifier"}));
        QCOMPARE(db.datatypesForTable(QLP_SchemaTable),
                 (QStringList{QLRecordUIDDatatype, QLString, QLString, QLString}));

        db.performQuery(
            QStringLiteral("CREATE TABLE `LM_Tables`(`id` INTEGER PRIMARY KEY AUTOINCREMENT, `Name` TEXT);"
                           "CREATE TABLE `LM_SearchIndex`(`id` INTEGER PRIMARY KEY AUTOINCREMENT, `Text` TEXT);"
                           "CREATE INDEX names ON LM_Tables(Name);"));
        QCOMPARE(db.lastErrorID(), QLSuccess);
        QCOMPARE(sorted(db.tables()), (QStringList{"LM_SearchIndex", "LM_Tables", "sqlite_sequence"}));
        // Backquoted definitions keep their quotes, and the index does not hide the table's statement.
        QCOMPARE(db.columnsForTable(QStringLiteral("LM_Tables")), (QStringList{"`id`", "`Name`"}));
        QCOMPARE(db.datatypesForTable(QStringLiteral("LM_Tables")),
                 (QStringList{"INTEGER PRIMARY KEY AUTOINCREMENT", QLString}));
        QCOMPARE(db.columnsForTable(QStringLiteral("main.LM_Tables")), (QStringList{"`id`", "`Name`"}));

        // Opening an existing database does not add a second schema table or touch its tables.
        QVERIFY(db.close());
        QVERIFY(db.open());
        QCOMPARE(sorted(db.tables()), (QStringList{"LM_SearchIndex", "LM_Tables", "sqlite_sequence"}));
    }

    void createTableAddsOrAssignsTheRowIdentifier_data()
    {
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QStringList>("expectedColumns");
        QTest::addColumn<QStringList>("expectedTypes");
        QTest::newRow("no identifier") << QStringList{"Name", "Age"} << QStringList{QLString, QLNumber}
                                       << QStringList{"ROWID", "Name", "Age"}
                                       << QStringList{QLRecordUIDDatatype, QLString, QLNumber};
        QTest::newRow("ROWID keyword column")
            << QStringList{"Name", "oid"} << QStringList{QLString, QLString} << QStringList{"Name", "oid"}
            << QStringList{QLString, QLRecordUIDDatatype};
        QTest::newRow("identifier type") << QStringList{"key", "Moment"} << QStringList{QLRecordUIDDatatype, QLDateTime}
                                         << QStringList{"key", "Moment"}
                                         << QStringList{QLRecordUIDDatatype, QLDateTime};
        QTest::newRow("untyped column") << QStringList{"Loose"} << QStringList{""} << QStringList{"ROWID", "Loose"}
                                        << QStringList{QLRecordUIDDatatype, ""};
    }
    void createTableAddsOrAssignsTheRowIdentifier()
    {
        QFETCH(QStringList, columns);
        QFETCH(QStringList, types);
        QFETCH(QStringList, expectedColumns);
        QFETCH(QStringList, expectedTypes);
        QVERIFY(m_db->createTable(QStringLiteral("people"), columns, types));
        QCOMPARE(m_db->lastErrorID(), QLSuccess);
        QVERIFY(!m_db->isTransactionActive());
        QCOMPARE(m_db->columnsForTable(QStringLiteral("people")), expectedColumns);
        QCOMPARE(m_db->datatypesForTable(QStringLiteral("people")), expectedTypes);

        // One schema row per column, and the datatype cache knows the table.
        auto schema = m_db->performQuery(
            QStringLiteral("SELECT * FROM QLP_SchemaTable WHERE QLP_TableIdentifier = 'people'"), 1, true);
        QVERIFY(schema);
        QStringList recorded;
        for (const Value &v : schema->valuesForColumn(QStringLiteral("QLP_SchemaTable.QLP_DatatypeIdentifier")))
            recorded << v.toString();
        QCOMPARE(recorded, expectedTypes);
        const Value cached = m_db->datatypeCache().value(QStringLiteral("people"));
        for (int i = 0; i < expectedColumns.size(); ++i)
            QCOMPARE(cached.value(expectedColumns.at(i)).toString(), expectedTypes.at(i));
    }

    void createTableInsideACallersTransactionLeavesItOpen()
    {
        QVERIFY(m_db->beginTransaction());
        QVERIFY(m_db->createTable(QStringLiteral("a"), {QStringLiteral("x")}, {QLString}));
        QVERIFY(m_db->isTransactionActive());
        QVERIFY(m_db->rollbackTransaction());
        QVERIFY(!m_db->tables().contains(QStringLiteral("a")));
        // A failing CREATE rolls back its own transaction, schema rows included.
        QVERIFY(!m_db->createTable(QStringLiteral("t"), {QStringLiteral("x")}, {QLString}));
        QCOMPARE(m_db->lastError(), QStringLiteral("table t already exists"));
        QVERIFY(!m_db->isTransactionActive());
        auto rows = m_db->performQuery(QStringLiteral("SELECT * FROM QLP_SchemaTable WHERE QLP_TableIdentifier = 't'"));
        QVERIFY(rows);
        QCOMPARE(rows->rowCount(), 0u);
    }

    void dropTableRemovesTableAndSchemaRows()
    {
        QVERIFY(m_db->createTable(QStringLiteral("gone"), {QStringLiteral("x")}, {QLNumber}));
        QVERIFY(m_db->datatypeCache().contains(QStringLiteral("gone")));
        QVERIFY(m_db->dropTable(QStringLiteral("gone")));
        QVERIFY(!m_db->tables().contains(QStringLiteral("gone")));
        QVERIFY(!m_db->datatypeCache().contains(QStringLiteral("gone")));
        auto rows =
            m_db->performQuery(QStringLiteral("SELECT * FROM QLP_SchemaTable WHERE QLP_TableIdentifier = 'gone'"));
        QVERIFY(rows);
        QCOMPARE(rows->rowCount(), 0u);

        QVERIFY(!m_db->dropTable(QStringLiteral("gone")));
        QCOMPARE(m_db->lastError(), QStringLiteral("no such table: gone"));
        QCOMPARE(m_db->lastErrorID(), 1);
    }

    void temporaryTablesAreDroppedWithTheirSchemaRowsOnClose()
    {
        QVERIFY(m_db->createTemporaryTable(QStringLiteral("scratch"), {QStringLiteral("x")}, {QLString}));
        QCOMPARE(m_db->temporaryTables(), QStringList{"scratch"});
        QVERIFY(m_db->tables().contains(QStringLiteral("temp.scratch")));
        QVERIFY(m_db->close());
        QVERIFY(m_db->open());
        QVERIFY(m_db->temporaryTables().isEmpty());
        auto rows =
            m_db->performQuery(QStringLiteral("SELECT * FROM QLP_SchemaTable WHERE QLP_TableIdentifier = 'scratch'"));
        QVERIFY(rows);
        QCOMPARE(rows->rowCount(), 0u);
    }

    void commitPostsTheChangeWithThePathAndObserversMayUseTheConnection()
    {
        quint64 countSeenByObserver = 0;
        Recorder changed(NotificationCenter::distributedCenter(), QLP_QLiteDatabaseDidChangeNotification,
                         [&](const Notification &) { countSeenByObserver = count("t"); });
        Recorder relayed(NotificationCenter::defaultCenter(), QLDatabaseHasChangedNotification);

        m_db->performQuery(QStringLiteral("INSERT INTO t(Name) VALUES('x');"));
        QCOMPARE(m_db->lastErrorID(), QLSuccess);
        QCOMPARE(changed.received.size(), 1);
        const Value info = changed.received.first().userInfo;
        QCOMPARE(info.value(QLDatabasePathIdentifier).toString(), m_path);
        QCOMPARE(info.value(QLP_ProcessID).toInt(), QCoreApplication::applicationPid());
        QVERIFY(info.value(QLTimestampIdentifier).isDate());
        QCOMPARE(changed.received.first().object, static_cast<const void *>(m_db.get()));
        // The observer ran after the commit, on a usable connection.
        QCOMPARE(countSeenByObserver, 1ull);
        QCOMPARE(relayed.received.size(), 1);
        QCOMPARE(relayed.received.first().userInfo.value(QLDatabasePathIdentifier).toString(), m_path);

        // A transaction posts once, at its commit; a rollback and a plain read post nothing.
        QVERIFY(m_db->beginTransaction());
        m_db->performQuery(QStringLiteral("INSERT INTO t(Name) VALUES('y'); INSERT INTO t(Name) VALUES('z');"));
        QCOMPARE(changed.received.size(), 1);
        QVERIFY(m_db->commitTransaction());
        QCOMPARE(changed.received.size(), 2);
        QVERIFY(m_db->beginTransaction());
        m_db->performQuery(QStringLiteral("DELETE FROM t;"));
        QVERIFY(m_db->rollbackTransaction());
        QVERIFY(m_db->performQuery(QStringLiteral("SELECT * FROM t")));
        QCOMPARE(changed.received.size(), 2);
    }

    void changeFromAnotherProcessRebuildsTheDatatypeCache()
    {
        Recorder relayed(NotificationCenter::defaultCenter(), QLDatabaseHasChangedNotification);
        // Another process created a table behind this connection's back.
        QLiteDatabase other(m_path);
        QVERIFY(other.open());
        QVERIFY(other.createTable(QStringLiteral("theirs"), {QStringLiteral("n")}, {QLNumber}));
        relayed.received.clear();
        QVERIFY(!m_db->datatypeCache().contains(QStringLiteral("theirs")));

        Value info = Value::dict({{QLP_ProcessID, Value(quint32(QCoreApplication::applicationPid() + 1))},
                                  {QLDatabasePathIdentifier, m_path},
                                  {QLTimestampIdentifier, Value::date(0)}});
        NotificationCenter::distributedCenter().post(QLP_QLiteDatabaseDidChangeNotification, nullptr, info);
        QVERIFY(m_db->datatypeCache().contains(QStringLiteral("theirs")));
        QCOMPARE(relayed.received.size(), 2); // both connections are on this path

        // A change of another file is not relayed.
        info.set(QLDatabasePathIdentifier, m_env->path(QStringLiteral("elsewhere")));
        NotificationCenter::distributedCenter().post(QLP_QLiteDatabaseDidChangeNotification, nullptr, info);
        QCOMPARE(relayed.received.size(), 2);
    }

    void closePostsAndCursorsOutliveTheirConnection()
    {
        QVERIFY(m_db->createTable(QStringLiteral("c"), {QStringLiteral("v")}, {QLString}));
        m_db->performQuery(QStringLiteral("INSERT INTO c(v) VALUES('kept');"));
        auto cursor = m_db->performQuery(QStringLiteral("SELECT * FROM c"), 3);
        QVERIFY(cursor);
        QCOMPARE(cursor->cacheMethod(), 3);
        Recorder closed(NotificationCenter::defaultCenter(), QLP_QLiteDatabaseDidCloseNotification);
        QVERIFY(m_db->close());
        QCOMPARE(closed.received.size(), 1);
        QCOMPARE(closed.received.first().object, static_cast<const void *>(m_db.get()));
        QCOMPARE(cursor->database(), nullptr);
        // The uncached value cannot be fetched any more; the identifier stays.
        QVERIFY(!cursor->rowAtIndex(0)->values().contains(QStringLiteral("c.v")));
        QCOMPARE(cursor->valueForColumn(QStringLiteral("c.ROWID"), 0).toInt(), 1);
        QVERIFY(!cursor->refresh());

        QVERIFY(m_db->open());
        auto second = m_db->performQuery(QStringLiteral("SELECT * FROM c"), 2);
        QVERIFY(second);
        m_db.reset(); // destroyed while the cursor lives
        QVERIFY(second->valueForColumn(QStringLiteral("c.v"), 0).isNull());
        QVERIFY(!second->refresh());
        QVERIFY(!second->rowAtIndex(5));
    }

    void fileThatIsNotADatabaseFailsCleanly()
    {
        const QString path = m_env->path(QStringLiteral("garbage"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray bytes;
        for (int i = 0; i < 4096; ++i)
            bytes.append(char((i * 37 + 11) % 251));
        file.write(bytes);
        file.close();

        QLiteDatabase withSchema(path);
        QVERIFY(!withSchema.open());
        QVERIFY(!withSchema.isDatabaseOpen());
        QCOMPARE(withSchema.lastErrorID(), 26);
        QCOMPARE(withSchema.lastError(), QStringLiteral("file is not a database"));

        QLiteDatabase plain(path);
        QVERIFY(plain.open(false));
        QVERIFY(!plain.performQuery(QStringLiteral("SELECT * FROM t")));
        QCOMPARE(plain.lastErrorID(), 26);
        QVERIFY(plain.tables().isEmpty());
        QVERIFY(!plain.createTable(QStringLiteral("x"), {QStringLiteral("a")}, {QLString}));
        QCOMPARE(plain.lastErrorID(), 26);
        QVERIFY(plain.close());
    }

    void busyDatabaseGivesUpWithTheBusyError()
    {
        QLiteDatabase holder(m_path);
        QVERIFY(holder.open());
        QVERIFY(holder.beginExclusiveTransaction());
        m_db->setBusyTimeout(50);
        QElapsedTimer timer;
        timer.start();
        m_db->performQuery(QStringLiteral("INSERT INTO t(Name) VALUES('blocked');"));
        QCOMPARE(m_db->lastErrorID(), 5);
        QCOMPARE(m_db->lastError(), QStringLiteral("database is locked"));
        QVERIFY(!m_db->beginExclusiveTransaction());
        QCOMPARE(m_db->lastErrorID(), 5);
        QVERIFY(!m_db->isTransactionActive());
        QVERIFY(timer.elapsed() < 3000);
        QVERIFY(holder.commitTransaction());
        m_db->performQuery(QStringLiteral("INSERT INTO t(Name) VALUES('free');"));
        QCOMPARE(m_db->lastErrorID(), QLSuccess);
    }

    void prepareStringForQueryDoublesSingleQuotesOnly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("quote") << "it's"
                               << "it''s";
        QTest::newRow("two quotes") << "''"
                                    << "''''";
        QTest::newRow("others untouched") << "a\"b\\c`d%"
                                          << "a\"b\\c`d%";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("nil") << QString() << QString();
    }
    void prepareStringForQueryDoublesSingleQuotesOnly()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(QLiteDatabase::prepareStringForQuery(text), expected);
        QCOMPARE(QLiteDatabase::prepareStringForQuery(text).isNull(), expected.isNull());
        QCOMPARE(QLiteDatabase::escapeQuotesFromString(text), expected);
    }

    void textSurvivesTheRoundTripThroughSQL_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes") << "O'Brien said ''hi'' \"twice\"";
        QTest::newRow("non-BMP") << QString::fromUtf8("clef \xF0\x9D\x84\x9E and \xF0\x9F\x98\x80 and \xE2\x98\x83");
        QTest::newRow("statement-like") << "x'); DROP TABLE t; --";
        QTest::newRow("line breaks") << "a\nb\r\nc\t";
    }
    void textSurvivesTheRoundTripThroughSQL()
    {
        QFETCH(QString, text);
        m_db->performQuery(
            QStringLiteral("INSERT INTO t(Name) VALUES('%1');").arg(QLiteDatabase::prepareStringForQuery(text)));
        QCOMPARE(m_db->lastErrorID(), QLSuccess);
        auto cursor = m_db->performQuery(QStringLiteral("SELECT * FROM t WHERE id = %1").arg(m_db->lastRowInserted()));
        QVERIFY(cursor);
        QCOMPARE(cursor->rowAtIndex(0)->stringForColumn(QStringLiteral("t.Name")), text);
        QVERIFY(m_db->tables().contains(QStringLiteral("t")));
    }

    void storedNulCharactersAreReadInFull()
    {
        m_db->performQuery(QStringLiteral("INSERT INTO t(Name) VALUES('a' || char(0) || 'b');"));
        auto cursor = m_db->performQuery(QStringLiteral("SELECT * FROM t"));
        QVERIFY(cursor);
        const QString name = cursor->rowAtIndex(0)->stringForColumn(QStringLiteral("t.Name"));
        QCOMPARE(name, QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
    }

    void rowCountAndLastInsertedRow()
    {
        QCOMPARE(count("t"), 0ull);
        for (int i = 0; i < 3; ++i)
            m_db->performQuery(QStringLiteral("INSERT INTO t(Name) VALUES('r');"));
        QCOMPARE(count("t"), 3ull);
        QCOMPARE(m_db->lastRowInserted(), 3);
        m_db->performQuery(QStringLiteral("INSERT INTO t(id, Name) VALUES(40, 'r');"));
        QCOMPARE(m_db->lastRowInserted(), 40);
        QCOMPARE(count("nosuch"), 0ull);
        QCOMPARE(m_db->lastError(), QStringLiteral("no such table: nosuch"));
    }
};

QTEST_GUILESS_MAIN(TestQLiteDatabase)
#include "test_qlite_database.moc"
