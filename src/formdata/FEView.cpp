// FEView: building live controls, loading a record into them and running each control's action.
#include "FEView.h"

#include "DesignVocabulary.h"
#include "FDControlArchiver.h"
#include "FDControlWidgets.h"
#include "FDKeys.h"
#include "FDSerializationServices.h"
#include "FDSpringsStruts.h"
#include "FEBinding.h"
#include "FEControl.h"
#include "FEControlAttributes.h"
#include "FEScriptHooks.h"
#include "LMFormDataController.h"
#include "LMScriptViews.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "OXJavascriptRunController.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"
#include "Ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMetaMethod>
#include <QPainter>

using namespace FDKeys;
namespace S = FDSerializationServices;

namespace {
// The cover over a form that shows no record: it takes the clicks the controls would get.
class FECover : public QWidget {
public:
    explicit FECover(QWidget *parent) : QWidget(parent) { setObjectName(QStringLiteral("FECover")); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(128, 128, 128, 60));
    }
};
} // namespace

FEView::FEView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FEView"));
    m_cover = new FECover(this);
    m_cover->hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        for (FEControl *control : std::as_const(m_controls))
            if (now && control->nsControl() && (now == control->nsControl() || control->nsControl()->isAncestorOf(now)))
                emit focusedControlChanged(control);
    });
}

FEView::~FEView()
{
    // A run still under way reaches this form through its host calls: it ends before the form goes.
    endScriptRunsForForm(this);
}

QString FEView::contentTable() const
{
    return m_form.value(kContentTable).toString();
}

bool FEView::canBeEnabled() const
{
    const QString table = contentTable();
    return !table.isEmpty() && table != QLatin1String("None");
}

void FEView::clearControls()
{
    for (FEControl *control : std::as_const(m_controls))
        delete control;
    m_controls.clear();
}

void FEView::setDictionary(const Value &form)
{
    clearControls();
    m_form = form;
    const Value canvas = form.value(kCanvas);
    const QSizeF size = S::unserializeRect(canvas.value(kCanvasSize).toString()).size();
    m_canvasSize = size.width() > 0 && size.height() > 0 ? size : QSizeF(400, 400);
    m_background = S::colorFromValue(canvas.value(kBackgroundColor)).value_or(QColor(Qt::white));
    m_usesBackground = S::unserializeInteger(canvas.value(kUsesBackgroundColor)) != 0;
    setMinimumSize(m_canvasSize.toSize());
    const Value entries = form.value(kControls);
    for (int i = 0; i < entries.size(); ++i)
        if (FEControl *control = buildControl(entries.at(i)))
            m_controls << control;
    linkKeyViews();
    applyOutlets();
    layoutControls();
    m_cover->raise();
    update();
}

FEControl *FEView::buildControl(const Value &entry)
{
    if (!entry.isDict())
        return nullptr;
    const std::optional<Value> archived = FDControlArchiver::unarchiveControl(entry.value(kControlData).toData());
    const Value control = archived && archived->isObject() ? *archived : Value();
    QWidget *widget = FDControlWidgets::createWidget(control, nullptr);
    FEControl *wrapper = FEControl::fecontrolFromControl(widget, entry.value(kClass).toString(), this);
    wrapper->setArchivedControl(control);
    connect(wrapper, &FEControl::controlActed, this, &FEView::controlAction);
    wrapper->setInfo(entry.value(kInfo));
    // The stored frame is the control proper; data entry draws it 4 points further left, 2 lower and 4 wider.
    const QRectF stored = S::unserializeRect(entry.value(kFrame).toString());
    wrapper->setFrameExcludingLabel(QRectF(stored.x() - 4, stored.y() + 2, stored.width() + 4, stored.height()));
    wrapper->setOriginalFrame(QRectF(wrapper->geometry()));
    wrapper->setResizeMask(S::unserializeInteger(entry.value(kSpringsStruts)));
    applyFieldSettings(wrapper);
    wrapper->show();
    return wrapper;
}

