// OXScriptViewController: a plain text editor over "Code String" with Run, Stop and a console.
#include "OXScriptViewController.h"

#include "LMDocumentNavigator.h"
#include "LMUUID.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "OXCodeSenseController.h"
#include "OXScriptConsole.h"
#include "OXSyntaxHighlighterController.h"
#include "OXSyntaxPrefPane.h"
#include "Ui.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace {
const QString codeKey = QStringLiteral("Code String");
} // namespace

OXScriptViewController::OXScriptViewController(MyDocument *document, QWidget *window, const Value &script)
    : m_document(document), m_window(window), m_script(script)
{
    m_view = new LMIdentifiedView(identifier());
    m_view->setController(this);
    auto *layout = new QVBoxLayout(m_view);
    auto *buttons = new QHBoxLayout;
    m_runButton = new QPushButton(QStringLiteral("Run"));
    m_stopButton = new QPushButton(QStringLiteral("Stop"));
    m_stopButton->setEnabled(false);
    buttons->addWidget(m_runButton);
    buttons->addWidget(m_stopButton);
    m_externalButton = new QPushButton(QStringLiteral("Edit Externally…"));
    buttons->addWidget(m_externalButton);
    auto *deleteButton = new QPushButton(QStringLiteral("Delete"));
    buttons->addWidget(deleteButton);
    buttons->addStretch();
    auto *colours = new QPushButton(QStringLiteral("Colours…"));
    buttons->addWidget(colours);
    layout->addLayout(buttons);
    auto *splitter = new QSplitter(Qt::Vertical);
    m_editor = new QPlainTextEdit;
    m_editor->setFont(QFont(QStringLiteral("Monospace")));
    m_editor->setPlainText(script.value(codeKey).toString());
    m_highlighter = std::make_unique<OXSyntaxHighlighterController>(m_editor);
    m_highlighter->awakeFromNib();
    m_codeSense = new OXCodeSenseController(m_view);
    m_codeSense->setTextViewObject(m_editor);
    m_consoleView = new QTextBrowser;
    m_consolePage = std::make_unique<OXScriptConsole>();
    m_consoleTimer = std::make_unique<QTimer>();
    m_consoleTimer->setSingleShot(true);
    m_consoleTimer->setInterval(0);
    QObject::connect(m_consoleTimer.get(), &QTimer::timeout, m_consoleTimer.get(), [this] { drawConsole(); });
    splitter->addWidget(m_editor);
    splitter->addWidget(m_consoleView);
    m_errorView = new QListWidget;
    splitter->addWidget(m_errorView);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setStretchFactor(2, 0);
    layout->addWidget(splitter);
    QObject::connect(m_runButton, &QPushButton::clicked, m_view, [this] { runButton(); });
    QObject::connect(m_stopButton, &QPushButton::clicked, m_view, [this] { stop(); });
    QObject::connect(deleteButton, &QPushButton::clicked, m_view, [this] { deleteMe(); });
    QObject::connect(m_errorView, &QListWidget::itemActivated, m_view,
                     [this](QListWidgetItem *item) { goToError(m_errorView->row(item)); });
    QObject::connect(m_externalButton, &QPushButton::clicked, m_view, [this] {
        if (isEditingExternally())
            cancelExternalEdit();
        else
            externalEdit();
    });
    QObject::connect(colours, &QPushButton::clicked, m_view, [this] {
        auto *pane = new OXSyntaxPrefPane(m_view);
        pane->setWindowFlag(Qt::Window);
        pane->setAttribute(Qt::WA_DeleteOnClose);
        pane->show();
    });
}

OXScriptViewController::~OXScriptViewController()
{
    // A run still under way is stopped and waited for; its last messages have no editor to go to.
    if (m_runner) {
        m_runner->setDelegate(nullptr);
        m_runner->setLogView(nullptr);
        m_runner.reset();
    }
    stopWatching();
}

QString OXScriptViewController::identifier() const
{
    return ViewKinds::identifier(ViewKind::Script);
}

void OXScriptViewController::cleanUp()
{
    if (!m_script.isDict() || m_script.value(codeKey).toString() == text())
        return;
    m_script.set(codeKey, text());
    if (m_document)
        m_document->setChanged(true);
}

QString OXScriptViewController::text() const
{
    return m_editor->toPlainText();
}

void OXScriptViewController::setText(const QString &text)
{
    m_editor->setPlainText(text);
}

