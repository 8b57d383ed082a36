// LMItemKind: the six kinds and what each command means for them.
#include "LMItemKind.h"
#include "DesignVocabulary.h"

#include "LMDocumentNavigator.h"
#include "MyDocument.h"

#include <QHash>
#include <memory>

QStringList LMItemKind::itemNames(const MyDocument &document) const
{
    QStringList names;
    const Value items = collection(document);
    for (int i = 0; i < items.size(); ++i)
        names << items.at(i).value(DesignKey::Name).toString();
    return names;
}

namespace {
class TablesKind : public LMItemKind {
public:
    std::optional<ItemKind> itemKind() const override { return ItemKind::Table; }
    QString mode() const override { return ItemKinds::info(ItemKind::Table).mode; }
    QString type() const override { return ItemKinds::info(ItemKind::Table).type; }
    QString modeIcon() const override { return ItemKinds::info(ItemKind::Table).modeIcon; }
    QString itemIcon() const override { return ItemKinds::info(ItemKind::Table).itemIcon; }
    Value collection(const MyDocument &d) const override { return d.tables(); }
    void add(LMDocumentNavigator &w) const override { w.switchToTableDesignView(QString()); }
    bool remove(MyDocument &d, const QString &name) const override { return d.removeTableNamed(name); }
    void edit(LMDocumentNavigator &w, const QString &name) const override { w.switchToTableEditView(name); }
    void design(LMDocumentNavigator &w, const QString &name, bool) const override { w.switchToTableDesignView(name); }
    void sourceListDoubleClick(LMDocumentNavigator &w, const QString &name, bool alternate) const override
    {
        alternate ? w.switchToTableDesignView(name) : w.switchToTableEditView(name);
    }
};

class QueriesKind : public LMItemKind {
public:
    std::optional<ItemKind> itemKind() const override { return ItemKind::Query; }
    QString mode() const override { return ItemKinds::info(ItemKind::Query).mode; }
    QString type() const override { return ItemKinds::info(ItemKind::Query).type; }
    QString modeIcon() const override { return ItemKinds::info(ItemKind::Query).modeIcon; }
    QString itemIcon() const override { return ItemKinds::info(ItemKind::Query).itemIcon; }
    Value collection(const MyDocument &d) const override { return d.queries(); }
    void add(LMDocumentNavigator &w) const override { w.switchToQueryView(QString()); }
    bool remove(MyDocument &d, const QString &name) const override { return d.removeQueryNamed(name); }
    void edit(LMDocumentNavigator &w, const QString &name) const override { w.switchToQueryView(name); }
    void design(LMDocumentNavigator &w, const QString &name, bool alternate) const override
    {
        w.switchToQueryView(name, alternate);
    }
    void sourceListDoubleClick(LMDocumentNavigator &w, const QString &name, bool alternate) const override
    {
        w.switchToQueryView(name, alternate);
    }
};

class FormsKind : public LMItemKind {
public:
    std::optional<ItemKind> itemKind() const override { return ItemKind::Form; }
    QString mode() const override { return ItemKinds::info(ItemKind::Form).mode; }
    QString type() const override { return ItemKinds::info(ItemKind::Form).type; }
    QString modeIcon() const override { return ItemKinds::info(ItemKind::Form).modeIcon; }
    QString itemIcon() const override { return ItemKinds::info(ItemKind::Form).itemIcon; }
    Value collection(const MyDocument &d) const override { return d.forms(); }
    void add(LMDocumentNavigator &w) const override { w.switchToFormDesignView(QString()); }
    bool remove(MyDocument &d, const QString &name) const override { return d.removeFormNamed(name); }
    void edit(LMDocumentNavigator &w, const QString &name) const override { w.switchToFormDataView(name); }
    void design(LMDocumentNavigator &w, const QString &name, bool) const override { w.switchToFormDesignView(name); }
    void sourceListDoubleClick(LMDocumentNavigator &w, const QString &name, bool alternate) const override
    {
        alternate ? w.switchToFormDesignView(name) : w.switchToFormDataView(name);
    }
};

class ReportsKind : public LMItemKind {
public:
    std::optional<ItemKind> itemKind() const override { return ItemKind::Report; }
    QString mode() const override { return ItemKinds::info(ItemKind::Report).mode; }
    QString type() const override { return ItemKinds::info(ItemKind::Report).type; }
    QString modeIcon() const override { return ItemKinds::info(ItemKind::Report).modeIcon; }
    QString itemIcon() const override { return ItemKinds::info(ItemKind::Report).itemIcon; }
    Value collection(const MyDocument &d) const override { return d.reports(); }
    void add(LMDocumentNavigator &w) const override { w.switchToReportView(QString()); }
    bool remove(MyDocument &d, const QString &name) const override { return d.removeReportNamed(name); }
    void edit(LMDocumentNavigator &w, const QString &name) const override { w.switchToReportView(name); }
    void design(LMDocumentNavigator &w, const QString &name, bool) const override { w.switchToReportView(name); }
    void sourceListDoubleClick(LMDocumentNavigator &w, const QString &name, bool) const override
    {
        w.switchToReportView(name);
    }
};

class ScriptsKind : public LMItemKind {
public:
    std::optional<ItemKind> itemKind() const override { return ItemKind::Script; }
    QString mode() const override { return ItemKinds::info(ItemKind::Script).mode; }
    QString type() const override { return ItemKinds::info(ItemKind::Script).type; }
    QString modeIcon() const override { return ItemKinds::info(ItemKind::Script).modeIcon; }
    QString itemIcon() const override { return ItemKinds::info(ItemKind::Script).itemIcon; }
    Value collection(const MyDocument &d) const override { return d.scripts(); }
    void add(LMDocumentNavigator &w) const override { w.switchToScriptView(QString()); }
    bool remove(MyDocument &d, const QString &name) const override { return d.removeScriptNamed(name); }
    void edit(LMDocumentNavigator &w, const QString &name) const override { w.switchToScriptRun(name); }
    void design(LMDocumentNavigator &w, const QString &name, bool) const override { w.switchToScriptView(name); }
    void sourceListDoubleClick(LMDocumentNavigator &w, const QString &name, bool alternate) const override
    {
        if (alternate)
            w.switchToScriptRun(name);
        else
            w.switchToScriptView(name);
    }
    bool offersEdit() const override { return false; }
    bool offersRun() const override { return true; }
};

class UsersKind : public LMItemKind {
public:
    std::optional<ItemKind> itemKind() const override { return std::nullopt; }
    QString mode() const override { return QStringLiteral("Users"); }
    QString type() const override { return QStringLiteral("User"); }
    QString modeIcon() const override { return QStringLiteral("Users small"); }
    QString itemIcon() const override { return QStringLiteral("Users small"); }
    Value collection(const MyDocument &d) const override { return d.users(); }
    void add(LMDocumentNavigator &w) const override { w.switchToUsersGroups(QString(), true); }
    bool remove(MyDocument &d, const QString &name) const override { return d.removeUserNamed(name); }
    void edit(LMDocumentNavigator &w, const QString &name) const override { w.switchToUsersGroups(name, true); }
    void design(LMDocumentNavigator &w, const QString &name, bool) const override { w.switchToUsersGroups(name, true); }
    void sourceListDoubleClick(LMDocumentNavigator &w, const QString &name, bool) const override
    {
        w.switchToUsersGroups(name, true);
    }
    bool offersEdit() const override { return false; }
};

const QHash<QString, std::shared_ptr<const LMItemKind>> &kinds()
{
    static const QHash<QString, std::shared_ptr<const LMItemKind>> all = [] {
        QHash<QString, std::shared_ptr<const LMItemKind>> map;
        const std::shared_ptr<const LMItemKind> list[] = {
            std::make_shared<TablesKind>(),  std::make_shared<QueriesKind>(), std::make_shared<FormsKind>(),
            std::make_shared<ReportsKind>(), std::make_shared<ScriptsKind>(), std::make_shared<UsersKind>()};
        for (const auto &kind : list)
            map.insert(kind->mode(), kind);
        return map;
    }();
    return all;
}
} // namespace

const LMItemKind *LMItemKinds::forMode(const QString &mode)
{
    const auto it = kinds().constFind(mode);
    return it == kinds().constEnd() ? nullptr : it->get();
}

const QStringList &LMItemKinds::sourceListModes()
{
    static const QStringList modes = [] {
        QStringList list;
        for (ItemKind kind : ItemKinds::all())
            list << ItemKinds::mode(kind);
        return list;
    }();
    return modes;
}
