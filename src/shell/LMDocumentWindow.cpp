// LMDocumentWindow: layout, the switch operations and the view protocol's calling order.
#include "LMDocumentWindow.h"
#include "DesignVocabulary.h"

#include "LMApplication.h"
#include "LMButtonBar.h"
#include "LMExportController.h"
#include "LMIcons.h"
#include "LMIdentifiedView.h"
#include "LMImportController.h"
#include "LMItemKind.h"
#include "LMLogin.h"
#include "LMLoginController.h"
#include "LMModeList.h"
#include "LMOverview.h"
#include "LMScriptViews.h"
#include "LMSearchMenuWindow.h"
#include "LMSourceList.h"
#include "LMTabView.h"
#include "LMViewController.h"
#include "OXDatabase.h"
#include "Preferences.h"
#include "Ui.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QSplitter>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

LMDocumentWindow::LMDocumentWindow(std::unique_ptr<MyDocument> document, const LMViewRegistry &registry,
                                   QWidget *parent)
    : QMainWindow(parent), m_document(std::move(document)), m_registry(registry)
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_document->setWindow(this);
    m_document->setViewHost(this);
    if (!m_document->login())
        m_document->setLogin(LMLogin::fullAccess());
    buildLayout();
    buildStandardToolbar();
    resize(1100, 700);
    updateTitle();
    connect(m_document.get(), &MyDocument::changedStateChanged, this,
            [this](bool changed) { setWindowModified(changed); });
    // Showing the source list is when stale relationship records are tidied.
    if (m_document->database())
        m_document->database()->auditRelationships();
    reloadSourceList();
}

LMDocumentWindow::~LMDocumentWindow()
{
    shutDown();
}

LMViewContext LMDocumentWindow::context()
{
    return LMViewContext{m_document.get(), m_document ? m_document->database() : nullptr, this, this};
}

void LMDocumentWindow::setApplication(LMApplication *application)
{
    m_application = application;
}

void LMDocumentWindow::buildLayout()
{
    m_modeList = new LMModeList;
    m_sourceList = new LMSourceList;
    m_buttonBar = new LMButtonBar;
    m_sidebar = new QWidget;
    auto *side = new QVBoxLayout(m_sidebar);
    side->setContentsMargins(0, 0, 0, 0);
    side->setSpacing(0);
    side->addWidget(m_modeList);
    side->addWidget(m_sourceList, 1);
    side->addWidget(m_buttonBar);

    m_tabs = new LMTabView;
    auto *splitter = new QSplitter;
    splitter->addWidget(m_sidebar);
    splitter->addWidget(m_tabs);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 860});
    setCentralWidget(splitter);

    connect(m_tabs, &LMTabView::viewWillLeave, this, &LMDocumentWindow::viewWillLeave);
    connect(m_tabs, &LMTabView::tabArrived, this, [this](int index) {
        LMIdentifiedView *view = m_tabs->identifiedView(index);
        viewDidArrive(view ? view->controller() : nullptr);
        m_modeList->selectModeSilently(view ? ViewKinds::modeOfIdentifier(view->identifier()) : QString());
    });
    connect(m_sourceList, &LMSourceList::rowDoubleClicked, this, &LMDocumentWindow::outlineDidDoubleClick);
    connect(m_sourceList, &LMSourceList::selectionMoved, this, &LMDocumentWindow::sourceListSelectionMoved);
    connect(m_modeList, &LMModeList::modeChosen, this, &LMDocumentWindow::modeChosen);
    connect(m_buttonBar, &LMButtonBar::addClicked, this, &LMDocumentWindow::addButton);
    connect(m_buttonBar, &LMButtonBar::removeClicked, this, &LMDocumentWindow::removeButton);
    connect(m_buttonBar, &LMButtonBar::designClicked, this, &LMDocumentWindow::designButton);
    connect(m_buttonBar, &LMButtonBar::editClicked, this, &LMDocumentWindow::editButton);
    connect(m_buttonBar, &LMButtonBar::runClicked, this, &LMDocumentWindow::runButton);
}

