// Tests of the quick search: the passes in order (names with wildcards, data, report text, designs), the
// ranking by occurrences, the results window's rows and keys, and the item finder's kind segments.
#include "LMFind.h"
#include "LMIdentifiedView.h"
#include "LMReportPlainText.h"
#include "LMSearchMenuModel.h"
#include "LMSearchMenuWindow.h"
#include "LMSearchMenuWorker.h"
#include "LMSearchOpening.h"
#include "LMSearchResults.h"
#include "LMWildcard.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "RecordingNavigator.h"
#include "RichTextCodec.h"
#include "TestEnvironment.h"
#include "support/QueryFixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QtTest>

using namespace QueryFixture;

namespace {
// Tables "Animals" (Name, Sound) and "Plants" (Name); items of every kind with texts to find.
std::unique_ptr<MyDocument> searchDocument()
{
    const Value animals = DesignFixture::table("Animals", {field("Name", "Text"), field("Sound", "Text")});
    const Value plants = DesignFixture::table("Plants", {field("Name", "Text")});
    const Value rocks = DesignFixture::table("Rocks", {field("Name", "Text")});
    std::unique_ptr<MyDocument> doc = newDocument({animals, plants, rocks});
    if (!doc)
        return doc;
    OXDatabase *db = doc->database();
    db->executeQuery(
        "INSERT INTO `Animals` (`Name`, `Sound`) VALUES ('Cat', 'meow'), ('Dog', 'woof'), ('Wind', 'plants rustle')");
    db->executeQuery("INSERT INTO `Plants` (`Name`) VALUES ('Catnip'), ('Oak''s acorn'), ('Houseplant')");
    doc->queries().append(Value::dict({{"Name", "Cats only"},
                                       {"Table Name", "Animals"},
                                       {"Parameters", Value::array({Value::dict({{"Value", "meow"}})})}}));
    doc->forms().append(Value::dict({{"Name", "Animal card"}, {"Content Table", "Animals"}}));
    doc->reports().append(Value::dict({{"Name", "Zoo"}, {"Attributed String", "The cat says MEOW."}}));
    doc->reports().append(Value::dict({{"Name", "Garden"}, {"Attributed String", QByteArray("<b>Oak</b> trees")}}));
    doc->scripts().append(Value::dict({{"Name", "Feed"}, {"Script", "alert('woof')"}}));
    return doc;
}

QStringList flat(const LMSearchResults &r)
{
    QStringList out;
    for (const QString &kind : LMSearchResults::kinds())
        for (const QString &name : r.ranked(kind))
            out << kind + ":" + name + "x" + QString::number(r.occurrences(kind, name));
    return out;
}
} // namespace

class TestQuickSearch : public QObject {
    Q_OBJECT
private slots:
    void wildcards_data();
    void wildcards();
    void namePass_data();
    void namePass();
    void passes_data();
    void passes();
    void dataStatementEscapesQuotes();
    void rankingOrdersByOccurrencesThenFirstSeen();
    void reportPlainText_data();
    void reportPlainText();
    void menuModelShowsNamesFirstThenDeepPasses();
    void menuModelKeysAndChoice();
    void menuModelEmptyTextCancelsPendingPasses();
    void resultsWindowFollowsTheField();
    void choosingOpensThroughTheNavigator_data();
    void choosingOpensThroughTheNavigator();
    void finderOpensAndRelabels();
    void finderSegments_data();
    void finderSegments();

private:
    TestEnvironment m_env;
};

void TestQuickSearch::wildcards_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");
    QTest::newRow("exact, case-insensitive") << "animals"
                                             << "Animals" << true;
    QTest::newRow("star prefix") << "a*"
                                 << "Animals" << true;
    QTest::newRow("star needs the prefix") << "a*"
                                           << "Plants" << false;
    QTest::newRow("question is one character") << "d?g"
                                               << "Dog" << true;
    QTest::newRow("question is not zero") << "do?g"
                                          << "Dog" << false;
    QTest::newRow("star backtracks") << "*a*s"
                                     << "Plants" << true;
    QTest::newRow("literal must cover the whole") << "cat"
                                                  << "Catnip" << false;
    QTest::newRow("empty pattern matches only empty") << ""
                                                      << "" << true;
    QTest::newRow("star matches empty") << "*"
                                        << "" << true;
}

void TestQuickSearch::wildcards()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, matches);
    QCOMPARE(LMWildcard::matches(pattern, text), matches);
}

