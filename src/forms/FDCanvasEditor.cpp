// FDCanvasEditor: every change is made first, then its inverse goes on the document's undo stack.
#include "FDCanvasEditor.h"

#include "FDControlArchiver.h"
#include "FDControlKinds.h"
#include "FDKeys.h"
#include "FDResizeRule.h"
#include "FDSerializationServices.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUndoCommand>
#include <QUndoStack>
#include <cmath>

using namespace FDKeys;

// One step of the designer: a snapshot of which controls are on the canvas (and where) and of some frames.
class FDCanvasUndoCommand : public QUndoCommand {
public:
    enum class Kind { Add, Remove, Frames };

    FDCanvasUndoCommand(FDCanvasEditor *editor, Kind kind, FDControlList controls, QList<QRectF> frames,
                        QList<int> indexes, const QString &text)
        : QUndoCommand(text), m_editor(editor), m_kind(kind), m_controls(std::move(controls)),
          m_frames(std::move(frames)), m_indexes(std::move(indexes))
    {
    }

    const FDCanvasEditor *editor() const { return m_editor.data(); }
    void detach() { m_editor.clear(), setObsolete(true); }

    void undo() override { apply(true); }
    void redo() override
    {
        // The change was made before the step was pushed.
        if (!m_pushed) {
            m_pushed = true;
            return;
        }
        apply(false);
    }

private:
    void apply(bool undoing)
    {
        FDCanvas *canvas = m_editor ? m_editor->canvas() : nullptr;
        if (!canvas)
            return;
        const bool adding = (m_kind == Kind::Add) != undoing;
        if (m_kind == Kind::Frames) {
            const QList<QRectF> current = m_editor->framesOf(m_controls);
            m_editor->applyFrames(m_controls, m_frames);
            m_frames = current;
        } else if (adding) {
            for (int i = 0; i < m_controls.size(); ++i)
                canvas->addControl(m_controls.at(i), m_indexes.value(i, -1));
            canvas->selectControls(m_controls);
        } else {
            for (const FDControlPtr &control : m_controls)
                canvas->removeControl(control);
        }
        canvas->alertSizePane();
        emit m_editor->modelChanged();
    }

    QPointer<FDCanvasEditor> m_editor;
    Kind m_kind;
    FDControlList m_controls;
    QList<QRectF> m_frames;
    QList<int> m_indexes;
    bool m_pushed = false;
};

FDCanvasEditor::FDCanvasEditor(FDCanvas *canvas, QUndoStack *undoStack, QObject *parent)
    : QObject(parent), m_canvas(canvas), m_undoStack(undoStack)
{
}

FDCanvasEditor::~FDCanvasEditor()
{
    removeUndoActions();
}

// ---- Undo

void FDCanvasEditor::undoManager_addControls(const FDControlList &controls)
{
    if (m_undoStack)
        m_undoStack->push(
            new FDCanvasUndoCommand(this, FDCanvasUndoCommand::Kind::Add, controls, {}, {}, tr("Add Controls")));
    emit modelChanged();
}

void FDCanvasEditor::undoManager_removeControls(const FDControlList &controls, const QList<int> &indexes)
{
    if (m_undoStack)
        m_undoStack->push(new FDCanvasUndoCommand(this, FDCanvasUndoCommand::Kind::Remove, controls, {}, indexes,
                                                  tr("Delete Controls")));
    emit modelChanged();
}

void FDCanvasEditor::undoManager_setFrames(const QList<QRectF> &oldFrames, const FDControlList &controls)
{
    if (m_undoStack)
        m_undoStack->push(new FDCanvasUndoCommand(this, FDCanvasUndoCommand::Kind::Frames, controls, oldFrames, {},
                                                  tr("Move Controls")));
    emit modelChanged();
}

void FDCanvasEditor::removeUndoActions()
{
    if (!m_undoStack)
        return;
    bool onlyOursLeft = true;
    for (int i = 0; i < m_undoStack->count(); ++i) {
        // const_cast: QUndoStack hands out its commands only as const.
        auto *step = dynamic_cast<FDCanvasUndoCommand *>(const_cast<QUndoCommand *>(m_undoStack->command(i)));
        if (step && (step->editor() == this || !step->editor()))
            step->detach();
        else
            onlyOursLeft = false;
    }
    if (onlyOursLeft)
        m_undoStack->clear();
}

QList<QRectF> FDCanvasEditor::framesOf(const FDControlList &controls) const
{
    QList<QRectF> frames;
    for (const FDControlPtr &control : controls)
        frames.append(control->frame());
    return frames;
}

void FDCanvasEditor::applyFrames(const FDControlList &controls, const QList<QRectF> &frames)
{
    for (int i = 0; i < controls.size() && i < frames.size(); ++i)
        controls.at(i)->setFrame(frames.at(i));
    if (m_canvas)
        m_canvas->notifyChanged();
}

// ---- Adding and removing

void FDCanvasEditor::addControls(const FDControlList &controls)
{
    if (!m_canvas || controls.isEmpty())
        return;
    for (const FDControlPtr &control : controls)
        m_canvas->addControl(control);
    m_canvas->selectControls(controls);
    undoManager_addControls(controls);
}