void LMDocumentWindow::buildStandardToolbar()
{
    m_standardToolbar = addToolBar(QStringLiteral("Standard Toolbar"));
    m_standardToolbar->setObjectName(QStringLiteral("Standard Toolbar"));
    m_standardToolbar->setMovable(false);
    m_standardToolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_standardToolbar->setIconSize(QSize(24, 24));
    auto add = [this](const QString &icon, const QString &text, auto slot) {
        QAction *a = m_standardToolbar->addAction(LMIcons::icon(icon), text);
        a->setObjectName(text);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add(QStringLiteral("Overview 16"), QStringLiteral("Overview"), [this] { switchToOverview(); });
    add(QStringLiteral("SB2_Plus"), QStringLiteral("New Table"), [this] { switchToTableDesignView(QString()); });
    add(QStringLiteral("Relationships 16"), QStringLiteral("Relationships"), [this] { switchToRelationshipsView(); });
    add(QStringLiteral("Chooser 16"), QStringLiteral("Chooser"), [this] { switchToChooserView(); });
    add(QStringLiteral("New Tab 16"), QStringLiteral("New Tab"), [this] { addNewTab(); });
    add(QStringLiteral("Save 16"), QStringLiteral("Save"), [this] { saveDocument(); });
    auto *spacer = new QWidget;
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_standardToolbar->addWidget(spacer);
    m_search = new QLineEdit;
    m_search->setObjectName(QStringLiteral("LMST_Search"));
    m_search->setPlaceholderText(QStringLiteral("Search"));
    m_search->setClearButtonEnabled(true);
    m_search->setMaximumWidth(220);
    connect(m_search, &QLineEdit::returnPressed, this, [this] {
        if (!m_search->text().trimmed().isEmpty())
            switchToFindView(m_search->text().trimmed());
    });
    m_standardToolbar->addWidget(m_search);
    LMSearchMenuWindow::attach(m_search, m_document.get(), this);
}

QToolBar *LMDocumentWindow::currentToolbar() const
{
    return m_viewToolbar ? m_viewToolbar.data() : m_standardToolbar;
}

void LMDocumentWindow::setToolbarFrom(LMViewController *controller)
{
    if (m_viewToolbar) {
        removeToolBar(m_viewToolbar);
        m_viewToolbar->deleteLater();
        m_viewToolbar = nullptr;
    }
    if (!controller || !controller->providesToolbar()) {
        m_standardToolbar->show();
        return;
    }
    m_standardToolbar->hide();
    const QString name = QStringLiteral("%1 Toolbar").arg(controller->identifier());
    m_viewToolbar = new QToolBar(name, this);
    m_viewToolbar->setObjectName(name);
    m_viewToolbar->setMovable(false);
    m_viewToolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const QString &item : controller->toolbarDefaultItemIdentifiers()) {
        if (QAction *action = controller->toolbarItem(item, true))
            m_viewToolbar->addAction(action);
    }
    addToolBar(m_viewToolbar);
}

LMLoginController *LMDocumentWindow::windowDidLoad(bool firstTime)
{
    m_tabs->removeAllTabs();
    m_tabs->addNewTab();
    setToolbarFrom(nullptr);
    LMViewRequest request;
    request.kind = ViewKind::Overview;
    request.firstTime = firstTime;
    openView(request, ViewKinds::identifier(ViewKind::Overview), false);
    if (m_document->users().isEmpty())
        return nullptr;
    m_loginController =
        new LMLoginController(m_document.get(), m_document->users(), [this](std::shared_ptr<LMLogin> l) {
            login(std::move(l));
            show();
            raise();
            activateWindow();
        });
    m_loginController->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_loginController, &QDialog::rejected, this, [this] { close(); });
    hide();
    return m_loginController;
}

void LMDocumentWindow::login(std::shared_ptr<LMLogin> login)
{
    m_document->setLogin(std::move(login));
    reloadSourceList();
    for (int i = 0; i < m_tabs->count(); ++i)
        if (LMViewController *controller = m_tabs->controllerAt(i))
            controller->userDidLogin();
}

// ---- Opening views

bool LMDocumentWindow::openView(const LMViewRequest &request, const QString &label, bool mayOpenNewTab,
                                std::optional<ViewKind> shownAs)
{
    if (m_tabs->count() == 0 || (mayOpenNewTab && Ui::instance().isNewTabModifierHeld()))
        m_tabs->addNewTab();
    if (LMIdentifiedView *old = m_tabs->identifiedView(m_tabs->currentIndex()); old && old->controller())
        viewWillLeave(old->controller(), old->identifier());
    std::unique_ptr<LMViewController> controller = m_registry.create(context(), request);
    if (!controller || !controller->view())
        return false;
    LMIdentifiedView *view = controller->view();
    LMViewController *raw = controller.get();
    view->adoptController(std::move(controller));
    viewDidArrive(raw);
    const ViewKind tabKind = shownAs.value_or(request.kind);
    m_tabs->replaceCurrentView(view, label, ViewKinds::info(tabKind).icon);
    m_modeList->selectModeSilently(ViewKinds::mode(tabKind));
    return true;
}

