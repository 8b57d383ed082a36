// FDCanvas: the stored form definition both ways, z-order, alignment, locking and auto-generation.
#include "FDCanvas.h"

#include "DesignVocabulary.h"
#include "FDControlArchiver.h"
#include "FDControlKinds.h"
#include "FDKeys.h"
#include "FDSerializationServices.h"
#include "OXDatabase.h"
#include "Ui.h"

#include <algorithm>

using namespace FDKeys;
namespace S = FDSerializationServices;

namespace {
QColor greyOfWhite(qreal white)
{
    return QColor::fromRgbF(float(white), float(white), float(white), 1.0f);
}

QColor colorOr(const Value &stored, const QColor &fallback)
{
    return S::colorFromValue(stored).value_or(fallback);
}

constexpr qreal kGenerateMargin = 20;
constexpr qreal kGenerateSpacing = 8;
constexpr qreal kGenerateBottom = 16;
constexpr qreal kEmptyGeneratedHeight = 30;
} // namespace

FDCanvas::FDCanvas(QObject *parent)
    : QObject(parent), m_minorLineColor(greyOfWhite(0.9575)), m_majorLineColor(greyOfWhite(0.91))
{
}

// ---- Settings

void FDCanvas::setShowGrid(bool show)
{
    m_showGrid = show;
    emit changed();
}

void FDCanvas::setSnapToGrid(bool snap)
{
    m_snapToGrid = snap;
    emit canvasPaneNeedsRefresh();
}

void FDCanvas::setBackgroundColor(const QColor &color)
{
    m_backgroundColor = color;
    emit changed();
}

void FDCanvas::setUsesBackgroundColor(bool uses)
{
    m_usesBackgroundColor = uses;
    emit changed();
}

void FDCanvas::setMinorLineSpacing(int spacing)
{
    // A spacing below one point would draw (and snap to) nothing useful.
    m_minorLineSpacing = qMax(1, spacing);
    emit changed();
}

void FDCanvas::setMajorLineInterval(int interval)
{
    m_majorLineInterval = qMax(1, interval);
    emit changed();
}

void FDCanvas::setMinorLineColor(const QColor &color)
{
    m_minorLineColor = color;
    emit changed();
}

void FDCanvas::setMajorLineColor(const QColor &color)
{
    m_majorLineColor = color;
    emit changed();
}

void FDCanvas::setCanvasSize(const QSizeF &size)
{
    m_size = size;
    emit changed();
    emit canvasPaneNeedsRefresh();
}

void FDCanvas::resizeCanvas(const QSizeF &size)
{
    setCanvasSize(QSizeF(qMax(kMinimumCanvasSide, size.width()), qMax(kMinimumCanvasSide, size.height())));
}

// ---- Reading and writing

void FDCanvas::setDictionary(const Value &definition)
{
    m_definition = definition.isDict() ? definition : Value::dict();
    m_controls.clear();
    m_selection.clear();
    m_name = m_definition.value(kName).toString();
    m_contentTable = m_definition.value(kContentTable).toString();

    const Value canvas = m_definition.value(kCanvas);
    m_showGrid = S::unserializeInteger(canvas.value(kShowGrid, "1")) != 0;
    m_snapToGrid = S::unserializeInteger(canvas.value(kSnapToGrid, "1")) != 0;
    m_usesBackgroundColor = S::unserializeInteger(canvas.value(kUsesBackgroundColor)) != 0;
    m_minorLineSpacing =
        canvas.contains(kMinorLineSpacing) ? S::unserializeInteger(canvas.value(kMinorLineSpacing)) : 10;
    m_majorLineInterval =
        canvas.contains(kMajorLineInterval) ? S::unserializeInteger(canvas.value(kMajorLineInterval)) : 7;
    m_backgroundColor = colorOr(canvas.value(kBackgroundColor), Qt::white);
    m_minorLineColor = colorOr(canvas.value(kMinorLineColor), greyOfWhite(0.9575));
    m_majorLineColor = colorOr(canvas.value(kMajorLineColor), greyOfWhite(0.91));
    m_size = QSizeF(kNewCanvasSide, kNewCanvasSide);
    if (canvas.contains(kCanvasSize)) {
        // Only the size counts; a text of just two numbers is taken as a size, and an empty size is no size.
        const QString text = canvas.value(kCanvasSize).toString();
        const QList<double> numbers = S::numbersInText(text, 4);
        const QSizeF size =
            numbers.size() == 2 ? QSizeF(numbers.at(0), numbers.at(1)) : S::unserializeRect(text).size();
        if (size.width() > 0 && size.height() > 0)
            m_size = size;
    }

    const Value entries = m_definition.value(kControls);
    for (int i = 0; i < entries.size(); ++i) {
        const Value entry = entries.at(i);
        if (!entry.isDict())
            continue;
        const QByteArray data = entry.value(kControlData).toData();
        const std::optional<Value> control = FDControlArchiver::unarchiveControl(data);
        // An entry whose control cannot be read is kept as an empty wrapper that writes its stored data back.
        FDControlPtr wrapper = control && control->isObject()
                                   ? FDControl::fdcontrolFromControl(*control, this)
                                   : FDControl::unreadable(entry.value(kClass).toString(), data, this);
        const QRectF stored = S::unserializeRect(entry.value(kFrame).toString());
        wrapper->setFrameExcludingLabel(
            stored.adjusted(-FDControl::kMargin, -FDControl::kMargin, FDControl::kMargin, FDControl::kMargin));
        wrapper->setResizeMask(S::unserializeInteger(entry.value(kSpringsStruts)));
        const Value info = entry.value(kInfo);
        wrapper->setInfo(info.isDict() ? info.deepCopy() : Value::dict());
        wrapper->setLocked(entry.value(kIsLocked).toBool());
        m_controls.append(wrapper);
    }
    emit changed();
    emit selectionChanged();
    alertCanvasPane();
}

