// OXDBMediaCache: writes media bytes of a cell from its native value and forgets entries of removed rows.
#include "OXDBMediaCache.h"

#include "Base64.h"
#include "OXDatabase.h"

#include <QElapsedTimer>
#include <QLoggingCategory>

// Diagnostics only; nothing depends on them, so they stay quiet unless "orvix.media.debug" is enabled.
Q_LOGGING_CATEGORY(lcMedia, "orvix.media", QtWarningMsg)

namespace {
// Times the steps of one write: each lap since the previous one, the last one as "End".
class StepTimer {
public:
    void lap(const char *label)
    {
        qCDebug(lcMedia, "\t Lap %d Timer '%s' - took time: %f", ++m_step, label, seconds());
    }
    void end(const char *label)
    {
        qCDebug(lcMedia, "\t End %d Timer '%s' - took time: %f", ++m_step, label, seconds());
    }

private:
    double seconds()
    {
        const double s = m_timer.nsecsElapsed() / 1e9;
        m_timer.restart();
        return s;
    }
    QElapsedTimer m_timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    int m_step = 0;
};
} // namespace

OXDBMediaCache::OXDBMediaCache(OXDatabase *database) : m_database(database) {}

QString OXDBMediaCache::keyForTable(const QString &table, const QString &col, const QString &rowid)
{
    return table + QLatin1Char('`') + col + QLatin1Char('`') + rowid;
}

bool OXDBMediaCache::keyMatchesRow(const QString &key, const QString &table, const QString &rowid)
{
    const QString prefix = table + QLatin1Char('`');
    const QString suffix = QLatin1Char('`') + rowid;
    return key.size() >= prefix.size() + suffix.size() && key.startsWith(prefix) && key.endsWith(suffix);
}

void OXDBMediaCache::addNativeObject(const Value &value, const QString &table, const QString &column,
                                     const QString &rowid)
{
    if (!m_database)
        return;
    StepTimer timer;
    const std::optional<QByteArray> data = m_database->dataForNativeObject(value, table, column);
    timer.lap("creating data");
    if (!data)
        return;
    timer.lap("encode");
    const QString base64 = Base64::encode(*data);
    timer.lap("base64");
    const QString sql = QStringLiteral("UPDATE %1 SET %2= '%3' WHERE `id`='%4'")
                            .arg(QLiteDatabase::quoteIdentifier(table), QLiteDatabase::quoteIdentifier(column), base64,
                                 QLiteDatabase::prepareStringForQuery(rowid));
    timer.lap("builtQuery");
    m_database->performQuery(sql);
    qCDebug(lcMedia, "Error = %d: %s", m_database->lastErrorID(), qUtf8Printable(m_database->lastError()));
    timer.end("ran query");
}

void OXDBMediaCache::removeNativeObjectForTable(const QString &table, const QString &column, const QString &rowid)
{
    // Nothing is kept beyond the dictionary, so forgetting the entry frees everything there is to free.
    m_cache.remove(keyForTable(table, column, rowid));
}

void OXDBMediaCache::removeNativeObjectsForTable(const QString &table, const QString &rowid)
{
    for (auto it = m_cache.begin(); it != m_cache.end();) {
        if (keyMatchesRow(it.key(), table, rowid))
            it = m_cache.erase(it);
        else
            ++it;
    }
}

Value OXDBMediaCache::nativeObjectForTable(const QString &, const QString &, const QString &) const
{
    qCDebug(lcMedia) << "Native object for table";
    return Value();
}