void LMDocumentWindow::viewWillLeave(LMViewController *controller, const QString &identifier)
{
    if (!controller)
        return;
    if (ViewKinds::fromIdentifier(identifier) != ViewKind::Relationship) {
        controller->cleanUp();
        return;
    }
    // The relationships view hands back the dictionary that becomes the document's relationships.
    const std::optional<Value> archived = controller->cleanUpAndArchive();
    if (!archived || !archived->isDict())
        return;
    Value relationships = m_document->relationships();
    if (archived->isSameContainer(relationships))
        return;
    relationships.clear();
    for (const QString &key : archived->keys())
        relationships.set(key, archived->value(key));
}

void LMDocumentWindow::viewDidArrive(LMViewController *controller)
{
    setToolbarFrom(controller);
    if (controller)
        controller->refresh();
}

namespace {
LMViewRequest requestFor(ViewKind kind, const QString &name = QString(), const Value &item = Value())
{
    LMViewRequest request;
    request.kind = kind;
    request.name = name;
    request.item = item;
    return request;
}

QString labelFor(ViewKind kind, const QString &name)
{
    return name.isEmpty() ? ViewKinds::newItemLabel(kind) : name;
}
} // namespace

bool LMDocumentWindow::switchToOverview(bool firstTime)
{
    LMViewRequest request = requestFor(ViewKind::Overview);
    request.firstTime = firstTime;
    return openView(request, ViewKinds::identifier(ViewKind::Overview));
}

bool LMDocumentWindow::switchToTableEditView(const QString &name)
{
    if (name.isEmpty()) {
        Ui::instance().beep();
        return false;
    }
    return openView(requestFor(ViewKind::TableEdit, name, m_document->tableNamed(name)), name);
}

bool LMDocumentWindow::switchToTableDesignView(const QString &name)
{
    return openView(requestFor(ViewKind::TableDesign, name, m_document->tableNamed(name)),
                    labelFor(ViewKind::TableDesign, name));
}

bool LMDocumentWindow::switchToQueryView(const QString &name, bool inForm)
{
    const Value query = m_document->queryNamed(name);
    QString table = query.value(DesignKey::TableName).toString();
    const QStringList tables = m_document->database() ? m_document->database()->tablesList() : QStringList();
    if (name.isEmpty()) {
        // A new query filters a table: the one selected in the source list, else the first one.
        table = myMode() == ItemKinds::mode(ItemKind::Table) && !selectedSourceListTitle().isEmpty()
                    ? selectedSourceListTitle()
                    : tables.value(0);
    }
    if (table.isEmpty() || !tables.contains(table)) {
        Ui::instance().runAlert(Alert::make(QStringLiteral("Invalid Query"),
                                            QStringLiteral("This does not have a valid content table and cannot be "
                                                           "opened.")),
                                this);
        return false;
    }
    if (!inForm) {
        LMViewRequest request = requestFor(ViewKind::Query, name, query);
        request.table = table;
        return openView(request, table);
    }
    QString form;
    const Value forms = m_document->forms();
    for (int i = 0; i < forms.size() && form.isEmpty(); ++i)
        if (forms.at(i).value(DesignKey::ContentTable).toString() == table)
            form = forms.at(i).value(DesignKey::Name).toString();
    // Without a form on the table the form data view generates one when it opens (form designer's work).
    LMViewRequest request = requestFor(ViewKind::FormData, form.isEmpty() ? table : form, query);
    request.queryName = name;
    request.inForm = true;
    request.table = table;
    return openView(request, table, true, ViewKind::Query);
}

bool LMDocumentWindow::switchToFormDesignView(const QString &name)
{
    return openView(requestFor(ViewKind::FormDesign, name, m_document->formNamed(name)),
                    labelFor(ViewKind::FormDesign, name));
}

bool LMDocumentWindow::switchToFormDataView(const QString &name)
{
    return openView(requestFor(ViewKind::FormData, name, m_document->formNamed(name)),
                    labelFor(ViewKind::FormData, name));
}

