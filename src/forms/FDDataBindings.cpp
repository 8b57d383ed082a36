// FDDataBindings: unbinding removes the key, so a field that happens to be named "None" is never bound by accident.
#include "FDDataBindings.h"

#include "FDCanvas.h"
#include "OXDatabase.h"

QStringList FDDataBindings::choices() const
{
    QStringList list{kNone, QString()};
    if (m_canvas && m_database)
        list += m_database->allNamesForTable(m_canvas->contentTable());
    return list;
}

bool FDDataBindings::isEnabled() const
{
    return m_canvas && !m_canvas->selection().isEmpty();
}

QString FDDataBindings::binding(const QString &pathKey) const
{
    if (!isEnabled())
        return kNone;
    const QString field = m_canvas->selection().first()->info().value(pathKey).toString();
    return field.isEmpty() ? kNone : field;
}

void FDDataBindings::bind(const QString &pathKey, const QString &field)
{
    if (!isEnabled())
        return;
    for (const FDControlPtr &control : m_canvas->selection()) {
        Value info = control->info();
        if (field.isEmpty() || field == kNone)
            info.remove(pathKey);
        else
            info.set(pathKey, field);
    }
    m_canvas->notifyChanged();
}
