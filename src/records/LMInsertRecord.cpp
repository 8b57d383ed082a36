// LMInsertRecord: listing, searching and choosing a record to link.
#include "LMInsertRecord.h"
#include "DesignVocabulary.h"

#include "LMTableEditModel.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QString backQuotedList(const QStringList &names)
{
    QStringList quoted;
    for (const QString &name : names)
        quoted << QLiteDatabase::quoteIdentifier(name);
    return quoted.join(QStringLiteral(", "));
}
} // namespace

LMInsertRecord::LMInsertRecord(LMInsertRecordDelegate *delegate, QWidget *window, OXDatabase *database,
                               const QString &table)
    : QDialog(window), m_delegate(delegate), m_delegateObject(dynamic_cast<QObject *>(delegate)),
      m_delegateIsObject(m_delegateObject), m_database(database), m_table(table)
{
    setObjectName(QStringLiteral("LMInsertRecord"));
    setWindowTitle(QStringLiteral("Insert Record"));
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    const QStringList names = database->allNamesForTable(table);
    const QStringList types = database->allTypesForTable(table);
    for (int i = 0; i < names.size(); ++i) {
        if (Datatypes::is(types.value(i), Datatype::Relationship))
            continue;
        m_searchFields << names[i];
        if (!Datatypes::isMedia(types.value(i)))
            m_listFields << names[i];
    }

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Choose the record to add to the relationship:"), this));
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("search"));
    m_search->setPlaceholderText(QStringLiteral("Search"));
    m_search->setClearButtonEnabled(true);
    layout->addWidget(m_search);
    m_list = new QTableWidget(this);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    layout->addWidget(m_list, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &LMInsertRecord::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LMInsertRecord::reject);
    connect(m_list, &QTableWidget::doubleClicked, this, &LMInsertRecord::accept);
    connect(m_search, &QLineEdit::textChanged, this, &LMInsertRecord::reloadRows);
    resize(520, 360);
    reloadRows();
}

QString LMInsertRecord::listingQuery() const
{
    const QString idList = liveDelegate() ? liveDelegate()->indices() : QString();
    const QString text = m_search->text();
    if (text.isEmpty())
        return QStringLiteral("SELECT ") + backQuotedList(m_listFields) + QStringLiteral(" FROM ") +
               QLiteDatabase::quoteIdentifier(m_table) + QStringLiteral(" WHERE id NOT IN (%1)").arg(idList);
    QStringList likes;
    const QString escaped = OXDatabase::escapeQuotesFromString(text);
    for (const QString &field : m_searchFields)
        likes << QStringLiteral(" (%1 LIKE '%2%3%4')")
                     .arg(QLiteDatabase::quoteIdentifier(field), QStringLiteral("%"), escaped, QStringLiteral("%"));
    // Searching still offers only records that are not linked yet, so no record is linked twice.
    return QStringLiteral("SELECT ") + backQuotedList(m_searchFields) + QStringLiteral(" FROM ") +
           QLiteDatabase::quoteIdentifier(m_table) + QStringLiteral(" WHERE id NOT IN (%1) AND (").arg(idList) +
           likes.join(QStringLiteral(" OR")) + QStringLiteral(")");
}

void LMInsertRecord::reloadRows()
{
    m_lastQuery = listingQuery();
    const std::shared_ptr<QLiteCursor> cursor = m_database->executeQuery(m_lastQuery);
    const int rows = cursor ? int(cursor->rowCount()) : 0;
    m_list->clear();
    m_list->setColumnCount(int(m_listFields.size()));
    m_list->setHorizontalHeaderLabels(m_listFields);
    m_list->setRowCount(rows);
    m_ids.clear();
    for (int r = 0; r < rows; ++r) {
        const QLiteRow row = *cursor->rowAtIndex(quint32(r));
        m_ids << row.stringForColumn(m_table + QStringLiteral(".id"));
        for (int c = 0; c < m_listFields.size(); ++c) {
            QString text = row.stringForColumn(m_table + QLatin1Char('.') + m_listFields[c]);
            if (DesignVocabulary::isNullLike(text))
                text.clear();
            const Value native = m_database->dbToNativeForTable(text, m_table, m_listFields[c]);
            m_list->setItem(
                r, c, new QTableWidgetItem(m_database->addFormattingToObject(native, m_table, m_listFields[c]).text));
        }
    }
    if (rows > 0)
        m_list->selectRow(0);
}

int LMInsertRecord::rowCount() const
{
    return int(m_ids.size());
}
QString LMInsertRecord::idAtRow(int row) const
{
    return m_ids.value(row);
}
void LMInsertRecord::setSearchText(const QString &text)
{
    m_search->setText(text);
}
void LMInsertRecord::selectRow(int row)
{
    m_list->selectRow(row);
}

void LMInsertRecord::accept()
{
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    const QString id = selected.isEmpty() ? QString() : m_ids.value(selected.first().row());
    QDialog::accept();
    if (liveDelegate() && !id.isEmpty())
        liveDelegate()->insertButtonSheetEnded(id);
}
