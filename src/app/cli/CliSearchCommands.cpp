// orvix-cli commands of quick search and find: search, find-text, relationships.
#include "CliRegistry.h"

#include "LMSearchMenuWorker.h"
#include "LMSearchResults.h"
#include "MyDocument.h"
#include "OXFileFindController.h"
#include "ValueJson.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextDocument>

namespace {
// Options after the positional arguments: "--flag" or "--name VALUE".
struct Options {
    QStringList positional;
    QStringList flags;
    QHash<QString, QString> values;
};

std::optional<Options> parseOptions(CliContext &cli, const QStringList &args, const QStringList &withValue,
                                    const QStringList &flags)
{
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (withValue.contains(a) && i + 1 < args.size()) {
            o.values.insert(a, args.at(++i));
        } else if (flags.contains(a)) {
            o.flags << a;
        } else if (a.startsWith(QLatin1String("--"))) {
            cli.fail(QStringLiteral("unknown option %1").arg(a), 2);
            return std::nullopt;
        } else {
            o.positional << a;
        }
    }
    return o;
}

// Swallows the beep that ends a listing of matches: running out of matches is not a failure there.
class QuietUi : public Ui {
public:
    int runAlert(const Alert &, QWidget *) override { return 0; }
    void beep() override {}
    std::optional<QString> runTextInput(const TextInputOptions &, QWidget *) override { return std::nullopt; }
    QStringList runOpenPanel(const FilePanelOptions &, QWidget *) override { return {}; }
    QString runSavePanel(const FilePanelOptions &, QWidget *) override { return {}; }
    bool isNewTabModifierHeld() override { return false; }
};

int runSearch(CliContext &cli, const QStringList &args)
{
    const std::optional<Options> o = parseOptions(cli, args, {}, {QStringLiteral("--timing")});
    if (!o)
        return 2;
    if (o->positional.size() != 2)
        return cli.usage(2);
    auto doc = cli.openPackage(o->positional.at(0));
    if (!doc)
        return 1;
    const QString text = o->positional.at(1);
    QElapsedTimer clock;
    clock.start();
    LMSearchResults results;
    // The passes of the results window, timed apart: the names come first, the rest from two characters on.
    if (!text.isEmpty())
        LMSearchMenuWorker::findNameString(text, *doc, results);
    const double first = clock.nsecsElapsed() / 1e9;
    if (text.size() > 1) {
        LMSearchMenuWorker::initWithDataString(text, *doc, results);
        LMSearchMenuWorker::initWithReportString(text, *doc, results);
        LMSearchMenuWorker::initWithDeepString(text, *doc, results);
    }
    const double all = clock.nsecsElapsed() / 1e9;
    for (const QString &kind : LMSearchResults::kinds()) {
        for (const QString &name : results.ranked(kind))
            cli.out() << kind << '\t' << name << '\t' << results.occurrences(kind, name) << '\n';
    }
    cli.out().flush();
    if (o->flags.contains(QStringLiteral("--timing")))
        cli.err() << QStringLiteral("first_results_s=%1 search_s=%2\n").arg(first, 0, 'f', 4).arg(all, 0, 'f', 4);
    return 0;
}

int runFindText(CliContext &cli, const QStringList &args)
{
    const std::optional<Options> o =
        parseOptions(cli, args, {QStringLiteral("--replace")}, {QStringLiteral("--regex"), QStringLiteral("--case")});
    if (!o)
        return 2;
    if (o->positional.size() != 2)
        return cli.usage(2);
    QFile file(o->positional.at(0));
    if (!file.open(QIODevice::ReadOnly))
        return cli.fail(QStringLiteral("cannot read \"%1\": %2").arg(file.fileName(), file.errorString()));
    QTextDocument document;
    document.setPlainText(QString::fromUtf8(file.readAll()));
    std::unique_ptr<OXFileFindController> finder;
    if (o->flags.contains(QStringLiteral("--regex")))
        finder = std::make_unique<OXFileFindController_Regex>();
    else
        finder = std::make_unique<OXFileFindController_Normal>();
    auto view = std::make_shared<OXFindTextView>(&document);
    finder->setTextView(view);
    finder->setIgnoreCase(!o->flags.contains(QStringLiteral("--case")));
    finder->setWrapAround(false);
    finder->setSelectedTextOnly(true); // remember the pattern without searching yet
    finder->setFindString(o->positional.at(1));
    finder->setSelectedTextOnly(false);

    if (o->values.contains(QStringLiteral("--replace"))) {
        finder->setReplaceString(o->values.value(QStringLiteral("--replace")));
        const int count = finder->replaceAll();
        if (finder->lastResult() == OXFindResult::Invalid)
            return cli.fail(QStringLiteral("\"%1\" is not a valid regular expression").arg(o->positional.at(1)));
        cli.out() << view->string();
        cli.out().flush();
        cli.err() << QStringLiteral("replaced=%1\n").arg(count);
        return 0;
    }
    // Every match in order, as "LOCATION<TAB>LENGTH<TAB>TEXT"; the search goes on after each match.
    const QString text = view->string();
    int matches = 0;
    QuietUi quiet;
    Ui::install(&quiet);
    for (int guard = 0; guard <= text.size(); ++guard) {
        const OXFindResult result = finder->search(false);
        if (result != OXFindResult::Found)
            break;
        const int at = view->selectionLocation(), length = view->selectionLength();
        cli.out() << at << '\t' << length << '\t' << text.mid(at, length) << '\n';
        ++matches;
        if (length == 0 && at >= text.size())
            break;
    }
    Ui::install(&cli.ui());
    cli.out().flush();
    if (finder->lastResult() == OXFindResult::Invalid)
        return cli.fail(QStringLiteral("\"%1\" is not a valid regular expression").arg(o->positional.at(1)));
    return matches > 0 ? 0 : 1;
}

int runRelationships(CliContext &cli, const QStringList &args)
{
    auto doc = cli.openPackage(args[0]);
    if (!doc)
        return 1;
    Value stored = doc->relationships();
    if (!stored.isDict())
        stored = Value::dict();
    cli.out() << QString::fromUtf8(QJsonDocument(ValueJson::toJson(stored).toObject()).toJson(QJsonDocument::Indented));
    cli.out().flush();
    return 0;
}

const CliRegistration registration({
    {"search", "PACKAGE TEXT [--timing]",
     "quick search: the matching tables, queries, forms, reports and scripts, one\n\"KIND<TAB>NAME<TAB>HITS\" "
     "line each, by kind and most hits first; --timing prints\nthe seconds to the first results and to the end "
     "on standard error",
     2, 3, runSearch},
    {"find-text", "FILE PATTERN [--regex] [--case] [--replace TEMPLATE]",
     "the find panel on a text file: every match as \"LOCATION<TAB>LENGTH<TAB>TEXT\",\nor with --replace the "
     "text with every match replaced (\\1, \\k<name> … in\nregular-expression templates); case is ignored unless "
     "--case; the regular-\nexpression syntax and options are the find panel's user defaults",
     2, 6, runFindText},
    {"relationships", "PACKAGE", "print the stored relationships diagram (its \"Boxes\" and \"Lines\") as JSON", 1, 1,
     runRelationships},
});
} // namespace