FDControlPtr FDCanvasEditor::addControlOfKind(const QString &kindTitle, const QPointF &point)
{
    const Value control = FDControlKinds::makeControl(kindTitle);
    if (!m_canvas || control.isNull())
        return nullptr;
    FDControlPtr wrapper = FDControl::fdcontrolFromControl(control, m_canvas);
    QRectF frame = wrapper->frame();
    frame.moveTopLeft(point);
    wrapper->setFrame(frame);
    addControls({wrapper});
    return wrapper;
}

FDControlPtr FDCanvasEditor::dropControlData(const QByteArray &data, const QPointF &point)
{
    if (!m_canvas)
        return nullptr;
    FDControlPtr wrapper = FDControl::fdcontrolFromData(data, m_canvas);
    if (!wrapper)
        return nullptr;
    QRectF frame = wrapper->frame();
    frame.moveTopLeft(point);
    wrapper->setFrame(frame);
    wrapper->setDragCopyable(false);
    addControls({wrapper});
    return wrapper;
}

void FDCanvasEditor::deleteSelection()
{
    if (!m_canvas)
        return;
    const FDControlList doomed = m_canvas->selectionInZOrder();
    if (doomed.isEmpty())
        return;
    QList<int> indexes;
    for (const FDControlPtr &control : doomed)
        indexes.append(m_canvas->indexOf(control.get()));
    for (const FDControlPtr &control : doomed)
        m_canvas->removeControl(control);
    undoManager_removeControls(doomed, indexes);
}

// ---- Moving

void FDCanvasEditor::beginMove()
{
    m_gesture.clear();
    if (!m_canvas)
        return;
    for (const FDControlPtr &control : m_canvas->selection())
        if (!control->isLocked())
            m_gesture.append(control);
    m_gestureFrames = framesOf(m_gesture);
    m_gestureMoved = false;
}

void FDCanvasEditor::moveSelectionBy(const QPointF &delta)
{
    if (m_gesture.isEmpty() || !m_canvas)
        return;
    QPointF d = delta;
    if (m_canvas->snapToGrid() && m_canvas->minorLineSpacing() > 0) {
        // The first moved control's own top-left lands on the grid; the others keep their distance to it.
        const qreal step = m_canvas->minorLineSpacing();
        const QRectF first = m_gestureFrames.first();
        const qreal offset = m_gesture.first()->controlFrame().x() - m_gesture.first()->frame().x();
        const QPointF target(first.x() + offset + d.x(), first.y() + FDControl::kMargin + d.y());
        const QPointF snapped(std::round(target.x() / step) * step, std::round(target.y() / step) * step);
        d += snapped - target;
    }
    for (int i = 0; i < m_gesture.size(); ++i)
        m_gesture.at(i)->setFrame(m_gestureFrames.at(i).translated(d));
    m_gestureMoved = m_gestureMoved || !d.isNull();
    m_canvas->notifyChanged();
}

void FDCanvasEditor::endMove()
{
    if (m_gestureMoved)
        undoManager_setFrames(m_gestureFrames, m_gesture);
    m_gesture.clear();
    m_gestureFrames.clear();
    m_gestureMoved = false;
    if (m_canvas)
        m_canvas->alertSizePane();
}

void FDCanvasEditor::nudge(int dx, int dy, bool large)
{
    if (!m_canvas)
        return;
    const qreal step = large ? m_canvas->minorLineSpacing() : 1;
    FDControlList moved;
    for (const FDControlPtr &control : m_canvas->selection())
        if (!control->isLocked())
            moved.append(control);
    if (moved.isEmpty())
        return;
    const QList<QRectF> old = framesOf(moved);
    for (const FDControlPtr &control : moved)
        control->setFrame(control->frame().translated(dx * step, dy * step));
    m_canvas->notifyChanged();
    m_canvas->alertSizePane();
    undoManager_setFrames(old, moved);
}

// ---- Resizing

void FDCanvasEditor::beginResize(const FDControlPtr &control)
{
    m_resizing = control && !control->isLocked() ? control : nullptr;
    m_resizeStart = control ? control->frame() : QRectF();
    m_resized = false;
}

bool FDCanvasEditor::resizeBy(int handle, const QPointF &delta, bool symmetric, bool proportional)
{
    if (!m_resizing)
        return false;
    const std::optional<QRectF> frame =
        FDResizeRule::resizedFrame(m_resizeStart, m_resizing->labelWidth(), handle, delta, symmetric, proportional);
    if (!frame)
        return false;
    m_resizing->setFrame(*frame);
    m_resized = true;
    if (m_canvas) {
        m_canvas->notifyChanged();
        m_canvas->alertSizePane();
    }
    return true;
}

void FDCanvasEditor::endResize()
{
    if (m_resizing && m_resized)
        undoManager_setFrames({m_resizeStart}, {m_resizing});
    m_resizing.reset();
    m_resized = false;
}

