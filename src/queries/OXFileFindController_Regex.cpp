// OXFileFindController_Regex: matches collected inside the search range, templates expanded per match.
#include "OXFileFindController.h"

#include "HVICURegex.h"
#include "OGReplaceExpression.h"
#include "OXRegexSettings.h"

unsigned OXFileFindController_Regex::regexOptions() const
{
    return OXRegexSettings::regexOptions(ignoreCase());
}

int OXFileFindController_Regex::syntax() const
{
    return int(OXRegexSettings::syntax());
}

std::unique_ptr<HVICURegex> OXFileFindController_Regex::compiled() const
{
    return std::make_unique<HVICURegex>(findString(), regexOptions(), OXRegexSettings::syntax());
}

std::optional<OXFileFindController::Range> OXFileFindController_Regex::find(const QString &text, int from, int to,
                                                                            bool backwards, bool *invalid) const
{
    const std::unique_ptr<HVICURegex> regex = compiled();
    if (!regex->isValid()) {
        *invalid = true;
        return std::nullopt;
    }
    // The range is searched as a text of its own, so a match never runs past the range's end.
    const QList<HVICURegex::Match> matches = regex->findAll(text.mid(from, to - from));
    if (matches.isEmpty())
        return std::nullopt;
    // An empty match where the search starts would be found again and again: move past it.
    const HVICURegex::Match *chosen = nullptr;
    if (backwards) {
        for (auto it = matches.crbegin(); it != matches.crend() && !chosen; ++it) {
            if (it->length() > 0 || it->start() < to - from)
                chosen = &*it;
        }
    } else {
        for (const HVICURegex::Match &m : matches) {
            if (m.length() > 0 || m.start() > 0) {
                chosen = &m;
                break;
            }
        }
    }
    if (!chosen)
        return std::nullopt;
    return Range{from + chosen->start(), chosen->length()};
}

QString OXFileFindController_Regex::replacementFor(const QString &text, Range selection) const
{
    const std::unique_ptr<HVICURegex> regex = compiled();
    const OGReplaceExpression expression(replaceString());
    // The selected text is normally the match just found; match it in place so look-arounds see the text.
    if (std::optional<HVICURegex::Match> m = regex->findFirst(text, selection.location);
        m && m->start() == selection.location && m->length() == selection.length)
        return expression.replaceMatchedString(*m, text);
    const QString selected = text.mid(selection.location, selection.length);
    if (std::optional<HVICURegex::Match> m = regex->findFirst(selected); m)
        return expression.replaceMatchedString(*m, selected);
    return expression.replaceMatchedString(HVICURegex::Match{}, selected);
}

QString OXFileFindController_Regex::replacingAll(const QString &text, int from, int to, int *count, bool *invalid) const
{
    const std::unique_ptr<HVICURegex> regex = compiled();
    *count = 0;
    if (!regex->isValid()) {
        *invalid = true;
        return text;
    }
    const QString range = text.mid(from, to - from);
    const OGReplaceExpression expression(replaceString());
    QString out = text.left(from);
    int at = 0;
    for (const HVICURegex::Match &m : regex->findAll(range)) {
        out += QStringView(range).mid(at, m.start() - at);
        out += expression.replaceMatchedString(m, range);
        at = m.start() + m.length();
        ++*count;
    }
    out += QStringView(range).mid(at);
    out += QStringView(text).mid(to);
    return out;
}
