// LMTableDesignView: the editing rules of the field grid, undo, naming and the commit of the change set.
#include "LMTableDesignView.h"
#include "DesignVocabulary.h"

#include "LMDocumentNavigator.h"
#include "LMIdentifiedView.h"
#include "LMTableDesignCommit.h"
#include "LMTableDesignFieldModel.h"
#include "LMTableDesignFormQuestion.h"
#include "LMTableDesignOptionsPane.h"
#include "LMTableDesignRules.h"
#include "LMTableDesignUndo.h"
#include "LMTableNameSheet.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Preferences.h"
#include "SchemaNameRules.h"
#include "Ui.h"

#include <QTimer>
#include <QUndoStack>

namespace {
const QString kSuppressFormQuestion = QStringLiteral("LMAskForFormAlertSupress");
} // namespace

LMTableDesignView::LMTableDesignView(const QString &name, MyDocument *document, QWidget *window,
                                     LMDocumentNavigator *navigator)
    : m_document(document), m_window(window), m_navigator(navigator), m_tableName(name)
{
    const Value design = m_document && !name.isEmpty() ? m_document->tableNamed(name) : Value();
    if (design.isDict()) {
        loadFromDesign();
    } else {
        // A table that exists only in this editor until its first commit.
        const LMTableDesignCommit fresh = LMTableDesignCommit::forNewTable(name);
        m_schema = fresh.schema;
        m_left = QStringList{DesignKey::IdFieldName};
        m_right = fresh.columnMapRight;
        m_newTable = true;
    }
    buildInterface();
}

LMTableDesignView::~LMTableDesignView()
{
    if (m_document)
        LMTableDesignUndoCommand::removeStepsOf(this, m_document->undoStack());
}

LMIdentifiedView *LMTableDesignView::view()
{
    return m_view;
}

OXDatabase *LMTableDesignView::database() const
{
    return m_document ? m_document->database() : nullptr;
}

void LMTableDesignView::showAlert(const Alert &alert)
{
    Ui::instance().runAlert(alert, m_window);
}

// ---- Loading

void LMTableDesignView::loadFromDesign()
{
    const LMTableDesignCommit stored = LMTableDesignCommit::forDesign(m_document->tableNamed(m_tableName));
    m_schema = stored.schema;
    m_left = stored.columnMapLeft;
    m_right = stored.columnMapRight;
    m_columnsToClear.clear();
    m_newTable = false;
    m_baseline = m_schema.deepCopy();
    if (m_selectedRow >= m_schema.size())
        m_selectedRow = m_schema.size() - 1;
}

bool LMTableDesignView::hasPendingChanges() const
{
    if (m_newTable || !m_columnsToClear.isEmpty() || m_left != m_right)
        return true;
    return m_schema != m_baseline;
}

void LMTableDesignView::refresh()
{
    // Edits not yet committed are kept: a refresh must not throw away the user's pending design.
    if (m_closedWithoutCommit || !m_document || hasPendingChanges()) {
        emit schemaDidChange();
        return;
    }
    loadFromDesign();
    emit schemaDidChange();
    tableViewSelectionDidChange(m_selectedRow);
}

void LMTableDesignView::itemDidRename(ItemKind kind, const QString &oldName, const QString &newName)
{
    if (kind != ItemKind::Table || oldName != m_tableName || oldName.isEmpty())
        return;
    m_tableName = newName;
    if (m_navigator)
        m_navigator->setCurrentTabLabel(newName);
}

void LMTableDesignView::itemDidDelete(ItemKind kind, const QString &name)
{
    // Committing at close would bring back the table that was just deleted.
    if (kind == ItemKind::Table && name == m_tableName && !m_newTable)
        m_closedWithoutCommit = true;
}

// ---- Grid

Value LMTableDesignView::fieldAt(int row) const
{
    return row >= 0 && row < m_schema.size() ? m_schema.at(row) : Value();
}

int LMTableDesignView::numberOfRowsInTableView() const
{
    return m_schema.size();
}

Value LMTableDesignView::objectValueForTableColumn(const QString &column, int row) const
{
    const Value field = fieldAt(row);
    if (field.isNull())
        return Value();
    if (column == DesignKey::Name) {
        const QString name = field.value(DesignKey::Name).toString();
        return name.isEmpty() ? Value() : Value(name);
    }
    if (column == DesignKey::Type) {
        const int index = typeToNumber(field.value(DesignKey::Type).toString());
        return index < 0 ? Value() : Value(index);
    }
    return Value();
}

