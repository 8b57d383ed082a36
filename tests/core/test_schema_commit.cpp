// Tests of design commits: rows after adding, removing, renaming and retyping fields, the rebuild statements,
// "no change, no SQL", new tables, and the rollback when a rebuild statement fails.
#include "DesignFixture.h"
#include "DesignVocabulary.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"
#include "TestEnvironment.h"

#include <QtTest>
#include <sqlite3.h>

using namespace DesignFixture;
using Result = LMTableDesignCommit::Result;

namespace {
const QString kTable = QStringLiteral("People");
const QString kBackup = QStringLiteral("^Orvix__Design__Backup^");

int traceStatement(unsigned, void *context, void *, void *sql)
{
    const QString text = QString::fromUtf8(static_cast<const char *>(sql));
    // The access layer sets its column-name pragmas before every statement; they change nothing.
    if (!text.startsWith(QLatin1String("PRAGMA")))
        static_cast<QStringList *>(context)->append(text);
    return 0;
}

// Name (or declared type) of every column of a table, as SQLite itself reports them.
QStringList tableInfo(sqlite3 *handle, const QString &table, int which = 1)
{
    QStringList out;
    sqlite3_stmt *statement = nullptr;
    const QByteArray sql = QStringLiteral("PRAGMA table_info(`%1`)").arg(table).toUtf8();
    if (sqlite3_prepare_v2(handle, sql.constData(), -1, &statement, nullptr) != SQLITE_OK)
        return out;
    while (sqlite3_step(statement) == SQLITE_ROW)
        out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, which)));
    sqlite3_finalize(statement);
    return out;
}

int fieldIndex(const LMTableDesignCommit &commit, const QString &name)
{
    for (int i = 0; i < commit.schema.size(); ++i)
        if (commit.schema.at(i).value("Name").toString() == name)
            return i;
    return -1;
}
} // namespace

class TestSchemaCommit : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void columnListFormat();
    void addedFieldGetsItsDefaultInEveryRow();
    void removedFieldLosesItsColumn();
    void renamedFieldKeepsItsData();
    void retypedField_data();
    void retypedField();
    void emptyNamedFieldIsNotCreated();
    void rebuildStatementsInOrder();
    void unchangedDesignRunsNoSqlAndNoAudit();
    void cancelledCommitRunsNoSql();
    void newTableBranchCreatesTable();
    void secondCommitFollowsTheFirst();
    void deletedRowIdsAreNotReused();
    void leftoverBackupTableRollsBack();
    void failingCopyRollsBack();
    void failureInsideCallersTransactionKeepsIt();

private:
    OXDatabase *db() const { return m_doc->database(); }
    QString cell(const QString &column, const QString &id) const { return cellText(*m_doc, kTable, column, id); }
    QStringList sqlColumns() { return tableInfo(db()->handle(), kTable); }
    void startTracing() { sqlite3_trace_v2(db()->handle(), SQLITE_TRACE_STMT, traceStatement, &m_statements); }
    void stopTracing() { sqlite3_trace_v2(db()->handle(), 0, nullptr, nullptr); }
    void checkOriginalRows();

    TestEnvironment m_env;
    std::unique_ptr<MyDocument> m_doc;
    QStringList m_statements;
    int m_audits = 0;
};

void TestSchemaCommit::init()
{
    QString error;
    m_doc = newDocumentWithTable(
        table(kTable, {field("Name", "Text"), field("Age", "Number"), field("Photo", "Image"), field("Notes", "Text")}),
        &error);
    QVERIFY2(m_doc, qPrintable(error));
    for (int i = 1; i <= 3; ++i) {
        QCOMPARE(insertRow(*m_doc, kTable), QString::number(i));
        db()->performQuery(QStringLiteral("UPDATE People SET Name='Person %1', Age='%2.5', Photo='cGhvdG8=', "
                                          "Notes='it''s %1' WHERE id=%1")
                               .arg(i)
                               .arg(20 + i));
        QCOMPARE(db()->lastErrorID(), 0);
    }
    m_statements.clear();
    m_audits = 0;
    OXDatabase::setRelationshipAuditor([this](OXDatabase &) {
        ++m_audits;
        return false;
    });
    m_doc->setChanged(false);
}

