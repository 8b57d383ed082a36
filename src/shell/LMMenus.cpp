// LMMenus: File, Objects, View, Tabs and Database menus with the standard shortcuts where Qt has them.
#include "LMMenus.h"

#include "LMApplication.h"
#include "LMDocumentWindow.h"
#include "LMIcons.h"
#include "Preferences.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

namespace {
QAction *command(QMenu *menu, LMApplication *app, const QString &text, const QString &action,
                 const QKeySequence &shortcut = QKeySequence(), const QString &icon = QString())
{
    QAction *a = menu->addAction(text);
    a->setObjectName(action);
    a->setShortcut(shortcut);
    if (!icon.isEmpty())
        a->setIcon(LMIcons::icon(icon));
    QObject::connect(a, &QAction::triggered, app, [app, action] { app->perform(action); });
    return a;
}

void fillRecent(QMenu *menu, LMApplication *app)
{
    menu->clear();
    const QStringList recent = app->recentDocuments();
    for (const QString &path : recent) {
        QAction *a = menu->addAction(QFileInfo(path).completeBaseName());
        a->setToolTip(path);
        QObject::connect(a, &QAction::triggered, app, [app, path] { app->openDocument(path); });
    }
    if (recent.isEmpty())
        menu->addAction(QStringLiteral("No Recent Documents"))->setEnabled(false);
    menu->addSeparator();
    QAction *clear = menu->addAction(QStringLiteral("Clear Menu"));
    clear->setEnabled(!recent.isEmpty());
    QObject::connect(clear, &QAction::triggered, app, &LMApplication::clearRecentDocuments);
}
} // namespace

