// Oniguruma behind HVICURegex: UTF-16LE on the QString's own storage, so offsets are byte offsets / 2.
#include "HVICURegex.h"

#include <QtGlobal>
#include <mutex>

#define ONIG_ESCAPE_UCHAR_COLLISION
#include <oniguruma.h>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "QString data is handed to Oniguruma as UTF-16LE");

namespace {

void initializeOnigurumaOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        OnigEncoding encodings[] = {ONIG_ENCODING_UTF16_LE};
        onig_initialize(encodings, 1);
    });
}

const OnigUChar *bytes(const QString &text)
{
    return reinterpret_cast<const OnigUChar *>(text.utf16());
}

QString errorText(int code, OnigErrorInfo *info)
{
    OnigUChar buffer[ONIG_MAX_ERROR_MESSAGE_LEN + 1] = {};
    if (info)
        onig_error_code_to_str(buffer, code, info);
    else
        onig_error_code_to_str(buffer, code);
    return QString::fromLatin1(reinterpret_cast<const char *>(buffer));
}

struct RegionDeleter {
    void operator()(OnigRegion *region) const { onig_region_free(region, 1); }
};
using Region = std::unique_ptr<OnigRegion, RegionDeleter>;

} // namespace

struct HVICURegex::Impl {
    QString pattern;
    OnigRegex regex = nullptr;
    // The pattern wrapped as \A(?:...)\z: the engine stops at the first alternative that matches, so only
    // anchoring both ends makes it try every way of covering the whole text.
    OnigRegex whole = nullptr;
    QString error;
    QHash<QString, QList<int>> names;
    QStringList nameOrder;

    ~Impl()
    {
        if (regex)
            onig_free(regex);
        if (whole)
            onig_free(whole);
    }

    static int collectName(const OnigUChar *name, const OnigUChar *nameEnd, int count, int *groups, OnigRegex,
                           void *arg)
    {
        auto *self = static_cast<Impl *>(arg);
        const QString key = QString::fromUtf16(reinterpret_cast<const char16_t *>(name), (nameEnd - name) / 2);
        QList<int> &numbers = self->names[key];
        for (int i = 0; i < count; ++i)
            numbers.append(groups[i]);
        self->nameOrder.append(key);
        return 0;
    }

    Match makeMatch(const QString &text, const OnigRegion *region) const
    {
        Match m;
        m.names = names;
        for (int i = 0; i < region->num_regs; ++i) {
            if (region->beg[i] == ONIG_REGION_NOTPOS) {
                m.ranges.append({-1, 0});
                m.captures.append(QString());
                continue;
            }
            const int start = region->beg[i] / 2;
            const int length = (region->end[i] - region->beg[i]) / 2;
            m.ranges.append({start, length});
            m.captures.append(text.mid(start, length));
        }
        return m;
    }
};

namespace {
OnigSyntaxType *onigSyntax(HVICURegex::Syntax syntax)
{
    switch (syntax) {
    case HVICURegex::Syntax::PosixBasic: return ONIG_SYNTAX_POSIX_BASIC;
    case HVICURegex::Syntax::PosixExtended: return ONIG_SYNTAX_POSIX_EXTENDED;
    case HVICURegex::Syntax::Emacs: return ONIG_SYNTAX_EMACS;
    case HVICURegex::Syntax::Grep: return ONIG_SYNTAX_GREP;
    case HVICURegex::Syntax::Gnu: return ONIG_SYNTAX_GNU_REGEX;
    case HVICURegex::Syntax::Java: return ONIG_SYNTAX_JAVA;
    case HVICURegex::Syntax::Perl: return ONIG_SYNTAX_PERL;
    case HVICURegex::Syntax::Ruby: break;
    }
    return ONIG_SYNTAX_RUBY;
}

OnigOptionType onigOptions(unsigned options)
{
    OnigOptionType result = ONIG_OPTION_NONE;
    const std::pair<unsigned, OnigOptionType> table[] = {
        {HVICURegex::IgnoreCaseOption, ONIG_OPTION_IGNORECASE},
        {HVICURegex::ExtendOption, ONIG_OPTION_EXTEND},
        {HVICURegex::MultilineOption, ONIG_OPTION_MULTILINE},
        {HVICURegex::SingleLineOption, ONIG_OPTION_SINGLELINE},
        {HVICURegex::FindNotEmptyOption, ONIG_OPTION_FIND_NOT_EMPTY},
        {HVICURegex::NegateSingleLineOption, ONIG_OPTION_NEGATE_SINGLELINE},
    };
    for (const auto &[ours, engine] : table) {
        if (options & ours)
            result |= engine;
    }
    // The engine refuses both capture switches at once.
    result |=
        (options & HVICURegex::DontCaptureGroupOption) ? ONIG_OPTION_DONT_CAPTURE_GROUP : ONIG_OPTION_CAPTURE_GROUP;
    return result;
}
} // namespace

