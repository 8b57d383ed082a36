// Tests of SchemaEditor's parts that need no connection: the SQL column type of every datatype.
#include "DesignVocabulary.h"
#include "SchemaEditor.h"

#include <QtTest>

class TestSchemaEditor : public QObject {
    Q_OBJECT
private slots:
    void sqlTypes_data();
    void sqlTypes();
};

void TestSchemaEditor::sqlTypes_data()
{
    QTest::addColumn<QString>("datatype");
    QTest::addColumn<QString>("sqlType");
    const QString text = QStringLiteral("TEXT");
    const QString real = QStringLiteral("REAL");
    const QList<std::pair<QString, QString>> expected = {
        {"Primary Key", "INTEGER PRIMARY KEY AUTOINCREMENT"},
        {"Text", text},
        {"Number", real},
        {"Date", real},
        {"Yes/No", "INTEGER"},
        {"Image", text},
        {"Audio", text},
        {"Video", text},
        {"List", text},
        {"Options", text},
        {"Attachment", text},
        {"File Path", text},
        {"Relationship", text},
        {"yes/no", ""}, // names are exact
        {"", ""},
    };
    for (const auto &[datatype, sqlType] : expected)
        QTest::newRow(datatype.isEmpty() ? "empty" : qPrintable(datatype)) << datatype << sqlType;
}

void TestSchemaEditor::sqlTypes()
{
    QFETCH(QString, datatype);
    QFETCH(QString, sqlType);
    QCOMPARE(SchemaEditor::sqlTypeForDatatype(Datatypes::fromName(datatype)), sqlType);
}

QTEST_GUILESS_MAIN(TestSchemaEditor)
#include "test_schema_editor.moc"