void FEView::applyFieldSettings(FEControl *control)
{
    if (!m_database)
        return;
    const QString table = contentTable();
    const QString field = FEBinding::boundField(*m_database, table, control->info(), kValuePath);
    if (field.isEmpty())
        return;
    if (Datatypes::fromName(m_database->typeForTable(table, field)) == Datatype::Options) {
        const QStringList options = m_database->objectForKey(DesignKey::Options, table, field).toStringList();
        if (control->acceptsOptions())
            control->setOptions(options);
        if (control->isPopUpMenu()) {
            const Value fallback = m_database->defaultForTable(table, field);
            control->setPopUpItems(options, fallback.isString() ? fallback.toString() : QString());
        }
        return;
    }
    if (control->acceptsFormatter()) {
        const FieldFormatter formatter = m_database->formatterForTable(table, field);
        if (!formatter.isNull())
            control->setFormatter(formatter);
    }
}

void FEView::linkKeyViews()
{
    QWidget *previous = nullptr;
    for (FEControl *control : std::as_const(m_controls)) {
        QWidget *widget = control->nsControl();
        if (!widget)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void FEView::applyOutlets()
{
    for (FEControl *control : std::as_const(m_controls)) {
        const QString uuid = control->info().value(kOutletValue).toString();
        const QString key = control->info().value(kOutletKey).toString();
        FEControl *target = uuid.isEmpty() || key.isEmpty() ? nullptr : controlWithUUID(uuid);
        if (!target || !control->nsControl() || !target->nsControl())
            continue;
        // The key view chain is the one outlet every control has; other attributes a widget lacks are skipped.
        if (key == QLatin1String("nextKeyView"))
            QWidget::setTabOrder(control->nsControl(), target->nsControl());
        else if (control->nsControl()->metaObject()->indexOfProperty(key.toLatin1().constData()) >= 0)
            control->nsControl()->setProperty(key.toLatin1().constData(),
                                              QVariant::fromValue<QObject *>(target->nsControl()));
    }
}

FEControl *FEView::controlWithUUID(const QString &uuid) const
{
    for (FEControl *control : m_controls)
        if (!uuid.isEmpty() && control->uuid() == uuid)
            return control;
    return nullptr;
}

FEControl *FEView::controlNamed(const QString &name) const
{
    for (FEControl *control : m_controls)
        if (!name.isEmpty() && control->name() == name)
            return control;
    return nullptr;
}

void FEView::refresh()
{
    setDictionary(m_form);
    reloadData();
}

// --- Records

void FEView::setRecordNumber(const QString &id)
{
    if (id != m_recordNumber)
        m_lastField.clear();
    m_recordNumber = id;
    if (id.isEmpty() || !m_database) {
        m_row = Value();
        setEnabled(false);
        return;
    }
    const QString table = contentTable();
    if (table.isEmpty())
        return;
    const std::shared_ptr<QLiteCursor> cursor = m_database->executeQuery(
        QStringLiteral("SELECT * FROM `%1` WHERE id='%2'").arg(table, QLiteDatabase::prepareStringForQuery(id)));
    const std::optional<QLiteRow> record = cursor && cursor->rowCount() > 0 ? cursor->rowAtIndex(0) : std::nullopt;
    if (!record) {
        m_row = Value();
        setEnabled(false);
        return;
    }
    m_row = record->values();
    setEnabled(canBeEnabled());
    m_loadedTexts.clear();
    auto nativeOf = [&](const QString &field) {
        const QString stored = record->stringForColumn(table + '.' + field);
        m_loadedTexts.insert(field, stored);
        // A NULL cell reads as "<null>"; every null-like text is no value.
        return DesignVocabulary::isNullLike(stored) ? Value()
                                                    : FEBinding::nativeValue(*m_database, table, field, stored);
    };
    // An empty text decides like the empty string; other empty values decide nothing.
    auto truthOf = [&](const QString &field) -> std::optional<bool> {
        const Value value = nativeOf(field);
        if (value.isNull()) {
            const Datatype type = Datatypes::fromName(m_database->typeForTable(table, field));
            if (type == Datatype::Text || type == Datatype::Options || type == Datatype::FilePath)
                return false;
        }
        return FEBinding::truthOf(value);
    };
    for (FEControl *control : std::as_const(m_controls)) {
        const Value info = control->info();
        const QString valueField = FEBinding::boundField(*m_database, table, info, kValuePath);
        if (!valueField.isEmpty())
            control->writeValue(nativeOf(valueField));
        const QString tipField = FEBinding::boundField(*m_database, table, info, kTooltipPath);
        if (!tipField.isEmpty()) {
            const Value tip = nativeOf(tipField);
            if (tip.isString() && control->nsControl())
                control->nsControl()->setToolTip(tip.toString());
        }
        const QString enabledField = FEBinding::boundField(*m_database, table, info, kEnabledPath);
        if (!enabledField.isEmpty())
            if (const std::optional<bool> truth = truthOf(enabledField); truth && control->nsControl())
                control->nsControl()->setEnabled(*truth);
        const QString visibleField = FEBinding::boundField(*m_database, table, info, kVisiblePath);
        if (!visibleField.isEmpty())
            if (const std::optional<bool> truth = truthOf(visibleField))
                control->setVisible(*truth);
    }
}

void FEView::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled)
        for (FEControl *control : std::as_const(m_controls))
            control->clearValue();
    for (FEControl *control : std::as_const(m_controls))
        if (control->nsControl())
            control->nsControl()->setEnabled(enabled);
    m_cover->setVisible(!enabled);
    m_cover->raise();
}

