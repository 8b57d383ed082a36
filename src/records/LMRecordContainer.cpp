// LMRecordContainer: toolbar items and editor tabs shared by the record grid and form data entry.
#include "LMRecordContainer.h"
#include "LMModeButtons.h"
#include "ViewKind.h"

#include "Resources.h"

#include <QAction>
#include <QButtonGroup>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace {
const QString kModes = QStringLiteral("Modes");
const QString kAdd = QStringLiteral("Add Record");
const QString kDelete = QStringLiteral("Delete Record");
const QString kInsert = QStringLiteral("Insert Record");
const QString kUninsert = QStringLiteral("Uninsert Record");
const QString kData = QStringLiteral("Data");
const QString kQuery = QStringLiteral("Query");

QIcon resourceIcon(const QString &name)
{
    const QString path = Resources::path(QStringLiteral("icons/%1.svg").arg(name));
    return QFile::exists(path) ? QIcon(path) : QIcon();
}
} // namespace

LMRecordContainer::LMRecordContainer(const QString &identifier, const QString &currentMode, QWidget *window,
                                     LMDocumentNavigator *navigator)
    : m_identifier(identifier), m_currentMode(currentMode), m_window(window), m_navigator(navigator)
{
    m_view = new LMIdentifiedView(identifier);
    auto *layout = new QVBoxLayout(m_view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_tabBar = new QTabBar(m_view);
    m_tabBar->setDocumentMode(true);
    m_tabBar->setExpanding(false);
    layout->addWidget(m_tabBar);
    m_stack = new QStackedWidget(m_view);
    layout->addWidget(m_stack, 1);
    connect(m_tabBar, &QTabBar::currentChanged, this, &LMRecordContainer::tabChanged);
}

LMRecordContainer::~LMRecordContainer()
{
    m_changingTabs = true;
    // Innermost editors go first: each one still reaches its parent while it goes.
    while (!m_editors.empty())
        m_editors.pop_back();
    if (m_view && m_view->controller() != this)
        delete m_view;
}

void LMRecordContainer::setIdentifier(const QString &identifier)
{
    m_identifier = identifier;
    if (m_view)
        m_view->setIdentifier(identifier);
}

QString LMRecordContainer::tabLabel(int index) const
{
    return m_tabBar->tabText(index);
}

void LMRecordContainer::setTabLabel(int index, const QString &label)
{
    m_tabBar->setTabText(index, label);
}

int LMRecordContainer::currentTab() const
{
    return m_tabBar->currentIndex();
}

LMRecordEditor *LMRecordContainer::editorAt(int index) const
{
    return index >= 0 && index < int(m_editors.size()) ? m_editors[size_t(index)].get() : nullptr;
}

LMRecordEditor *LMRecordContainer::activeEditor() const
{
    LMRecordEditor *editor = editorAt(currentTab());
    return editor ? editor : editorAt(0);
}

void LMRecordContainer::addEditorTab(std::unique_ptr<LMRecordEditor> editor, const QString &label)
{
    m_changingTabs = true;
    m_stack->addWidget(editor->editorWidget());
    m_stack->setCurrentWidget(editor->editorWidget());
    m_editors.push_back(std::move(editor));
    m_tabBar->addTab(label);
    m_tabBar->setCurrentIndex(m_tabBar->count() - 1);
    m_changingTabs = false;
    updateToolbarItems();
}

void LMRecordContainer::selectTab(int index)
{
    if (index < 0 || index >= m_tabBar->count())
        return;
    if (m_tabBar->currentIndex() == index)
        tabChanged(index);
    else
        m_tabBar->setCurrentIndex(index);
}

void LMRecordContainer::popEditor()
{
    editorWillClose(m_editors.back().get());
    m_tabBar->removeTab(m_tabBar->count() - 1);
    m_editors.pop_back();
}

void LMRecordContainer::tabChanged(int index)
{
    if (m_changingTabs || index < 0)
        return;
    m_changingTabs = true;
    while (m_tabBar->count() > index + 1)
        popEditor();
    m_changingTabs = false;
    LMRecordEditor *editor = m_editors[size_t(index)].get();
    m_stack->setCurrentWidget(editor->editorWidget());
    editor->editorSelected();
    updateToolbarItems();
}

void LMRecordContainer::cleanUp()
{
    for (const auto &editor : m_editors)
        editor->commitEditor();
}

void LMRecordContainer::refresh()
{
    if (LMRecordEditor *editor = activeEditor())
        editor->refreshEditor();
    updateToolbarItems();
}

// --- Toolbar

QStringList LMRecordContainer::toolbarAllowedItemIdentifiers() const
{
    return {kModes, kAdd, kDelete, kInsert, kUninsert, kData, kQuery};
}

QAction *LMRecordContainer::makeAction(const QString &identifier, const QString &icon,
                                       void (LMRecordContainer::*slot)())
{
    auto *action = new QAction(resourceIcon(icon), identifier, this);
    action->setObjectName(identifier);
    action->setToolTip(identifier);
    connect(action, &QAction::triggered, this, slot);
    m_actions.insert(identifier, action);
    return action;
}

QAction *LMRecordContainer::toolbarItem(const QString &itemIdentifier, bool willBeInserted)
{
    Q_UNUSED(willBeInserted)
    if (QAction *existing = m_actions.value(itemIdentifier))
        return existing;
    if (itemIdentifier == kModes) {
        const LMModeButtons modes =
            makeModeButtons(this, kModes, m_currentMode, [this](const QString &mode) { switchToMode(mode); });
        QWidgetAction *action = modes.action;
        m_modeButtons = modes.group;
        m_actions.insert(kModes, action);
        return action;
    }
    QAction *action = nullptr;
    if (itemIdentifier == kAdd)
        action = makeAction(kAdd, QStringLiteral("SB2_Plus"), &LMRecordContainer::addRowButtonPressed);
    else if (itemIdentifier == kDelete)
        action = makeAction(kDelete, QStringLiteral("SB2_Minus"), &LMRecordContainer::removeRowButtonPressed);
    else if (itemIdentifier == kInsert)
        action = makeAction(kInsert, QStringLiteral("Relationships 16"), &LMRecordContainer::insertRowButtonPressed);
    else if (itemIdentifier == kUninsert)
        action =
            makeAction(kUninsert, QStringLiteral("Relationships 16"), &LMRecordContainer::uninsertRowButtonPressed);
    else if (itemIdentifier == kData)
        action = makeAction(kData, QStringLiteral("SB2_Edit"), &LMRecordContainer::dataButton);
    else if (itemIdentifier == kQuery)
        action = makeAction(kQuery, QStringLiteral("Query 16"), &LMRecordContainer::queryButton);
    if (action)
        updateToolbarItems();
    return action;
}

void LMRecordContainer::resetModeButtons()
{
    if (m_modeButtons)
        for (QAbstractButton *button : m_modeButtons->buttons())
            button->setChecked(button->text() == m_currentMode);
}

void LMRecordContainer::updateToolbarItems()
{
    LMRecordEditor *editor = activeEditor();
    const bool usable = editor && editor->canEditRecords();
    const bool nested = currentTab() > 0;
    const bool hasRecord = usable && editor->showsRecord();
    const QList<std::pair<QString, bool>> rules{
        {kAdd, usable},  {kDelete, hasRecord}, {kInsert, usable && nested}, {kUninsert, nested && hasRecord},
        {kData, usable}, {kQuery, usable}};
    for (const auto &[item, enabled] : rules)
        if (QAction *action = m_actions.value(item))
            action->setEnabled(enabled);
}

void LMRecordContainer::addRowButtonPressed()
{
    if (LMRecordEditor *editor = activeEditor())
        editor->addRecord();
    updateToolbarItems();
}

void LMRecordContainer::removeRowButtonPressed()
{
    if (LMRecordEditor *editor = activeEditor())
        editor->deleteRecord();
    updateToolbarItems();
}

void LMRecordContainer::insertRowButtonPressed()
{
    if (LMRecordEditor *editor = activeEditor())
        editor->insertRecord();
    updateToolbarItems();
}

void LMRecordContainer::uninsertRowButtonPressed()
{
    if (LMRecordEditor *editor = activeEditor())
        editor->uninsertRecord();
    updateToolbarItems();
}

void LMRecordContainer::dataButton()
{
    if (LMRecordEditor *editor = activeEditor())
        editor->toggleDataPanel();
}

void LMRecordContainer::queryButton()
{
    if (LMRecordEditor *editor = activeEditor())
        editor->toggleQueryFilter();
}
