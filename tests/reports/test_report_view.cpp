// The report tab: pages of the paged text view, the design/preview cycle, the name sheet, the content-table
// pop-up, deletion, page setup, formatting, and the text-table formula.
#include "DesignFixture.h"
#include "LMReportDocument.h"
#include "LMReportPageLayout.h"
#include "LMReportPanels.h"
#include "LMReportPreviewBar.h"
#include "LMReportPrintableMailMerge.h"
#include "LMReportPrinter.h"
#include "LMReportTextTableSheet.h"
#include "LMReportTextView.h"
#include "LMReportView.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "PrintInfoCodec.h"
#include "RecordingNavigator.h"
#include "RichTextCodec.h"
#include "TestEnvironment.h"
#include "support/ReportFixture.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QComboBox>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QtTest>

namespace {
// A letter page with one-inch margins: 612 x 792 points, 468 x 648 printable.
QPageLayout letter()
{
    return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(72, 72, 72, 72),
                       QPageLayout::Point);
}

// A template whose text has every kind of formatting the stored form keeps.
std::unique_ptr<QTextDocument> richTemplate(const QString &text)
{
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);
    QTextCharFormat title;
    title.setFontFamilies({QStringLiteral("DejaVu Serif")});
    title.setFontPointSize(18);
    title.setFontWeight(QFont::Bold);
    title.setForeground(QColor(0x20, 0x40, 0x80));
    cursor.insertText(QStringLiteral("Title "), title);
    QTextCharFormat body;
    body.setFontItalic(true);
    cursor.insertText(text, body);
    cursor.insertTable(2, 2)->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("cell"));
    return document;
}

int pageOfBlockTop(const LMReportTextView &view, const QTextBlock &block)
{
    const QRectF rect = view.textStorage()->documentLayout()->blockBoundingRect(block);
    for (int page = 1; page <= view.numberOfPages(); ++page)
        if (qAbs(rect.top() - view.textOriginOfPage(page).y()) < 0.5)
            return page;
    return 0;
}
} // namespace

