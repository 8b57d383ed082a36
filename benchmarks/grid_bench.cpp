// grid_bench: times the record grid on a large table against a raw SQLite text loop over the same rows.
// Usage: grid_bench make <db-dir> <rows> | grid <db-dir> | raw <db-dir>. Prints "key=value" lines.
#include "LMIdentifiedView.h"
#include "LMTableDataTableView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditView.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "Preferences.h"
#include "ScriptedUi.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cstdio>
#include <sqlite3.h>

namespace {
Value field(const QString &name, const QString &type, const Value &options = Value())
{
    Value f = Value::dict({{"Name", Value(name)},
                           {"Type", Value(type)},
                           {"Unique", Value(false)},
                           {"Not Null", Value(false)},
                           {"Default", Value("")},
                           {"Regex", Value("")},
                           {"Format", Value("")},
                           {"Yes Value", Value("Yes")},
                           {"No Value", Value("No")}});
    if (!options.isNull())
        f.set("Options", options);
    return f;
}

Value benchDesign()
{
    Value fields =
        Value::array({field("id", "Primary Key"), field("name", "Text"), field("amount", "Number"),
                      field("day", "Date"), field("active", "Yes/No"),
                      field("size", "Options", Value::array({Value("Small"), Value("Medium"), Value("Large")})),
                      field("tags", "List"), field("path", "File Path"), field("note", "Text")});
    return Value::dict({{"Name", Value("Bench")}, {"Fields", fields}});
}

long kib(const char *key)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(strlen(key))).trimmed().split(' ').first().toLong();
    return 0;
}

// A document with the Bench table and `rows` rows, saved as a package in `dir`.
int make(const QString &dir, int rows)
{
    QString error;
    std::unique_ptr<MyDocument> doc = MyDocument::createNew(&error);
    if (!doc)
        return std::fprintf(stderr, "createNew: %s\n", qPrintable(error)), 1;
    OXDatabase *db = doc->database();
    const Value design = benchDesign();
    if (!db->createTableFromDesign(design))
        return std::fprintf(stderr, "createTable: %s\n", qPrintable(db->lastError())), 1;
    db->createTableDesign(design);
    db->beginTransaction();
    db->performQuery(
        QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n WHERE x<%1) "
                       "INSERT INTO Bench (name, amount, day, active, size, tags, path, note) SELECT "
                       "'Person ' || x, x * 1.25, 700000000 + x * 60, x % 2, "
                       "CASE x % 3 WHEN 0 THEN 'Small' WHEN 1 THEN 'Medium' ELSE 'Large' END, "
                       "'red, green', '/home/user/file' || x || '.txt', 'Note number ' || x || ' for the grid' FROM n")
            .arg(rows));
    db->commitTransaction();
    if (!doc->save(dir + "/Bench.orvix", "Orvix", &error))
        return std::fprintf(stderr, "save: %s\n", qPrintable(error)), 1;
    return 0;
}

int grid(const QString &dir)
{
    QString error;
    std::unique_ptr<MyDocument> doc = MyDocument::open(dir + "/Bench.orvix", "Orvix", &error);
    if (!doc)
        return std::fprintf(stderr, "open: %s\n", qPrintable(error)), 1;
    QWidget window;
    window.resize(1280, 800);
    auto *layout = new QVBoxLayout(&window);
    window.show();
    QApplication::processEvents();
    const long before = kib("VmRSS:");

    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<LMViewController> controller = makeTableEditController(doc.get(), "Bench", &window);
    LMIdentifiedView *view = controller->view();
    auto *container = static_cast<LMTableEditContainer *>(controller.get());
    view->adoptController(std::move(controller));
    layout->addWidget(view);
    QApplication::processEvents();
    // The first screen painted (offscreen: rendered into an image).
    LMTableDataTableView *table = container->tableEditView()->tableView();
    const QImage first = window.grab().toImage();
    const double firstScreen = timer.nsecsElapsed() / 1e9;

    timer.restart();
    table->scrollToBottom();
    QApplication::processEvents();
    const QImage last = window.grab().toImage();
    const double toEnd = timer.nsecsElapsed() / 1e9;
    const long after = kib("VmRSS:");
    std::printf("rows=%d\nfirst_screen_s=%.4f\nscroll_end_s=%.4f\ngrid_s=%.4f\ngrid_growth_kib=%ld\npeak_kib=%ld\n",
                container->tableEditView()->numberOfRows(), firstScreen, toEnd, firstScreen + toEnd, after - before,
                kib("VmHWM:"));
    if (first.isNull() || last.isNull() || table->verticalScrollBar()->value() != table->verticalScrollBar()->maximum())
        return std::fprintf(stderr, "grid did not paint or scroll\n"), 1;
    delete view;
    return 0;
}

// The reference: every row of the same SELECT read as text with prepare/step.
int raw(const QString &dir)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(dir + "/Bench.orvix/MainDatabase").constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK)
        return std::fprintf(stderr, "open failed\n"), 1;
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT `id`, `name`, `amount`, `day`, `active`, `size`, `tags`, `path`, `note` FROM `Bench`",
                       -1, &statement, nullptr);
    long long bytes = 0;
    int rows = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < 9; ++c) {
            sqlite3_column_text(statement, c);
            bytes += sqlite3_column_bytes(statement, c);
        }
        ++rows;
    }
    sqlite3_finalize(statement);
    const double seconds = timer.nsecsElapsed() / 1e9;
    sqlite3_close(db);
    std::printf("rows=%d\nraw_s=%.4f\ntext_bytes=%lld\npeak_kib=%ld\n", rows, seconds, bytes, kib("VmHWM:"));
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3)
        return std::fprintf(stderr, "usage: grid_bench make|grid|raw <dir> [rows]\n"), 2;
    ScriptedUi ui;
    Ui::install(&ui);
    Preferences::instance().useFile(QString::fromLocal8Bit(argv[2]) + "/preferences.ini");
    Preferences::instance().registerDefaults();
    const QString mode = argv[1];
    const QString dir = QString::fromLocal8Bit(argv[2]);
    if (mode == "make")
        return make(dir, argc > 3 ? atoi(argv[3]) : 100000);
    if (mode == "grid")
        return grid(dir);
    if (mode == "raw")
        return raw(dir);
    return 2;
}
