// LMTableDataTableView: the cell commands of the "Actions" menu and drops onto cells.
#include "DesignVocabulary.h"
#include "HVFileWrapper.h"
#include "LMDataPanel.h"
#include "LMRichTextClipboard.h"
#include "LMTableDataDelegate.h"
#include "LMTableDataTableView.h"
#include "LMTableEditModel.h"
#include "LMTableEditView.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "OXMovie.h"
#include "ReferenceDate.h"
#include "Ui.h"

#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QMenu>
#include <QMimeData>
#include <QMimeDatabase>
#include <QUrl>

namespace {
const QString kTiff = QStringLiteral("image/tiff");
const QString kOctets = QStringLiteral("application/octet-stream");
const QString kAttachmentName = QStringLiteral("application/x-orvix-attachment-name");

bool isTextLike(const QString &type)
{
    return Datatypes::is(type, Datatype::Text) || Datatypes::is(type, Datatype::Number) ||
           Datatypes::is(type, Datatype::Date) || Datatypes::is(type, Datatype::YesNo) ||
           Datatypes::is(type, Datatype::Options) || Datatypes::is(type, Datatype::List);
}

Alert noFileAlert()
{
    return Alert::make(QStringLiteral("File Does Not Exist"), QStringLiteral("There is no file at that path."));
}

QStringList localFiles(const QMimeData *data)
{
    QStringList files;
    if (data)
        for (const QUrl &url : data->urls())
            if (url.isLocalFile())
                files << url.toLocalFile();
    return files;
}

QStringList saveExtensions(const QString &type)
{
    if (Datatypes::is(type, Datatype::Image))
        return {"tif", "tiff", "gif", "jpg", "jpeg", "png", "bmp", "jp2", "jk2"};
    if (Datatypes::is(type, Datatype::Audio))
        return {"aif", "aiff", "wav"};
    if (Datatypes::is(type, Datatype::Video))
        return {"mov", "mp4", "avi", "3gp", "3g2"};
    if (Datatypes::is(type, Datatype::Text))
        return {"txt"};
    return {};
}

QStringList importFilters(const QString &type)
{
    if (Datatypes::is(type, Datatype::Text))
        return {QStringLiteral("Text files (*.txt *.text *.md *.csv *.tsv)"), QStringLiteral("All files (*)")};
    if (Datatypes::is(type, Datatype::Image))
        return {QStringLiteral("Images (*.tif *.tiff *.gif *.jpg *.jpeg *.png *.bmp *.jp2 *.webp *.svg)")};
    if (Datatypes::is(type, Datatype::Video))
        return {QStringLiteral("Movies (*.mov *.mp4 *.m4v *.avi *.mkv *.webm *.3gp *.3g2 *.mpg *.mpeg)")};
    if (Datatypes::is(type, Datatype::Audio))
        return {QStringLiteral("Audio (*.aif *.aiff *.wav *.mp3 *.m4a *.aac *.flac *.ogg *.oga *.opus)")};
    return {};
}

// A movie made from a media file: the native value of "Audio" and "Video" cells.
Value movieFromFile(const QString &path)
{
    const std::optional<OXMovie> movie = OXMovie::fromPath(path);
    return movie ? movie->toValue() : Value();
}

// Panels start beside the document (its own folder is where its files usually are); empty lets the panel choose.
QString documentFolder(const MyDocument *document)
{
    return document && !document->fileName().isEmpty() ? QFileInfo(document->fileName()).absolutePath() : QString();
}

Value wrapperFromFile(const QString &path)
{
    const std::optional<HVFileWrapper> wrapper = HVFileWrapper::fromPath(path);
    return wrapper ? wrapper->toValue() : Value();
}
} // namespace

