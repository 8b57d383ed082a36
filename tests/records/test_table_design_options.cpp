// Tests of the design editor's options pane: inspectors per datatype, the option list and its default menu,
// the date default, the number format menu's patterns, bounds and the human key.
#include "LMTableDesignOptionsPane.h"
#include "LMTableDesignRules.h"
#include "LMTableDesignView.h"
#include "MyDocument.h"
#include "NumberFormatter.h"
#include "OXDatabase.h"
#include "ReferenceDate.h"
#include "TestEnvironment.h"
#include "support/TableDesignFixture.h"

#include <QComboBox>
#include <QtTest>

using namespace TableDesignFixture;

class TestTableDesignOptions : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void inspectors_data();
    void inspectors();
    void optionList();
    void defaultMenuRebuild_data();
    void defaultMenuRebuild();
    void dateDefault();
    void formatMenu_data();
    void formatMenu();
    void boundsReachValidation();
    void humanKeyIsExclusive();
    void optionsSurviveTheCommit();

private:
    LMTableOptionsPane *pane() const { return m_editor->optionsPane(); }
    int select(const QString &name);

    TestEnvironment m_env;
    std::unique_ptr<MyDocument> m_document;
    Editor m_editor;
};

void TestTableDesignOptions::init()
{
    m_env.ui().reset();
    QString error;
    m_document =
        newDocument({table("Items", {field("Title", "Text"), field("Size", "Options"), field("Price", "Number"),
                                     field("Added", "Date"), field("Done", "Yes/No"), field("Parts", "Relationship"),
                                     field("Tags", "List"), field("Picture", "Image")})},
                    &error);
    QVERIFY2(m_document, qPrintable(error));
    m_editor = open(*m_document, "Items");
}

void TestTableDesignOptions::cleanup()
{
    m_editor = Editor();
    ReferenceDate::setClock({});
}

int TestTableDesignOptions::select(const QString &name)
{
    const int row = rowOf(*m_editor.editor, name);
    m_editor->tableViewSelectionDidChange(row);
    return row;
}

void TestTableDesignOptions::inspectors_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("keys");

    const QStringList common{"Unique", "Not Null", "HumanKey"};
    QTest::newRow("nothing selected") << ""
                                      << "No Selection" << QStringList();
    QTest::newRow("id") << "id"
                        << "Cannot edit ID" << QStringList();
    QTest::newRow("Text") << "Title"
                          << "Text" << common + QStringList{"Default", "Regex", "Check"};
    QTest::newRow("Options") << "Size"
                             << "Options" << common + QStringList{"Options", "Default Value", "Check"};
    QTest::newRow("Number") << "Price"
                            << "Number"
                            << common + QStringList{"Default",         "Format",          "IsInteger", "IsPositive",
                                                    "CheckLowerBound", "CheckUpperBound", "Check"};
    QTest::newRow("Date") << "Added"
                          << "Date" << common + QStringList{"Default Date", "Date Format", "Time Format", "Check"};
    QTest::newRow("Yes/No") << "Done"
                            << "Yes/No" << common + QStringList{"Default", "Yes Value", "No Value", "Check"};
    QTest::newRow("List") << "Tags"
                          << "List" << common + QStringList{"Default", "List Separator", "Check"};
    QTest::newRow("Image") << "Picture"
                           << "Image" << common + QStringList{"Check"};
    QTest::newRow("Relationship") << "Parts"
                                  << "Relationship" << QStringList{"HumanKey"};
}

void TestTableDesignOptions::inspectors()
{
    QFETCH(QString, field);
    QFETCH(QString, shown);
    QFETCH(QStringList, keys);
    const int row = field.isEmpty() ? -1 : select(field);
    if (row < 0)
        m_editor->tableViewSelectionDidChange(-1);
    QCOMPARE(pane()->shownInspector(), shown);
    QCOMPARE(pane()->visibleKeys(), keys);
    if (row > 0)
        QVERIFY(pane()->dictionary().isSameContainer(m_editor->fieldAt(row)));
}