bool FEView::isCovered() const
{
    return !m_enabled;
}

// --- Actions

bool FEView::sendMessageFromControl(FEControl *control, const QString &function)
{
    if (!control || !m_controller)
        return false;
    return FEScriptHooks::sendMessageFromControl(m_controller->document(), m_controller->name(), control->info(),
                                                 function, this);
}

void FEView::startControlScript(FEControl *control)
{
    if (!control || !m_controller)
        return;
    OXJavascriptRunController *run =
        FEScriptHooks::startActionFromControl(m_controller->document(), m_controller->name(), control->info(), this);
    // What the script changed shows when it ends.
    if (run)
        connect(run, &OXJavascriptRunController::finished, this, [this] {
            if (m_controller)
                m_controller->reloadData();
            else
                reloadData();
        });
}

void FEView::followLink(FEControl *sender)
{
    const QString uuid = sender->info().value(kTarget).toString();
    QString action = sender->info().value(kAction).toString();
    FEControl *target = uuid.isEmpty() || action.isEmpty() ? nullptr : controlWithUUID(uuid);
    if (!target || !target->nsControl())
        return;
    if (action.endsWith(QLatin1Char(':')))
        action.chop(1);
    // Taking a value from the sender and pressing a button are the actions every kind understands; any
    // other action is a slot of the target widget, or nothing.
    if (action == QLatin1String("takeStringValueFrom") || action == QLatin1String("takeObjectValueFrom")) {
        target->writeValue(sender->readValue().value);
    } else if (action == QLatin1String("performClick")) {
        if (auto *button = qobject_cast<QAbstractButton *>(target->nsControl()))
            button->click();
    } else {
        QWidget *widget = target->nsControl();
        const int index = widget->metaObject()->indexOfMethod(
            QMetaObject::normalizedSignature(QStringLiteral("%1()").arg(action).toLatin1().constData()));
        if (index >= 0)
            widget->metaObject()->method(index).invoke(widget, Qt::DirectConnection);
    }
}

bool FEView::openRelationship(FEControl *sender)
{
    const QString table = contentTable();
    const QString field = FEBinding::boundFieldOrRelationship(*m_database, table, sender->info(), kValuePath);
    if (field.isEmpty() || Datatypes::fromName(m_database->typeForTable(table, field)) != Datatype::Relationship)
        return false;
    if (m_controller)
        m_controller->openRelatedRecords(field, m_recordNumber);
    return true;
}

