// OXValue: value texts, the scalar mathematics and the conversions back to grids, rows and columns.
#include "OXValue.h"

#include "DesignVocabulary.h"
#include "OXColumn.h"
#include "OXDatabase.h"
#include "OXFormulaText.h"
#include "OXGrid.h"
#include "OXRecordReader.h"
#include "OXRow.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <functional>

OXObjectPtr OXValue::parseFormulaComponent(const QString &component)
{
    if (component.startsWith(QLatin1Char(':')))
        return evaluateFormulaFunctionComponent(component);
    return shared_from_this();
}

bool OXValue::isNumberField() const
{
    return Datatypes::fromName(database().typeForTable(tableName(), columnName())) == Datatype::Number;
}

bool OXValue::fieldExists() const
{
    return !tableName().isEmpty() && !columnName().isEmpty() &&
           !database().typeForTable(tableName(), columnName()).isNull();
}

std::optional<QString> OXValue::unformattedText() const
{
    if (m_description.contains(kStringValue))
        return m_description.value(kStringValue).toString();
    if (tableName().isEmpty() || columnName().isEmpty() || !hasRowid())
        return std::nullopt;
    return OXRecordReader::cell(database(), tableName(), columnName(), rowid());
}

std::optional<QString> OXValue::formattedText() const
{
    const std::optional<QString> text = unformattedText();
    if (!text || tableName().isEmpty() || columnName().isEmpty())
        return text;
    const Value native = database().dbToNativeForTable(*text, tableName(), columnName());
    return database().addFormattingToObject(native, tableName(), columnName()).text;
}

std::optional<QString> OXValue::stringValue() const
{
    if (!fieldExists())
        return unformattedText();
    if (isNumberField())
        return unformattedText();
    return formattedText();
}

namespace {
const QHash<QString, std::function<double(double)>> &unaryFunctions()
{
    static const QHash<QString, std::function<double(double)>> table = {
        {QStringLiteral("sin"), [](double x) { return std::sin(x); }},
        {QStringLiteral("cos"), [](double x) { return std::cos(x); }},
        {QStringLiteral("tan"), [](double x) { return std::tan(x); }},
        {QStringLiteral("arcsin"), [](double x) { return std::asin(x); }},
        {QStringLiteral("arccos"), [](double x) { return std::acos(x); }},
        {QStringLiteral("arctan"), [](double x) { return std::atan(x); }},
        {QStringLiteral("sinh"), [](double x) { return std::sinh(x); }},
        {QStringLiteral("cosh"), [](double x) { return std::cosh(x); }},
        {QStringLiteral("tanh"), [](double x) { return std::tanh(x); }},
        {QStringLiteral("arcsinh"), [](double x) { return std::asinh(x); }},
        {QStringLiteral("arccosh"), [](double x) { return std::acosh(x); }},
        {QStringLiteral("arctanh"), [](double x) { return std::atanh(x); }},
        {QStringLiteral("csc"), [](double x) { return 1.0 / std::sin(x); }},
        {QStringLiteral("sec"), [](double x) { return 1.0 / std::cos(x); }},
        {QStringLiteral("cot"), [](double x) { return 1.0 / std::tan(x); }},
        {QStringLiteral("arccsc"), [](double x) { return std::asin(1.0 / x); }},
        {QStringLiteral("arcsec"), [](double x) { return std::acos(1.0 / x); }},
        {QStringLiteral("arccot"), [](double x) { return std::atan(1.0 / x); }},
        {QStringLiteral("csch"), [](double x) { return 1.0 / std::sinh(x); }},
        {QStringLiteral("sech"), [](double x) { return 1.0 / std::cosh(x); }},
        {QStringLiteral("coth"), [](double x) { return 1.0 / std::tanh(x); }},
        {QStringLiteral("arccsch"), [](double x) { return std::asinh(1.0 / x); }},
        {QStringLiteral("arcsech"), [](double x) { return std::acosh(1.0 / x); }},
        {QStringLiteral("arccoth"), [](double x) { return std::atanh(1.0 / x); }},
        {QStringLiteral("exp"), [](double x) { return std::exp(x); }},
        {QStringLiteral("ln"), [](double x) { return std::log(x); }},
        {QStringLiteral("log10"), [](double x) { return std::log10(x); }},
        {QStringLiteral("log2"), [](double x) { return std::log2(x); }},
        {QStringLiteral("abs"), [](double x) { return std::fabs(x); }},
        {QStringLiteral("floor"), [](double x) { return std::floor(x); }},
        {QStringLiteral("ceil"), [](double x) { return std::ceil(x); }},
        {QStringLiteral("round"), [](double x) { return std::round(x); }},
        {QStringLiteral("sqrt"), [](double x) { return std::sqrt(x); }},
        {QStringLiteral("reciprocal"), [](double x) { return 1.0 / x; }},
    };
    return table;
}

// The functions of one argument: x and the argument read as a number; none when the argument reads as 0.
std::optional<double> binaryFunction(const QString &name, double x, double argument)
{
    if (argument == 0.0)
        return std::nullopt;
    if (name == QLatin1String("log"))
        return std::log(x) / std::log(argument);
    if (name == QLatin1String("root"))
        return std::pow(x, 1.0 / argument);
    if (name == QLatin1String("pow"))
        return std::pow(x, argument);
    return std::nullopt;
}
} // namespace

