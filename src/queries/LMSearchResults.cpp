// LMSearchResults: ranking by occurrences with a stable order among equals.
#include "LMSearchResults.h"

#include "ItemKind.h"

#include <algorithm>

const QStringList &LMSearchResults::kinds()
{
    static const QStringList list = [] {
        QStringList modes;
        for (ItemKind kind : ItemKinds::all())
            modes << ItemKinds::mode(kind);
        return modes;
    }();
    return list;
}

QStringList LMSearchResults::ranked(const QString &kind) const
{
    const QStringList all = m_names.value(kind);
    QHash<QString, int> counts;
    QStringList unique;
    for (const QString &name : all) {
        if (counts[name]++ == 0)
            unique.append(name);
    }
    std::stable_sort(unique.begin(), unique.end(),
                     [&counts](const QString &a, const QString &b) { return counts.value(a) > counts.value(b); });
    return unique;
}

bool LMSearchResults::isEmpty() const
{
    return std::all_of(kinds().cbegin(), kinds().cend(), [this](const QString &k) { return names(k).isEmpty(); });
}

Value LMSearchResults::toValue() const
{
    Value result = Value::dict();
    result.set(QStringLiteral("Top Hit"), Value::array());
    for (const QString &kind : kinds())
        result.set(kind, Value(names(kind)));
    return result;
}
