// LMQueryFilterView: loading a definition into rows, the restriction it yields, and saving, renaming and
// opening queries.
#include "LMQueryFilterView.h"

#include "LMDocumentNavigator.h"
#include "LMQueryDefinition.h"
#include "LMQueryFilterComponent.h"
#include "LMQueryFilterHeader.h"
#include "LMQueryNameSheet.h"
#include "LMQueryOpenView.h"
#include "LMQueryOpening.h"
#include "LMQueryWhere.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Ui.h"

#include <QVBoxLayout>

using namespace LMQueryDefinition;

LMQueryFilterView::LMQueryFilterView(MyDocument *document, const QString &tableName, const Value &dictionary,
                                     QWidget *parent)
    : QWidget(parent), m_document(document), m_tableName(tableName)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_mainHeader = new LMQueryFilterHeader(QStringLiteral("Main"), this);
    m_parametersHeader = new LMQueryFilterHeader(QStringLiteral("Parameters"), this);
    layout->addWidget(m_mainHeader);
    layout->addWidget(m_parametersHeader);
    m_rows = new QVBoxLayout;
    m_rows->setSpacing(0);
    layout->addLayout(m_rows);
    m_displaysHeader = new LMQueryFilterHeader(QStringLiteral("Displays"), this);
    layout->addWidget(m_displaysHeader);
    setDictionary(dictionary);
    setVisible(false);
}

LMQueryFilterView::~LMQueryFilterView()
{
    if (m_nameSheet)
        delete m_nameSheet.data();
    if (m_chooser)
        delete m_chooser.data();
}

OXDatabase *LMQueryFilterView::database() const
{
    return m_document ? m_document->database() : nullptr;
}

void LMQueryFilterView::setTableName(const QString &tableName)
{
    m_tableName = tableName;
    refresh();
}

QWidget *LMQueryFilterView::sheetWindow() const
{
    if (m_window)
        return m_window;
    if (m_document && m_document->window())
        return m_document->window();
    return window();
}

void LMQueryFilterView::setDictionary(const Value &dictionary, QWidget *window, bool resizeAux)
{
    Q_UNUSED(resizeAux) // rows size themselves in the layout
    if (window)
        m_window = window;
    if (!dictionary.isSameContainer(m_dictionary))
        m_displaysChosen = false;
    m_dictionary = dictionary.isDict() ? dictionary : newDefinition();
    if (!m_dictionary.value(kParameters).isArray())
        m_dictionary.set(kParameters, Value::array());
    Value parameters = m_dictionary.value(kParameters);
    // Rows are added from a row's "+": a definition without conditions gets one empty row to start from.
    if (parameters.isEmpty())
        parameters.append(emptyCondition());
    for (int i = 0; i < parameters.size(); ++i)
        if (parameters.at(i).isDict())
            parameters.at(i).set(kTable, Value(m_tableName));
    rebuild();
}

void LMQueryFilterView::rebuild()
{
    for (LMQueryFilterComponent *component : std::as_const(m_components)) {
        m_rows->removeWidget(component);
        component->hide();
        component->deleteLater();
    }
    m_components.clear();
    m_mainHeader->setQueryNameTitle(queryName());
    m_parametersHeader->showParameterBoolean(m_dictionary);
    m_displaysHeader->showDisplayedFields();
    const Value parameters = m_dictionary.value(kParameters);
    for (int i = 0; i < parameters.size(); ++i) {
        if (!parameters.at(i).isDict())
            continue;
        auto *component = new LMQueryFilterComponent(parameters.at(i), m_components.size() % 2 == 0, this);
        m_rows->addWidget(component);
        m_components.append(component);
    }
}

QString LMQueryFilterView::queryName() const
{
    return m_dictionary.value(kName).toString();
}

QString LMQueryFilterView::whereClause() const
{
    QList<Value> conditions;
    for (const LMQueryFilterComponent *component : m_components)
        conditions.append(component->dictionary());
    return LMQueryWhere::whereSQL(conditions, m_dictionary.value(kParameterBoolean).toString());
}

QString LMQueryFilterView::whereQuery() const
{
    if (!m_open)
        return QString();
    // No complete condition means no restriction, not a bare WHERE.
    const QString clause = whereClause();
    return clause.isEmpty() ? QString() : QStringLiteral(" WHERE %1 ").arg(clause);
}

QString LMQueryFilterView::whereSQLForQueryDictionary(const Value &definition)
{
    return LMQueryWhere::whereSQLForQueryDictionary(definition);
}

