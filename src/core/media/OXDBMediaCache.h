// OXDBMediaCache: the per-document companion of cell writes and row deletes for media values.
#pragma once

#include "Value.h"

#include <QHash>
#include <QString>

class OXDatabase;

class OXDBMediaCache {
public:
    // `database` is the document's connection; not owned.
    explicit OXDBMediaCache(OXDatabase *database);

    OXDatabase *database() const { return m_database; }
    void setDatabase(OXDatabase *database) { m_database = database; }

    // Writes the Base64 of the value's media bytes into the cell; nothing for values that are not media.
    void addNativeObject(const Value &value, const QString &table, const QString &column, const QString &rowid);
    void removeNativeObjectForTable(const QString &table, const QString &column, const QString &rowid);
    void removeNativeObjectsForTable(const QString &table, const QString &rowid);
    // Decoded media are not kept in memory, so there is never a cached object to hand out.
    Value nativeObjectForTable(const QString &table, const QString &column, const QString &rowid) const;

    static QString keyForTable(const QString &table, const QString &col, const QString &rowid);
    // Whether `key` names a cell of the row (pattern "table`*`rowid").
    static bool keyMatchesRow(const QString &key, const QString &table, const QString &rowid);

    int count() const { return int(m_cache.size()); }

private:
    OXDatabase *m_database = nullptr;
    QHash<QString, Value> m_cache;
};
