// LMFind: kind segments over the document's collections; the list shows name and kind per row.
#include "LMFind.h"
#include "DesignVocabulary.h"

#include "ItemKind.h"
#include "LMDocumentNavigator.h"
#include "LMIcons.h"
#include "LMIdentifiedView.h"
#include "LMSearchOpening.h"
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
// The finder's own icon per kind, as its rows show them.
struct KindIcon {
    ItemKind kind;
    const char *icon;
};
const KindIcon kIcons[] = {{ItemKind::Table, "Tables 16"},
                           {ItemKind::Query, "Query 16"},
                           {ItemKind::Form, "Forms 16"},
                           {ItemKind::Report, "Reports 16"},
                           {ItemKind::Script, "Scripts 16"}};
} // namespace

const QStringList &LMFind::segments()
{
    static const QStringList list = [] {
        QStringList names{QStringLiteral("All")};
        for (ItemKind kind : ItemKinds::all())
            names << ItemKinds::mode(kind);
        return names << QStringLiteral("Backups") << QStringLiteral("Users & Groups");
    }();
    return list;
}

QString LMFind::kindOfIcon(const QString &iconName)
{
    for (const KindIcon &k : kIcons) {
        if (iconName == QLatin1String(k.icon))
            return ItemKinds::mode(k.kind);
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
        const QString name = item.isDict() ? item.value(DesignKey::Name).toString() : item.toString();
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
    for (const KindIcon &k : kIcons) {
        if (!m_document || (!all && m_segment != ItemKinds::mode(k.kind)))
            continue;
        Value collection;
        switch (k.kind) {
        case ItemKind::Table: collection = m_database ? Value(m_database->tablesList()) : Value::array(); break;
        case ItemKind::Query: collection = m_document->queries(); break;
        case ItemKind::Form: collection = m_document->forms(); break;
        case ItemKind::Report: collection = m_document->reports(); break;
        case ItemKind::Script: collection = m_document->scripts(); break;
        }
        filterArray(collection, names, m_query, icons, QString::fromLatin1(k.icon));
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
    if (m_navigator)
        LMSearchOpening::switchToObject(*m_navigator, m_rows.at(row).name, kind);
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
    QObject::connect(m_field, &QLineEdit::textEdited, m_view, [this](const QString &text) {
        m_query = text;
        update();
        // The tab is named after what it searches for.
        if (m_navigator)
            m_navigator->setCurrentTabLabel(text.isEmpty() ? QStringLiteral("Find") : text);
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
    QObject::connect(m_list, &QListWidget::itemActivated, m_view,
                     [this](QListWidgetItem *item) { rowDoubleClicked(m_list->row(item)); });
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
        auto *item = new QListWidgetItem(LMIcons::icon(row.iconName),
                                         QStringLiteral("%1 — %2").arg(row.name, kindOfIcon(row.iconName)));
        item->setData(Qt::UserRole, row.name);
        m_list->addItem(item);
    }
}