void LMQueryFilterView::open()
{
    m_open = true;
    setVisible(true);
}

void LMQueryFilterView::close()
{
    m_open = false;
    setVisible(false);
}

void LMQueryFilterView::toggleQueryView()
{
    if (m_open)
        close();
    else
        open();
    notifyChanged();
    emit queryFilterDidChange();
}

void LMQueryFilterView::alertDelegate()
{
    if (m_document)
        m_document->setChanged(true);
    notifyChanged();
    emit queryFilterDidChange();
}

// ---- Saving and renaming

void LMQueryFilterView::save()
{
    m_renaming = false;
    showNameSheet();
}

void LMQueryFilterView::renameQuery()
{
    // An unsaved definition has nothing to rename: naming it saves it, so it is not lost.
    m_renaming = !queryName().isEmpty();
    showNameSheet();
}

void LMQueryFilterView::showNameSheet()
{
    closeNameSheet();
    auto *sheet = new LMQueryNameSheet(
        queryName(), m_renaming, [this](const QString &name) { return nameSheetSave(name); },
        [this] { nameSheetCancel(); }, sheetWindow());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    m_nameSheet = sheet;
    sheet->open();
}

void LMQueryFilterView::closeNameSheet()
{
    if (!m_nameSheet)
        return;
    LMQueryNameSheet *sheet = m_nameSheet;
    m_nameSheet = nullptr;
    sheet->hide();
    sheet->deleteLater();
}

bool LMQueryFilterView::nameSheetSave(const QString &name)
{
    if (!m_document || name.isEmpty()) {
        Ui::instance().beep();
        return false;
    }
    Value queries = m_document->queries();
    const Value existing = MyDocument::itemNamed(queries, name);
    if (!existing.isNull()) {
        const bool ownName = m_renaming && name == queryName();
        if (!ownName) {
            Ui::instance().beep();
            return false;
        }
    }

    const QString oldName = queryName();
    if (!m_renaming) {
        // Saving an already saved query under a new name stores a copy, so the saved one keeps its name and
        // the array never holds one definition twice.
        for (int i = 0; i < queries.size(); ++i) {
            if (queries.at(i).isSameContainer(m_dictionary)) {
                m_dictionary = m_dictionary.deepCopy();
                break;
            }
        }
    }
    m_dictionary.set(kName, Value(name));
    m_dictionary.set(kTableName, Value(m_tableName));
    if (!m_renaming)
        queries.append(m_dictionary);
    const bool renamed = m_renaming;
    m_renaming = false;
    // Rows keep editing the definition now stored (a copy after a save under a new name).
    setDictionary(m_dictionary);
    m_document->setChanged(true);
    closeNameSheet();
    // A new query has no old name to rename from; tabs and the source list only need to learn of it.
    m_document->itemDidRename(ItemKind::Query, renamed ? oldName : QString(), name, this);
    notifyChanged();
    emit queryFilterDidChange();
    return true;
}

void LMQueryFilterView::nameSheetCancel()
{
    m_renaming = false;
    closeNameSheet();
}

// ---- Opening

void LMQueryFilterView::openQuery()
{
    if (m_chooser)
        closeChooser();
    auto *chooser = new LMQueryOpenView(this, m_document ? m_document->queries() : Value::array(), sheetWindow());
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    m_chooser = chooser;
    chooser->open();
}

void LMQueryFilterView::closeChooser()
{
    if (!m_chooser)
        return;
    LMQueryOpenView *chooser = m_chooser;
    m_chooser = nullptr;
    chooser->hide();
    chooser->deleteLater();
}

void LMQueryFilterView::openQuery(const Value &definition)
{
    setDictionary(definition, m_window);
    // Loading changes nothing in the document; the delegate only reloads.
    notifyChanged();
    emit queryFilterDidChange();
}

void LMQueryFilterView::chooserDidChoose(const Value &definition)
{
    closeChooser();
    QString table = definition.value(kTableName).toString();
    if (table.isEmpty())
        table = m_tableName;
    if (table == m_tableName) {
        openQuery(definition);
        return;
    }
    const QString name = definition.value(kName).toString();
    if (m_navigator)
        m_navigator->switchToQueryView(name, m_inForm);
    else
        LMQueryOpening::switchToQueryView(m_document, name, m_inForm);
}

