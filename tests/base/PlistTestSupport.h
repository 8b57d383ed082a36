// PlistTestSupport: strict value comparison, a canonical JSON form and a python3 runner for the plist tests.
#pragma once

#include "Value.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <cstring>

namespace PlistTestSupport {

inline QString bitsHex(double d)
{
    quint64 bits;
    std::memcpy(&bits, &d, sizeof bits);
    return QStringLiteral("%1").arg(bits, 16, 16, QLatin1Char('0'));
}

// Equal in kind, value, key order and exact bits of reals (unlike Value::operator==, where true == 1).
// Returns the path of the first difference, or an empty string.
inline QString difference(const Value &a, const Value &b, const QString &path = QStringLiteral("root"))
{
    if (a.type() != b.type())
        return path + QStringLiteral(": kind %1 vs %2").arg(int(a.type())).arg(int(b.type()));
    switch (a.type()) {
    case Value::Type::Real:
        return bitsHex(a.toDouble()) == bitsHex(b.toDouble())
                   ? QString()
                   : path + QStringLiteral(": %1 vs %2").arg(a.toDouble()).arg(b.toDouble());
    case Value::Type::Date:
        return bitsHex(a.toDate()) == bitsHex(b.toDate()) ? QString() : path + QStringLiteral(": date differs");
    case Value::Type::Image: {
        const QImage x = a.toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage y = b.toImage().convertToFormat(QImage::Format_ARGB32);
        return x == y ? QString() : path + QStringLiteral(": image differs");
    }
    case Value::Type::Array: {
        if (a.size() != b.size())
            return path + QStringLiteral(": %1 vs %2 elements").arg(a.size()).arg(b.size());
        for (int i = 0; i < a.size(); ++i) {
            const QString d = difference(a.at(i), b.at(i), path + QStringLiteral("[%1]").arg(i));
            if (!d.isEmpty())
                return d;
        }
        return QString();
    }
    case Value::Type::Object:
        if (a.className() != b.className())
            return path + QStringLiteral(": class %1 vs %2").arg(a.className(), b.className());
        return difference(a.attributes(), b.attributes(), path + QStringLiteral("<attributes>"));
    case Value::Type::Dict: {
        if (a.keys() != b.keys())
            return path + QStringLiteral(": keys (%1) vs (%2)").arg(a.keys().join(u','), b.keys().join(u','));
        for (const QString &k : a.keys()) {
            const QString d = difference(a.value(k), b.value(k), path + u'.' + k);
            if (!d.isEmpty())
                return d;
        }
        return QString();
    }
    default: return a == b ? QString() : path + QStringLiteral(": %1 vs %2").arg(a.description(), b.description());
    }
}

// The canonical form the python side prints for the same tree.
inline QJsonValue canonical(const Value &v)
{
    switch (v.type()) {
    case Value::Type::Null: return QJsonObject{{"null", true}};
    case Value::Type::Bool: return QJsonObject{{"bool", v.toBool()}};
    case Value::Type::Int: return QJsonObject{{"int", QString::number(v.toInt())}};
    case Value::Type::Real: return QJsonObject{{"real", bitsHex(v.toDouble())}};
    case Value::Type::String: return QJsonObject{{"str", v.toString()}};
    case Value::Type::Data: return QJsonObject{{"data", QString::fromLatin1(v.toData().toHex())}};
    case Value::Type::Date: return QJsonObject{{"date", bitsHex(v.toDate())}};
    case Value::Type::Uid: return QJsonObject{{"uid", QString::number(v.toUid())}};
    case Value::Type::Image: return QJsonObject{{"image", true}};
    case Value::Type::Array: {
        QJsonArray out;
        for (const Value &item : v.toList())
            out.append(canonical(item));
        return out;
    }
    case Value::Type::Dict:
    case Value::Type::Object: {
        QJsonArray entries;
        for (const QString &k : v.keys())
            entries.append(QJsonArray{k, canonical(v.value(k))});
        if (v.isDict())
            return QJsonObject{{"dict", entries}};
        return QJsonObject{{"object", v.className()}, {"attrs", entries}};
    }
    }
    return QJsonValue();
}

// The canonical form in python, shared by the scripts below (plistlib's values in, JSON-able values out).
inline QString pythonCanonical()
{
    return QStringLiteral(R"PY(
import plistlib, sys, json, struct, datetime
def bits(d): return struct.pack('>d', d).hex()
def c(o):
    if isinstance(o, bool): return {"bool": o}
    if isinstance(o, int): return {"int": str(o)}
    if isinstance(o, float): return {"real": bits(o)}
    if isinstance(o, str): return {"str": o}
    if isinstance(o, (bytes, bytearray)): return {"data": o.hex()}
    if isinstance(o, datetime.datetime): return {"date": bits((o - datetime.datetime(2001, 1, 1)).total_seconds())}
    if isinstance(o, plistlib.UID): return {"uid": str(o.data)}
    if isinstance(o, list): return [c(x) for x in o]
    if isinstance(o, dict): return {"dict": [[k, c(v)] for k, v in o.items()]}
    raise TypeError(type(o))
)PY");
}

inline QString python()
{
    return QStandardPaths::findExecutable(QStringLiteral("python3"));
}

// Runs a python script; returns its standard output, or a null array (with the failure in *error).
inline QByteArray runPython(const QString &script, const QStringList &args, QString *error)
{
    QProcess p;
    p.start(python(), QStringList{QStringLiteral("-c"), script} + args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *error = QString::fromUtf8(p.readAllStandardError()) + p.errorString();
        return QByteArray();
    }
    QByteArray out = p.readAllStandardOutput();
    if (out.isNull())
        out = QByteArray("");
    return out;
}

} // namespace PlistTestSupport
