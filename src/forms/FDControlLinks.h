// FDControlLinks: the designer's action and outlet links between controls, kept in the source control's info.
#pragma once

#include "FDControl.h"

#include <QString>
#include <QStringList>

namespace FDControlLinks {
// What a link dragged from `source` to `target` offers: the target class's actions, the source class's outlets.
QStringList actionsOffered(const FDControlPtr &target);
QStringList outletsOffered(const FDControlPtr &source);
// Connects source → target with the action `name` + ":"; choosing the connected entry again disconnects it.
// Answers whether the link is connected afterwards.
bool chooseAction(const FDControlPtr &source, const FDControlPtr &target, const QString &name);
bool chooseOutlet(const FDControlPtr &source, const FDControlPtr &target, const QString &name);
bool isActionConnected(const FDControlPtr &source, const FDControlPtr &target, const QString &name);
bool isOutletConnected(const FDControlPtr &source, const FDControlPtr &target, const QString &name);
} // namespace FDControlLinks
