// Tests of the data panel's panes: each datatype's value goes into its editor and comes back into the cell.
#include "DesignFixture.h"
#include "HVFileWrapper.h"
#include "LMDataPanel.h"
#include "LMDataPanelAttachmentWell.h"
#include "LMDataPanelFilePathWell.h"
#include "LMDataPanelImageWell.h"
#include "LMDataPanelMovieView.h"
#include "LMDataPanelTokenField.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "OXMovie.h"
#include "ReferenceDate.h"
#include "TestEnvironment.h"
#include "support/DataPanelFixture.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

using namespace DataPanelFixture;

class TestDataPanelPanes : public QObject {
    Q_OBJECT

private:
    TestEnvironment m_env;
    std::unique_ptr<MyDocument> m_doc;
    std::unique_ptr<DataPanelFakeGrid> m_grid;
    LMDataPanel *m_panel = nullptr;

    QString id(int row) const { return m_grid->idForRow(row); }
    QString cell(const QString &column, int row) { return cellText(*m_doc, column, id(row)); }
    Value nativeCell(const QString &column, int row)
    {
        return m_doc->database()->dbToNativeForTable(cell(column, row), kTable, column);
    }
    void showCell(const QString &column, int row) { m_panel->startEditingForDatasource(m_grid.get(), column, row); }
    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_env.path(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QString();
        return path;
    }
    static QImage picture(const QColor &color)
    {
        QImage image(6, 4, QImage::Format_ARGB32);
        image.fill(color);
        return image;
    }
    static void drop(QWidget *target, QMimeData *mime)
    {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

private slots:
    void initTestCase()
    {
        m_panel = LMDataPanel::sharedManager();
        m_panel->toggle();
    }

    void init()
    {
        QString error;
        m_doc = newDocument(2, &error);
        QVERIFY2(m_doc, qPrintable(error));
        m_grid = std::make_unique<DataPanelFakeGrid>(*m_doc);
        m_env.ui().reset();
        m_panel->documentDidBecomeInvalid();
        if (m_panel->shouldSkip())
            m_panel->toggle();
        m_panel->windowDidBecomeKey();
    }

    void cleanup()
    {
        ReferenceDate::setClock({});
        m_grid.reset();
        m_panel->documentDidBecomeInvalid();
        m_doc.reset();
    }

    void textRoundTrip()
    {
        QVERIFY(store(*m_doc, Value("first line\nsecond line"), QStringLiteral("Title"), id(0)));
        showCell(QStringLiteral("Title"), 0);
        QCOMPARE(m_panel->textCtrl()->toPlainText(), QStringLiteral("first line\nsecond line"));
        QCOMPARE(m_panel->value(), Value("first line\nsecond line"));
        m_panel->textCtrl()->setPlainText(QStringLiteral("it's new\nand 'quoted'"));
        m_panel->complete();
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("it's new\nand 'quoted'"));
        showCell(QStringLiteral("Title"), 1);
        showCell(QStringLiteral("Title"), 0);
        QCOMPARE(m_panel->textCtrl()->toPlainText(), QStringLiteral("it's new\nand 'quoted'"));
    }

    // An empty cell shows as empty text, and merely looking at it writes nothing (nor trips its rules).
    void emptyTextCellStaysUntouched()
    {
        showCell(QStringLiteral("Code"), 0);
        QCOMPARE(m_panel->textCtrl()->toPlainText(), QString());
        m_panel->complete();
        m_panel->windowDidResignKey();
        QVERIFY(m_grid->writes.isEmpty());
        QVERIFY(m_env.ui().alerts().isEmpty());
        QVERIFY(cell(QStringLiteral("Code"), 0).isEmpty());
    }

    void dateLoadsIntoBothControls()
    {
        const Value when = Value::date(700000000); // 2023-03-07 20:26:40 UTC
        QVERIFY(store(*m_doc, when, QStringLiteral("When"), id(0)));
        showCell(QStringLiteral("When"), 0);
        QVERIFY(m_panel->hasDate());
        QCOMPARE(m_panel->numCtrl1()->dateTime(), when.toDateTime().toLocalTime());
        QCOMPARE(m_panel->numCtrl2()->selectedDate(), when.toDateTime().toLocalTime().date());
        QCOMPARE(m_panel->value(), when);
        m_panel->complete(); // unchanged
        QVERIFY(m_grid->writes.isEmpty());
    }

