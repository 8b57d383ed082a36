// LMDataPanel: the shared data panel: which field it edits, its panes per datatype and the guarded commit.
#include "LMDataPanel.h"
#include "DesignVocabulary.h"

#include "LMDataPanelAttachmentWell.h"
#include "LMDataPanelFilePathWell.h"
#include "LMDataPanelImageWell.h"
#include "LMDataPanelMovieView.h"
#include "LMDataPanelTokenField.h"
#include "LMDataPanelWindow.h"
#include "MyDocument.h"
#include "OXDBMediaCache.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"
#include "ReferenceDate.h"
#include "Ui.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <mutex>

namespace {
std::mutex s_instanceLock;
LMDataPanel *s_instance = nullptr;

// The date field shows this earliest date as "No Date": a field without a stored date.
QDateTime noDate()
{
    return QDateTime(QDate(100, 1, 1), QTime(0, 0));
}

using DesignVocabulary::isNullLike;

// Clears a flag at every exit of the scope that set it.
struct FlagScope {
    bool &flag;
    explicit FlagScope(bool &f) : flag(f) { flag = true; }
    ~FlagScope() { flag = false; }
};
} // namespace

LMDataPanelClient::~LMDataPanelClient()
{
    if (LMDataPanel *panel = LMDataPanel::lazySharedManager())
        panel->forgetClient(this);
}

LMDataPanelDelegate::~LMDataPanelDelegate()
{
    if (LMDataPanel *panel = LMDataPanel::lazySharedManager())
        panel->forgetDelegate(this);
}

LMDataPanel *LMDataPanel::sharedManager()
{
    std::lock_guard<std::mutex> lock(s_instanceLock);
    if (!s_instance)
        s_instance = new LMDataPanel;
    return s_instance;
}

LMDataPanel *LMDataPanel::lazySharedManager()
{
    std::lock_guard<std::mutex> lock(s_instanceLock);
    return s_instance;
}

LMDataPanel::LMDataPanel()
{
    buildInterface();
}

// The instance lives for the whole run; it is never destroyed.
LMDataPanel::~LMDataPanel() = default;

QWidget *LMDataPanel::panel() const
{
    return m_panel;
}

QWidget *LMDataPanel::wrapInPane(QWidget *control, const QString &name)
{
    auto *pane = new QWidget;
    pane->setObjectName(name);
    auto *layout = new QVBoxLayout(pane);
    layout->addWidget(control);
    m_host->addWidget(pane);
    return pane;
}

QWidget *LMDataPanel::buildDatePane()
{
    auto *pane = new QWidget;
    pane->setObjectName(QStringLiteral("numPan"));
    auto *layout = new QVBoxLayout(pane);
    m_numCtrl1 = new QDateTimeEdit(pane);
    m_numCtrl1->setObjectName(QStringLiteral("numCtrl1"));
    m_numCtrl1->setTimeSpec(Qt::LocalTime);
    m_numCtrl1->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_numCtrl1->setMinimumDateTime(noDate());
    m_numCtrl1->setSpecialValueText(tr("No Date"));
    // Report a typed date once it is complete, not at every keystroke of a half-typed year.
    m_numCtrl1->setKeyboardTracking(false);
    m_numCtrl1->setDateTime(noDate());
    m_numCtrl2 = new QCalendarWidget(pane);
    m_numCtrl2->setObjectName(QStringLiteral("numCtrl2"));
    m_numCtrl2->setMinimumDate(noDate().date().addDays(1));
    m_todayCtrl = new QPushButton(tr("Today"), pane);
    auto *row = new QHBoxLayout;
    row->addWidget(m_numCtrl1, 1);
    row->addWidget(m_todayCtrl);
    layout->addLayout(row);
    layout->addWidget(m_numCtrl2, 1);
    connect(m_numCtrl1, &QDateTimeEdit::dateTimeChanged, this, [this] { mainDateControl(); });
    connect(m_numCtrl2, &QCalendarWidget::selectionChanged, this, [this] { calDateControl(); });
    connect(m_todayCtrl, &QPushButton::clicked, this, [this] { todayButton(); });
    m_host->addWidget(pane);
    return pane;
}