void TestSchemaCommit::cleanup()
{
    if (m_doc)
        stopTracing();
    OXDatabase::setRelationshipAuditor(nullptr);
    m_doc.reset();
}

void TestSchemaCommit::checkOriginalRows()
{
    QCOMPARE(sqlColumns(), QStringList({"id", "Name", "Age", "Photo", "Notes"}));
    QCOMPARE(db()->rowCountInTable(kTable), quint64(3));
    for (int i = 1; i <= 3; ++i) {
        const QString id = QString::number(i);
        QCOMPARE(cell("Name", id), QStringLiteral("Person %1").arg(i));
        QCOMPARE(cell("Notes", id), QStringLiteral("it's %1").arg(i));
    }
    QVERIFY(!db()->allTables().contains(kBackup));
}

void TestSchemaCommit::columnListFormat()
{
    const Value schema = Value::array({idField(), field("Name", "Text", {{"Default", Value("O'Brien")}}),
                                       field("", "Text"), field("Flag", "Yes/No", {{"Default", Value("1")}})});
    QCOMPARE(db()->columnListForSchema(schema),
             QStringLiteral("`id` INTEGER PRIMARY KEY AUTOINCREMENT DEFAULT ''  ,`Name` TEXT DEFAULT 'O''Brien'  "
                            ",`Flag` INTEGER DEFAULT '1' "));
}

void TestSchemaCommit::addedFieldGetsItsDefaultInEveryRow()
{
    LMTableDesignCommit commit = LMTableDesignCommit::forDesign(db()->tableDesign(kTable));
    commit.schema.append(field("City", "Text", {{"Default", Value("Saint-Malo")}}));
    commit.columnMapLeft << "City";
    commit.columnMapRight << "";
    QCOMPARE(db()->commitTableRevised(commit), Result::Committed);

    QCOMPARE(sqlColumns(), QStringList({"id", "Name", "Age", "Photo", "Notes", "City"}));
    for (const QString id : {"1", "2", "3"}) {
        QCOMPARE(cell("City", id), QStringLiteral("Saint-Malo"));
        QCOMPARE(cell("Name", id), QStringLiteral("Person ") + id);
        QCOMPARE(cell("Age", id), QStringLiteral("2%1.5").arg(id));
    }
    QCOMPARE(db()->allNamesForTable(kTable), QStringList({"id", "Name", "Age", "Photo", "Notes", "City"}));
    QVERIFY(m_doc->isChanged());
    QCOMPARE(m_audits, 1);
}

void TestSchemaCommit::removedFieldLosesItsColumn()
{
    LMTableDesignCommit commit = LMTableDesignCommit::forDesign(db()->tableDesign(kTable));
    const int notes = fieldIndex(commit, "Notes");
    commit.schema.removeAt(notes);
    commit.columnMapLeft.removeAt(notes);
    commit.columnMapRight.removeAt(notes);
    QCOMPARE(db()->commitTableRevised(commit), Result::Committed);

    QCOMPARE(sqlColumns(), QStringList({"id", "Name", "Age", "Photo"}));
    QCOMPARE(cell("Name", "2"), QStringLiteral("Person 2"));
    QCOMPARE(cell("Photo", "2"), QStringLiteral("cGhvdG8="));
    QCOMPARE(db()->allNamesForTable(kTable), QStringList({"id", "Name", "Age", "Photo"}));
}

void TestSchemaCommit::renamedFieldKeepsItsData()
{
    LMTableDesignCommit commit = LMTableDesignCommit::forDesign(db()->tableDesign(kTable));
    const int age = fieldIndex(commit, "Age");
    Value f = commit.schema.at(age);
    f.set("Name", "Years");
    commit.columnMapLeft[age] = "Years";
    QCOMPARE(db()->commitTableRevised(commit), Result::Committed);

    QCOMPARE(sqlColumns(), QStringList({"id", "Name", "Years", "Photo", "Notes"}));
    QCOMPARE(cell("Years", "1"), QStringLiteral("21.5"));
    QCOMPARE(cell("Years", "3"), QStringLiteral("23.5"));
    QCOMPARE(db()->typeForTable(kTable, "Years"), QStringLiteral("Number"));
    QVERIFY(db()->typeForTable(kTable, "Age").isNull());
    // The change set now describes the committed table.
    QCOMPARE(commit.columnMapRight, commit.columnMapLeft);
}

