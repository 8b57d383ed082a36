// LMRecordContainer: the shared frame of a record tab: the record toolbar items (Add, Delete, Insert, Uninsert,
// Data, Query and the mode buttons) and the stack of editor tabs (the main editor, then related-record editors).
#pragma once

#include "LMIdentifiedView.h"
#include "LMRecordEditor.h"
#include "LMViewController.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

class LMDocumentNavigator;
class QAction;
class QButtonGroup;
class QStackedWidget;
class QTabBar;

class LMRecordContainer : public QObject, public LMViewController {
    Q_OBJECT
public:
    // `currentMode` is the mode button shown checked ("Table Data", "Form Data").
    LMRecordContainer(const QString &identifier, const QString &currentMode, QWidget *window,
                      LMDocumentNavigator *navigator);
    ~LMRecordContainer() override;

    // LMViewController
    QString identifier() const override { return m_identifier; }
    void setIdentifier(const QString &identifier);
    LMIdentifiedView *view() override { return m_view; }
    void cleanUp() override;
    void refresh() override;
    bool providesToolbar() const override { return true; }
    QStringList toolbarAllowedItemIdentifiers() const override;
    QStringList toolbarDefaultItemIdentifiers() const override { return toolbarAllowedItemIdentifiers(); }
    QAction *toolbarItem(const QString &itemIdentifier, bool willBeInserted) override;

    int tabCount() const { return int(m_editors.size()); }
    QString tabLabel(int index) const;
    void setTabLabel(int index, const QString &label);
    int currentTab() const;
    QTabBar *tabBar() const { return m_tabBar; }
    LMRecordEditor *editorAt(int index) const;
    LMRecordEditor *activeEditor() const;
    // Appends an editor in a new tab with that label and selects it (the first one is the main editor).
    void addEditorTab(std::unique_ptr<LMRecordEditor> editor, const QString &label);
    // Selecting a tab removes every tab after it and tells the selected editor.
    void selectTab(int index);

    // Toolbar commands, forwarded to the selected tab's editor.
    void addRowButtonPressed();
    void removeRowButtonPressed();
    void insertRowButtonPressed();
    void uninsertRowButtonPressed();
    void dataButton();
    void queryButton();
    // A mode button: "Table Design", "Table Data", "Form Design" or "Form Data".
    virtual void switchToMode(const QString &mode) = 0;
    // Enables the items by the rules of the selected editor.
    void updateToolbarItems();

    void setNavigator(LMDocumentNavigator *navigator) { m_navigator = navigator; }
    LMDocumentNavigator *navigator() const { return m_navigator; }
    QWidget *window() const { return m_window; }

protected:
    // Leaves only the current mode's button checked (after a mode button was clicked).
    void resetModeButtons();
    // Called before an editor's tab goes; its editor still exists.
    virtual void editorWillClose(LMRecordEditor *editor) { Q_UNUSED(editor) }

private:
    void tabChanged(int index);
    void popEditor();
    QAction *makeAction(const QString &identifier, const QString &icon, void (LMRecordContainer::*slot)());

    QString m_identifier;
    QString m_currentMode;
    QPointer<QWidget> m_window;
    QPointer<LMIdentifiedView> m_view;
    QTabBar *m_tabBar = nullptr;
    QStackedWidget *m_stack = nullptr;
    std::vector<std::unique_ptr<LMRecordEditor>> m_editors;
    QHash<QString, QAction *> m_actions;
    QButtonGroup *m_modeButtons = nullptr;
    LMDocumentNavigator *m_navigator = nullptr;
    bool m_changingTabs = false;
};
