// LMTableEditModel: cells of the grid from the cursor, by datatype; writes are handed to the controller.
#include "LMTableEditModel.h"
#include "DesignVocabulary.h"

#include "QLiteCursor.h"

#include <QPointer>

namespace {
const FieldFormatter kNoFormatter;
} // namespace

LMTableEditModel::LMTableEditModel(QObject *parent) : QAbstractTableModel(parent) {}

QString LMTableEditModel::imageNameForDatatype(const QString &datatype)
{
    if (Datatypes::is(datatype, Datatype::Image))
        return QStringLiteral("ViewImageButton");
    if (Datatypes::is(datatype, Datatype::Audio))
        return QStringLiteral("ViewAudioButton");
    if (Datatypes::is(datatype, Datatype::Video))
        return QStringLiteral("ViewVideoButton");
    if (Datatypes::is(datatype, Datatype::Attachment))
        return QStringLiteral("ViewFileContentsButton");
    return QString();
}

void LMTableEditModel::resetColumns()
{
    beginResetModel();
    m_fields.clear();
    m_types.clear();
    m_formatters.clear();
    m_options.clear();
    if (m_database) {
        m_fields = m_database->allNamesForTable(m_table);
        m_types = m_database->allTypesForTable(m_table);
    }
    for (int c = 0; c < m_fields.size(); ++c) {
        m_formatters.push_back(m_database->formatterForTable(m_table, m_fields[c]));
        QStringList titles;
        if (Datatypes::is(m_types.value(c), Datatype::Options))
            titles = m_database->objectForKey(DesignKey::Options, m_table, m_fields[c]).toStringList();
        m_options.push_back(titles);
    }
    m_sortColumn = -1;
    m_sortType = -1;
    endResetModel();
}

void LMTableEditModel::releaseRows()
{
    if (m_rows)
        m_rows->setRowsArrivedHandler({});
    m_rows.reset();
}

void LMTableEditModel::syncRowCount()
{
    const int count = m_rows ? int(m_rows->availableRowCount()) : 0;
    if (count <= m_rowCount)
        return;
    beginInsertRows(QModelIndex(), m_rowCount, count - 1);
    m_rowCount = count;
    endInsertRows();
}

void LMTableEditModel::setRows(std::shared_ptr<QLiteCursor> rows)
{
    if (m_rows && m_rows != rows)
        m_rows->setRowsArrivedHandler({});
    if (rows) {
        QPointer<LMTableEditModel> self(this);
        rows->setRowsArrivedHandler([self] {
            if (self)
                self->syncRowCount();
        });
    }
    const int count = rows ? int(rows->availableRowCount()) : 0;
    if (count == m_rowCount && count > 0) {
        m_rows = std::move(rows);
        emit dataChanged(index(0, 0), index(count - 1, columnCount() - 1));
        return;
    }
    beginResetModel();
    m_rows = std::move(rows);
    m_rowCount = count;
    endResetModel();
}

const FieldFormatter &LMTableEditModel::formatterAt(int column) const
{
    return column >= 0 && column < int(m_formatters.size()) ? m_formatters[size_t(column)] : kNoFormatter;
}

QStringList LMTableEditModel::optionTitlesAt(int column) const
{
    return column >= 0 && column < int(m_options.size()) ? m_options[size_t(column)] : QStringList();
}

QString LMTableEditModel::cellString(int row, const QString &field) const
{
    // Rows past those the view shows yet are the cursor's to answer: its list may still be being read.
    if (!m_rows || row < 0)
        return QString();
    const Value value = m_rows->valueForColumn(m_table + QLatin1Char('.') + field, quint32(row));
    return value.isString() ? value.toString() : value.description();
}

QString LMTableEditModel::idForRow(int row) const
{
    const QString id = cellString(row, QStringLiteral("id"));
    return DesignVocabulary::isNullLike(id) ? QString() : id;
}

Value LMTableEditModel::displayValue(int column, int row) const
{
    const QString type = datatypeAt(column);
    if (Datatypes::isMedia(type) || !hasFields())
        return Value();
    QString text = cellString(row, fieldAt(column));
    if (DesignVocabulary::isNullLike(text))
        text.clear();
    if (Datatypes::is(type, Datatype::Options))
        return Value(int(optionTitlesAt(column).indexOf(text)));
    return OXDatabase::dbToNative(text, type);
}

QString LMTableEditModel::formatValue(const Value &value, int column) const
{
    const QString type = datatypeAt(column);
    if (value.isNull())
        return QString();
    if (Datatypes::is(type, Datatype::Number) || Datatypes::is(type, Datatype::Date))
        return formatterAt(column).format(value);
    if (Datatypes::is(type, Datatype::Options))
        return optionTitlesAt(column).value(int(value.toInt()));
    if (Datatypes::is(type, Datatype::List))
        return value.toStringList().join(QStringLiteral(", "));
    if (Datatypes::is(type, Datatype::YesNo))
        return QString();
    return value.isString() ? value.toString() : value.stringValue();
}

QString LMTableEditModel::displayText(int column, int row) const
{
    return formatValue(displayValue(column, row), column);
}

int LMTableEditModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int LMTableEditModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_fields.isEmpty() ? 1 : int(m_fields.size());
}

QVariant LMTableEditModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const int column = index.column();
    const QString type = datatypeAt(column);
    switch (role) {
    case Qt::DisplayRole:
        if (Datatypes::is(type, Datatype::YesNo) || Datatypes::is(type, Datatype::Relationship) ||
            Datatypes::isMedia(type))
            return QVariant();
        return displayText(column, index.row());
    case Qt::EditRole: return QVariant::fromValue(displayValue(column, index.row()));
    case Qt::CheckStateRole:
        if (!Datatypes::is(type, Datatype::YesNo))
            return QVariant();
        return displayValue(column, index.row()).toBool() ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        if (Datatypes::is(type, Datatype::Number))
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    case DatatypeRole: return type;
    case FieldRole: return fieldAt(column);
    case DisplayValueRole: return QVariant::fromValue(displayValue(column, index.row()));
    default: return QVariant();
    }
}

QVariant LMTableEditModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return section + 1;
        return QVariant();
    }
    if (role == Qt::DisplayRole)
        return fieldAt(section);
    if (role == FieldRole)
        return fieldAt(section);
    return QVariant();
}

Qt::ItemFlags LMTableEditModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
    const QString type = datatypeAt(index.column());
    // Dates are typed in the cell too (the data panel stays one way among others).
    if (!hasFields() || Datatypes::is(type, Datatype::Text) || Datatypes::is(type, Datatype::Number) ||
        Datatypes::is(type, Datatype::Date) || Datatypes::is(type, Datatype::FilePath) ||
        Datatypes::is(type, Datatype::List) || Datatypes::is(type, Datatype::Options))
        flags |= Qt::ItemIsEditable;
    if (Datatypes::is(type, Datatype::YesNo))
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool LMTableEditModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || !m_writer)
        return false;
    if (role == Qt::CheckStateRole)
        return m_writer(Value(value.toInt() == Qt::Checked), index.column(), index.row());
    if (role != Qt::EditRole)
        return false;
    return m_writer(value.canConvert<Value>() ? value.value<Value>() : Value(value.toString()), index.column(),
                    index.row());
}

int LMTableEditModel::sortType(int column) const
{
    return column == m_sortColumn ? m_sortType : -1;
}

void LMTableEditModel::setSortType(int column, int type)
{
    m_sortColumn = type < 0 ? -1 : column;
    m_sortType = type < 0 ? -1 : type;
}
