// FDCanvasView: widgets only show; every change goes through FDCanvasEditor so it can be undone and tested.
#include "FDCanvasView.h"

#include "FDCanvasEditor.h"
#include "FDControlWidgets.h"
#include "FDKeys.h"
#include "FDResizeRule.h"
#include "Ui.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>

// Paints selection, handles and the rubber band above the control widgets.
class FDCanvasView::Overlay : public QWidget {
public:
    explicit Overlay(FDCanvasView *view) : QWidget(view), m_view(view)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_view->paintOverlay(painter);
    }

private:
    FDCanvasView *m_view;
};

FDCanvasView::FDCanvasView(FDCanvasEditor *editor, QWidget *parent) : QWidget(parent), m_editor(editor)
{
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    setMouseTracking(false);
    m_overlay = new Overlay(this);
    m_labelFont = FDControl::labelFont();
    connect(canvas(), &FDCanvas::changed, this, &FDCanvasView::sync);
    connect(canvas(), &FDCanvas::selectionChanged, this, [this] { m_overlay->update(); });
    sync();
}

FDCanvas *FDCanvasView::canvas() const
{
    return m_editor->canvas();
}

QSize FDCanvasView::sizeHint() const
{
    return canvas()->canvasSize().toSize();
}

void FDCanvasView::sync()
{
    FDCanvas *model = canvas();
    // Sizes beyond what a widget can have are drawn at the largest size it can.
    const QSizeF size = model->canvasSize();
    setFixedSize(int(qBound<qreal>(1, size.width(), 16000)), int(qBound<qreal>(1, size.height(), 16000)));
    m_overlay->setGeometry(rect());
    QSet<const FDControl *> present;
    for (const FDControlPtr &control : model->controls()) {
        present.insert(control.get());
        Shown &shown = m_shown[control.get()];
        if (!shown.widget || shown.control != control->control()) {
            delete shown.widget;
            shown.widget = FDControlWidgets::createWidget(control->control(), this);
            shown.widget->setAttribute(Qt::WA_TransparentForMouseEvents);
            shown.widget->setFocusPolicy(Qt::NoFocus);
            shown.control = control->control().deepCopy();
        }
        shown.widget->setGeometry(control->controlFrame().toRect());
        shown.widget->show();
        // Back to front: raising in model order leaves the last one on top.
        shown.widget->raise();
    }
    for (auto it = m_shown.begin(); it != m_shown.end();) {
        if (!present.contains(it.key())) {
            delete it->widget;
            it = m_shown.erase(it);
        } else {
            ++it;
        }
    }
    m_overlay->raise();
    m_overlay->update();
    update();
}

// ---- Painting

