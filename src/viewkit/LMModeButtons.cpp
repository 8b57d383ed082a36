// LMModeButtons: building the mode buttons from the view kinds' mode-button table.
#include "LMModeButtons.h"

#include "ViewKind.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>
#include <QWidgetAction>

LMModeButtons makeModeButtons(QObject *parent, const QString &identifier, const QString &checkedMode,
                              const std::function<void(const QString &)> &chosen)
{
    auto *action = new QWidgetAction(parent);
    action->setObjectName(identifier);
    action->setText(identifier);
    auto *segments = new QWidget;
    auto *row = new QHBoxLayout(segments);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto *group = new QButtonGroup(segments);
    group->setExclusive(true);
    for (const ViewKinds::ModeButton &modeButton : ViewKinds::modeButtons()) {
        const QString mode = modeButton.title;
        auto *button = new QToolButton(segments);
        button->setText(mode);
        button->setObjectName(mode);
        button->setCheckable(true);
        button->setChecked(mode == checkedMode);
        group->addButton(button);
        row->addWidget(button);
        QObject::connect(button, &QToolButton::clicked, action, [chosen, mode] { chosen(mode); });
    }
    action->setDefaultWidget(segments);
    return {action, group};
}