void LMDataPanel::buildInterface()
{
    m_panel = new LMDataPanelWindow(this);
    m_panel->resize(360, 320);
    m_panel->setSizeIncrement(1, 1);
    auto *layout = new QVBoxLayout(m_panel);
    layout->setContentsMargins(4, 4, 4, 4);
    m_host = new QStackedWidget(m_panel);
    layout->addWidget(m_host);

    auto *na = new QLabel(tr("This field can't be edited in the Data Panel."));
    na->setAlignment(Qt::AlignCenter);
    na->setWordWrap(true);
    m_naPan = wrapInPane(na, QStringLiteral("naPan"));

    m_textCtrl = new QPlainTextEdit;
    m_textCtrl->setObjectName(QStringLiteral("textCtrl"));
    m_textPan = wrapInPane(m_textCtrl, QStringLiteral("textPan"));

    m_numPan = buildDatePane();

    m_imageCtrl = new LMDataPanelImageWell;
    m_imageCtrl->setObjectName(QStringLiteral("imageCtrl"));
    m_imagePan = wrapInPane(m_imageCtrl, QStringLiteral("imagePan"));

    m_videoCtrl = new LMDataPanelMovieView;
    m_videoCtrl->setObjectName(QStringLiteral("videoCtrl"));
    m_videoPan = wrapInPane(m_videoCtrl, QStringLiteral("videoPan"));

    m_listCtrl = new LMDataPanelTokenField;
    m_listCtrl->setObjectName(QStringLiteral("listCtrl"));
    auto *listHolder = new QWidget;
    auto *listLayout = new QVBoxLayout(listHolder);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addWidget(m_listCtrl);
    listLayout->addStretch(1);
    m_listPan = wrapInPane(listHolder, QStringLiteral("listPan"));

    m_attachmentCtrl = new LMDataPanelAttachmentWell;
    m_attachmentCtrl->setObjectName(QStringLiteral("attachmentCtrl"));
    m_attachmentPan = wrapInPane(m_attachmentCtrl, QStringLiteral("attachmentPan"));

    m_filepathCtrl = new LMDataPanelFilePathWell;
    m_filepathCtrl->setObjectName(QStringLiteral("filepathCtrl"));
    m_filepathPan = wrapInPane(m_filepathCtrl, QStringLiteral("filepathPan"));

    // A well that takes a drop or a chosen file commits at once, even while the panel is not key.
    for (LMDataPanelWell *well :
         std::initializer_list<LMDataPanelWell *>{m_imageCtrl, m_videoCtrl, m_attachmentCtrl, m_filepathCtrl})
        connect(well, &LMDataPanelWell::valueChangedByUser, this, [this](QWidget *w) { forceAction(w); });

    showPane(m_naPan);
    m_curCtrl = nullptr;
    m_tempDisabled = false;
    m_selfCalling = false;
    m_delegate = nullptr;
}

void LMDataPanel::toggle()
{
    if (m_panel->isVisible()) {
        m_panel->hide();
        return;
    }
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
}

