// Report export: each format carries the report's text and its paper size and margins; a report that cannot be
// produced gives nothing; PDFs are checked with pdfinfo.
#include "LMExportController.h"
#include "LMExportFormats.h"
#include "LMOdtWriter.h"
#include "LMReportDocument.h"
#include "LMReportImporterExporter.h"
#include "MyDocument.h"
#include "PrintInfoCodec.h"
#include "TestEnvironment.h"
#include "support/ExportFixture.h"

#include <QBuffer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QtTest>

using namespace ExportFixture;

namespace {
// A5 landscape (595.28 x 419.53 points) with margins that differ on every side.
QPageLayout a5Landscape()
{
    return QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(36, 18, 54, 72), QPageLayout::Point);
}

// "Name: <<Name>>" in bold, then a table cell, as a mail merge over People.
Value letterTemplate()
{
    QTextDocument templ;
    QTextCursor cursor(&templ);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("Name: <<Name>> für dich"), bold);
    cursor.insertTable(1, 2)->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("cell"));
    return LMReportDocument::storedTemplate(templ);
}

QString pdfInfo(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

class TestReportExport : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<MyDocument> doc;

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        doc = newDocument();
        QVERIFY(addTable(*doc, "People", {{"Name", "Text"}}));
        for (const char *name : {"Ada", "Bo", "Cy"})
            QVERIFY(insertRow(*doc, "People", {QString::fromLatin1(name)}));
        doc->reports().append(Value::dict({{"Name", "Letter"},
                                           {"Content Table", "People"},
                                           {"Attributed String", letterTemplate()},
                                           {"Print Info", PrintInfoCodec::encode(a5Landscape())}}));
        doc->reports().append(Value::dict({{"Name", "Empty"}, {"Content Table", "None"}}));
    }

    void cleanup()
    {
        doc.reset();
        env.reset();
    }

    void nothingForAReportThatCannotBeProduced_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("type");
        QTest::newRow("missing") << "Nope"
                                 << "rtf";
        QTest::newRow("no template") << "Empty"
                                     << "txt";
        QTest::newRow("unknown type") << "Letter"
                                      << "xls";
        // Types are matched exactly, as the command line passes them.
        QTest::newRow("type in capitals") << "Letter"
                                          << "PDF";
    }

    void nothingForAReportThatCannotBeProduced()
    {
        QFETCH(QString, report);
        QFETCH(QString, type);
        QVERIFY(!LMReportImporterExporter::exportReport(report, *doc, type));
    }

    void everyReportFormatIsARowOfTheTable()
    {
        QCOMPARE(LMReportImporterExporter::types(), (QStringList{"doc", "rtf", "txt", "odt", "html", "pdf"}));
        QCOMPARE(LMExportFormats::extensions(LMExportSource::Table), (QStringList{"csv", "tsv", "sql", "html"}));
        for (const LMExportSource source : {LMExportSource::Table, LMExportSource::Report}) {
            for (const LMExportFormat &format : LMExportFormats::of(source)) {
                QCOMPARE(format.source, source);
                QVERIFY(!format.title.isEmpty());
                QCOMPARE(LMExportFormats::find(source, format.extension.toUpper()), &format);
            }
        }
        QVERIFY(!LMExportFormats::find(LMExportSource::Table, "pdf"));
        // A report row's writer is what exportReport runs: the same bytes, page breaks and all.
        const LMExportFormat *rtf = LMExportFormats::find(LMExportSource::Report, "rtf");
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QString error;
        QVERIFY2(rtf->write(buffer, *doc, "Letter", Value(), &error), qPrintable(error));
        QCOMPARE(std::optional<QByteArray>(buffer.data()),
                 LMReportImporterExporter::exportReport("Letter", *doc, "rtf"));
        QVERIFY(!rtf->write(buffer, *doc, "Nope", Value(), &error));
        QCOMPARE(error, QStringLiteral("There is no report named \"Nope\"."));
    }

    void plainTextIsUtf16WithAByteOrderMark()
    {
        const std::optional<QByteArray> data = LMReportImporterExporter::exportReport("Letter", *doc, "txt");
        QVERIFY(data);
        QVERIFY(data->size() % 2 == 0);
        // The mark in the machine's byte order, then the text.
        const char16_t mark = 0xFEFF;
        QCOMPARE(data->left(2), QByteArray(reinterpret_cast<const char *>(&mark), 2));
        const QString text =
            QString::fromUtf16(reinterpret_cast<const char16_t *>(data->constData()) + 1, data->size() / 2 - 1);
        // Pages stay separated by form feeds in plain text.
        QCOMPARE(text.count(QChar(12)), 2);
        QVERIFY(text.contains(QStringLiteral("Name: Bo für dich")));
    }

    void rtfAndWordCarryPaperAndMargins_data()
    {
        QTest::addColumn<QString>("type");
        QTest::newRow("rtf") << "rtf";
        QTest::newRow("word") << "doc";
    }

    void rtfAndWordCarryPaperAndMargins()
    {
        QFETCH(QString, type);
        const std::optional<QByteArray> data = LMReportImporterExporter::exportReport("Letter", *doc, type);
        QVERIFY(data);
        QVERIFY(data->startsWith("{\\rtf1"));
        // Twips: 595.28 x 419.53 points landscape; margins 36, 54, 18, 72.
        QVERIFY(data->contains("\\paperw11906\\paperh8391\\margl720\\margr1080\\margt360\\margb1440\\landscape"));
        QVERIFY(data->contains("\\b Name: Ada f\\u252?r dich}"));
        QCOMPARE(data->count("\\pagebb"), 2);
        QCOMPARE(data->count("\\trowd"), 3);
        QVERIFY(data->contains("cell}\\cell"));
        QVERIFY(data->endsWith("}\n"));
        int depth = 0;
        for (int i = 0; i < data->size(); ++i) {
            if (data->at(i) == '\\') {
                ++i;
                continue;
            }
            depth += data->at(i) == '{' ? 1 : data->at(i) == '}' ? -1 : 0;
            QVERIFY(depth >= 0);
        }
        QCOMPARE(depth, 0);
    }

    void openDocumentStylesCarryPaperAndMargins()
    {
        const std::optional<QByteArray> data = LMReportImporterExporter::exportReport("Letter", *doc, "odt");
        QVERIFY(data);
        const auto entries = LMOdtWriter::readZip(*data);
        QVERIFY(entries);
        QCOMPARE(entries->first().first, QStringLiteral("mimetype"));
        QCOMPARE(entries->first().second, QByteArray("application/vnd.oasis.opendocument.text"));
        QHash<QString, QByteArray> files;
        for (const auto &e : *entries)
            files.insert(e.first, e.second);
        QVERIFY(files.value("META-INF/manifest.xml").contains("manifest:full-path=\"styles.xml\""));
        const QByteArray styles = files.value("styles.xml");
        QVERIFY(styles.contains("fo:page-width=\"595.28pt\" fo:page-height=\"419.53pt\" "
                                "style:print-orientation=\"landscape\" fo:margin-left=\"36.00pt\" "
                                "fo:margin-right=\"54.00pt\" fo:margin-top=\"18.00pt\" fo:margin-bottom=\"72.00pt\""));
        QVERIFY(styles.contains("<style:master-page style:name=\"Standard\" style:page-layout-name=\"pm1\"/>"));
        const QByteArray content = files.value("content.xml");
        QVERIFY(content.contains("Cy"));
        QCOMPARE(content.count("fo:break-before=\"page\""), 1); // one shared paragraph style for both breaks
        // The stored archive reads back entry for entry.
        QCOMPARE(*LMOdtWriter::readZip(LMOdtWriter::writeZip(*entries)), *entries);
        QVERIFY(!LMOdtWriter::readZip(data->left(data->size() - 30)));
    }

    void htmlHasThePageRule()
    {
        const std::optional<QByteArray> data = LMReportImporterExporter::exportReport("Letter", *doc, "html");
        QVERIFY(data);
        QVERIFY(data->contains("@page { size: 595.28pt 419.53pt; margin: 18.00pt 54.00pt 72.00pt 36.00pt; }"));
        QVERIFY(data->contains("page-break-before:always"));
        QVERIFY(QString::fromUtf8(*data).contains(QStringLiteral("für dich")));
    }

    void pdfHasOnePagePerRecordOfThePaperSize()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            QSKIP("pdfinfo (poppler-utils) is not installed");
        const std::optional<QByteArray> data = LMReportImporterExporter::exportReport("Letter", *doc, "pdf");
        QVERIFY(data);
        const QString path = env->path("letter.pdf");
        QVERIFY(writeFile(path, *data));
        const QString info = pdfInfo(path);
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))), qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595 x 420 pts"))), qPrintable(info));
    }

    void exportSheetWritesReports()
    {
        LMExportController controller(doc.get());
        controller.setMode("Report");
        QVERIFY(controller.setSource("Letter"));
        QVERIFY(controller.selectFormatForExtension("rtf"));
        const QString path = env->path("letter.rtf");
        QVERIFY(!controller.writeToPath(path));
        QVERIFY(readFile(path).contains("\\paperw11906"));
        QVERIFY(controller.selectFormatForExtension("pdf"));
        QVERIFY(controller.setSource("Empty"));
        QVERIFY(controller.writeToPath(env->path("empty.pdf")));
        QVERIFY(!QFile::exists(env->path("empty.pdf")));
    }
};

QTEST_MAIN(TestReportExport)
#include "test_report_export.moc"
