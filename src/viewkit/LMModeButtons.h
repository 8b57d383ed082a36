// LMModeButtons: the toolbar's segmented control of the four mode buttons, shared by the record and form views.
#pragma once

#include <QString>
#include <functional>

class QButtonGroup;
class QObject;
class QWidgetAction;

struct LMModeButtons {
    QWidgetAction *action = nullptr;
    // One checkable button per mode, exclusive; each button's object name is its mode title.
    QButtonGroup *group = nullptr;
};

// A toolbar action named `identifier` whose widget holds the mode buttons with `checkedMode` checked; a click
// hands its mode title to `chosen`.
LMModeButtons makeModeButtons(QObject *parent, const QString &identifier, const QString &checkedMode,
                              const std::function<void(const QString &)> &chosen);
