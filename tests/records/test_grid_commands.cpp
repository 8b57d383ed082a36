// Cell commands of the grid's "Actions" menu: the menus per datatype, clipboard with plain text and RTF,
// clear / set to 0 / today / toggle, import and save as file, reveal and open, and drops onto cells.
#include "HVFileWrapper.h"
#include "LMRichTextClipboard.h"
#include "LMTableDataTableView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditModel.h"
#include "LMTableEditView.h"
#include "MyDocument.h"
#include "ReferenceDate.h"
#include "TestEnvironment.h"
#include "support/GridFixture.h"
#include "support/GridHarness.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>

using namespace GridFixture;

class TestGridCommands : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<MyDocument> doc;
    std::unique_ptr<GridHarness> harness;
    QString id;

    LMTableEditView *grid() const { return harness->grid(); }
    LMTableDataTableView *view() const { return grid()->tableView(); }
    void focus(const QString &field)
    {
        grid()->selectRow(0);
        view()->setFocusedCell(0, grid()->model()->columnOfField(field));
    }
    QString stored(const QString &field) { return cellText(*doc, "Things", field, id); }
    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = env->path(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write(bytes);
        return path;
    }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        QString error;
        doc = newDocument(
            {table("Things", {field("title", "Text"), field("price", "Number", {{"Format", Value("#,##0.00")}}),
                              field("day", "Date", {{"Date Format", Value("yyyy-MM-dd")}}), field("ok", "Yes/No"),
                              field("path", "File Path"), field("tags", "List"), field("file", "Attachment"),
                              field("kind", "Options", {{"Options", Value::array({Value("A"), Value("B")})}})})},
            &error);
        QVERIFY2(doc, qPrintable(error));
        id = insertRow(*doc, "Things");
        setCell(*doc, "Things", "title", id, "Hello");
        setCell(*doc, "Things", "price", id, "1234.5");
        setCell(*doc, "Things", "ok", id, "0");
        harness = std::make_unique<GridHarness>(doc.get(), "Things");
    }
    void cleanup()
    {
        LMTableEditView::setUrlOpener({});
        harness.reset();
        doc.reset();
        env.reset();
    }

    void contextMenu_data();
    void contextMenu();
    void copyPutsPlainTextAndRtf();
    void pasteReadsTextElseRtf();
    void pasteRefusesTextThatIsNoValue_data();
    void pasteRefusesTextThatIsNoValue();
    void standardShortcutsRunTheCommands();
    void cutCopiesThenClears();
    void valueCommands();
    void commandsWithoutFocusedCellDoNothing();
    void importFile();
    void setToFileTakesAFolder();
    void saveAsFileRefusesExistingPath();
    void revealAndOpen();
    void attachmentCopyPaste();
    void drops_data();
    void drops();
    void rtfRoundTrip_data();
    void rtfRoundTrip();
};

void TestGridCommands::contextMenu_data()
{
    QTest::addColumn<QString>("datatype");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("Text") << "Text" << QStringList{"Cut",          "Copy",          "Paste",
                                                   "Clear",        "Edit in Table", "Edit in Data Panel…",
                                                   "Import File…", "Save as File…"};
    QTest::newRow("Number") << "Number" << QStringList{"Cut", "Copy", "Paste", "Set to 0", "Edit in Table"};
    QTest::newRow("Date") << "Date" << QStringList{"Copy", "Paste", "Set to Today", "Edit in Data Panel…"};
    QTest::newRow("Yes/No") << "Yes/No" << QStringList{"Copy", "Paste", "Toggle"};
    QTest::newRow("File Path")
        << "File Path"
        << QStringList{"Cut", "Copy", "Paste", "Clear", "Edit in Data Panel…", "Set to File…", "Reveal in Finder…",
                       "Open"};
    for (const char *media : {"Image", "Video", "Audio", "Attachment"})
        QTest::newRow(media) << media
                             << QStringList{"Cut",          "Copy",         "Paste", "Clear", "Edit in Data Panel…",
                                            "Import File…", "Save as File…"};
    QTest::newRow("List") << "List"
                          << QStringList{"Cut", "Copy", "Paste", "Clear", "Edit in Table", "Edit in Data Panel…"};
    QTest::newRow("Options") << "Options" << QStringList{"Copy", "Paste", "Edit in Table"};
    QTest::newRow("Relationship") << "Relationship" << QStringList{};
}

