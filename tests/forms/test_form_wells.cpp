// Tests of the value rules of the form's media wells: image, movie and sound, attachment and file path.
#include "FDControlKinds.h"
#include "FDControlWidgets.h"
#include "HVAttachmentWell.h"
#include "HVFilePathWell.h"
#include "HVMovieViewWell.h"
#include "HVNSImageView.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QUrl>
#include <QtTest>

namespace {
QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

// A real drag onto the widget's centre followed by the drop; whether the widget accepted the drop.
bool drop(QWidget *widget, const QMimeData *mime)
{
    const QPoint centre(widget->width() / 2, widget->height() / 2);
    QDragEnterEvent enter(centre, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropEvent(QPointF(centre), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &dropEvent);
    return dropEvent.isAccepted();
}

std::unique_ptr<QMimeData> filesMime(const QStringList &paths)
{
    auto mime = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    mime->setUrls(urls);
    return mime;
}

QByteArray le(quint32 value, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out += char((value >> (8 * i)) & 0xff);
    return out;
}

// The smallest wave file: a header and no samples.
QByteArray emptyWave()
{
    return "RIFF" + le(36, 4) + "WAVE" + "fmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(8000, 4) + le(8000, 4) +
           le(1, 2) + le(8, 2) + "data" + le(0, 4);
}

QImage solidImage(int width, int height, qreal ratio = 1.0)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::red);
    image.setDevicePixelRatio(ratio);
    return image;
}
} // namespace

class TestFormWells : public QObject {
    Q_OBJECT
private slots:
    void init() { m_env.ui().reset(); }

    void imageValue_data();
    void imageValue();
    void imageDrops();
    void imageClipboard();
    void imageRect_data();
    void imageRect();

    void movieValueAndDrops();
    void movieFromDragContents();

    void attachmentDropAndData();
    void attachmentExport();

    void filePathDrops();

    void wellsFollowStoredAttributes_data();
    void wellsFollowStoredAttributes();

private:
    TestEnvironment m_env;
};

void TestFormWells::imageValue_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<bool>("hasValue");
    QTest::newRow("an image") << solidImage(4, 3) << true;
    QTest::newRow("one point") << solidImage(1, 1) << true;
    QTest::newRow("narrower than a point") << solidImage(1, 10, 2.0) << false;
    QTest::newRow("lower than a point") << solidImage(10, 1, 2.0) << false;
    QTest::newRow("no image") << QImage() << false;
}

void TestFormWells::imageValue()
{
    QFETCH(QImage, image);
    QFETCH(bool, hasValue);
    HVNSImageView well;
    well.setObjectValue(image.isNull() ? Value() : Value(image));
    QCOMPARE(!well.objectValue().isNull(), hasValue);
    if (hasValue)
        QCOMPARE(well.objectValue().toImage(), image);
}

void TestFormWells::imageDrops()
{
    HVNSImageView well;
    well.resize(72, 72);
    QSignalSpy edited(&well, &HVFormWell::objectValueEdited);
    const QString png = m_env.path("picture.png");
    QVERIFY(solidImage(5, 7).save(png));
    QVERIFY(drop(&well, filesMime({png}).get()));
    QCOMPARE(well.objectValue().toImage().size(), QSize(5, 7));
    QCOMPARE(edited.size(), 1);

    // A file that is no image is refused and the picture stays.
    const QString text = writeFile(m_env.path("notes.png"), "not a picture");
    QVERIFY(!drop(&well, filesMime({text}).get()));
    QCOMPARE(well.objectValue().toImage().size(), QSize(5, 7));

    // Image data on the drag.
    QMimeData data;
    data.setImageData(solidImage(2, 9));
    QVERIFY(drop(&well, &data));
    QCOMPARE(well.objectValue().toImage().size(), QSize(2, 9));

    // The open panel, reached by a double click.
    m_env.ui().answerOpenPanel({png});
    QTest::mouseDClick(&well, Qt::LeftButton);
    QCOMPARE(m_env.ui().panels().size(), 1);
    QCOMPARE(m_env.ui().panels().first().title, QStringLiteral("Choose Image"));
    QCOMPARE(well.objectValue().toImage().size(), QSize(5, 7));
    QCOMPARE(edited.size(), 3);

    // A well that is not editable keeps its picture.
    well.setEditable(false);
    QVERIFY(!drop(&well, &data));
    QCOMPARE(well.objectValue().toImage().size(), QSize(5, 7));
    QCOMPARE(edited.size(), 3);
}

