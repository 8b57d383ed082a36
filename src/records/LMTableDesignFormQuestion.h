// LMTableDesignFormQuestion: the "Create Form?" question and its suppression check box, asked through the Ui seam.
#pragma once

#include "Alert.h"

#include <QString>

class QWidget;

namespace LMTableDesignFormQuestion {
struct Answer {
    QString button;
    bool suppress = false; // the "do not ask again" box was checked
};
// Asks through Ui::runSuppressibleAlert with a "Do not ask again" box.
Answer ask(const Alert &alert, QWidget *window);
} // namespace LMTableDesignFormQuestion
