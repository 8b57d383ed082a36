// highlight_bench: colours a long script in the script editor's engine, and scans it for keywords with plain ICU.
//   highlight_bench make FILE LINES   writes a script of LINES lines
//   highlight_bench orvix FILE        full colouring (passes alone, and laid on the editor) and keystrokes
//   highlight_bench reference FILE    one uregex scan of the text for the keywords
#include "OXSyntaxHighlighterController.h"
#include "Preferences.h"
#include "SMLColouringPasses.h"
#include "SMLSyntaxColouring.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <unicode/uregex.h>

namespace {
const char *const lines[] = {
    "// Totals the invoice rows of the current form and writes them back.",
    "function total%1(table, field) {",
    "    var sum = 0, count = Data.RowCount(table);",
    "    for (var i = 0; i < count; i++) {",
    "        var id = Data.IDAtIndex(table, i);",
    "        var value = parseFloat(Data.Value(table, field, id)) || 0.5e1;",
    "        if (/^-?\\d+(\\.\\d+)?$/.test(String(value))) sum = sum + value / 2;",
    "        else Tools.Log(\"skipped row \" + id + ': not a number');",
    "    }",
    "    /* The total is kept as text so that the form shows",
    "       it with the field's own format. */",
    "    Form.SetGlobal('total', sum.toFixed(2)); return sum;",
    "}",
    "",
};

QString readText(const char *path)
{
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

int make(const char *path, int count)
{
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    QTextStream out(&file);
    const int n = int(sizeof(lines) / sizeof(lines[0]));
    for (int i = 0; i < count; ++i)
        out << QString::fromLatin1(lines[i % n]).arg(i / n) << '\n';
    return 0;
}

int reference(const char *path)
{
    const QString text = readText(path);
    QElapsedTimer timer;
    timer.start();
    const QString pattern =
        QStringLiteral("\\b(?:break|case|catch|const|continue|debugger|default|delete|do|else|false|finally|for|"
                       "function|if|in|instanceof|let|new|null|return|switch|this|throw|true|try|typeof|undefined|"
                       "var|void|while|with)\\b");
    UErrorCode status = U_ZERO_ERROR;
    URegularExpression *re =
        uregex_open(reinterpret_cast<const UChar *>(pattern.utf16()), int32_t(pattern.size()), 0, nullptr, &status);
    uregex_setText(re, reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()), &status);
    long matches = 0;
    while (uregex_findNext(re, &status))
        ++matches;
    uregex_close(re);
    std::printf("reference_s=%.6f\nmatches=%ld\nchars=%lld\n", timer.nsecsElapsed() / 1e9, matches,
                static_cast<long long>(text.size()));
    return U_FAILURE(status) ? 1 : 0;
}

int orvix(const char *path)
{
    QTemporaryDir prefs;
    Preferences::instance().useFile(prefs.filePath(QStringLiteral("prefs.ini")));
    Preferences::instance().registerDefaults();
    const QString text = readText(path);

    // The passes alone over the whole text.
    const SMLColouringPasses passes(SMLSyntaxDefinition::load(QStringLiteral("javascript")), SMLColouringSwitches());
    QElapsedTimer timer;
    timer.start();
    const auto kinds = passes.colourRange(text, 0, text.size());
    const double passesSeconds = timer.nsecsElapsed() / 1e9;
    long coloured = 0;
    for (SMLTokenKind k : kinds)
        coloured += k != SMLTokenKind::Plain;

    // The editor: the whole text coloured once and laid on its lines, then keystrokes in the middle.
    QPlainTextEdit editor;
    editor.resize(900, 700);
    editor.show();
    editor.setPlainText(text);
    OXSyntaxHighlighterController host(&editor);
    host.awakeFromNib();
    QApplication::processEvents();
    timer.restart();
    host.highlight();
    const double fullSeconds = timer.nsecsElapsed() / 1e9;

    QTextCursor cursor(editor.document()->findBlockByNumber(editor.document()->blockCount() / 2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    editor.setTextCursor(cursor);
    editor.centerCursor();
    QApplication::processEvents();
    std::vector<double> keys;
    const QString typed = QStringLiteral("var x = \"ab\"; // c");
    for (int round = 0; round < 3; ++round) {
        for (QChar c : typed) {
            timer.restart();
            editor.textCursor().insertText(QString(c));
            host.engine()->flushPendingRecolour();
            keys.push_back(timer.nsecsElapsed() / 1e9);
        }
        QApplication::processEvents();
    }
    std::sort(keys.begin(), keys.end());
    std::printf("passes_s=%.6f\nfull_s=%.6f\nkeystroke_s=%.6f\nkeystroke_max_s=%.6f\ncoloured=%ld\nchars=%lld\n",
                passesSeconds, fullSeconds, keys[keys.size() / 2], keys.back(), coloured,
                static_cast<long long>(text.size()));
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc >= 4 && qstrcmp(argv[1], "make") == 0)
        return make(argv[2], std::atoi(argv[3]));
    if (argc >= 3 && qstrcmp(argv[1], "reference") == 0)
        return reference(argv[2]);
    if (argc >= 3 && qstrcmp(argv[1], "orvix") == 0) {
        QApplication app(argc, argv);
        return orvix(argv[2]);
    }
    std::fprintf(stderr, "usage: highlight_bench make FILE LINES | orvix FILE | reference FILE\n");
    return 2;
}