void LMDataPanel::showBeside(QWidget *window)
{
    if (!m_panel->isVisible()) {
        m_panel->adjustSize();
        QWidget *top = window ? window->window() : nullptr;
        QScreen *screen = top && top->screen() ? top->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect();
        const QSize size = m_panel->frameGeometry().size().expandedTo(m_panel->sizeHint());
        QPoint place = area.topLeft();
        if (top) {
            const QRect frame = top->frameGeometry();
            // To the right of the window when there is room, else to its left, else over its right edge.
            if (frame.right() + 1 + size.width() <= area.right())
                place = QPoint(frame.right() + 1, frame.top());
            else if (frame.left() - size.width() >= area.left())
                place = QPoint(frame.left() - size.width(), frame.top());
            else
                place = QPoint(frame.right() - size.width(), frame.top() + 40);
        }
        if (area.isValid()) {
            place.setX(qBound(area.left(), place.x(), qMax(area.left(), area.right() - size.width())));
            place.setY(qBound(area.top(), place.y(), qMax(area.top(), area.bottom() - size.height())));
        }
        m_panel->move(place);
        m_panel->setAttribute(Qt::WA_ShowWithoutActivating, true);
        m_panel->show();
        m_panel->setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
    m_panel->raise();
}

bool LMDataPanel::shouldSkip() const
{
    return !m_panel->isVisible();
}

QWidget *LMDataPanel::paneForDatatype(const QString &datatype) const
{
    switch (Datatypes::fromName(datatype)) {
    case Datatype::Text: return m_textPan;
    case Datatype::Date: return m_numPan;
    case Datatype::Image: return m_imagePan;
    case Datatype::Video:
    case Datatype::Audio: return m_videoPan;
    case Datatype::List: return m_listPan;
    case Datatype::Attachment: return m_attachmentPan;
    case Datatype::FilePath: return m_filepathPan;
    default: return m_naPan;
    }
}

QWidget *LMDataPanel::controlForDatatype(const QString &datatype) const
{
    switch (Datatypes::fromName(datatype)) {
    case Datatype::Text: return m_textCtrl;
    case Datatype::Date: return m_numCtrl1;
    case Datatype::Image: return m_imageCtrl;
    // Audio is shown and written back through the movie view: it plays sounds as well as movies.
    case Datatype::Video:
    case Datatype::Audio: return m_videoCtrl;
    case Datatype::List: return m_listCtrl;
    case Datatype::Attachment: return m_attachmentCtrl;
    case Datatype::FilePath: return m_filepathCtrl;
    default: return nullptr;
    }
}

bool LMDataPanel::isControlOfCurrentDatatype(QWidget *control) const
{
    if (!control)
        return false;
    if (Datatypes::is(m_datatype, Datatype::Date))
        return control == m_numCtrl1 || control == m_numCtrl2;
    return control == controlForDatatype(m_datatype);
}

void LMDataPanel::showPane(QWidget *pane)
{
    m_host->setCurrentWidget(pane);
    m_curPan = pane;
}

void LMDataPanel::clearTarget()
{
    m_datasource = nullptr;
    m_database = nullptr;
    m_datatype.clear();
    m_table.clear();
    m_column.clear();
    m_row = -1;
    m_rowid.clear();
    m_delegate = nullptr;
    m_loaded = Value();
}

void LMDataPanel::startEditingForDatasource(LMDataPanelClient *datasource, const QString &column, int row)
{
    if (shouldSkip())
        return;
    // Whatever the previous field's editor holds belongs to that field, never to the one now focused
    // (the guards make this a no-op unless the panel is key).
    if (m_curPan != m_naPan)
        complete();
    clearTarget();
    if (row == -1 || !datasource || column.isEmpty()) {
        showPane(m_naPan);
        m_curCtrl = nullptr;
        return;
    }
    m_datasource = datasource;
    m_database = datasource->database();
    m_table = datasource->pureName();
    m_column = column;
    m_datatype = m_database ? m_database->typeForTable(m_table, m_column) : QString();
    m_row = row;
    Value value = datasource->storedValueForColumn(column, row);
    if (Datatypes::is(m_datatype, Datatype::Text) && value.isNull())
        value = Value(QString());
    showValue(value, m_datatype);
}

void LMDataPanel::startEditingForTable(const QString &table, const QString &column, const QString &rowid,
                                       OXDatabase *database, LMDataPanelDelegate *delegate)
{
    if (shouldSkip())
        return;
    if (m_curPan != m_naPan)
        complete();
    clearTarget();
    m_database = database;
    m_table = table;
    m_column = column;
    m_rowid = rowid;
    m_delegate = delegate;
    if (!database || table.isEmpty() || column.isEmpty() || isNullLike(rowid)) {
        showPane(m_naPan);
        m_curCtrl = nullptr;
        return;
    }
    m_datatype = database->typeForTable(table, column);
    Value value;
    if (MyDocument *document = database->document(); document && document->mediaCache())
        value = document->mediaCache()->nativeObjectForTable(table, column, rowid);
    if (value.isNull()) {
        const std::shared_ptr<QLiteCursor> cursor = database->executeQuery(
            QStringLiteral("SELECT %1 FROM %2 WHERE id = '%3'")
                .arg(QLiteDatabase::quoteIdentifier(column), QLiteDatabase::quoteIdentifier(table),
                     QLiteDatabase::prepareStringForQuery(rowid)));
        if (cursor && cursor->rowCount() > 0) {
            const QString text = cursor->rowAtIndex(0)->stringForColumn(table + QLatin1Char('.') + column);
            if (!isNullLike(text))
                value = database->dbToNativeForTable(text, table, column);
        }
    }
    if (Datatypes::is(m_datatype, Datatype::Text) && value.isNull())
        value = Value(QString());
    showValue(value, m_datatype);
}

void LMDataPanel::startEditingForObjectValue(const Value &value, const QString &datatype)
{
    if (shouldSkip())
        return;
    if (m_curPan != m_naPan)
        complete();
    showValue(value, datatype);
}

void LMDataPanel::startEditingForValue(const Value &value, const QString &datatype)
{
    showValue(value, datatype);
}

void LMDataPanel::showValue(const Value &value, const QString &datatype)
{
    m_datatype = datatype;
    m_curCtrl = controlForDatatype(datatype);
    m_panel->setSizeIncrement(1, 1);
    showPane(paneForDatatype(datatype));
    loadValue(m_curCtrl, value);
    // Remembered as the editor answers it, so a later comparison sets like against like.
    m_loaded = m_curCtrl ? valueOfControl(m_curCtrl) : value;
}

void LMDataPanel::loadValue(QWidget *control, const Value &value)
{
    if (!control)
        return;
    if (control == m_textCtrl) {
        const QSignalBlocker blocker(m_textCtrl);
        m_textCtrl->setPlainText(value.isString() ? value.toString() : value.stringValue());
    } else if (control == m_numCtrl1) {
        setDateControls(value.isDate() ? value : Value());
    } else if (control == m_listCtrl) {
        const QSignalBlocker blocker(m_listCtrl);
        m_listCtrl->setObjectValue(value);
    } else if (auto *well = qobject_cast<LMDataPanelWell *>(control)) {
        well->setObjectValue(value);
    }
}

void LMDataPanel::setDateControls(const Value &date)
{
    const QSignalBlocker block1(m_numCtrl1);
    const QSignalBlocker block2(m_numCtrl2);
    if (!date.isDate()) {
        // No stored date: the field says so, and nothing is written until the user picks one.
        m_numCtrl1->setDateTime(noDate());
        return;
    }
    const QDateTime local = date.toDateTime().toLocalTime();
    m_numCtrl1->setDateTime(local);
    m_numCtrl2->setSelectedDate(local.date());
}

bool LMDataPanel::hasDate() const
{
    return m_numCtrl1->dateTime() > noDate();
}

Value LMDataPanel::dateOfMainControl() const
{
    if (!hasDate())
        return Value();
    return Value::date(std::round(ReferenceDate::fromDateTime(m_numCtrl1->dateTime())));
}

Value LMDataPanel::value() const
{
    if (!m_curCtrl)
        return Value();
    return valueOfControl(m_curCtrl);
}

Value LMDataPanel::valueOfControl(QWidget *control) const
{
    if (control == m_textCtrl)
        return Value(m_textCtrl->toPlainText());
    if (control == m_numCtrl1)
        return dateOfMainControl();
    if (control == m_numCtrl2)
        return Value::dateTime(
            QDateTime(m_numCtrl2->selectedDate(), hasDate() ? m_numCtrl1->time() : QTime(0, 0), Qt::LocalTime));
    if (control == m_listCtrl)
        return m_listCtrl->objectValue();
    if (auto *well = qobject_cast<LMDataPanelWell *>(control))
        return well->objectValue();
    return Value();
}

void LMDataPanel::action(QWidget *control)
{
    if (m_selfCalling)
        return;
    const FlagScope calling(m_selfCalling);
    if (!m_forceAction && (shouldSkip() || m_tempDisabled))
        return;
    m_curCtrl = controlForDatatype(m_datatype);
    // Only the editor of the field's own datatype speaks for it: a stray control never writes.
    if (!isControlOfCurrentDatatype(control))
        return;
    Value value;
    if (Datatypes::is(m_datatype, Datatype::Text)) {
        value = Value(m_textCtrl->toPlainText());
    } else if (Datatypes::is(m_datatype, Datatype::Date)) {
        {
            // A date still being typed counts: the field reports it only when editing ends, which
            // comes after the panel has resigned key and committed.
            const QSignalBlocker blocker(m_numCtrl1);
            m_numCtrl1->interpretText();
        }
        value = valueOfControl(control);
        if (!value.isNull()) {
            const QSignalBlocker block1(m_numCtrl1);
            const QSignalBlocker block2(m_numCtrl2);
            if (control == m_numCtrl1)
                m_numCtrl2->setSelectedDate(m_numCtrl1->date());
            else
                m_numCtrl1->setDateTime(value.toDateTime().toLocalTime());
        }
    } else {
        value = valueOfControl(control);
    }
    // No value, or the value the field already holds: nothing to write. Skipping an unchanged editor
    // also keeps a panel that was shown earlier from putting back content the field no longer holds.
    if (value.isNull() || value == m_loaded)
        return;
    if (!m_datasource && (!m_database || m_table.isEmpty() || isNullLike(m_rowid)))
        return;
    const std::optional<Alert> refusal = writeValue(value);
    if (!refusal) {
        m_loaded = value;
    } else if (!m_datasource) {
        // The grid shows its own refusals; on a form the panel is the one that knows the value was refused.
        QWidget *window = m_delegate ? m_delegate->dataPanelWindow() : nullptr;
        if (!window && m_database)
            window = m_database->window();
        Ui::instance().runAlert(*refusal, window);
    }
    if (m_datasource) {
        if (m_datasource->hasTableView())
            m_datasource->reloadTableView();
    } else if (m_delegate) {
        m_delegate->reloadData();
    }
}

std::optional<Alert> LMDataPanel::writeValue(const Value &value)
{
    OXDatabase *database = m_datasource ? m_datasource->database() : m_database.data();
    // A transaction already open belongs to someone else: write inside it and leave it to them.
    const bool ownsTransaction = database && !database->isTransactionActive() && database->beginTransaction();
    std::optional<Alert> refusal;
    if (m_datasource)
        refusal = m_datasource->setValueForColumn(value, m_column, m_row);
    else
        refusal = m_database->insertNativeValue(value, m_table, m_column, m_rowid);
    if (ownsTransaction && !database->commitTransaction()) {
        const QString code = QString::number(database->lastErrorID());
        database->rollbackTransaction();
        Alert failure = Alert::make(QStringLiteral("An Error Occurred"),
                                    QStringLiteral("Please submit a bug report to tandrel. Error code %1").arg(code));
        Ui::instance().runAlert(failure, database->window());
        return failure;
    }
    return refusal;
}

void LMDataPanel::complete()
{
    action(controlForDatatype(m_datatype));
}

void LMDataPanel::forcedCommit()
{
    const FlagScope forced(m_forceAction);
    action(controlForDatatype(m_datatype));
}

void LMDataPanel::forceAction(QWidget *control)
{
    const bool wasDisabled = m_tempDisabled;
    m_tempDisabled = false;
    if (!m_panel->isVisible())
        m_panel->show();
    m_panel->raise();
    action(control);
    m_tempDisabled = wasDisabled;
}

void LMDataPanel::reloadData()
{
    if (shouldSkip() || m_datasource || m_table.isEmpty())
        return;
    // Copies: starting to edit clears the members these would otherwise refer to.
    const QString table = m_table, column = m_column, rowid = m_rowid;
    startEditingForTable(table, column, rowid, m_database, m_delegate);
}

void LMDataPanel::documentDidBecomeInvalid()
{
    showPane(m_naPan);
    m_curCtrl = nullptr;
    clearTarget();
}

void LMDataPanel::mainDateControl()
{
    if (!Datatypes::is(m_datatype, Datatype::Date))
        return;
    if (hasDate()) {
        const QSignalBlocker blocker(m_numCtrl2);
        m_numCtrl2->setSelectedDate(m_numCtrl1->date());
    }
    action(m_numCtrl1);
}

void LMDataPanel::calDateControl()
{
    if (!Datatypes::is(m_datatype, Datatype::Date))
        return;
    {
        const QSignalBlocker blocker(m_numCtrl1);
        const QTime time = hasDate() ? m_numCtrl1->time() : QTime(0, 0);
        m_numCtrl1->setDateTime(QDateTime(m_numCtrl2->selectedDate(), time, Qt::LocalTime));
    }
    action(m_numCtrl1);
}

void LMDataPanel::todayButton()
{
    if (!Datatypes::is(m_datatype, Datatype::Date))
        return;
    const QDateTime now = ReferenceDate::toDateTime(std::round(ReferenceDate::now())).toLocalTime();
    {
        const QSignalBlocker block1(m_numCtrl1);
        const QSignalBlocker block2(m_numCtrl2);
        m_numCtrl1->setDateTime(now);
        m_numCtrl2->setSelectedDate(now.date());
    }
    complete();
}

void LMDataPanel::windowDidBecomeKey()
{
    m_tempDisabled = false;
}

void LMDataPanel::windowDidResignKey()
{
    forcedCommit();
    m_tempDisabled = true;
}

void LMDataPanel::windowDidResignMain()
{
    forcedCommit();
    m_tempDisabled = true;
}

void LMDataPanel::windowDidClose()
{
    forcedCommit();
    m_tempDisabled = true;
}

void LMDataPanel::windowDidMiniaturize()
{
    m_tempDisabled = true;
}

void LMDataPanel::forgetClient(LMDataPanelClient *client)
{
    if (client && m_datasource == client)
        documentDidBecomeInvalid();
}

void LMDataPanel::forgetDelegate(LMDataPanelDelegate *delegate)
{
    if (delegate && m_delegate == delegate)
        documentDidBecomeInvalid();
}
