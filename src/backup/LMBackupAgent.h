// LMBackupAgent: makes one copy for a backup request (a definition plus "FILEWRAPPER") and thins old copies.
#pragma once

#include "Value.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

struct LMBackupResult {
    bool ok = false;
    QString message; // what went wrong, or "" on success
    QString copyName;
    QStringList deleted; // earlier copies removed by the delete rule
};

class LMBackupAgent : public QObject {
    Q_OBJECT
public:
    explicit LMBackupAgent(QObject *parent = nullptr);

    // The time copies are named and aged by (tests fix it).
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    LMBackupResult perform(const Value &request);

    // Starts receiving "LMAddEventNotification" (in this process and, when a session bus is present, from others).
    void listen();

    // A copy's name: "<document> <yyyy-MM-dd HH.mm.ss>.orvix", with ".tar" for servers.
    static QString copyName(const QString &packageName, const QDateTime &when, bool folder);
    // The time encoded in a copy's name of this package, or an invalid time when the name is not one of ours.
    static QDateTime copyTime(const QString &packageName, const QString &name);
    // A ustar archive of the wrapper's tree, its entries under the package's folder name.
    static QByteArray tarOfWrapper(const Value &wrapper, QString *error);

signals:
    void backupFinished(const LMBackupResult &result);

private:
    std::function<QDateTime()> m_clock;
    int m_token = 0;
};