HVICURegex::HVICURegex(const QString &pattern, bool caseInsensitive) : d(std::make_unique<Impl>())
{
    d->pattern = pattern;
    compile(onigOptions(caseInsensitive ? IgnoreCaseOption : NoneOption), Syntax::Ruby);
}

HVICURegex::HVICURegex(const QString &pattern, unsigned options, Syntax syntax) : d(std::make_unique<Impl>())
{
    d->pattern = pattern;
    compile(onigOptions(options), syntax);
}

void HVICURegex::compile(unsigned onigOptionBits, Syntax syntax)
{
    initializeOnigurumaOnce();
    const OnigOptionType options = onigOptionBits;
    OnigSyntaxType *engineSyntax = onigSyntax(syntax);
    OnigErrorInfo info;
    const OnigUChar *begin = bytes(d->pattern);
    const int rc =
        onig_new(&d->regex, begin, begin + d->pattern.size() * 2, options, ONIG_ENCODING_UTF16_LE, engineSyntax, &info);
    if (rc != ONIG_NORMAL) {
        d->error = errorText(rc, &info);
        d->regex = nullptr;
        return;
    }
    onig_foreach_name(d->regex, &Impl::collectName, d.get());
    // A trailing (?x) comment would swallow the closing ")": the newline ends it (and is ignored there).
    // Only the Ruby form is wrapped: the other syntaxes spell the group and the anchors differently.
    if (syntax != Syntax::Ruby)
        return;
    for (const char *close : {")\\z", "\n)\\z"}) {
        const QString wrapped = QStringLiteral("\\A(?:") + d->pattern + QLatin1String(close);
        const OnigUChar *w = bytes(wrapped);
        if (onig_new(&d->whole, w, w + wrapped.size() * 2, options, ONIG_ENCODING_UTF16_LE, engineSyntax, &info) ==
            ONIG_NORMAL)
            break;
        d->whole = nullptr;
    }
}

HVICURegex::~HVICURegex() = default;
HVICURegex::HVICURegex(HVICURegex &&) noexcept = default;
HVICURegex &HVICURegex::operator=(HVICURegex &&) noexcept = default;

bool HVICURegex::isValid() const
{
    return d && d->regex;
}
QString HVICURegex::errorString() const
{
    return d ? d->error : QString();
}
QString HVICURegex::pattern() const
{
    return d ? d->pattern : QString();
}

std::optional<HVICURegex::Match> HVICURegex::findFirst(const QString &text, int from) const
{
    if (!isValid() || from > text.size())
        return std::nullopt;
    from = qMax(0, from);
    Region region(onig_region_new());
    const OnigUChar *str = bytes(text);
    const OnigUChar *end = str + text.size() * 2;
    const int rc = onig_search(d->regex, str, end, str + from * 2, end, region.get(), ONIG_OPTION_NONE);
    // Mismatch and engine errors (such as the retry limit) both mean: no match.
    if (rc < 0)
        return std::nullopt;
    return d->makeMatch(text, region.get());
}

QList<HVICURegex::Match> HVICURegex::findAll(const QString &text) const
{
    QList<Match> matches;
    int from = 0;
    while (from <= text.size()) {
        std::optional<Match> m = findFirst(text, from);
        if (!m)
            break;
        const int matchEnd = m->start() + m->length();
        if (m->length() > 0) {
            from = matchEnd;
        } else {
            // Step over a whole surrogate pair so the next search never starts inside a character.
            const bool pair = matchEnd + 1 < text.size() && text.at(matchEnd).isHighSurrogate() &&
                              text.at(matchEnd + 1).isLowSurrogate();
            from = matchEnd + (pair ? 2 : 1);
        }
        matches.append(std::move(*m));
    }
    return matches;
}

bool HVICURegex::matchesWhole(const QString &text) const
{
    if (!isValid())
        return false;
    const OnigUChar *str = bytes(text);
    const OnigUChar *end = str + text.size() * 2;
    if (d->whole)
        return onig_match(d->whole, str, end, str, nullptr, ONIG_OPTION_NONE) == text.size() * 2;
    // Without the anchored form, fall back to the first match found at the start.
    Region region(onig_region_new());
    const int rc = onig_search(d->regex, str, end, str, end, region.get(), ONIG_OPTION_NONE);
    return rc == 0 && region->end[0] == text.size() * 2;
}

int HVICURegex::captureCount() const
{
    return isValid() ? onig_number_of_captures(d->regex) : 0;
}
QStringList HVICURegex::groupNames() const
{
    return isValid() ? d->nameOrder : QStringList();
}

QString HVICURegex::Match::captured(int group) const
{
    return captures.value(group);
}

QString HVICURegex::Match::captured(const QString &name) const
{
    const QList<int> groups = names.value(name);
    for (auto it = groups.crbegin(); it != groups.crend(); ++it) {
        if (ranges.value(*it, {-1, 0}).first >= 0)
            return captures.value(*it);
    }
    return QString();
}

int HVICURegex::Match::start(int group) const
{
    return ranges.value(group, {-1, 0}).first;
}
int HVICURegex::Match::length(int group) const
{
    return ranges.value(group, {-1, 0}).second;
}
