// LMSQLView: the SQL editor: runs any statement against the document's database and shows the result rows.
#pragma once

#include "LMViewController.h"
#include "ViewKind.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

class LMIdentifiedView;
class OXDatabase;
class QLiteCursor;
class QPlainTextEdit;
class QTableView;
class QWidget;
class LMSQLResultModel;

class LMSQLView : public LMViewController {
public:
    // The marker `execute` takes to run a statement the user already confirmed.
    static QString confirmedSender() { return QStringLiteral("Go on"); }

    // `window` parents the sheets; the full form builds its view on first use.
    LMSQLView(OXDatabase *database, QWidget *window);
    ~LMSQLView() override;

    // The sheet every opening of the full view shows first.
    static void showUnsupportedWarning(QWidget *window);
    // The mini form: one line of SQL in a sheet; OK runs a non-empty text and ignores its result.
    static bool runMini(OXDatabase *database, QWidget *window);

    QString identifier() const override { return ViewKinds::identifier(ViewKind::SQL); }
    LMIdentifiedView *view() override;
    // Keeps what the statements wrote.
    void cleanUp() override;

    QString text() const;
    void setText(const QString &text);

    // A statement that begins with SELECT runs at once; any other first asks, unless `sender` is the marker.
    void execute(const QString &sender = QString());
    // Continues after the question: 0 ("Completely Sure") runs the statement.
    void alertDidEnd(int returnCode);
    static bool isSelectStatement(const QString &sql);

    // The result grid: the cursor's column names, one empty unnamed column without a result.
    std::shared_ptr<QLiteCursor> result() const { return m_result; }
    QStringList resetColumns() const;
    int numberOfRowsInTableView() const;
    QString objectValueForTableColumn(const QString &column, int row) const;

    // For the mini form's buttons.
    static void miniOKButton(OXDatabase *database, const QString &text);

private:
    void run(const QString &sql);

    OXDatabase *m_database;
    QPointer<QWidget> m_window;
    QString m_text;
    std::shared_ptr<QLiteCursor> m_result;
    QPointer<LMIdentifiedView> m_view;
    QPlainTextEdit *m_editor = nullptr;
    QTableView *m_grid = nullptr;
    LMSQLResultModel *m_model = nullptr;
};