void TestSchemaCommit::retypedField_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("newType");
    QTest::addColumn<bool>("cleared");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QString>("expected"); // stored text of every row afterwards; "#" stands for the row id
    QTest::newRow("image to text, cleared") << "Photo"
                                            << "Text" << true << ""
                                            << "";
    QTest::newRow("text to relationship, cleared, default applies") << "Notes"
                                                                    << "Relationship" << true << "0"
                                                                    << "0";
    QTest::newRow("text to number keeps stored text") << "Notes"
                                                      << "Number" << false << ""
                                                      << "it's #";
    QTest::newRow("number to text keeps stored text") << "Age"
                                                      << "Text" << false << ""
                                                      << "2#.5";
    QTest::newRow("image to attachment, not cleared") << "Photo"
                                                      << "Attachment" << false << ""
                                                      << "cGhvdG8=";
}

void TestSchemaCommit::retypedField()
{
    QFETCH(QString, column);
    QFETCH(QString, newType);
    QFETCH(bool, cleared);
    QFETCH(QString, defaultValue);
    QFETCH(QString, expected);

    LMTableDesignCommit commit = LMTableDesignCommit::forDesign(db()->tableDesign(kTable));
    Value f = commit.schema.at(fieldIndex(commit, column));
    f.set("Type", newType);
    f.set("Default", defaultValue);
    if (cleared)
        commit.columnsToClear << column;
    QCOMPARE(db()->commitTableRevised(commit), Result::Committed);

    for (const QString id : {"1", "2", "3"})
        QCOMPARE(cell(column, id), QString(expected).replace('#', id));
    // Other columns keep their values.
    QCOMPARE(cell("Name", "2"), QStringLiteral("Person 2"));
    if (column != "Photo")
        QCOMPARE(cell("Photo", "2"), QStringLiteral("cGhvdG8="));
    QCOMPARE(tableInfo(db()->handle(), kTable, 2).value(sqlColumns().indexOf(column)),
             OXDatabase::sqlTypeForDatatype(newType));
    QVERIFY(commit.columnsToClear.isEmpty());
}

void TestSchemaCommit::emptyNamedFieldIsNotCreated()
{
    LMTableDesignCommit commit = LMTableDesignCommit::forDesign(db()->tableDesign(kTable));
    commit.schema.insert(2, DesignVocabulary::blankField());
    commit.columnMapLeft.insert(2, "");
    commit.columnMapRight.insert(2, "");
    commit.schema.append(field("Kept", "Text"));
    commit.columnMapLeft << "Kept";
    commit.columnMapRight << "";
    QCOMPARE(db()->commitTableRevised(commit), Result::Committed);

    QCOMPARE(sqlColumns(), QStringList({"id", "Name", "Age", "Photo", "Notes", "Kept"}));
    QCOMPARE(commit.schema.size(), 6);
    QCOMPARE(commit.columnMapLeft, QStringList({"id", "Name", "Age", "Photo", "Notes", "Kept"}));
    QCOMPARE(db()->tableDesign(kTable).value("Fields"), commit.schema);
    QCOMPARE(cell("Age", "3"), QStringLiteral("23.5"));
}

void TestSchemaCommit::rebuildStatementsInOrder()
{
    LMTableDesignCommit commit = LMTableDesignCommit::forDesign(db()->tableDesign(kTable));
    const int age = fieldIndex(commit, "Age");
    commit.schema.at(age).set("Name", "Years");
    commit.columnMapLeft[age] = "Years";
    commit.columnsToClear << "Photo";
    startTracing();
    QCOMPARE(db()->commitTableRevised(commit), Result::Committed);
    stopTracing();

    const QStringList expected = {
        "ALTER TABLE `People` RENAME TO `^Orvix__Design__Backup^`",
        "CREATE TABLE `People` (" + db()->columnListForSchema(commit.schema) + ")",
        "INSERT INTO `People` (`id`, `Name`, `Years`, `Notes`) SELECT `id`, `Name`, `Age`, `Notes` FROM "
        "`^Orvix__Design__Backup^`",
        "DROP TABLE `^Orvix__Design__Backup^`",
    };
    int from = 0;
    for (const QString &statement : expected) {
        const int at = m_statements.indexOf(statement, from);
        QVERIFY2(at >= 0, qPrintable("missing or out of order: " + statement + "\nran: " + m_statements.join("\n")));
        from = at + 1;
    }
    QVERIFY(m_statements.contains("BEGIN DEFERRED TRANSACTION;"));
    QCOMPARE(m_statements.filter("RENAME TO").size(), 1);
}