void TestGridCommands::contextMenu()
{
    QFETCH(QString, datatype);
    QFETCH(QStringList, titles);
    QCOMPARE(LMTableDataTableView::contextMenuTitles(datatype), titles);
}

void TestGridCommands::copyPutsPlainTextAndRtf()
{
    focus("price");
    view()->copy();
    const QMimeData *data = QApplication::clipboard()->mimeData();
    QCOMPARE(data->text(), QString("1,234.50"));
    QVERIFY(data->hasFormat("text/rtf"));
    QCOMPARE(LMRichTextClipboard::plainTextFromRtf(data->data("text/rtf")), QString("1,234.50"));
    // The menu offers the same commands, in order, under the title "Actions".
    std::unique_ptr<QMenu> menu(view()->buildContextMenu());
    QCOMPARE(menu->title(), QString("Actions"));
    QStringList titles;
    for (QAction *action : menu->actions())
        titles << action->text();
    QCOMPARE(titles, LMTableDataTableView::contextMenuTitles("Number"));
}

void TestGridCommands::pasteReadsTextElseRtf()
{
    auto *data = new QMimeData;
    data->setData("text/rtf", LMRichTextClipboard::rtfFromPlainText("9,876.25"));
    QApplication::clipboard()->setMimeData(data);
    focus("price");
    view()->paste();
    QCOMPARE(grid()->objectValueForTableColumn("price", 0), Value(9876.25));
    QApplication::clipboard()->setText("From the clipboard");
    focus("title");
    view()->paste();
    QCOMPARE(stored("title"), QString("From the clipboard"));
    QApplication::clipboard()->setText("x, y");
    focus("tags");
    view()->paste();
    QCOMPARE(stored("tags"), QString("x, y"));
    QApplication::clipboard()->setText("2001-01-02");
    focus("day");
    view()->paste();
    QCOMPARE(grid()->objectValueForTableColumn("day", 0), Value::date(86400));
}

void TestGridCommands::pasteRefusesTextThatIsNoValue_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::newRow("number") << "price"
                            << "abc";
    QTest::newRow("date") << "day"
                          << "next spring";
}

void TestGridCommands::pasteRefusesTextThatIsNoValue()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    setCell(*doc, "Things", "day", id, "86400");
    grid()->refresh();
    const QString before = stored(field);
    QApplication::clipboard()->setText(text);
    focus(field);
    const int changes = totalChanges(*doc);
    view()->paste();
    QCOMPARE(env->ui().beeps(), 1);
    QCOMPARE(totalChanges(*doc), changes);
    QCOMPARE(stored(field), before);
    QVERIFY(!before.isEmpty());
}