bool LMDocumentWindow::switchToReportView(const QString &name)
{
    const Value report = m_document->reportNamed(name);
    if (name.isEmpty()) {
        // A new report: its view asks for the name, and the document makes the report when it is given.
        return openView(requestFor(ViewKind::Reports, QString(), Value()), ViewKinds::newItemLabel(ViewKind::Reports));
    }
    if (report.isNull()) {
        Ui::instance().beep();
        return false;
    } else if (report.value(DesignKey::Locked).toBool()) {
        Ui::instance().runAlert(
            Alert::make(QStringLiteral("Locked Object"), QStringLiteral("This object is locked. You cannot use it.")),
            this);
        return false;
    }
    return openView(requestFor(ViewKind::Reports, name, report), name);
}

bool LMDocumentWindow::switchToScriptView(const QString &name)
{
    const int before = m_document->scripts().size();
    if (!openView(requestFor(ViewKind::Script, name, m_document->scriptNamed(name)), labelFor(ViewKind::Script, name)))
        return false;
    // A new script is named by the editor's sheet: the tab takes the name it was given.
    const Value scripts = m_document->scripts();
    if (name.isEmpty() && scripts.size() > before)
        setCurrentTabLabel(
            labelFor(ViewKind::Script, scripts.at(scripts.size() - 1).value(DesignKey::Name).toString()));
    return true;
}

void LMDocumentWindow::switchToScriptRun(const QString &name)
{
    if (!runScriptNamed(m_document.get(), name))
        Ui::instance().beep();
}

void LMDocumentWindow::stopScripts()
{
    if (stopScriptRuns(m_document.get()) == 0)
        Ui::instance().beep();
}

bool LMDocumentWindow::switchToRelationshipsView()
{
    return openView(requestFor(ViewKind::Relationship, QString(), m_document->relationships()),
                    QStringLiteral("Relationships"));
}

bool LMDocumentWindow::requireAdmin()
{
    // Accounts and protection are an administrator's: anyone else could otherwise grant themselves rights.
    const LMLogin *current = m_document->login();
    if (!current || current->isAdmin())
        return true;
    Ui::instance().beep();
    return false;
}

bool LMDocumentWindow::switchToUsersGroups(const QString &name, bool isUser)
{
    if (!requireAdmin())
        return false;
    const QString word = isUser ? QStringLiteral("Users") : QStringLiteral("Groups");
    const QString label = name.isEmpty() ? word : QStringLiteral("%1: %2").arg(word, name);
    LMViewRequest request = requestFor(ViewKind::UsersGroups, name);
    request.isUser = isUser;
    return openView(request, label);
}

bool LMDocumentWindow::switchToFindView(const QString &searchText)
{
    LMViewRequest request = requestFor(ViewKind::Find);
    request.searchText = searchText;
    return openView(request, searchText.isEmpty() ? ViewKinds::identifier(ViewKind::Find) : searchText);
}

bool LMDocumentWindow::switchToChooserView()
{
    const QString mode = myMode();
    LMViewRequest request = requestFor(ViewKind::Chooser);
    request.chooserMode = mode;
    return openView(request, QStringLiteral("%1 Chooser").arg(mode));
}

bool LMDocumentWindow::switchToSQLView()
{
    return openView(requestFor(ViewKind::SQL), ViewKinds::info(ViewKind::SQL).title);
}

void LMDocumentWindow::switchToBlank()
{
    if (m_tabs->count() == 0 || Ui::instance().isNewTabModifierHeld())
        m_tabs->addNewTab();
    if (LMIdentifiedView *old = m_tabs->identifiedView(m_tabs->currentIndex()); old && old->controller())
        viewWillLeave(old->controller(), old->identifier());
    m_tabs->replaceCurrentView(new LMIdentifiedView, QStringLiteral("New Tab"), QString());
    setToolbarFrom(nullptr);
    m_modeList->selectModeSilently(QString());
}

// ---- Tabs

void LMDocumentWindow::addNewTab()
{
    m_tabs->addNewTab();
}
void LMDocumentWindow::closeTab()
{
    m_tabs->closeCurrentTab();
}

void LMDocumentWindow::previousTab()
{
    if (m_tabs->count() > 1)
        m_tabs->setCurrentIndex((m_tabs->currentIndex() + m_tabs->count() - 1) % m_tabs->count());
}

