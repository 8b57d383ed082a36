// LMRelationshipsOptionsPane: every control writes through the model; a refused choice redraws the old one.
#include "LMRelationshipsOptionsPane.h"

#include "LMRelationshipsDiagram.h"
#include "Ui.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// What each segment image shows, since the images themselves are drawn elsewhere.
QString segmentTitle(const QString &image)
{
    static const QHash<QString, QString> titles{{QStringLiteral("RelXY_OneToOne"), QStringLiteral("1 : 1")},
                                                {QStringLiteral("RelXY_OneToMany"), QStringLiteral("1 : n")},
                                                {QStringLiteral("RelXY_ManyToOne"), QStringLiteral("n : 1")},
                                                {QStringLiteral("RelXY_ManyToMany"), QStringLiteral("n : n")},
                                                {QStringLiteral("RelXY_NoneToOne"), QStringLiteral("→ 1")},
                                                {QStringLiteral("RelXY_NoneToMany"), QStringLiteral("→ n")}};
    return titles.value(image, image);
}
} // namespace

LMRelationshipsOptionsPane::LMRelationshipsOptionsPane(LMRelationshipsDiagram *diagram, QWidget *parent)
    : QWidget(parent), m_diagram(diagram)
{
    setObjectName(QStringLiteral("LMRelationshipsOptionsPane"));
    setMinimumWidth(220);
    setMaximumWidth(280);
    auto *outer = new QVBoxLayout(this);
    m_empty = new QLabel(QStringLiteral("Select a relationship to edit it.\n\nDrag from a field to a field of "
                                        "another table for a two-way relationship, or to its title for a "
                                        "one-way one."));
    m_empty->setWordWrap(true);
    outer->addWidget(m_empty);
    m_body = new QWidget;
    auto *form = new QFormLayout(m_body);
    form->setContentsMargins(0, 0, 0, 0);
    m_startTable = new QComboBox;
    m_startField = new QComboBox;
    m_endTable = new QComboBox;
    m_endField = new QComboBox;
    form->addRow(QStringLiteral("From table"), m_startTable);
    form->addRow(QStringLiteral("Field"), m_startField);
    form->addRow(QStringLiteral("To table"), m_endTable);
    form->addRow(QStringLiteral("Field"), m_endField);
    auto *segments = new QHBoxLayout;
    segments->setSpacing(0);
    m_segments = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        auto *button = new QPushButton;
        button->setCheckable(true);
        m_segments->addButton(button, i);
        m_segmentButtons.append(button);
        segments->addWidget(button);
    }
    form->addRow(QStringLiteral("Type"), segments);
    m_inverse = new QCheckBox(QStringLiteral("Two-way (inverse)"));
    form->addRow(QString(), m_inverse);
    outer->addWidget(m_body);
    outer->addStretch();

    connect(m_startTable, &QComboBox::activated, this, [this] {
        fillFields(m_startField, m_startTable->currentText(), QString());
        startChosen();
    });
    connect(m_startField, &QComboBox::activated, this, [this] { startChosen(); });
    connect(m_endTable, &QComboBox::activated, this, [this] {
        fillFields(m_endField, m_endTable->currentText(), QString());
        endChosen();
    });
    connect(m_endField, &QComboBox::activated, this, [this] { endChosen(); });
    connect(m_segments, &QButtonGroup::idClicked, this, [this](int id) {
        if (m_diagram && !m_diagram->x_to_y(id))
            reload();
    });
    connect(m_inverse, &QCheckBox::toggled, this, [this](bool on) {
        if (m_reloading || !m_diagram)
            return;
        if (!m_diagram->inverse(on)) {
            Ui::instance().beep();
            reload();
        }
    });
    reload();
}

void LMRelationshipsOptionsPane::fillFields(QComboBox *fields, const QString &table, const QString &current)
{
    fields->clear();
    if (m_diagram)
        fields->addItems(m_diagram->relationshipFields(table));
    fields->setCurrentIndex(qMax(0, fields->findText(current)));
}

void LMRelationshipsOptionsPane::startChosen()
{
    if (m_reloading || !m_diagram)
        return;
    if (!m_diagram->startFieldAction(m_startTable->currentText(), m_startField->currentText())) {
        Ui::instance().beep();
        reload();
    }
}

void LMRelationshipsOptionsPane::endChosen()
{
    if (m_reloading || !m_diagram)
        return;
    if (!m_diagram->endFieldAction(m_endTable->currentText(), m_endField->currentText())) {
        Ui::instance().beep();
        reload();
    }
}

void LMRelationshipsOptionsPane::reload()
{
    m_reloading = true;
    const int index = m_diagram ? m_diagram->selectedLineIndex() : -1;
    m_empty->setVisible(index < 0);
    m_body->setVisible(index >= 0);
    if (index >= 0) {
        const LMRelationshipsLine line = m_diagram->linesRef().at(index);
        const QStringList tables = m_diagram->tablesList();
        for (QComboBox *box : {m_startTable, m_endTable}) {
            box->clear();
            box->addItems(tables);
        }
        m_startTable->setCurrentIndex(int(tables.indexOf(line.startTable)));
        m_endTable->setCurrentIndex(int(tables.indexOf(line.endTable)));
        fillFields(m_startField, line.startTable, line.startField);
        fillFields(m_endField, line.endTable, line.endField);
        m_endField->setEnabled(!line.endsInTable());
        const QStringList images = m_diagram->segmentImages();
        for (int i = 0; i < m_segmentButtons.size(); ++i) {
            auto *button = static_cast<QPushButton *>(m_segmentButtons.at(i));
            button->setVisible(i < images.size());
            button->setText(segmentTitle(images.value(i)));
            button->setToolTip(images.value(i));
        }
        if (QAbstractButton *b = m_segments->button(m_diagram->selectedSegment()))
            b->setChecked(true);
        m_inverse->setChecked(!line.endsInTable());
    }
    m_reloading = false;
}
