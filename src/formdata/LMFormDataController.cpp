// LMFormDataController: the record list beside the form, navigation, record commands and related records.
#include "LMFormDataController.h"

#include "DesignVocabulary.h"
#include "FDFormGenerator.h"
#include "FDKeys.h"
#include "FEBinding.h"
#include "FEControl.h"
#include "FEView.h"
#include "LMDataPanel.h"
#include "LMFormDataContainer.h"
#include "LMQueryDefinition.h"
#include "LMQueryFilterView.h"
#include "LMRecordQuestions.h"
#include "LMRelationship.h"
#include "LMRelationshipManager.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Preferences.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"
#include "Ui.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString kErrorTitle = QStringLiteral("An Error Occurred");
const QString kErrorText = QStringLiteral("Please submit a bug report to tandrel. Error code %1");
} // namespace

LMFormDataController::LMFormDataController(const QString &name, MyDocument *document, QWidget *window, bool nested,
                                           const QString &commaIndexes, LMFormDataController *parent,
                                           const QString &parentRowid, const Value &relationship, bool isBackwards)
    : m_document(document), m_window(window), m_records(document, name, nested, commaIndexes), m_parent(parent),
      m_parentRowid(parentRowid), m_relationship(relationship), m_isBackwards(isBackwards)
{
    buildWidget();
    refresh();
    // A form opens on its first record rather than on an empty, covered form.
    if (m_records.count() > 0)
        selectIndex(0);
}

LMFormDataController::~LMFormDataController()
{
    if (LMDataPanel *panel = LMDataPanel::lazySharedManager())
        panel->complete();
    delete m_widget;
}

void LMFormDataController::buildWidget()
{
    m_widget = new QWidget;
    m_widget->setObjectName(QStringLiteral("LMFormDataController"));
    auto *layout = new QHBoxLayout(m_widget);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *splitter = new QSplitter(m_widget);
    layout->addWidget(splitter);

    // The record list: the field it shows, then one line per record.
    auto *listPane = new QWidget(splitter);
    auto *listColumn = new QVBoxLayout(listPane);
    listColumn->setContentsMargins(4, 4, 0, 4);
    m_fieldPopUp = new QComboBox(listPane);
    m_fieldPopUp->setObjectName(QStringLiteral("FieldPopUp"));
    listColumn->addWidget(m_fieldPopUp);
    m_list = new QListWidget(listPane);
    m_list->setObjectName(QStringLiteral("FESourceList"));
    listColumn->addWidget(m_list, 1);
    connect(m_fieldPopUp, &QComboBox::activated, this, [this] { focusedField(m_fieldPopUp->currentText()); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] {
        if (!m_filling)
            loadSelectedRecord();
    });

    auto *formPane = new QWidget(splitter);
    m_formColumn = new QVBoxLayout(formPane);
    m_formColumn->setContentsMargins(0, 0, 0, 0);
    m_formColumn->setSpacing(0);
    if (m_document) {
        m_filter = new LMQueryFilterView(m_document, contentTable(), Value(), formPane);
        m_filter->setInForm(true);
        m_filter->setChangeHandler([this] { reloadData(); });
        m_records.setFilter(m_filter);
        m_formColumn->addWidget(m_filter);
    }
    auto *scroll = new QScrollArea(formPane);
    scroll->setWidgetResizable(true);
    m_feview = new FEView;
    m_feview->setController(this);
    m_feview->setDatabase(database());
    connect(m_feview, &FEView::focusedControlChanged, this, &LMFormDataController::focusedControlChanged);
    scroll->setWidget(m_feview);
    m_formColumn->addWidget(scroll, 1);

    // The record switcher and the record number.
    auto *bar = new QWidget(formPane);
    bar->setObjectName(QStringLiteral("RecordSwitcher"));
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    const QList<std::pair<QStyle::StandardPixmap, void (LMFormDataController::*)()>> segments{
        {QStyle::SP_MediaSkipBackward, &LMFormDataController::gotoFirstRow},
        {QStyle::SP_MediaSeekBackward, &LMFormDataController::gotoPreviousRow},
        {QStyle::SP_MediaSeekForward, &LMFormDataController::gotoNextRow},
        {QStyle::SP_MediaSkipForward, &LMFormDataController::gotoLastRow}};
    const QStringList names{"First Record", "Previous Record", "Next Record", "Last Record"};
    for (int i = 0; i < segments.size(); ++i) {
        auto *button = new QToolButton(bar);
        button->setIcon(bar->style()->standardIcon(segments[i].first));
        button->setObjectName(names[i]);
        button->setToolTip(names[i]);
        connect(button, &QToolButton::clicked, this, segments[i].second);
        row->addWidget(button);
    }
    m_numberField = new QLineEdit(bar);
    m_numberField->setObjectName(QStringLiteral("RecordNumber"));
    m_numberField->setMaximumWidth(60);
    connect(m_numberField, &QLineEdit::returnPressed, this, [this] { gotoRowTextField(m_numberField->text()); });
    row->addWidget(m_numberField);
    m_countLabel = new QLabel(bar);
    row->addWidget(m_countLabel);
    row->addStretch(1);
    m_formColumn->addWidget(bar);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({180, 600});
}