void TestSchemaCommit::unchangedDesignRunsNoSqlAndNoAudit()
{
    LMTableDesignCommit commit = LMTableDesignCommit::forDesign(db()->tableDesign(kTable));
    // A field that is only given a name to drop changes nothing either.
    commit.schema.append(DesignVocabulary::blankField());
    commit.columnMapLeft << "";
    commit.columnMapRight << "";
    startTracing();
    QCOMPARE(db()->commitTableRevised(commit), Result::Unchanged);
    stopTracing();
    QCOMPARE(m_statements, QStringList());
    QCOMPARE(m_audits, 0);
    QVERIFY(m_doc->isChanged());
}

void TestSchemaCommit::cancelledCommitRunsNoSql()
{
    LMTableDesignCommit commit = LMTableDesignCommit::forDesign(db()->tableDesign(kTable));
    commit.schema.removeAt(1);
    commit.columnMapLeft.removeAt(1);
    commit.columnMapRight.removeAt(1);
    commit.doNotCommit = true;
    startTracing();
    QCOMPARE(db()->commitTableRevised(commit), Result::Cancelled);
    stopTracing();
    QCOMPARE(m_statements, QStringList());
    QCOMPARE(m_audits, 0);
    checkOriginalRows();
    QCOMPARE(db()->allNamesForTable(kTable), QStringList({"id", "Name", "Age", "Photo", "Notes"}));
}

void TestSchemaCommit::newTableBranchCreatesTable()
{
    LMTableDesignCommit commit = LMTableDesignCommit::forNewTable("Things");
    QCOMPARE(commit.schema.at(0), idField());
    commit.schema.append(field("Label", "Text", {{"Default", Value("none yet")}}));
    commit.columnMapLeft << "Label";
    commit.columnMapRight << "";
    commit.schema.append(DesignVocabulary::blankField());
    commit.columnMapLeft << "";
    commit.columnMapRight << "";
    QCOMPARE(db()->commitTableRevised(commit), Result::Committed);

    QCOMPARE(tableInfo(db()->handle(), "Things"), QStringList({"id", "Label"}));
    QCOMPARE(db()->allNamesForTable("Things"), QStringList({"id", "Label"}));
    QCOMPARE(db()->tableDesign("Things").keys(), QStringList({"Fields", "Name"}));
    QVERIFY(!commit.isNewTable);
    QCOMPARE(insertRow(*m_doc, "Things"), QStringLiteral("1"));
    QCOMPARE(cellText(*m_doc, "Things", "Label", "1"), QStringLiteral("none yet"));
    QCOMPARE(m_audits, 1);

    // A second new-table commit of an existing name fails and stores nothing twice.
    LMTableDesignCommit again = LMTableDesignCommit::forNewTable("Things");
    QCOMPARE(db()->commitTableRevised(again), Result::Failed);
    QCOMPARE(db()->tablesList().count("Things"), 1);
    QCOMPARE(tableInfo(db()->handle(), "Things"), QStringList({"id", "Label"}));
}

void TestSchemaCommit::secondCommitFollowsTheFirst()
{
    LMTableDesignCommit commit = LMTableDesignCommit::forDesign(db()->tableDesign(kTable));
    const int age = fieldIndex(commit, "Age");
    commit.schema.at(age).set("Name", "Years");
    commit.columnMapLeft[age] = "Years";
    QCOMPARE(db()->commitTableRevised(commit), Result::Committed);

    // The editor keeps editing the same change set and commits again.
    commit.schema.append(field("Extra", "Text"));
    commit.columnMapLeft << "Extra";
    commit.columnMapRight << "";
    QCOMPARE(db()->commitTableRevised(commit), Result::Committed);
    QCOMPARE(sqlColumns(), QStringList({"id", "Name", "Years", "Photo", "Notes", "Extra"}));
    QCOMPARE(cell("Years", "2"), QStringLiteral("22.5"));
}

