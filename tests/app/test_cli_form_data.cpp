// orvix-cli form-records and form-set on a copy of the bundled sample: the record list as the form shows it,
// a saved query over a form, and values written through controls with the field's rules.
#include "TestEnvironment.h"
#include "support/CliRunner.h"

#include <QProcess>
#include <QtTest>

class TestCliFormData : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void recordList();
    void writesThroughControls_data();
    void writesThroughControls();
    void refusals_data();
    void refusals();

private:
    TestEnvironment m_env;
    QString m_package;
};

void TestCliFormData::initTestCase()
{
    m_package = m_env.path("Contacts.orvix");
    QCOMPARE(QProcess::execute("cp", {"-R", QStringLiteral(ORVIX_SAMPLE_PATH), m_package}), 0);
    const QString query = m_env.path("Kettles.json");
    writeFile(query, R"({"Name": "Kettles", "Table Name": "People", "Parameter Boolean": "ALL",
        "Parameters": [{"Type": "Parameters", "Table": "People", "Field": "Last Name", "Datatype": "Text",
                        "Compare Op": "is equal to", "Operand": "Kettle"}]})");
    const CliResult added = cli({"add-query", m_package, query});
    QVERIFY2(added.code == 0, qPrintable(added.err));
}

void TestCliFormData::recordList()
{
    const CliResult all = cli({"form-records", m_package, "People"});
    QCOMPARE(all.code, 0);
    const QStringList lines = all.text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 36);
    QCOMPARE(lines.mid(0, 3), (QStringList{"Anna", "Ben", "Clara"}));
    const CliResult kettles = cli({"form-records", m_package, "People", "--query", "Kettles"});
    QCOMPARE(kettles.code, 0);
    QCOMPARE(kettles.text(), QString("Anna\nFelix\nIris\n"));
    // A new record has no human key yet: the list says so.
    const CliResult row = cli({"add-row", m_package, "Companies"});
    QCOMPARE(row.code, 0);
    QVERIFY(cli({"form-records", m_package, "Companies"}).text().endsWith("New Record\n"));
}

void TestCliFormData::writesThroughControls_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("text field") << "Email"
                                << "anna@example.com"
                                << "anna@example.com";
    QTest::newRow("check box on") << "Favourite"
                                  << "1"
                                  << "Yes";
    QTest::newRow("check box off") << "Favourite"
                                   << "0"
                                   << "No";
    QTest::newRow("pop-up of options") << "Category"
                                       << "Work"
                                       << "Work";
    QTest::newRow("number through its formatter") << "Height"
                                                  << "1.80"
                                                  << "1.80";
}

void TestCliFormData::writesThroughControls()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    const CliResult set = cli({"form-set", m_package, "People", "1", control, text});
    QVERIFY2(set.code == 0, qPrintable(set.err));
    QCOMPARE(cli({"get", m_package, "People", "1", control}).text().trimmed(), shown);
}

void TestCliFormData::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("err");
    QTest::newRow("regular expression") << QStringList{"People", "2", "Email", "not an address"} << 3
                                        << "alert: Value is invalid | The value you entered did not pass the "
                                           "validation checks required by field \"Email\"\n";
    QTest::newRow("number bounds") << QStringList{"People", "2", "Height", "7"} << 3
                                   << "alert: Number is invalid | The number you entered did not pass the validation "
                                      "checks required by field \"Height\"\n";
    QTest::newRow("not an option") << QStringList{"People", "2", "Category", "Enemy"} << 3 << "beep\n";
    QTest::newRow("no such control") << QStringList{"People", "2", "Nope", "x"} << 1
                                     << "orvix-cli: no control named \"Nope\" in the form \"People\"\n";
    QTest::newRow("no such record") << QStringList{"People", "999", "Email", "a@b"} << 1
                                    << "orvix-cli: no record 999 in the table \"People\"\n";
}

void TestCliFormData::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, err);
    const QString before = cli({"get", m_package, "People", "2", "Email"}).text();
    const CliResult set = cli(QStringList{"form-set", m_package} + args);
    QCOMPARE(set.code, code);
    QCOMPARE(set.err, err);
    QCOMPARE(cli({"get", m_package, "People", "2", "Email"}).text(), before);
}

QTEST_MAIN(TestCliFormData)
#include "test_cli_form_data.moc"