void LMDocumentWindow::nextTab()
{
    if (m_tabs->count() > 1)
        m_tabs->setCurrentIndex((m_tabs->currentIndex() + 1) % m_tabs->count());
}

void LMDocumentWindow::toggleTabBar()
{
    m_tabs->tabBar()->setVisible(!m_tabs->tabBar()->isVisible());
}
void LMDocumentWindow::toggleSourceList()
{
    m_sidebar->setVisible(!m_sidebar->isVisible());
}

void LMDocumentWindow::refreshAll()
{
    for (int i = 0; i < m_tabs->count(); ++i)
        if (LMViewController *c = m_tabs->controllerAt(i))
            c->refresh();
}

void LMDocumentWindow::refreshButtonBar()
{
    m_buttonBar->setUpForMode(myMode(), selectedSourceListTitle());
}

void LMDocumentWindow::quickSearch()
{
    m_standardToolbar->show();
    m_search->setFocus();
    m_search->selectAll();
}

int LMDocumentWindow::tabCount() const
{
    return m_tabs->count();
}
int LMDocumentWindow::currentTabIndex() const
{
    return m_tabs->currentIndex();
}
QString LMDocumentWindow::tabLabel(int index) const
{
    return m_tabs->tabText(index);
}
QString LMDocumentWindow::tabIconName(int index) const
{
    return m_tabs->iconNameAt(index);
}
LMIdentifiedView *LMDocumentWindow::tabContent(int index) const
{
    return m_tabs->identifiedView(index);
}
LMViewController *LMDocumentWindow::currentController() const
{
    return m_tabs->currentController();
}
LMOverview *LMDocumentWindow::overview() const
{
    return dynamic_cast<LMOverview *>(currentController());
}

// ---- Source list and button bar

QString LMDocumentWindow::myMode() const
{
    return m_sourceList->myMode();
}
QString LMDocumentWindow::selectedSourceListTitle() const
{
    return m_sourceList->selectedSourceListTitle();
}

void LMDocumentWindow::sourceListSelectionMoved()
{
    refreshButtonBar();
}

void LMDocumentWindow::outlineDidDoubleClick(const QString &mode, const QString &name)
{
    const LMItemKind *kind = LMItemKinds::forMode(mode);
    if (!kind)
        return;
    m_sourceList->select(mode, name);
    if (!name.isEmpty()) {
        kind->sourceListDoubleClick(*this, name, Ui::instance().isAlternateModifierHeld());
        return;
    }
    const QString action = Preferences::instance().stringValue(QStringLiteral("LMSourceListAction"));
    if (action == QLatin1String("Expand/Collapse the heading")) {
        if (QTreeWidgetItem *head = m_sourceList->heading(mode))
            head->setExpanded(!head->isExpanded());
    } else if (action != QLatin1String("Do nothing")) {
        kind->add(*this);
    }
}

void LMDocumentWindow::modeChosen(const QString &mode)
{
    if (mode == ViewKinds::mode(ViewKind::Overview)) {
        switchToOverview();
        return;
    }
    // A mode selects its heading, so the button bar and the chooser act on it.
    m_sourceList->select(mode);
    if (QTreeWidgetItem *head = m_sourceList->heading(mode))
        head->setExpanded(true);
    m_sourceList->setFocus();
}

void LMDocumentWindow::addButton()
{
    if (const LMItemKind *kind = LMItemKinds::forMode(myMode()))
        kind->add(*this);
}

void LMDocumentWindow::removeButton()
{
    if (!selectedSourceListTitle().isEmpty())
        removeItem(myMode(), selectedSourceListTitle());
}

void LMDocumentWindow::designButton()
{
    const LMItemKind *kind = LMItemKinds::forMode(myMode());
    if (kind && !selectedSourceListTitle().isEmpty())
        kind->design(*this, selectedSourceListTitle(), Ui::instance().isAlternateModifierHeld());
}

void LMDocumentWindow::editButton()
{
    const LMItemKind *kind = LMItemKinds::forMode(myMode());
    if (kind && kind->offersEdit() && !selectedSourceListTitle().isEmpty())
        kind->edit(*this, selectedSourceListTitle());
}

void LMDocumentWindow::runButton()
{
    const LMItemKind *kind = LMItemKinds::forMode(myMode());
    if (kind && kind->offersRun() && !selectedSourceListTitle().isEmpty())
        kind->edit(*this, selectedSourceListTitle());
}

