// CliRegistry: the commands of orvix-cli, each registered by the file of its subsystem, and what they share.
//
// A subsystem adds its commands in its own file under src/app/cli/ (the CMake target picks up every file):
//
//     namespace {
//     int runTables(CliContext &cli, const QStringList &args) { ... return 0; }
//     const CliRegistration registration({
//         {"tables", "PACKAGE", "print the table names, one per line", 1, 1, runTables},
//     });
//     }
//
// Exit codes: 0 done, 1 failed, 2 wrong usage, 3 the command ended on a refusal (an alert that said no).
#pragma once

#include "Alert.h"
#include "Ui.h"

#include <QQueue>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>
#include <vector>

class MyDocument;
class CliContext;

struct CliCommand {
    QString name;
    QString synopsis; // the arguments, as the usage shows them
    QString summary;  // one or more lines of help
    int minArguments = 0;
    int maxArguments = 0; // -1: any number
    std::function<int(CliContext &, const QStringList &)> run;
};

class CliRegistry {
public:
    static void add(const CliCommand &command);
    static const std::vector<CliCommand> &commands();
    static const CliCommand *find(const QString &name);
};

// Registers a file's commands when the program starts.
struct CliRegistration {
    explicit CliRegistration(std::initializer_list<CliCommand> commands);
};

// Answers alerts and sheets from the --answer options in order (the default button when none is left), and
// prints every alert to standard error as "alert: MESSAGE | INFORMATIVE TEXT" and every beep as "beep".
class CliUi : public Ui {
public:
    explicit CliUi(QTextStream &err) : m_err(err) {}
    void answer(const QString &button) { m_answers.enqueue(button); }

    int runAlert(const Alert &alert, QWidget *window = nullptr) override;
    void beep() override;
    std::optional<QString> runTextInput(const TextInputOptions &options, QWidget *window = nullptr) override;
    QStringList runOpenPanel(const FilePanelOptions &options, QWidget *window = nullptr) override;
    QString runSavePanel(const FilePanelOptions &options, QWidget *window = nullptr) override;
    bool isNewTabModifierHeld() override { return false; }

    // Prints an alert line without asking anything (a refusal reported by a command).
    void printAlert(const Alert &alert);

private:
    QTextStream &m_err;
    QQueue<QString> m_answers;
};

class CliContext {
public:
    CliContext(QTextStream &out, QTextStream &err) : m_out(out), m_err(err), m_ui(err) {}

    QTextStream &out() { return m_out; }
    QTextStream &err() { return m_err; }
    CliUi &ui() { return m_ui; }

    // Prints "orvix-cli: MESSAGE" on standard error and returns `code`.
    int fail(const QString &message, int code = 1);
    // Prints the alert line and returns 3.
    int refuse(const Alert &alert);
    // Opens a package, or prints why it cannot be opened and answers null. A protected package's password
    // comes from ORVIX_PASSWORD or, when that is not set, the next line of standard input.
    std::unique_ptr<MyDocument> openPackage(const QString &path);
    // The same for a command that changes the package: no other program writes it until the document closes.
    std::unique_ptr<MyDocument> openPackageForWriting(const QString &path);
    // The next line of standard input without its line end (passwords); null at the end of the input.
    std::optional<QString> readLine();
    bool savePackage(MyDocument &document, const QString &path);

    // Reads a JSON object file for commands that take designs ("a JSON table design": `what`); prints the
    // problem and answers false.
    bool readJsonObject(const QString &path, const QString &what, class QJsonObject *object);

    // Runs one command line (without the program name) and returns the exit code.
    int run(const QStringList &arguments);
    int usage(int code);

private:
    std::unique_ptr<MyDocument> openPackageLocked(const QString &path, bool forWriting);

    QTextStream &m_out;
    QTextStream &m_err;
    CliUi m_ui;
};
