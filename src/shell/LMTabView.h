// LMTabView: the document window's tabs; each shows one LMIdentifiedView with a label, an icon name and
// an identifier. Leaving a tab cleans its controller up before the arriving tab's controller refreshes.
#pragma once

#include <QPointer>
#include <QTabWidget>

class LMIdentifiedView;
class LMViewController;

class LMTabView : public QTabWidget {
    Q_OBJECT
public:
    explicit LMTabView(QWidget *parent = nullptr);

    // Appends a tab labelled "New Tab" with an empty background and selects it.
    int addNewTab();
    // Removes the selected tab after its controller was told it is leaving.
    void closeCurrentTab();
    void removeAllTabs();

    LMIdentifiedView *identifiedView(int index) const;
    LMViewController *controllerAt(int index) const;
    LMViewController *currentController() const { return controllerAt(currentIndex()); }
    QString iconNameAt(int index) const;
    QStringList identifiers() const;

    // Puts `view` into the selected tab in place of its view (which is deleted later, so a view may
    // replace itself from its own button).
    void replaceCurrentView(LMIdentifiedView *view, const QString &label, const QString &iconName);

signals:
    // The controller of a view that is being left, replaced or closed: commit now.
    void viewWillLeave(LMViewController *controller, const QString &identifier);
    // A tab became the selected one by the user or by closing another tab.
    void tabArrived(int index);

private:
    void currentTabChanged(int index);
    static LMIdentifiedView *viewIn(QWidget *holder);
    // The page shown before the latest change (tracked by page, since tabs can be moved).
    QPointer<QWidget> m_current;
};