    void calendarChangeSetsTheMainFieldAndWritesAtOnce()
    {
        const Value when = Value::date(700000000);
        QVERIFY(store(*m_doc, when, QStringLiteral("When"), id(0)));
        showCell(QStringLiteral("When"), 0);
        const QDateTime shown = when.toDateTime().toLocalTime();
        m_panel->numCtrl2()->setSelectedDate(shown.date().addDays(3));
        QCOMPARE(m_panel->numCtrl1()->date(), shown.date().addDays(3));
        QCOMPARE(m_panel->numCtrl1()->time(), shown.time());
        QCOMPARE(m_grid->writes.size(), 1);
        QCOMPARE(nativeCell(QStringLiteral("When"), 0), Value::date(700000000 + 3 * 86400));
    }

    void mainFieldChangeSetsTheCalendarAndWritesAtOnce()
    {
        showCell(QStringLiteral("When"), 1);
        const QDateTime picked = Value::date(650000000).toDateTime().toLocalTime();
        m_panel->numCtrl1()->setDateTime(picked);
        QCOMPARE(m_panel->numCtrl2()->selectedDate(), picked.date());
        QCOMPARE(nativeCell(QStringLiteral("When"), 1), Value::date(650000000));
    }

    void dateBeingTypedIsCommittedWhenThePanelResignsKey()
    {
        QVERIFY(store(*m_doc, Value::date(700000000), QStringLiteral("When"), id(0)));
        showCell(QStringLiteral("When"), 0);
        m_panel->numCtrl1()->setSelectedSection(QDateTimeEdit::YearSection);
        QTest::keyClicks(m_panel->numCtrl1(), QStringLiteral("2019"));
        QCOMPARE(m_panel->numCtrl1()->text().left(4), QStringLiteral("2019"));
        QVERIFY(m_grid->writes.isEmpty()); // reported only when editing ends
        m_panel->windowDidResignKey();
        QDateTime expected = Value::date(700000000).toDateTime().toLocalTime();
        expected.setDate(QDate(2019, expected.date().month(), expected.date().day()));
        QCOMPARE(nativeCell(QStringLiteral("When"), 0), Value::dateTime(expected));
        QCOMPARE(m_panel->numCtrl2()->selectedDate(), expected.date());
    }

    void dateFieldWithoutDateShowsNoneAndWritesNone()
    {
        QVERIFY(store(*m_doc, Value::date(700000000), QStringLiteral("When"), id(0)));
        showCell(QStringLiteral("When"), 0); // a date first, so a stale one would be at hand
        showCell(QStringLiteral("When"), 1);
        QVERIFY(!m_panel->hasDate());
        QCOMPARE(m_panel->numCtrl1()->text(), QStringLiteral("No Date"));
        QVERIFY(m_panel->value().isNull());
        m_panel->complete();
        m_panel->windowDidResignKey();
        m_panel->windowDidClose();
        QVERIFY(m_grid->writes.isEmpty());
        QVERIFY(cell(QStringLiteral("When"), 1).isEmpty());

        // Picking a day is entering a date: it is written, at midnight of that day.
        m_panel->windowDidBecomeKey();
        const QDate day(2024, 2, 29);
        m_panel->numCtrl2()->setSelectedDate(day);
        QVERIFY(m_panel->hasDate());
        QCOMPARE(nativeCell(QStringLiteral("When"), 1), Value::dateTime(QDateTime(day, QTime(0, 0), Qt::LocalTime)));
    }

    void todayButtonActsOnlyForDates()
    {
        ReferenceDate::setClock([] { return 756000000.4; });
        showCell(QStringLiteral("Title"), 0);
        m_panel->todayCtrl()->click();
        QVERIFY(m_grid->writes.isEmpty());
        QCOMPARE(cell(QStringLiteral("Title"), 0), QStringLiteral("row 0"));

        showCell(QStringLiteral("When"), 0);
        m_panel->todayCtrl()->click();
        QCOMPARE(nativeCell(QStringLiteral("When"), 0), Value::date(756000000));
        QCOMPARE(m_panel->numCtrl1()->dateTime(), Value::date(756000000).toDateTime().toLocalTime());
        QCOMPARE(m_panel->numCtrl2()->selectedDate(), Value::date(756000000).toDateTime().toLocalTime().date());
    }