Value FDCanvas::dictionary()
{
    m_definition.set(kName, m_name);
    m_definition.set(kContentTable, m_contentTable);
    Value canvas = Value::dict();
    canvas.set(kShowGrid, S::serializeInteger(m_showGrid ? 1 : 0));
    canvas.set(kSnapToGrid, S::serializeInteger(m_snapToGrid ? 1 : 0));
    canvas.set(kBackgroundColor, S::serializeColor(m_backgroundColor));
    canvas.set(kMinorLineColor, S::serializeColor(m_minorLineColor));
    canvas.set(kMajorLineColor, S::serializeColor(m_majorLineColor));
    canvas.set(kMinorLineSpacing, S::serializeInteger(m_minorLineSpacing));
    canvas.set(kMajorLineInterval, S::serializeInteger(m_majorLineInterval));
    canvas.set(kUsesBackgroundColor, S::serializeInteger(m_usesBackgroundColor ? 1 : 0));
    canvas.set(kCanvasSize, S::serializeRect(QRectF(QPointF(0, 0), m_size)));
    m_definition.set(kCanvas, canvas);

    Value entries = Value::array();
    for (const FDControlPtr &control : resetControls(true)) {
        Value entry = Value::dict();
        entry.set(kClass, control->className());
        entry.set(kFrame, S::serializeRect(control->controlFrame()));
        entry.set(kSpringsStruts, S::serializeInteger(control->resizeMask()));
        entry.set(kInfo, control->info().deepCopy());
        entry.set(kControlData, control->controlData());
        entry.set(kIsLocked, control->isLocked());
        entries.append(entry);
    }
    m_definition.set(kControls, entries);
    return m_definition;
}

// ---- Controls and selection

int FDCanvas::indexOf(const FDControl *control) const
{
    for (int i = 0; i < m_controls.size(); ++i)
        if (m_controls.at(i).get() == control)
            return i;
    return -1;
}

FDControlPtr FDCanvas::controlWithUUID(const QString &uuid) const
{
    for (const FDControlPtr &control : m_controls)
        if (!uuid.isEmpty() && control->uuid() == uuid)
            return control;
    return nullptr;
}

FDControlPtr FDCanvas::controlNamed(const QString &name) const
{
    for (const FDControlPtr &control : m_controls)
        if (!name.isEmpty() && control->scriptBridgeName() == name)
            return control;
    return nullptr;
}

void FDCanvas::addControl(const FDControlPtr &control, int index)
{
    if (!control || indexOf(control.get()) >= 0)
        return;
    control->setCanvas(this);
    if (index < 0 || index > m_controls.size())
        m_controls.append(control);
    else
        m_controls.insert(index, control);
    emit changed();
}

void FDCanvas::removeControl(const FDControlPtr &control)
{
    const int index = indexOf(control.get());
    if (index < 0)
        return;
    m_controls.removeAt(index);
    if (m_selection.removeAll(control) > 0)
        emit selectionChanged();
    emit changed();
}

void FDCanvas::selectControls(const FDControlList &controls)
{
    FDControlList selection;
    for (const FDControlPtr &control : controls)
        if (control && indexOf(control.get()) >= 0 && !selection.contains(control))
            selection.append(control);
    if (selection == m_selection)
        return;
    m_selection = selection;
    emit selectionChanged();
    emit changed();
    alertSizePane();
    alertActionPane();
}

bool FDCanvas::isSelected(const FDControl *control) const
{
    return std::any_of(m_selection.begin(), m_selection.end(),
                       [control](const FDControlPtr &c) { return c.get() == control; });
}

FDControlList FDCanvas::selectionInZOrder() const
{
    FDControlList ordered;
    for (const FDControlPtr &control : m_controls)
        if (m_selection.contains(control))
            ordered.append(control);
    return ordered;
}

void FDCanvas::selectAll()
{
    selectControls(m_controls);
}

// ---- Z-order

void FDCanvas::moveTo(const FDControlPtr &control, int index)
{
    const int from = indexOf(control.get());
    if (from < 0)
        return;
    m_controls.removeAt(from);
    m_controls.insert(qBound(0, index, int(m_controls.size())), control);
}