OXObjectPtr OXValue::mathFunction(const QString &name, const OXArguments &args) const
{
    const bool isUnary = args.none() && unaryFunctions().contains(name);
    const bool isBinary =
        args.one() && (name == QLatin1String("log") || name == QLatin1String("root") || name == QLatin1String("pow"));
    if (!isUnary && !isBinary)
        return nullptr;
    if (!isNumberField())
        return nullptr;
    const std::optional<QString> text = unformattedText();
    if (!text)
        return nullptr;
    const double x = OXFormulaText::leadingDouble(*text);
    std::optional<double> result;
    if (isUnary)
        result = unaryFunctions().value(name)(x);
    else
        result = binaryFunction(name, x, OXFormulaText::leadingDouble(args.first()));
    if (!result)
        return nullptr;
    return valueWithString(OXFormulaText::cleanedText(*result));
}

OXObjectPtr OXValue::callFunction(const QString &name, const OXArguments &args)
{
    if (OXObjectPtr math = mathFunction(name, args))
        return math;
    if (!args.none())
        return nullptr;
    const auto text = [&](const std::optional<QString> &t) -> OXObjectPtr {
        return t ? plainValueWithString(*t) : nullptr;
    };
    if (name == QLatin1String("format") || name == QLatin1String("formatted"))
        return text(formattedText());
    if (name == QLatin1String("unformat") || name == QLatin1String("unformatted"))
        return text(unformattedText());
    if (name == QLatin1String("length")) {
        const std::optional<QString> t = formattedText();
        return t ? plainValueWithString(QString::number(t->size())) : nullptr;
    }
    if (name == QLatin1String("reverse")) {
        const std::optional<QString> t = formattedText();
        if (!t)
            return nullptr;
        // By code points, so a character outside the basic plane stays whole.
        QList<uint> codePoints = t->toUcs4();
        std::reverse(codePoints.begin(), codePoints.end());
        return plainValueWithString(
            QString::fromUcs4(reinterpret_cast<const char32_t *>(codePoints.constData()), codePoints.size()));
    }
    if (name == QLatin1String("tablename") || name == QLatin1String("table"))
        return plainValueWithString(tableName());
    if (name == QLatin1String("grid")) {
        if (tableName().isEmpty() || !hasRowids())
            return nullptr;
        Value d = descriptionWithoutRowids();
        d.remove(kStringValue);
        return std::make_shared<OXGrid>(database(), d, m_rowids);
    }
    if (name == QLatin1String("row")) {
        if (tableName().isEmpty() || !hasRowid())
            return nullptr;
        Value d = descriptionWithoutRowids();
        d.remove(kStringValue);
        return std::make_shared<OXRow>(database(), d, m_rowids);
    }
    if (name == QLatin1String("column")) {
        if (tableName().isEmpty() || !hasRowids() || columnName().isEmpty())
            return nullptr;
        Value d = descriptionWithoutRowids();
        d.remove(kStringValue);
        return std::make_shared<OXColumn>(database(), d, m_rowids);
    }
    return nullptr;
}