bool LMDocumentWindow::removeItem(const QString &mode, const QString &name)
{
    const LMItemKind *kind = LMItemKinds::forMode(mode);
    if (!kind)
        return false;
    const int removedRow = m_sourceList->rowOf(mode, name);
    const int selectedRow = m_sourceList->selectedRow();
    if (!kind->remove(*m_document, name))
        return false;
    // The row that was selected, or the one above it when the selection was the removed row or below it.
    int row = selectedRow;
    if (removedRow >= 0 && selectedRow >= removedRow)
        row = selectedRow - 1;
    m_sourceList->selectRow(row);
    refreshButtonBar();
    return true;
}

// ---- Document commands

QString LMDocumentWindow::displayName() const
{
    return m_document->fileName().isEmpty() ? QStringLiteral("Untitled")
                                            : QFileInfo(m_document->fileName()).completeBaseName();
}

void LMDocumentWindow::updateTitle()
{
    setWindowTitle(QStringLiteral("%1[*] — Orvix").arg(displayName()));
    setWindowFilePath(m_document->fileName());
    setWindowModified(m_document->isChanged());
}

bool LMDocumentWindow::saveDocument()
{
    if (m_document->fileName().isEmpty())
        return saveDocumentAs();
    return saveTo(m_document->fileName());
}

bool LMDocumentWindow::saveDocumentAs()
{
    FilePanelOptions options;
    options.title = QStringLiteral("Save Document");
    options.suggestedName = displayName() + QStringLiteral(".orvix");
    options.directory =
        m_document->fileName().isEmpty() ? QDir::homePath() : QFileInfo(m_document->fileName()).absolutePath();
    options.nameFilters = {QStringLiteral("Orvix documents (*.orvix)")};
    QString path = Ui::instance().runSavePanel(options, this);
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QLatin1String(".orvix")))
        path += QStringLiteral(".orvix");
    const QFileInfo target(path);
    // A document is a folder of its own: never write it into a folder that holds other things.
    if (target.isDir() && !QFileInfo::exists(QDir(path).filePath(QStringLiteral("Objects"))) && !QDir(path).isEmpty()) {
        Ui::instance().runAlert(Alert::make(QStringLiteral("The document could not be saved"),
                                            QStringLiteral("“%1” is a folder that is not an Orvix document. Choose "
                                                           "another name.")
                                                .arg(target.fileName())),
                                this);
        return false;
    }
    return saveTo(path);
}

bool LMDocumentWindow::saveTo(const QString &packagePath)
{
    m_document->saveDatabase();
    QString error;
    if (!m_document->save(packagePath, QStringLiteral("Orvix"), &error)) {
        Ui::instance().runAlert(Alert::make(QStringLiteral("The document could not be saved"), error), this);
        return false;
    }
    updateTitle();
    emit documentSaved(m_document->fileName());
    return true;
}

bool LMDocumentWindow::confirmClose()
{
    if (!m_document || m_document->isClosed() || !m_document->isChanged())
        return true;
    const Alert alert =
        Alert::make(QStringLiteral("Do you want to save the changes made to the document “%1”?").arg(displayName()),
                    QStringLiteral("Your changes will be lost if you don’t save them."),
                    {QStringLiteral("Save"), QStringLiteral("Don’t Save"), QStringLiteral("Cancel")});
    const QString answer = Ui::instance().runAlertButton(alert, this);
    if (answer == QLatin1String("Save"))
        return saveDocument();
    return answer == QStringLiteral("Don’t Save");
}

bool LMDocumentWindow::closeDocument()
{
    // QWidget::close() does not report an accepted close on every platform; the shut-down flag does.
    close();
    return m_shutDown;
}

void LMDocumentWindow::closeEvent(QCloseEvent *event)
{
    // Edits still open in a view are committed first, so the question below sees them.
    if (!m_shutDown)
        cleanUpAllViews();
    if (!m_shutDown && !confirmClose()) {
        event->ignore();
        return;
    }
    shutDown();
    event->accept();
}

void LMDocumentWindow::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    if (m_loginController)
        m_loginController->deleteLater();
    // Every view commits before the connection closes (removing the tabs tells them nothing).
    cleanUpAllViews();
    m_tabs->removeAllTabs();
    // A script still running would reach a closed document: it is stopped and waited for.
    endScriptRuns(m_document.get());
    m_document->setViewHost(nullptr);
    m_document->close();
    emit windowClosed(this);
}