QStringList LMTableDataTableView::contextMenuTitles(const QString &type)
{
    if (Datatypes::is(type, Datatype::Text))
        return {"Cut",          "Copy",         "Paste", "Clear", "Edit in Table", "Edit in Data Panel…",
                "Import File…", "Save as File…"};
    if (Datatypes::is(type, Datatype::Number))
        return {"Cut", "Copy", "Paste", "Set to 0", "Edit in Table"};
    if (Datatypes::is(type, Datatype::Date))
        return {"Copy", "Paste", "Set to Today", "Edit in Data Panel…"};
    if (Datatypes::is(type, Datatype::YesNo))
        return {"Copy", "Paste", "Toggle"};
    if (Datatypes::is(type, Datatype::FilePath))
        return {"Cut", "Copy", "Paste", "Clear", "Edit in Data Panel…", "Set to File…", "Reveal in Finder…", "Open"};
    if (Datatypes::isMedia(type))
        return {"Cut", "Copy", "Paste", "Clear", "Edit in Data Panel…", "Import File…", "Save as File…"};
    if (Datatypes::is(type, Datatype::List))
        return {"Cut", "Copy", "Paste", "Clear", "Edit in Table", "Edit in Data Panel…"};
    if (Datatypes::is(type, Datatype::Options))
        return {"Copy", "Paste", "Edit in Table"};
    return {};
}

QMenu *LMTableDataTableView::buildContextMenu()
{
    if (!hasValidFocus())
        return nullptr;
    const QStringList titles = contextMenuTitles(datatypeForColumn(m_focusColumn));
    if (titles.isEmpty())
        return nullptr;
    auto *menu = new QMenu(QStringLiteral("Actions"), this);
    const QHash<QString, void (LMTableDataTableView::*)()> commands{
        {"Cut", &LMTableDataTableView::cut},
        {"Copy", &LMTableDataTableView::copy},
        {"Paste", &LMTableDataTableView::paste},
        {"Clear", &LMTableDataTableView::clear},
        {"Set to 0", &LMTableDataTableView::setToZero},
        {"Set to Today", &LMTableDataTableView::setToToday},
        {"Toggle", &LMTableDataTableView::toggleBoolean},
        {"Edit in Table", &LMTableDataTableView::editInTable},
        {"Edit in Data Panel…", &LMTableDataTableView::editInDataPanel},
        {"Import File…", &LMTableDataTableView::importFileIntoCell},
        {"Set to File…", &LMTableDataTableView::importFileIntoCell},
        {"Save as File…", &LMTableDataTableView::exportCellToFile},
        {"Reveal in Finder…", &LMTableDataTableView::revealFilePathInFinder},
        {"Open", &LMTableDataTableView::openFilePath},
    };
    for (const QString &title : titles)
        menu->addAction(title, this, commands.value(title));
    return menu;
}

void LMTableDataTableView::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid())
        setFocusedCell(index.row(), index.column());
    if (QMenu *menu = buildContextMenu()) {
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPos());
    }
}

Value LMTableDataTableView::storedFocusedValue() const
{
    return m_dataSource->objectValueForTableColumn(gridModel()->fieldAt(m_focusColumn), m_focusRow, true);
}

void LMTableDataTableView::write(const Value &value)
{
    m_dataSource->setObjectValue(value, gridModel()->fieldAt(m_focusColumn), m_focusRow);
}

void LMTableDataTableView::copy()
{
    if (!hasValidFocus())
        return;
    const QString type = datatypeForColumn(m_focusColumn);
    const QString field = gridModel()->fieldAt(m_focusColumn);
    Value value = storedFocusedValue();
    auto *data = new QMimeData;
    if (isTextLike(type)) {
        if (Datatypes::is(type, Datatype::Options))
            value = Value(gridModel()->optionTitlesAt(m_focusColumn).value(int(value.toInt())));
        const QString text = database()->addFormattingToObject(value, pureName(), field).text;
        data->setText(text);
        data->setData(LMRichTextClipboard::rtfMimeType, LMRichTextClipboard::rtfFromPlainText(text));
    } else if (Datatypes::is(type, Datatype::Image) && value.isImage()) {
        QByteArray tiff;
        QBuffer buffer(&tiff);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "tiff").write(value.toImage());
        data->setData(kTiff, tiff);
        data->setImageData(value.toImage());
    } else if (Datatypes::is(type, Datatype::FilePath) && !value.toString().isEmpty()) {
        data->setUrls({QUrl::fromLocalFile(value.toString())});
        data->setText(value.toString());
    } else if (Datatypes::is(type, Datatype::Attachment) && HVFileWrapper::isWrapperValue(value)) {
        const HVFileWrapper wrapper = *HVFileWrapper::fromValue(value);
        const QString mime = QMimeDatabase().mimeTypeForFileNameAndData(wrapper.name, wrapper.data).name();
        data->setData(mime, wrapper.data);
        if (mime != kOctets)
            data->setData(kOctets, wrapper.data);
        data->setData(kAttachmentName, wrapper.name.toUtf8());
    } else {
        delete data;
        return;
    }
    QGuiApplication::clipboard()->setMimeData(data);
}

