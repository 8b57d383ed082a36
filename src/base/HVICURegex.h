// HVICURegex: Oniguruma regular expressions (Ruby syntax) over QString text, with ranges in UTF-16 units.
#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class HVICURegex {
public:
    // Every syntax the engine offers that the find panel lets users choose; Ruby is the program's default.
    enum class Syntax { Ruby, PosixBasic, PosixExtended, Emacs, Grep, Gnu, Java, Perl };
    // Compile options named after the engine's; combine with |.
    enum Option : unsigned {
        NoneOption = 0,
        IgnoreCaseOption = 1u << 0,
        ExtendOption = 1u << 1,           // free spacing: blanks and # comments in the pattern are ignored
        MultilineOption = 1u << 2,        // "." also matches a newline
        SingleLineOption = 1u << 3,       // "^" and "$" match only at the ends of the text
        FindNotEmptyOption = 1u << 4,     // empty matches are skipped
        NegateSingleLineOption = 1u << 5, // "^" and "$" match at line boundaries in syntaxes that default otherwise
        DontCaptureGroupOption = 1u << 6, // plain (...) groups do not capture; named groups still do
    };

    explicit HVICURegex(const QString &pattern, bool caseInsensitive = false);
    HVICURegex(const QString &pattern, unsigned options, Syntax syntax);
    ~HVICURegex();
    HVICURegex(const HVICURegex &) = delete;
    HVICURegex &operator=(const HVICURegex &) = delete;
    HVICURegex(HVICURegex &&) noexcept;
    HVICURegex &operator=(HVICURegex &&) noexcept;

    // An invalid pattern leaves an invalid object that matches nothing and says why.
    bool isValid() const;
    QString errorString() const;
    QString pattern() const;

    struct Match {
        // [0] is the whole match; (start, length) in UTF-16 units; (-1, 0) for a group that did not take part.
        QList<QPair<int, int>> ranges;
        // Texts of the groups, [0] the whole match; "" for a group that did not take part.
        QStringList captures;
        // Named group -> its group numbers (a name may be used by several groups).
        QHash<QString, QList<int>> names;

        QString captured(int group) const;
        // The text of the last group of that name that took part; "" when none did.
        QString captured(const QString &name) const;
        int start(int group = 0) const;
        int length(int group = 0) const;
    };

    // The first match starting at or after UTF-16 offset `from`.
    std::optional<Match> findFirst(const QString &text, int from = 0) const;
    // Successive non-overlapping matches; after an empty match the search moves on by one character.
    QList<Match> findAll(const QString &text) const;
    // Whether the pattern can match the text as a whole (any alternative, not only the first found).
    bool matchesWhole(const QString &text) const;

    int captureCount() const;
    QStringList groupNames() const;

private:
    void compile(unsigned onigOptions, Syntax syntax);

    struct Impl;
    std::unique_ptr<Impl> d;
};
