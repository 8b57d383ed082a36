// NumberFormatter: a field's number "Format" (style name or pattern) over ICU, with lenient parsing.
#pragma once

#include <QLocale>
#include <QString>
#include <memory>
#include <optional>

class NumberFormatter {
public:
    // "" / "None" -> plain numbers (no grouping, up to 15 significant digits: 3 -> "3", 2.5 -> "2.5");
    // "Decimal", "Currency", "Percent", "Scientific", "Spell Out" -> those styles; other text -> a pattern
    // such as "#,##0.00" or "0.###E0".
    explicit NumberFormatter(const QString &formatNameOrPattern = QString(), const QLocale &locale = QLocale());

    // False when the pattern was refused; the formatter then gives plain numbers.
    bool isValid() const;
    QString format(double value) const;
    // Lenient; the whole text (surrounding spaces aside) must be a number in this format or a plain number.
    std::optional<double> parse(const QString &text) const;

private:
    struct Impl;
    // Copies share the ICU objects; their use is serialised inside.
    std::shared_ptr<Impl> d;
};
