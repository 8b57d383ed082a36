// OXFileFindController_Normal: literal find and replace with the panel's case option.
#include "OXFileFindController.h"

Qt::CaseSensitivity OXFileFindController_Normal::compareOptions() const
{
    return ignoreCase() ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

std::optional<OXFileFindController::Range> OXFileFindController_Normal::find(const QString &text, int from, int to,
                                                                             bool backwards, bool *) const
{
    const QString needle = findString();
    if (needle.isEmpty() || to - from < needle.size())
        return std::nullopt;
    const QStringView range = QStringView(text).mid(from, to - from);
    const qsizetype at = backwards ? range.lastIndexOf(needle, range.size() - needle.size(), compareOptions())
                                   : range.indexOf(needle, 0, compareOptions());
    if (at < 0)
        return std::nullopt;
    return Range{int(from + at), int(needle.size())};
}

QString OXFileFindController_Normal::replacementFor(const QString &, Range) const
{
    return replaceString();
}

QString OXFileFindController_Normal::replacingAll(const QString &text, int from, int to, int *count, bool *) const
{
    const QString needle = findString();
    QString out = text.left(from);
    int at = from;
    *count = 0;
    while (at <= to - needle.size()) {
        const qsizetype hit = text.indexOf(needle, at, compareOptions());
        if (hit < 0 || hit + needle.size() > to)
            break;
        out += QStringView(text).mid(at, hit - at);
        out += replaceString();
        at = int(hit + needle.size());
        ++*count;
    }
    out += QStringView(text).mid(at);
    return out;
}