void TestFormWells::imageClipboard()
{
    HVNSImageView well;
    well.setObjectValue(Value(solidImage(3, 3)));
    QTest::keySequence(&well, QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->image().size(), QSize(3, 3));
    QTest::keyClick(&well, Qt::Key_Delete);
    QVERIFY(well.objectValue().isNull());
    QTest::keySequence(&well, QKeySequence::Paste);
    QCOMPARE(well.objectValue().toImage().size(), QSize(3, 3));

    // Cut, copy and paste switched off: nothing moves and the user hears why.
    well.setAllowsCutCopyPaste(false);
    QApplication::clipboard()->setImage(solidImage(8, 8));
    QTest::keySequence(&well, QKeySequence::Paste);
    QCOMPARE(well.objectValue().toImage().size(), QSize(3, 3));
    QCOMPARE(m_env.ui().beeps(), 1);
}

void TestFormWells::imageRect_data()
{
    QTest::addColumn<QSizeF>("image");
    QTest::addColumn<int>("scaling");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QRectF>("expected");
    const int upOrDown = HVNSImageView::ProportionallyUpOrDown, down = HVNSImageView::ProportionallyDown;
    QTest::newRow("up, centred") << QSizeF(10, 5) << upOrDown << 0 << QRectF(0, 25, 100, 50);
    QTest::newRow("down leaves a small image") << QSizeF(10, 5) << down << 0 << QRectF(45, 47.5, 10, 5);
    QTest::newRow("down shrinks a large one") << QSizeF(200, 400) << down << 0 << QRectF(25, 0, 50, 100);
    QTest::newRow("axes independently") << QSizeF(10, 5) << int(HVNSImageView::AxesIndependently) << 0
                                        << QRectF(0, 0, 100, 100);
    QTest::newRow("none, top left") << QSizeF(10, 5) << int(HVNSImageView::NoScaling) << int(HVNSImageView::TopLeft)
                                    << QRectF(0, 0, 10, 5);
    QTest::newRow("none, bottom right") << QSizeF(10, 5) << int(HVNSImageView::NoScaling)
                                        << int(HVNSImageView::BottomRight) << QRectF(90, 95, 10, 5);
    QTest::newRow("none, right") << QSizeF(10, 6) << int(HVNSImageView::NoScaling) << int(HVNSImageView::Right)
                                 << QRectF(90, 47, 10, 6);
}

void TestFormWells::imageRect()
{
    QFETCH(QSizeF, image);
    QFETCH(int, scaling);
    QFETCH(int, alignment);
    QFETCH(QRectF, expected);
    QCOMPARE(HVNSImageView::imageRect(image, QRectF(0, 0, 100, 100), scaling, alignment), expected);
}

void TestFormWells::movieValueAndDrops()
{
    HVMovieViewWell well;
    well.resize(140, 105);
    QVERIFY(well.objectValue().isNull());
    QVERIFY(!well.playButton()->isEnabled());
    QSignalSpy edited(&well, &HVFormWell::objectValueEdited);

    const QString wave = writeFile(m_env.path("ring.wav"), emptyWave());
    QVERIFY(drop(&well, filesMime({wave}).get()));
    const std::optional<OXMovie> movie = OXMovie::fromValue(well.objectValue());
    QVERIFY(movie);
    QCOMPARE(movie->fileName, QStringLiteral("ring.wav"));
    QCOMPARE(movie->data, emptyWave());
    QVERIFY(movie->type.startsWith("audio/"));
    QCOMPARE(edited.size(), 1);

    // A file that is no movie or sound is refused and the movie stays.
    const QString text = writeFile(m_env.path("notes.txt"), "plain words");
    QVERIFY(!drop(&well, filesMime({text}).get()));
    QCOMPARE(OXMovie::fromValue(well.objectValue()), movie);

    // A stored value shows as it was set, and null empties the well.
    OXMovie other;
    other.data = "bytes";
    other.fileName = "clip.mp4";
    other.type = "video/mp4";
    well.setObjectValue(other.toValue());
    QCOMPARE(OXMovie::fromValue(well.objectValue()), other);
    well.setObjectValue(Value());
    QVERIFY(well.objectValue().isNull());
    QCOMPARE(edited.size(), 1);
}

