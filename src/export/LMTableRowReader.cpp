// LMTableRowReader: rows are read straight from the statement so an export never holds the whole result.
#include "LMTableRowReader.h"

#include <QBuffer>

#include "OXDatabase.h"

#include <sqlite3.h>

#include <cmath>

LMTableRowReader::LMTableRowReader(OXDatabase *db, const QString &table, const QStringList &fields) : m_db(db)
{
    if (!db || !db->handle()) {
        m_error = QStringLiteral("the database is not open");
        return;
    }
    const QByteArray sql = QStringLiteral("SELECT * FROM %1").arg(QLiteDatabase::quoteIdentifier(table)).toUtf8();
    if (sqlite3_prepare_v2(db->handle(), sql.constData(), int(sql.size()), &m_statement, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(db->handle()));
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        return;
    }
    // With full column names on, a result column is called "table.field"; names have no dots otherwise.
    QStringList names;
    for (int c = 0; c < sqlite3_column_count(m_statement); ++c) {
        QString name = QString::fromUtf8(sqlite3_column_name(m_statement, c));
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        names << (dot >= 0 ? name.mid(dot + 1) : name);
    }
    for (const QString &field : fields) {
        int column = names.indexOf(field);
        if (column < 0) {
            for (int c = 0; c < names.size() && column < 0; ++c)
                if (names[c].compare(field, Qt::CaseInsensitive) == 0)
                    column = c;
        }
        m_columns << column;
    }
}

LMTableRowReader::~LMTableRowReader()
{
    sqlite3_finalize(m_statement);
}

bool LMTableRowReader::next()
{
    if (!m_statement)
        return false;
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db->handle()));
    return false;
}

QByteArray LMTableRowReader::utf8(int index) const
{
    const int column = index >= 0 && index < m_columns.size() ? m_columns[index] : -1;
    if (column < 0)
        return QByteArray();
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    if (!text)
        return QByteArray();
    return QByteArray::fromRawData(text, sqlite3_column_bytes(m_statement, column));
}

const char *LMTableRowReader::data(int index, qsizetype *length) const
{
    const int column = index >= 0 && index < m_columns.size() ? m_columns[index] : -1;
    const auto *text = column < 0 ? nullptr : reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    *length = text ? sqlite3_column_bytes(m_statement, column) : 0;
    return text ? text : "";
}

std::optional<double> LMTableRowReader::number(int index) const
{
    const int column = index >= 0 && index < m_columns.size() ? m_columns[index] : -1;
    if (column < 0)
        return std::nullopt;
    const int type = sqlite3_column_type(m_statement, column);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
        const double value = sqlite3_column_double(m_statement, column);
        return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
    }
    if (type != SQLITE_TEXT)
        return std::nullopt;
    bool ok = false;
    const double value = utf8(index).trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

QByteArray exportToBytes(const std::function<bool(QIODevice &out)> &write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!write(buffer))
        return QByteArray();
    return bytes;
}