void LMQueryFilterView::programaticallyOpenQuery(const Value &definition, QWidget *window)
{
    setDictionary(definition, window);
    m_open = true;
    setVisible(true);
    notifyChanged();
    emit queryFilterDidChange();
}

// ---- Broadcasts

void LMQueryFilterView::itemDidRename(ItemKind kind, const QString &oldName, const QString &newName)
{
    Q_UNUSED(oldName)
    if (kind != ItemKind::Query)
        return;
    if (!newName.isEmpty() && newName == queryName())
        m_mainHeader->setQueryNameTitle(newName);
}

void LMQueryFilterView::refresh()
{
    setDictionary(m_dictionary);
}

// ---- Rows

void LMQueryFilterView::addParameterComponent()
{
    addParameterComponentAfter(Value());
}

void LMQueryFilterView::addParameterComponentAfter(const Value &dictionary)
{
    Value parameters = m_dictionary.value(kParameters);
    Value condition = emptyCondition();
    condition.set(kTable, Value(m_tableName));
    int at = parameters.size();
    for (int i = 0; i < parameters.size(); ++i)
        if (!dictionary.isNull() && parameters.at(i).isSameContainer(dictionary))
            at = i + 1;
    parameters.insert(at, condition);
    rebuild();
    // An empty condition changes no result, but the stored definition did change.
    if (m_document)
        m_document->setChanged(true);
}

void LMQueryFilterView::removeParameterComponentWithObject(const Value &dictionary)
{
    Value parameters = m_dictionary.value(kParameters);
    int index = -1;
    for (int i = 0; i < parameters.size(); ++i)
        if (parameters.at(i).isSameContainer(dictionary))
            index = i;
    // The last row stays, or there would be no row to add conditions from.
    if (index < 0 || m_components.size() <= 1) {
        Ui::instance().beep();
        return;
    }
    parameters.removeAt(index);
    rebuild();
    alertDelegate();
}

void LMQueryFilterView::addDisplayComponent()
{
    Value displays = m_dictionary.value(kDisplays);
    if (!displays.isArray()) {
        displays = Value::array();
        m_dictionary.set(kDisplays, displays);
    }
    Value display = Value::dict({{kType, Value("Displays")}, {kTable, Value(m_tableName)}});
    displays.append(display);
    if (m_document)
        m_document->setChanged(true);
}

void LMQueryFilterView::removeDisplayComponentWithObject(const Value &dictionary)
{
    Value displays = m_dictionary.value(kDisplays);
    for (int i = 0; i < displays.size(); ++i) {
        if (displays.at(i).isSameContainer(dictionary)) {
            displays.removeAt(i);
            alertDelegate();
            return;
        }
    }
}

QList<Value> LMQueryFilterView::usableDisplays() const
{
    return LMQueryDefinition::usableDisplays(m_dictionary);
}

void LMQueryFilterView::setInForm(bool inForm)
{
    m_inForm = inForm;
    // A form shows its own controls, not columns.
    m_displaysHeader->setVisible(!inForm);
}

QStringList LMQueryFilterView::displayedFields() const
{
    if (queryName().isEmpty() && !m_displaysChosen)
        return {};
    const QStringList design = database() ? database()->allNamesForTable(m_tableName) : QStringList();
    QStringList shown;
    for (const Value &display : usableDisplays()) {
        const QString field = display.value(kField).toString();
        if (display.value(kTable).toString() == m_tableName && design.contains(field) && !shown.contains(field))
            shown.append(field);
    }
    return shown;
}

void LMQueryFilterView::setFieldDisplayed(const QString &field, bool shown)
{
    const QStringList design = database() ? database()->allNamesForTable(m_tableName) : QStringList();
    QStringList current = displayedFields();
    if (current.isEmpty())
        current = design;
    if (!design.contains(field) || shown == current.contains(field))
        return;
    if (!shown && current.size() == 1) {
        Ui::instance().beep();
        return;
    }
    if (shown)
        current.append(field);
    else
        current.removeAll(field);
    // Displays of other tables are kept as they are; this table's follow the design's order.
    Value displays = Value::array();
    const Value old = m_dictionary.value(kDisplays);
    for (int i = 0; i < old.size(); ++i)
        if (old.at(i).value(kTable).toString() != m_tableName)
            displays.append(old.at(i));
    for (const QString &name : design)
        if (current.contains(name))
            displays.append(display(m_tableName, name));
    m_dictionary.set(kDisplays, displays);
    m_displaysChosen = true;
    m_displaysHeader->showDisplayedFields();
    alertDelegate();
}