void LMDocumentWindow::cleanDatabase()
{
    m_document->vacuuuuuum();
}

void LMDocumentWindow::usersAndGroups()
{
    if (!requireAdmin())
        return;
    m_document->seedDefaultUsersAndGroups();
    switchToUsersGroups(QString(), true);
}

void LMDocumentWindow::notYetAvailable(const QString &what)
{
    Alert alert = Alert::make(QStringLiteral("%1 is not available yet").arg(what),
                              QStringLiteral("This part of Orvix comes in a later version."));
    alert.style = Alert::Style::Informational;
    Ui::instance().runAlert(alert, this);
}

// ---- DocumentViewHost

void LMDocumentWindow::cleanUpAllViews()
{
    for (int i = 0; i < m_tabs->count(); ++i)
        if (LMIdentifiedView *view = m_tabs->identifiedView(i); view && view->controller())
            viewWillLeave(view->controller(), view->identifier());
}

void LMDocumentWindow::broadcastRename(ItemKind kind, const QString &oldName, const QString &newName,
                                       const void *sender)
{
    for (int i = 0; i < m_tabs->count(); ++i)
        if (LMViewController *c = m_tabs->controllerAt(i); c && c != sender)
            c->itemDidRename(kind, oldName, newName);
    reloadSourceList();
}

void LMDocumentWindow::broadcastDelete(ItemKind kind, const QString &name)
{
    for (int i = 0; i < m_tabs->count(); ++i)
        if (LMViewController *c = m_tabs->controllerAt(i))
            c->itemDidDelete(kind, name);
}

QStringList LMDocumentWindow::openTabIdentifiers() const
{
    return m_tabs->identifiers();
}

void LMDocumentWindow::refreshAllViews()
{
    refreshAll();
}

void LMDocumentWindow::reloadSourceList()
{
    m_sourceList->reload(*m_document, m_document->login());
    m_modeList->reload(m_document->login());
    refreshButtonBar();
}

void LMDocumentWindow::documentDidSave()
{
    updateTitle();
    // The overview shows the document's name, which a first save gives it.
    QTimer::singleShot(100, this, [this] {
        for (int i = 0; i < m_tabs->count(); ++i)
            if (LMViewController *controller = m_tabs->controllerAt(i))
                controller->documentDidSave();
    });
}

QPrinter *LMDocumentWindow::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

void LMDocumentWindow::runPageLayout()
{
    QPageSetupDialog dialog(printer(), this);
    dialog.exec();
}

QString LMDocumentWindow::currentTabLabel() const
{
    return m_tabs->currentIndex() >= 0 ? m_tabs->tabText(m_tabs->currentIndex()) : QString();
}

void LMDocumentWindow::setCurrentTabLabel(const QString &label)
{
    if (m_tabs->currentIndex() >= 0)
        m_tabs->setTabText(m_tabs->currentIndex(), label);
}

void LMDocumentWindow::reloadSourceListExpanding(ItemKind kind)
{
    reloadSourceList();
    if (QTreeWidgetItem *head = m_sourceList->heading(ItemKinds::mode(kind)))
        head->setExpanded(true);
}

bool LMDocumentWindow::removeItem(ItemKind kind, const QString &name)
{
    return removeItem(ItemKinds::mode(kind), name);
}

QString LMDocumentWindow::generateFormForTable(const QString &table)
{
    return m_registry.generateForm(*m_document, table);
}

MyDocument *LMDocumentWindow::frontmostDocument() const
{
    LMDocumentWindow *front = m_application ? m_application->frontmostWindow() : nullptr;
    return front ? front->document() : m_document.get();
}

void LMDocumentWindow::importData()
{
    cleanUpAllViews();
    LMImportController::runSheet(m_document.get(), this, QString(), this);
}

void LMDocumentWindow::exportData()
{
    // Edits in a tab reach the database before its rows are written out.
    cleanUpAllViews();
    const QString source = myMode() == ItemKinds::mode(ItemKind::Table) ? selectedSourceListTitle() : QString();
    LMExportController::runSheet(m_document.get(), this, source, ItemKinds::type(ItemKind::Table));
}

void LMDocumentWindow::openTextEditor()
{
    LMViewController *controller = currentController();
    if (!controller || !controller->openInTextEditor())
        Ui::instance().beep();
}
