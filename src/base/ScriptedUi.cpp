// ScriptedUi: queued answers, recorded alerts.
#include "ScriptedUi.h"

void ScriptedUi::reset()
{
    m_answers.clear();
    m_suppressionAnswers.clear();
    m_textAnswers.clear();
    m_textInputs.clear();
    m_openAnswers.clear();
    m_openPanels.clear();
    m_saveAnswers.clear();
    m_panels.clear();
    m_alerts.clear();
    m_beeps = 0;
    m_modifierHeld = false;
    m_alternateHeld = false;
}

int ScriptedUi::runAlert(const Alert &alert, QWidget *window)
{
    Shown shown{alert, window != nullptr, QString()};
    int index = 0;
    if (!m_answers.isEmpty()) {
        const QString wanted = m_answers.dequeue();
        index = int(alert.buttons.indexOf(wanted));
        if (index < 0)
            index = 0;
    }
    shown.answer = alert.buttons.value(index);
    m_alerts.append(shown);
    return index;
}

int ScriptedUi::runSuppressibleAlert(const Alert &alert, bool *suppressed, QWidget *window)
{
    const int index = runAlert(alert, window);
    const bool ticked =
        !alert.suppressionText.isEmpty() && !m_suppressionAnswers.isEmpty() ? m_suppressionAnswers.dequeue() : false;
    m_alerts.last().suppressed = ticked;
    if (suppressed)
        *suppressed = ticked;
    return index;
}

std::optional<QString> ScriptedUi::runTextInput(const TextInputOptions &options, QWidget *)
{
    m_textInputs.append(options);
    return m_textAnswers.isEmpty() ? std::nullopt : m_textAnswers.dequeue();
}

QStringList ScriptedUi::runOpenPanel(const FilePanelOptions &options, QWidget *)
{
    m_panels.append(options);
    m_openPanels.append(options);
    return m_openAnswers.isEmpty() ? QStringList() : m_openAnswers.dequeue();
}

QString ScriptedUi::runSavePanel(const FilePanelOptions &options, QWidget *)
{
    m_panels.append(options);
    return m_saveAnswers.isEmpty() ? QString() : m_saveAnswers.dequeue();
}
