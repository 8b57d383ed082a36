// LMTabView: each page is a holder whose single child is the tab's LMIdentifiedView.
#include "LMTabView.h"

#include "LMIcons.h"
#include "LMIdentifiedView.h"
#include "LMViewController.h"

#include <QTabBar>
#include <QVBoxLayout>

namespace {
constexpr const char *kIconProperty = "lmIconName";
}

LMTabView::LMTabView(QWidget *parent) : QTabWidget(parent)
{
    setDocumentMode(true);
    setMovable(true);
    setTabsClosable(true);
    setElideMode(Qt::ElideRight);
    connect(this, &QTabWidget::currentChanged, this, &LMTabView::currentTabChanged);
    connect(this, &QTabWidget::tabCloseRequested, this, [this](int index) {
        setCurrentIndex(index);
        closeCurrentTab();
    });
}

int LMTabView::addNewTab()
{
    auto *holder = new QWidget;
    auto *layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new LMIdentifiedView);
    holder->setProperty(kIconProperty, QString());
    const int index = addTab(holder, QStringLiteral("New Tab"));
    setCurrentIndex(index);
    return index;
}

LMIdentifiedView *LMTabView::identifiedView(int index) const
{
    return viewIn(widget(index));
}

LMIdentifiedView *LMTabView::viewIn(QWidget *holder)
{
    if (!holder)
        return nullptr;
    for (QObject *child : holder->children())
        if (auto *view = qobject_cast<LMIdentifiedView *>(child); view && !view->property("lmLeaving").toBool())
            return view;
    return nullptr;
}

LMViewController *LMTabView::controllerAt(int index) const
{
    LMIdentifiedView *view = identifiedView(index);
    return view ? view->controller() : nullptr;
}

QString LMTabView::iconNameAt(int index) const
{
    QWidget *holder = widget(index);
    return holder ? holder->property(kIconProperty).toString() : QString();
}

QStringList LMTabView::identifiers() const
{
    QStringList ids;
    for (int i = 0; i < count(); ++i) {
        LMIdentifiedView *view = identifiedView(i);
        ids << (view ? view->identifier() : QString());
    }
    return ids;
}

void LMTabView::replaceCurrentView(LMIdentifiedView *view, const QString &label, const QString &iconName)
{
    if (currentIndex() < 0)
        addNewTab();
    QWidget *holder = currentWidget();
    if (LMIdentifiedView *old = identifiedView(currentIndex())) {
        old->setProperty("lmLeaving", true);
        old->hide();
        old->deleteLater();
    }
    holder->layout()->addWidget(view);
    view->show();
    holder->setProperty(kIconProperty, iconName);
    setTabText(currentIndex(), label);
    setTabIcon(currentIndex(), LMIcons::icon(iconName));
    setTabToolTip(currentIndex(), label);
}

void LMTabView::closeCurrentTab()
{
    const int index = currentIndex();
    if (index < 0)
        return;
    if (LMIdentifiedView *view = identifiedView(index); view && view->controller())
        emit viewWillLeave(view->controller(), view->identifier());
    QWidget *holder = widget(index);
    // The closing tab was cleaned up above; the tab that becomes selected only refreshes.
    m_current = nullptr;
    removeTab(index);
    holder->deleteLater();
}

void LMTabView::removeAllTabs()
{
    const QSignalBlocker blocker(this);
    while (count() > 0) {
        QWidget *holder = widget(0);
        if (LMIdentifiedView *view = identifiedView(0); view && view->controller())
            emit viewWillLeave(view->controller(), view->identifier());
        removeTab(0);
        holder->deleteLater();
    }
    m_current = nullptr;
}

void LMTabView::currentTabChanged(int index)
{
    QWidget *arriving = widget(index);
    if (m_current && m_current != arriving) {
        if (LMIdentifiedView *view = viewIn(m_current); view && view->controller())
            emit viewWillLeave(view->controller(), view->identifier());
    }
    m_current = arriving;
    if (index >= 0)
        emit tabArrived(index);
}