void TestGridCommands::standardShortcutsRunTheCommands()
{
    focus("title");
    QTest::keyClick(view(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("Hello"));
    QCOMPARE(stored("title"), QString("Hello"));
    QTest::keyClick(view(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(stored("title"), QString(""));
    QApplication::clipboard()->setText("Pasted");
    QTest::keyClick(view(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(stored("title"), QString("Pasted"));
    QVERIFY(!view()->isEditingCell());
    QTest::keyClick(view(), Qt::Key_Delete);
    QCOMPARE(stored("title"), QString(""));
    // A datatype without "Cut" in its menu is left alone by the shortcut too.
    QApplication::clipboard()->setText("unchanged");
    focus("kind");
    setCell(*doc, "Things", "kind", id, "B");
    grid()->refresh();
    focus("kind");
    QTest::keyClick(view(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(stored("kind"), QString("B"));
    QCOMPARE(QApplication::clipboard()->text(), QString("unchanged"));
}

void TestGridCommands::cutCopiesThenClears()
{
    focus("title");
    view()->cut();
    QCOMPARE(QApplication::clipboard()->text(), QString("Hello"));
    QCOMPARE(stored("title"), QString(""));
    // Options and dates are not cut.
    setCell(*doc, "Things", "kind", id, "B");
    grid()->refresh();
    focus("kind");
    view()->cut();
    QCOMPARE(stored("kind"), QString("B"));
}

void TestGridCommands::valueCommands()
{
    ReferenceDate::setClock([] { return 3600.0 * 24 * 10; });
    focus("price");
    view()->setToZero();
    QCOMPARE(grid()->objectValueForTableColumn("price", 0), Value(0.0));
    setCell(*doc, "Things", "price", id, "5");
    grid()->refresh();
    focus("price");
    view()->clear();
    QCOMPARE(grid()->objectValueForTableColumn("price", 0), Value(0.0));
    focus("day");
    view()->setToToday();
    QCOMPARE(grid()->objectValueForTableColumn("day", 0), Value::date(864000));
    focus("ok");
    view()->toggleBoolean();
    QCOMPARE(stored("ok"), QString("1"));
    view()->toggleBoolean();
    QCOMPARE(stored("ok"), QString("0"));
    // Commands for another datatype leave the cell alone.
    focus("title");
    view()->setToZero();
    view()->toggleBoolean();
    QCOMPARE(stored("title"), QString("Hello"));
    ReferenceDate::setClock({});
}

void TestGridCommands::commandsWithoutFocusedCellDoNothing()
{
    view()->setToNA();
    const int before = totalChanges(*doc);
    view()->clear();
    view()->paste();
    view()->setToZero();
    view()->revealFilePathInFinder();
    QCOMPARE(totalChanges(*doc), before);
    QVERIFY(env->ui().alerts().isEmpty());
    QVERIFY(!view()->buildContextMenu());
}

void TestGridCommands::importFile()
{
    const QString text = writeFile("note.txt", "imported text");
    env->ui().answerOpenPanel({text});
    focus("title");
    view()->importFileIntoCell();
    QCOMPARE(stored("title"), QString("imported text"));
    env->ui().answerOpenPanel({text});
    focus("path");
    view()->importFileIntoCell();
    QCOMPARE(stored("path"), text);
    env->ui().answerOpenPanel({text});
    focus("file");
    view()->importFileIntoCell();
    const Value wrapper = grid()->objectValueForTableColumn("file", 0, true);
    QVERIFY(HVFileWrapper::isWrapperValue(wrapper));
    QCOMPARE(HVFileWrapper::fromValue(wrapper)->data, QByteArray("imported text"));
    QCOMPARE(HVFileWrapper::fromValue(wrapper)->name, QString("note.txt"));
    env->ui().answerOpenPanel({env->path("missing.txt")});
    focus("title");
    view()->importFileIntoCell();
    QCOMPARE(env->ui().lastAlert()->messageText, QString("File Does Not Exist"));
    QCOMPARE(stored("title"), QString("imported text"));
}

void TestGridCommands::setToFileTakesAFolder()
{
    const QString folder = env->path("Scans");
    QVERIFY(QDir().mkpath(folder));
    env->ui().answerOpenPanel({folder});
    focus("path");
    view()->importFileIntoCell();
    QVERIFY(env->ui().openPanels().last().chooseFilesOrDirectories);
    QCOMPARE(stored("path"), QFileInfo(folder).canonicalFilePath());
    // Other cells import files only; a saved document's panels start in its folder.
    QVERIFY(doc->save(env->path("Things.orvix")));
    env->ui().answerOpenPanel({});
    focus("title");
    view()->importFileIntoCell();
    QVERIFY(!env->ui().openPanels().last().chooseFilesOrDirectories);
    QCOMPARE(QFileInfo(env->ui().openPanels().last().directory), QFileInfo(env->path(".")));
}

void TestGridCommands::saveAsFileRefusesExistingPath()
{
    focus("title");
    const QString target = env->path("out.txt");
    env->ui().answerSavePanel(target);
    view()->exportCellToFile();
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("Hello"));
    file.close();
    setCell(*doc, "Things", "title", id, "Other");
    grid()->refresh();
    focus("title");
    env->ui().answerSavePanel(target);
    view()->exportCellToFile();
    QVERIFY(env->ui().lastAlert());
    QCOMPARE(env->ui().lastAlert()->messageText, QString("A file at this path already exists."));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("Hello"));
}

void TestGridCommands::revealAndOpen()
{
    QStringList opened;
    LMTableEditView::setUrlOpener([&](const QString &path, bool reveal) {
        opened << (reveal ? "reveal " : "open ") + path;
        return true;
    });
    focus("path");
    view()->revealFilePathInFinder();
    QCOMPARE(env->ui().lastAlert()->messageText, QString("File Does Not Exist"));
    QCOMPARE(env->ui().lastAlert()->informativeText, QString("There is no file at that path."));
    QCOMPARE(env->ui().lastAlert()->buttons, QStringList{"OK"});
    const QString path = writeFile("doc.txt", "x");
    QVERIFY(!grid()->setObjectValue(Value(path), "path", 0));
    focus("path");
    view()->revealFilePathInFinder();
    view()->openFilePath();
    QCOMPARE(opened, QStringList({"reveal " + path, "open " + path}));
    QCOMPARE(env->ui().alerts().size(), 1);
}

void TestGridCommands::attachmentCopyPaste()
{
    HVFileWrapper wrapper;
    wrapper.name = "data.bin";
    wrapper.data = QByteArray("\x01\x02\x03", 3);
    QVERIFY(!grid()->setObjectValue(wrapper.toValue(), "file", 0));
    focus("file");
    view()->copy();
    QCOMPARE(QApplication::clipboard()->mimeData()->data("application/octet-stream"), wrapper.data);
    view()->clear();
    QVERIFY(grid()->objectValueForTableColumn("file", 0, true).isNull());
    view()->paste();
    const std::optional<HVFileWrapper> back =
        HVFileWrapper::fromValue(grid()->objectValueForTableColumn("file", 0, true));
    QVERIFY(back);
    QCOMPARE(back->data, wrapper.data);
    QCOMPARE(back->name, QString("data.bin"));
}

void TestGridCommands::drops_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("files");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("expected"); // stored text; "@last" for the last dropped file's path
    QTest::newRow("text onto text") << "title"
                                    << "dropped" << 0 << true << "dropped";
    QTest::newRow("text onto number") << "price"
                                      << "12.00" << 0 << true << "12.0";
    QTest::newRow("files onto file path") << "path" << QString() << 2 << true << "@last";
    QTest::newRow("nothing usable onto file path") << "path"
                                                   << "text" << 0 << false << "";
    QTest::newRow("text onto date") << "day"
                                    << "2001-01-01" << 0 << false << "";
    QTest::newRow("text onto yes/no") << "ok"
                                      << "1" << 0 << false << "0";
}

void TestGridCommands::drops()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(int, files);
    QFETCH(bool, accepted);
    QFETCH(QString, expected);
    QMimeData data;
    if (!text.isNull())
        data.setText(text);
    QList<QUrl> urls;
    for (int i = 0; i < files; ++i)
        urls << QUrl::fromLocalFile(writeFile(QString("f%1.txt").arg(i), "x"));
    if (!urls.isEmpty())
        data.setUrls(urls);
    const QString before = stored(field);
    QCOMPARE(view()->dropMimeDataOnCell(&data, 0, grid()->model()->columnOfField(field)), accepted);
    if (!accepted)
        QCOMPARE(stored(field), before);
    else
        QCOMPARE(stored(field), expected == "@last" ? urls.last().toLocalFile() : expected);
}

void TestGridCommands::rtfRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "Hello";
    QTest::newRow("braces and backslash") << "a{b}\\c";
    QTest::newRow("lines and tabs") << "one\ntwo\tthree";
    QTest::newRow("non-ASCII") << "Grüße — 東京";
}

void TestGridCommands::rtfRoundTrip()
{
    QFETCH(QString, text);
    QCOMPARE(LMRichTextClipboard::plainTextFromRtf(LMRichTextClipboard::rtfFromPlainText(text)), text);
    // RTF as other programs write it: tables and destination groups are skipped, \'hh and \u decoded.
    const QByteArray foreign = "{\\rtf1\\ansi{\\fonttbl\\f0\\fnil Helvetica;}{\\colortbl;\\red0\\green0\\blue0;}"
                               "{\\*\\expandedcolortbl;;}\\pard\\f0 caf\\'e9 \\u8364? 5\\par\n}";
    QCOMPARE(LMRichTextClipboard::plainTextFromRtf(foreign), QString("café € 5\n"));
}

QTEST_MAIN(TestGridCommands)
#include "test_grid_commands.moc"
