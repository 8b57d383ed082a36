// LMTableDesignRules: the editor's fixed tables and texts; number patterns come from ICU's own formatters.
#include "LMTableDesignRules.h"

#include <QSet>
#include <memory>
#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/numfmt.h>

namespace {
QString fromIcu(const icu::UnicodeString &s)
{
    return QString(reinterpret_cast<const QChar *>(s.getBuffer()), s.length());
}

bool isMedia(const QString &type)
{
    return type == QLatin1String("Image") || type == QLatin1String("Audio") || type == QLatin1String("Video") ||
           type == QLatin1String("Attachment");
}

// The pattern of one ICU style; empty when ICU gives no decimal format for it.
QString icuPattern(UNumberFormatStyle style, const icu::Locale &locale)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::NumberFormat> format(icu::NumberFormat::createInstance(locale, style, status));
    auto *decimal = dynamic_cast<icu::DecimalFormat *>(format.get());
    if (U_FAILURE(status) || !decimal)
        return QString("");
    icu::UnicodeString pattern;
    decimal->toPattern(pattern);
    return fromIcu(pattern);
}
} // namespace

namespace LMTableDesignRules {

const QStringList &popUpTitles()
{
    static const QStringList titles{"Primary Key", "Text", "Number",  "Date",       "Yes/No",    "Image",       "Audio",
                                    "Video",       "List", "Options", "Attachment", "File Path", "Relationship"};
    return titles;
}

int typeToNumber(const QString &datatype)
{
    return int(popUpTitles().indexOf(datatype));
}

QString numberToType(int index)
{
    if (index < 0 || index >= popUpTitles().size())
        return QString();
    return popUpTitles().at(index);
}

Value newField()
{
    return Value::dict({{"Name", Value("")},
                        {"Type", Value("Text")},
                        {"Primary Key", Value(false)},
                        {"Unique", Value(false)},
                        {"Not Null", Value(false)},
                        {"Default", Value("")},
                        {"Check", Value("")},
                        {"Regex", Value("")},
                        {"Format", Value("")},
                        {"Yes Value", Value("Yes")},
                        {"No Value", Value("No")}});
}

Value idField()
{
    return Value::dict({{"Name", Value("id")},
                        {"Type", Value("Primary Key")},
                        {"Unique", Value(true)},
                        {"Not Null", Value(true)},
                        {"Default", Value("")},
                        {"Check", Value("")},
                        {"Regex", Value("")},
                        {"Format", Value("")},
                        {"Yes Value", Value("Yes")},
                        {"No Value", Value("No")}});
}

TypeChange classifyTypeChange(const QString &oldType, const QString &newType, bool columnExists)
{
    if (!columnExists)
        return TypeChange::Free;
    if (newType == QLatin1String("Relationship") || isMedia(oldType))
        return TypeChange::DeletesData;
    if (oldType == QLatin1String("Relationship") || isMedia(newType))
        return TypeChange::NonReversible;
    return TypeChange::Free;
}

QString untitledTableName(const QStringList &taken)
{
    const QSet<QString> used(taken.cbegin(), taken.cend());
    for (int n = 1; n < 999999; ++n) {
        const QString name = QStringLiteral("untitled %1").arg(n);
        if (!used.contains(name))
            return name;
    }
    return QString();
}

const QStringList &formatMenuTitles()
{
    static const QStringList titles{"None", "Decimal", "Comma", "Currency", "Percent"};
    return titles;
}

QString formatPatternForMenuTitle(const QString &title, const QLocale &locale)
{
    const icu::Locale icuLocale(locale.name().toUtf8().constData());
    if (title == QLatin1String("None"))
        return QString("");
    if (title == QLatin1String("Decimal"))
        return icuPattern(UNUM_DECIMAL, icuLocale);
    // The menu's "Comma" has always stood for the scientific style.
    if (title == QLatin1String("Comma"))
        return icuPattern(UNUM_SCIENTIFIC, icuLocale);
    if (title == QLatin1String("Percent"))
        return icuPattern(UNUM_PERCENT, icuLocale);
    if (title == QLatin1String("Currency")) {
        QString pattern = icuPattern(UNUM_CURRENCY, icuLocale);
        UErrorCode status = U_ZERO_ERROR;
        const icu::DecimalFormatSymbols symbols(icuLocale, status);
        const QString symbol =
            U_SUCCESS(status) ? fromIcu(symbols.getSymbol(icu::DecimalFormatSymbols::kCurrencySymbol)) : QString();
        // A quoted symbol is literal text in the pattern; a quote inside it is doubled.
        QString quoted = symbol;
        quoted.replace(QLatin1Char('\''), QLatin1String("''"));
        pattern.replace(QChar(0x00A4), QLatin1Char('\'') + quoted + QLatin1Char('\''));
        return pattern;
    }
    return QString();
}

const QStringList &boundOperators()
{
    static const QStringList operators{"x", "=", "\u2260", "<", ">", "\u2264", "\u2265"};
    return operators;
}

Alert deletesDataAlert()
{
    return Alert::make("Changing the datatype will DELETE all data in the column.",
                       "Are you sure you want to delete all data in the column?", {"Cancel", "Change Datatype"});
}

Alert nonReversibleAlert()
{
    return Alert::make("This action is non-reversible.", "You will not be able to change the datatype back.",
                       {"Change", "Don't Change"});
}

Alert removeFieldAlert()
{
    return Alert::make("Are you sure you want to delete the field and all its data?",
                       "All the data in that field will be deleted. This action is not undoable.",
                       {"Delete", "Cancel"});
}

Alert createFormAlert()
{
    return Alert::make("Create Form?", "Would you like to create an autogenerated form for this table?",
                       {"Create", "Don't Create", "Create and open"});
}

Alert tableNotDeletedAlert()
{
    return Alert::make("Table not deleted", "The table was not deleted.");
}

} // namespace LMTableDesignRules
