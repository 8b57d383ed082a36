// LMSQLView: statements go straight through the access layer; designs, validation and media are bypassed.
#include "LMSQLView.h"

#include "LMIdentifiedView.h"
#include "LMWildcard.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteConstants.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"
#include "Ui.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

class LMSQLResultModel : public QAbstractTableModel {
public:
    explicit LMSQLResultModel(LMSQLView *owner) : m_owner(owner) {}
    void reload()
    {
        beginResetModel();
        m_columns = m_owner->resetColumns();
        endResetModel();
    }
    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : m_owner->numberOfRowsInTableView();
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_columns.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return m_owner->objectValueForTableColumn(m_columns.value(index.column()), index.row());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return orientation == Qt::Horizontal ? QVariant(m_columns.value(section)) : QVariant(section + 1);
    }

private:
    LMSQLView *m_owner;
    QStringList m_columns;
};

LMSQLView::LMSQLView(OXDatabase *database, QWidget *window) : m_database(database), m_window(window) {}

LMSQLView::~LMSQLView() = default;

void LMSQLView::showUnsupportedWarning(QWidget *window)
{
    Ui::instance().runAlert(Alert::make(QStringLiteral("Warning - unsupported feature"),
                                        QStringLiteral("SQL View is an unsupported development feature. Use at "
                                                       "your own risk.")),
                            window);
}

bool LMSQLView::runMini(OXDatabase *database, QWidget *window)
{
    TextInputOptions options;
    options.title = QStringLiteral("SQL");
    options.label = QStringLiteral("SQL statement:");
    const std::optional<QString> text = Ui::instance().runTextInput(options, window);
    if (!text)
        return false;
    miniOKButton(database, *text);
    return true;
}

void LMSQLView::miniOKButton(OXDatabase *database, const QString &text)
{
    if (!database || text.isEmpty())
        return;
    database->executeQuery(text);
    if (database->lastErrorID() == QLSuccess && !isSelectStatement(text) && database->document())
        database->document()->setChanged(true);
}

LMIdentifiedView *LMSQLView::view()
{
    if (m_view)
        return m_view;
    m_view = new LMIdentifiedView(identifier());
    auto *layout = new QVBoxLayout(m_view);
    auto *splitter = new QSplitter(Qt::Vertical);
    m_editor = new QPlainTextEdit;
    m_editor->setObjectName(QStringLiteral("LMSQLText"));
    m_editor->setPlainText(m_text);
    m_editor->setPlaceholderText(QStringLiteral("SELECT * FROM …"));
    QObject::connect(m_editor, &QPlainTextEdit::textChanged, m_view, [this] { m_text = m_editor->toPlainText(); });
    auto *run = new QPushButton(QStringLiteral("Execute"));
    run->setObjectName(QStringLiteral("LMSQLExecute"));
    run->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    QObject::connect(run, &QPushButton::clicked, m_view, [this] { execute(); });
    m_grid = new QTableView;
    m_grid->setObjectName(QStringLiteral("LMSQLResult"));
    m_model = new LMSQLResultModel(this);
    m_model->setParent(m_grid);
    m_grid->setModel(m_model);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    auto *top = new QWidget;
    auto *topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(m_editor);
    topLayout->addWidget(run, 0, Qt::AlignRight);
    splitter->addWidget(top);
    splitter->addWidget(m_grid);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter);
    m_model->reload();
    QTimer::singleShot(0, m_editor, [editor = QPointer<QPlainTextEdit>(m_editor)] {
        if (editor)
            editor->setFocus();
    });
    return m_view;
}

void LMSQLView::cleanUp()
{
    if (m_database)
        m_database->save();
}

QString LMSQLView::text() const
{
    return m_text;
}

void LMSQLView::setText(const QString &text)
{
    m_text = text;
    if (m_editor && m_editor->toPlainText() != text)
        m_editor->setPlainText(text);
}

bool LMSQLView::isSelectStatement(const QString &sql)
{
    return LMWildcard::matches(QStringLiteral("SELECT*"), sql);
}

void LMSQLView::execute(const QString &sender)
{
    const QString sql = text();
    if (sender == confirmedSender() || isSelectStatement(sql)) {
        run(sql);
        return;
    }
    Alert question =
        Alert::make(QStringLiteral("Are you sure you know what you are doing?"),
                    QStringLiteral("This query doesn't seem to be a SELECT statement. It will probably "
                                   "corrupt your database so I hope that's what you want."),
                    {QStringLiteral("Completely Sure"), QStringLiteral("Take me out of this death trap!")});
    alertDidEnd(Ui::instance().runAlert(question, m_window));
}

void LMSQLView::alertDidEnd(int returnCode)
{
    if (returnCode == 0)
        execute(confirmedSender());
}

void LMSQLView::run(const QString &sql)
{
    if (!m_database)
        return;
    m_result.reset();
    m_result = m_database->executeQuery(sql);
    if (m_model)
        m_model->reload();
    if (m_grid)
        m_grid->resizeColumnsToContents();
    if (m_database->lastErrorID() != QLSuccess) {
        Ui::instance().runAlert(
            Alert::make(QStringLiteral("There was an error when executing the query"), m_database->lastError()),
            m_window);
    } else if (!isSelectStatement(sql) && m_database->document()) {
        // The statement may have changed rows behind the designs' back: the package must be saved again.
        m_database->document()->setChanged(true);
    }
    m_database->save();
}

QStringList LMSQLView::resetColumns() const
{
    if (!m_result || m_result->columnCount() == 0)
        return {QString()};
    return m_result->columns();
}

int LMSQLView::numberOfRowsInTableView() const
{
    return m_result ? int(m_result->rowCount()) : 0;
}

QString LMSQLView::objectValueForTableColumn(const QString &column, int row) const
{
    if (!m_result || row < 0 || row >= numberOfRowsInTableView())
        return QString();
    const std::optional<QLiteRow> r = m_result->rowAtIndex(quint32(row));
    return r ? r->stringForColumn(column) : QString();
}