void TestQuickSearch::namePass_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    // "a*": the first pass takes names starting with a, the second every name with an a.
    QTest::newRow("a star: wildcard, then contains")
        << "a*"
        << QStringList{"Tables:Animalsx2", "Tables:Plantsx1", "Queries:Cats onlyx1", "Forms:Animal cardx2",
                       "Reports:Gardenx1"};
    QTest::newRow("whole name scores twice") << "rocks" << QStringList{"Tables:Rocksx2"};
    QTest::newRow("question mark") << "r?cks" << QStringList{"Tables:Rocksx2"};
}

void TestQuickSearch::namePass()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    std::unique_ptr<MyDocument> doc = searchDocument();
    QVERIFY(doc);
    LMSearchResults results;
    LMSearchMenuWorker::findNameString(text, *doc, results);
    QCOMPARE(flat(results), expected);
}

void TestQuickSearch::passes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    // One character: names only, once for the wildcard-as-whole pass (never, here) and once for "contains".
    QTest::newRow("one character searches names only") << "z" << QStringList{"Reports:Zoox1"};
    // Plants: name, data and its design's "Name"; Animals: data only, though found first.
    QTest::newRow("name and data rank before data only")
        << "plant" << QStringList{"Tables:Plantsx3", "Tables:Animalsx1"};
    QTest::newRow("report text and design strings count separately")
        << "cat" << QStringList{"Tables:Animalsx1", "Tables:Plantsx1", "Queries:Cats onlyx2", "Reports:Zoox2"};
    QTest::newRow("data, report text and design strings")
        << "meow" << QStringList{"Tables:Animalsx1", "Queries:Cats onlyx1", "Reports:Zoox2"};
    QTest::newRow("script text found by the design pass")
        << "woof" << QStringList{"Tables:Animalsx1", "Scripts:Feedx1"};
    QTest::newRow("rich report text read as characters") << "oak trees" << QStringList{"Reports:Gardenx1"};
    QTest::newRow("a quote in the text") << "oak's" << QStringList{"Tables:Plantsx1"};
    QTest::newRow("nothing") << "xyzzy" << QStringList{};
    QTest::newRow("empty text") << "" << QStringList{};
}

void TestQuickSearch::passes()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    std::unique_ptr<MyDocument> doc = searchDocument();
    QVERIFY(doc);
    LMSearchResults results;
    LMSearchMenuWorker::search(text, *doc, results);
    QCOMPARE(flat(results), expected);
    QCOMPARE(results.toValue().value("Top Hit"), Value::array());
}

void TestQuickSearch::dataStatementEscapesQuotes()
{
    QCOMPARE(LMSearchMenuWorker::dataStatement("T", {"A", "B"}, "o'k"),
             QString("SELECT 1 FROM `T` WHERE `A` LIKE '%o''k%' OR `B` LIKE '%o''k%' LIMIT 1"));
    QVERIFY(LMSearchMenuWorker::dataStatement("T", {}, "x").isEmpty());
}

void TestQuickSearch::rankingOrdersByOccurrencesThenFirstSeen()
{
    LMSearchResults r;
    for (const char *name : {"B", "A", "C", "A", "C", "D", "C"})
        r.add("Tables", name);
    QCOMPARE(r.ranked("Tables"), QStringList({"C", "A", "B", "D"}));
    QCOMPARE(r.names("Tables").size(), 7);
    QVERIFY(!r.isEmpty());
    r.clear();
    QVERIFY(r.isEmpty());
}

void TestQuickSearch::reportPlainText_data()
{
    QTest::addColumn<Value>("stored");
    QTest::addColumn<QString>("text");
    QTest::newRow("string") << Value("plain") << "plain";
    QTest::newRow("html data") << Value(QByteArray("<p>a <i>b</i></p>")) << "a b";
    QTest::newRow("utf-8 data") << Value(QByteArray("caf\xc3\xa9")) << QString::fromUtf8("café");
    QTest::newRow("archived object") << Value::object("NSAttributedString", Value::dict({{"NSString", "inside"}}))
                                     << "inside";
    QTextDocument rich;
    rich.setHtml("<p>Dear <b>reader</b></p><table><tr><td>cell</td></tr></table>");
    QTest::newRow("rich-text codec") << RichTextCodec::encode(rich) << "Dear reader\ncell\n";
    QTest::newRow("number") << Value(3) << "";
}

void TestQuickSearch::reportPlainText()
{
    QFETCH(Value, stored);
    QFETCH(QString, text);
    QCOMPARE(LMReportPlainText::plainText(stored), text);
}