void LMTableDataTableView::paste()
{
    if (!hasValidFocus())
        return;
    const QString type = datatypeForColumn(m_focusColumn);
    const QString field = gridModel()->fieldAt(m_focusColumn);
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return;
    if (isTextLike(type)) {
        QString text;
        if (data->hasText())
            text = data->text();
        else if (data->hasFormat(LMRichTextClipboard::rtfMimeType))
            text = LMRichTextClipboard::plainTextFromRtf(data->data(LMRichTextClipboard::rtfMimeType));
        else
            return;
        if (Datatypes::is(type, Datatype::Number) || Datatypes::is(type, Datatype::Date) ||
            Datatypes::is(type, Datatype::List)) {
            // Read as text typed into the cell is read: what is no number or date is refused, not stored empty.
            const auto *delegate = static_cast<LMTableDataDelegate *>(itemDelegate());
            const std::optional<Value> value = delegate->valueOfText(text, model()->index(m_focusRow, m_focusColumn));
            if (!value) {
                Ui::instance().beep();
                return;
            }
            write(*value);
            return;
        }
        write(database()->removeFormattingFromString(text, pureName(), field));
    } else if (Datatypes::is(type, Datatype::Image)) {
        QImage image = QImage::fromData(data->data(kTiff));
        if (image.isNull() && data->hasImage())
            image = qvariant_cast<QImage>(data->imageData());
        if (!image.isNull())
            write(Value(image));
    } else if (Datatypes::is(type, Datatype::FilePath)) {
        const QStringList files = localFiles(data);
        if (!files.isEmpty())
            write(Value(files.first()));
    } else if (Datatypes::is(type, Datatype::Attachment)) {
        const QStringList files = localFiles(data);
        if (!files.isEmpty()) {
            const Value wrapper = wrapperFromFile(files.first());
            if (!wrapper.isNull())
                write(wrapper);
        } else if (!data->data(kOctets).isEmpty()) {
            HVFileWrapper wrapper;
            wrapper.name = QString::fromUtf8(data->data(kAttachmentName));
            if (wrapper.name.isEmpty())
                wrapper.name = QStringLiteral("Pasted File");
            wrapper.data = data->data(kOctets);
            write(wrapper.toValue());
        }
    }
}

void LMTableDataTableView::clear()
{
    if (!hasValidFocus())
        return;
    const QString type = datatypeForColumn(m_focusColumn);
    if (Datatypes::is(type, Datatype::Number))
        write(Value(0.0));
    else if (Datatypes::is(type, Datatype::Text) || Datatypes::is(type, Datatype::FilePath) ||
             Datatypes::is(type, Datatype::List) || Datatypes::isMedia(type))
        write(Value(QString()));
}

void LMTableDataTableView::cut()
{
    if (!hasValidFocus())
        return;
    const QString type = datatypeForColumn(m_focusColumn);
    if (Datatypes::is(type, Datatype::Text) || Datatypes::is(type, Datatype::Number) ||
        Datatypes::is(type, Datatype::FilePath) || Datatypes::is(type, Datatype::List) || Datatypes::isMedia(type)) {
        copy();
        clear();
    }
}

void LMTableDataTableView::setToZero()
{
    if (hasValidFocus() && Datatypes::is(datatypeForColumn(m_focusColumn), Datatype::Number))
        write(Value(0.0));
}

void LMTableDataTableView::setToToday()
{
    if (hasValidFocus() && Datatypes::is(datatypeForColumn(m_focusColumn), Datatype::Date))
        write(Value::date(ReferenceDate::now()));
}

void LMTableDataTableView::toggleBoolean()
{
    if (hasValidFocus() && Datatypes::is(datatypeForColumn(m_focusColumn), Datatype::YesNo))
        write(Value(!gridModel()->displayValue(m_focusColumn, m_focusRow).toBool()));
}

