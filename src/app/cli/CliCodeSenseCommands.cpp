// orvix-cli commands over the script editor's help: codesense (completions) and highlight (colouring).
#include "CliRegistry.h"

#include "OXCodeSenseController.h"
#include "OXScriptKnowledgeBase.h"
#include "SMLColouringPasses.h"

#include <QFile>

namespace {
// The completions for TEXT with the caret at its end, one a line.
int runCodeSense(CliContext &cli, const QStringList &args)
{
    const QString &text = args[0];
    const QStringList path = OXCodeSenseController::pathBeforeCaret(text, text.size());
    const QStringList matches =
        OXCodeSenseController::matchesForPath(path, OXScriptKnowledgeBase::sharedKnowledgeBase());
    for (const QString &match : matches)
        cli.out() << match << '\n';
    cli.out().flush();
    return 0;
}

// Each coloured range of the file as "START<TAB>LENGTH<TAB>STYLE ENTRY", offsets in UTF-16 code units.
int runHighlight(CliContext &cli, const QStringList &args)
{
    QFile file(args[0]);
    if (!file.open(QIODevice::ReadOnly))
        return cli.fail(QStringLiteral("cannot read %1: %2").arg(args[0], file.errorString()));
    const QString text = QString::fromUtf8(file.readAll());
    const SMLColouringPasses passes(SMLSyntaxDefinition::load(QStringLiteral("javascript")),
                                    SMLColouringSwitches::fromPreferences());
    for (const SMLTokenRun &run : passes.runsForRange(text, 0, text.size())) {
        if (run.kind != SMLTokenKind::Plain)
            cli.out() << run.start << '\t' << run.length << '\t' << styleTitle(run.kind) << '\n';
    }
    cli.out().flush();
    return 0;
}

const CliRegistration registration({
    {"codesense", "TEXT", "print the script completions for TEXT with the caret at its end, one a line", 1, 1,
     runCodeSense},
    {"highlight", "FILE",
     "print the coloured ranges of a script file, one a line: start, length and style entry (tab-separated)", 1, 1,
     runHighlight},
});
} // namespace