void OXScriptViewController::runButton()
{
    // One run at a time: Run is disabled while one is under way, and a press that slips through does nothing.
    if (m_running)
        return;
    m_errors.clear();
    m_errorLines.clear();
    m_errorView->clear();
    // The run has its own copy of the text: editing on while it runs changes the next run, not this one.
    m_runner = std::make_unique<OXJavascriptRunController>(text(), m_document);
    m_runner->setLogView(this);
    m_runner->setDelegate(this);
    openSession(QStringLiteral("Running"));
    m_running = true;
    m_runButton->setEnabled(false);
    m_stopButton->setEnabled(true);
    // The script runs on its own thread; the window stays responsive and Stop can end it.
    m_runner->start();
}

void OXScriptViewController::stop()
{
    if (!m_runner || !m_running)
        return;
    m_stopPressed = true;
    m_runner->stop();
}

void OXScriptViewController::scriptFinished(bool success)
{
    m_running = false;
    m_runButton->setEnabled(true);
    m_stopButton->setEnabled(false);
    // A run the user stopped did not fail: the console says so instead of an error sheet.
    const bool stopped = std::exchange(m_stopPressed, false);
    if (!success && stopped) {
        m_console.append(QStringLiteral("note: Stopped"));
        m_consolePage->note(QStringLiteral("Stopped"));
        showConsole();
    } else if (!success)
        Ui::instance().runAlert(Alert::make(QStringLiteral("Script Failed"),
                                            QStringLiteral("There was an error while running the script.")),
                                m_window);
}

void OXScriptViewController::scriptError(const Value &error)
{
    if (!m_sessionOpen)
        openSession(QString());
    const int line = error.value(QStringLiteral("lineNumber")).toInt();
    const QString entry =
        QStringLiteral("line %1: %2").arg(line).arg(error.value(QStringLiteral("message")).toString());
    m_console.append(QStringLiteral("error: ") + entry);
    m_consolePage->error(error.value(QStringLiteral("message")).toString(), line);
    m_errors.append(entry);
    m_errorLines.append(line);
    m_errorView->addItem(entry);
    showConsole();
}

void OXScriptViewController::logToConsole(const QString &text)
{
    if (!m_sessionOpen)
        openSession(QString());
    m_console.append(QStringLiteral("log: ") + text);
    m_consolePage->log(text);
    showConsole();
}

void OXScriptViewController::printToConsole(const QString &text)
{
    if (!m_sessionOpen)
        openSession(QString());
    m_console.append(QStringLiteral("print: ") + text);
    m_consolePage->print(text);
    showConsole();
}

void OXScriptViewController::clearAllConsole()
{
    m_console.clear();
    m_consolePage->clear();
    m_sessionOpen = false;
    showConsole();
}

void OXScriptViewController::openSession(const QString &title)
{
    m_sessionOpen = true;
    m_consolePage->openSession(title);
    m_console.append(QStringLiteral("session: %1 %2")
                         .arg(title, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    showConsole();
}

void OXScriptViewController::showConsole()
{
    // Output comes in bursts from the script's thread: the page is drawn once the burst has been taken.
    if (!m_consoleTimer->isActive())
        m_consoleTimer->start();
}

void OXScriptViewController::drawConsole()
{
    if (m_consolePage->isLoaded()) {
        m_consoleView->setHtml(m_consolePage->html());
        m_consoleView->moveCursor(QTextCursor::End);
        return;
    }
    // Without the page resource: the lines as they are.
    QString html;
    for (const QString &line : m_console)
        html += QStringLiteral("<p>%1</p>").arg(line.toHtmlEscaped());
    m_consoleView->setHtml(html);
}

void OXScriptViewController::deleteMe()
{
    const QString name = m_script.value(QStringLiteral("Name")).toString();
    if (!m_navigator || name.isEmpty())
        return;
    m_navigator->switchToOverview();
    if (!m_navigator->removeItem(ItemKind::Script, name))
        Ui::instance().runAlert(
            Alert::make(QStringLiteral("Script not deleted"), QStringLiteral("The script was not deleted.")), m_window);
}

void OXScriptViewController::goToError(int index)
{
    if (index < 0 || index >= m_errorLines.size())
        return;
    const QTextBlock block = m_editor->document()->findBlockByNumber(qMax(0, m_errorLines.at(index) - 1));
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    m_editor->setTextCursor(cursor);
    m_editor->setFocus();
}

int OXScriptViewController::caretLine() const
{
    return m_editor->textCursor().blockNumber() + 1;
}

bool OXScriptViewController::externalEdit(const QString &program)
{
    if (isEditingExternally())
        return true;
    QString command = program;
    if (command.isEmpty()) {
        TextInputOptions options;
        options.title = QStringLiteral("Edit Externally");
        options.label = QStringLiteral("Open the script with the program:");
        options.text = qEnvironmentVariable("VISUAL", qEnvironmentVariable("EDITOR", QStringLiteral("xdg-open")));
        const std::optional<QString> chosen = Ui::instance().runTextInput(options, m_window);
        if (!chosen || chosen->trimmed().isEmpty())
            return false;
        command = chosen->trimmed();
    }
    const QString folder = QDir(QDir::tempPath()).filePath(QStringLiteral("orvix_temp/scripts"));
    const QString path = QDir(folder).filePath(LMUUID::generate() + QStringLiteral(".js"));
    QFile file(path);
    if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly) || file.write(text().toUtf8()) < 0) {
        Ui::instance().runAlert(
            Alert::make(QStringLiteral("The script could not be written for editing."), file.errorString()), m_window);
        return false;
    }
    file.close();
    QStringList arguments = QProcess::splitCommand(command);
    const QString executable = arguments.isEmpty() ? QString() : arguments.takeFirst();
    arguments.append(path);
    if (executable.isEmpty() || !QProcess::startDetached(executable, arguments)) {
        QFile::remove(path);
        Ui::instance().runAlert(
            Alert::make(QStringLiteral("The program \"%1\" could not be started.").arg(command), QString()), m_window);
        return false;
    }
    m_externalFile = path;
    m_editor->setReadOnly(true);
    m_externalButton->setText(QStringLiteral("Stop Editing Externally"));
    // The folder too: editors that save by replacing the file end the watch on the file itself.
    m_watcher = std::make_unique<QFileSystemWatcher>(QStringList{folder, path});
    QObject::connect(m_watcher.get(), &QFileSystemWatcher::directoryChanged, m_view, [this] { externFileChanged(); });
    QObject::connect(m_watcher.get(), &QFileSystemWatcher::fileChanged, m_view, [this] { externFileChanged(); });
    return true;
}