void TestQuickSearch::menuModelShowsNamesFirstThenDeepPasses()
{
    std::unique_ptr<MyDocument> doc = searchDocument();
    QVERIFY(doc);
    LMSearchMenuModel model(doc.get());
    QSignalSpy lists(&model, &LMSearchMenuModel::listChanged);
    model.setSearchString("meow");
    // The names pass answers at once (nothing is named meow); the rest waits for the event loop.
    QCOMPARE(model.resCount(), 0);
    QVERIFY(model.hasPendingWork());
    QTRY_VERIFY(!model.hasPendingWork());
    QCOMPARE(lists.count(), 2);
    QCOMPARE(model.resCount(), 3);
    QCOMPARE(model.rows().at(0).label, QString("Tables"));
    QCOMPARE(model.rows().at(2).label, QString("Reports"));
    QCOMPARE(model.rows().at(2).name, QString("Zoo"));
}

void TestQuickSearch::menuModelKeysAndChoice()
{
    std::unique_ptr<MyDocument> doc = searchDocument();
    QVERIFY(doc);
    LMSearchMenuModel model(doc.get());
    QSignalSpy chosen(&model, &LMSearchMenuModel::itemChosen);
    model.setSearchString("an");
    model.finishPendingWork();
    // Animals and Plants (name, data, design), the query (design), the form (name, design).
    QCOMPARE(model.resCount(), 4);
    QCOMPARE(model.rows().at(0).name, QString("Animals"));
    QCOMPARE(model.rows().at(1).label, QString());
    QCOMPARE(model.selectedRow(), 0);
    QVERIFY(model.doCommandBySelector(LMSearchMenuModel::Command::Up));
    QCOMPARE(model.selectedRow(), 0);
    QVERIFY(model.doCommandBySelector(LMSearchMenuModel::Command::End));
    QCOMPARE(model.selectedRow(), 3);
    QVERIFY(model.doCommandBySelector(LMSearchMenuModel::Command::Down));
    QCOMPARE(model.selectedRow(), 3);
    QVERIFY(model.doCommandBySelector(LMSearchMenuModel::Command::Beginning));
    QVERIFY(model.doCommandBySelector(LMSearchMenuModel::Command::Down));
    QVERIFY(model.doCommandBySelector(LMSearchMenuModel::Command::Return));
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toString(), QString("Tables"));
    QCOMPARE(chosen.at(0).at(1).toString(), QString("Plants"));
    QVERIFY(!model.choose(7));
}

void TestQuickSearch::menuModelEmptyTextCancelsPendingPasses()
{
    std::unique_ptr<MyDocument> doc = searchDocument();
    QVERIFY(doc);
    LMSearchMenuModel model(doc.get());
    model.setSearchString("meow");
    model.setSearchString("");
    QVERIFY(!model.hasPendingWork());
    QTest::qWait(20);
    QCOMPARE(model.resCount(), 0);
    QVERIFY(!model.doCommandBySelector(LMSearchMenuModel::Command::Return));
}

void TestQuickSearch::resultsWindowFollowsTheField()
{
    std::unique_ptr<MyDocument> doc = searchDocument();
    QVERIFY(doc);
    QWidget container;
    auto *layout = new QVBoxLayout(&container);
    QLineEdit &field = *new QLineEdit;
    auto *elsewhere = new QLineEdit;
    layout->addWidget(&field);
    layout->addWidget(elsewhere);
    container.show();
    QVERIFY(QTest::qWaitForWindowExposed(&container));
    field.setFocus();
    RecordingNavigator navigator;
    LMSearchMenuWindow *window = LMSearchMenuWindow::attach(&field, doc.get(), &navigator);
    QSignalSpy chosen(window, &LMSearchMenuWindow::itemChosen);
    QVERIFY(!window->isVisible());
    // The window opens on the first keystroke and follows every further one, not only Return.
    QTest::keyClick(&field, 'r');
    QVERIFY(window->isVisible());
    QCOMPARE(window->model()->searchString(), QString("r"));
    QTest::keyClicks(&field, "ock");
    QCOMPARE(window->model()->searchString(), QString("rock"));
    QTRY_VERIFY(!window->model()->hasPendingWork());
    QCOMPARE(window->list()->count(), 1);
    QVERIFY(window->list()->item(0)->text().contains("Rocks"));
    // Arrow keys move the selection; Return opens the chosen item and closes the window.
    field.clear();
    QTest::keyClicks(&field, "an");
    QTRY_VERIFY(!window->model()->hasPendingWork());
    QTest::keyClick(&field, Qt::Key_Down);
    QCOMPARE(window->list()->currentRow(), 1);
    QTest::keyClick(&field, Qt::Key_Return);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(1).toString(), QString("Plants"));
    QCOMPARE(navigator.calls, QStringList{"switchToTableEditView Plants"});
    QVERIFY(!window->isVisible());
    QVERIFY(field.text().isEmpty());
    // Escape closes it too; an emptied field hides it.
    QTest::keyClicks(&field, "zo");
    QVERIFY(window->isVisible());
    QTest::keyClick(&field, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QTest::keyClicks(&field, "z");
    QTest::keyClick(&field, Qt::Key_Backspace);
    QVERIFY(!window->isVisible());
    // Focus elsewhere closes the window and clears the field.
    field.setFocus();
    QTest::keyClicks(&field, "zo");
    QTRY_VERIFY(window->isVisible());
    elsewhere->setFocus();
    QTRY_VERIFY(!window->isVisible());
    QVERIFY(field.text().isEmpty());
    QCOMPARE(chosen.count(), 1);
}

