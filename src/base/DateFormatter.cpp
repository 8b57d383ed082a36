// ICU date formats behind DateFormatter; the reference date is 978307200 s after ICU's 1970 epoch.
#include "DateFormatter.h"

#include "Preferences.h"

#include <cmath>
#include <mutex>
#include <unicode/datefmt.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

namespace {

constexpr double referenceDateSince1970 = 978307200.0;

icu::UnicodeString toIcu(const QString &s)
{
    return icu::UnicodeString(reinterpret_cast<const UChar *>(s.utf16()), static_cast<int32_t>(s.size()));
}

QString fromIcu(const icu::UnicodeString &s)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(s.getBuffer()), s.length());
}

icu::Locale icuLocale(const QLocale &locale)
{
    return icu::Locale(locale.name().toUtf8().constData());
}

icu::DateFormat::EStyle icuStyle(DateFormatter::Style style)
{
    switch (style) {
    case DateFormatter::None: return icu::DateFormat::kNone;
    case DateFormatter::Short: return icu::DateFormat::kShort;
    case DateFormatter::Medium: return icu::DateFormat::kMedium;
    case DateFormatter::Long: return icu::DateFormat::kLong;
    case DateFormatter::Full: return icu::DateFormat::kFull;
    }
    return icu::DateFormat::kMedium;
}

std::optional<double> parseWith(const icu::DateFormat &format, const icu::UnicodeString &text)
{
    icu::ParsePosition position(0);
    const UDate date = format.parse(text, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != text.length() || !std::isfinite(date))
        return std::nullopt;
    return date / 1000.0 - referenceDateSince1970;
}

// The machine forms a pasted or imported date often has, read strictly in the local time zone.
std::optional<double> parseIso(const icu::UnicodeString &text)
{
    for (const char16_t *pattern : {u"yyyy-MM-dd'T'HH:mm:ss", u"yyyy-MM-dd HH:mm:ss", u"yyyy-MM-dd'T'HH:mm",
                                    u"yyyy-MM-dd HH:mm", u"yyyy-MM-dd"}) {
        UErrorCode status = U_ZERO_ERROR;
        icu::SimpleDateFormat iso(icu::UnicodeString(pattern), icu::Locale::getRoot(), status);
        if (U_FAILURE(status))
            continue;
        iso.setLenient(false);
        if (std::optional<double> value = parseWith(iso, text))
            return value;
    }
    return std::nullopt;
}

DateFormatter::Style styleOrMedium(int value)
{
    return value >= DateFormatter::None && value <= DateFormatter::Full ? static_cast<DateFormatter::Style>(value)
                                                                        : DateFormatter::Medium;
}

} // namespace

struct DateFormatter::Impl {
    // Null with both styles None: such a formatter writes nothing.
    std::unique_ptr<icu::DateFormat> format;
    bool valid = true;
    std::mutex mutex;
};

DateFormatter::DateFormatter(std::shared_ptr<Impl> impl) : d(std::move(impl)) {}

DateFormatter::DateFormatter(Style dateStyle, Style timeStyle, const QLocale &locale) : d(std::make_shared<Impl>())
{
    if (dateStyle == None && timeStyle == None)
        return;
    d->format.reset(
        icu::DateFormat::createDateTimeInstance(icuStyle(dateStyle), icuStyle(timeStyle), icuLocale(locale)));
    if (!d->format) {
        d->valid = false;
        return;
    }
    d->format->setLenient(true);
}

DateFormatter DateFormatter::withPattern(const QString &pattern, const QLocale &locale)
{
    auto impl = std::make_shared<Impl>();
    UErrorCode status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::SimpleDateFormat>(toIcu(pattern), icuLocale(locale), status);
    if (U_FAILURE(status)) {
        impl->valid = false;
        return DateFormatter(impl);
    }
    format->setLenient(true);
    impl->format = std::move(format);
    return DateFormatter(impl);
}

std::optional<DateFormatter::Style> DateFormatter::styleFromText(const QString &text)
{
    static const char *const names[] = {"none", "short", "medium", "long", "full"};
    const QString t = text.trimmed();
    for (int i = None; i <= Full; ++i) {
        if (t == QString::number(i) || t.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
            return static_cast<Style>(i);
    }
    return std::nullopt;
}

DateFormatter DateFormatter::forField(const QString &dateFormat, const QString &timeFormat, const QLocale &locale)
{
    const auto isDefault = [](const QString &t) { return t.trimmed().compare(u"Default", Qt::CaseInsensitive) == 0; };
    Style dateStyle = Short;
    Style timeStyle = None;
    if (isDefault(dateFormat)) {
        dateStyle = styleOrMedium(Preferences::instance().intValue(QStringLiteral("LMUIDateFormat")));
    } else if (std::optional<Style> style = styleFromText(dateFormat)) {
        dateStyle = *style;
    } else if (!dateFormat.trimmed().isEmpty()) {
        return withPattern(dateFormat, locale);
    }
    if (isDefault(timeFormat))
        timeStyle = styleOrMedium(Preferences::instance().intValue(QStringLiteral("LMUITimeFormat")));
    else if (std::optional<Style> style = styleFromText(timeFormat))
        timeStyle = *style;
    return DateFormatter(dateStyle, timeStyle, locale);
}

QString DateFormatter::format(double secondsSinceReferenceDate) const
{
    if (!d->format || !std::isfinite(secondsSinceReferenceDate))
        return QString();
    icu::UnicodeString out;
    std::lock_guard lock(d->mutex);
    d->format->format((secondsSinceReferenceDate + referenceDateSince1970) * 1000.0, out);
    return fromIcu(out);
}

std::optional<double> DateFormatter::parse(const QString &text) const
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || !d->format)
        return std::nullopt;
    const icu::UnicodeString source = toIcu(trimmed);
    // ISO first: lenient locale parsing misreads it ("2024-03-10" as month 2024 of a short date).
    if (std::optional<double> value = parseIso(source))
        return value;
    std::lock_guard lock(d->mutex);
    return parseWith(*d->format, source);
}

bool DateFormatter::isValid() const
{
    return d->valid;
}