void LMTableDataTableView::editInTable()
{
    if (hasValidFocus())
        editColumn(m_focusColumn, m_focusRow);
}

void LMTableDataTableView::editInDataPanel()
{
    if (!hasValidFocus())
        return;
    m_dataSource->showDataPanel();
    m_dataSource->refreshDataPanel();
    // Asked for by name, the panel takes the keyboard.
    LMDataPanel::sharedManager()->panel()->activateWindow();
}

void LMTableDataTableView::refreshDataPane()
{
    m_dataSource->refreshDataPanel();
}

void LMTableDataTableView::importFileIntoCell()
{
    if (!hasValidFocus())
        return;
    const QString type = datatypeForColumn(m_focusColumn);
    if (!Datatypes::is(type, Datatype::Text) && !Datatypes::is(type, Datatype::FilePath) && !Datatypes::isMedia(type))
        return;
    FilePanelOptions options;
    options.title = QStringLiteral("Import File");
    options.nameFilters = importFilters(type);
    options.directory = documentFolder(m_dataSource->document());
    // A path may name a folder as well as a file.
    options.chooseFilesOrDirectories = Datatypes::is(type, Datatype::FilePath);
    const QStringList chosen = Ui::instance().runOpenPanel(options, m_dataSource->window());
    if (chosen.isEmpty())
        return;
    // Links are followed, so the cell gets the file rather than the link.
    const QString path = QFileInfo(chosen.first()).canonicalFilePath();
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        Ui::instance().runAlert(noFileAlert(), m_dataSource->window());
        return;
    }
    Value value;
    if (Datatypes::is(type, Datatype::FilePath)) {
        value = Value(path);
    } else if (Datatypes::is(type, Datatype::Text)) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            value = Value(QString::fromUtf8(file.readAll()));
    } else if (Datatypes::is(type, Datatype::Image)) {
        const QImage image(path);
        if (!image.isNull())
            value = Value(image);
    } else if (Datatypes::is(type, Datatype::Attachment)) {
        value = wrapperFromFile(path);
    } else {
        value = movieFromFile(path);
    }
    if (value.isNull()) {
        Ui::instance().beep();
        return;
    }
    write(value);
}

void LMTableDataTableView::exportCellToFile()
{
    if (!hasValidFocus())
        return;
    const QString type = datatypeForColumn(m_focusColumn);
    const Value value = storedFocusedValue();
    if (value.isNull()) {
        Ui::instance().beep();
        return;
    }
    const QStringList extensions = saveExtensions(type);
    FilePanelOptions options;
    options.title = QStringLiteral("Save as File");
    QString suggested = gridModel()->fieldAt(m_focusColumn);
    if (Datatypes::is(type, Datatype::Attachment))
        suggested = HVFileWrapper::fromValue(value)->name;
    else if ((Datatypes::is(type, Datatype::Audio) || Datatypes::is(type, Datatype::Video)) &&
             OXMovie::isMovieValue(value))
        suggested = OXMovie::fromValue(value)->fileName;
    else if (!extensions.isEmpty())
        suggested +=
            QLatin1Char('.') + (Datatypes::is(type, Datatype::Image) ? QStringLiteral("tiff") : extensions.first());
    options.suggestedName = suggested;
    options.directory = documentFolder(m_dataSource->document());
    if (!extensions.isEmpty())
        options.nameFilters = {QStringLiteral("%1 (*.%2)").arg(type, extensions.join(QStringLiteral(" *.")))};
    QString path = Ui::instance().runSavePanel(options, m_dataSource->window());
    if (path.isEmpty())
        return;
    if (!extensions.isEmpty() && !extensions.contains(QFileInfo(path).suffix().toLower()))
        path += QLatin1Char('.') + QFileInfo(suggested).suffix();
    if (QFileInfo::exists(path)) {
        Ui::instance().runAlert(Alert::make(QStringLiteral("A file at this path already exists."), QString()),
                                m_dataSource->window());
        return;
    }
    bool ok = false;
    if (Datatypes::is(type, Datatype::Image)) {
        QString format = QFileInfo(path).suffix().toLower();
        if (format == QLatin1String("tif"))
            format = QStringLiteral("tiff");
        QImageWriter writer(path, format.toLatin1());
        ok = writer.write(value.toImage());
    } else {
        QByteArray bytes;
        if (Datatypes::is(type, Datatype::Text))
            bytes = value.toString().toUtf8();
        else if (Datatypes::is(type, Datatype::Attachment))
            bytes = HVFileWrapper::fromValue(value)->data;
        else if (OXMovie::isMovieValue(value))
            bytes = OXMovie::fromValue(value)->data;
        else
            bytes =
                database()->addFormattingToObject(value, pureName(), gridModel()->fieldAt(m_focusColumn)).text.toUtf8();
        QFile file(path);
        ok = file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && file.write(bytes) == bytes.size();
    }
    if (!ok)
        Ui::instance().beep();
}

