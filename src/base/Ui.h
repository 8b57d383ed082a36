// Ui: the one seam through which the program shows alerts, sheets and panels, beeps and reads modifier keys.
#pragma once

#include "Alert.h"

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

struct FilePanelOptions {
    QString title;
    QString directory;
    QString suggestedName;   // save panels
    QStringList nameFilters; // "Orvix documents (*.orvix)"
    bool chooseDirectories = false;
    bool allowMultiple = false; // open panels
};

// A sheet asking for one line of text.
struct TextInputOptions {
    QString title;
    QString label;
    QString text; // shown selected
    QString acceptButton = QStringLiteral("OK");
    QString cancelButton = QStringLiteral("Cancel");
    bool secret = false; // a password: the typed characters are not shown
};

class Ui {
public:
    virtual ~Ui() = default;

    // Shows the alert (as a sheet on `window` when one is given) and returns the index of the button pressed.
    virtual int runAlert(const Alert &alert, QWidget *window = nullptr) = 0;
    // The same for an alert with a suppression check box; `suppressed` receives whether it was ticked.
    virtual int runSuppressibleAlert(const Alert &alert, bool *suppressed, QWidget *window = nullptr)
    {
        if (suppressed)
            *suppressed = false;
        return runAlert(alert, window);
    }
    virtual void beep() = 0;
    // The entered text, or nullopt when cancelled.
    virtual std::optional<QString> runTextInput(const TextInputOptions &options, QWidget *window = nullptr) = 0;
    // The chosen paths; empty when cancelled.
    virtual QStringList runOpenPanel(const FilePanelOptions &options, QWidget *window = nullptr) = 0;
    virtual QString runSavePanel(const FilePanelOptions &options, QWidget *window = nullptr) = 0;
    // Whether the "open in a new tab" modifier (Control on this platform) is held right now.
    virtual bool isNewTabModifierHeld() = 0;
    // Whether the alternate modifier (Alt on this platform) is held right now: "open the other view of an item".
    virtual bool isAlternateModifierHeld() { return false; }

    // The title of the button the user pressed, for callers that compare by text.
    QString runAlertButton(const Alert &alert, QWidget *window = nullptr);

    static Ui &instance();
    // Installs the program-wide implementation; the caller keeps ownership. Null restores the default.
    static void install(Ui *ui);
};
