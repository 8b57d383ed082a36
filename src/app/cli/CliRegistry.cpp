// CliRegistry: command lookup, the global options, the alert printer and the shared package helpers.
#include "CliRegistry.h"

#include "MyDocument.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <algorithm>

namespace {
std::vector<CliCommand> &registered()
{
    static std::vector<CliCommand> commands;
    return commands;
}

QString oneLine(QString text)
{
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}
} // namespace

void CliRegistry::add(const CliCommand &command)
{
    auto &commands = registered();
    const auto at = std::lower_bound(commands.begin(), commands.end(), command,
                                     [](const CliCommand &a, const CliCommand &b) { return a.name < b.name; });
    commands.insert(at, command);
}

const std::vector<CliCommand> &CliRegistry::commands()
{
    return registered();
}

const CliCommand *CliRegistry::find(const QString &name)
{
    for (const CliCommand &command : registered())
        if (command.name == name)
            return &command;
    return nullptr;
}

CliRegistration::CliRegistration(std::initializer_list<CliCommand> commands)
{
    for (const CliCommand &command : commands)
        CliRegistry::add(command);
}

void CliUi::printAlert(const Alert &alert)
{
    m_err << "alert: " << oneLine(alert.messageText) << " | " << oneLine(alert.informativeText) << "\n";
    m_err.flush();
}

int CliUi::runAlert(const Alert &alert, QWidget *)
{
    printAlert(alert);
    if (m_answers.isEmpty())
        return 0;
    const QString wanted = m_answers.dequeue();
    const int index = int(alert.buttons.indexOf(wanted));
    if (index < 0) {
        m_err << "orvix-cli: --answer \"" << wanted << "\" is not a button of this alert ("
              << alert.buttons.join(QStringLiteral(", ")) << "); pressing \"" << alert.buttons.value(0) << "\"\n";
        m_err.flush();
        return 0;
    }
    return index;
}

void CliUi::beep()
{
    m_err << "beep\n";
    m_err.flush();
}

std::optional<QString> CliUi::runTextInput(const TextInputOptions &options, QWidget *)
{
    // A text sheet takes the next answer as its text; with none left it is cancelled.
    m_err << "sheet: " << oneLine(options.title) << " | " << oneLine(options.label) << "\n";
    m_err.flush();
    if (m_answers.isEmpty())
        return std::nullopt;
    return m_answers.dequeue();
}

QStringList CliUi::runOpenPanel(const FilePanelOptions &, QWidget *)
{
    return m_answers.isEmpty() ? QStringList() : QStringList{m_answers.dequeue()};
}

QString CliUi::runSavePanel(const FilePanelOptions &, QWidget *)
{
    return m_answers.isEmpty() ? QString() : m_answers.dequeue();
}

int CliContext::fail(const QString &message, int code)
{
    m_err << "orvix-cli: " << message << "\n";
    m_err.flush();
    return code;
}

int CliContext::refuse(const Alert &alert)
{
    // Shown like any other alert, so --answer is consumed in order.
    m_ui.runAlert(alert);
    return 3;
}

std::optional<QString> CliContext::readLine()
{
    static QTextStream in(stdin);
    QString line;
    if (!in.readLineInto(&line))
        return std::nullopt;
    return line;
}

std::unique_ptr<MyDocument> CliContext::openPackage(const QString &path)
{
    return openPackageLocked(path, false);
}

std::unique_ptr<MyDocument> CliContext::openPackageForWriting(const QString &path)
{
    return openPackageLocked(path, true);
}