void OXScriptViewController::externFileChanged()
{
    if (!isEditingExternally())
        return;
    if (m_watcher && !m_watcher->files().contains(m_externalFile) && QFile::exists(m_externalFile))
        m_watcher->addPath(m_externalFile);
    QFile file(m_externalFile);
    if (!file.open(QIODevice::ReadOnly))
        return; // being replaced; the next change reads it
    const QString changed = QString::fromUtf8(file.readAll());
    if (changed == text())
        return;
    setText(changed);
    if (m_document)
        m_document->setChanged(true);
}

void OXScriptViewController::cancelExternalEdit()
{
    if (!isEditingExternally())
        return;
    const Alert question = Alert::make(
        QStringLiteral("Stop Editing Externally?"),
        QStringLiteral("If you stop editing externally, any further changes made in the external application will "
                       "not change the script."),
        {QStringLiteral("Stop"), QStringLiteral("Don't Stop")});
    if (Ui::instance().runAlertButton(question, m_window) != QLatin1String("Stop"))
        return;
    stopWatching();
    m_editor->setReadOnly(false);
    m_externalButton->setText(QStringLiteral("Edit Externally…"));
}

void OXScriptViewController::stopWatching()
{
    m_watcher.reset();
    // The text is in the editor; the file would only be left behind in the temporary folder.
    if (!m_externalFile.isEmpty())
        QFile::remove(m_externalFile);
    m_externalFile.clear();
}

Value OXScriptViewController::newScriptFromNamingSheet(MyDocument *document, QWidget *window)
{
    if (!document)
        return Value();
    TextInputOptions options;
    options.title = QStringLiteral("New Script");
    options.label = QStringLiteral("Please name the script: (this is temporary)");
    for (;;) {
        const std::optional<QString> entered = Ui::instance().runTextInput(options, window);
        if (!entered)
            return Value();
        const QString name = entered->trimmed();
        // Scripts are found by exact name, so an empty or taken one is asked again.
        if (name.isEmpty() || document->scriptNamed(name).isDict()) {
            Ui::instance().beep();
            options.text = name;
            continue;
        }
        Value script = Value::dict({{QStringLiteral("Name"), name}, {codeKey, QString()}});
        Value scripts = document->scripts();
        scripts.append(script);
        document->setChanged(true);
        return script;
    }
}

std::unique_ptr<LMViewController> makeScriptViewController(const LMViewContext &context, const LMViewRequest &request)
{
    Value script = request.item;
    if (!script.isDict() && context.document)
        script = context.document->scriptNamed(request.name);
    if (!script.isDict()) {
        if (!request.name.isEmpty())
            return nullptr; // no such script
        script = OXScriptViewController::newScriptFromNamingSheet(context.document, context.window);
        if (!script.isDict())
            return nullptr;
        if (context.navigator)
            context.navigator->reloadSourceListExpanding(ItemKind::Script);
    }
    auto controller = std::make_unique<OXScriptViewController>(context.document, context.window, script);
    controller->setNavigator(context.navigator);
    return controller;
}
