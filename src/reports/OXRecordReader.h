// OXRecordReader: the reads formula objects make: record ids, one cell, a field over many records, sorting.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class OXDatabase;

namespace OXRecordReader {
// Every record id of a table, in the order "SELECT `id` FROM `table`" returns them; none when it fails.
std::optional<QStringList> allIds(OXDatabase &database, const QString &table);
// One field of one record as stored text ("<null>" for NULL); none when no row comes back.
std::optional<QString> cell(OXDatabase &database, const QString &table, const QString &field, const QString &id);
// The field of every record in order, inside one transaction; none when any record cannot be read.
std::optional<QStringList> column(OXDatabase &database, const QString &table, const QString &field,
                                  const QStringList &ids);
// The ids ordered by the field's native values (numbers numerically, dates chronologically, text
// lexically); records with equal values keep their order. None when a read fails.
std::optional<QStringList> sortedIds(OXDatabase &database, const QString &table, const QString &field,
                                     const QStringList &ids, bool descending);
// The ids of "SELECT id FROM `table` WHERE condition"; none when the statement fails.
std::optional<QStringList> selectIds(OXDatabase &database, const QString &table, const QString &condition);

// Opens a transaction unless one is active, and ends only the one it opened.
class Transaction {
public:
    explicit Transaction(OXDatabase &database);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    OXDatabase &m_database;
    bool m_began = false;
};
} // namespace OXRecordReader
