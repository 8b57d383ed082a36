// ICU number formats behind NumberFormatter; one shared instance per configuration, guarded by a mutex.
#include "NumberFormatter.h"

#include <cmath>
#include <mutex>
#include <unicode/decimfmt.h>
#include <unicode/numfmt.h>
#include <unicode/rbnf.h>
#include <unicode/unistr.h>

namespace {

icu::UnicodeString toIcu(const QString &s)
{
    return icu::UnicodeString(reinterpret_cast<const UChar *>(s.utf16()), static_cast<int32_t>(s.size()));
}

QString fromIcu(const icu::UnicodeString &s)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(s.getBuffer()), s.length());
}

std::unique_ptr<icu::NumberFormat> plainFormat(const icu::Locale &locale)
{
    UErrorCode status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::DecimalFormat>(icu::UnicodeString(u"0.###"),
                                                       new icu::DecimalFormatSymbols(locale, status), status);
    if (U_FAILURE(status))
        return nullptr;
    // Significant digits, not fraction digits: 1e-20 stays visible and binary noise (0.1 + 0.2) is cut off.
    format->setGroupingUsed(false);
    format->setSignificantDigitsUsed(true);
    format->setMinimumSignificantDigits(1);
    format->setMaximumSignificantDigits(15);
    return format;
}

std::unique_ptr<icu::NumberFormat> styledFormat(const QString &name, const icu::Locale &locale, bool *isStyle)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::NumberFormat> format;
    *isStyle = true;
    if (name == QLatin1String("Decimal"))
        format.reset(icu::NumberFormat::createInstance(locale, status));
    else if (name == QLatin1String("Currency"))
        format.reset(icu::NumberFormat::createCurrencyInstance(locale, status));
    else if (name == QLatin1String("Percent"))
        format.reset(icu::NumberFormat::createPercentInstance(locale, status));
    else if (name == QLatin1String("Scientific"))
        format.reset(icu::NumberFormat::createScientificInstance(locale, status));
    else if (name == QLatin1String("Spell Out"))
        format = std::make_unique<icu::RuleBasedNumberFormat>(icu::URBNF_SPELLOUT, locale, status);
    else
        *isStyle = false;
    if (U_FAILURE(status))
        return nullptr;
    return format;
}

std::unique_ptr<icu::NumberFormat> patternFormat(const QString &pattern, const icu::Locale &locale)
{
    UErrorCode status = U_ZERO_ERROR;
    auto format =
        std::make_unique<icu::DecimalFormat>(toIcu(pattern), new icu::DecimalFormatSymbols(locale, status), status);
    if (U_FAILURE(status))
        return nullptr;
    return format;
}

} // namespace

struct NumberFormatter::Impl {
    std::unique_ptr<icu::NumberFormat> format;
    std::unique_ptr<icu::NumberFormat> plain;
    // Spelling out clamps magnitudes from 2^54 up to 2^54 itself; beyond exact integers we write digits instead.
    std::unique_ptr<icu::NumberFormat> digitsForLarge;
    bool valid = true;
    // ICU formats are not promised to be safe for concurrent use of one instance.
    std::mutex mutex;

    static std::optional<double> parseWith(const icu::NumberFormat &format, const QString &text)
    {
        const icu::UnicodeString source = toIcu(text);
        icu::Formattable result;
        icu::ParsePosition position(0);
        format.parse(source, result, position);
        if (position.getErrorIndex() >= 0 || position.getIndex() != source.length())
            return std::nullopt;
        UErrorCode status = U_ZERO_ERROR;
        const double value = result.getDouble(status);
        // Infinity and NaN are not values a number cell can hold.
        if (U_FAILURE(status) || !std::isfinite(value))
            return std::nullopt;
        return value;
    }
};

NumberFormatter::NumberFormatter(const QString &formatNameOrPattern, const QLocale &locale)
    : d(std::make_shared<Impl>())
{
    const icu::Locale icuLocale(locale.name().toUtf8().constData());
    const QString name = formatNameOrPattern;
    d->plain = plainFormat(icuLocale);
    if (name.isEmpty() || name == QLatin1String("None")) {
        d->valid = d->plain != nullptr;
    } else {
        bool isStyle = false;
        d->format = styledFormat(name, icuLocale, &isStyle);
        if (!isStyle)
            d->format = patternFormat(name, icuLocale);
        if (name == QLatin1String("Spell Out")) {
            UErrorCode status = U_ZERO_ERROR;
            d->digitsForLarge.reset(icu::NumberFormat::createInstance(icuLocale, status));
            if (U_FAILURE(status))
                d->digitsForLarge.reset();
        }
        d->valid = d->format != nullptr;
    }
    if (d->format)
        d->format->setLenient(true);
    if (d->plain)
        d->plain->setLenient(true);
}

bool NumberFormatter::isValid() const
{
    return d->valid;
}

QString NumberFormatter::format(double value) const
{
    std::lock_guard lock(d->mutex);
    icu::NumberFormat *format = d->format ? d->format.get() : d->plain.get();
    constexpr double largestExactInteger = 9007199254740992.0; // 2^53
    if (d->digitsForLarge && std::fabs(value) >= largestExactInteger)
        format = d->digitsForLarge.get();
    if (!format)
        return QString::number(value, 'g', 15);
    icu::UnicodeString out;
    format->format(value, out);
    return fromIcu(out);
}

std::optional<double> NumberFormatter::parse(const QString &text) const
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    {
        std::lock_guard lock(d->mutex);
        for (icu::NumberFormat *format : {d->format.get(), d->plain.get()}) {
            if (!format)
                continue;
            if (std::optional<double> value = Impl::parseWith(*format, trimmed))
                return value;
        }
    }
    // Last resort: the machine form ("1234.5", "-2e3") whatever the locale.
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (ok && std::isfinite(value))
        return value;
    return std::nullopt;
}
