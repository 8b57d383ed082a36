// LMRelationshipsView: the diagram's drawing surface: boxes and lines drawn from the model, mouse and keys
// handed to it.
#pragma once

#include <QGraphicsView>
#include <QPointer>

class LMRelationshipsDiagram;

class LMRelationshipsView : public QGraphicsView {
    Q_OBJECT
public:
    explicit LMRelationshipsView(LMRelationshipsDiagram *diagram, QWidget *parent = nullptr);

    // Redraws everything from the model.
    void redraw();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    QPointer<LMRelationshipsDiagram> m_diagram;
    bool m_pressed = false;
};