// --- Reloading

void LMFormDataController::refresh()
{
    fillFieldPopUp();
    if (m_document)
        m_feview->setDictionary(m_document->formNamed(name()));
    reloadData();
}

void LMFormDataController::fillFieldPopUp()
{
    const QString previous = m_records.humanKey();
    m_records.setHumanKey(previous);
    m_fieldPopUp->clear();
    if (database())
        m_fieldPopUp->addItems(database()->allNamesForTable(contentTable()));
    m_fieldPopUp->setCurrentText(m_records.humanKey());
}

void LMFormDataController::reloadData()
{
    const QString shown = m_feview->recordNumber();
    m_records.reloadData();
    fillRecordList();
    const int index = shown.isEmpty() ? -1 : m_records.indexOfId(shown);
    m_filling = true;
    m_list->setCurrentRow(index);
    m_filling = false;
    loadSelectedRecord();
}

void LMFormDataController::fillRecordList()
{
    m_filling = true;
    m_list->clear();
    const QStringList lines = m_records.lines();
    for (int i = 0; i < lines.size(); ++i) {
        auto *item = new QListWidgetItem(lines.at(i), m_list);
        if (m_records.isNewRecordLine(i))
            item->setForeground(Qt::gray);
    }
    m_filling = false;
}

void LMFormDataController::loadSelectedRecord()
{
    const int index = selectedIndex();
    // The list's order is the standard query's, so the line's index is the record's row.
    m_feview->setRecordNumber(index >= 0 ? m_records.idAt(index) : QString());
    refreshValueOfTextField();
    if (LMDataPanel *panel = LMDataPanel::lazySharedManager(); panel && !m_focusedField.isEmpty())
        panel->startEditingForTable(contentTable(), m_focusedField, m_feview->recordNumber(), database(), this);
    emit stateChanged();
}

void LMFormDataController::focusedField(const QString &field)
{
    m_records.markHumanKey(field);
    m_fieldPopUp->setCurrentText(m_records.humanKey());
    reloadData();
}

// --- Navigation

int LMFormDataController::selectedIndex() const
{
    return m_list->currentRow();
}

void LMFormDataController::selectIndex(int index)
{
    if (index == m_list->currentRow())
        loadSelectedRecord();
    else
        m_list->setCurrentRow(index);
}

void LMFormDataController::gotoFirstRow()
{
    if (m_records.count() == 0)
        return Ui::instance().beep();
    selectIndex(0);
}

void LMFormDataController::gotoPreviousRow()
{
    const int index = selectedIndex();
    if (m_records.count() == 0 || index == 0)
        return Ui::instance().beep();
    selectIndex(index < 0 ? m_records.count() - 1 : index - 1);
}

void LMFormDataController::gotoNextRow()
{
    const int index = selectedIndex();
    if (m_records.count() == 0 || index < 0 || index >= m_records.count() - 1)
        return Ui::instance().beep();
    selectIndex(index + 1);
}

void LMFormDataController::gotoLastRow()
{
    if (m_records.count() == 0)
        return Ui::instance().beep();
    selectIndex(m_records.count() - 1);
}

void LMFormDataController::gotoRowTextField(const QString &text)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (ok && number >= 1 && number <= m_records.count())
        selectIndex(number - 1);
    else
        refreshValueOfTextField();
}

void LMFormDataController::refreshValueOfTextField()
{
    const int index = selectedIndex();
    m_numberField->setText(index >= 0 ? QString::number(index + 1) : QString());
    m_countLabel->setText(QStringLiteral("of %1").arg(m_records.count()));
}

bool LMFormDataController::showsRecord() const
{
    return !m_feview->isCovered();
}

// --- Records

void LMFormDataController::showSheet(const Alert &alert)
{
    Ui::instance().runAlert(alert, m_window);
}

void LMFormDataController::showTooManyRecords()
{
    Ui::instance().beep();
    showSheet(Alert::make(QStringLiteral("Too Many Records"),
                          QStringLiteral("You can't add any more records to this subtable.")));
}

bool LMFormDataController::parentHoldsSingleRecord() const
{
    LMRelationshipManager manager(database(), m_relationship);
    if (manager.relationshipType() != 0)
        return false;
    const std::optional<QString> existing = m_isBackwards ? manager.rawRowIndexesOfRowAtChildIndex(m_parentRowid)
                                                          : manager.rawRowIndexesOfRowAtParentIndex(m_parentRowid);
    return existing && !DesignVocabulary::isNullLike(*existing);
}

