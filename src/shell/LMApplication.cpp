// LMApplication: document windows by the list, the command table, and the recent-documents list.
#include "LMApplication.h"

#include "LMApplicationViews.h"
#include "LMBackup.h"
#include "LMDocumentWindow.h"
#include "LMImportedDocument.h"
#include "LMLoginController.h"
#include "LMMasterPassword.h"
#include "LMMenus.h"
#include "LMRelationshipAudit.h"
#include "LMSecurity.h"
#include "MyDocument.h"
#include "OXTemplatePanel.h"
#include "Preferences.h"
#include "Ui.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {
const QString kRecentKey = QStringLiteral("LMRecentDocuments");
constexpr int kRecentLimit = 10;

using Command = std::function<void(LMDocumentWindow &)>;

void reportUnopenable(const QString &path, const QString &error)
{
    Ui::instance().runAlert(
        Alert::make(QStringLiteral("The document “%1” could not be opened").arg(QFileInfo(path).fileName()), error));
}

// A tool window of the document window: closes with it, deleted when the user closes it.
void showOwnedWindow(QWidget *window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

const QList<QPair<QString, Command>> &commandTable()
{
    static const QList<QPair<QString, Command>> table = {
        {"New_Object__Table:", [](LMDocumentWindow &w) { w.switchToTableDesignView(QString()); }},
        {"New_Object__Query:", [](LMDocumentWindow &w) { w.switchToQueryView(QString()); }},
        {"New_Object__Form:", [](LMDocumentWindow &w) { w.switchToFormDesignView(QString()); }},
        {"New_Object__Report:", [](LMDocumentWindow &w) { w.switchToReportView(QString()); }},
        {"New_Object__Script:", [](LMDocumentWindow &w) { w.switchToScriptView(QString()); }},
        {"Save:", [](LMDocumentWindow &w) { w.saveDocument(); }},
        {"Import:", [](LMDocumentWindow &w) { w.importData(); }},
        {"Export:", [](LMDocumentWindow &w) { w.exportData(); }},
        {"PageSetup:", [](LMDocumentWindow &w) { w.runPageLayout(); }},
        {"AddTab:", [](LMDocumentWindow &w) { w.addNewTab(); }},
        {"CloseTab:", [](LMDocumentWindow &w) { w.closeTab(); }},
        {"PreviousTab:", [](LMDocumentWindow &w) { w.previousTab(); }},
        {"NextTab:", [](LMDocumentWindow &w) { w.nextTab(); }},
        {"Open_In_Text_Editor:", [](LMDocumentWindow &w) { w.openTextEditor(); }},
        {"Source_List:", [](LMDocumentWindow &w) { w.toggleSourceList(); }},
        {"Options:", [](LMDocumentWindow &w) { w.toggleTabBar(); }},
        {"Overview:", [](LMDocumentWindow &w) { w.switchToOverview(); }},
        {"Tables:", [](LMDocumentWindow &w) { w.switchToTableDesignView(QString()); }},
        {"Relationships:", [](LMDocumentWindow &w) { w.switchToRelationshipsView(); }},
        {"SQL_Editor:", [](LMDocumentWindow &w) { w.switchToSQLView(); }},
        {"Queries:", [](LMDocumentWindow &w) { showOwnedWindow(new OXTemplatePanel(w.document(), &w)); }},
        {"Grid:", [](LMDocumentWindow &w) { w.switchToFindView(QString()); }},
        {"FastAccess:", [](LMDocumentWindow &w) { w.notYetAvailable(QStringLiteral("Fast object access")); }},
        {"Set_Master_Password:", [](LMDocumentWindow &w) { LMMasterPassword::run(w.document(), &w); }},
        {"Users_and_Groups:", [](LMDocumentWindow &w) { w.usersAndGroups(); }},
        {"Security:",
         [](LMDocumentWindow &w) {
             if (w.requireAdmin())
                 LMSecurity::openForCurrent(w.document(), &w);
         }},
        {"Clean_Database:", [](LMDocumentWindow &w) { w.cleanDatabase(); }},
        {"Configure_Backup:",
         [](LMDocumentWindow &w) {
             showOwnedWindow(new LMBackup(w.document(), w.document() ? w.document()->backups() : Value(), &w));
         }},
        {"Quick_Search:", [](LMDocumentWindow &w) { w.quickSearch(); }},
        {"Chooser:", [](LMDocumentWindow &w) { w.switchToChooserView(); }},
    };
    return table;
}
} // namespace

LMApplication::LMApplication(QObject *parent) : QObject(parent)
{
    // Design commits keep the relationship records in step with the tables they join.
    LMRelationshipAudit::install();
    registerApplicationViews(m_viewRegistry);
}

LMApplication::~LMApplication()
{
    // Closing windows edits m_windows, so walk a copy.
    const QList<QPointer<LMDocumentWindow>> open = m_windows;
    for (const QPointer<LMDocumentWindow> &w : open)
        delete w.data();
}

QStringList LMApplication::actions()
{
    QStringList names;
    for (const auto &entry : commandTable())
        names << entry.first;
    return names;
}