    void imageRoundTrip()
    {
        QVERIFY(store(*m_doc, Value(picture(Qt::red)), QStringLiteral("Picture"), id(0)));
        showCell(QStringLiteral("Picture"), 0);
        QCOMPARE(m_panel->value().toImage().pixelColor(5, 3), QColor(Qt::red));
        m_panel->complete();
        QVERIFY(m_grid->writes.isEmpty());

        // A chosen file is committed at once, even though the panel is not key.
        m_panel->windowDidResignKey();
        const QString path = m_env.path(QStringLiteral("blue.png"));
        QVERIFY(picture(Qt::blue).save(path));
        m_env.ui().answerOpenPanel({path});
        m_panel->imageCtrl()->chooseButton()->click();
        QCOMPARE(m_grid->writes.size(), 1);
        QCOMPARE(nativeCell(QStringLiteral("Picture"), 0).toImage().pixelColor(0, 0), QColor(Qt::blue));
        QVERIFY(m_panel->isTempDisabled());
    }

    void imageWellTakesDrops()
    {
        showCell(QStringLiteral("Picture"), 1);
        auto *mime = new QMimeData;
        mime->setImageData(picture(Qt::green));
        drop(m_panel->imageCtrl(), mime);
        QCOMPARE(nativeCell(QStringLiteral("Picture"), 1).toImage().pixelColor(2, 2), QColor(Qt::green));

        // A file that is no image is refused with a beep and writes nothing.
        const QString text = writeFile(QStringLiteral("note.txt"), "not a picture");
        auto *files = new QMimeData;
        files->setUrls({QUrl::fromLocalFile(text)});
        drop(m_panel->imageCtrl(), files);
        QCOMPARE(m_grid->writes.size(), 1);
        QCOMPARE(m_env.ui().beeps(), 1);
        delete mime;
        delete files;
    }