void FDCanvasView::paintEvent(QPaintEvent *)
{
    FDCanvas *model = canvas();
    QPainter painter(this);
    painter.fillRect(rect(), model->usesBackgroundColor() ? model->backgroundColor() : QColor(Qt::white));
    const int spacing = model->minorLineSpacing();
    if (model->showGrid() && spacing >= 2) {
        const int interval = qMax(1, model->majorLineInterval());
        for (int i = 1; i * spacing < width(); ++i) {
            painter.setPen(i % interval ? model->minorLineColor() : model->majorLineColor());
            painter.drawLine(i * spacing, 0, i * spacing, height());
        }
        for (int i = 1; i * spacing < height(); ++i) {
            painter.setPen(i % interval ? model->minorLineColor() : model->majorLineColor());
            painter.drawLine(0, i * spacing, width(), i * spacing);
        }
    }
    // Labels are drawn by the canvas: they are part of the wrapper, not controls of their own.
    painter.setPen(palette().color(QPalette::Active, QPalette::WindowText));
    painter.setFont(m_labelFont);
    for (const FDControlPtr &control : model->controls())
        painter.drawText(control->labelFrame(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         control->labelText());
}

QRectF FDCanvasView::handleRect(const FDControlPtr &control, int handle) const
{
    const QPointF p = FDResizeRule::handlePoint(control->frame(), handle);
    return QRectF(p.x() - kHandleSize / 2.0, p.y() - kHandleSize / 2.0, kHandleSize, kHandleSize);
}

QRectF FDCanvasView::canvasHandleRect() const
{
    return QRectF(width() - 10, height() - 10, 10, 10);
}

int FDCanvasView::handleAt(const FDControlPtr &control, const QPointF &point) const
{
    if (!control || control->isLocked())
        return -1;
    for (int h = 0; h < FDResizeRule::HandleCount; ++h)
        if (handleRect(control, h).adjusted(-2, -2, 2, 2).contains(point))
            return h;
    return -1;
}

void FDCanvasView::paintOverlay(QPainter &painter)
{
    FDCanvas *model = canvas();
    for (const FDControlPtr &control : model->selection()) {
        const QRectF frame = control->frame();
        painter.setPen(QPen(QColor(56, 117, 215), 1, control->isLocked() ? Qt::DotLine : Qt::SolidLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(frame.adjusted(0.5, 0.5, -0.5, -0.5));
        if (control->isLocked())
            continue;
        painter.setBrush(Qt::white);
        for (int h = 0; h < FDResizeRule::HandleCount; ++h)
            painter.drawRect(handleRect(control, h));
    }
    if (m_gesture == Gesture::RubberBand) {
        painter.setPen(QPen(QColor(56, 117, 215), 1, Qt::DashLine));
        painter.setBrush(QColor(56, 117, 215, 40));
        painter.drawRect(m_band.normalized());
    }
    painter.setPen(Qt::gray);
    const QRectF corner = canvasHandleRect();
    painter.drawLine(corner.bottomLeft(), corner.topRight());
    painter.drawLine(corner.center().x(), corner.bottom(), corner.right(), corner.center().y());
}

// ---- Mouse

void FDCanvasView::mousePressEvent(QMouseEvent *event)
{
    setFocus();
    if (event->button() != Qt::LeftButton)
        return;
    const QPointF p = event->position();
    m_pressPoint = p;
    FDCanvas *model = canvas();
    for (const FDControlPtr &selected : model->selection()) {
        const int handle = handleAt(selected, p);
        if (handle >= 0) {
            m_gesture = Gesture::Resize;
            m_handle = handle;
            m_editor->beginResize(selected);
            return;
        }
    }
    const FDControlPtr hit = m_editor->controlAt(p);
    if (!hit) {
        if (canvasHandleRect().contains(p)) {
            m_gesture = Gesture::CanvasResize;
            m_canvasStart = model->canvasSize();
            return;
        }
        if (!(event->modifiers() & Qt::ShiftModifier))
            model->selectControls({});
        m_gesture = Gesture::RubberBand;
        m_band = QRectF(p, p);
        return;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        FDControlList selection = model->selection();
        if (selection.contains(hit))
            selection.removeAll(hit);
        else
            selection.append(hit);
        model->selectControls(selection);
        m_gesture = Gesture::None;
        return;
    }
    if (!model->isSelected(hit.get()))
        model->selectControls({hit});
    m_gesture = Gesture::Move;
    m_editor->beginMove();
}

void FDCanvasView::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF delta = event->position() - m_pressPoint;
    switch (m_gesture) {
    case Gesture::Move: m_editor->moveSelectionBy(delta); break;
    case Gesture::Resize:
        m_editor->resizeBy(m_handle, delta, event->modifiers() & Qt::AltModifier,
                           event->modifiers() & Qt::ShiftModifier);
        break;
    case Gesture::RubberBand:
        m_band.setBottomRight(event->position());
        m_editor->selectInRect(m_band);
        m_overlay->update();
        break;
    case Gesture::CanvasResize: canvas()->resizeCanvas(m_canvasStart + QSizeF(delta.x(), delta.y())); break;
    case Gesture::None: break;
    }
}

void FDCanvasView::mouseReleaseEvent(QMouseEvent *)
{
    switch (m_gesture) {
    case Gesture::Move: m_editor->endMove(); break;
    case Gesture::Resize: m_editor->endResize(); break;
    case Gesture::CanvasResize: emit m_editor->modelChanged(); break;
    default: break;
    }
    m_gesture = Gesture::None;
    m_overlay->update();
}

void FDCanvasView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const FDControlPtr hit = m_editor->controlAt(event->position());
    if (hit && hit->labelFrame().contains(event->position()))
        editLabel(hit);
}

void FDCanvasView::editLabel(const FDControlPtr &control)
{
    TextInputOptions options;
    options.title = tr("Label");
    options.label = tr("Label text:");
    options.text = control->labelText();
    const std::optional<QString> text = Ui::instance().runTextInput(options, window());
    if (!text)
        return;
    control->labelTextChanged(*text);
    canvas()->notifyChanged();
    emit m_editor->modelChanged();
}

// ---- Keys

void FDCanvasView::keyPressEvent(QKeyEvent *event)
{
    const bool large = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Left: m_editor->nudge(-1, 0, large); break;
    case Qt::Key_Right: m_editor->nudge(1, 0, large); break;
    case Qt::Key_Up: m_editor->nudge(0, -1, large); break;
    case Qt::Key_Down: m_editor->nudge(0, 1, large); break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace: m_editor->deleteSelection(); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

// ---- Drops from the controls palette

void FDCanvasView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(FDKeys::kPasteboardType))
        event->acceptProposedAction();
}

void FDCanvasView::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasFormat(FDKeys::kPasteboardType))
        event->acceptProposedAction();
}

void FDCanvasView::dropEvent(QDropEvent *event)
{
    const QByteArray data = event->mimeData()->data(FDKeys::kPasteboardType);
    if (m_editor->dropControlData(data, event->position()))
        event->acceptProposedAction();
}