void FDCanvasEditor::setFrameExcludingLabel(const FDControlPtr &control, const QRectF &frame)
{
    if (!control)
        return;
    const QList<QRectF> old = {control->frame()};
    control->setFrameExcludingLabel(frame);
    if (m_canvas) {
        m_canvas->notifyChanged();
        m_canvas->alertSizePane();
    }
    undoManager_setFrames(old, {control});
}

bool FDCanvasEditor::align(const QString &edge)
{
    if (!m_canvas)
        return false;
    const FDControlList selected = m_canvas->selection();
    const QList<QRectF> old = framesOf(selected);
    bool done = false;
    if (edge == QLatin1String("left"))
        done = m_canvas->alignLeft();
    else if (edge == QLatin1String("right"))
        done = m_canvas->alignRight();
    else if (edge == QLatin1String("top"))
        done = m_canvas->alignTop();
    else if (edge == QLatin1String("bottom"))
        done = m_canvas->alignBottom();
    if (done && selected.size() > 1 && framesOf(selected) != old)
        undoManager_setFrames(old, selected);
    return done;
}

// ---- Pasteboard

QByteArray FDCanvasEditor::copyPayload() const
{
    if (!m_canvas || m_canvas->selection().isEmpty())
        return {};
    Value entries = Value::array();
    for (const FDControlPtr &control : m_canvas->selection()) {
        Value entry = Value::dict();
        entry.set(kClass, control->className());
        entry.set(kFrame, FDSerializationServices::serializeRect(control->controlFrame()));
        entry.set(kSpringsStruts, FDSerializationServices::serializeInteger(control->resizeMask()));
        entry.set(kInfo, control->info().deepCopy());
        entry.set(kControlData, control->controlData());
        entries.append(entry);
    }
    return FDControlArchiver::archiveControl(entries);
}

FDControlList FDCanvasEditor::pastePayload(const QByteArray &payload)
{
    FDControlList pasted;
    if (!m_canvas)
        return pasted;
    const std::optional<Value> entries = FDControlArchiver::unarchiveControl(payload);
    if (!entries || !entries->isArray())
        return pasted;
    for (int i = 0; i < entries->size(); ++i) {
        const Value entry = entries->at(i);
        const std::optional<Value> control = FDControlArchiver::unarchiveControl(entry.value(kControlData).toData());
        if (!control || !control->isObject())
            continue;
        FDControlPtr wrapper = FDControl::fdcontrolFromControl(*control, m_canvas);
        const qreal m = FDControl::kMargin;
        const QRectF stored = FDSerializationServices::unserializeRect(entry.value(kFrame).toString());
        wrapper->setFrameExcludingLabel(stored.adjusted(-m, -m, m, m).translated(kPasteOffset, kPasteOffset));
        wrapper->setResizeMask(FDSerializationServices::unserializeInteger(entry.value(kSpringsStruts)));
        Value info = entry.value(kInfo).isDict() ? entry.value(kInfo).deepCopy() : Value::dict();
        // The copied info comes along; only what would make two controls of one form the same is renewed.
        if (info.value(kUUID).toString().isEmpty() || m_canvas->controlWithUUID(info.value(kUUID).toString()))
            info.set(kUUID, FDControl::makeUUID());
        const QString name = info.value(kScriptBridgeName).toString();
        const bool nameTaken = m_canvas->controlNamed(name) != nullptr ||
                               std::any_of(pasted.begin(), pasted.end(),
                                           [&](const FDControlPtr &p) { return p->scriptBridgeName() == name; });
        if (nameTaken)
            info.remove(kScriptBridgeName);
        wrapper->setInfo(info);
        m_canvas->addControl(wrapper);
        if (wrapper->scriptBridgeName().isEmpty())
            wrapper->giveUntitledName();
        pasted.append(wrapper);
    }
    if (!pasted.isEmpty()) {
        m_canvas->selectControls(pasted);
        undoManager_addControls(pasted);
    }
    return pasted;
}

void FDCanvasEditor::copy()
{
    const QByteArray payload = copyPayload();
    if (payload.isEmpty())
        return;
    auto *mime = new QMimeData;
    mime->setData(kPasteboardType, payload);
    QGuiApplication::clipboard()->setMimeData(mime);
}

void FDCanvasEditor::cut()
{
    copy();
    deleteSelection();
}

FDControlList FDCanvasEditor::paste()
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (!mime || !mime->hasFormat(kPasteboardType))
        return {};
    return pastePayload(mime->data(kPasteboardType));
}

// ---- Hit testing

void FDCanvasEditor::selectInRect(const QRectF &band)
{
    if (!m_canvas)
        return;
    FDControlList hit;
    for (const FDControlPtr &control : m_canvas->controls())
        if (control->frame().intersects(band.normalized()))
            hit.append(control);
    m_canvas->selectControls(hit);
}

FDControlPtr FDCanvasEditor::controlAt(const QPointF &point) const
{
    if (!m_canvas)
        return nullptr;
    const FDControlList &controls = m_canvas->controls();
    for (auto it = controls.rbegin(); it != controls.rend(); ++it)
        if ((*it)->frame().contains(point))
            return *it;
    return nullptr;
}
