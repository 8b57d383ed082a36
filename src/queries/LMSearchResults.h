// LMSearchResults: the quick search's hits by kind; a name counts once per search pass that found it.
#pragma once

#include "Value.h"

#include <QHash>
#include <QString>
#include <QStringList>

class LMSearchResults {
public:
    // The kinds in the order the results are shown: "Tables", "Queries", "Forms", "Reports", "Scripts".
    static const QStringList &kinds();

    void add(const QString &kind, const QString &name) { m_names[kind].append(name); }
    void clear() { m_names.clear(); }
    // Every hit of one kind in the order found, repeats included.
    QStringList names(const QString &kind) const { return m_names.value(kind); }
    int occurrences(const QString &kind, const QString &name) const { return int(m_names.value(kind).count(name)); }
    // The names of one kind, most hits first (ties keep the order found), each once.
    QStringList ranked(const QString &kind) const;
    bool isEmpty() const;
    // The stored form: "Top Hit" (always empty) and one array per kind, repeats included.
    Value toValue() const;

private:
    QHash<QString, QStringList> m_names;
};