void LMMenus::install(LMDocumentWindow *window, LMApplication *app)
{
    QMenuBar *bar = window->menuBar();

    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    QObject::connect(file->addAction(QStringLiteral("&New"), QKeySequence::New), &QAction::triggered, app,
                     [app] { app->newDocument(); });
    QObject::connect(file->addAction(QStringLiteral("&Open…"), QKeySequence::Open), &QAction::triggered, app,
                     &LMApplication::openDocumentPanel);
    QMenu *recent = file->addMenu(QStringLiteral("Open &Recent"));
    fillRecent(recent, app);
    QObject::connect(recent, &QMenu::aboutToShow, recent, [recent, app] { fillRecent(recent, app); });
    file->addSeparator();
    QObject::connect(file->addAction(QStringLiteral("&Close"), QKeySequence::Close), &QAction::triggered, window,
                     &QWidget::close);
    command(file, app, QStringLiteral("&Save"), QStringLiteral("Save:"), QKeySequence::Save);
    QObject::connect(file->addAction(QStringLiteral("Save &As…"), QKeySequence::SaveAs), &QAction::triggered, window,
                     &LMDocumentWindow::saveDocumentAs);
    file->addSeparator();
    command(file, app, QStringLiteral("&Import…"), QStringLiteral("Import:"),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    command(file, app, QStringLiteral("&Export…"), QStringLiteral("Export:"),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    file->addSeparator();
    command(file, app, QStringLiteral("Page Set&up…"), QStringLiteral("PageSetup:"),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    file->addSeparator();
    QObject::connect(file->addAction(QStringLiteral("&Quit"), QKeySequence::Quit), &QAction::triggered, app,
                     &LMApplication::quit);

    QMenu *objects = bar->addMenu(QStringLiteral("&Objects"));
    command(objects, app, QStringLiteral("New &Table"), QStringLiteral("New_Object__Table:"),
            QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_T), QStringLiteral("Tables 16"));
    command(objects, app, QStringLiteral("New &Query"), QStringLiteral("New_Object__Query:"),
            QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Q), QStringLiteral("Query 16"));
    command(objects, app, QStringLiteral("New &Form"), QStringLiteral("New_Object__Form:"),
            QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F), QStringLiteral("Forms small"));
    command(objects, app, QStringLiteral("New &Report"), QStringLiteral("New_Object__Report:"),
            QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_R), QStringLiteral("Report 16"));
    command(objects, app, QStringLiteral("New &Script"), QStringLiteral("New_Object__Script:"),
            QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S), QStringLiteral("Scripts small"));
    objects->addSeparator();
    QAction *stopScripts = objects->addAction(QStringLiteral("Stop Scripts"));
    stopScripts->setObjectName(QStringLiteral("Stop Scripts"));
    stopScripts->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Period));
    QObject::connect(stopScripts, &QAction::triggered, window, &LMDocumentWindow::stopScripts);

    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    command(view, app, QStringLiteral("&Overview"), QStringLiteral("Overview:"), QKeySequence(Qt::CTRL | Qt::Key_1),
            QStringLiteral("Overview 16"));
    command(view, app, QStringLiteral("&Table Design"), QStringLiteral("Tables:"), QKeySequence(Qt::CTRL | Qt::Key_2),
            QStringLiteral("Tables 16"));
    command(view, app, QStringLiteral("&Relationships"), QStringLiteral("Relationships:"),
            QKeySequence(Qt::CTRL | Qt::Key_3), QStringLiteral("Relationships 16"));
    QAction *sql = command(view, app, QStringLiteral("S&QL Editor"), QStringLiteral("SQL_Editor:"),
                           QKeySequence(Qt::CTRL | Qt::Key_4), QStringLiteral("Command Line 16"));
    // The SQL editor is offered only when the user asked for it.
    QObject::connect(view, &QMenu::aboutToShow, sql,
                     [sql] { sql->setEnabled(Preferences::instance().boolValue(QStringLiteral("LMAllowSQLEditor"))); });
    sql->setEnabled(Preferences::instance().boolValue(QStringLiteral("LMAllowSQLEditor")));
    command(view, app, QStringLiteral("&Chooser"), QStringLiteral("Chooser:"), QKeySequence(Qt::CTRL | Qt::Key_5),
            QStringLiteral("Chooser 16"));
    view->addSeparator();
    command(view, app, QStringLiteral("&Find Items"), QStringLiteral("Grid:"), QKeySequence::Find,
            QStringLiteral("Find 16"));
    command(view, app, QStringLiteral("&Quick Search"), QStringLiteral("Quick_Search:"),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    command(view, app, QStringLiteral("Fast Object &Access…"), QStringLiteral("FastAccess:"),
            QKeySequence(Qt::CTRL | Qt::Key_K));
    view->addSeparator();
    command(view, app, QStringLiteral("Show/Hide &Source List"), QStringLiteral("Source_List:"),
            QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_L));
    command(view, app, QStringLiteral("Show/Hide Tab &Bar"), QStringLiteral("Options:"),
            QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_B));

    QMenu *tabs = bar->addMenu(QStringLiteral("&Tabs"));
    command(tabs, app, QStringLiteral("&New Tab"), QStringLiteral("AddTab:"), QKeySequence(Qt::CTRL | Qt::Key_T),
            QStringLiteral("New Tab 16"));
    // Ctrl+W is the platform's Close (the window); the tab closes with Ctrl+Shift+W and with Ctrl+F4.
    QAction *closeTab = command(tabs, app, QStringLiteral("&Close Tab"), QStringLiteral("CloseTab:"));
    closeTab->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)});
    command(tabs, app, QStringLiteral("&Previous Tab"), QStringLiteral("PreviousTab:"),
            QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    command(tabs, app, QStringLiteral("Ne&xt Tab"), QStringLiteral("NextTab:"),
            QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    tabs->addSeparator();
    command(tabs, app, QStringLiteral("Open in &Text Editor"), QStringLiteral("Open_In_Text_Editor:"));

    QMenu *database = bar->addMenu(QStringLiteral("&Database"));
    command(database, app, QStringLiteral("&Users and Groups…"), QStringLiteral("Users_and_Groups:"), QKeySequence(),
            QStringLiteral("Users small"));
    command(database, app, QStringLiteral("&Security…"), QStringLiteral("Security:"));
    command(database, app, QStringLiteral("Set &Master Password…"), QStringLiteral("Set_Master_Password:"));
    database->addSeparator();
    command(database, app, QStringLiteral("&Clean Database…"), QStringLiteral("Clean_Database:"));
    command(database, app, QStringLiteral("Configure &Backup…"), QStringLiteral("Configure_Backup:"));
    command(database, app, QStringLiteral("&Templates…"), QStringLiteral("Queries:"));
    QMenu *cache = database->addMenu(QStringLiteral("Cursor Cache &Method"));
    auto *group = new QActionGroup(cache);
    const int current = Preferences::instance().intValue(QStringLiteral("LMCacheMethod"));
    const char *const labels[] = {"Connection Default", "Cache Every Column", "Cache Row Identifiers Only"};
    for (int tag = 0; tag < 3; ++tag) {
        QAction *a = cache->addAction(QLatin1String(labels[tag]));
        a->setCheckable(true);
        a->setChecked(tag == current);
        a->setData(tag);
        group->addAction(a);
        QObject::connect(a, &QAction::triggered, app, [app, tag] { app->setCacheLevel(tag); });
    }
}
