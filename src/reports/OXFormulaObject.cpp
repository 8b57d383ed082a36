// OXFormulaObject: component grammar shared by every formula object, and the plain text result.
#include "OXFormulaObject.h"

#include "HVICURegex.h"
#include "OXValue.h"

const QString OXFormulaObject::kTableName = QStringLiteral("Table Name");
const QString OXFormulaObject::kRowids = QStringLiteral("Rowids");
const QString OXFormulaObject::kRowid = QStringLiteral("Rowid");
const QString OXFormulaObject::kColumnName = QStringLiteral("Column Name");
const QString OXFormulaObject::kStringValue = QStringLiteral("String Value");

OXFormulaObject::OXFormulaObject(OXDatabase &database, const Value &description, std::optional<QStringList> rowids)
    : m_description(description.isDict() ? description.deepCopy() : Value::dict()), m_rowids(std::move(rowids)),
      m_database(&database)
{
    if (m_description.contains(kRowids)) {
        if (!m_rowids)
            m_rowids = m_description.value(kRowids).toStringList();
        m_description.remove(kRowids);
    }
}

Value OXFormulaObject::description() const
{
    Value d = m_description.deepCopy();
    if (m_rowids)
        d.set(kRowids, Value(*m_rowids));
    return d;
}

QStringList OXFormulaObject::rowids() const
{
    return m_rowids.value_or(QStringList());
}

std::optional<qint64> OXFormulaObject::recordNumber(const QString &component)
{
    int i = 0;
    while (i < component.size() && component.at(i).isSpace())
        ++i;
    const int digitsStart = i;
    qint64 n = 0;
    for (; i < component.size() && component.at(i).isDigit() && component.at(i).unicode() < 128; ++i) {
        if (n > (std::numeric_limits<qint64>::max() - 9) / 10)
            break;
        n = n * 10 + (component.at(i).unicode() - '0');
    }
    if (i == digitsStart || n <= 0)
        return std::nullopt;
    return n;
}

OXObjectPtr OXFormulaObject::parseFormulaComponent(const QString &component)
{
    if (component.startsWith(QLatin1Char(':')))
        return evaluateFormulaFunctionComponent(component);
    if (takesRecordNumbers()) {
        if (const std::optional<qint64> n = recordNumber(component))
            return rowAtIndex(*n);
    }
    return columnNamed(component);
}

OXObjectPtr OXFormulaObject::evaluateFormulaFunctionComponent(const QString &component)
{
    static const HVICURegex pattern(QStringLiteral(":(?<name>[^\\(\\)]+)(\\((?<args>[^\\)\\(]*)\\))?"));
    const std::optional<HVICURegex::Match> match = pattern.findFirst(component);
    if (!match)
        return nullptr;
    const QString name = match->captured(QStringLiteral("name"));
    const QString argumentText = match->captured(QStringLiteral("args"));
    OXArguments args;
    if (!argumentText.isEmpty()) {
        for (const QString &argument : argumentText.split(QLatin1Char(',')))
            args.list << argument.trimmed();
        args.arity = args.list.size() == 1 ? OXArguments::Arity::One : OXArguments::Arity::Many;
    }
    return callFunction(name, args);
}

OXObjectPtr OXFormulaObject::valueWithString(const QString &text) const
{
    Value d = descriptionWithoutRowids();
    d.set(kStringValue, text);
    return std::make_shared<OXValue>(database(), d, m_rowids);
}

OXObjectPtr OXFormulaObject::plainValueWithString(const QString &text) const
{
    Value d = descriptionWithoutRowids();
    d.remove(kColumnName);
    d.set(kStringValue, text);
    return std::make_shared<OXValue>(database(), d, m_rowids);
}

OXPlainText::OXPlainText(OXDatabase &database, const QString &text)
    : OXFormulaObject(database, Value::dict()), m_text(text)
{
}
