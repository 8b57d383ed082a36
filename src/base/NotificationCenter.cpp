// NotificationCenter: observer table, delivery in token order, D-Bus broadcast of distributed posts.
#include "NotificationCenter.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDataStream>
#include <QDateTime>
#include <QIODevice>
#include <QUuid>
#include <algorithm>

namespace {
const char *kPath = "/com/tandrel/Orvix/Notifications";
const char *kInterface = "com.tandrel.Orvix.Notifications";
const char *kSignal = "posted";

// User infos are plain value trees (a backup request carries a whole package wrapper): serialised directly.
void writeValue(QDataStream &out, const Value &v)
{
    out << qint32(v.type());
    switch (v.type()) {
    case Value::Type::Bool: out << v.toBool(); break;
    case Value::Type::Int: out << v.toInt(); break;
    case Value::Type::Real: out << v.toDouble(); break;
    case Value::Type::Date: out << v.toDate(); break;
    case Value::Type::String: out << v.toString(); break;
    case Value::Type::Data: out << v.toData(); break;
    case Value::Type::Dict: {
        const QStringList keys = v.keys();
        out << qint32(keys.size());
        for (const QString &k : keys) {
            out << k;
            writeValue(out, v.value(k));
        }
        break;
    }
    case Value::Type::Array: {
        out << qint32(v.size());
        for (int i = 0; i < v.size(); ++i)
            writeValue(out, v.at(i));
        break;
    }
    case Value::Type::Object:
        out << v.className();
        writeValue(out, v.attributes());
        break;
    default: break;
    }
}

Value readValue(QDataStream &in, int depth = 0)
{
    qint32 type = 0;
    in >> type;
    switch (Value::Type(type)) {
    case Value::Type::Bool: {
        bool b = false;
        in >> b;
        return Value(b);
    }
    case Value::Type::Int: {
        qint64 i = 0;
        in >> i;
        return Value(i);
    }
    case Value::Type::Real: {
        double d = 0;
        in >> d;
        return Value(d);
    }
    case Value::Type::Date: {
        double d = 0;
        in >> d;
        return Value::date(d);
    }
    case Value::Type::String: {
        QString s;
        in >> s;
        return Value(s);
    }
    case Value::Type::Data: {
        QByteArray b;
        in >> b;
        return Value(b);
    }
    case Value::Type::Dict: {
        qint32 n = 0;
        in >> n;
        Value d = Value::dict();
        if (depth > 32 || n < 0 || n > 100000)
            return d;
        for (qint32 i = 0; i < n && in.status() == QDataStream::Ok; ++i) {
            QString k;
            in >> k;
            d.set(k, readValue(in, depth + 1));
        }
        return d;
    }
    case Value::Type::Array: {
        qint32 n = 0;
        in >> n;
        Value a = Value::array();
        if (depth > 32 || n < 0 || n > 100000)
            return a;
        for (qint32 i = 0; i < n && in.status() == QDataStream::Ok; ++i)
            a.append(readValue(in, depth + 1));
        return a;
    }
    case Value::Type::Object: {
        QString className;
        in >> className;
        if (depth > 32)
            return Value();
        return Value::object(className, readValue(in, depth + 1));
    }
    default: return Value();
    }
}
} // namespace

NotificationCenter::NotificationCenter(bool distributed)
    : m_distributed(distributed), m_senderId(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

NotificationCenter &NotificationCenter::defaultCenter()
{
    static NotificationCenter center(false);
    return center;
}

NotificationCenter &NotificationCenter::distributedCenter()
{
    static NotificationCenter center(true);
    return center;
}

int NotificationCenter::addObserver(const QString &name, const void *object, Handler handler)
{
    if (m_distributed)
        connectBus();
    const int token = m_nextToken++;
    m_observers.insert(token, Observer{name, object, std::move(handler)});
    return token;
}

void NotificationCenter::removeObserver(int token)
{
    m_observers.remove(token);
}

void NotificationCenter::post(const QString &name, const void *object, const Value &userInfo)
{
    deliver(Notification{name, object, userInfo, false});
    if (!m_distributed)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    writeValue(out, userInfo);
    QDBusMessage message = QDBusMessage::createSignal(QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
                                                      QString::fromLatin1(kSignal));
    message << name << m_senderId << payload;
    bus.send(message);
}

void NotificationCenter::connectBus()
{
    if (m_busConnected || !QCoreApplication::instance())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    m_busConnected = bus.connect(QString(), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
                                 QString::fromLatin1(kSignal), this, SLOT(receiveRemote(QString, QString, QByteArray)));
}

void NotificationCenter::receiveRemote(const QString &name, const QString &senderId, const QByteArray &payload)
{
    if (senderId == m_senderId)
        return; // already delivered in this process when posted
    QDataStream in(payload);
    deliver(Notification{name, nullptr, readValue(in), true});
}

void NotificationCenter::deliver(const Notification &n)
{
    // Copy first: a handler may add or remove observers while we deliver.
    QList<int> tokens = m_observers.keys();
    std::sort(tokens.begin(), tokens.end());
    for (int token : tokens) {
        auto it = m_observers.constFind(token);
        if (it == m_observers.constEnd())
            continue;
        const Observer observer = *it;
        if (!observer.name.isEmpty() && observer.name != n.name)
            continue;
        if (observer.object && n.object && observer.object != n.object)
            continue;
        if (observer.object && !n.object)
            continue;
        observer.handler(n);
    }
}
