// SchemaNameRules: the character rules first, then the duplicate rules.
#include "SchemaNameRules.h"
#include "DesignVocabulary.h"

#include <QRegularExpression>

std::optional<Alert> SchemaNameRules::checkTableName(const QString &name, const Value &tables, const QString &renaming)
{
    // \z, not $: "$" also matches before a final line break, which would let "Name\n" through.
    static const QRegularExpression pattern(QStringLiteral("\\A[A-Za-z0-9 _-]+\\z"));
    if (!pattern.match(name).hasMatch() || name == QLatin1String("None"))
        return Alert::make(QStringLiteral("Unsuitable Characters"),
                           QStringLiteral("Tables names may only contain letters, numbers, spaces, underscores and "
                                          "hyphens. Please choose another."));
    // The database's own tables hold these names already; a design under one of them could never be created.
    static const QStringList internal{QStringLiteral("LM_Tables"), QStringLiteral("LM_SearchIndex"),
                                      QStringLiteral("QLP_SchemaTable")};
    if (internal.contains(name, Qt::CaseInsensitive) || name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
        return Alert::make(QStringLiteral("Name Already Exists"),
                           QStringLiteral("This name is already in use by another table. Please choose another."));
    for (int i = 0; i < tables.size(); ++i) {
        const QString existing = tables.at(i).value(DesignKey::Name).toString();
        if (!renaming.isEmpty() && existing == renaming)
            continue;
        if (existing.compare(name, Qt::CaseInsensitive) == 0)
            return Alert::make(QStringLiteral("Name Already Exists"),
                               QStringLiteral("This name is already in use by another table. Please choose another."));
    }
    return std::nullopt;
}

std::optional<Alert> SchemaNameRules::checkFieldNames(const Value &fields, bool requireNames, const QStringList &stored)
{
    if (!fields.isArray())
        return Alert::make(QStringLiteral("Unsuitable Design"), QStringLiteral("The design has no list of fields."));
    QStringList names;
    for (int i = 0; i < fields.size(); ++i)
        names << fields.at(i).value(DesignKey::Name).toString();
    QStringList exempt = stored; // each stored name once: a second field of that name is a new one
    for (int i = 0; i < fields.size(); ++i) {
        if (!fields.at(i).isDict() || (requireNames && names.at(i).isEmpty()))
            return Alert::make(QStringLiteral("Unsuitable Design"),
                               QStringLiteral("Field %1 of the design has no name.").arg(i + 1));
        if (exempt.removeOne(names.at(i)))
            continue;
        QStringList others = names;
        others.removeAt(i);
        if (std::optional<Alert> refused = checkFieldName(names.at(i), others)) {
            refused->informativeText = QStringLiteral("Field \"%1\": %2").arg(names.at(i), refused->informativeText);
            return refused;
        }
    }
    return std::nullopt;
}

std::optional<Alert> SchemaNameRules::checkFieldName(const QString &name, const QStringList &otherFieldNames)
{
    static const QRegularExpression pattern(QStringLiteral("\\A([A-Za-z0-9 _-]+)?\\z"));
    if (!pattern.match(name).hasMatch())
        return Alert::make(QStringLiteral("Unsuitable Characters"),
                           QStringLiteral("Field names may only contain letters, numbers, spaces, underscores and "
                                          "hyphens. Empty names will be ignored. Please choose another."));
    // SQLite column names ignore case: "name" beside "Name" would make the table's rebuild fail.
    if (!name.isEmpty() && otherFieldNames.contains(name, Qt::CaseInsensitive))
        return Alert::make(QStringLiteral("Name Already Exists"),
                           QStringLiteral("This name is already in use by another field. Please choose another."));
    return std::nullopt;
}