LMDocumentWindow *LMApplication::adopt(LMDocumentWindow *window)
{
    m_windows.append(window);
    window->setApplication(this);
    LMMenus::install(window, this);
    connect(window, &LMDocumentWindow::documentSaved, this, &LMApplication::noteRecentDocument);
    connect(window, &LMDocumentWindow::windowClosed, this,
            [this](LMDocumentWindow *closed) { m_windows.removeAll(closed); });
    LMLoginController *login = window->windowDidLoad();
    if (m_showsWindows) {
        if (login)
            login->show();
        else
            window->show();
    }
    return window;
}

LMDocumentWindow *LMApplication::newDocument()
{
    QString error;
    std::unique_ptr<MyDocument> document = MyDocument::createNew(&error);
    if (!document) {
        Ui::instance().runAlert(Alert::make(QStringLiteral("A new document could not be created"), error));
        return nullptr;
    }
    return adopt(new LMDocumentWindow(std::move(document), m_viewRegistry));
}

LMDocumentWindow *LMApplication::openDocument(const QString &path)
{
    const QString package = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!LMImportedDocument::typeForPath(package).isEmpty())
        return openImportedFile(package);
    for (LMDocumentWindow *w : windows()) {
        if (QDir::cleanPath(w->document()->fileName()) == package) {
            if (m_showsWindows && !w->loginController()) {
                w->show();
                w->raise();
                w->activateWindow();
            }
            return w;
        }
    }
    QString error;
    std::unique_ptr<MyDocument> document;
    if (MyDocument::isProtectedPackage(package)) {
        TextInputOptions ask;
        ask.title = QStringLiteral("Protected Document");
        ask.label = QStringLiteral("“%1” is protected. Enter its password:").arg(QFileInfo(package).completeBaseName());
        ask.acceptButton = QStringLiteral("Open");
        ask.secret = true;
        const std::optional<QString> password = Ui::instance().runTextInput(ask);
        if (!password)
            return nullptr;
        document = MyDocument::openProtected(package, *password, &error);
    } else {
        document = MyDocument::open(package, QStringLiteral("Orvix"), &error);
    }
    if (!document) {
        reportUnopenable(package, error);
        return nullptr;
    }
    noteRecentDocument(package);
    return adopt(new LMDocumentWindow(std::move(document), m_viewRegistry));
}

LMDocumentWindow *LMApplication::openImportedFile(const QString &path)
{
    // A delimited file opens as a new untitled document with the import sheet on its window.
    LMDocumentWindow *made = nullptr;
    QString error;
    const bool ok = LMImportedDocument::open(
        path,
        [this, &made](std::unique_ptr<MyDocument> document) {
            made = adopt(new LMDocumentWindow(std::move(document), m_viewRegistry));
            return LMImportedDocument::Window{made, made};
        },
        &error);
    if (!ok) {
        reportUnopenable(path, error);
        return nullptr;
    }
    return made;
}

void LMApplication::openDocumentPanel()
{
    FilePanelOptions options;
    options.title = QStringLiteral("Open Document");
    // Packages are folders: the panel chooses one that matches the filter as a single item.
    options.nameFilters = {QStringLiteral("Orvix documents and delimited text (*.orvix *.csv *.tsv)")};
    const QStringList recent = recentDocuments();
    options.directory = recent.isEmpty() ? QDir::homePath() : QFileInfo(recent.first()).absolutePath();
    for (const QString &path : Ui::instance().runOpenPanel(options, frontmostWindow()))
        openDocument(path);
}

QList<LMDocumentWindow *> LMApplication::windows() const
{
    QList<LMDocumentWindow *> list;
    for (const QPointer<LMDocumentWindow> &w : m_windows)
        if (w)
            list << w.data();
    return list;
}

LMDocumentWindow *LMApplication::frontmostWindow() const
{
    const QList<LMDocumentWindow *> list = windows();
    if (auto *active = qobject_cast<LMDocumentWindow *>(QApplication::activeWindow()); active && list.contains(active))
        return active;
    return list.isEmpty() ? nullptr : list.last();
}

bool LMApplication::perform(const QString &action)
{
    LMDocumentWindow *window = frontmostWindow();
    if (!window)
        return false;
    for (const auto &entry : commandTable()) {
        if (entry.first == action) {
            entry.second(*window);
            return true;
        }
    }
    return false;
}

void LMApplication::setCacheLevel(int tag)
{
    if (tag >= 0 && tag <= 2)
        Preferences::instance().setValue(QStringLiteral("LMCacheMethod"), tag);
}

bool LMApplication::closeAll()
{
    for (LMDocumentWindow *w : windows()) {
        if (!w->closeDocument())
            return false;
    }
    return true;
}

void LMApplication::quit()
{
    if (closeAll())
        QApplication::quit();
}

QStringList LMApplication::recentDocuments() const
{
    return Preferences::instance().value(kRecentKey).toStringList();
}

void LMApplication::noteRecentDocument(const QString &path)
{
    QStringList recent = recentDocuments();
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    recent.removeAll(clean);
    recent.prepend(clean);
    while (recent.size() > kRecentLimit)
        recent.removeLast();
    Preferences::instance().setValue(kRecentKey, recent);
    emit recentDocumentsChanged();
}

void LMApplication::clearRecentDocuments()
{
    Preferences::instance().removeValue(kRecentKey);
    emit recentDocumentsChanged();
}