void TestQuickSearch::choosingOpensThroughTheNavigator_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("call");
    QTest::newRow("table: its records") << "Tables"
                                        << "switchToTableEditView";
    QTest::newRow("query: its grid") << "Queries"
                                     << "switchToQueryView";
    QTest::newRow("form: data entry") << "Forms"
                                      << "switchToFormDataView";
    QTest::newRow("report") << "Reports"
                            << "switchToReportView";
    QTest::newRow("script: the editor, not a run") << "Scripts"
                                                   << "switchToScriptView";
    QTest::newRow("unknown kind") << "Backups"
                                  << "";
}

void TestQuickSearch::choosingOpensThroughTheNavigator()
{
    QFETCH(QString, kind);
    QFETCH(QString, call);
    RecordingNavigator navigator;
    QCOMPARE(LMSearchOpening::switchToObject(navigator, "Item", kind), !call.isEmpty());
    QCOMPARE(navigator.calls, call.isEmpty() ? QStringList() : QStringList{call + " Item"});
}

void TestQuickSearch::finderOpensAndRelabels()
{
    std::unique_ptr<MyDocument> doc = searchDocument();
    QVERIFY(doc);
    RecordingNavigator navigator;
    LMFind find("feed", doc->database(), nullptr, doc.get());
    find.setNavigator(&navigator);
    LMIdentifiedView *view = find.view();
    auto *field = view->findChild<QLineEdit *>("LMFindField");
    auto *list = view->findChild<QListWidget *>("LMFindList");
    QVERIFY(field && list);
    QCOMPARE(list->count(), 1);
    emit list->itemActivated(list->item(0));
    QCOMPARE(navigator.calls, QStringList{"switchToScriptView Feed"});
    QTest::keyClicks(field, "x");
    QCOMPARE(navigator.tabLabel, QString("feedx"));
    QCOMPARE(list->count(), 0);
    delete view;
}

void TestQuickSearch::finderSegments_data()
{
    QTest::addColumn<QString>("segment");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("all kinds") << "All"
                               << "a"
                               << QStringList{"Animals/Tables 16", "Plants/Tables 16", "Cats only/Query 16",
                                              "Animal card/Forms 16", "Garden/Reports 16"};
    QTest::newRow("one kind, any case") << "Queries"
                                        << "CAT" << QStringList{"Cats only/Query 16"};
    QTest::newRow("empty text lists the kind") << "Scripts"
                                               << "" << QStringList{"Feed/Scripts 16"};
    QTest::newRow("backups list nothing") << "Backups"
                                          << "" << QStringList{};
    QTest::newRow("users and groups list nothing") << "Users & Groups"
                                                   << "" << QStringList{};
}

void TestQuickSearch::finderSegments()
{
    QFETCH(QString, segment);
    QFETCH(QString, query);
    QFETCH(QStringList, rows);
    std::unique_ptr<MyDocument> doc = searchDocument();
    QVERIFY(doc);
    LMFind find(query, doc->database(), nullptr, doc.get());
    find.setSegment(segment);
    QStringList got;
    for (const LMFind::Row &row : find.rows())
        got << row.name + "/" + row.iconName;
    QCOMPARE(got, rows);
    if (!rows.isEmpty()) {
        const std::optional<LMFind::Choice> choice = find.rowDoubleClicked(0);
        QVERIFY(choice);
        QCOMPARE(choice->name, find.rows().at(0).name);
        QCOMPARE(LMFind::kindOfIcon(find.rows().at(0).iconName), choice->kind);
    }
    QVERIFY(!find.rowDoubleClicked(-1));
}

QTEST_MAIN(TestQuickSearch)
#include "test_quick_search.moc"