void TestTableDesignOptions::optionList()
{
    const int row = select("Size");
    Value field = m_editor->fieldAt(row);
    QVERIFY(!field.contains("Options"));

    pane()->optionsAddButton();
    QCOMPARE(field.value("Options"), Value::array({Value("")}));
    pane()->setOptionTitle(0, "Small");
    pane()->optionsAddButton();
    pane()->setOptionTitle(1, "Large");
    QCOMPARE(field.value("Options"), Value::array({Value("Small"), Value("Large")}));
    QCOMPARE(pane()->optionTitles(), (QStringList{"Small", "Large"}));
    QCOMPARE(pane()->defaultMenuTitles(), (QStringList{"Small", "Large"}));

    pane()->optionsDefaultMenu(1);
    QCOMPARE(field.value("Default"), Value("Large"));

    pane()->selectOption(0);
    pane()->optionsRemoveButton();
    QCOMPARE(field.value("Options"), Value::array({Value("Large")}));
    QCOMPARE(pane()->defaultMenuTitles(), QStringList{"Large"});
    QCOMPARE(pane()->defaultMenuIndex(), 0);
    QCOMPARE(field.value("Default"), Value("Large"));

    // Shown again, the pane reads the list and the chosen default back from the field.
    select("Title");
    select("Size");
    QCOMPARE(pane()->optionTitles(), QStringList{"Large"});
    QCOMPARE(pane()->defaultMenuIndex(), 0);
}

void TestTableDesignOptions::defaultMenuRebuild_data()
{
    QTest::addColumn<QString>("change"); // "rename 1 X", "remove 2", "add"
    QTest::addColumn<int>("selectedAfter");
    QTest::addColumn<QString>("defaultAfter");

    // Options A, B, C with default B (index 1).
    QTest::newRow("other entry renamed: title kept") << "rename 0 Z" << 1 << "B";
    QTest::newRow("chosen entry renamed: same index") << "rename 1 Q" << 1 << "Q";
    QTest::newRow("entry before removed: title kept") << "remove 0" << 0 << "B";
    QTest::newRow("chosen entry removed: same index") << "remove 1" << 1 << "C";
    QTest::newRow("entry added: title kept") << "add" << 1 << "B";
}

void TestTableDesignOptions::defaultMenuRebuild()
{
    QFETCH(QString, change);
    QFETCH(int, selectedAfter);
    QFETCH(QString, defaultAfter);
    const int row = select("Size");
    Value field = m_editor->fieldAt(row);
    for (const char *title : {"A", "B", "C"}) {
        pane()->optionsAddButton();
        pane()->setOptionTitle(pane()->optionTitles().size() - 1, title);
    }
    pane()->optionsDefaultMenu(1);
    QCOMPARE(field.value("Default"), Value("B"));

    const QStringList words = change.split(' ');
    if (words.first() == "rename") {
        pane()->setOptionTitle(words.at(1).toInt(), words.at(2));
    } else if (words.first() == "remove") {
        pane()->selectOption(words.at(1).toInt());
        pane()->optionsRemoveButton();
    } else {
        pane()->optionsAddButton();
    }
    QCOMPARE(pane()->defaultMenuTitles(), pane()->optionTitles());
    QCOMPARE(pane()->defaultMenuIndex(), selectedAfter);
    QCOMPARE(field.value("Default"), Value(defaultAfter));
}

void TestTableDesignOptions::dateDefault()
{
    ReferenceDate::setClock([] { return 700000000.4; });
    const int row = select("Added");
    Value field = m_editor->fieldAt(row);
    // Without a date the field gets the current one.
    QCOMPARE(field.value("Default"), Value("700000000"));
    QCOMPARE(pane()->shownDefaultDate(), 700000000.0);

    pane()->dateDefaultField(86400.0 * 365);
    QCOMPARE(field.value("Default"), Value("31536000"));

    // A stored date is shown as it is, not replaced by the clock.
    select("Title");
    ReferenceDate::setClock([] { return 5.0; });
    select("Added");
    QCOMPARE(pane()->shownDefaultDate(), 31536000.0);
    QCOMPARE(field.value("Default"), Value("31536000"));
    QCOMPARE(OXDatabase::dateFromString(field.value("Default").toString()).toDate(), 31536000.0);
}

void TestTableDesignOptions::formatMenu_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("formatted");

    QTest::newRow("None") << "None"
                          << "" << 1234.5 << "1234.5";
    QTest::newRow("Decimal") << "Decimal"
                             << "#,##0.###" << 1234.5 << "1,234.5";
    QTest::newRow("Comma (scientific)") << "Comma"
                                        << "#E0" << 1234.5 << "1.2345E3";
    QTest::newRow("Percent") << "Percent"
                             << "#,##0%" << 0.25 << "25%";
    QTest::newRow("Currency") << "Currency"
                              << "'$'#,##0.00" << 1234.5 << "$1,234.50";
}