bool LMTableDesignView::shouldEditTableColumn(const QString &column, int row) const
{
    Q_UNUSED(column)
    return row > 0 && row < m_schema.size();
}

void LMTableDesignView::setObjectValue(const Value &value, const QString &column, int row)
{
    if (row < 0 || row >= m_schema.size())
        return;
    if (row == 0) {
        Ui::instance().beep();
        return;
    }
    // A confirmation takes the focus from the cell's editor, which then delivers its value a second time.
    if (m_applyingEdit)
        return;
    m_applyingEdit = true;
    if (column == DesignKey::Name)
        setFieldName(value, row);
    else if (column == DesignKey::Type)
        setFieldType(value, row);
    m_applyingEdit = false;
}

void LMTableDesignView::setFieldName(const Value &value, int row)
{
    const QString name = value.isNull() ? QString("") : value.stringValue();
    Value field = m_schema.at(row);
    const QString current = field.value(DesignKey::Name).toString();
    if (name == current)
        return; // the row's own exact name is always accepted, and changes nothing
    if (!name.isEmpty()) {
        // Every name counts, the row's own too: only its exact current name (handled above) is exempt.
        QStringList names;
        for (int i = 0; i < m_schema.size(); ++i)
            names << m_schema.at(i).value(DesignKey::Name).toString();
        if (std::optional<Alert> refused = SchemaNameRules::checkFieldName(name, names)) {
            Ui::instance().beep();
            showAlert(*refused);
            emit schemaDidChange();
            return;
        }
    }
    recordUndoStep(QStringLiteral("Rename Field"));
    field.set(DesignKey::Name, Value(name));
    m_left[row] = name;
    emit schemaDidChange();
}

void LMTableDesignView::setFieldType(const Value &value, int row)
{
    const QString newType = value.isNull() ? QString("") : numberToType(int(value.toInt()));
    if (Datatypes::is(newType, Datatype::PrimaryKey) || newType.isNull()) {
        Ui::instance().beep();
        emit schemaDidChange();
        return;
    }
    Value field = m_schema.at(row);
    const QString oldType = field.value(DesignKey::Type).toString();
    if (newType == oldType)
        return;
    // The column the field's data sits in is the one it had when the editor opened (same position).
    const QString oldColumn = m_right.value(row);
    bool clearColumn = false;
    switch (LMTableDesignRules::classifyTypeChange(oldType, newType, !oldColumn.isEmpty())) {
    case LMTableDesignRules::TypeChange::DeletesData:
        Ui::instance().beep();
        if (Ui::instance().runAlertButton(LMTableDesignRules::deletesDataAlert(), m_window) !=
            QLatin1String("Change Datatype")) {
            emit schemaDidChange();
            return;
        }
        clearColumn = true;
        break;
    case LMTableDesignRules::TypeChange::NonReversible:
        if (Ui::instance().runAlertButton(LMTableDesignRules::nonReversibleAlert(), m_window) !=
            QLatin1String("Change")) {
            emit schemaDidChange();
            return;
        }
        break;
    case LMTableDesignRules::TypeChange::Free: break;
    }
    recordUndoStep(QStringLiteral("Change Datatype"));
    if (clearColumn && !m_columnsToClear.contains(oldColumn))
        m_columnsToClear << oldColumn;
    field.set(DesignKey::Type, Value(newType));
    emit schemaDidChange();
    tableViewSelectionDidChange(m_selectedRow);
}

void LMTableDesignView::tableViewSelectionDidChange(int row)
{
    m_selectedRow = row >= 0 && row < m_schema.size() ? row : -1;
    if (m_optionsPane)
        m_optionsPane->setDictionary(fieldAt(m_selectedRow), m_selectedRow);
    emit selectionDidChange(m_selectedRow);
}

void LMTableDesignView::addRowButtonPressed()
{
    recordUndoStep(QStringLiteral("Add Field"));
    m_schema.append(DesignVocabulary::blankField());
    m_left << QString("");
    m_right << QString("");
    emit schemaDidChange();
    tableViewSelectionDidChange(m_schema.size() - 1);
    emit nameEditingRequested(m_schema.size() - 1);
}

void LMTableDesignView::removeRowButtonPressed()
{
    const int row = m_selectedRow;
    if (row <= 0 || row >= m_schema.size()) {
        Ui::instance().beep();
        return;
    }
    if (Ui::instance().runAlertButton(LMTableDesignRules::removeFieldAlert(), m_window) != QLatin1String("Delete"))
        return;
    m_schema.removeAt(row);
    m_left.removeAt(row);
    m_right.removeAt(row);
    emit schemaDidChange(); // also ends any editing of the grid
    tableViewSelectionDidChange(std::min(row, m_schema.size() - 1));
}

