// LMButtonBar: five tool buttons; which apply comes from the mode's item kind.
#include "LMButtonBar.h"

#include "LMIcons.h"
#include "LMItemKind.h"

#include <QHBoxLayout>
#include <QToolButton>

LMButtonBar::LMButtonBar(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(make(QStringLiteral("SB2_Plus"), QStringLiteral("Add a new item"), &LMButtonBar::addClicked));
    layout->addWidget(
        make(QStringLiteral("SB2_Minus"), QStringLiteral("Delete the selected item"), &LMButtonBar::removeClicked));
    layout->addWidget(
        make(QStringLiteral("SB2_Design"), QStringLiteral("Design the selected item"), &LMButtonBar::designClicked));
    layout->addWidget(
        make(QStringLiteral("SB2_Edit"), QStringLiteral("Open the selected item's data"), &LMButtonBar::editClicked));
    layout->addWidget(
        make(QStringLiteral("SB2_Run"), QStringLiteral("Run the selected script"), &LMButtonBar::runClicked));
    layout->addStretch();
    setUpForMode(QStringLiteral("Other"), QString());
}

QToolButton *LMButtonBar::make(const QString &name, const QString &tip, void (LMButtonBar::*signal)())
{
    auto *b = new QToolButton;
    b->setObjectName(name);
    b->setIcon(LMIcons::icon(name));
    b->setToolTip(tip);
    b->setAutoRaise(true);
    b->setIconSize(QSize(16, 16));
    connect(b, &QToolButton::clicked, this, signal);
    return b;
}

QToolButton *LMButtonBar::button(const QString &name) const
{
    return findChild<QToolButton *>(name);
}

void LMButtonBar::setUpForMode(const QString &mode, const QString &selectedTitle)
{
    const LMItemKind *kind = LMItemKinds::forMode(mode);
    const bool item = kind && !selectedTitle.isEmpty();
    button(QStringLiteral("SB2_Plus"))->setEnabled(kind != nullptr);
    button(QStringLiteral("SB2_Minus"))->setEnabled(item);
    button(QStringLiteral("SB2_Design"))->setEnabled(item);
    button(QStringLiteral("SB2_Edit"))->setVisible(!kind || kind->offersEdit());
    button(QStringLiteral("SB2_Edit"))->setEnabled(item && kind->offersEdit());
    button(QStringLiteral("SB2_Run"))->setVisible(kind && kind->offersRun());
    button(QStringLiteral("SB2_Run"))->setEnabled(item && kind->offersRun());
}
