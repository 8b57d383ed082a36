// LMTableDesignFormQuestion: the "Create Form?" question with its "Do not ask again" box, through the Ui seam.
#include "LMTableDesignFormQuestion.h"

#include "Ui.h"

namespace LMTableDesignFormQuestion {
namespace {
FormGenerator g_generator = nullptr;
} // namespace

void setFormGenerator(FormGenerator generator)
{
    g_generator = generator;
}

QString generateForm(MyDocument *document, const QString &table)
{
    return g_generator ? g_generator(document, table) : QString();
}

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