int LMTableDesignView::typeToNumber(const QString &datatype)
{
    return LMTableDesignRules::typeToNumber(datatype);
}

QString LMTableDesignView::numberToType(int index)
{
    return LMTableDesignRules::numberToType(index);
}

void LMTableDesignView::setHumanKey(int row, bool on)
{
    for (int i = 0; i < m_schema.size(); ++i) {
        Value field = m_schema.at(i);
        field.remove(DesignKey::HumanKey);
    }
    if (on && row >= 0 && row < m_schema.size()) {
        Value field = m_schema.at(row);
        field.set(DesignKey::HumanKey, Value(true));
    }
}

// ---- Undo

LMTableDesignSnapshot LMTableDesignView::snapshot() const
{
    return {m_schema.deepCopy(), m_left, m_right, m_selectedRow, m_columnsToClear};
}

void LMTableDesignView::restore(const LMTableDesignSnapshot &state)
{
    m_schema = state.schema.deepCopy();
    m_left = state.left;
    m_right = state.right;
    m_columnsToClear = state.columnsToClear;
    emit schemaDidChange();
    tableViewSelectionDidChange(state.selectedRow);
}

void LMTableDesignView::recordUndoStep(const QString &text)
{
    if (m_document && m_document->undoStack())
        m_document->undoStack()->push(new LMTableDesignUndoCommand(this, snapshot(), text));
}

void LMTableDesignView::removeUndoActions()
{
    if (m_document)
        LMTableDesignUndoCommand::removeStepsOf(this, m_document->undoStack());
}

// ---- Commit

bool LMTableDesignView::commitTable()
{
    OXDatabase *db = database();
    if (!db || m_closedWithoutCommit)
        return false;
    if (m_tableName.isEmpty()) {
        const QString untitled = LMTableDesignRules::untitledTableName(db->tablesList());
        if (untitled.isNull())
            return false;
        m_tableName = untitled;
        if (m_navigator)
            m_navigator->setCurrentTabLabel(untitled);
    }
    // Every table keeps its "id" field first, whatever happened to the rows below it.
    if (fieldAt(0).value(DesignKey::Name).toString() != DesignKey::IdFieldName) {
        m_schema.insert(0, DesignVocabulary::idField());
        m_left.insert(0, DesignKey::IdFieldName);
        m_right.insert(0, m_newTable ? QString("") : DesignKey::IdFieldName);
    }
    return commitTableRevised();
}

bool LMTableDesignView::commitTableRevised()
{
    OXDatabase *db = database();
    LMTableDesignCommit commit;
    commit.tableName = m_tableName;
    commit.schema = m_schema;
    commit.columnMapLeft = m_left;
    commit.columnMapRight = m_right;
    commit.columnsToClear = m_columnsToClear;
    commit.isNewTable = m_newTable;
    commit.doNotCommit = m_closedWithoutCommit;

    const bool wasNew = m_newTable;
    switch (db->commitTableRevised(commit)) {
    case LMTableDesignCommit::Result::Committed:
        m_schema = commit.schema;
        m_left = commit.columnMapLeft;
        m_right = commit.columnMapRight;
        m_columnsToClear = commit.columnsToClear;
        m_newTable = commit.isNewTable;
        m_createdHere = m_createdHere || wasNew;
        m_baseline = m_schema.deepCopy();
        break;
    case LMTableDesignCommit::Result::Unchanged:
        loadFromDesign(); // drops the rows left without a name, as the stored design has
        break;
    case LMTableDesignCommit::Result::Cancelled: return false;
    case LMTableDesignCommit::Result::Failed:
        showAlert(
            Alert::make(QStringLiteral("An Error Occurred"),
                        QStringLiteral("Please submit a bug report to tandrel. Error code %1").arg(db->lastErrorID())));
        return false;
    }
    if (m_selectedRow >= m_schema.size())
        m_selectedRow = m_schema.size() - 1;
    emit schemaDidChange();
    tableViewSelectionDidChange(m_selectedRow);
    if (m_navigator)
        m_navigator->reloadSourceListExpanding(ItemKind::Table);
    else if (m_document->viewHost())
        m_document->viewHost()->reloadSourceList();
    return true;
}

void LMTableDesignView::cleanUp()
{
    if (!m_closedWithoutCommit) {
        commitTable();
        if (m_createdHere && !m_formQuestionAsked)
            askToCreateForm();
    }
    removeUndoActions();
}