    void movieRoundTrip_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("Audio") << "Sound"
                               << "chime.wav"
                               << "bell.mp3";
        QTest::newRow("Video") << "Clip"
                               << "intro.mp4"
                               << "outro.webm";
    }

    // Sounds and movies share the movie view, and both are written back from it.
    void movieRoundTrip()
    {
        QFETCH(QString, field);
        QFETCH(QString, first);
        QFETCH(QString, second);
        const std::optional<OXMovie> stored = OXMovie::fromPath(writeFile(first, QByteArray("first bytes\0\1\2", 14)));
        QVERIFY(stored);
        QVERIFY(store(*m_doc, stored->toValue(), field, id(0)));
        showCell(field, 0);
        QCOMPARE(m_panel->currentControl(), m_panel->videoCtrl());
        QCOMPARE(OXMovie::fromValue(m_panel->value()), stored);
        // Where the media backend cannot play, the view says so instead of crashing inside it.
        QCOMPARE(m_panel->videoCtrl()->playButton()->isEnabled(), LMDataPanelMovieView::isPlaybackAvailable());
        if (!LMDataPanelMovieView::isPlaybackAvailable()) {
            m_panel->videoCtrl()->togglePlayback();
            QCOMPARE(m_env.ui().beeps(), 1);
            m_env.ui().reset();
        }
        m_panel->complete();
        QVERIFY(m_grid->writes.isEmpty());

        const QString path = writeFile(second, QByteArray("second bytes"));
        QVERIFY(m_panel->videoCtrl()->takeFile(path));
        const std::optional<OXMovie> written = OXMovie::fromValue(nativeCell(field, 0));
        QVERIFY(written);
        QCOMPARE(written->data, QByteArray("second bytes"));
        QCOMPARE(written->fileName, second);

        QVERIFY(!m_panel->videoCtrl()->takeFile(writeFile(QStringLiteral("plain.txt"), "text")));
        QCOMPARE(m_grid->writes.size(), 1);
        QCOMPARE(m_env.ui().beeps(), 1);
    }

    void listRoundTrip()
    {
        QVERIFY(store(*m_doc, Value::array({Value("red"), Value("green")}), QStringLiteral("Tags"), id(0)));
        // Stored text "a,b" is one item; showing it must not split it.
        QVERIFY(store(*m_doc, Value::array({Value("a,b")}), QStringLiteral("Tags"), id(1)));
        showCell(QStringLiteral("Tags"), 1);
        QCOMPARE(m_panel->listCtrl()->text(), QStringLiteral("a,b"));
        showCell(QStringLiteral("Tags"), 0);
        QCOMPARE(m_panel->listCtrl()->text(), QStringLiteral("red, green"));
        QCOMPARE(m_panel->value(), Value::array({Value("red"), Value("green")}));
        QVERIFY(m_grid->writes.isEmpty());
        QCOMPARE(cell(QStringLiteral("Tags"), 1), QStringLiteral("a,b"));

        m_panel->listCtrl()->setText(QStringLiteral(" one, two ,, three "));
        m_panel->complete();
        QCOMPARE(cell(QStringLiteral("Tags"), 0), QStringLiteral("one, two, three"));
        m_panel->listCtrl()->setText(QString());
        m_panel->complete();
        QCOMPARE(cell(QStringLiteral("Tags"), 0), QString());
        QCOMPARE(m_grid->writes.size(), 2);
    }

    void attachmentRoundTripAndExport()
    {
        const std::optional<HVFileWrapper> first =
            HVFileWrapper::fromPath(writeFile(QStringLiteral("first.bin"), QByteArray("\x00\x01\x02 first", 9)));
        QVERIFY(first);
        QVERIFY(store(*m_doc, first->toValue(), QStringLiteral("File"), id(0)));
        showCell(QStringLiteral("File"), 0);
        QCOMPARE(HVFileWrapper::fromValue(m_panel->value())->data, first->data);
        m_panel->complete();
        QVERIFY(m_grid->writes.isEmpty());

        const QString exported = m_env.path(QStringLiteral("exported.bin"));
        m_env.ui().answerSavePanel(exported);
        QVERIFY(m_panel->attachmentCtrl()->exportAttachment());
        QFile file(exported);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), first->data);
        QVERIFY(!m_panel->attachmentCtrl()->exportAttachment()); // cancelled: no path answered

        m_env.ui().answerSavePanel(m_env.path(QStringLiteral("missing/folder/x.bin")));
        QVERIFY(!m_panel->attachmentCtrl()->exportAttachment());
        QCOMPARE(m_env.ui().alerts().size(), 1);
        QCOMPARE(m_env.ui().lastAlert()->messageText, QStringLiteral("The attachment could not be exported."));

        const QString second = writeFile(QStringLiteral("second.txt"), "second file");
        auto *mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(second)});
        drop(m_panel->attachmentCtrl(), mime);
        delete mime;
        const std::optional<HVFileWrapper> written = HVFileWrapper::fromValue(nativeCell(QStringLiteral("File"), 0));
        QVERIFY(written);
        QCOMPARE(written->name, QStringLiteral("second.txt"));
        QCOMPARE(written->data, QByteArray("second file"));
    }

    void filePathRoundTrip()
    {
        QVERIFY(store(*m_doc, Value("/nowhere/at all"), QStringLiteral("Where"), id(0)));
        showCell(QStringLiteral("Where"), 0);
        QCOMPARE(m_panel->filepathCtrl()->path(), QStringLiteral("/nowhere/at all"));
        m_panel->complete();
        QVERIFY(m_grid->writes.isEmpty());

        const QString folder = m_env.path(QStringLiteral("a folder"));
        QVERIFY(QDir().mkpath(folder));
        auto *mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(folder)});
        drop(m_panel->filepathCtrl(), mime);
        delete mime;
        QCOMPARE(cell(QStringLiteral("Where"), 0), QFileInfo(folder).absoluteFilePath());

        // A path that does not exist is not taken.
        QVERIFY(!m_panel->filepathCtrl()->takeFile(m_env.path(QStringLiteral("gone"))));
        QCOMPARE(m_grid->writes.size(), 1);
    }
};

QTEST_MAIN(TestDataPanelPanes)
#include "test_data_panel_panes.moc"
