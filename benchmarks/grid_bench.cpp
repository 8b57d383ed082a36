// grid_bench: times the record grid on a large table against a raw SQLite text loop over the same rows.
// Usage: grid_bench make <db-dir> <rows> | grid <db-dir> | jumps <db-dir> | raw <db-dir>. Prints "key=value" lines.
#include "LMIdentifiedView.h"
#include "LMTableDataTableView.h"
#include "LMTableEditContainer.h"
#include "LMTableEditModel.h"
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
#include <QStandardItemModel>
#include <QTableView>
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

// A window with the Bench grid of the package in `dir`, made once the window has painted something else, so
// that loading fonts, styles and plugins and the first backing store are not counted as the grid's.
struct BenchWindow {
    std::unique_ptr<MyDocument> doc;
    QWidget window;
    QVBoxLayout *layout = nullptr;
    LMIdentifiedView *view = nullptr;
    LMTableEditContainer *container = nullptr;

    bool open(const QString &dir)
    {
        QString error;
        doc = MyDocument::open(dir + "/Bench.orvix", "Orvix", &error);
        if (!doc)
            return std::fprintf(stderr, "open: %s\n", qPrintable(error)), false;
        window.resize(1280, 800);
        layout = new QVBoxLayout(&window);
        window.show();
        QTableView warm(&window);
        QStandardItemModel model(3, 3);
        warm.setModel(&model);
        layout->addWidget(&warm);
        QApplication::processEvents();
        window.grab();
        QApplication::processEvents();
        return true;
    }
    // From making the grid to its first screen painted (offscreen: rendered into an image).
    double showGrid()
    {
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<LMViewController> controller = makeTableEditController(doc.get(), "Bench", &window);
        view = controller->view();
        container = static_cast<LMTableEditContainer *>(controller.get());
        view->adoptController(std::move(controller));
        layout->addWidget(view);
        // The window's refresh when the tab arrives, as the document window does it.
        container->refresh();
        QApplication::processEvents();
        return painted(timer);
    }
    double painted(const QElapsedTimer &timer)
    {
        QApplication::processEvents();
        if (window.grab().isNull())
            std::fprintf(stderr, "grid did not paint\n");
        return timer.nsecsElapsed() / 1e9;
    }
    LMTableEditView *grid() const { return container->tableEditView(); }
    ~BenchWindow() { delete view; }
};

int grid(const QString &dir)
{
    BenchWindow bench;
    if (!bench.open(dir))
        return 1;
    const long before = kib("VmRSS:");
    const double firstScreen = bench.showGrid();
    LMTableDataTableView *table = bench.grid()->tableView();

    QElapsedTimer timer;
    timer.start();
    // The ids after the first screen may still be being read: the end is there once they all are.
    bench.grid()->numberOfRows();
    table->scrollToBottom();
    const double toEnd = bench.painted(timer);
    const long after = kib("VmRSS:");
    std::printf("rows=%d\nfirst_screen_s=%.4f\nscroll_end_s=%.4f\ngrid_s=%.4f\ngrid_growth_kib=%ld\npeak_kib=%ld\n",
                bench.grid()->numberOfRows(), firstScreen, toEnd, firstScreen + toEnd, after - before, kib("VmHWM:"));
    if (table->verticalScrollBar()->value() != table->verticalScrollBar()->maximum())
        return std::fprintf(stderr, "grid did not scroll\n"), 1;
    return 0;
}

// First screen, a jump to the middle row and one to the last, each painted, then a sort by a text column.
int jumps(const QString &dir)
{
    BenchWindow bench;
    if (!bench.open(dir))
        return 1;
    const double firstScreen = bench.showGrid();
    LMTableEditView *grid = bench.grid();
    const int rows = grid->numberOfRows();
    QElapsedTimer timer;
    timer.start();
    grid->gotoRowText(QString::number(rows / 2), true);
    const double middle = bench.painted(timer);
    const bool middleShown = grid->selectedRow() == rows / 2 - 1;
    timer.restart();
    grid->gotoLastRow();
    const double last = bench.painted(timer);
    const bool lastShown = grid->selectedRow() == rows - 1 &&
                           grid->model()->displayText(1, rows - 1) == QStringLiteral("Person %1").arg(rows);
    timer.restart();
    grid->didClickTableColumn(grid->model()->columnOfField("name"));
    const double sort = bench.painted(timer);
    const bool sorted = grid->model()->displayText(1, 0) == QStringLiteral("Person 1") &&
                        grid->model()->displayText(1, 1) == QStringLiteral("Person 10");
    std::printf("rows=%d\nfirst_screen_s=%.4f\njump_middle_s=%.4f\njump_last_s=%.4f\nsort_s=%.4f\npeak_kib=%ld\n", rows,
                firstScreen, middle, last, sort, kib("VmHWM:"));
    if (!middleShown || !lastShown || !sorted)
        return std::fprintf(stderr, "grid did not show the rows asked for\n"), 1;
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
        return std::fprintf(stderr, "usage: grid_bench make|grid|jumps|raw <dir> [rows]\n"), 2;
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
    if (mode == "jumps")
        return jumps(dir);
    if (mode == "raw")
        return raw(dir);
    return 2;
}
