// ScriptedUi: a Ui that answers from queues and records every alert and beep; for tests and headless runs.
#pragma once

#include "Ui.h"

#include <QList>
#include <QQueue>

class ScriptedUi : public Ui {
public:
    struct Shown {
        Alert alert;
        bool asSheet = false;
        QString answer;
        bool suppressed = false;
    };

    // Queue the title of the button to press for the next alert; with none queued the first button is pressed.
    void answer(const QString &buttonTitle) { m_answers.enqueue(buttonTitle); }
    // Queue whether the next suppressible alert's check box is ticked; unticked when none is queued.
    void answerSuppression(bool ticked) { m_suppressionAnswers.enqueue(ticked); }
    // Queue the text the next text sheet answers; nullopt (or nothing queued) cancels it.
    void answerTextInput(const std::optional<QString> &text) { m_textAnswers.enqueue(text); }
    const QList<TextInputOptions> &textInputs() const { return m_textInputs; }
    // The options of every open panel run so far.
    const QList<FilePanelOptions> &openPanels() const { return m_openPanels; }
    void answerOpenPanel(const QStringList &paths) { m_openAnswers.enqueue(paths); }
    void answerSavePanel(const QString &path) { m_saveAnswers.enqueue(path); }
    // Every open and save panel run so far, in order.
    const QList<FilePanelOptions> &panels() const { return m_panels; }
    void setNewTabModifierHeld(bool held) { m_modifierHeld = held; }
    void setAlternateModifierHeld(bool held) { m_alternateHeld = held; }

    const QList<Shown> &alerts() const { return m_alerts; }
    const Alert *lastAlert() const { return m_alerts.isEmpty() ? nullptr : &m_alerts.last().alert; }
    int beeps() const { return m_beeps; }
    int pendingAnswers() const { return int(m_answers.size()); }
    void reset();

    int runAlert(const Alert &alert, QWidget *window = nullptr) override;
    int runSuppressibleAlert(const Alert &alert, bool *suppressed, QWidget *window = nullptr) override;
    void beep() override { ++m_beeps; }
    std::optional<QString> runTextInput(const TextInputOptions &options, QWidget *window = nullptr) override;
    QStringList runOpenPanel(const FilePanelOptions &options, QWidget *window = nullptr) override;
    QString runSavePanel(const FilePanelOptions &options, QWidget *window = nullptr) override;
    bool isNewTabModifierHeld() override { return m_modifierHeld; }
    bool isAlternateModifierHeld() override { return m_alternateHeld; }

private:
    QQueue<QString> m_answers;
    QQueue<bool> m_suppressionAnswers;
    QQueue<std::optional<QString>> m_textAnswers;
    QList<TextInputOptions> m_textInputs;
    QQueue<QStringList> m_openAnswers;
    QList<FilePanelOptions> m_openPanels;
    QQueue<QString> m_saveAnswers;
    QList<FilePanelOptions> m_panels;
    QList<Shown> m_alerts;
    int m_beeps = 0;
    bool m_modifierHeld = false;
    bool m_alternateHeld = false;
};
