// OXRegexSettings: defaults registered beside the application's own; every panel reads the same keys.
#include "OXRegexSettings.h"

#include "Preferences.h"

namespace {
const QString kDot = QStringLiteral("Dot Matches Newlines");
const QString kLines = QStringLiteral("^ and $ Match Line Boundaries");
const QString kFree = QStringLiteral("Free Spacing");
const QString kEmpty = QStringLiteral("Ignore Empty Matches");
const QString kGroups = QStringLiteral("Capture Numbered Groups");
} // namespace

QString OXRegexSettings::syntaxKey()
{
    return QStringLiteral("OXFF Syntax Type");
}

const QStringList &OXRegexSettings::syntaxTitles()
{
    static const QStringList titles{QStringLiteral("Ruby (default)"), QStringLiteral("POSIX Basic"),
                                    QStringLiteral("POSIX Extended"), QStringLiteral("Emacs"),
                                    QStringLiteral("grep"),           QStringLiteral("GNU"),
                                    QStringLiteral("Java"),           QStringLiteral("Perl")};
    return titles;
}

const QStringList &OXRegexSettings::optionTitles()
{
    static const QStringList titles{kDot, kLines, kFree, kEmpty, kGroups};
    return titles;
}

void OXRegexSettings::registerDefaults()
{
    Preferences &p = Preferences::instance();
    p.registerDefault(syntaxKey(), syntaxTitles().first());
    p.registerDefault(kDot, false);
    p.registerDefault(kLines, true);
    p.registerDefault(kFree, false);
    p.registerDefault(kEmpty, true);
    p.registerDefault(kGroups, true);
}

HVICURegex::Syntax OXRegexSettings::syntax()
{
    static const HVICURegex::Syntax bySyntaxTitle[] = {
        HVICURegex::Syntax::Ruby,  HVICURegex::Syntax::PosixBasic, HVICURegex::Syntax::PosixExtended,
        HVICURegex::Syntax::Emacs, HVICURegex::Syntax::Grep,       HVICURegex::Syntax::Gnu,
        HVICURegex::Syntax::Java,  HVICURegex::Syntax::Perl};
    const qsizetype index = syntaxTitles().indexOf(Preferences::instance().stringValue(syntaxKey()));
    return index < 0 ? HVICURegex::Syntax::Ruby : bySyntaxTitle[index];
}

QString OXRegexSettings::syntaxTitle()
{
    const QString stored = Preferences::instance().stringValue(syntaxKey());
    return syntaxTitles().contains(stored) ? stored : syntaxTitles().first();
}

void OXRegexSettings::setSyntaxTitle(const QString &title)
{
    Preferences::instance().setValue(syntaxKey(), title);
}

bool OXRegexSettings::option(const QString &title)
{
    registerDefaults();
    return Preferences::instance().boolValue(title);
}

void OXRegexSettings::setOption(const QString &title, bool on)
{
    Preferences::instance().setValue(title, on);
}

unsigned OXRegexSettings::regexOptions(bool ignoreCase)
{
    unsigned options = HVICURegex::NoneOption;
    if (ignoreCase)
        options |= HVICURegex::IgnoreCaseOption;
    if (option(kDot))
        options |= HVICURegex::MultilineOption;
    // On, "^" and "$" match after and before every line break in every syntax; off, only at the text's ends.
    options |= option(kLines) ? HVICURegex::NegateSingleLineOption : HVICURegex::SingleLineOption;
    if (option(kFree))
        options |= HVICURegex::ExtendOption;
    if (option(kEmpty))
        options |= HVICURegex::FindNotEmptyOption;
    if (!option(kGroups))
        options |= HVICURegex::DontCaptureGroupOption;
    return options;
}
