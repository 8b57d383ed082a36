// The document window: opening items from the source list, the button bar and the overview; tabs and
// the order of the view protocol; rights; the removal flow and the sheets of items that cannot open.
#include "LMButtonBar.h"
#include "LMDocumentWindow.h"
#include "LMLogin.h"
#include "LMModeList.h"
#include "LMOverview.h"
#include "LMPlaceholderView.h"
#include "LMScriptViews.h"
#include "LMSourceList.h"
#include "LMTabView.h"
#include "Preferences.h"
#include "TestEnvironment.h"
#include "support/ShellFixture.h"

#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace ShellFixture;

class TestDocumentWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;
    QPointer<LMDocumentWindow> window;

    QString currentIdentifier() const
    {
        LMIdentifiedView *view = window->tabContent(window->currentTabIndex());
        return view ? view->identifier() : QString();
    }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        log().clear();
        window = makeWindow();
        QVERIFY(window);
    }

    void cleanup()
    {
        delete window.data();
        restoreViews();
        env.reset();
    }

    void startsWithTheOverviewInOneTab()
    {
        QCOMPARE(window->tabCount(), 1);
        QCOMPARE(currentIdentifier(), QStringLiteral("Overview"));
        QCOMPARE(window->tabLabel(0), QStringLiteral("Overview"));
        QCOMPARE(window->tabIconName(0), QStringLiteral("Overview 16"));
        QCOMPARE(window->currentToolbar()->objectName(), QStringLiteral("Standard Toolbar"));
        QVERIFY(window->currentToolbar()->findChild<QWidget *>(QStringLiteral("LMST_Search")));
        QCOMPARE(window->modeList()->modes(),
                 (QStringList{"Overview", "Tables", "Queries", "Forms", "Reports", "Scripts"}));
        QCOMPARE(window->sourceList()->topLevelItemCount(), 5);
        QCOMPARE(window->sourceList()->heading("Tables")->childCount(), 2);
        QCOMPARE(window->sourceList()->heading("Reports")->child(1)->text(0), QStringLiteral("Secret"));
        QCOMPARE(window->overview()->itemsOf("Queries"), (QStringList{"Adults", "Orphan"}));
        QCOMPARE(window->size(), QSize(1100, 700));
    }

    void sourceListDoubleClickOpensEachKind_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("alternate");
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("modeRow");
        QTest::newRow("table records") << "Tables"
                                       << "People" << false << "Table Edit"
                                       << "People"
                                       << "Tables 16"
                                       << "Tables";
        QTest::newRow("table design") << "Tables"
                                      << "People" << true << "Table Design"
                                      << "People"
                                      << "Tables 16"
                                      << "Tables";
        QTest::newRow("query") << "Queries"
                               << "Adults" << false << "Query"
                               << "People"
                               << "Tables 16"
                               << "Queries";
        QTest::newRow("query in form") << "Queries"
                                       << "Adults" << true << "Form Data"
                                       << "People"
                                       << "Tables 16"
                                       << "Queries";
        QTest::newRow("form data") << "Forms"
                                   << "People Form" << false << "Form Data"
                                   << "People Form"
                                   << "Forms small"
                                   << "Forms";
        QTest::newRow("form design") << "Forms"
                                     << "People Form" << true << "Form Design"
                                     << "People Form"
                                     << "Forms small"
                                     << "Forms";
        QTest::newRow("report") << "Reports"
                                << "Summary" << false << "Reports"
                                << "Summary"
                                << "Report 16"
                                << "Reports";
        QTest::newRow("script") << "Scripts"
                                << "Hello" << false << "Script"
                                << "Hello"
                                << "Scripts small"
                                << "Scripts";
    }

    void sourceListDoubleClickOpensEachKind()
    {
        QFETCH(QString, mode);
        QFETCH(QString, name);
        QFETCH(bool, alternate);
        env->ui().setAlternateModifierHeld(alternate);
        LMSourceList *list = window->sourceList();
        QVERIFY(list->select(mode, name));
        // Through the outline widget itself, as a user's double-click arrives.
        QTreeWidgetItem *item = list->currentItem();
        const QPoint at = list->visualItemRect(item).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(window->tabCount(), 1);
        QTEST(currentIdentifier(), "identifier");
        QTEST(window->tabLabel(0), "label");
        QTEST(window->tabIconName(0), "icon");
        QFETCH(QString, modeRow);
        QCOMPARE(window->modeList()->currentRow(), window->modeList()->rowOfMode(modeRow));
        QVERIFY(env->ui().alerts().isEmpty());
    }

    void placeholderSaysWhatItWillShow()
    {
        // A view that is not built yet says so in its tab, named after what it will show.
        QVERIFY(window->sourceList()->select("Tables"));
        QVERIFY(window->switchToChooserView());
        auto *placeholder = dynamic_cast<LMPlaceholderView *>(window->currentController());
        QVERIFY(placeholder);
        QCOMPARE(placeholder->text(), QStringLiteral("Tables Chooser (coming later)"));
        QCOMPARE(window->tabLabel(0), QStringLiteral("Tables Chooser"));
        // The report view is real now.
        QVERIFY(window->switchToReportView(QStringLiteral("Summary")));
        QVERIFY(!dynamic_cast<LMPlaceholderView *>(window->currentController()));
        QCOMPARE(currentIdentifier(), QStringLiteral("Reports"));
    }

    void buttonBarActsOnModeAndTitle_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("label");
        QTest::newRow("table edit") << "Tables"
                                    << "Companies"
                                    << "SB2_Edit"
                                    << "Table Edit"
                                    << "Companies";
        QTest::newRow("table design") << "Tables"
                                      << "Companies"
                                      << "SB2_Design"
                                      << "Table Design"
                                      << "Companies";
        QTest::newRow("new table") << "Tables"
                                   << ""
                                   << "SB2_Plus"
                                   << "Table Design"
                                   << "New Table";
        QTest::newRow("query design") << "Queries"
                                      << "Adults"
                                      << "SB2_Design"
                                      << "Query"
                                      << "People";
        QTest::newRow("new form") << "Forms"
                                  << ""
                                  << "SB2_Plus"
                                  << "Form Design"
                                  << "New Form";
        QTest::newRow("form data") << "Forms"
                                   << "People Form"
                                   << "SB2_Edit"
                                   << "Form Data"
                                   << "People Form";
        QTest::newRow("new report") << "Reports"
                                    << ""
                                    << "SB2_Plus"
                                    << "Reports"
                                    << "New Report";
        QTest::newRow("script design") << "Scripts"
                                       << "Hello"
                                       << "SB2_Design"
                                       << "Script"
                                       << "Hello";
        // A new script is named by its sheet (answered "Greeting" below).
        QTest::newRow("new script") << "Scripts"
                                    << ""
                                    << "SB2_Plus"
                                    << "Script"
                                    << "Greeting";
    }

    void buttonBarActsOnModeAndTitle()
    {
        QFETCH(QString, mode);
        QFETCH(QString, name);
        QFETCH(QString, button);
        QVERIFY(window->sourceList()->select(mode, name));
        QToolButton *b = window->buttonBar()->button(button);
        QVERIFY(b->isEnabled());
        if (mode == QLatin1String("Scripts") && name.isEmpty())
            env->ui().answerTextInput(QStringLiteral("Greeting"));
        b->click();
        QTEST(currentIdentifier(), "identifier");
        QTEST(window->tabLabel(0), "label");
    }

    void buttonBarFollowsTheSelection()
    {
        LMButtonBar *bar = window->buttonBar();
        QVERIFY(!bar->button("SB2_Plus")->isEnabled()); // nothing selected: mode "Other"
        QCOMPARE(window->myMode(), QStringLiteral("Other"));
        window->sourceList()->select("Tables");
        QVERIFY(bar->button("SB2_Plus")->isEnabled());
        QVERIFY(!bar->button("SB2_Minus")->isEnabled());
        QVERIFY(window->selectedSourceListTitle().isEmpty());
        window->sourceList()->select("Scripts", "Hello");
        QVERIFY(bar->button("SB2_Minus")->isEnabled());
        QVERIFY(!bar->button("SB2_Run")->isHidden());
        QVERIFY(bar->button("SB2_Edit")->isHidden());
        // Run runs the selected script by name.
        Value hello = window->document()->scriptNamed("Hello");
        hello.set("Code String", "Tools.Alert('From Hello', 'ran');");
        bar->button("SB2_Run")->click();
        QTRY_COMPARE(env->ui().alerts().size(), 1);
        QCOMPARE(env->ui().lastAlert()->messageText, QStringLiteral("From Hello"));
        QTRY_COMPARE(scriptRunCount(window->document()), 0);
        // The window's stop command ends a script that loops; with none running it beeps.
        hello.set("Code String", "while (true) {}");
        bar->button("SB2_Run")->click();
        QCOMPARE(scriptRunCount(window->document()), 1);
        window->stopScripts();
        QTRY_COMPARE_WITH_TIMEOUT(scriptRunCount(window->document()), 0, 1000);
        const int beeps = env->ui().beeps();
        window->stopScripts();
        QCOMPARE(env->ui().beeps(), beeps + 1);
    }

    void newReportIsAddedUnderAFreeName()
    {
        // The new report's view asks for its name, offering a free one; the document makes the report only
        // when the name is given.
        env->ui().answerTextInput(QStringLiteral("New Report"));
        QVERIFY(window->switchToReportView(QString()));
        QCOMPARE(window->tabLabel(0), QStringLiteral("New Report"));
        QCOMPARE(window->document()->reports().size(), 2);
        QTRY_COMPARE(window->document()->reports().size(), 3);
        env->ui().answerTextInput(QStringLiteral("New Report 2"));
        QVERIFY(window->switchToReportView(QString()));
        QTRY_COMPARE(window->document()->reports().size(), 4);
        QCOMPARE(env->ui().textInputs().size(), 2);
        QCOMPARE(env->ui().textInputs().at(1).text, QStringLiteral("New Report 2"));
        QCOMPARE(window->tabLabel(0), QStringLiteral("New Report 2"));
        QCOMPARE(window->document()->reports().at(3).value("Name").toString(), QStringLiteral("New Report 2"));
        QCOMPARE(window->sourceList()->heading("Reports")->childCount(), 4);
        QVERIFY(window->document()->isChanged());
    }

    void overviewOpensEachKind_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("alternate");
        QTest::addColumn<QString>("identifier");
        QTest::newRow("table edit") << 0 << "People"
                                    << "edit" << false << "Table Edit";
        QTest::newRow("table design") << 0 << "People"
                                      << "design" << false << "Table Design";
        QTest::newRow("table double-click") << 0 << "People"
                                            << "double" << false << "Table Edit";
        QTest::newRow("table double-click option") << 0 << "People"
                                                   << "double" << true << "Table Design";
        QTest::newRow("query edit") << 1 << "Adults"
                                    << "edit" << false << "Query";
        QTest::newRow("query design option") << 1 << "Adults"
                                             << "design" << true << "Form Data";
        QTest::newRow("form edit") << 2 << "People Form"
                                   << "edit" << false << "Form Data";
        QTest::newRow("form design") << 2 << "People Form"
                                     << "design" << false << "Form Design";
        QTest::newRow("report edit") << 3 << "Summary"
                                     << "edit" << false << "Reports";
        QTest::newRow("script design") << 4 << "Hello"
                                       << "design" << false << "Script";
        QTest::newRow("script double-click option") << 4 << "Hello"
                                                    << "double" << true << "Script";
        QTest::newRow("new table") << 0 << ""
                                   << "add" << false << "Table Design";
        QTest::newRow("new form") << 2 << ""
                                  << "add" << false << "Form Design";
    }

    void overviewOpensEachKind()
    {
        QFETCH(int, tag);
        QFETCH(QString, name);
        QFETCH(QString, action);
        QFETCH(bool, alternate);
        env->ui().setAlternateModifierHeld(alternate);
        LMOverview *overview = window->overview();
        QVERIFY(overview);
        const QString kind = QStringList{"Tables", "Queries", "Forms", "Reports", "Scripts"}.at(tag);
        if (!name.isEmpty())
            QVERIFY(overview->selectItem(kind, name));
        if (action == "edit")
            overview->edit(tag);
        else if (action == "design")
            overview->design(tag);
        else if (action == "add")
            overview->add(tag);
        else
            overview->doubleClick(kind, name);
        QCoreApplication::processEvents();
        QTEST(currentIdentifier(), "identifier");
        QCOMPARE(window->tabCount(), 1);
    }

    void overviewButtonsAreRealButtons()
    {
        LMOverview *overview = window->overview();
        QVERIFY(overview->selectItem("Tables", "Companies"));
        auto *box = overview->view()->findChild<QWidget *>("Tables");
        QVERIFY(box);
        box->findChild<QToolButton *>("Open")->click();
        QCoreApplication::processEvents();
        QCOMPARE(currentIdentifier(), QStringLiteral("Table Edit"));
        QCOMPARE(window->tabLabel(0), QStringLiteral("Companies"));
    }

    void modifierHeldOpensANewTabAndLeavesTheOld()
    {
        QVERIFY(window->switchToTableEditView("People"));
        env->ui().setNewTabModifierHeld(true);
        QVERIFY(window->switchToTableEditView("Companies"));
        QCOMPARE(window->tabCount(), 2);
        QCOMPARE(window->currentTabIndex(), 1);
        QCOMPARE(window->tabLabel(0), QStringLiteral("People"));
        QCOMPARE(window->tabContent(0)->identifier(), QStringLiteral("Table Edit"));
        QCOMPARE(window->tabLabel(1), QStringLiteral("Companies"));
        env->ui().setNewTabModifierHeld(false);
        QVERIFY(window->switchToOverview());
        QCOMPARE(window->tabCount(), 2);
        QCOMPARE(window->tabLabel(0), QStringLiteral("People"));
        QCOMPARE(window->tabLabel(1), QStringLiteral("Overview"));
    }

    void cleanUpRunsBeforeTheNextViewRefreshes()
    {
        installProbes();
        window->switchToTableEditView("People");
        QCOMPARE(log(), QStringList{"refresh Table Edit People"});

        log().clear();
        window->switchToFormDesignView("People Form");
        QCOMPARE(log(), (QStringList{"cleanUp Table Edit People", "refresh Form Design People Form"}));

        // Selecting another tab: the tab left commits before the tab shown reloads.
        env->ui().setNewTabModifierHeld(true);
        window->switchToScriptView("Hello");
        env->ui().setNewTabModifierHeld(false);
        log().clear();
        window->previousTab();
        QCOMPARE(log(), (QStringList{"cleanUp Script Hello", "refresh Form Design People Form"}));

        // Closing a tab: it commits, and the tab that takes its place refreshes.
        log().clear();
        window->closeTab();
        QCOMPARE(log(), (QStringList{"cleanUp Form Design People Form", "refresh Script Hello"}));
        QCOMPARE(window->tabCount(), 1);

        // Saving commits every open view.
        log().clear();
        QVERIFY(window->document()->save(env->path("Probe.orvix")));
        QCOMPARE(log(), QStringList{"cleanUp Script Hello"});
    }

    void viewToolbarReplacesTheStandardOne()
    {
        installProbes();
        window->switchToTableEditView("People");
        QToolBar *toolbar = window->currentToolbar();
        QCOMPARE(toolbar->objectName(), QStringLiteral("Table Edit Toolbar"));
        QCOMPARE(toolbar->actions().size(), 1);
        QCOMPARE(toolbar->actions().first()->text(), QStringLiteral("Probe Item"));
        window->switchToTableDesignView("People");
        QCOMPARE(window->currentToolbar()->objectName(), QStringLiteral("Standard Toolbar"));
    }

    void relationshipsViewHandsBackItsDictionary()
    {
        installProbes();
        window->switchToRelationshipsView();
        QCOMPARE(window->tabLabel(0), QStringLiteral("Relationships"));
        QCOMPARE(window->tabIconName(0), QStringLiteral("Relationships 16"));
        window->switchToOverview();
        QVERIFY(log().contains("cleanUpAndArchive Relationship"));
        QVERIFY(window->document()->relationships().value("From Probe").toBool());
    }

    void theNavigatorRelabelsExpandsAndRemoves()
    {
        LMViewContext context = window->context();
        QVERIFY(context.navigator);
        QCOMPARE(context.window, static_cast<QWidget *>(window.data()));
        LMDocumentNavigator &navigator = *context.navigator;
        QVERIFY(navigator.switchToReportView("Summary"));
        QCOMPARE(navigator.currentTabLabel(), QStringLiteral("Summary"));
        navigator.setCurrentTabLabel("Totals");
        QCOMPARE(window->tabLabel(window->currentTabIndex()), QStringLiteral("Totals"));
        QCOMPARE(navigator.frontmostDocument(), window->document());
        QVERIFY(navigator.printer());
        QCOMPARE(navigator.printer(), navigator.printer());

        window->sourceList()->heading("Scripts")->setExpanded(false);
        window->document()->scripts().append(Value::dict({{"Name", "Later"}}));
        navigator.reloadSourceListExpanding(ItemKind::Script);
        QVERIFY(window->sourceList()->heading("Scripts")->isExpanded());
        QCOMPARE(window->sourceList()->heading("Scripts")->childCount(), 2);

        // Removing refuses while a non-overview tab is open, as the document's checks say.
        QVERIFY(!navigator.removeItem(ItemKind::Script, "Hello"));
        navigator.switchToOverview();
        env->ui().answer("Delete");
        QVERIFY(navigator.removeItem(ItemKind::Script, "Hello"));
        QVERIFY(window->document()->scriptNamed("Hello").isNull());
    }

    void broadcastsSkipTheSender()
    {
        installProbes();
        window->switchToTableEditView("People");
        env->ui().setNewTabModifierHeld(true);
        window->switchToTableDesignView("People");
        env->ui().setNewTabModifierHeld(false);
        LMViewController *sender = window->currentController();
        log().clear();
        window->document()->itemDidRename(ItemKind::Table, "People", "Persons", sender);
        QCOMPARE(log(), QStringList{"rename People Table People>Persons"});
        log().clear();
        window->document()->itemDidDelete(ItemKind::Query, "Adults");
        QCOMPARE(log().size(), 2);
    }

    void loginWithoutFormsHidesFormsAndMovesRowsUp()
    {
        QCOMPARE(window->modeList()->rowOfMode("Reports"), 4);
        Value rights = Value::dict({{"Overview", true},
                                    {"Tables", true},
                                    {"Queries", true},
                                    {"Forms", false},
                                    {"Reports", true},
                                    {"Scripts", true}});
        Value user = Value::dict({{"Name", "Clerk"}, {"ClassDefaultPermissions", rights}});
        window->login(LMLogin::forUser(user));
        QCOMPARE(window->modeList()->modes(), (QStringList{"Overview", "Tables", "Queries", "Reports", "Scripts"}));
        QCOMPARE(window->modeList()->rowOfMode("Reports"), 3);
        QCOMPARE(window->modeList()->rowOfMode("Scripts"), 4);
        QVERIFY(!window->sourceList()->heading("Forms"));
        QCOMPARE(window->sourceList()->topLevelItemCount(), 4);
        QCOMPARE(window->overview()->shownKinds(), (QStringList{"Tables", "Queries", "Reports", "Scripts"}));
    }

    void loginWithoutSectionRightsSeesNothing()
    {
        window->login(LMLogin::forUser(Value::dict({{"Name", "Guest"}})));
        QCOMPARE(window->modeList()->count(), 0);
        QCOMPARE(window->sourceList()->topLevelItemCount(), 0);
        QVERIFY(window->overview()->shownKinds().isEmpty());
    }

    void removalIsRefusedWhileAnotherTabIsOpen_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::newRow("table") << "Tables"
                               << "Companies"
                               << "table";
        QTest::newRow("query") << "Queries"
                               << "Orphan"
                               << "query";
        QTest::newRow("form") << "Forms"
                              << "People Form"
                              << "form";
        QTest::newRow("report") << "Reports"
                                << "Summary"
                                << "report";
        QTest::newRow("script") << "Scripts"
                                << "Hello"
                                << "script";
    }

    void removalIsRefusedWhileAnotherTabIsOpen()
    {
        QFETCH(QString, mode);
        QFETCH(QString, name);
        QFETCH(QString, kind);
        env->ui().setNewTabModifierHeld(true);
        window->switchToTableEditView("People");
        env->ui().setNewTabModifierHeld(false);

        QVERIFY(window->sourceList()->select(mode, name));
        window->buttonBar()->button("SB2_Minus")->click();
        QCOMPARE(env->ui().alerts().size(), 1);
        const Alert refused = *env->ui().lastAlert();
        QCOMPARE(refused.messageText, QStringLiteral("Please close all non-overview tabs"));
        QCOMPARE(refused.informativeText,
                 QStringLiteral("You must close all non-overview tabs before deleting this %1.").arg(kind));
        QCOMPARE(refused.buttons, QStringList{"OK"});
        QVERIFY(window->sourceList()->rowOf(mode, name) >= 0);

        // With only the overview left, the removal asks, then goes and selects the row above.
        window->closeTab();
        const int row = window->sourceList()->rowOf(mode, name);
        QVERIFY(window->sourceList()->select(mode, name));
        env->ui().answer("Cancel");
        window->buttonBar()->button("SB2_Minus")->click();
        QVERIFY(window->sourceList()->rowOf(mode, name) >= 0);
        const Alert confirm = *env->ui().lastAlert();
        QCOMPARE(confirm.messageText, QStringLiteral("Confirm Delete"));
        QCOMPARE(confirm.informativeText,
                 QStringLiteral("Are you sure you want to delete the '%1' %2? Deleting this %2 may break other "
                                "objects referencing it (e.g. a script).")
                     .arg(name, kind));
        QCOMPARE(confirm.buttons, (QStringList{"Delete", "Cancel"}));

        env->ui().answer("Delete");
        window->buttonBar()->button("SB2_Minus")->click();
        QCOMPARE(window->sourceList()->rowOf(mode, name), -1);
        QCOMPARE(window->sourceList()->selectedRow(), row - 1);
        QVERIFY(!window->overview()->itemsOf(mode).contains(name));
        QVERIFY(window->document()->isChanged());
    }

    void headingDoubleClickFollowsThePreference_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<bool>("expanded");
        QTest::newRow("unset creates a new query") << ""
                                                   << "Query" << true;
        QTest::newRow("do nothing") << "Do nothing"
                                    << "Overview" << true;
        QTest::newRow("expand/collapse") << "Expand/Collapse the heading"
                                         << "Overview" << false;
    }

    void headingDoubleClickFollowsThePreference()
    {
        QFETCH(QString, action);
        if (!action.isEmpty())
            Preferences::instance().setValue("LMSourceListAction", action);
        window->outlineDidDoubleClick("Queries", QString());
        QTEST(currentIdentifier(), "identifier");
        QTEST(window->sourceList()->heading("Queries")->isExpanded(), "expanded");
        QVERIFY(env->ui().alerts().isEmpty());
    }

    void expandedHeadingsSurviveAReload()
    {
        window->sourceList()->heading("Forms")->setExpanded(false);
        window->reloadSourceList();
        QVERIFY(!window->sourceList()->heading("Forms")->isExpanded());
        QVERIFY(window->sourceList()->heading("Tables")->isExpanded());
    }

    void iconsOnlyShowsHeadingsWithoutChildren()
    {
        Preferences::instance().setValue("LMSidebarIconsOnly", true);
        window->reloadSourceList();
        QCOMPARE(window->sourceList()->topLevelItemCount(), 5);
        QCOMPARE(window->sourceList()->heading("Tables")->childCount(), 0);
    }

    void itemsThatCannotOpenShowASheet_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("informative");
        QTest::newRow("query on a deleted table") << "query"
                                                  << "Orphan"
                                                  << "Invalid Query"
                                                  << "This does not have a valid content table and cannot be opened.";
        QTest::newRow("locked report") << "report"
                                       << "Secret"
                                       << "Locked Object"
                                       << "This object is locked. You cannot use it.";
    }

    void itemsThatCannotOpenShowASheet()
    {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        const bool opened = kind == "query" ? window->switchToQueryView(name) : window->switchToReportView(name);
        QVERIFY(!opened);
        QCOMPARE(env->ui().alerts().size(), 1);
        QVERIFY(env->ui().alerts().first().asSheet);
        QTEST(env->ui().lastAlert()->messageText, "message");
        QTEST(env->ui().lastAlert()->informativeText, "informative");
        QCOMPARE(env->ui().lastAlert()->buttons, QStringList{"OK"});
        QCOMPARE(window->tabCount(), 1);
        QCOMPARE(currentIdentifier(), QStringLiteral("Overview"));
    }

    void tabLabelsOfTheOtherOperations_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("icon");
        QTest::newRow("users") << "users"
                               << "Users Groups"
                               << "Users: Admin"
                               << "Users small";
        QTest::newRow("groups") << "groups"
                                << "Users Groups"
                                << "Groups"
                                << "Users small";
        QTest::newRow("find") << "find"
                              << "Find"
                              << "smith"
                              << "Find 16";
        QTest::newRow("chooser") << "chooser"
                                 << "Chooser"
                                 << "Tables Chooser"
                                 << "Chooser 16";
        QTest::newRow("sql") << "sql"
                             << "SQL"
                             << "SQL Editor"
                             << "Command Line 16";
    }

    void tabLabelsOfTheOtherOperations()
    {
        QFETCH(QString, operation);
        window->sourceList()->select("Tables");
        if (operation == "users")
            window->switchToUsersGroups("Admin", true);
        else if (operation == "groups")
            window->switchToUsersGroups(QString(), false);
        else if (operation == "find")
            window->switchToFindView("smith");
        else if (operation == "chooser")
            window->switchToChooserView();
        else
            window->switchToSQLView();
        QTEST(currentIdentifier(), "identifier");
        QTEST(window->tabLabel(0), "label");
        QTEST(window->tabIconName(0), "icon");
    }

    void tabsWrapAroundAndBlankTabsAreNewTabs()
    {
        window->addNewTab();
        window->addNewTab();
        QCOMPARE(window->tabCount(), 3);
        QCOMPARE(window->tabLabel(2), QStringLiteral("New Tab"));
        QCOMPARE(window->openTabIdentifiers(), (QStringList{"Overview", "", ""}));
        window->nextTab();
        QCOMPARE(window->currentTabIndex(), 0);
        window->previousTab();
        QCOMPARE(window->currentTabIndex(), 2);
        window->switchToTableEditView("People");
        window->switchToBlank();
        QCOMPARE(window->tabLabel(2), QStringLiteral("New Tab"));
        QCOMPARE(window->openTabIdentifiers(), (QStringList{"Overview", "", ""}));
    }
};

QTEST_MAIN(TestDocumentWindow)
#include "test_document_window.moc"
