// OXTemplateStore: answers search, info, download, report and upload from the service's folder.
#include "OXTemplateStore.h"

#include "Base64.h"
#include "KeyedArchive.h"
#include "PropertyList.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>
#include <QUuid>

namespace {
// Form fields: "+" is a space as in any form body; percent escapes decode to UTF-8.
QHash<QString, QByteArray> formFields(const QByteArray &body)
{
    QHash<QString, QByteArray> fields;
    for (const QByteArray &pair : body.split('&')) {
        const int eq = pair.indexOf('=');
        if (eq <= 0)
            continue;
        QByteArray value = pair.mid(eq + 1);
        value.replace('+', ' ');
        fields.insert(QString::fromLatin1(pair.left(eq)), QByteArray::fromPercentEncoding(value));
    }
    return fields;
}
} // namespace

bool OXTemplateStore::loadAccounts(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        if (parts.size() == 2)
            m_accounts.insert(QString::fromUtf8(parts[0]), QString::fromUtf8(parts[1]));
    }
    return true;
}

bool OXTemplateStore::validUid(const QString &uid) const
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9_-]{1,64}$"));
    return pattern.match(uid).hasMatch(); // never a path out of the folder
}

QList<Value> OXTemplateStore::infos() const
{
    QList<Value> result;
    const QStringList files = QDir(m_root).entryList({QStringLiteral("*.plist")}, QDir::Files, QDir::Name);
    for (const QString &name : files) {
        QFile file(QDir(m_root).filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const std::optional<Value> info = PropertyList::read(file.readAll());
        if (info && info->isDict() &&
            QFile::exists(
                QDir(m_root).filePath(info->value(QStringLiteral("Uid")).toString() + QStringLiteral(".oxtemplate"))))
            result.append(*info);
    }
    return result;
}

Value OXTemplateStore::search(const QString &pattern) const
{
    Value found = Value::array();
    for (const Value &info : infos()) {
        const QString text = info.value(QStringLiteral("Name")).toString() + QLatin1Char('\n') +
                             info.value(QStringLiteral("Keywords")).toString() + QLatin1Char('\n') +
                             info.value(QStringLiteral("Description")).toString();
        if (text.contains(pattern, Qt::CaseInsensitive))
            found.append(Value::dict({{QStringLiteral("Name"), info.value(QStringLiteral("Name"))},
                                      {QStringLiteral("Uid"), info.value(QStringLiteral("Uid"))}}));
    }
    return found;
}

std::optional<Value> OXTemplateStore::info(const QString &uid) const
{
    for (const Value &info : infos())
        if (info.value(QStringLiteral("Uid")).toString() == uid)
            return info;
    return std::nullopt;
}

std::optional<QByteArray> OXTemplateStore::templateFile(const QString &uid) const
{
    if (!validUid(uid))
        return std::nullopt;
    QFile file(QDir(m_root).filePath(uid + QStringLiteral(".oxtemplate")));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

void OXTemplateStore::report(const QString &uid)
{
    if (!info(uid))
        return;
    QFile file(QDir(m_root).filePath(QStringLiteral("reports.txt")));
    if (file.open(QIODevice::Append))
        file.write(QStringLiteral("%1 %2\n").arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate), uid).toUtf8());
}

QString OXTemplateStore::upload(const QByteArray &body)
{
    const QHash<QString, QByteArray> fields = formFields(body);
    const QByteArray data = fields.value(QStringLiteral("data"));
    if (data.isEmpty() || !fields.contains(QStringLiteral("postData")))
        return QStringLiteral("ERROR: No Data");
    if (data.size() > kMaximumSize * 2)
        return QStringLiteral("ERROR: Too Large");
    const std::optional<QByteArray> once = Base64::decode(QString::fromLatin1(data));
    const std::optional<QByteArray> archive = once ? Base64::decode(QString::fromLatin1(*once)) : std::nullopt;
    if (!archive || archive->isEmpty())
        return QStringLiteral("ERROR: No Data");
    if (archive->size() > kMaximumSize)
        return QStringLiteral("ERROR: Too Large");
    const std::optional<Value> root = KeyedArchive::unarchive(*archive, QStringLiteral("key"));
    const std::optional<Value> post = PropertyList::read(fields.value(QStringLiteral("postData")));
    if (!root || !root->isDict() || !post || !post->isDict())
        return QStringLiteral("ERROR: No Data");
    const QString email = post->value(QStringLiteral("submitterEmail")).toString();
    const QString password = post->value(QStringLiteral("submitterPassword")).toString();
    if (email.isEmpty() || !m_accounts.contains(email) || m_accounts.value(email) != password)
        return QStringLiteral("ERROR: Invalid Email Address or Password");
    const QString name = post->value(QStringLiteral("name")).toString().trimmed();
    if (name.isEmpty())
        return QStringLiteral("ERROR: No Data");
    for (const Value &info : infos())
        if (info.value(QStringLiteral("Name")).toString().compare(name, Qt::CaseInsensitive) == 0)
            return QStringLiteral("ERROR: Name Already in Use");

    const QString uid = QUuid::createUuid().toString(QUuid::Id128);
    const Value info =
        Value::dict({{QStringLiteral("Name"), name},
                     {QStringLiteral("Uid"), uid},
                     {QStringLiteral("Keywords"), post->value(QStringLiteral("keywords")).toString()},
                     {QStringLiteral("Description"), post->value(QStringLiteral("description")).toString()},
                     {QStringLiteral("Submitter"), email}});
    // The template first, the info last: a template is listed only once both are whole.
    QSaveFile file(QDir(m_root).filePath(uid + QStringLiteral(".oxtemplate")));
    QSaveFile infoFile(QDir(m_root).filePath(uid + QStringLiteral(".plist")));
    if (!file.open(QIODevice::WriteOnly) || file.write(*once) != once->size() || !file.commit() ||
        !infoFile.open(QIODevice::WriteOnly) ||
        infoFile.write(PropertyList::write(info, PropertyList::Format::Xml)) < 0 || !infoFile.commit())
        return QStringLiteral("ERROR: Could not store the template");
    return QStringLiteral("OK");
}
