// LMItemKind: the six kinds and what each command means for them.
#include "LMItemKind.h"

#include "LMDocumentWindow.h"
#include "MyDocument.h"

#include <QHash>
#include <memory>

QStringList LMItemKind::itemNames(const MyDocument &document) const
{
    QStringList names;
    const Value items = collection(document);
    for (int i = 0; i < items.size(); ++i)
        names << items.at(i).value(QStringLiteral("Name")).toString();
    return names;
}

namespace {
class TablesKind : public LMItemKind {
public:
    QString mode() const override { return QStringLiteral("Tables"); }
    QString type() const override { return QStringLiteral("Table"); }
    QString modeIcon() const override { return QStringLiteral("SourceList_Tables_32"); }
    QString itemIcon() const override { return QStringLiteral("Tables 16"); }
    Value collection(const MyDocument &d) const override { return d.tables(); }
    void add(LMDocumentWindow &w) const override { w.switchToTableDesignView(QString()); }
    bool remove(MyDocument &d, const QString &name) const override { return d.removeTableNamed(name); }
    void edit(LMDocumentWindow &w, const QString &name) const override { w.switchToTableEditView(name); }
    void design(LMDocumentWindow &w, const QString &name, bool) const override { w.switchToTableDesignView(name); }
    void sourceListDoubleClick(LMDocumentWindow &w, const QString &name, bool alternate) const override
    {
        alternate ? w.switchToTableDesignView(name) : w.switchToTableEditView(name);
    }
};

class QueriesKind : public LMItemKind {
public:
    QString mode() const override { return QStringLiteral("Queries"); }
    QString type() const override { return QStringLiteral("Query"); }
    QString modeIcon() const override { return QStringLiteral("SourceList_Query_32"); }
    QString itemIcon() const override { return QStringLiteral("Query 16"); }
    Value collection(const MyDocument &d) const override { return d.queries(); }
    void add(LMDocumentWindow &w) const override { w.switchToQueryView(QString()); }
    bool remove(MyDocument &d, const QString &name) const override { return d.removeQueryNamed(name); }
    void edit(LMDocumentWindow &w, const QString &name) const override { w.switchToQueryView(name); }
    void design(LMDocumentWindow &w, const QString &name, bool alternate) const override
    {
        w.switchToQueryView(name, alternate);
    }
    void sourceListDoubleClick(LMDocumentWindow &w, const QString &name, bool alternate) const override
    {
        w.switchToQueryView(name, alternate);
    }
};

class FormsKind : public LMItemKind {
public:
    QString mode() const override { return QStringLiteral("Forms"); }
    QString type() const override { return QStringLiteral("Form"); }
    QString modeIcon() const override { return QStringLiteral("SourceList_Forms_32"); }
    QString itemIcon() const override { return QStringLiteral("Forms small"); }
    Value collection(const MyDocument &d) const override { return d.forms(); }
    void add(LMDocumentWindow &w) const override { w.switchToFormDesignView(QString()); }
    bool remove(MyDocument &d, const QString &name) const override { return d.removeFormNamed(name); }
    void edit(LMDocumentWindow &w, const QString &name) const override { w.switchToFormDataView(name); }
    void design(LMDocumentWindow &w, const QString &name, bool) const override { w.switchToFormDesignView(name); }
    void sourceListDoubleClick(LMDocumentWindow &w, const QString &name, bool alternate) const override
    {
        alternate ? w.switchToFormDesignView(name) : w.switchToFormDataView(name);
    }
};

class ReportsKind : public LMItemKind {
public:
    QString mode() const override { return QStringLiteral("Reports"); }
    QString type() const override { return QStringLiteral("Report"); }
    QString modeIcon() const override { return QStringLiteral("SourceList_Reports_32"); }
    QString itemIcon() const override { return QStringLiteral("Report 16"); }
    Value collection(const MyDocument &d) const override { return d.reports(); }
    void add(LMDocumentWindow &w) const override { w.switchToReportView(QString()); }
    bool remove(MyDocument &d, const QString &name) const override { return d.removeReportNamed(name); }
    void edit(LMDocumentWindow &w, const QString &name) const override { w.switchToReportView(name); }
    void design(LMDocumentWindow &w, const QString &name, bool) const override { w.switchToReportView(name); }
    void sourceListDoubleClick(LMDocumentWindow &w, const QString &name, bool) const override
    {
        w.switchToReportView(name);
    }
};

class ScriptsKind : public LMItemKind {
public:
    QString mode() const override { return QStringLiteral("Scripts"); }
    QString type() const override { return QStringLiteral("Script"); }
    QString modeIcon() const override { return QStringLiteral("SourceList_Scripts_32"); }
    QString itemIcon() const override { return QStringLiteral("Scripts small"); }
    Value collection(const MyDocument &d) const override { return d.scripts(); }
    void add(LMDocumentWindow &w) const override { w.switchToScriptView(QString()); }
    bool remove(MyDocument &d, const QString &name) const override { return d.removeScriptNamed(name); }
    void edit(LMDocumentWindow &w, const QString &name) const override { w.switchToScriptRun(name); }
    void design(LMDocumentWindow &w, const QString &name, bool) const override { w.switchToScriptView(name); }
    void sourceListDoubleClick(LMDocumentWindow &w, const QString &name, bool alternate) const override
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
    QString mode() const override { return QStringLiteral("Users"); }
    QString type() const override { return QStringLiteral("User"); }
    QString modeIcon() const override { return QStringLiteral("Users small"); }
    QString itemIcon() const override { return QStringLiteral("Users small"); }
    Value collection(const MyDocument &d) const override { return d.users(); }
    void add(LMDocumentWindow &w) const override { w.switchToUsersGroups(QString(), true); }
    bool remove(MyDocument &d, const QString &name) const override { return d.removeUserNamed(name); }
    void edit(LMDocumentWindow &w, const QString &name) const override { w.switchToUsersGroups(name, true); }
    void design(LMDocumentWindow &w, const QString &name, bool) const override { w.switchToUsersGroups(name, true); }
    void sourceListDoubleClick(LMDocumentWindow &w, const QString &name, bool) const override
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
    static const QStringList modes{QStringLiteral("Tables"), QStringLiteral("Queries"), QStringLiteral("Forms"),
                                   QStringLiteral("Reports"), QStringLiteral("Scripts")};
    return modes;
}
