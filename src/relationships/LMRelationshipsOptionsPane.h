// LMRelationshipsOptionsPane: the pane that edits the selected line: start and end, type segments, inverse.
#pragma once

#include <QPointer>
#include <QWidget>

class LMRelationshipsDiagram;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;

class LMRelationshipsOptionsPane : public QWidget {
    Q_OBJECT
public:
    explicit LMRelationshipsOptionsPane(LMRelationshipsDiagram *diagram, QWidget *parent = nullptr);

    // Shows the selected line, or an empty pane without one.
    void reload();

private:
    void fillFields(QComboBox *fields, const QString &table, const QString &current);
    void startChosen();
    void endChosen();

    QPointer<LMRelationshipsDiagram> m_diagram;
    QComboBox *m_startTable = nullptr;
    QComboBox *m_startField = nullptr;
    QComboBox *m_endTable = nullptr;
    QComboBox *m_endField = nullptr;
    QButtonGroup *m_segments = nullptr;
    QList<QWidget *> m_segmentButtons;
    QCheckBox *m_inverse = nullptr;
    QLabel *m_empty = nullptr;
    QWidget *m_body = nullptr;
    bool m_reloading = false;
};
