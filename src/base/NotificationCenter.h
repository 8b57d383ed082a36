// NotificationCenter: in-process notifications by name; the distributed centre also crosses processes over D-Bus.
#pragma once

#include "Value.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

struct Notification {
    QString name;
    const void *object = nullptr; // the poster, or null
    Value userInfo;               // a dictionary, or null
    bool fromOtherProcess = false;
};

class NotificationCenter : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const Notification &)>;

    // The in-process centre.
    static NotificationCenter &defaultCenter();
    // The centre whose posts reach other processes of the same user too (when a session bus is present).
    static NotificationCenter &distributedCenter();

    // Observes `name` (empty: every name) from `object` (null: any poster). Returns a token for removal.
    int addObserver(const QString &name, const void *object, Handler handler);
    void removeObserver(int token);

    void post(const QString &name, const void *object = nullptr, const Value &userInfo = Value());

    bool isDistributed() const { return m_distributed; }

private slots:
    void receiveRemote(const QString &name, const QString &senderId, const QByteArray &payload);

private:
    explicit NotificationCenter(bool distributed);
    void deliver(const Notification &n);
    void connectBus();

    struct Observer {
        QString name;
        const void *object;
        Handler handler;
    };
    QHash<int, Observer> m_observers;
    int m_nextToken = 1;
    bool m_distributed;
    bool m_busConnected = false;
    QString m_senderId;
};