void LMFormDataController::addButton()
{
    if (!hasContentTable())
        return Ui::instance().beep();
    if (m_document)
        m_document->setChanged(true);
    OXDatabase *db = database();
    if (isNested() && parentHoldsSingleRecord()) {
        showTooManyRecords();
        return refresh();
    }
    db->performQuery(QStringLiteral("INSERT INTO `%1` (`id`) VALUES (NULL)").arg(contentTable()));
    if (!isNested()) {
        m_records.reloadData();
        m_feview->setRecordNumber(m_records.idAt(m_records.count() - 1));
        reloadData();
        return;
    }
    const std::shared_ptr<QLiteCursor> cursor = db->executeQuery(
        QStringLiteral("SELECT `id` FROM `%1` WHERE id='%2'").arg(contentTable()).arg(db->lastRowInserted()));
    QString id =
        cursor && cursor->rowCount() > 0 ? cursor->rowAtIndex(0)->stringForColumn(contentTable() + ".id") : QString();
    if (DesignVocabulary::isNullLike(id))
        id.clear();
    linkNewId(id);
}

// Links a new or picked record to the parent record, or refuses it (a refused new record is not left behind).
void LMFormDataController::linkNewId(const QString &id)
{
    if (id.isEmpty() || !childUpdatedAdded(m_relationship, m_parentRowid, id, m_isBackwards)) {
        showTooManyRecords();
        refresh();
        return;
    }
    m_records.appendId(id);
    m_records.reloadData();
    m_feview->setRecordNumber(id);
    reloadData();
}

void LMFormDataController::deleteButton()
{
    const int index = selectedIndex();
    if (index < 0 || !hasContentTable())
        return Ui::instance().beep();
    if (!isNested()) {
        if (!LMRecordQuestions::confirmDelete(m_window))
            return;
        if (m_document)
            m_document->setChanged(true);
        const QString id = m_records.idAt(index);
        delete m_list->takeItem(index);
        database()->deleteFromTable(contentTable(), id);
        m_feview->setToNA();
        reloadData();
        return;
    }
    if (m_records.idListIsEmpty())
        return Ui::instance().beep();
    switch (LMRecordQuestions::askNestedDelete(m_window)) {
    case LMRecordQuestions::NestedDelete::RemoveFromRelationship: removeSelectedFromRelationship(); break;
    case LMRecordQuestions::NestedDelete::DeleteFromDatabase: deleteSelectedFromDatabase(); break;
    case LMRecordQuestions::NestedDelete::Cancel: break;
    }
}

void LMFormDataController::removeSelectedFromRelationship()
{
    const QString id = m_records.idAt(selectedIndex());
    if (id.isEmpty())
        return;
    if (m_document)
        m_document->setChanged(true);
    m_records.removeId(id);
    childUpdatedRemoved(m_relationship, m_parentRowid, id, m_isBackwards);
    m_feview->setToNA();
    reloadData();
}

void LMFormDataController::deleteSelectedFromDatabase()
{
    const QString id = m_records.idAt(selectedIndex());
    if (id.isEmpty())
        return;
    if (m_document)
        m_document->setChanged(true);
    // The parent record's link goes too, so its field never lists a record that no longer exists.
    childUpdatedRemoved(m_relationship, m_parentRowid, id, m_isBackwards);
    database()->deleteFromTable(contentTable(), id);
    m_records.removeId(id);
    m_feview->setToNA();
    reloadData();
}

void LMFormDataController::insertButton()
{
    if (!isNested()) {
        addButton();
        showSheet(Alert::make(kErrorTitle, kErrorText.arg(QStringLiteral("Relationship-less table calling "
                                                                         "-insertButton. Cleaned up by calling "
                                                                         "-addButton: instead"))));
        return;
    }
    if (!hasContentTable())
        return Ui::instance().beep();
    if (m_insertSheet)
        m_insertSheet->deleteLater();
    m_insertSheet = new LMInsertRecord(this, m_window, database(), contentTable());
    m_insertSheet->open();
}

void LMFormDataController::insertButtonSheetEnded(const QString &rowid)
{
    if (m_document)
        m_document->setChanged(true);
    if (parentHoldsSingleRecord()) {
        showTooManyRecords();
        return refresh();
    }
    linkNewId(rowid);
}

void LMFormDataController::uninsertButton()
{
    if (!isNested() || m_records.idListIsEmpty() || selectedIndex() < 0)
        return Ui::instance().beep();
    removeSelectedFromRelationship();
}

// --- Related records

