// LMFind: kind segments over the document's collections; the list shows name and kind per row.
#include "LMFind.h"

#include "LMIdentifiedView.h"
#include "LMWildcard.h"
#include "MyDocument.h"
#include "OXDatabase.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
struct KindIcon {
    const char *kind;
    const char *icon;
};
const KindIcon kIcons[] = {{"Tables", "Tables 16"},
                           {"Queries", "Query 16"},
                           {"Forms", "Forms 16"},
                           {"Reports", "Reports 16"},
                           {"Scripts", "Scripts 16"}};
} // namespace

const QStringList &LMFind::segments()
{
    static const QStringList list{QStringLiteral("All"),     QStringLiteral("Tables"),        QStringLiteral("Queries"),
                                  QStringLiteral("Forms"),   QStringLiteral("Reports"),       QStringLiteral("Scripts"),
                                  QStringLiteral("Backups"), QStringLiteral("Users & Groups")};
    return list;
}

QString LMFind::kindOfIcon(const QString &iconName)
{
    for (const KindIcon &k : kIcons) {
        if (iconName == QLatin1String(k.icon))
            return QString::fromLatin1(k.kind);
    }
    return QString();
}

LMFind::LMFind(const QString &query, OXDatabase *database, QWidget *window, MyDocument *document)
    : m_query(query), m_database(database), m_window(window), m_document(document)
{
    update();
}

LMFind::~LMFind() = default;

void LMFind::setQuery(const QString &query)
{
    m_query = query;
    if (m_field && m_field->text() != query)
        m_field->setText(query);
    update();
}

void LMFind::setSegment(const QString &segment)
{
    if (!segments().contains(segment))
        return;
    m_segment = segment;
    if (m_segments) {
        if (QAbstractButton *b = m_segments->button(int(segments().indexOf(segment))))
            b->setChecked(true);
    }
    update();
}

void LMFind::filterArray(const Value &source, QStringList &dest, const QString &text, QStringList &secondaryDest,
                         const QString &secondaryTypeString)
{
    const QList<Value> items = source.toList();
    for (const Value &item : items) {
        const QString name = item.isDict() ? item.value(QStringLiteral("Name")).toString() : item.toString();
        if (LMWildcard::contains(text, name)) {
            dest.append(name);
            secondaryDest.append(secondaryTypeString);
        }
    }
}

void LMFind::update()
{
    m_rows.clear();
    QStringList names, icons;
    const bool all = m_segment == QLatin1String("All");
    auto pass = [&](const QString &kind, const Value &collection, const QString &icon) {
        if (all || m_segment == kind)
            filterArray(collection, names, m_query, icons, icon);
    };
    if (m_document) {
        pass(QStringLiteral("Tables"), m_database ? Value(m_database->tablesList()) : Value::array(),
             QStringLiteral("Tables 16"));
        pass(QStringLiteral("Queries"), m_document->queries(), QStringLiteral("Query 16"));
        pass(QStringLiteral("Forms"), m_document->forms(), QStringLiteral("Forms 16"));
        pass(QStringLiteral("Reports"), m_document->reports(), QStringLiteral("Reports 16"));
        pass(QStringLiteral("Scripts"), m_document->scripts(), QStringLiteral("Scripts 16"));
    }
    for (int i = 0; i < names.size(); ++i)
        m_rows.append({names.at(i), icons.at(i)});
    reloadList();
}

std::optional<LMFind::Choice> LMFind::rowDoubleClicked(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return std::nullopt;
    const QString kind = kindOfIcon(m_rows.at(row).iconName);
    if (kind.isEmpty())
        return std::nullopt;
    return Choice{kind, m_rows.at(row).name};
}

LMIdentifiedView *LMFind::view()
{
    if (m_view)
        return m_view;
    m_view = new LMIdentifiedView(identifier());
    auto *layout = new QVBoxLayout(m_view);
    m_field = new QLineEdit(m_query);
    m_field->setObjectName(QStringLiteral("LMFindField"));
    m_field->setPlaceholderText(QStringLiteral("Find items"));
    m_field->setClearButtonEnabled(true);
    QObject::connect(m_field, &QLineEdit::textChanged, m_view, [this](const QString &text) {
        m_query = text;
        update();
    });
    auto *bar = new QHBoxLayout;
    bar->setSpacing(0);
    m_segments = new QButtonGroup(m_view);
    m_segments->setExclusive(true);
    for (int i = 0; i < segments().size(); ++i) {
        // A single "&" would be taken as a keyboard mnemonic.
        auto *button = new QPushButton(QString(segments().at(i)).replace(QLatin1Char('&'), QStringLiteral("&&")));
        button->setCheckable(true);
        button->setChecked(segments().at(i) == m_segment);
        m_segments->addButton(button, i);
        bar->addWidget(button);
    }
    bar->addStretch();
    QObject::connect(m_segments, &QButtonGroup::idClicked, m_view,
                     [this](int id) { setSegment(segments().value(id)); });
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("LMFindList"));
    layout->addWidget(m_field);
    layout->addLayout(bar);
    layout->addWidget(m_list);
    reloadList();
    return m_view;
}

void LMFind::reloadList()
{
    if (!m_list)
        return;
    m_list->clear();
    for (const Row &row : m_rows) {
        auto *item = new QListWidgetItem(QStringLiteral("%1 — %2").arg(row.name, kindOfIcon(row.iconName)));
        item->setData(Qt::UserRole, row.name);
        m_list->addItem(item);
    }
}
