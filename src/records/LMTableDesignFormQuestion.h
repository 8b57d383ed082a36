// LMTableDesignFormQuestion: the "Create Form?" question, whose suppression check box the plain alert seam
// cannot carry; tests replace the presenter to answer both the button and the box.
#pragma once

#include "Alert.h"

#include <QString>
#include <functional>

class QWidget;

namespace LMTableDesignFormQuestion {
struct Answer {
    QString button;
    bool suppress = false; // the "do not ask again" box was checked
};
using Presenter = std::function<Answer(const Alert &alert, QWidget *window)>;

// Replaces how the question is shown; an empty presenter restores the default.
void setPresenter(Presenter presenter);
// The desktop shows a sheet with the check box; any other Ui answers through the seam, box unchecked.
Answer ask(const Alert &alert, QWidget *window);
} // namespace LMTableDesignFormQuestion
