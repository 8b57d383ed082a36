// QLiteCursor and QLiteRow: column naming, cache methods, datatype conversion, row access and edits.
#include "QLiteCursor.h"
#include "QLiteDatabase.h"
#include "QLiteIdentifierLoader.h"
#include "QLiteRow.h"
#include "ReferenceDate.h"
#include "TestEnvironment.h"

#include <QSet>
#include <QTest>
#include <memory>

namespace {
QSet<QString> asSet(const QStringList &list)
{
    return QSet<QString>(list.begin(), list.end());
}

// Every answer of a cursor as text: its columns, then each row's cells in column order.
QList<QStringList> answers(QLiteCursor &cursor, const QList<quint32> &order)
{
    QList<QStringList> all{cursor.columns()};
    for (quint32 r : order) {
        QStringList cells;
        const QLiteRow row = *cursor.rowAtIndex(r);
        for (const QString &column : cursor.columns())
            cells << row.stringForColumn(column);
        all << cells;
    }
    return all;
}

// Rows visited forwards, backwards and by jumps, so that pages are dropped and read again on the way.
QList<quint32> scatteredOrder(quint32 rows)
{
    QList<quint32> order;
    for (quint32 r = 0; r < rows; ++r)
        order << r;
    for (quint32 r = rows; r-- > 0;)
        order << r;
    for (quint32 r = 0; r < rows; r += 7)
        order << rows - 1 - r << r;
    return order;
}

} // namespace
Q_DECLARE_METATYPE(QLiteRowSource)
namespace {

// Loaders started while one of these lives stop after their first batch of ids until more is asked for, so a
// test acts while the list is known to be incomplete.
struct PausedLoaders {
    PausedLoaders() { QLiteIdentifierLoader::setPausedAfterFirstBatch(true); }
    ~PausedLoaders() { QLiteIdentifierLoader::setPausedAfterFirstBatch(false); }
};

// More rows than the loader's first batch (256).
constexpr int kLargeRows = 2000;

const QString kGridQuery = QStringLiteral("SELECT `id`, `name`, `amount`, `note` FROM `g`  ORDER BY `name` DESC");
const QLiteRowSource kGridSource{QStringLiteral("g"), QStringLiteral("id"),
                                 QStringLiteral("SELECT `id` FROM `g`  ORDER BY `name` DESC")};
const QLiteRowSource kGridBackgroundSource{kGridSource.table, kGridSource.identifierColumn, kGridSource.identifierSql,
                                           true};
// Identifiers that are texts, some of them looking like numbers.
const QString kCodeQuery = QStringLiteral("SELECT `code`, `v` FROM `s` ORDER BY `v`, `code`");
const QLiteRowSource kCodeSource{QStringLiteral("s"), QStringLiteral("code"),
                                 QStringLiteral("SELECT `code` FROM `s` ORDER BY `v`, `code`"), true};
} // namespace

