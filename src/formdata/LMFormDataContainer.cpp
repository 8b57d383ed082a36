// LMFormDataContainer: form editors in the shared record container; the mode buttons open the form's table.
#include "LMFormDataContainer.h"

#include "FDKeys.h"
#include "LMDocumentNavigator.h"
#include "LMFormDataController.h"
#include "MyDocument.h"
#include "ViewKind.h"

LMFormDataContainer::LMFormDataContainer(MyDocument *document, const QString &formName, QWidget *window,
                                         LMDocumentNavigator *navigator)
    : LMRecordContainer(ViewKinds::identifier(ViewKind::FormData), ViewKinds::modeButtonTitle(ViewKind::FormData),
                        window, navigator),
      m_document(document), m_formName(formName)
{
    view()->setObjectName(QStringLiteral("LMFormDataContainer"));
    addEditor(std::make_unique<LMFormDataController>(formName, document, window), formName);
    for (const QString &item : toolbarAllowedItemIdentifiers())
        toolbarItem(item, false);
    updateToolbarItems();
}

LMFormDataContainer::~LMFormDataContainer() = default;

LMFormDataController *LMFormDataContainer::editorAt(int index) const
{
    return static_cast<LMFormDataController *>(LMRecordContainer::editorAt(index));
}

LMFormDataController *LMFormDataContainer::activeController() const
{
    return static_cast<LMFormDataController *>(activeEditor());
}

void LMFormDataContainer::addEditor(std::unique_ptr<LMFormDataController> editor, const QString &label)
{
    editor->setContainer(this);
    connect(editor.get(), &LMFormDataController::stateChanged, this, &LMFormDataContainer::updateToolbarItems);
    addEditorTab(std::move(editor), label);
}

void LMFormDataContainer::itemDidRename(ItemKind kind, const QString &oldName, const QString &newName)
{
    if (kind == ItemKind::Form && oldName == m_formName) {
        m_formName = newName;
        setTabLabel(0, newName);
    }
    if (LMFormDataController *editor = activeController())
        editor->refresh();
}

void LMFormDataContainer::itemDidDelete(ItemKind kind, const QString &name)
{
    Q_UNUSED(name)
    if (kind == ItemKind::Table || kind == ItemKind::Form)
        if (LMFormDataController *editor = activeController())
            editor->refresh();
}

void LMFormDataContainer::switchToMode(const QString &mode)
{
    resetModeButtons();
    const std::optional<ViewKind> kind = ViewKinds::fromModeButton(mode);
    if (kind == ViewKind::FormData || !navigator())
        return;
    cleanUp();
    const QString table = mainEditor() ? mainEditor()->contentTable() : QString();
    if (kind == ViewKind::FormDesign)
        navigator()->switchToFormDesignView(m_formName);
    else if (kind == ViewKind::TableDesign && !table.isEmpty())
        navigator()->switchToTableDesignView(table);
    else if (kind == ViewKind::TableEdit && !table.isEmpty())
        navigator()->switchToTableEditView(table);
}