class TestReportView : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<MyDocument> document;
    RecordingNavigator navigator;
    // The tab's view, which owns its controller as in the window.
    std::unique_ptr<LMIdentifiedView> shown;

    LMReportView *open(const Value &report)
    {
        auto controller = std::make_unique<LMReportView>(context(), report);
        LMReportView *raw = controller.get();
        shown.reset(raw->view());
        shown->adoptController(std::move(controller));
        return raw;
    }

    LMViewContext context()
    {
        LMViewContext c;
        c.document = document.get();
        c.database = document->database();
        c.navigator = &navigator;
        return c;
    }

    // A stored report on `table` with a template, on letter paper.
    Value addReport(const QString &name, const QString &table, const QTextDocument &templ)
    {
        Value report = Value::dict({{QStringLiteral("Name"), name},
                                    {QStringLiteral("Content Table"), table},
                                    {QStringLiteral("Attributed String"), LMReportDocument::storedTemplate(templ)},
                                    {QStringLiteral("Print Info"), PrintInfoCodec::encode(letter())}});
        document->reports().append(report);
        return report;
    }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        QString error;
        document = ReportFixture::salesDocument(&error);
        QVERIFY2(document, qPrintable(error));
        navigator = RecordingNavigator();
    }

    void cleanup()
    {
        shown.reset();
        document.reset();
        env.reset();
        LMReportTextTableSheet::setPrompt({});
        LMReportPanels::setPageSetup({});
        LMReportPanels::setPrint({});
        LMReportPanels::setFontPanel({});
        LMReportPanels::setColourPanel({});
    }

    void pageGeometry()
    {
        const LMReportPageLayout pages(letter());
        QCOMPARE(pages.printableSize(), QSizeF(468, 648));
        QCOMPARE(pages.rectForPage(1), QRectF(0, 0, 612, 792));
        QCOMPARE(pages.rectForPage(3), QRectF(0, 2 * (792 + 8), 612, 792));
        QCOMPARE(pages.stackHeight(3), 3 * 792.0 + 2 * 8);
        QCOMPARE(LMReportPageLayout::pageSeparatorHeight, 8.0);
        // A page setup that cannot be read falls back rather than failing.
        QCOMPARE(LMReportPageLayout::fromPrintInfo(Value::dict({{"Print Info Version", 9}}), letter()), letter());
        QCOMPARE(LMReportPageLayout::fromPrintInfo(PrintInfoCodec::encode(letter())).pageSize().id(),
                 QPageSize::Letter);
    }

    void pagesFollowTheText_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("pages");
        // Lines of 24 points: 27 fill a 648-point page exactly.
        QTest::newRow("one line") << 1 << 1;
        QTest::newRow("page filled exactly") << 27 << 1;
        QTest::newRow("one line more") << 28 << 2;
        QTest::newRow("two pages filled exactly") << 54 << 2;
        QTest::newRow("three pages") << 60 << 3;
    }

    void pagesFollowTheText()
    {
        QFETCH(int, lines);
        QTextDocument text;
        QTextBlockFormat exact;
        exact.setLineHeight(24, QTextBlockFormat::FixedHeight);
        exact.setTopMargin(0);
        exact.setBottomMargin(0);
        QTextCursor cursor(&text);
        cursor.setBlockFormat(exact);
        for (int i = 0; i < lines; ++i) {
            if (i > 0)
                cursor.insertBlock(exact);
            cursor.insertText(QStringLiteral("line %1").arg(i + 1));
        }
        // Points as device units, so the line height is exact on every screen.
        LMReportPageLayout(letter()).applyTo(text, 1.0, 8);
        QTEST(LMReportPageLayout::pageCount(text), "pages");
        // Deleting the text takes the trailing pages away again.
        cursor.select(QTextCursor::Document);
        cursor.removeSelectedText();
        QCOMPARE(LMReportPageLayout::pageCount(text), 1);
    }

    void formFeedsStartPages_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("plain");
        QTest::newRow("inside a paragraph") << "one\ftwo" << 2 << "one\ntwo";
        QTest::newRow("ending a paragraph") << "one\f\ntwo" << 2 << "one\ntwo";
        QTest::newRow("starting a paragraph") << "one\n\ftwo" << 2 << "one\ntwo";
        QTest::newRow("two feeds") << "a\fb\fc" << 3 << "a\nb\nc";
        QTest::newRow("leading feed") << "\fa" << 1 << "a";
        QTest::newRow("none") << "a\nb" << 1 << "a\nb";
    }

    void formFeedsStartPages()
    {
        QFETCH(QString, text);
        QTextDocument document;
        document.setPlainText(text);
        LMReportPrinter::breakPagesAtFormFeeds(document);
        QTEST(document.toPlainText(), "plain");
        LMReportPageLayout(letter()).applyTo(document, 1.0, 8);
        QTEST(LMReportPageLayout::pageCount(document), "pages");
    }

    void mailMergePreviewsOnePagePerRecord()
    {
        auto templ = richTemplate(QStringLiteral("Dear <<Name>>,\nyour order."));
        const Value report = addReport(QStringLiteral("Letters"), QStringLiteral("Sales"), *templ);
        const Value storedBefore = report.value(QStringLiteral("Attributed String")).deepCopy();
        LMReportView &view = *open(report);
        QCOMPARE(view.contentTablePopUp()->currentText(), QStringLiteral("Sales"));
        QVERIFY(view.textView()->isEditable());

        view.switchMode();
        QVERIFY(view.isPreviewing());
        QVERIFY(!view.textView()->isEditable());
        QCOMPARE(view.previewBar()->message(), QStringLiteral("This is a preview of your report."));
        QCOMPARE(view.previewBar()->progress(), 1.0f);
        LMReportTextView *pages = view.textView();
        QCOMPARE(pages->numberOfPages(), 3);
        // Each record's letter starts at the top of its own page.
        QStringList found;
        for (QTextBlock b = pages->textStorage()->begin(); b.isValid(); b = b.next()) {
            if (b.text().startsWith(QLatin1String("Title Dear"))) {
                found << b.text();
                QCOMPARE(pageOfBlockTop(*pages, b), int(found.size()));
                // Every page keeps the template's first paragraph format.
                QCOMPARE(b.blockFormat().alignment(), Qt::AlignHCenter);
            }
        }
        QCOMPARE(found, (QStringList{"Title Dear Apple,", "Title Dear banana,", "Title Dear Cherry,"}));

        // Saving while in preview stores the template, not the letters.
        view.cleanUp();
        QCOMPARE(report.value(QStringLiteral("Attributed String")).value("Formats"), storedBefore.value("Formats"));
        QCOMPARE(report.value(QStringLiteral("Attributed String")).value("Blocks"), storedBefore.value("Blocks"));
        QCOMPARE(report.value(QStringLiteral("Attributed String")), storedBefore);
        QVERIFY(!document->isChanged());

        view.switchMode();
        QVERIFY(!view.isPreviewing());
        QVERIFY(view.textView()->isEditable());
        QCOMPARE(LMReportDocument::storedTemplate(*view.textView()->textStorage()), storedBefore);
        QCOMPARE(view.textView()->numberOfPages(), 1);
    }

    void newReportIsMadeWhenNamed()
    {
        addReport(QStringLiteral("Taken"), QStringLiteral("None"), *ReportFixture::textDocument("x"));
        LMReportView &view = *open(Value());
        QCOMPARE(document->reports().size(), 1);
        // Empty and taken names beep and the sheet stays with what was typed; then a free name is taken.
        env->ui().answerTextInput(QString());
        env->ui().answerTextInput(QStringLiteral("Taken"));
        env->ui().answerTextInput(QStringLiteral("Invoices"));
        view.contentTablePopUp()->setCurrentText(QStringLiteral("Customers"));
        QVERIFY(view.askForNameOpenButton());
        QCOMPARE(env->ui().beeps(), 2);
        const QList<TextInputOptions> &asked = env->ui().textInputs();
        QCOMPARE(asked.size(), 3);
        QCOMPARE(asked.at(0).text, QStringLiteral("New Report"));
        QCOMPARE(asked.at(2).text, QStringLiteral("Taken"));
        QCOMPARE(document->reports().size(), 2);
        const Value made = document->reportNamed(QStringLiteral("Invoices"));
        QVERIFY(made.isSameContainer(view.report()));
        QCOMPARE(made.value("Content Table").toString(), QStringLiteral("Customers"));
        QCOMPARE(navigator.tabLabel, QStringLiteral("Invoices"));
        QCOMPARE(navigator.argumentsOf("reloadSourceListExpanding"), QStringList{"Reports"});
        QVERIFY(document->isChanged());

        // Renaming keeps the record, and cancelling the sheet changes nothing.
        env->ui().answerTextInput(QStringLiteral("Bills"));
        QVERIFY(view.askForNameOpenButton());
        QCOMPARE(made.value("Name").toString(), QStringLiteral("Bills"));
        QCOMPARE(document->reports().size(), 2);
        QVERIFY(!view.askForNameOpenButton());
        QCOMPARE(made.value("Name").toString(), QStringLiteral("Bills"));
    }

    void unnamedReportLeavesNothing()
    {
        {
            LMReportView &view = *open(Value());
            QVERIFY(!view.askForNameOpenButton());
            view.textView()->textCursor().insertText(QStringLiteral("typed"));
            view.cleanUp();
            shown.reset();
        }
        QCOMPARE(document->reports().size(), 0);
        QVERIFY(!document->isChanged());
    }

    void contentTablePopUpFollowsTables()
    {
        const Value report =
            addReport(QStringLiteral("R"), QStringLiteral("Customers"), *ReportFixture::textDocument("x"));
        LMReportView &view = *open(report);
        QComboBox *popUp = view.contentTablePopUp();
        QCOMPARE(popUp->itemText(popUp->count() - 1), QStringLiteral("None"));
        QCOMPARE(popUp->count(), document->database()->tablesList().size() + 1);
        view.itemDidRename(ItemKind::Table, QStringLiteral("Customers"), QStringLiteral("Clients"));
        QCOMPARE(popUp->currentText(), QStringLiteral("Clients"));
        QCOMPARE(report.value("Content Table").toString(), QStringLiteral("Clients"));
        view.itemDidDelete(ItemKind::Table, QStringLiteral("Sales"));
        QCOMPARE(popUp->currentText(), QStringLiteral("Clients"));
        QCOMPARE(popUp->findText(QStringLiteral("Sales")), -1);
        view.itemDidDelete(ItemKind::Table, QStringLiteral("Clients"));
        QCOMPARE(popUp->currentText(), QStringLiteral("None"));
        QCOMPARE(report.value("Content Table").toString(), QStringLiteral("None"));
        // Choosing a table in the pop-up is the report's content table.
        popUp->setCurrentText(QStringLiteral("N"));
        QCOMPARE(report.value("Content Table").toString(), QStringLiteral("N"));
    }

    void deleteMeAsksTheWindow()
    {
        const Value report = addReport(QStringLiteral("R"), QStringLiteral("None"), *ReportFixture::textDocument("x"));
        LMReportView &view = *open(report);
        view.deleteMe();
        QCOMPARE(navigator.calls, (QStringList{"switchToOverview", "removeItem Report R"}));
        QVERIFY(env->ui().alerts().isEmpty());
    }

    void pageSetupAndFormattingSurviveSaveAndReopen()
    {
        auto templ = richTemplate(QStringLiteral("plain"));
        const Value report = addReport(QStringLiteral("R"), QStringLiteral("None"), *templ);
        const QPageLayout landscape(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(20, 30, 40, 50),
                                    QPageLayout::Point);
        {
            LMReportView &view = *open(report);
            LMReportPanels::setPageSetup([&](const QPageLayout &, QWidget *) { return std::optional(landscape); });
            view.startPageLayoutSheet();
            QCOMPARE(view.textView()->printInfo(), landscape);
            // Bold toggles on the selection, and off again.
            QTextCursor cursor = view.textView()->textCursor();
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(QStringLiteral(" bold"));
            cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 4);
            view.textView()->setTextCursor(cursor);
            const auto last = [&] {
                QTextCursor end(view.textView()->textStorage());
                end.movePosition(QTextCursor::End);
                return end.charFormat();
            };
            view.boldCurrent();
            QCOMPARE(last().fontWeight(), int(QFont::Bold));
            view.boldCurrent();
            QCOMPARE(last().fontWeight(), int(QFont::Normal));
            view.boldCurrent();
            view.italicCurrent();
            view.underline();
            QVERIFY(last().fontUnderline());
            view.cleanUp();
            shown.reset();
        }
        QVERIFY(document->isChanged());
        const QString package = env->path("R.orvix");
        QString error;
        QVERIFY2(document->save(package, QStringLiteral("Orvix"), &error), qPrintable(error));
        std::unique_ptr<MyDocument> reopened = MyDocument::open(package, QStringLiteral("Orvix"), &error);
        QVERIFY2(reopened, qPrintable(error));
        const Value again = reopened->reportNamed(QStringLiteral("R"));
        QCOMPARE(LMReportPageLayout::fromPrintInfo(again.value("Print Info")), landscape);
        QCOMPARE(again.value("Attributed String"), report.value("Attributed String"));
        const std::unique_ptr<QTextDocument> text = LMReportDocument::templateForReport(again);
        QCOMPARE(text->begin().begin().fragment().charFormat().foreground().color(), QColor(0x20, 0x40, 0x80));
        QCOMPARE(text->begin().begin().fragment().charFormat().fontPointSize(), 18.0);
        QVERIFY(text->rootFrame()->childFrames().size() == 1 &&
                qobject_cast<QTextTable *>(text->rootFrame()->childFrames().at(0)));
        QVERIFY(text->toPlainText().endsWith(QStringLiteral("\n bold")));
    }

    void printingThroughThePanel()
    {
        const Value report = addReport(QStringLiteral("R"), QStringLiteral("None"), *ReportFixture::textDocument("x"));
        LMReportView &view = *open(report);
        // The print panel gets the report's page setup; cancelled, nothing is printed.
        QPageLayout offered;
        LMReportPanels::setPrint([&](QPrinter *printer, QWidget *) {
            offered = printer->pageLayout();
            return false;
        });
        view.printReport();
        QCOMPARE(offered.pageSize().id(), QPageSize::Letter);
        const QString pdf = env->path("r.pdf");
        env->ui().answerSavePanel(pdf);
        view.saveAsPdf();
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("%PDF-"));
    }

    void fontAndColourPanelsFormatTheSelection()
    {
        const Value report = addReport(QStringLiteral("R"), QStringLiteral("None"), *ReportFixture::textDocument("ab"));
        LMReportView &view = *open(report);
        QTextCursor cursor = view.textView()->textCursor();
        cursor.setPosition(0);
        cursor.setPosition(1, QTextCursor::KeepAnchor);
        view.textView()->setTextCursor(cursor);
        QFont chosen(QStringLiteral("DejaVu Sans Mono"));
        chosen.setPointSize(20);
        LMReportPanels::setFontPanel([&](const QFont &, QWidget *) { return std::optional(chosen); });
        LMReportPanels::setColourPanel([](const QColor &, QWidget *) { return std::optional(QColor(Qt::red)); });
        view.fontCurrent();
        view.colourCurrent();
        QTextCursor first(view.textView()->textStorage());
        first.setPosition(1);
        QCOMPARE(first.charFormat().fontPointSize(), 20.0);
        QCOMPARE(first.charFormat().fontFamilies().toStringList().value(0), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(first.charFormat().foreground().color(), QColor(Qt::red));
        first.setPosition(2);
        QVERIFY(first.charFormat().foreground().color() != QColor(Qt::red));
        // Cancelled panels change nothing; in preview the text cannot be formatted.
        LMReportPanels::setColourPanel([](const QColor &, QWidget *) { return std::optional<QColor>(); });
        view.colourCurrent();
        first.setPosition(1);
        QCOMPARE(first.charFormat().foreground().color(), QColor(Qt::red));
    }

    void printableMailMergePrintsOnePagePerRecord()
    {
        const auto templ = ReportFixture::textDocument(QStringLiteral("Dear <<Name>>"));
        const Value report = addReport(QStringLiteral("R"), QStringLiteral("Sales"), *templ);
        const std::unique_ptr<QTextDocument> evaluated =
            LMReportDocument::evaluate(*templ, QStringLiteral("Sales"), *document->database());
        LMReportPrintableMailMerge printable(report, *evaluated);
        QCOMPARE(printable.printInfo().pageSize().id(), QPageSize::Letter);
        QCOMPARE(printable.numberOfPages(), 3);
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        QPdfWriter writer(&pdf);
        QCOMPARE(printable.printTo(writer), 3);
        // The evaluated text given is left as it was.
        QCOMPARE(evaluated->toPlainText(), QStringLiteral("Dear Apple\fDear banana\fDear Cherry"));
        LMReportPanels::setPrint([](QPrinter *, QWidget *) { return false; });
        QVERIFY(!printable.printReport());
    }

    void textTableFormula_data()
    {
        QTest::addColumn<QList<bool>>("shown");
        QTest::addColumn<QStringList>("options"); // limit first count, header, side, data, alternating colours
        QTest::addColumn<QString>("formula");
        const QList<bool> all{true, true, true};
        QTest::newRow("plain") << all << QStringList{"", "", "", "", "", "ffffff", ""} << "@@T.:asTable@@";
        QTest::newRow("default header is bare")
            << all << QStringList{"", "", "", "e1e1e1", "", "ffffff", ""} << "@@T.:asTable.:header@@";
        QTest::newRow("coloured header and side") << all << QStringList{"", "", "", "FF0000", "e1e1e1", "ffffff", ""}
                                                  << "@@T.:asTable.:header(ff0000).:side@@";
        QTest::newRow("limit and some fields")
            << QList<bool>{true, false, true} << QStringList{"on", "2", "5", "", "", "ffffff", ""}
            << "@@T.:asTable.:limit(2, 5).:showOnly(id, B)@@";
        QTest::newRow("limit with a zero is left out")
            << all << QStringList{"on", "0", "5", "", "", "ffffff", ""} << "@@T.:asTable@@";
        QTest::newRow("data and alternating") << all << QStringList{"", "", "", "", "", "fafafa", "edf4ff"}
                                              << "@@T.:asTable.:data(fafafa).:alternating@@";
        QTest::newRow("coloured alternating")
            << all << QStringList{"", "", "", "", "", "ffffff", "cccccc"} << "@@T.:asTable.:alternating(cccccc)@@";
        QTest::newRow("no field shown") << QList<bool>{false, false, false}
                                        << QStringList{"", "", "", "", "", "ffffff", ""} << "@@T.:asTable@@";
    }

    void textTableFormula()
    {
        QFETCH(QList<bool>, shown);
        QFETCH(QStringList, options);
        LMReportTextTableSheet::Settings s;
        s.table = QStringLiteral("T");
        s.fields = QStringList{"id", "A", "B"};
        s.shown = shown;
        s.limit = !options.at(0).isEmpty();
        s.first = options.at(1);
        s.count = options.at(2);
        s.header = !options.at(3).isEmpty();
        s.headerColour = s.header ? options.at(3) : s.headerColour;
        s.side = !options.at(4).isEmpty();
        s.sideColour = s.side ? options.at(4) : s.sideColour;
        s.dataColour = options.at(5);
        s.alternating = !options.at(6).isEmpty();
        s.alternatingColour = s.alternating ? options.at(6) : s.alternatingColour;
        QTEST(LMReportTextTableSheet::formula(s), "formula");
    }

    void textTableSheetInsertsItsFormula()
    {
        const std::optional<LMReportTextTableSheet::Settings> sales =
            LMReportTextTableSheet::settingsForTable(*document, QStringLiteral("Sales"));
        QVERIFY(sales);
        QCOMPARE(sales->count, QStringLiteral("3"));
        QCOMPARE(sales->first, QStringLiteral("1"));
        QCOMPARE(sales->shown.size(), sales->fields.size());
        QVERIFY(!LMReportTextTableSheet::settingsForTable(*document, QStringLiteral("Nope")));

        const Value report = addReport(QStringLiteral("R"), QStringLiteral("None"), *ReportFixture::textDocument(""));
        LMReportView &view = *open(report);
        LMReportTextTableSheet::setPrompt([&](MyDocument &, QWidget *) {
            LMReportTextTableSheet::Settings s = *sales;
            s.header = true;
            return std::optional<LMReportTextTableSheet::Settings>(s);
        });
        view.insertTextTable();
        QCOMPARE(view.textView()->toPlainText(), QStringLiteral("@@Sales.:asTable.:header@@"));
        // A table that is not in the document inserts nothing.
        LMReportTextTableSheet::setPrompt([&](MyDocument &, QWidget *) {
            LMReportTextTableSheet::Settings s = *sales;
            s.table = QStringLiteral("Gone");
            return std::optional<LMReportTextTableSheet::Settings>(s);
        });
        view.insertTextTable();
        QCOMPARE(view.textView()->toPlainText(), QStringLiteral("@@Sales.:asTable.:header@@"));
    }
};

QTEST_MAIN(TestReportView)
#include "test_report_view.moc"