void TestFormWells::movieFromDragContents()
{
    HVMovieViewWell well;
    well.resize(140, 15);
    QMimeData contents;
    contents.setData("audio/x-wav", emptyWave());
    QVERIFY(drop(&well, &contents));
    const std::optional<OXMovie> movie = OXMovie::fromValue(well.objectValue());
    QVERIFY(movie);
    QCOMPARE(movie->data, emptyWave());
    QCOMPARE(movie->type, QStringLiteral("audio/x-wav"));

    well.setEditable(false);
    well.setObjectValue(Value());
    QVERIFY(!drop(&well, &contents));
    QVERIFY(well.objectValue().isNull());
}

void TestFormWells::attachmentDropAndData()
{
    HVAttachmentWell well;
    well.setInForm(true);
    well.resize(140, 120);
    QVERIFY(well.objectValue().isNull());
    QVERIFY(!well.exportButton()->isHidden());
    QVERIFY(!well.exportButton()->isEnabled());

    // The first dropped file becomes the wrapper.
    const QString first = writeFile(m_env.path("first.txt"), "one");
    const QString second = writeFile(m_env.path("second.txt"), "two");
    QVERIFY(drop(&well, filesMime({first, second}).get()));
    std::optional<HVFileWrapper> wrapper = HVFileWrapper::fromValue(well.objectValue());
    QVERIFY(wrapper);
    QCOMPARE(wrapper->name, QStringLiteral("first.txt"));
    QCOMPARE(wrapper->data, QByteArray("one"));
    QVERIFY(well.exportButton()->isEnabled());

    // An unreadable path fails the drop and keeps the value.
    QVERIFY(!drop(&well, filesMime({m_env.path("missing.txt")}).get()));
    QCOMPARE(HVFileWrapper::fromValue(well.objectValue()), wrapper);

    // data/setData carry the archived wrapper; unreadable data leaves no wrapper.
    const QByteArray archived = well.data();
    QCOMPARE(HVFileWrapper::wrapperWithArchivedData(archived), wrapper);
    HVAttachmentWell copy;
    copy.setData(archived);
    QCOMPARE(copy.wrapper(), wrapper);
    copy.setData("garbage");
    QVERIFY(copy.objectValue().isNull());
    QVERIFY(copy.data().isEmpty());

    // Outside a form there is no export button.
    HVAttachmentWell panelWell;
    panelWell.setInForm(false);
    QVERIFY(panelWell.exportButton()->isHidden());
}

void TestFormWells::attachmentExport()
{
    HVAttachmentWell well;
    well.setInForm(true);
    QVERIFY(!well.exportAttachment());
    QVERIFY(m_env.ui().panels().isEmpty());

    HVFileWrapper wrapper;
    wrapper.name = "report.txt";
    wrapper.path = "/nowhere/report.txt";
    wrapper.data = "the contents";
    well.setObjectValue(wrapper.toValue());
    const QString target = m_env.path("exported.txt");
    m_env.ui().answerSavePanel(target);
    QTest::mouseClick(well.exportButton(), Qt::LeftButton);
    QCOMPARE(m_env.ui().panels().size(), 1);
    QCOMPARE(m_env.ui().panels().first().title, QStringLiteral("Export Attachment"));
    QCOMPARE(m_env.ui().panels().first().suggestedName, QStringLiteral("report.txt"));
    QFile written(target);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("the contents"));

    // A cancelled panel writes nothing; a write that fails says so.
    QVERIFY(!well.exportAttachment());
    m_env.ui().answerSavePanel(m_env.path("no/such/folder/x.txt"));
    QVERIFY(!well.exportAttachment());
    QVERIFY(m_env.ui().lastAlert());
    QCOMPARE(m_env.ui().lastAlert()->messageText, QStringLiteral("The attachment could not be exported."));
}

