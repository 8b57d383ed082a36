// LMFormDesignController: naming, storing, renaming and deleting a form; the canvas does the rest.
#include "LMFormDesignController.h"

#include "FDFormDesignWidget.h"
#include "FDFormGenerator.h"
#include "FDKeys.h"
#include "LMDocumentNavigator.h"
#include "LMIdentifiedView.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Ui.h"

#include <QVBoxLayout>

using namespace FDKeys;

LMFormDesignController::LMFormDesignController(const QString &name, MyDocument *document, QWidget *window,
                                               LMDocumentNavigator *navigator)
    : m_document(document), m_window(window), m_navigator(navigator), m_canvas(std::make_unique<FDCanvas>()),
      m_editor(std::make_unique<FDCanvasEditor>(m_canvas.get(), document ? document->undoStack() : nullptr))
{
    m_newForm = name.isEmpty() || !document || !document->formNamed(name).isDict();
    m_loadName = name;
    if (!m_newForm)
        loadForm();
    connect(m_editor.get(), &FDCanvasEditor::modelChanged, this, &LMFormDesignController::markChanged);
    m_view = new LMIdentifiedView(identifier());
    m_view->setController(this);
    auto *layout = new QVBoxLayout(m_view);
    layout->setContentsMargins(0, 0, 0, 0);
    m_widget = new FDFormDesignWidget(this, m_view);
    layout->addWidget(m_widget);
    if (m_navigator)
        connect(this, &LMFormDesignController::nameChanged, this,
                [navigator = m_navigator](const QString &label) { navigator->setCurrentTabLabel(label); });
}

LMFormDesignController::~LMFormDesignController()
{
    // The toolbar items follow the canvas; nothing may reach them while the members go.
    m_canvas->disconnect(this);
    m_editor->removeUndoActions();
    // The widgets use the canvas and its editor: they go with them, whoever owns the view.
    delete m_widget;
}

bool LMFormDesignController::generateFormWithWindow(MyDocument *document, const QString &table, const QString &name)
{
    return FDFormGenerator::generateFormWithWindow(document, table, name);
}

LMIdentifiedView *LMFormDesignController::view()
{
    return m_view;
}

OXDatabase *LMFormDesignController::database() const
{
    return m_document ? m_document->database() : nullptr;
}

void LMFormDesignController::loadForm()
{
    // The canvas edits its own copy; storeForm puts it back into the document.
    // The canvas holds the document's own dictionary and writes back into it.
    m_canvas->setDictionary(m_document->formNamed(m_loadName));
}

void LMFormDesignController::reloadSourceList(ItemKind kind)
{
    if (m_navigator)
        m_navigator->reloadSourceListExpanding(kind);
}

void LMFormDesignController::markChanged()
{
    if (m_document)
        m_document->setChanged(true);
}

// ---- Storing

void LMFormDesignController::putIntoDocument(const QString &storedName)
{
    // The canvas writes into the dictionary it holds; that dictionary becomes (or stays) the document's element.
    Value forms = m_document->forms();
    int index = -1;
    for (int i = 0; i < forms.size() && index < 0; ++i)
        if (forms.at(i).isSameContainer(m_canvas->heldDictionary()))
            index = i;
    if (index < 0)
        index = MyDocument::indexOfItemNamed(forms, storedName);
    const Value definition = m_canvas->dictionary();
    if (index < 0)
        forms.append(definition);
    else if (!forms.at(index).isSameContainer(definition))
        forms.replace(index, definition);
}

void LMFormDesignController::storeForm()
{
    if (!m_document || m_deleted)
        return;
    Value forms = m_document->forms();
    if (m_canvas->name().isEmpty()) {
        QString untitled;
        for (int d = 1; d < 999999 && untitled.isEmpty(); ++d) {
            const QString candidate = QStringLiteral("untitled %1").arg(d);
            if (MyDocument::indexOfItemNamed(forms, candidate) < 0)
                untitled = candidate;
        }
        if (untitled.isEmpty())
            return;
        m_canvas->setName(untitled);
        forms.append(Value::dict({{kName, untitled}}));
        m_newForm = false;
        emit nameChanged(untitled);
    }
    putIntoDocument(m_canvas->name());
    markChanged();
    reloadSourceList(ItemKind::Form);
}

void LMFormDesignController::cleanUp()
{
    if (m_deleted)
        return;
    m_editor->removeUndoActions();
    storeForm();
}

void LMFormDesignController::refresh()
{
    if (!m_document || m_canvas->name().isEmpty())
        return;
    const Value stored = m_document->formNamed(m_canvas->name());
    if (stored.isDict())
        m_canvas->setDictionary(stored);
}