std::unique_ptr<MyDocument> CliContext::openPackageLocked(const QString &path, bool forWriting)
{
    std::optional<QString> password;
    if (MyDocument::isProtectedPackage(path)) {
        if (qEnvironmentVariableIsSet("ORVIX_PASSWORD"))
            password = qEnvironmentVariable("ORVIX_PASSWORD");
        else
            password = readLine();
        if (!password) {
            fail(QStringLiteral("\"%1\" is protected: give its password on standard input or in ORVIX_PASSWORD")
                     .arg(path));
            return nullptr;
        }
    }
    QString error;
    std::unique_ptr<MyDocument> document =
        forWriting ? MyDocument::openForWriting(path, QStringLiteral("Orvix"), &error, password)
                   : (password ? MyDocument::openProtected(path, *password, &error)
                               : MyDocument::open(path, QStringLiteral("Orvix"), &error));
    if (!document)
        fail(error);
    return document;
}

bool CliContext::savePackage(MyDocument &document, const QString &path)
{
    QString error;
    if (document.save(path, QStringLiteral("Orvix"), &error))
        return true;
    fail(error);
    return false;
}

bool CliContext::readJsonObject(const QString &path, const QString &what, QJsonObject *object)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read \"%1\": %2").arg(path, file.errorString()));
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !json.isObject()) {
        fail(QStringLiteral("\"%1\" is not %2: %3")
                 .arg(path, what,
                      parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                                   : QStringLiteral("not an object")));
        return false;
    }
    *object = json.object();
    return true;
}

int CliContext::usage(int code)
{
    QTextStream &s = code == 0 ? m_out : m_err;
    s << "Usage: orvix-cli [--answer BUTTON]... COMMAND [ARGUMENTS]\n"
         "\n"
         "Alerts are printed to standard error as \"alert: MESSAGE | INFORMATIVE TEXT\" and beeps as \"beep\".\n"
         "--answer BUTTON (repeatable) presses that button of the next alert, or types that text into the next\n"
         "sheet; without one the default button is pressed. Exit status: 0 done, 1 failed, 2 wrong usage,\n"
         "3 refused.\n"
         "\n"
         "Commands:\n";
    const int width = 34;
    for (const CliCommand &command : CliRegistry::commands()) {
        const QString head = QStringLiteral("  %1 %2").arg(command.name, command.synopsis);
        const QStringList lines = command.summary.split(QLatin1Char('\n'));
        if (head.size() < width) {
            s << head.leftJustified(width) << lines.value(0) << "\n";
        } else {
            s << head << "\n" << QString(width, QLatin1Char(' ')) << lines.value(0) << "\n";
        }
        for (int i = 1; i < lines.size(); ++i)
            s << QString(width, QLatin1Char(' ')) << lines.at(i) << "\n";
    }
    s << QStringLiteral("  --help").leftJustified(width) << "show this text\n";
    s.flush();
    return code;
}

int CliContext::run(const QStringList &arguments)
{
    // Global options may stand anywhere; "--" passes what follows through untouched.
    QStringList args;
    bool verbatim = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (!verbatim && a == QLatin1String("--")) {
            verbatim = true;
        } else if (!verbatim && a == QLatin1String("--answer")) {
            if (i + 1 >= arguments.size())
                return fail(QStringLiteral("--answer needs a button title"), 2);
            m_ui.answer(arguments.at(++i));
        } else {
            args << a;
        }
    }
    if (args.isEmpty())
        return usage(2);
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help"))
        return usage(0);
    const CliCommand *command = CliRegistry::find(name);
    if (!command)
        return fail(QStringLiteral("unknown command '%1' (see orvix-cli --help)").arg(name), 2);
    if (!verbatim && args.contains(QStringLiteral("--help")))
        return usage(0);
    if (args.size() < command->minArguments || (command->maxArguments >= 0 && args.size() > command->maxArguments)) {
        const QString count = command->minArguments == command->maxArguments ? QString::number(command->minArguments)
                              : command->maxArguments < 0
                                  ? QStringLiteral("%1 or more").arg(command->minArguments)
                                  : QStringLiteral("%1 to %2").arg(command->minArguments).arg(command->maxArguments);
        return fail(QStringLiteral("'%1' takes %2 argument(s) (see orvix-cli --help)").arg(name, count), 2);
    }
    Ui::install(&m_ui);
    const int code = command->run(*this, args);
    Ui::install(nullptr);
    return code;
}
