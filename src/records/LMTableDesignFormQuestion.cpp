// LMTableDesignFormQuestion: the "Create Form?" question with its "Do not ask again" box, through the Ui seam.
#include "LMTableDesignFormQuestion.h"

#include "Ui.h"

namespace LMTableDesignFormQuestion {
Answer ask(const Alert &alert, QWidget *window)
{
    Alert question = alert;
    if (question.suppressionText.isEmpty())
        question.suppressionText = QStringLiteral("Do not ask again");
    bool suppressed = false;
    const int index = Ui::instance().runSuppressibleAlert(question, &suppressed, window);
    return {question.buttons.value(index), suppressed};
}
} // namespace LMTableDesignFormQuestion
