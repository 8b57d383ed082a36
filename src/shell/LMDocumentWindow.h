// LMDocumentWindow: the window of one open document: mode list, source list, button bar, toolbar and tabs.
// Its switch operations open views through LMViewRegistry; the kinds' commands come from LMItemKind.
#pragma once

#include "LMViewRegistry.h"
#include "MyDocument.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class LMButtonBar;
class LMIdentifiedView;
class LMLogin;
#include "LMLoginController.h"
class LMModeList;
class LMOverview;
class LMSourceList;
class LMTabView;
class LMViewController;
class QLineEdit;
class QPrinter;
class QToolBar;

class LMDocumentWindow : public QMainWindow, public DocumentViewHost {
    Q_OBJECT
public:
    // Takes the document; gives it the default full-access login when it has none.
    explicit LMDocumentWindow(std::unique_ptr<MyDocument> document, QWidget *parent = nullptr);
    ~LMDocumentWindow() override;

    MyDocument *document() const { return m_document.get(); }
    LMViewContext context();

    // After loading: one new tab, the standard toolbar and the overview; when the document has users the
    // login window comes first (returned, or null) and this window stays hidden until it succeeds.
    LMLoginController *windowDidLoad(bool firstTime = false);
    LMLoginController *loginController() const { return m_loginController; }
    // login: installs the login, reloads the lists and tells the overview.
    void login(std::shared_ptr<LMLogin> login);

    // Opening operations; each answers whether a view was opened.
    bool switchToOverview(bool firstTime = false);
    bool switchToTableEditView(const QString &name);
    bool switchToTableDesignView(const QString &name);
    bool switchToQueryView(const QString &name, bool inForm = false);
    bool switchToQueryViewInForm(const QString &name) { return switchToQueryView(name, true); }
    bool switchToFormDesignView(const QString &name);
    bool switchToFormDataView(const QString &name);
    bool switchToReportView(const QString &name);
    bool switchToScriptView(const QString &name);
    void switchToScriptRun(const QString &name);
    bool switchToRelationshipsView();
    bool switchToUsersGroups(const QString &name, bool isUser);
    bool switchToFindView(const QString &searchText);
    bool switchToChooserView();
    bool switchToSQLView();
    void switchToBlank();

    // Tabs.
    void addNewTab();
    void closeTab();
    void previousTab();
    void nextTab();
    void toggleTabBar();
    void toggleSourceList();
    void refreshAll();
    void refreshButtonBar();
    void quickSearch();
    LMTabView *tabView() const { return m_tabs; }
    int tabCount() const;
    int currentTabIndex() const;
    QString tabLabel(int index) const;
    QString tabIconName(int index) const;
    LMIdentifiedView *tabContent(int index) const;
    LMViewController *currentController() const;
    LMOverview *overview() const;

    // Source list, mode list and button bar.
    LMSourceList *sourceList() const { return m_sourceList; }
    LMModeList *modeList() const { return m_modeList; }
    LMButtonBar *buttonBar() const { return m_buttonBar; }
    QToolBar *currentToolbar() const;
    QString myMode() const;
    QString selectedSourceListTitle() const;
    // outlineDidDoubleClickOnRow: `name` empty for a heading.
    void outlineDidDoubleClick(const QString &mode, const QString &name);
    void modeChosen(const QString &mode);
    void addButton();
    void removeButton();
    void designButton();
    void editButton();
    void runButton();
    // Removes an item of `mode` with the document's checks, then reselects a neighbouring row.
    bool removeItem(const QString &mode, const QString &name);

    // Document commands.
    bool saveDocument();
    bool saveDocumentAs();
    // Asks about unsaved changes; false when the user cancelled (or saving failed).
    bool confirmClose();
    // Closes the window the way the user does (asking first); true when it closed.
    bool closeDocument();
    bool isShutDown() const { return m_shutDown; }
    void runPageLayout();
    void cleanDatabase();
    void usersAndGroups();
    void notYetAvailable(const QString &what);
    QString displayName() const;
    // The File menu's Import… and Export… sheets on this document.
    void importData();
    void exportData();
    // Edits the focused cell of the selected tab's record grid in place; a beep when no grid is there.
    void openTextEditor();
    // What the import sheet calls once its table is in (and the source list reloaded): the table's data in a tab.
    std::function<void(const QString &table)> importedTableOpener();

    // DocumentViewHost
    void cleanUpAllViews() override;
    void broadcastRename(const QString &type, const QString &oldName, const QString &newName,
                         const void *sender) override;
    void broadcastDelete(const QString &type, const QString &name) override;
    QStringList openTabIdentifiers() const override;
    void refreshAllViews() override;
    void reloadSourceList() override;
    void documentDidSave() override;

signals:
    void documentSaved(const QString &packagePath);
    void windowClosed(LMDocumentWindow *window);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct TabSpec {
        QString label;
        QString icon;
        QString mode;
    };
    bool openView(const LMViewRequest &request, const TabSpec &tab, bool mayOpenNewTab = true);
    void viewWillLeave(LMViewController *controller, const QString &identifier);
    void viewDidArrive(LMViewController *controller);
    void setToolbarFrom(LMViewController *controller);
    void buildLayout();
    void buildStandardToolbar();
    void updateTitle();
    void sourceListSelectionMoved();
    bool saveTo(const QString &packagePath);
    void shutDown();

    std::unique_ptr<MyDocument> m_document;
    LMModeList *m_modeList = nullptr;
    LMSourceList *m_sourceList = nullptr;
    LMButtonBar *m_buttonBar = nullptr;
    LMTabView *m_tabs = nullptr;
    QWidget *m_sidebar = nullptr;
    QToolBar *m_standardToolbar = nullptr;
    QPointer<QToolBar> m_viewToolbar;
    QLineEdit *m_search = nullptr;
    QPointer<LMLoginController> m_loginController;
    std::unique_ptr<QPrinter> m_printer;
    bool m_shutDown = false;
};