void TestFormWells::filePathDrops()
{
    HVFilePathWell well;
    well.resize(150, 22);
    QCOMPARE(well.objectValue(), Value(""));
    const QString first = writeFile(m_env.path("a.txt"), "a");
    const QString second = writeFile(m_env.path("b.txt"), "b");
    QSignalSpy edited(&well, &HVFormWell::objectValueEdited);
    QVERIFY(drop(&well, filesMime({first, second}).get()));
    QCOMPARE(well.objectValue(), Value(first));
    QCOMPARE(well.pathLabel()->toolTip(), first);
    QCOMPARE(edited.size(), 1);

    // Image data is taken without changing the path.
    QMimeData image;
    image.setImageData(solidImage(2, 2));
    QVERIFY(drop(&well, &image));
    QCOMPARE(well.objectValue(), Value(first));
    QCOMPARE(edited.size(), 1);

    // Plain text is no path.
    QMimeData text;
    text.setText("/etc/passwd");
    QVERIFY(!drop(&well, &text));

    well.setObjectValue(Value());
    QCOMPARE(well.objectValue(), Value(""));
    well.setObjectValue(Value("/some/where"));
    QCOMPARE(well.objectValue(), Value("/some/where"));
}

void TestFormWells::wellsFollowStoredAttributes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<Value>("stored");
    QTest::newRow("image scaling") << "Image Well"
                                   << "Image Scaling" << Value(1);
    QTest::newRow("image alignment") << "Image Well"
                                     << "Image Alignment" << Value(6);
    QTest::newRow("image frame") << "Image Well"
                                 << "Image Frame Style" << Value(0);
    QTest::newRow("image no clipboard") << "Image Well"
                                        << "Allows Cut Copy Paste" << Value(false);
    QTest::newRow("image not editable") << "Image Well"
                                        << "Editable" << Value(false);
    QTest::newRow("movie controller hidden") << "Movie Well"
                                             << "Controller Visible" << Value(false);
    QTest::newRow("movie free aspect") << "Movie Well"
                                       << "Preserves Aspect Ratio" << Value(false);
    QTest::newRow("sound not editable") << "Sound Well"
                                        << "Editable" << Value(false);
    QTest::newRow("attachment not in form") << "Attachment Well"
                                            << "In Form" << Value(false);
    QTest::newRow("path not editable") << "File Path Well"
                                       << "Editable" << Value(false);
}

void TestFormWells::wellsFollowStoredAttributes()
{
    QFETCH(QString, kind);
    QFETCH(QString, attribute);
    QFETCH(Value, stored);
    Value control = FDControlKinds::makeControl(kind);
    Value attributes = control.attributes();
    attributes.set(attribute, stored);
    control = Value::object(control.className(), attributes);
    QWidget parent;
    QWidget *widget = FDControlWidgets::createWidget(control, &parent);
    auto *well = qobject_cast<HVFormWell *>(widget);
    QVERIFY(well);
    QVariant shown;
    if (attribute == "Editable")
        shown = well->isEditable();
    else if (auto *image = qobject_cast<HVNSImageView *>(well))
        shown = attribute == "Image Scaling"       ? QVariant(image->imageScaling())
                : attribute == "Image Alignment"   ? QVariant(image->imageAlignment())
                : attribute == "Image Frame Style" ? QVariant(image->imageFrameStyle())
                                                   : QVariant(image->allowsCutCopyPaste());
    else if (auto *movie = qobject_cast<HVMovieViewWell *>(well))
        shown = attribute == "Controller Visible" ? movie->isControllerVisible() : movie->preservesAspectRatio();
    else if (auto *attachment = qobject_cast<HVAttachmentWell *>(well))
        shown = attachment->isInForm();
    const QVariant expected = stored.isBool() ? QVariant(stored.toBool()) : QVariant(int(stored.toInt()));
    QCOMPARE(shown, expected);
}

QTEST_MAIN(TestFormWells)
#include "test_form_wells.moc"