void LMFormDesignController::itemDidRename(ItemKind kind, const QString &oldName, const QString &newName)
{
    if (kind == ItemKind::Form && oldName == m_canvas->name()) {
        m_canvas->setName(newName);
        emit nameChanged(newName);
    } else if (kind == ItemKind::Table && oldName == m_canvas->contentTable()) {
        m_canvas->setContentTable(newName);
        storeForm();
    }
    m_canvas->alertCanvasPane();
}

void LMFormDesignController::itemDidDelete(ItemKind kind, const QString &name)
{
    if (kind == ItemKind::Form && name == m_canvas->name())
        m_deleted = true;
    else if (kind == ItemKind::Table)
        m_canvas->alertCanvasPane();
}

// ---- The name-and-table sheet

QStringList LMFormDesignController::tableChoices() const
{
    QStringList choices{kNoTable};
    if (database())
        choices += database()->tablesList();
    return choices;
}

bool LMFormDesignController::closeAskForName(const QString &name, const QString &table, bool generate)
{
    if (!m_document)
        return false;
    const int taken = MyDocument::indexOfItemNamed(m_document->forms(), name);
    const bool ownName = !m_newForm && name == m_canvas->name();
    if (name.isEmpty() || (taken >= 0 && !ownName)) {
        Ui::instance().beep();
        return false;
    }
    const QString contentTable = table == kNoTable ? QString() : table;
    if (m_newForm) {
        m_canvas->setName(name);
        m_canvas->setContentTable(contentTable);
        if (generate)
            m_canvas->autoGenerate(database());
        putIntoDocument(name);
        m_newForm = false;
        markChanged();
        reloadSourceList(ItemKind::Form);
        emit nameChanged(name);
        return true;
    }
    const QString oldName = m_canvas->name();
    m_canvas->setName(name);
    m_canvas->setContentTable(contentTable);
    putIntoDocument(oldName);
    markChanged();
    if (oldName != name)
        m_document->itemDidRename(ItemKind::Form, oldName, name, this);
    reloadSourceList(ItemKind::Form);
    emit nameChanged(name);
    return true;
}

bool LMFormDesignController::hasValidContentTable() const
{
    const QString table = m_canvas->contentTable();
    return !table.isEmpty() && database() && database()->tablesList().contains(table);
}

void LMFormDesignController::deleteMe()
{
    // Everything the deletion needs is taken now: leaving for the overview replaces this view's tab.
    MyDocument *document = m_document;
    const QString name = m_canvas->name();
    const bool stored = document && !name.isEmpty() && document->formNamed(name).isDict();
    LMDocumentNavigator *navigator = m_navigator;
    m_deleted = true;
    m_editor->removeUndoActions();
    if (navigator)
        navigator->switchToOverview();
    if (!stored)
        return;
    if (!document->removeFormNamed(name))
        Ui::instance().runAlert(
            Alert::make(QStringLiteral("Form not deleted"), QStringLiteral("The form was not deleted.")));
}

// ---- Add Action

std::optional<LMFormDesignController::ScriptToShow> LMFormDesignController::addAction()
{
    if (!m_document || m_canvas->selection().size() != 1)
        return std::nullopt;
    const FDControlPtr control = m_canvas->selection().first();
    Value info = control->info();
    const QString existing = info.value(kControlActionScript).toString();
    if (!existing.isEmpty() && m_document->scriptNamed(existing).isDict())
        return ScriptToShow{existing, false};

    Value scripts = m_document->scripts();
    QString scriptName;
    for (int i = 0; i < scripts.size() && scriptName.isEmpty(); ++i) {
        const QString candidate = scripts.at(i).value(kName).toString();
        if (candidate.compare(m_canvas->name(), Qt::CaseInsensitive) == 0)
            scriptName = candidate;
    }
    const bool askForName = scriptName.isEmpty();
    if (askForName)
        scriptName = m_canvas->name();
    const QString controlName = control->scriptBridgeName();
    Value script = m_document->scriptNamed(scriptName);
    const QString codeKey = QStringLiteral("Code String");
    if (!script.isDict()) {
        const QString code = controlName.isEmpty()
                                 ? QStringLiteral("function controlDidAction(name)\n{\n\t\n}\n")
                                 : QStringLiteral("function form_%1(ctrl)\n{\n\t\n}\n").arg(controlName);
        scripts.append(Value::dict({{kName, scriptName}, {codeKey, code}}));
    } else if (!controlName.isEmpty()) {
        script.set(codeKey, QStringLiteral("%1\n\nfunction form_%2(ctrl)\n{\n\t\n}\n")
                                .arg(script.value(codeKey).toString(), controlName));
    }
    info.set(kControlActionScript, scriptName);
    info.set(kControlActionType, kActionCall);
    markChanged();
    reloadSourceList(ItemKind::Script);
    if (m_navigator)
        m_navigator->switchToScriptView(scriptName);
    return ScriptToShow{scriptName, askForName};
}