class TestQLiteCursor : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<QLiteDatabase> m_db;

    void run(const QString &sql)
    {
        m_db->performQuery(sql);
        QCOMPARE(m_db->lastError(), QString());
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_db = std::make_unique<QLiteDatabase>(m_env->path(QStringLiteral("MainDatabase")));
        QVERIFY(m_db->open());
        // A table as the program creates its own, and one made through createTable.
        run(QStringLiteral(
            "CREATE TABLE t(id INTEGER PRIMARY KEY, Name TEXT, Note TEXT);"
            "INSERT INTO t(Name, Note) VALUES('Ann', NULL); INSERT INTO t(Name, Note) VALUES('Bob', 'b');"));
        QVERIFY(m_db->createTable(QStringLiteral("p"), {QStringLiteral("Name"), QStringLiteral("Age")},
                                  {QLString, QLNumber}));
        run(QStringLiteral(
            "INSERT INTO p(Name, Age) VALUES('Cy', '41'); INSERT INTO p(Name, Age) VALUES('Di', '7.5');"));
    }

    // `rows` rows with NULLs, quotes, repeated sort keys and gaps in the ids; `s` has text identifiers.
    void makeGridTable(int rows = 40)
    {
        run(QStringLiteral(
                "CREATE TABLE g(id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, amount REAL, note TEXT);"
                "CREATE TABLE h(gid INTEGER, label TEXT); CREATE TABLE k(hid INTEGER, tag TEXT);"
                "CREATE TABLE s(code TEXT PRIMARY KEY, v TEXT);"
                "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n WHERE x<%1) "
                "INSERT INTO s(code, v) SELECT CASE WHEN x % 3 = 0 THEN x ELSE 'c' || x END, "
                "CASE WHEN x % 7 = 0 THEN NULL ELSE 'v' || (x % 11) END FROM n;"
                "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n WHERE x<%1) "
                "INSERT INTO g(id, name, amount, note) SELECT x * 3, 'N' || (x % 9), x * 1.5, "
                "CASE WHEN x % 4 = 0 THEN NULL ELSE 'it''s ' || x END FROM n;"
                "INSERT INTO h(gid, label) SELECT id, CASE WHEN id % 5 = 0 THEN NULL ELSE 'h' || (id % 7) END FROM g;"
                "INSERT INTO k(hid, tag) SELECT gid, 'k' || gid FROM h WHERE gid % 2 = 0;")
                .arg(rows));
    }

    std::shared_ptr<QLiteCursor> gridCursor(int method)
    {
        auto cursor = m_db->performQuery(kGridQuery, method, kGridSource);
        if (cursor)
            cursor->setPaging(4, 3);
        return cursor;
    }

    void cleanup()
    {
        m_db.reset();
        m_env.reset();
    }

    void selectStarGivesFullColumnNamesAndCachesEverything()
    {
        auto cursor = m_db->performQuery(QStringLiteral("SELECT * FROM t"), 2);
        QVERIFY(cursor);
        QCOMPARE(asSet(cursor->columns()), (QSet<QString>{"t.id", "t.Name", "t.Note"}));
        QCOMPARE(cursor->tables(), QStringList{"t"});
        QCOMPARE(asSet(cursor->columnsForTable(QStringLiteral("t"))), (QSet<QString>{"id", "Name", "Note"}));
        QCOMPARE(cursor->columnCount(), 3u);
        QCOMPARE(cursor->rowCount(), 2u);
        // No t.ROWID in the result: everything is cached at once, whatever was asked.
        QCOMPARE(cursor->cacheMethod(), 1);
        m_db->performQuery(QStringLiteral("UPDATE t SET Name = 'changed';"));
        const QLiteRow row = *cursor->rowAtIndex(0);
        QCOMPARE(row.stringForColumn(QStringLiteral("t.Name")), QStringLiteral("Ann"));
        QCOMPARE(row.stringForColumn(QStringLiteral("t.id")), QStringLiteral("1"));
        QCOMPARE(row.stringForColumn(QStringLiteral("t.Note")), QStringLiteral("<null>"));
        QVERIFY(row.valueForColumn(QStringLiteral("t.Note")).isNull());
        QVERIFY(row.stringForColumn(QStringLiteral("t.Missing")).isEmpty());
        QVERIFY(!row.values().contains(QLP_UUID));
        QCOMPARE(row.index(), 0u);
        QCOMPARE(row.cursor(), cursor);
        QCOMPARE(cursor->sqlQuery(), QStringLiteral("SELECT * FROM t"));
    }

    void expressionsAndPragmasKeepTheirOwnNames()
    {
        auto cursor = m_db->performQuery(QStringLiteral("SELECT COUNT(*), Name AS who, 1+1 FROM t"));
        QVERIFY(cursor);
        QCOMPARE(asSet(cursor->columns()), (QSet<QString>{"COUNT(*)", "who", "1+1"}));
        QCOMPARE(cursor->valueForColumn(QStringLiteral("COUNT(*)"), 0), Value("2"));
        QCOMPARE(cursor->valueForColumn(QStringLiteral("1+1"), 0), Value("2"));

        auto pragma = m_db->performQuery(QStringLiteral("PRAGMA table_info(t)"));
        QVERIFY(pragma);
        QCOMPARE(pragma->rowCount(), 3u);
        QCOMPARE(pragma->valueForColumn(QStringLiteral("name"), 1), Value("Name"));
    }

    void cacheMethodsGiveTheSameValues_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("all at once") << 1;
        QTest::newRow("on first use, kept") << 2;
        QTest::newRow("on every use") << 3;
    }
    void cacheMethodsGiveTheSameValues()
    {
        QFETCH(int, method);
        auto cursor = m_db->performQuery(QStringLiteral("SELECT * FROM p"), method);
        QVERIFY(cursor);
        QCOMPARE(cursor->cacheMethod(), method);
        QCOMPARE(asSet(cursor->columns()), (QSet<QString>{"p.ROWID", "p.Name", "p.Age"}));
        QCOMPARE(cursor->valuesForColumn(QStringLiteral("p.Name")), (QList<Value>{"Cy", "Di"}));
        QCOMPARE(cursor->valuesForColumn(QStringLiteral("p.Age")), (QList<Value>{41.0, 7.5}));
        QCOMPARE(cursor->valuesForColumn(QStringLiteral("p.ROWID")), (QList<Value>{1.0, 2.0}));

        // Rows with an identifier carry distinct UUIDs.
        const Value first = cursor->rowAtIndex(0)->values();
        const Value second = cursor->rowAtIndex(1)->values();
        QVERIFY(!first.value(QLP_UUID).toString().isEmpty());
        QVERIFY(first.value(QLP_UUID) != second.value(QLP_UUID));
        QCOMPARE(first.value(QStringLiteral("p.Name")), Value("Cy"));

        // What each method sees after the row changed underneath it.
        m_db->performQuery(QStringLiteral("UPDATE p SET Name = 'Zed' WHERE ROWID = 1;"));
        const QString expected = method == 3 ? QStringLiteral("Zed") : QStringLiteral("Cy");
        QCOMPARE(cursor->rowAtIndex(0)->stringForColumn(QStringLiteral("p.Name")), expected);
    }

    void defaultAndUnknownCacheMethods()
    {
        m_db->setCacheMethod(3);
        auto cursor = m_db->performQuery(QStringLiteral("SELECT * FROM p"));
        QVERIFY(cursor);
        QCOMPARE(cursor->cacheMethod(), 3);

        for (int method : {4, -1}) {
            QVERIFY(!m_db->performQuery(QStringLiteral("SELECT * FROM t"), method));
            QCOMPARE(m_db->lastErrorID(), QLP_UnknownError);
            QVERIFY(!m_db->lastError().isEmpty());
        }
        m_db->setCacheMethod(4);
        QVERIFY(!m_db->performQuery(QStringLiteral("SELECT * FROM t")));
    }

    void rowAtIndexOutOfBounds()
    {
        auto cursor = m_db->performQuery(QStringLiteral("SELECT * FROM t"));
        QVERIFY(cursor);
        QVERIFY(cursor->rowAtIndex(1));
        QVERIFY(!cursor->rowAtIndex(cursor->rowCount()));
        QCOMPARE(m_db->lastError(), QStringLiteral("[QLiteCursor rowAtIndex:] failed: index 2 is out of bounds."));
        QCOMPARE(m_db->lastErrorID(), QLP_UnknownError);
        QCOMPARE(cursor->lastError(), m_db->lastError());
        QVERIFY(cursor->valueForColumn(QStringLiteral("t.Name"), 2).isNull());
    }

    void datatypeConversion_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<Value>("expected");
        QTest::newRow("number") << QLNumber << "3.25" << Value(3.25);
        QTest::newRow("number from leading text") << QLNumber << "12abc" << Value(12.0);
        QTest::newRow("boolean") << QLBoolean << "1" << Value(qint64(1));
        QTest::newRow("boolean zero") << QLBoolean << "0" << Value(qint64(0));
        const QDateTime when(QDate(2005, 3, 4), QTime(10, 20, 30, 500), Qt::UTC);
        QTest::newRow("date") << QLDateTime << "2005-03-04 10:20:30.5"
                              << Value::date(ReferenceDate::fromDateTime(when));
        QTest::newRow("date with zone") << QLDateTime << "2005-03-04 12:20:30.5 +0200"
                                        << Value::date(ReferenceDate::fromDateTime(when));
        QTest::newRow("unparsable date stays text") << QLDateTime << "soon" << Value("soon");
        QTest::newRow("container") << QLContainer << "X'aGVsbG8='" << Value(QByteArray("hello"));
        QTest::newRow("container without marker") << QLContainer << "plain" << Value("plain");
        QTest::newRow("string") << QLString << "42" << Value("42");
    }
    void datatypeConversion()
    {
        QFETCH(QString, type);
        QFETCH(QString, stored);
        QFETCH(Value, expected);
        QVERIFY(m_db->createTable(QStringLiteral("conv"), {QStringLiteral("v")}, {type}));
        run(QStringLiteral("INSERT INTO conv(v) VALUES('%1');").arg(QLiteDatabase::prepareStringForQuery(stored)));
        for (int method : {1, 2}) {
            auto cursor = m_db->performQuery(QStringLiteral("SELECT * FROM conv"), method);
            QVERIFY(cursor);
            const Value value = cursor->valueForColumn(QStringLiteral("conv.v"), 0);
            QCOMPARE(value.type(), expected.type());
            QCOMPARE(value, expected);
        }
        // The string flag hands out the stored text.
        auto text = m_db->performQuery(QStringLiteral("SELECT * FROM conv"), 1, true);
        QVERIFY(text);
        QCOMPARE(text->valueForColumn(QStringLiteral("conv.v"), 0), Value(stored));
    }

    void programTablesDecodeAsText()
    {
        run(QStringLiteral("CREATE TABLE `People`(`id` INTEGER PRIMARY KEY AUTOINCREMENT, `Age` INTEGER);"
                           "INSERT INTO People(Age) VALUES(30);"));
        auto cursor = m_db->performQuery(QStringLiteral("SELECT * FROM People"));
        QVERIFY(cursor);
        QCOMPARE(cursor->valueForColumn(QStringLiteral("People.id"), 0), Value("1"));
        QCOMPARE(cursor->valueForColumn(QStringLiteral("People.Age"), 0), Value("30"));
    }

    void blobsAreBytes()
    {
        run(QStringLiteral("CREATE TABLE b(v); INSERT INTO b VALUES(X'00FF41');"));
        auto cursor = m_db->performQuery(QStringLiteral("SELECT * FROM b"));
        QVERIFY(cursor);
        QCOMPARE(cursor->valueForColumn(QStringLiteral("b.v"), 0), Value(QByteArray("\x00\xff"
                                                                                    "A",
                                                                                    3)));
    }

    void explicitRowidsLoadOnlyIdentifiers()
    {
        auto cursor = m_db->performQuery(QStringLiteral("SELECT ROWID, Name FROM p"), 2);
        QVERIFY(cursor);
        QCOMPARE(cursor->cacheMethod(), 2);
        QCOMPARE(cursor->rowAtIndex(1)->stringForColumn(QStringLiteral("p.Name")), QStringLiteral("Di"));
        // A table without a declared key reports its identifier as "rowid".
        run(QStringLiteral("CREATE TABLE plain(v TEXT); INSERT INTO plain VALUES('x');"));
        auto plain = m_db->performQuery(QStringLiteral("SELECT ROWID, * FROM plain"), 3);
        QVERIFY(plain);
        QCOMPARE(plain->cacheMethod(), 3);
        QCOMPARE(plain->valueForColumn(QStringLiteral("plain.v"), 0), Value("x"));
    }

    void outerJoinRowsWithoutIdentifierStillLoad()
    {
        QVERIFY(m_db->createTable(QStringLiteral("pet"), {QStringLiteral("Owner"), QStringLiteral("Kind")},
                                  {QLString, QLString}));
        run(QStringLiteral("INSERT INTO pet(Owner, Kind) VALUES('Cy', 'cat');"));
        auto cursor = m_db->performQuery(
            QStringLiteral("SELECT p.ROWID, p.Name, pet.ROWID, pet.Kind FROM p LEFT JOIN pet ON pet.Owner = p.Name "
                           "ORDER BY p.ROWID"),
            2);
        QVERIFY(cursor);
        QCOMPARE(cursor->cacheMethod(), 2);
        QCOMPARE(cursor->rowCount(), 2u);
        QCOMPARE(cursor->valueForColumn(QStringLiteral("pet.Kind"), 0), Value("cat"));
        QCOMPARE(cursor->rowAtIndex(1)->stringForColumn(QStringLiteral("pet.Kind")), QStringLiteral("<null>"));
        QCOMPARE(cursor->valueForColumn(QStringLiteral("p.Name"), 1), Value("Di"));
    }

    void refreshSeesNewRows()
    {
        auto cursor = m_db->performQuery(QStringLiteral("SELECT * FROM t"));
        QVERIFY(cursor);
        run(QStringLiteral("INSERT INTO t(Name) VALUES('Cat');"));
        QCOMPARE(cursor->rowCount(), 2u);
        QVERIFY(cursor->refresh());
        QCOMPARE(cursor->rowCount(), 3u);
        QCOMPARE(cursor->valuesForColumn(QStringLiteral("t.Name")).last(), Value("Cat"));
        QVERIFY(cursor->valuesForColumn(QStringLiteral("t.Nothing")).isEmpty());
    }

    // Loaded texts share one store: every cell keeps its own bytes, whatever its neighbours hold.
    void textsKeepTheirBoundaries()
    {
        run(QStringLiteral("CREATE TABLE w(id INTEGER, a TEXT, b TEXT, c TEXT);"
                           "INSERT INTO w(rowid, id, a, b, c) VALUES(-5, -5, '', NULL, 'x');"
                           "INSERT INTO w(rowid, id, a, b, c) VALUES(9007199254740993, 9007199254740993, 'Grüße 東京', "
                           "'a''b', '');"
                           "INSERT INTO w(rowid, id, a, b, c) VALUES(7, 7, 'nul' || char(0) || 'inside', 42, 2.5);"));
        const QList<QStringList> expected{{"-5", "", "<null>", "x"},
                                          {"7", QString::fromUtf8("nul\0inside", 10), "42", "2.5"},
                                          {"9007199254740993", "Grüße 東京", "a'b", ""}};
        for (const QString &sql : {QStringLiteral("SELECT id, a, b, c FROM w ORDER BY rowid"),
                                   QStringLiteral("SELECT ROWID, id, a, b, c FROM w ORDER BY rowid")}) {
            for (int method = 1; method <= 3; ++method) {
                auto cursor = m_db->performQuery(sql, method);
                QVERIFY(cursor);
                QCOMPARE(cursor->rowCount(), 3u);
                QCOMPARE(cursor->cacheMethod(), sql.contains("ROWID") ? method : 1);
                for (quint32 r = 0; r < 3; ++r) {
                    const QLiteRow row = *cursor->rowAtIndex(r);
                    int c = 0;
                    for (const char *column : {"w.id", "w.a", "w.b", "w.c"})
                        QCOMPARE(row.stringForColumn(QString::fromLatin1(column)), expected[int(r)][c++]);
                }
            }
        }
        // A saved edit replaces the loaded text of that cell only.
        auto cursor = m_db->performQuery(QStringLiteral("SELECT ROWID, a, b FROM w ORDER BY rowid"), 2);
        QCOMPARE(cursor->rowAtIndex(0)->stringForColumn("w.rowid"), QString("-5"));
        QVERIFY(cursor->rowAtIndex(2)->setValue(Value("changed"), QStringLiteral("w.a")));
        QVERIFY(m_db->save());
        QCOMPARE(cursor->rowAtIndex(2)->stringForColumn("w.a"), QString("changed"));
        QCOMPARE(cursor->rowAtIndex(2)->stringForColumn("w.b"), QString("a'b"));
        QCOMPARE(cursor->rowAtIndex(1)->stringForColumn("w.a"), QString::fromUtf8("nul\0inside", 10));
        QVERIFY(!cursor->rowAtIndex(2)->values().value(QLP_UUID).toString().isEmpty());
    }

    void pagedMethodsAnswerAsTheFullRead_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("withSource");
        QTest::newRow("ids from a row source") << kGridQuery << true;
        QTest::newRow("explicit rowid") << QStringLiteral("SELECT ROWID, gid, label FROM h WHERE gid > 6 "
                                                          "ORDER BY label, ROWID")
                                        << false;
        QTest::newRow("outer join") << QStringLiteral("SELECT h.ROWID, h.label, k.ROWID, k.tag FROM h LEFT JOIN k "
                                                      "ON k.hid = h.gid ORDER BY h.label, h.ROWID")
                                    << false;
    }
    void pagedMethodsAnswerAsTheFullRead()
    {
        QFETCH(QString, sql);
        QFETCH(bool, withSource);
        makeGridTable();
        const QLiteRowSource source = withSource ? kGridSource : QLiteRowSource();
        auto full = m_db->performQuery(sql, 1, source);
        QVERIFY2(full, qPrintable(m_db->lastError()));
        QCOMPARE(full->cacheMethod(), 1);
        QVERIFY(full->rowCount() > 10);
        const QList<quint32> order = scatteredOrder(full->rowCount());
        const QList<QStringList> expected = answers(*full, order);
        for (int method : {2, 3}) {
            auto paged = m_db->performQuery(sql, method, source);
            QVERIFY(paged);
            QCOMPARE(paged->cacheMethod(), method);
            QCOMPARE(paged->usesRowSource(), withSource);
            paged->setPaging(4, 3);
            QCOMPARE(paged->rowCount(), full->rowCount());
            QCOMPARE(answers(*paged, order), expected);
            // Memory stays bounded however many rows were visited.
            QVERIFY(paged->loadedPageCount() <= 3);
            QCOMPARE(paged->valuesForColumn(paged->columns().at(1)), full->valuesForColumn(full->columns().at(1)));
        }
    }

    void changesWhilePagesAreLoaded_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("all at once") << 1;
        QTest::newRow("on first use, kept") << 2;
        QTest::newRow("on every use") << 3;
    }
    void changesWhilePagesAreLoaded()
    {
        QFETCH(int, method);
        makeGridTable();
        auto before = gridCursor(1);
        auto cursor = gridCursor(method);
        QVERIFY(before && cursor);
        const quint32 rows = cursor->rowCount();
        const auto cell = [&](QLiteCursor &c, quint32 row, const char *column) {
            return c.rowAtIndex(row)->stringForColumn(QStringLiteral("g.") + QLatin1String(column));
        };
        // Rows 0 to 7 (two pages) are read; rows 20 and 30 are not.
        for (quint32 r = 0; r < 8; ++r)
            cell(*cursor, r, "note");
        const QString loadedId = cell(*cursor, 1, "id");
        const QString unloadedId = cell(*cursor, 20, "id");
        const QString deletedId = cell(*cursor, 30, "id");
        run(QStringLiteral("UPDATE g SET note = 'edited' WHERE id IN (%1, %2);").arg(loadedId, unloadedId));
        run(QStringLiteral("DELETE FROM g WHERE id = %1;").arg(deletedId));
        run(QStringLiteral("INSERT INTO g(name, note) VALUES('ZZZ', 'new');"));

        // The rows, their ids and their order are those of the query when it ran, whatever the method.
        QCOMPARE(cursor->rowCount(), rows);
        for (quint32 r = 0; r < rows; ++r)
            QCOMPARE(cell(*cursor, r, "id"), cell(*before, r, "id"));
        const QString old1 = cell(*before, 1, "note");
        const QString old20 = cell(*before, 20, "note");
        // A page read before the change keeps what it read; unread rows and every use of method 3 see the table.
        QCOMPARE(cell(*cursor, 1, "note"), method == 3 ? QStringLiteral("edited") : old1);
        QCOMPARE(cell(*cursor, 20, "note"), method == 1 ? old20 : QStringLiteral("edited"));
        QCOMPARE(cell(*cursor, 30, "note"), method == 1 ? cell(*before, 30, "note") : QStringLiteral("<null>"));
        QCOMPARE(cell(*cursor, 30, "id"), deletedId);
        // Pages read before the change are never dropped for others (method 2 would answer differently).
        for (quint32 r = rows; r-- > 0;)
            cell(*cursor, r, "name");
        QCOMPARE(cell(*cursor, 1, "note"), method == 3 ? QStringLiteral("edited") : old1);

        // Edits made through the cursor win over every page and survive their page being dropped (read all at
        // once, a result without a ROWID column has no identifiers to edit by).
        if (method != 1) {
            QVERIFY(cursor->rowAtIndex(rows - 1)->setValue(Value("pending"), QStringLiteral("g.note")));
            QCOMPARE(cell(*cursor, rows - 1, "note"), QStringLiteral("pending"));
            QVERIFY(m_db->save());
            for (quint32 r = 0; r < rows; ++r)
                cell(*cursor, r, "amount");
            QCOMPARE(cell(*cursor, rows - 1, "note"), QStringLiteral("pending"));
        }
        QVERIFY(cursor->refresh());
        QCOMPARE(cursor->rowCount(), rows);
        QCOMPARE(cell(*cursor, 0, "name"), QStringLiteral("ZZZ"));
    }

    void backgroundListAnswersAsTheFullRead_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QLiteRowSource>("source");
        QTest::addColumn<int>("method");
        for (int method : {2, 3}) {
            QTest::addRow("numbers, method %d", method) << kGridQuery << kGridBackgroundSource << method;
            QTest::addRow("texts, method %d", method) << kCodeQuery << kCodeSource << method;
        }
    }
    void backgroundListAnswersAsTheFullRead()
    {
        QFETCH(QString, sql);
        QFETCH(QLiteRowSource, source);
        QFETCH(int, method);
        makeGridTable(kLargeRows);
        auto full = m_db->performQuery(sql, 1);
        QVERIFY2(full, qPrintable(m_db->lastError()));
        QCOMPARE(full->rowCount(), quint32(kLargeRows));
        const QList<quint32> order = scatteredOrder(full->rowCount());
        const QList<QStringList> expected = answers(*full, order);

        PausedLoaders paused;
        auto cursor = m_db->performQuery(sql, method, source);
        QVERIFY2(cursor, qPrintable(m_db->lastError()));
        QVERIFY(cursor->readInBackground());
        QVERIFY(cursor->isLoadingRows());
        // Only the first batch is known; the rest comes as rows past it are asked for.
        QCOMPARE(cursor->availableRowCount(), 256u);
        cursor->setPaging(64, 3);
        QCOMPARE(answers(*cursor, order), expected);
        QCOMPARE(cursor->rowCount(), full->rowCount());
        QVERIFY(!cursor->isLoadingRows());
        QVERIFY(cursor->loadedPageCount() <= 3);
        QCOMPARE(cursor->valuesForColumn(cursor->columns().at(1)), full->valuesForColumn(full->columns().at(1)));

        // Rows are found by their identifier's text, as the list shows it.
        const QString idColumn = cursor->columns().at(0);
        for (quint32 row : {0u, 255u, 256u, 1999u}) {
            const QString id = full->rowAtIndex(row)->stringForColumn(idColumn);
            QCOMPARE(cursor->rowOfIdentifier(id), std::optional<quint32>(row));
        }
        QCOMPARE(cursor->rowOfIdentifier(QStringLiteral("nothing")), std::optional<quint32>());
        QCOMPARE(cursor->rowOfIdentifier(QString()), std::optional<quint32>());
    }

    void changesWhileTheListIsRead_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("all at once") << 1;
        QTest::newRow("on first use, kept") << 2;
        QTest::newRow("on every use") << 3;
    }
    void changesWhileTheListIsRead()
    {
        QFETCH(int, method);
        makeGridTable(kLargeRows);
        auto before = m_db->performQuery(kGridQuery, 1);
        QVERIFY(before);
        const quint32 rows = before->rowCount();
        const auto cell = [&](QLiteCursor &c, quint32 row, const char *column) {
            return c.rowAtIndex(row)->stringForColumn(QStringLiteral("g.") + QLatin1String(column));
        };
        const QString loadedId = cell(*before, 1, "id");
        const QString unloadedId = cell(*before, 1200, "id");
        const QString deletedId = cell(*before, 1500, "id");
        const QString old1 = cell(*before, 1, "note");
        const QString old1200 = cell(*before, 1200, "note");
        const QString old1500 = cell(*before, 1500, "note");

        PausedLoaders paused;
        auto cursor = m_db->performQuery(kGridQuery, method, kGridBackgroundSource);
        QVERIFY(cursor);
        QCOMPARE(cursor->readInBackground(), method != 1);
        QCOMPARE(cursor->isLoadingRows(), method != 1);
        for (quint32 r = 0; r < 8; ++r)
            cell(*cursor, r, "note");
        // Written while the rest of the list is being read: the list stays the query's as it ran.
        run(QStringLiteral("UPDATE g SET note = 'edited' WHERE id IN (%1, %2);").arg(loadedId, unloadedId));
        QVERIFY(!cursor->isLoadingRows());
        run(QStringLiteral("DELETE FROM g WHERE id = %1;").arg(deletedId));
        run(QStringLiteral("INSERT INTO g(name, note) VALUES('ZZZ', 'new');"));

        QCOMPARE(cursor->rowCount(), rows);
        for (quint32 r = 0; r < rows; ++r)
            QCOMPARE(cell(*cursor, r, "id"), cell(*before, r, "id"));
        QCOMPARE(cell(*cursor, 1, "note"), method == 3 ? QStringLiteral("edited") : old1);
        QCOMPARE(cell(*cursor, 1200, "note"), method == 1 ? old1200 : QStringLiteral("edited"));
        QCOMPARE(cell(*cursor, 1500, "note"), method == 1 ? old1500 : QStringLiteral("<null>"));
        QCOMPARE(cell(*cursor, 1500, "id"), deletedId);

        // An edit through a cursor still reading its list is saved by id and answered from then on.
        if (method != 1) {
            auto reading = m_db->performQuery(kGridQuery, method, kGridBackgroundSource);
            QVERIFY(reading && reading->isLoadingRows());
            QCOMPARE(cell(*reading, 0, "name"), QStringLiteral("ZZZ"));
            QVERIFY(reading->rowAtIndex(2)->setValue(Value("pending"), QStringLiteral("g.note")));
            QVERIFY(m_db->save());
            QCOMPARE(reading->rowCount(), rows);
            QCOMPARE(cell(*reading, 2, "note"), QStringLiteral("pending"));
            auto check =
                m_db->performQuery(QStringLiteral("SELECT note FROM g WHERE id = %1").arg(cell(*reading, 2, "id")), 1);
            QCOMPARE(check->valueForColumn(QStringLiteral("g.note"), 0), Value("pending"));
        }
    }

    void backgroundReadFallsBackOrStops()
    {
        makeGridTable(kLargeRows);
        // Rows not yet committed are seen only by this connection: it reads the list itself.
        run(QStringLiteral("BEGIN; INSERT INTO g(name) VALUES('uncommitted');"));
        auto inTransaction = m_db->performQuery(kGridQuery, 2, kGridBackgroundSource);
        QVERIFY(inTransaction);
        QVERIFY(!inTransaction->readInBackground());
        QCOMPARE(inTransaction->rowCount(), quint32(kLargeRows + 1));
        run(QStringLiteral("ROLLBACK;"));

        // A temporary table is this connection's own: the loader cannot see it.
        run(QStringLiteral("CREATE TEMP TABLE tg AS SELECT * FROM g;"));
        const QString tempQuery = QStringLiteral("SELECT `id`, `name` FROM `tg` ORDER BY `name` DESC, `id`");
        auto full = m_db->performQuery(tempQuery, 1);
        auto temp = m_db->performQuery(
            tempQuery, 2, QLiteRowSource{"tg", "id", "SELECT `id` FROM `tg` ORDER BY `name` DESC, `id`", true});
        QVERIFY2(temp, qPrintable(m_db->lastError()));
        QVERIFY(!temp->readInBackground());
        QCOMPARE(temp->rowCount(), full->rowCount());
        QCOMPARE(answers(*temp, {0, 1, 1000, 1999}), answers(*full, {0, 1, 1000, 1999}));
        // (Gone again, so that closing the connection below writes nothing.)
        temp.reset();
        full.reset();
        run(QStringLiteral("DROP TABLE tg;"));

        // Heard of once the list is complete, on this thread.
        auto heard = m_db->performQuery(kGridQuery, 2, kGridBackgroundSource);
        QVERIFY(heard && heard->readInBackground());
        int calls = 0;
        heard->setRowsArrivedHandler([&] { ++calls; });
        QTRY_COMPARE(calls, 1);
        QVERIFY(!heard->isLoadingRows());
        QCOMPARE(heard->availableRowCount(), quint32(kLargeRows));

        // A cursor refreshed, dropped or closed while its list is read stops the reading.
        PausedLoaders paused;
        auto refreshed = m_db->performQuery(kGridQuery, 3, kGridBackgroundSource);
        QVERIFY(refreshed && refreshed->isLoadingRows());
        QVERIFY(refreshed->refresh());
        QVERIFY(refreshed->isLoadingRows());
        QCOMPARE(refreshed->rowCount(), quint32(kLargeRows));
        auto dropped = m_db->performQuery(kGridQuery, 2, kGridBackgroundSource);
        QVERIFY(dropped && dropped->isLoadingRows());
        dropped.reset();
        auto closed = m_db->performQuery(kGridQuery, 2, kGridBackgroundSource);
        QVERIFY(closed && closed->isLoadingRows());
        QVERIFY(m_db->close());
        QVERIFY(!closed->isLoadingRows());
        QCOMPARE(closed->availableRowCount(), 256u);
    }

    void rowSourceOnlyForItsOwnTable()
    {
        makeGridTable();
        // A column of another table: the identifiers of the source cannot fetch it, so everything is read.
        auto joined =
            m_db->performQuery(QStringLiteral("SELECT g.id, h.label FROM g JOIN h ON h.gid = g.id"), 2, kGridSource);
        QVERIFY(joined);
        QCOMPARE(joined->cacheMethod(), 1);
        QVERIFY(!joined->usesRowSource());
        // A NULL identifier cannot be fetched by: the query's own rows are read instead.
        auto nullIds = m_db->performQuery(
            kGridQuery, 2, QLiteRowSource{"g", "id", QStringLiteral("SELECT NULL FROM `g`  ORDER BY `name` DESC")});
        QVERIFY(nullIds);
        QCOMPARE(nullIds->rowCount(), 40u);
        QCOMPARE(nullIds->cacheMethod(), 1);
        // A row source that fails to run fails the query.
        QVERIFY(!m_db->performQuery(kGridQuery, 2, QLiteRowSource{"g", "id", "SELECT id FROM missing"}));
        QVERIFY(m_db->lastError().contains("missing"));
    }

    void rowEditsArePendingUntilSaved()
    {
        auto cursor = m_db->performQuery(QStringLiteral("SELECT * FROM p"), 2);
        QVERIFY(cursor);
        QLiteRow row = *cursor->rowAtIndex(0);
        QVERIFY(row.setValue(Value("Cyd"), QStringLiteral("p.Name")));
        QVERIFY(row.setValue(Value(), QStringLiteral("p.Age")));
        QCOMPARE(row.stringForColumn(QStringLiteral("p.Name")), QStringLiteral("Cyd"));
        QVERIFY(!row.setValue(Value(9), QStringLiteral("p.ROWID")));

        auto before = m_db->performQuery(QStringLiteral("SELECT Name FROM p WHERE ROWID = 1"));
        QCOMPARE(before->valueForColumn(QStringLiteral("p.Name"), 0), Value("Cy"));
        QVERIFY(m_db->save());
        auto after = m_db->performQuery(QStringLiteral("SELECT Name, Age FROM p WHERE ROWID = 1"));
        QCOMPARE(after->valueForColumn(QStringLiteral("p.Name"), 0), Value("Cyd"));
        QVERIFY(after->valueForColumn(QStringLiteral("p.Age"), 0).isNull());
        QCOMPARE(row.stringForColumn(QStringLiteral("p.Name")), QStringLiteral("Cyd"));
        QVERIFY(!m_db->save());
        QCOMPARE(m_db->lastError(), QStringLiteral("The database doesn't have unsaved changes."));

        // Rows of a result without identifiers cannot be addressed.
        auto t = m_db->performQuery(QStringLiteral("SELECT * FROM t"));
        QVERIFY(!t->rowAtIndex(0)->setValue(Value("x"), QStringLiteral("t.Name")));
        QCOMPARE(m_db->lastErrorID(), QLP_UnknownError);
    }
};

QTEST_GUILESS_MAIN(TestQLiteCursor)
#include "test_qlite_cursor.moc"
