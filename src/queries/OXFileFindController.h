// OXFileFindController: find and replace over one text view; the literal and regular-expression controllers
// differ only in how they find a match and expand a replacement.
#pragma once

#include "OXFindTextView.h"

#include <QColor>
#include <QString>
#include <memory>
#include <optional>

// What a search answers: found, not found, or a pattern that does not compile.
enum class OXFindResult { Invalid = -1, NotFound = 0, Found = 1 };

class OXFileFindController {
public:
    virtual ~OXFileFindController() = default;

    void setTextView(std::shared_ptr<OXFindTextView> view) { m_view = std::move(view); }
    OXFindTextView *textView() const { return m_view.get(); }

    QString findString() const { return m_find; }
    // Remembers the text and, unless "Selected Text Only" is on, searches forward from the previous match.
    OXFindResult setFindString(const QString &text);
    QString replaceString() const { return m_replace; }
    void setReplaceString(const QString &text) { m_replace = text; }

    bool wrapAround() const { return m_wrapAround; }
    void setWrapAround(bool on) { m_wrapAround = on; }
    bool ignoreCase() const { return m_ignoreCase; }
    void setIgnoreCase(bool on) { m_ignoreCase = on; }
    bool selectedTextOnly() const { return m_selectedTextOnly; }
    void setSelectedTextOnly(bool on) { m_selectedTextOnly = on; }

    // Finds the find string forward or backward; `oldSearch` is the previous find string, so a search while
    // typing starts again at the previous match. Not found beeps and keeps the selection.
    OXFindResult search(bool backwards, const QString &oldSearch = QString());
    // Replaces the selection (undoable) and selects the inserted text; an empty selection beeps.
    bool replace();
    // Replace, then find forward.
    OXFindResult replaceAndFind();
    // Replaces every match in the text, or in the selection with "Selected Text Only"; answers how many.
    int replaceAll();

    // The last search's outcome, for the field colours.
    OXFindResult lastResult() const { return m_lastResult; }
    virtual bool isRegex() const = 0;
    // White in literal mode; in regular-expression mode light red after an invalid pattern, else light green.
    QColor fieldColor() const;

protected:
    struct Range {
        int location = 0;
        int length = 0;
    };
    // The match inside [from, to) of `text`, the first or (backwards) the last; nullopt for none.
    // Sets `invalid` when the find string cannot be used as a pattern.
    virtual std::optional<Range> find(const QString &text, int from, int to, bool backwards, bool *invalid) const = 0;
    // The text that replaces the selected match.
    virtual QString replacementFor(const QString &text, Range selection) const = 0;
    // `text` with every match inside [from, to) replaced; `count` receives how many.
    virtual QString replacingAll(const QString &text, int from, int to, int *count, bool *invalid) const = 0;

private:
    OXFindResult finish(OXFindResult result);

    std::shared_ptr<OXFindTextView> m_view;
    QString m_find;
    QString m_replace;
    bool m_wrapAround = true;
    bool m_ignoreCase = true;
    bool m_selectedTextOnly = false;
    OXFindResult m_lastResult = OXFindResult::NotFound;
};

class OXFileFindController_Normal : public OXFileFindController {
public:
    bool isRegex() const override { return false; }
    // Case-insensitive when "Ignore Case" is on.
    Qt::CaseSensitivity compareOptions() const;

protected:
    std::optional<Range> find(const QString &text, int from, int to, bool backwards, bool *invalid) const override;
    QString replacementFor(const QString &text, Range selection) const override;
    QString replacingAll(const QString &text, int from, int to, int *count, bool *invalid) const override;
};

class HVICURegex;

class OXFileFindController_Regex : public OXFileFindController {
public:
    bool isRegex() const override { return true; }
    // The stored options plus "Ignore Case".
    unsigned regexOptions() const;
    int syntax() const;

protected:
    std::optional<Range> find(const QString &text, int from, int to, bool backwards, bool *invalid) const override;
    QString replacementFor(const QString &text, Range selection) const override;
    QString replacingAll(const QString &text, int from, int to, int *count, bool *invalid) const override;

private:
    std::unique_ptr<HVICURegex> compiled() const;
};