void TestTableDesignOptions::formatMenu()
{
    QFETCH(QString, title);
    QFETCH(QString, pattern);
    QFETCH(double, number);
    QFETCH(QString, formatted);
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const int row = select("Price");
    pane()->formatterField("0.0");
    pane()->formatterMenu(title);
    const QString stored = m_editor->fieldAt(row).value("Format").toString();
    QLocale::setDefault(saved);

    QCOMPARE(stored, pattern);
    QCOMPARE(pane()->formatFieldText(), pattern);
    QCOMPARE(pane()->formatMenuTitle(), title);
    // The stored pattern is one the field's formatter reads back as that style.
    QCOMPARE(NumberFormatter(stored, QLocale(QLocale::English, QLocale::UnitedStates)).format(number), formatted);
}

void TestTableDesignOptions::boundsReachValidation()
{
    const int row = select("Price");
    pane()->setBound(false, "<", "0");
    // No bound shows as an empty choice, and choosing it stores "x".
    QComboBox *box = pane()->boundOperatorBox(false);
    QCOMPARE(box->itemText(0), QString());
    QCOMPARE(box->itemText(3), QString("<"));
    QCOMPARE(box->currentIndex(), 3);
    box->setCurrentIndex(0);
    emit box->activated(0);
    QCOMPARE(m_editor->fieldAt(row).value("CheckLowerBoundOperator"), Value("x"));
    pane()->setBound(false, "<", "0");
    pane()->setBound(true, "\u2264", "10");
    Value field = m_editor->fieldAt(row);
    QCOMPARE(field.value("CheckLowerBoundOperator"), Value("<"));
    QCOMPARE(field.value("CheckLowerBound"), Value("0"));
    QCOMPARE(field.value("CheckUpperBoundOperator"), Value("\u2264"));
    QCOMPARE(field.value("CheckUpperBound"), Value("10"));
    QVERIFY(m_editor->commitTable());

    OXDatabase *db = m_document->database();
    const QString id = insertRow(*m_document, "Items", {});
    QVERIFY(!db->insertNativeValue(Value(10.0), "Items", "Price", id));
    const std::optional<Alert> refused = db->insertNativeValue(Value(10.5), "Items", "Price", id);
    QVERIFY(refused);
    QCOMPARE(refused->messageText, QString("Number is invalid"));
}

void TestTableDesignOptions::humanKeyIsExclusive()
{
    const int title = select("Title");
    pane()->humanKey(true);
    const int tags = select("Tags");
    pane()->humanKey(true);
    int keys = 0;
    for (int i = 0; i < m_editor->numberOfRowsInTableView(); ++i)
        keys += m_editor->fieldAt(i).contains("HumanKey") ? 1 : 0;
    QCOMPARE(keys, 1);
    QVERIFY(m_editor->fieldAt(tags).value("HumanKey").toBool());
    QVERIFY(!m_editor->fieldAt(title).contains("HumanKey"));

    pane()->humanKey(false);
    for (int i = 0; i < m_editor->numberOfRowsInTableView(); ++i)
        QVERIFY(!m_editor->fieldAt(i).contains("HumanKey"));

    select("Done");
    pane()->humanKey(true);
    QVERIFY(m_editor->commitTable());
    QCOMPARE(m_document->database()->humanKeyForTable("Items"), QString("Done"));
}

void TestTableDesignOptions::optionsSurviveTheCommit()
{
    const int row = select("Title");
    pane()->setFlag("Unique", true);
    pane()->setText("Regex", "^[0-9]+$");
    QVERIFY(m_editor->fieldAt(row).value("Unique").toBool());
    // Nothing is stored before the commit.
    QCOMPARE(m_document->database()->regexForTable("Items", "Title"), Value(""));
    QVERIFY(m_editor->commitTable());
    QCOMPARE(m_document->database()->regexForTable("Items", "Title"), Value("^[0-9]+$"));
    QCOMPARE(m_document->database()->uniqueForTable("Items", "Title"), Value(true));
    const QString id = insertRow(*m_document, "Items", {});
    QVERIFY(m_document->database()->insertNativeValue(Value("12a"), "Items", "Title", id));
    QVERIFY(!m_document->database()->insertNativeValue(Value("123"), "Items", "Title", id));
}

QTEST_MAIN(TestTableDesignOptions)
#include "test_table_design_options.moc"
