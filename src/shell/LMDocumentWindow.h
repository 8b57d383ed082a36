// LMDocumentWindow: the window of one open document: mode list, source list, button bar, toolbar and tabs.
// Its switch operations open views through the application's LMViewRegistry; the kinds' commands come from
// LMItemKind. It is the navigator every view's context carries.
#pragma once

#include "LMDocumentNavigator.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class LMApplication;
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

class LMDocumentWindow : public QMainWindow, public DocumentViewHost, public LMDocumentNavigator {
    Q_OBJECT
public:
    // Takes the document; gives it the default full-access login when it has none. Views come from
    // `registry`, which must outlive the window (the application owns it).
    LMDocumentWindow(std::unique_ptr<MyDocument> document, const LMViewRegistry &registry, QWidget *parent = nullptr);
    ~LMDocumentWindow() override;

    MyDocument *document() const { return m_document.get(); }
    LMViewContext context();
    // The application whose frontmost document frontmostDocument() answers (none: this window's document).
    void setApplication(LMApplication *application);

    // After loading: one new tab, the standard toolbar and the overview; when the document has users the
    // login window comes first (returned, or null) and this window stays hidden until it succeeds.
    LMLoginController *windowDidLoad(bool firstTime = false);
    LMLoginController *loginController() const { return m_loginController; }
    // login: installs the login, reloads the lists and tells the overview.
    void login(std::shared_ptr<LMLogin> login);

    // LMDocumentNavigator: the opening operations; each answers whether a view was opened.
    bool switchToOverview(bool firstTime = false) override;
    bool switchToTableEditView(const QString &name) override;
    bool switchToTableDesignView(const QString &name) override;
    bool switchToQueryView(const QString &name, bool inForm = false) override;
    bool switchToQueryViewInForm(const QString &name) { return switchToQueryView(name, true); }
    bool switchToFormDesignView(const QString &name) override;
    bool switchToFormDataView(const QString &name) override;
    bool switchToReportView(const QString &name) override;
    bool switchToScriptView(const QString &name) override;
    void switchToScriptRun(const QString &name) override;
    // Stops the scripts the run command started in this window (Objects > Stop Scripts).
    void stopScripts();
    bool switchToRelationshipsView() override;
    bool switchToUsersGroups(const QString &name, bool isUser) override;
    bool switchToFindView(const QString &searchText) override;
    bool switchToChooserView() override;
    bool switchToSQLView() override;
    void switchToBlank() override;
    // LMDocumentNavigator: the rest.
    QString currentTabLabel() const override;
    void setCurrentTabLabel(const QString &label) override;
    void reloadSourceListExpanding(ItemKind kind) override;
    bool removeItem(ItemKind kind, const QString &name) override;
    QString generateFormForTable(const QString &table) override;
    QPrinter *printer() override;
    MyDocument *frontmostDocument() const override;
    QWidget *windowWidget() const override { return const_cast<LMDocumentWindow *>(this); }

    // Tabs.
    void addNewTab() override;
    bool showsOverview() const override { return overview() != nullptr; }
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
    // Removes an item of `mode` ("Users" too) with the document's checks, then reselects a neighbouring row.
    bool removeItem(const QString &mode, const QString &name);

    // Document commands.
    bool saveDocument();
    bool saveDocumentAs();
    // Asks about unsaved changes; false when the user cancelled (or saving failed).
    bool confirmClose();
    // Closes the window the way the user does (asking first); true when it closed.
    bool closeDocument() override;
    bool isShutDown() const { return m_shutDown; }
    void runPageLayout() override;
    void cleanDatabase();
    void usersAndGroups();
    // True for an administrator (or a document nobody logged into); otherwise beeps.
    bool requireAdmin();
    void notYetAvailable(const QString &what);
    QString displayName() const;
    // The File menu's Import… and Export… sheets on this document.
    void importData();
    void exportData();
    // Edits the focused field of the selected tab's view in place; a beep when it has none.
    void openTextEditor();

    // DocumentViewHost
    void cleanUpAllViews() override;
    void broadcastRename(ItemKind kind, const QString &oldName, const QString &newName, const void *sender) override;
    void broadcastDelete(ItemKind kind, const QString &name) override;
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
    // Opens the view of `request` in the current tab labelled `label`, with the icon and mode of `shownAs`
    // (by default the request's kind).
    bool openView(const LMViewRequest &request, const QString &label, bool mayOpenNewTab = true,
                  std::optional<ViewKind> shownAs = std::nullopt);
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
    const LMViewRegistry &m_registry;
    QPointer<LMApplication> m_application;
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