void FDCanvas::bringToFront()
{
    for (const FDControlPtr &control : selectionInZOrder())
        moveTo(control, int(m_controls.size()));
    emit changed();
}

void FDCanvas::sendToBack()
{
    const FDControlList selected = selectionInZOrder();
    for (int i = 0; i < selected.size(); ++i)
        moveTo(selected.at(i), i);
    emit changed();
}

void FDCanvas::bringForwards()
{
    const FDControlList before = m_controls;
    for (const FDControlPtr &control : selectionInZOrder()) {
        const int at = int(before.indexOf(control));
        if (at + 1 >= before.size()) {
            moveTo(control, int(m_controls.size()));
            continue;
        }
        const FDControlPtr next = before.at(at + 1);
        m_controls.removeAll(control);
        m_controls.insert(indexOf(next.get()) + 1, control);
    }
    emit changed();
}

void FDCanvas::sendBackwards()
{
    const FDControlList before = m_controls;
    const FDControlList selected = selectionInZOrder();
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        const FDControlPtr &control = *it;
        const int at = int(before.indexOf(control));
        if (at <= 0)
            continue;
        const FDControlPtr previous = before.at(at - 1);
        m_controls.removeAll(control);
        m_controls.insert(indexOf(previous.get()), control);
    }
    emit changed();
}

// ---- Alignment and locking

bool FDCanvas::align(const std::function<QRectF(const QRectF &, const QRectF &)> &rule)
{
    if (m_selection.isEmpty()) {
        Ui::instance().beep();
        return false;
    }
    if (m_selection.size() == 1)
        return true;
    const QRectF reference = m_selection.first()->frameExcludingLabel();
    for (const FDControlPtr &control : m_selection)
        control->setFrameExcludingLabel(rule(reference, control->frameExcludingLabel()));
    emit changed();
    alertSizePane();
    return true;
}

bool FDCanvas::alignLeft()
{
    return align([](const QRectF &ref, QRectF r) {
        r.moveLeft(ref.left());
        return r;
    });
}

bool FDCanvas::alignRight()
{
    return align([](const QRectF &ref, QRectF r) {
        r.moveRight(ref.right());
        return r;
    });
}

bool FDCanvas::alignTop()
{
    return align([](const QRectF &ref, QRectF r) {
        r.moveTop(ref.top());
        return r;
    });
}

bool FDCanvas::alignBottom()
{
    return align([](const QRectF &ref, QRectF r) {
        r.moveBottom(ref.bottom());
        return r;
    });
}

void FDCanvas::lockUnlock()
{
    const bool anyUnlocked =
        std::any_of(m_selection.begin(), m_selection.end(), [](const FDControlPtr &c) { return !c->isLocked(); });
    for (const FDControlPtr &control : m_selection)
        control->setLocked(anyUnlocked);
    emit changed();
}

// ---- Auto-generation

bool FDCanvas::autoGenerate(OXDatabase *database)
{
    if (!database || m_contentTable.isEmpty() || !database->tablesList().contains(m_contentTable))
        return false;
    const Value fields = database->tableDesign(m_contentTable).value(DesignKey::Fields);
    qreal y = kGenerateMargin;
    FDControlList made;
    for (int i = 0; i < fields.size(); ++i) {
        const Value field = fields.at(i);
        QSizeF size;
        const Value control = FDControlKinds::controlForField(field, &size);
        if (control.isNull())
            continue;
        const QString name = field.value(DesignKey::Name).toString();
        FDControlPtr wrapper = FDControl::fdcontrolFromControl(control, this);
        wrapper->setFrameExcludingLabel(
            QRectF(QPointF(kGenerateMargin, y), size)
                .adjusted(-FDControl::kMargin, -FDControl::kMargin, FDControl::kMargin, FDControl::kMargin));
        y += kGenerateSpacing + size.height();
        Value info = wrapper->info();
        info.set(kValuePath, name);
        info.set(kScriptBridgeName, name);
        info.set(kLabelText, name + QLatin1Char(':'));
        wrapper->setInfo(info);
        m_controls.append(wrapper);
        made.append(wrapper);
    }
    qreal widest = 0;
    for (const FDControlPtr &wrapper : made)
        widest = qMax(widest, wrapper->labelWidth());
    for (const FDControlPtr &wrapper : made) {
        QRectF frame = wrapper->frame();
        frame.moveLeft(kGenerateMargin + (widest - wrapper->labelWidth()));
        wrapper->setFrame(frame);
    }
    if (made.isEmpty()) {
        m_size.setHeight(kEmptyGeneratedHeight);
    } else {
        qreal right = 0;
        for (const FDControlPtr &wrapper : made)
            right = qMax(right, wrapper->frame().right());
        m_size = QSizeF(right + kGenerateMargin, made.last()->frame().bottom() + kGenerateBottom);
    }
    emit changed();
    alertCanvasPane();
    return true;
}
