// OXScriptViewController: the script editor tab: the text, Run and Stop, and the console of its runs.
#pragma once

#include "LMViewController.h"
#include "OXJavascriptRunController.h"
#include "Value.h"

#include <QPointer>
#include <QStringList>

#include <memory>

#include "LMIdentifiedView.h"

class LMDocumentNavigator;
class MyDocument;
class OXCodeSenseController;
class OXScriptConsole;
class OXSyntaxHighlighterController;
class QFileSystemWatcher;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTextBrowser;
class QTimer;
class QWidget;
struct LMViewContext;
struct LMViewRequest;

class OXScriptViewController : public LMViewController, public OXScriptRunDelegate, public OXScriptLogView {
public:
    OXScriptViewController(MyDocument *document, QWidget *window, const Value &script);
    ~OXScriptViewController() override;

    // Asks "New Script" for a name until one is free (or cancelled) and adds {"Name", "Code String": ""} to the
    // document's scripts; null when cancelled.
    static Value newScriptFromNamingSheet(MyDocument *document, QWidget *window);

    QString identifier() const override;
    LMIdentifiedView *view() override { return m_view; }
    // Writes the editor's text back into "Code String".
    void cleanUp() override;

    void setNavigator(LMDocumentNavigator *navigator) { m_navigator = navigator; }
    // Switches to the overview and removes the script; "Script not deleted" when the document keeps it.
    void deleteMe();

    // Runs the editor's current text (not the stored one) in a new console session.
    void runButton();
    // Stops the run; it ends with the console note "Stopped" rather than the "Script Failed" sheet.
    void stop();
    bool isRunning() const { return m_running; }
    QString text() const;
    void setText(const QString &text);
    // The console as lines ("session", "log", "print", "error" and "note" entries), for tests and the browser.
    const QStringList &consoleLines() const { return m_console; }
    void clearAllConsole();
    // The console page the view shows.
    OXScriptConsole *consolePage() const { return m_consolePage.get(); }
    // The errors of the last run as "line N: MESSAGE", as the error list shows them; choosing one puts the
    // caret at the start of its line.
    const QStringList &errorList() const { return m_errors; }
    void goToError(int index);
    int caretLine() const;

    // External editing: the text is written to a new file under "orvix_temp/scripts/" in the temporary folder
    // and opened with `program` (asked for when empty); the editor is read-only while the file's changes come
    // back into it. False when cancelled or the file cannot be written.
    bool externalEdit(const QString &program = QString());
    // Asks "Stop Editing Externally?"; on "Stop" the file is no longer watched and the text is editable again.
    void cancelExternalEdit();
    bool isEditingExternally() const { return !m_externalFile.isEmpty(); }
    QString externalFile() const { return m_externalFile; }
    // The editor's colouring and completion, for tests.
    OXSyntaxHighlighterController *highlighter() const { return m_highlighter.get(); }
    OXCodeSenseController *codeSense() const { return m_codeSense; }

    void scriptFinished(bool success) override;
    void scriptError(const Value &error) override;
    void logToConsole(const QString &text) override;
    void printToConsole(const QString &text) override;

private:
    void openSession(const QString &title);
    void showConsole();
    void drawConsole();
    void externFileChanged();
    void stopWatching();

    MyDocument *m_document = nullptr;
    QWidget *m_window = nullptr;
    LMDocumentNavigator *m_navigator = nullptr;
    Value m_script;
    QPointer<LMIdentifiedView> m_view;
    QPlainTextEdit *m_editor = nullptr;
    QPushButton *m_runButton = nullptr;
    QPushButton *m_stopButton = nullptr;
    QTextBrowser *m_consoleView = nullptr;
    QListWidget *m_errorView = nullptr;
    QPushButton *m_externalButton = nullptr;
    QStringList m_errors;
    QList<int> m_errorLines;
    std::unique_ptr<QFileSystemWatcher> m_watcher;
    QString m_externalFile;
    std::unique_ptr<OXJavascriptRunController> m_runner;
    std::unique_ptr<OXSyntaxHighlighterController> m_highlighter;
    OXCodeSenseController *m_codeSense = nullptr;
    QStringList m_console;
    std::unique_ptr<OXScriptConsole> m_consolePage;
    // Draws the page once a burst of output has been taken; owned here, so it never outlives the editor.
    std::unique_ptr<QTimer> m_consoleTimer;
    bool m_sessionOpen = false;
    bool m_running = false;
    bool m_stopPressed = false;
};

std::unique_ptr<LMViewController> makeScriptViewController(const LMViewContext &context, const LMViewRequest &request);