void LMTableDataTableView::revealFilePathInFinder()
{
    if (!hasValidFocus() || !Datatypes::is(datatypeForColumn(m_focusColumn), Datatype::FilePath))
        return;
    const QString path = gridModel()->displayText(m_focusColumn, m_focusRow);
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        Ui::instance().runAlert(noFileAlert(), m_dataSource->window());
        return;
    }
    LMTableEditView::openPath(path, true);
}

void LMTableDataTableView::openFilePath()
{
    if (!hasValidFocus() || !Datatypes::is(datatypeForColumn(m_focusColumn), Datatype::FilePath))
        return;
    const QString path = gridModel()->displayText(m_focusColumn, m_focusRow);
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        Ui::instance().runAlert(noFileAlert(), m_dataSource->window());
        return;
    }
    LMTableEditView::openPath(path, false);
}

// --- Drops

bool LMTableDataTableView::dropMimeDataOnCell(const QMimeData *data, int row, int column)
{
    const QModelIndex index = model()->index(row, column);
    if (!data || !index.isValid())
        return false;
    const QString type = datatypeForColumn(column);
    const QString field = gridModel()->fieldAt(column);
    const QStringList files = localFiles(data);
    Value value;
    if (Datatypes::is(type, Datatype::Text) && data->hasText()) {
        value = Value(data->text());
    } else if (Datatypes::is(type, Datatype::Number) && data->hasText()) {
        const auto *delegate = static_cast<LMTableDataDelegate *>(itemDelegate());
        value = delegate->valueOfText(data->text().trimmed(), index).value_or(Value());
    } else if (Datatypes::is(type, Datatype::Image) && !files.isEmpty()) {
        QFile file(files.first());
        if (file.open(QIODevice::ReadOnly)) {
            const QImage image = QImage::fromData(file.readAll());
            if (!image.isNull())
                value = Value(image);
        }
    } else if ((Datatypes::is(type, Datatype::Audio) || Datatypes::is(type, Datatype::Video)) && !files.isEmpty()) {
        value = movieFromFile(files.first());
    } else if (Datatypes::is(type, Datatype::FilePath) && !files.isEmpty()) {
        value = Value(files.last());
    } else if (Datatypes::is(type, Datatype::Attachment) && !files.isEmpty()) {
        value = wrapperFromFile(files.last());
    }
    if (value.isNull())
        return false;
    setFocusedCell(row, column);
    m_dataSource->setObjectValue(value, field, row);
    return true;
}

void LMTableDataTableView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls() || event->mimeData()->hasText())
        event->acceptProposedAction();
    else
        event->ignore();
}

void LMTableDataTableView::dragMoveEvent(QDragMoveEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    const QString type = index.isValid() ? datatypeForColumn(index.column()) : QString();
    const bool wantsText = Datatypes::is(type, Datatype::Text) || Datatypes::is(type, Datatype::Number);
    const bool wantsFiles = Datatypes::is(type, Datatype::FilePath) || Datatypes::isMedia(type);
    if ((wantsText && event->mimeData()->hasText()) || (wantsFiles && event->mimeData()->hasUrls()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void LMTableDataTableView::dropEvent(QDropEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && dropMimeDataOnCell(event->mimeData(), index.row(), index.column()))
        event->acceptProposedAction();
    else
        event->ignore();
}
