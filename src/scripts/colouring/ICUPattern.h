// ICUPattern and ICUMatcher: compiled ICU regular expressions and their matchers over UTF-16 text.
#pragma once

#include <QString>
#include <QStringView>

#include <memory>

struct URegularExpression;

// A pattern compiled once; matchers are made from it for each text they scan.
class ICUPattern {
public:
    ICUPattern() = default;
    explicit ICUPattern(const QString &pattern, unsigned flags = 0);
    ~ICUPattern();
    ICUPattern(ICUPattern &&) noexcept;
    ICUPattern &operator=(ICUPattern &&) noexcept;
    ICUPattern(const ICUPattern &) = delete;
    ICUPattern &operator=(const ICUPattern &) = delete;

    bool isValid() const { return m_regex != nullptr; }
    QString pattern() const { return m_pattern; }
    QString errorText() const { return m_error; }
    URegularExpression *regex() const { return m_regex; }

private:
    QString m_pattern;
    QString m_error;
    URegularExpression *m_regex = nullptr;
};

// Finds successive matches of a pattern in a text the caller keeps alive while the matcher is used.
class ICUMatcher {
public:
    ICUMatcher(const ICUPattern &pattern, QStringView text);
    ~ICUMatcher();
    ICUMatcher(const ICUMatcher &) = delete;
    ICUMatcher &operator=(const ICUMatcher &) = delete;

    bool isValid() const { return m_regex != nullptr; }
    // Limits the search to [start, end); anchors such as ^ and $ see the limits as the text's ends.
    void setRegion(qsizetype start, qsizetype end);
    // The next match after the previous one (or from the region's start after a reset).
    bool findNext();
    // The first match starting at or after `start` (inside the region).
    bool findFrom(qsizetype start);
    qsizetype start() const { return m_start; }
    qsizetype end() const { return m_end; }
    qsizetype length() const { return m_end - m_start; }
    // Starts again at the region's start.
    void reset();

private:
    bool readMatch(bool found);

    URegularExpression *m_regex = nullptr;
    qsizetype m_regionStart = 0;
    qsizetype m_regionEnd = -1;
    qsizetype m_start = -1;
    qsizetype m_end = -1;
};
