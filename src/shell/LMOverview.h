// LMOverview: the "Overview" view: one box per kind of item the login may see, with add, remove, edit
// and design on the selected item.
#pragma once

#include "LMViewController.h"
#include "LMViewRegistry.h"

#include <QHash>
#include <QPointer>

#include "LMIdentifiedView.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QGridLayout;

class LMOverview : public LMViewController {
public:
    LMOverview(const LMViewContext &context, bool firstTime);
    ~LMOverview() override;

    QString identifier() const override { return ViewKinds::identifier(ViewKind::Overview); }
    LMIdentifiedView *view() override { return m_view; }
    void refresh() override;
    void itemDidRename(ItemKind kind, const QString &oldName, const QString &newName) override;
    void itemDidDelete(ItemKind kind, const QString &name) override;

    // Rebuilds the boxes for the rights of the new login.
    void userDidLogin() override;
    // The title shows the document's name.
    void documentDidSave() override { refreshTitle(); }
    void refreshTitle();

    // The kinds shown, in order; the items of one box; selection and the box commands (tag 0 "Tables" … 4).
    QStringList shownKinds() const;
    QStringList itemsOf(const QString &kind) const;
    bool selectItem(const QString &kind, const QString &name);
    QString selectedItem(const QString &kind) const;
    void add(int tag);
    void remove(int tag);
    void edit(int tag);
    void design(int tag);
    void doubleClick(const QString &kind, const QString &name);
    QString title() const;

private:
    void rebuild();
    QListWidget *listOf(const QString &kind) const;
    QString kindOfTag(int tag) const;

    LMViewContext m_context;
    bool m_firstTime;
    QPointer<LMIdentifiedView> m_view;
    QLabel *m_title = nullptr;
    QWidget *m_boxes = nullptr;
    QGridLayout *m_grid = nullptr;
    QHash<QString, QListWidget *> m_lists;
};
