// LMRelationshipsView: a scene rebuilt from the model on every change; the model is small, so this stays cheap.
#include "LMRelationshipsView.h"

#include "LMRelationshipsDiagram.h"

#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QtMath>

namespace {
void addArrowHead(QGraphicsScene *scene, const QPointF &from, const QPointF &to, const QPen &pen)
{
    const QLineF line(from, to);
    if (line.length() < 1)
        return;
    const double angle = qDegreesToRadians(line.angle());
    const QPointF back(-qCos(angle) * 9, qSin(angle) * 9);
    const QPointF side(qSin(angle) * 4, qCos(angle) * 4);
    QPolygonF head;
    head << to << to + back + side << to + back - side;
    scene->addPolygon(head, pen, QBrush(pen.color()));
}
} // namespace

LMRelationshipsView::LMRelationshipsView(LMRelationshipsDiagram *diagram, QWidget *parent)
    : QGraphicsView(parent), m_diagram(diagram)
{
    setObjectName(QStringLiteral("LMRelationshipsView"));
    setScene(new QGraphicsScene(this));
    setRenderHint(QPainter::Antialiasing);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusPolicy(Qt::StrongFocus);
    setBackgroundBrush(QColor(250, 250, 247));
    redraw();
}

void LMRelationshipsView::redraw()
{
    QGraphicsScene *s = scene();
    s->clear();
    if (!m_diagram)
        return;
    const QFont font = this->font();
    QFont bold = font;
    bold.setBold(true);
    for (const LMRelationshipsBox &box : m_diagram->boxesRef()) {
        s->addRect(box.rect().translated(3, 3), Qt::NoPen, QColor(0, 0, 0, 40));
        s->addRect(box.rect(), QPen(QColor(90, 100, 120)), QColor(Qt::white));
        s->addRect(box.titleRect(), QPen(QColor(90, 100, 120)), QColor(214, 224, 240));
        auto *title = s->addSimpleText(box.name, bold);
        title->setPos(box.origin + QPointF(6, (LMRelationshipsBox::kTitleHeight - title->boundingRect().height()) / 2));
        for (int i = 0; i < box.fields.size(); ++i) {
            auto *row = s->addSimpleText(box.fields.at(i), font);
            const QRectF r = box.rowRect(i);
            row->setPos(r.left() + 10, r.top() + (r.height() - row->boundingRect().height()) / 2);
        }
    }
    const QList<LMRelationshipsLine> &lines = m_diagram->linesRef();
    for (int i = 0; i < lines.size(); ++i) {
        QPointF a, b;
        if (!m_diagram->lineEnds(lines.at(i), &a, &b))
            continue;
        const bool selected = i == m_diagram->selectedLineIndex();
        QPen pen(selected ? QColor(220, 80, 30) : QColor(40, 70, 140), selected ? 2.5 : 1.5);
        if (lines.at(i).endsInTable())
            pen.setStyle(Qt::DashLine);
        s->addLine(QLineF(a, b), pen);
        pen.setStyle(Qt::SolidLine);
        addArrowHead(s, a, b, pen);
        if (!lines.at(i).endsInTable())
            addArrowHead(s, b, a, pen);
    }
    if (m_diagram->isDrawingLine())
        s->addLine(QLineF(m_diagram->dragStart(), m_diagram->dragPoint()), QPen(QColor(40, 70, 140), 1, Qt::DotLine));
    // Keep the origin at the top left however the boxes move.
    setSceneRect(QRectF(QPointF(0, 0), s->itemsBoundingRect().bottomRight() + QPointF(40, 40)));
}

void LMRelationshipsView::mousePressEvent(QMouseEvent *event)
{
    if (!m_diagram || event->button() != Qt::LeftButton)
        return;
    setFocus();
    m_pressed = true;
    m_diagram->mouseDown(mapToScene(event->position().toPoint()));
}

void LMRelationshipsView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_diagram && m_pressed)
        m_diagram->mouseDragged(mapToScene(event->position().toPoint()));
}

void LMRelationshipsView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_diagram || !m_pressed || event->button() != Qt::LeftButton)
        return;
    m_pressed = false;
    m_diagram->mouseUp(mapToScene(event->position().toPoint()));
}

void LMRelationshipsView::keyReleaseEvent(QKeyEvent *event)
{
    if (!m_diagram || !m_diagram->keyUp(event->key()))
        QGraphicsView::keyReleaseEvent(event);
}