void TestSchemaCommit::deletedRowIdsAreNotReused()
{
    QVERIFY(db()->deleteFromTable(kTable, "3"));
    LMTableDesignCommit commit = LMTableDesignCommit::forDesign(db()->tableDesign(kTable));
    commit.schema.append(field("Extra", "Text"));
    commit.columnMapLeft << "Extra";
    commit.columnMapRight << "";
    QCOMPARE(db()->commitTableRevised(commit), Result::Committed);
    // Link lists may still name row 3; a new row must not become it.
    QCOMPARE(insertRow(*m_doc, kTable), QStringLiteral("4"));
}

void TestSchemaCommit::leftoverBackupTableRollsBack()
{
    db()->performQuery("CREATE TABLE `^Orvix__Design__Backup^` (x TEXT)");
    db()->performQuery("INSERT INTO `^Orvix__Design__Backup^` VALUES ('older data')");
    QCOMPARE(db()->lastErrorID(), 0);
    const Value designBefore = db()->tableDesign(kTable).deepCopy();

    LMTableDesignCommit commit = LMTableDesignCommit::forDesign(db()->tableDesign(kTable));
    const int notes = fieldIndex(commit, "Notes");
    commit.schema.removeAt(notes);
    commit.columnMapLeft.removeAt(notes);
    commit.columnMapRight.removeAt(notes);
    const LMTableDesignCommit before = commit;
    QCOMPARE(db()->commitTableRevised(commit), Result::Failed);

    QVERIFY(db()->lastErrorID() != 0);
    QVERIFY2(db()->lastError().contains("Orvix__Design__Backup"), qPrintable(db()->lastError()));
    QCOMPARE(db()->tableDesign(kTable), designBefore);
    QCOMPARE(commit.columnMapLeft, before.columnMapLeft);
    QCOMPARE(m_audits, 0);
    QVERIFY(!db()->isTransactionActive());
    QCOMPARE(sqlColumns(), QStringList({"id", "Name", "Age", "Photo", "Notes"}));
    QCOMPARE(db()->rowCountInTable(kTable), quint64(3));
    QCOMPARE(cell("Notes", "3"), QStringLiteral("it's 3"));
    // The leftover keeps what it held.
    QCOMPARE(tableInfo(db()->handle(), kBackup), QStringList({"x"}));
    QCOMPARE(db()->rowCountInTable(kBackup), quint64(1));
}

void TestSchemaCommit::failingCopyRollsBack()
{
    const Value designBefore = db()->tableDesign(kTable).deepCopy();
    LMTableDesignCommit commit = LMTableDesignCommit::forDesign(db()->tableDesign(kTable));
    // A map entry naming a column the table does not have makes the copy fail after the table was moved.
    commit.schema.append(field("Ghost", "Text"));
    commit.columnMapLeft << "Ghost";
    commit.columnMapRight << "Vanished";
    QCOMPARE(db()->commitTableRevised(commit), Result::Failed);

    QVERIFY2(db()->lastError().contains("Vanished"), qPrintable(db()->lastError()));
    QCOMPARE(db()->tableDesign(kTable), designBefore);
    QCOMPARE(m_audits, 0);
    QVERIFY(!db()->isTransactionActive());
    checkOriginalRows();
    QCOMPARE(cell("Age", "1"), QStringLiteral("21.5"));
    QCOMPARE(cell("Photo", "1"), QStringLiteral("cGhvdG8="));
}

void TestSchemaCommit::failureInsideCallersTransactionKeepsIt()
{
    QVERIFY(db()->beginTransaction());
    db()->performQuery("UPDATE People SET Name='Changed' WHERE id=1");
    LMTableDesignCommit commit = LMTableDesignCommit::forDesign(db()->tableDesign(kTable));
    commit.schema.append(field("Ghost", "Text"));
    commit.columnMapLeft << "Ghost";
    commit.columnMapRight << "Vanished";
    QCOMPARE(db()->commitTableRevised(commit), Result::Failed);
    // Only the commit's own writes are undone; the caller's transaction and its write stay.
    QVERIFY(db()->isTransactionActive());
    QCOMPARE(cell("Name", "1"), QStringLiteral("Changed"));
    QCOMPARE(sqlColumns(), QStringList({"id", "Name", "Age", "Photo", "Notes"}));
    QVERIFY(db()->rollbackTransaction());
    checkOriginalRows();
}

QTEST_MAIN(TestSchemaCommit)
#include "test_schema_commit.moc"