void LMTableDesignView::askToCreateForm()
{
    m_formQuestionAsked = true;
    if (Preferences::instance().boolValue(kSuppressFormQuestion))
        return;
    const LMTableDesignFormQuestion::Answer answer =
        LMTableDesignFormQuestion::ask(LMTableDesignRules::createFormAlert(), m_window);
    if (answer.suppress)
        Preferences::instance().setValue(kSuppressFormQuestion, true);
    const bool open = answer.button == QLatin1String("Create and open");
    if (answer.button != QLatin1String("Create") && !open)
        return;
    // Until forms can be generated there is no generator, and nothing is made.
    const QString form = m_navigator ? m_navigator->generateFormForTable(m_tableName) : QString();
    if (open && !form.isEmpty())
        m_navigator->switchToFormDesignView(form);
}

// ---- Naming and deleting

std::optional<Alert> LMTableDesignView::giveName(const QString &name)
{
    OXDatabase *db = database();
    if (!db)
        return std::nullopt;
    const QString oldName = m_tableName;
    if (m_newTable) {
        // Not in SQLite yet: the name is only remembered for the first commit.
        if (std::optional<Alert> refused = SchemaNameRules::checkTableName(name, db->design()))
            return refused;
    } else if (std::optional<Alert> refused = db->renameTable(oldName, name, this)) {
        return refused;
    }
    m_tableName = name;
    if (m_navigator)
        m_navigator->setCurrentTabLabel(name);
    if (!m_newTable && m_document->viewHost())
        m_document->viewHost()->reloadSourceList();
    return std::nullopt;
}

void LMTableDesignView::runNameSheet()
{
    const auto mode =
        m_newTable && m_tableName.isEmpty() ? LMTableNameSheet::Mode::NewTable : LMTableNameSheet::Mode::Rename;
    LMTableNameSheet::run(mode, m_tableName, m_window, [this](const QString &name) { return giveName(name); });
}

void LMTableDesignView::deleteMe()
{
    // Everything the deletion needs is taken now: leaving for the overview replaces this editor's tab.
    MyDocument *document = m_document;
    const QString name = m_tableName;
    const bool exists = !m_newTable && database() && database()->tablesList().contains(name);
    LMDocumentNavigator *navigator = m_navigator;
    m_closedWithoutCommit = true;
    removeUndoActions();
    if (navigator)
        navigator->switchToOverview();
    // A table that was never committed exists nowhere but in the editor, which is gone now.
    if (!exists)
        return;
    if (!document->removeTableNamed(name))
        Ui::instance().runAlert(LMTableDesignRules::tableNotDeletedAlert());
}

// ---- Counterparts

QString LMTableDesignView::firstFormOfTable() const
{
    const Value forms = m_document->forms();
    for (int i = 0; i < forms.size(); ++i)
        if (forms.at(i).value(DesignKey::ContentTable).toString() == m_tableName)
            return forms.at(i).value(DesignKey::Name).toString();
    return QString();
}

void LMTableDesignView::switchToEditDataCounterpart()
{
    commitTable();
    if (m_newTable || !m_navigator) {
        Ui::instance().beep();
        return;
    }
    m_navigator->switchToTableEditView(m_tableName);
}

void LMTableDesignView::switchToFormDataCounterpart()
{
    commitTable();
    QString form = firstFormOfTable();
    if (form.isEmpty() && !m_newTable && m_navigator)
        form = m_navigator->generateFormForTable(m_tableName);
    if (form.isEmpty() || !m_navigator) {
        Ui::instance().beep();
        return;
    }
    m_navigator->switchToFormDataView(form);
}

void LMTableDesignView::switchToFormDesignCounterpart()
{
    commitTable();
    QString form = firstFormOfTable();
    if (form.isEmpty() && !m_newTable && m_navigator)
        form = m_navigator->generateFormForTable(m_tableName);
    if (form.isEmpty() || !m_navigator) {
        Ui::instance().beep();
        return;
    }
    m_navigator->switchToFormDesignView(form);
}

std::unique_ptr<LMViewController> makeTableDesignController(MyDocument *document, const QString &tableName,
                                                            QWidget *window, LMDocumentNavigator *navigator)
{
    auto controller = std::make_unique<LMTableDesignView>(tableName, document, window, navigator);
    // A new table is named first; the sheet comes up once the tab shows the editor.
    if (tableName.isEmpty()) {
        LMTableDesignView *editor = controller.get();
        QTimer::singleShot(0, editor->view(), [editor] { editor->runNameSheet(); });
    }
    return controller;
}
