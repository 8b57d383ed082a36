// DateFormatter: date and time styles or a date pattern over ICU, on seconds since the reference date.
#pragma once

#include <QLocale>
#include <QString>
#include <memory>
#include <optional>

class DateFormatter {
public:
    enum Style { None = 0, Short = 1, Medium = 2, Long = 3, Full = 4 };

    // Both styles None formats every date as "" and parses nothing.
    DateFormatter(Style dateStyle, Style timeStyle, const QLocale &locale = QLocale());
    // An ICU date pattern ("yyyy-MM-dd HH:mm"); a refused pattern leaves an invalid formatter.
    static DateFormatter withPattern(const QString &pattern, const QLocale &locale = QLocale());

    // A field's "Date Format" and "Time Format": a style name or digit (case-insensitive), "Default" for the
    // preference ("LMUIDateFormat" / "LMUITimeFormat"); other date text is a pattern, which then decides the
    // time part too. Empty leaves the default: Short date, no time.
    static DateFormatter forField(const QString &dateFormat, const QString &timeFormat,
                                  const QLocale &locale = QLocale());
    static std::optional<Style> styleFromText(const QString &text);

    // In the local time zone (ICU's default, which follows TZ).
    QString format(double secondsSinceReferenceDate) const;
    // Lenient; the whole text (surrounding spaces aside) must be a date in this format or in ISO 8601 form
    // ("2024-03-15", "2024-03-15 10:30", "2024-03-15T10:30:00").
    std::optional<double> parse(const QString &text) const;
    bool isValid() const;

private:
    struct Impl;
    explicit DateFormatter(std::shared_ptr<Impl> impl);
    // Copies share the ICU object; its use is serialised inside (formatting writes its calendar).
    std::shared_ptr<Impl> d;
};
