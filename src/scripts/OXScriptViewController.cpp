// OXScriptViewController: a plain text editor over "Code String" with Run, Stop and a console.
#include "OXScriptViewController.h"

#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "OXCodeSenseController.h"
#include "OXSyntaxHighlighterController.h"
#include "OXSyntaxPrefPane.h"
#include "Ui.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {
const QString codeKey = QStringLiteral("Code String");
// The main thread is the script's while it runs, so a runaway editor run is ended by the watchdog.
constexpr int editorTimeLimit = 10000;
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
    splitter->addWidget(m_editor);
    splitter->addWidget(m_consoleView);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter);
    QObject::connect(m_runButton, &QPushButton::clicked, m_view, [this] { runButton(); });
    QObject::connect(m_stopButton, &QPushButton::clicked, m_view, [this] { stop(); });
    QObject::connect(colours, &QPushButton::clicked, m_view, [this] {
        auto *pane = new OXSyntaxPrefPane(m_view);
        pane->setWindowFlag(Qt::Window);
        pane->setAttribute(Qt::WA_DeleteOnClose);
        pane->show();
    });
}

OXScriptViewController::~OXScriptViewController() = default;

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
    m_runner = std::make_unique<OXJavascriptRunController>(text(), m_document);
    m_runner->setTimeLimit(editorTimeLimit);
    m_runner->setLogView(this);
    m_runner->setDelegate(this);
    openSession(QStringLiteral("Running"));
    m_running = true;
    m_runButton->setEnabled(false);
    m_stopButton->setEnabled(true);
    m_runner->run();
}

void OXScriptViewController::stop()
{
    if (m_runner)
        m_runner->stop();
}

void OXScriptViewController::scriptFinished(bool success)
{
    m_running = false;
    m_runButton->setEnabled(true);
    m_stopButton->setEnabled(false);
    if (!success)
        Ui::instance().runAlert(Alert::make(QStringLiteral("Script Failed"),
                                            QStringLiteral("There was an error while running the script.")),
                                m_window);
}

void OXScriptViewController::scriptError(const Value &error)
{
    if (!m_sessionOpen)
        openSession(QString());
    m_console.append(QStringLiteral("error: line %1: %2")
                         .arg(error.value(QStringLiteral("lineNumber")).toInt())
                         .arg(error.value(QStringLiteral("message")).toString()));
    showConsole();
}

void OXScriptViewController::logToConsole(const QString &text)
{
    if (!m_sessionOpen)
        openSession(QString());
    m_console.append(QStringLiteral("log: ") + text);
    showConsole();
}

void OXScriptViewController::printToConsole(const QString &text)
{
    if (!m_sessionOpen)
        openSession(QString());
    m_console.append(QStringLiteral("print: ") + text);
    showConsole();
}

void OXScriptViewController::clearAllConsole()
{
    m_console.clear();
    m_sessionOpen = false;
    showConsole();
}

void OXScriptViewController::openSession(const QString &title)
{
    m_sessionOpen = true;
    m_console.append(QStringLiteral("session: %1 %2")
                         .arg(title, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    showConsole();
}

void OXScriptViewController::showConsole()
{
    QString html;
    for (const QString &line : m_console) {
        const QString escaped = line.toHtmlEscaped();
        if (line.startsWith(QLatin1String("session:")))
            html += QStringLiteral("<p><b>%1</b></p>").arg(escaped.mid(9));
        else if (line.startsWith(QLatin1String("error:")))
            html += QStringLiteral("<p style='color:#b00'>%1</p>").arg(escaped);
        else
            html += QStringLiteral("<p>%1</p>").arg(escaped.mid(escaped.indexOf(QLatin1Char(' ')) + 1));
    }
    m_consoleView->setHtml(html);
}

std::unique_ptr<LMViewController> makeScriptViewController(const LMViewContext &context, const LMViewRequest &request)
{
    Value script = request.item;
    if (!script.isDict() && context.document)
        script = context.document->scriptNamed(request.name);
    return std::make_unique<OXScriptViewController>(context.document, context.window, script);
}
