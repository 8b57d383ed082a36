// Tests of orvix-cli's form commands: generate-form, form and add-form, and their refusals.
#include "TestEnvironment.h"
#include "support/CliRunner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class TestCliForms : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void generateShowAndAddBack();
    void refusals_data();
    void refusals();

private:
    TestEnvironment m_env;
    QString m_package;
};

void TestCliForms::initTestCase()
{
    m_package = m_env.path("Forms.orvix");
    QCOMPARE(cli({"new", m_package}).code, 0);
    const QString design = m_env.path("Items.json");
    writeFile(design, R"({"Name": "Items", "Fields": [{"Name": "Title", "Type": "Text"},
                         {"Name": "Done", "Type": "Yes/No"}]})");
    QCOMPARE(cli({"add-table", m_package, design}).code, 0);
}

void TestCliForms::generateShowAndAddBack()
{
    QCOMPARE(cli({"generate-form", m_package, "Items"}).code, 0);
    QCOMPARE(cli({"generate-form", m_package, "Items", "--name", "Second"}).code, 0);
    const CliResult shown = cli({"form", m_package, "Items"});
    QCOMPARE(shown.code, 0);
    QJsonObject form = QJsonDocument::fromJson(shown.out).object();
    QCOMPARE(form.value("Content Table").toString(), QString("Items"));
    const QJsonArray controls = form.value("Controls").toArray();
    QCOMPARE(controls.size(), 2);
    QVERIFY(controls.at(0).toObject().value("Frame").toString().startsWith("{{"));
    QCOMPARE(controls.at(1).toObject().value("Class").toString(), QString("NSButton"));
    QCOMPARE(form.value("Canvas").toObject().value("Show Grid").toString(), QString("1"));

    // The printed JSON, renamed, is added back and prints the same.
    form.insert("Name", "Copy");
    const QString file = m_env.path("Copy.json");
    writeFile(file, QJsonDocument(form).toJson());
    const CliResult added = cli({"add-form", m_package, file});
    QVERIFY2(added.code == 0, qPrintable(added.err));
    const CliResult copy = cli({"form", m_package, "Copy"});
    QCOMPARE(QJsonDocument::fromJson(copy.out).object(), form);
}

void TestCliForms::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("json");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("err");
    QTest::newRow("generate, name taken") << QStringList{"generate-form", "@", "Items"} << "" << 3 << "already exists";
    QTest::newRow("generate, no table") << QStringList{"generate-form", "@", "Nope", "X"} << "" << 1
                                        << "no table named";
    QTest::newRow("add, name taken") << QStringList{"add-form", "@", "#"} << R"({"Name": "Items"})" << 3 << "beep";
    QTest::newRow("add, no name") << QStringList{"add-form", "@", "#"} << R"({"Controls": []})" << 3 << "beep";
    QTest::newRow("add, unknown table") << QStringList{"add-form", "@", "#"}
                                        << R"({"Name": "Z", "Content Table": "Nope"})" << 3
                                        << "alert: Invalid Form | The form's content table is not in this document.";
    QTest::newRow("form, unknown") << QStringList{"form", "@", "Nope"} << "" << 1 << "no form named";
}

void TestCliForms::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(QString, json);
    QFETCH(int, code);
    QFETCH(QString, err);
    if (cli({"form", m_package, "Items"}).code != 0)
        QCOMPARE(cli({"generate-form", m_package, "Items"}).code, 0);
    const QString file = m_env.path("refused.json");
    writeFile(file, json.toUtf8());
    for (QString &arg : args)
        arg = arg == "@" ? m_package : arg == "#" ? file : arg;
    const CliResult result = cli(args);
    QCOMPARE(result.code, code);
    QVERIFY2(result.err.contains(err), qPrintable(result.err));
}

QTEST_MAIN(TestCliForms)
#include "test_cli_forms.moc"
