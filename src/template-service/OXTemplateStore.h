// OXTemplateStore: the template service's folder: "<uid>.oxtemplate" files with "<uid>.plist" infos.
#pragma once

#include "Value.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

class OXTemplateStore {
public:
    static constexpr qint64 kMaximumSize = 10 * 1024 * 1024;

    explicit OXTemplateStore(const QString &root) : m_root(root) {}
    // Accounts allowed to upload ("EMAIL PASSWORD" per line); without any, every upload is refused.
    bool loadAccounts(const QString &path, QString *error);

    // A property-list array of {"Name", "Uid"} whose name, keywords or description contain the pattern.
    Value search(const QString &pattern) const;
    std::optional<Value> info(const QString &uid) const;
    std::optional<QByteArray> templateFile(const QString &uid) const;
    void report(const QString &uid);
    // The status text for an upload body ("OK" or "ERROR: …").
    QString upload(const QByteArray &body);

private:
    QList<Value> infos() const;
    bool validUid(const QString &uid) const;

    QString m_root;
    QHash<QString, QString> m_accounts;
};
