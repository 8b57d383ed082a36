// LMOverview: five boxes "Tables" … "Scripts" laid out in order, hidden when the login may not see the kind.
#include "LMOverview.h"

#include "LMDocumentNavigator.h"
#include "LMIcons.h"
#include "LMIdentifiedView.h"
#include "LMItemKind.h"
#include "LMLogin.h"
#include "MyDocument.h"
#include "Ui.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

LMOverview::LMOverview(const LMViewContext &context, bool firstTime) : m_context(context), m_firstTime(firstTime)
{
    m_view = new LMIdentifiedView(ViewKinds::identifier(ViewKind::Overview));
    m_view->setController(this);
    auto *layout = new QVBoxLayout(m_view);
    layout->setContentsMargins(16, 12, 16, 12);
    m_title = new QLabel;
    QFont font = m_title->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    m_title->setFont(font);
    layout->addWidget(m_title);
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    m_boxes = new QWidget;
    m_grid = new QGridLayout(m_boxes);
    m_grid->setSpacing(12);
    scroll->setWidget(m_boxes);
    layout->addWidget(scroll, 1);
    rebuild();
}

LMOverview::~LMOverview() = default;

QString LMOverview::title() const
{
    return m_title->text();
}

void LMOverview::refreshTitle()
{
    const MyDocument *doc = m_context.document;
    const QString name =
        doc && !doc->fileName().isEmpty() ? QFileInfo(doc->fileName()).completeBaseName() : QStringLiteral("Untitled");
    m_title->setText(m_firstTime ? QStringLiteral("Welcome to %1").arg(name) : name);
}

void LMOverview::rebuild()
{
    while (QLayoutItem *item = m_grid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_lists.clear();
    const LMLogin *login = m_context.document ? m_context.document->login() : nullptr;
    int slot = 0;
    const QStringList kinds = LMItemKinds::sourceListModes();
    for (int tag = 0; tag < kinds.size(); ++tag) {
        const QString kind = kinds[tag];
        if (login && !login->isAllowedTo(kind))
            continue;
        auto *box = new QGroupBox(kind);
        box->setObjectName(kind);
        auto *boxLayout = new QVBoxLayout(box);
        auto *list = new QListWidget;
        list->setObjectName(kind + QStringLiteral(" List"));
        list->setIconSize(QSize(16, 16));
        boxLayout->addWidget(list, 1);
        auto *buttons = new QHBoxLayout;
        struct ButtonDef {
            const char *icon;
            const char *tip;
            void (LMOverview::*action)(int);
        };
        const ButtonDef defs[] = {{"SB2_Plus", "Add", &LMOverview::add},
                                  {"SB2_Minus", "Delete", &LMOverview::remove},
                                  {"SB2_Edit", "Open", &LMOverview::edit},
                                  {"SB2_Design", "Design", &LMOverview::design}};
        for (const ButtonDef &def : defs) {
            auto *b = new QToolButton;
            b->setObjectName(QLatin1String(def.tip));
            b->setIcon(LMIcons::icon(QLatin1String(def.icon)));
            b->setToolTip(QStringLiteral("%1 (%2)").arg(QLatin1String(def.tip), kind));
            b->setAutoRaise(true);
            const auto action = def.action;
            QObject::connect(b, &QToolButton::clicked, m_view, [this, action, tag] { (this->*action)(tag); });
            buttons->addWidget(b);
        }
        buttons->addStretch();
        boxLayout->addLayout(buttons);
        QObject::connect(list, &QListWidget::itemDoubleClicked, m_view,
                         [this, kind](QListWidgetItem *item) { doubleClick(kind, item->text()); });
        m_lists.insert(kind, list);
        m_grid->addWidget(box, slot / 3, slot % 3);
        ++slot;
    }
    refresh();
}

void LMOverview::refresh()
{
    refreshTitle();
    if (!m_context.document)
        return;
    for (auto it = m_lists.begin(); it != m_lists.end(); ++it) {
        const LMItemKind *kind = LMItemKinds::forMode(it.key());
        QListWidget *list = it.value();
        const QString selected = list->currentItem() ? list->currentItem()->text() : QString();
        list->clear();
        for (const QString &name : kind->itemNames(*m_context.document)) {
            auto *item = new QListWidgetItem(LMIcons::icon(kind->itemIcon()), name, list);
            if (name == selected)
                list->setCurrentItem(item);
        }
    }
}

void LMOverview::itemDidRename(ItemKind, const QString &, const QString &)
{
    refresh();
}
void LMOverview::itemDidDelete(ItemKind, const QString &)
{
    refresh();
}

void LMOverview::userDidLogin()
{
    rebuild();
}

QStringList LMOverview::shownKinds() const
{
    QStringList kinds;
    for (const QString &kind : LMItemKinds::sourceListModes())
        if (m_lists.contains(kind))
            kinds << kind;
    return kinds;
}

QListWidget *LMOverview::listOf(const QString &kind) const
{
    return m_lists.value(kind);
}

QStringList LMOverview::itemsOf(const QString &kind) const
{
    QStringList names;
    if (QListWidget *list = listOf(kind))
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
    return names;
}

bool LMOverview::selectItem(const QString &kind, const QString &name)
{
    QListWidget *list = listOf(kind);
    if (!list)
        return false;
    const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
    if (found.isEmpty())
        return false;
    list->setCurrentItem(found.first());
    return true;
}

QString LMOverview::selectedItem(const QString &kind) const
{
    QListWidget *list = listOf(kind);
    return list && list->currentItem() ? list->currentItem()->text() : QString();
}

QString LMOverview::kindOfTag(int tag) const
{
    return LMItemKinds::sourceListModes().value(tag);
}

void LMOverview::add(int tag)
{
    if (const LMItemKind *kind = LMItemKinds::forMode(kindOfTag(tag)); kind && m_context.navigator)
        kind->add(*m_context.navigator);
}

void LMOverview::remove(int tag)
{
    const QString name = selectedItem(kindOfTag(tag));
    if (name.isEmpty()) {
        Ui::instance().beep();
        return;
    }
    const std::optional<ItemKind> kind = ItemKinds::fromMode(kindOfTag(tag));
    if (kind && m_context.navigator)
        m_context.navigator->removeItem(*kind, name);
}

void LMOverview::edit(int tag)
{
    const QString name = selectedItem(kindOfTag(tag));
    const LMItemKind *kind = LMItemKinds::forMode(kindOfTag(tag));
    if (name.isEmpty() || !kind || !m_context.navigator) {
        Ui::instance().beep();
        return;
    }
    kind->edit(*m_context.navigator, name);
}

void LMOverview::design(int tag)
{
    const QString name = selectedItem(kindOfTag(tag));
    const LMItemKind *kind = LMItemKinds::forMode(kindOfTag(tag));
    if (name.isEmpty() || !kind || !m_context.navigator) {
        Ui::instance().beep();
        return;
    }
    kind->design(*m_context.navigator, name, Ui::instance().isAlternateModifierHeld());
}

void LMOverview::doubleClick(const QString &kind, const QString &name)
{
    const int tag = int(LMItemKinds::sourceListModes().indexOf(kind));
    if (!selectItem(kind, name))
        return;
    Ui::instance().isAlternateModifierHeld() ? design(tag) : edit(tag);
}