void FEView::controlAction(FEControl *sender)
{
    // A sheet shown by the save can end a text field's editing again; that second end is not a new action.
    if (m_inAction || !m_database)
        return;
    m_inAction = true;
    const QString table = contentTable();
    sendMessageFromControl(sender, FEScriptHooks::kWillAction);
    if (sender)
        followLink(sender);
    if (sender && !table.isEmpty() && openRelationship(sender)) {
        sendMessageFromControl(sender, FEScriptHooks::kDidAction);
        startControlScript(sender);
        m_inAction = false;
        return;
    }
    if (sender && !table.isEmpty()) {
        const QString field = FEBinding::boundField(*m_database, table, sender->info(), kValuePath);
        const FEControlValue value = sender->readValue();
        if (!field.isEmpty() && !m_recordNumber.isEmpty() && !isUnchanged(field, value)) {
            const FEBinding::SaveResult result = FEBinding::save(*m_database, table, m_recordNumber, field, value);
            if (result.written && m_database->document())
                m_database->document()->setChanged(true);
            if (result.refusal) {
                Ui::instance().runAlert(*result.refusal, window());
                reloadData();
            }
            m_lastField = field;
        }
    }
    sendMessageFromControl(sender, FEScriptHooks::kDidAction);
    startControlScript(sender);
    m_inAction = false;
    if (m_controller)
        m_controller->reloadData();
    else
        reloadData();
}

bool FEView::isUnchanged(const QString &field, const FEControlValue &value) const
{
    if (value.kind != FEControlValue::Kind::Object || !m_loadedTexts.contains(field))
        return false;
    const QString stored = m_loadedTexts.value(field);
    const QString now = m_database->nativeToDbForTable(value.value, contentTable(), field, false);
    return now == stored || (DesignVocabulary::isNullLike(now) && DesignVocabulary::isNullLike(stored));
}

// --- What scripts see

std::optional<Value> FEView::controlValue(const QString &name) const
{
    FEControl *control = controlNamed(name);
    if (!control)
        return std::nullopt;
    return control->readValue().value;
}

void FEView::setControlValue(const QString &name, const Value &value)
{
    if (FEControl *control = controlNamed(name))
        control->writeValue(value);
}

std::optional<Value> FEView::controlAttribute(const QString &name, const QString &attribute) const
{
    FEControl *control = controlNamed(name);
    if (!control || !control->nsControl())
        return std::nullopt;
    const QString key = attribute.toLower();
    if (key == QLatin1String("tooltip"))
        return Value(control->nsControl()->toolTip());
    if (key == QLatin1String("enabled"))
        return Value(control->nsControl()->isEnabled());
    if (key == QLatin1String("visible"))
        return Value(!control->isHidden());
    if (key == QLatin1String("label"))
        return control->info().value(kLabelText);
    return FEControlAttributes::read(*control, attribute);
}

void FEView::setControlAttribute(const QString &name, const QString &attribute, const Value &value)
{
    FEControl *control = controlNamed(name);
    if (!control || !control->nsControl())
        return;
    const QString key = attribute.toLower();
    const bool truth = FEBinding::truthOf(value).value_or(false);
    if (key == QLatin1String("tooltip")) {
        control->nsControl()->setToolTip(value.stringValue());
    } else if (key == QLatin1String("enabled")) {
        control->nsControl()->setEnabled(truth);
    } else if (key == QLatin1String("visible")) {
        control->setVisible(truth);
    } else if (key == QLatin1String("label")) {
        Value info = control->info();
        info.set(kLabelText, value.stringValue());
        control->labelTextChanged(value.stringValue());
    } else {
        FEControlAttributes::write(*control, attribute, value);
    }
}

// --- Layout

void FEView::layoutControls()
{
    const QSizeF now(qMax<qreal>(width(), m_canvasSize.width()), qMax<qreal>(height(), m_canvasSize.height()));
    for (FEControl *control : std::as_const(m_controls))
        control->setGeometry(
            FDSpringsStruts::resizedFrame(control->originalFrame(), control->resizeMask(), m_canvasSize, now).toRect());
    m_cover->setGeometry(rect());
}

void FEView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutControls();
}

void FEView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_usesBackground ? m_background : palette().window().color());
}