bool LMFormDataController::childUpdatedAdded(const Value &relationship, const QString &parentRowid,
                                             const QString &addedIndex, bool backwards)
{
    LMRelationshipManager manager(database(), relationship);
    return backwards ? manager.addRowIndexToRowAtChildIndex(addedIndex, parentRowid)
                     : manager.addRowIndexToRowAtParentIndex(addedIndex, parentRowid);
}

bool LMFormDataController::childUpdatedRemoved(const Value &relationship, const QString &parentRowid,
                                               const QString &removedIndex, bool backwards)
{
    LMRelationshipManager manager(database(), relationship);
    return backwards ? manager.removeRowIndexToRowAtChildIndex(removedIndex, parentRowid)
                     : manager.removeRowIndexFromRowAtParentIndex(removedIndex, parentRowid);
}

QString LMFormDataController::createFormForName(const QString &table)
{
    if (!m_document)
        return QString();
    const Value forms = m_document->forms();
    for (int i = 0; i < forms.size(); ++i)
        if (forms.at(i).value(FDKeys::kContentTable).toString() == table)
            return forms.at(i).value(FDKeys::kName).toString();
    return FDFormGenerator::generateFormForTable(m_document, table);
}

void LMFormDataController::openRelatedRecords(const QString &field, const QString &recordId)
{
    if (!m_document || recordId.isEmpty())
        return reloadData();
    const Value lines = m_document->relationships().value(RelationshipKey::Lines);
    for (int i = 0; i < lines.size(); ++i) {
        const Value line = lines.at(i);
        QString other;
        bool backwards = false;
        if (line.value(RelationshipKey::StartTable).toString() == contentTable() &&
            line.value(RelationshipKey::StartField).toString() == field) {
            other = line.value(RelationshipKey::EndTable).toString();
        } else if (line.value(RelationshipKey::EndTable).toString() == contentTable() &&
                   line.value(RelationshipKey::EndField).toString() == field) {
            other = line.value(RelationshipKey::StartTable).toString();
            backwards = true;
        } else {
            continue;
        }
        const std::shared_ptr<QLiteCursor> cursor =
            database()->executeQuery(QStringLiteral("SELECT * FROM `%1` WHERE id='%2'")
                                         .arg(contentTable(), QLiteDatabase::prepareStringForQuery(recordId)));
        if (!cursor || cursor->rowCount() == 0)
            break;
        // The stored list is bare ids; the editor's list quotes each one for its IN (…).
        const QString stored = cursor->rowAtIndex(0)->stringForColumn(contentTable() + QLatin1Char('.') + field);
        QStringList quoted;
        for (const QString &id : LMRelationship::splitLinkList(stored))
            quoted << QStringLiteral("'%1'").arg(QLiteDatabase::escapeQuotesFromString(id));
        beginRelEditWithParentRowId(recordId, other, quoted.join(QLatin1Char(',')), line, field, backwards);
        return;
    }
    reloadData();
}

LMFormDataController *LMFormDataController::beginRelEditWithParentRowId(const QString &parentRowid,
                                                                        const QString &table,
                                                                        const QString &commaIndexes,
                                                                        const Value &relationship,
                                                                        const QString &relname, bool isBackwards)
{
    const QString form = createFormForName(table);
    if (form.isEmpty())
        return nullptr;
    auto editor = std::make_unique<LMFormDataController>(form, m_document, m_window, true, commaIndexes, this,
                                                         parentRowid, relationship, isBackwards);
    LMFormDataController *raw = editor.get();
    if (m_container)
        m_container->addEditor(std::move(editor), relname);
    else
        m_detachedChild = std::move(editor);
    return raw;
}

// --- Data panel and filter

void LMFormDataController::focusedControlChanged(FEControl *control)
{
    m_focusedField = control && database()
                         ? FEBinding::boundField(*database(), contentTable(), control->info(), FDKeys::kValuePath)
                         : QString();
    if (LMDataPanel *panel = LMDataPanel::lazySharedManager())
        panel->startEditingForTable(contentTable(), m_focusedField, m_feview->recordNumber(), database(), this);
}

void LMFormDataController::toggleDataPanel()
{
    LMDataPanel *panel = LMDataPanel::sharedManager();
    panel->toggle();
    panel->startEditingForTable(contentTable(), m_focusedField, m_feview->recordNumber(), database(), this);
}

void LMFormDataController::toggleQueryFilter()
{
    if (m_filter)
        m_filter->toggleQueryView();
    reloadData();
}

void LMFormDataController::openQuery(const Value &definition)
{
    if (m_filter && definition.isDict())
        m_filter->programaticallyOpenQuery(definition, m_window);
    reloadData();
}

void LMFormDataController::commitEditor()
{
    // A text control being edited ends its edit, which writes it.
    if (QWidget *focus = m_widget->focusWidget())
        focus->clearFocus();
    if (LMDataPanel *panel = LMDataPanel::lazySharedManager())
        panel->complete();
}
