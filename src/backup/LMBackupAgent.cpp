// LMBackupAgent: the copy under a temporary name, the rename, then the delete rule over this package's copies.
#include "LMBackupAgent.h"

#include "BackupCredentials.h"
#include "LMBackupDefinition.h"
#include "LMBackupDestination.h"
#include "LMPackageWrapper.h"
#include "NotificationCenter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimeZone>
#include <algorithm>

using namespace LMBackupDefinition;

namespace {
const QString kStampFormat = QStringLiteral("yyyy-MM-dd HH.mm.ss");

QString baseName(const QString &packageName)
{
    return packageName.endsWith(QLatin1String(".orvix"), Qt::CaseInsensitive) ? packageName.chopped(6) : packageName;
}

void tarHeader(QByteArray &out, const QString &path, qint64 size, bool directory)
{
    QByteArray header(512, '\0');
    QByteArray name = path.toUtf8();
    QByteArray prefix;
    if (name.size() > 99) {
        const int cut = name.lastIndexOf('/', 154);
        prefix = name.left(cut);
        name = name.mid(cut + 1);
    }
    auto put = [&header](int offset, const QByteArray &bytes, int width) {
        memcpy(header.data() + offset, bytes.constData(), size_t(qMin(int(bytes.size()), width)));
    };
    auto octal = [](qint64 v, int width) { return QByteArray::number(v, 8).rightJustified(width - 1, '0'); };
    put(0, name, 100);
    put(100, octal(directory ? 0755 : 0644, 8), 8);
    put(108, octal(0, 8), 8);
    put(116, octal(0, 8), 8);
    put(124, octal(size, 12), 12);
    put(136, octal(QDateTime::currentSecsSinceEpoch(), 12), 12);
    put(148, QByteArray(8, ' '), 8);
    header[156] = directory ? '5' : '0';
    put(257, QByteArrayLiteral("ustar"), 6);
    put(263, QByteArrayLiteral("00"), 2);
    put(345, prefix, 155);
    unsigned sum = 0;
    for (char c : header)
        sum += static_cast<unsigned char>(c);
    put(148, octal(sum, 7) + QByteArray(1, '\0'), 8);
    out += header;
}

bool tarTree(QByteArray &out, const Value &children, const QString &prefix, QString *error)
{
    for (const QString &name : children.keys()) {
        const Value attributes = children.value(name).attributes();
        const QString path = prefix + QLatin1Char('/') + name;
        if (attributes.value(QStringLiteral("Directory")).toBool()) {
            tarHeader(out, path + QLatin1Char('/'), 0, true);
            if (!tarTree(out, attributes.value(QStringLiteral("Children")), path, error))
                return false;
            continue;
        }
        const QByteArray data = attributes.value(QStringLiteral("Data")).toData();
        tarHeader(out, path, data.size(), false);
        out += data;
        out += QByteArray((512 - data.size() % 512) % 512, '\0');
    }
    return true;
}
} // namespace

LMBackupAgent::LMBackupAgent(QObject *parent) : QObject(parent), m_clock([] { return QDateTime::currentDateTimeUtc(); })
{
}

QString LMBackupAgent::copyName(const QString &packageName, const QDateTime &when, bool folder)
{
    return QStringLiteral("%1 %2.orvix%3")
        .arg(baseName(packageName), when.toUTC().toString(kStampFormat), folder ? QString() : QStringLiteral(".tar"));
}

QDateTime LMBackupAgent::copyTime(const QString &packageName, const QString &name)
{
    const QRegularExpression pattern(
        QStringLiteral("^%1 (\\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d)\\.orvix(\\.tar)?$")
            .arg(QRegularExpression::escape(baseName(packageName))));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return QDateTime();
    QDateTime when = QDateTime::fromString(match.captured(1), kStampFormat);
    when.setTimeZone(QTimeZone::utc());
    return when;
}

QByteArray LMBackupAgent::tarOfWrapper(const Value &wrapper, QString *error)
{
    Value full = wrapper;
    if (!LMPackageWrapper::hasContents(wrapper)) {
        // A large package travelled by path: read it now, in one piece.
        full = LMPackageWrapper::wrap(LMPackageWrapper::path(wrapper), error, std::numeric_limits<qint64>::max());
        if (full.isNull())
            return QByteArray();
    }
    const QString top = LMPackageWrapper::name(full);
    QByteArray out;
    tarHeader(out, top + QLatin1Char('/'), 0, true);
    if (!tarTree(out, full.attributes().value(QStringLiteral("Children")), top, error))
        return QByteArray();
    out += QByteArray(1024, '\0');
    return out;
}

LMBackupResult LMBackupAgent::perform(const Value &request)
{
    LMBackupResult result;
    QString error;
    const Value definition = BackupCredentials::openedDefinition(request, &error);
    if (request.contains(Key::SealedPassword) && !definition.contains(Key::Password)) {
        result.message = QStringLiteral("The password of the backup could not be read: %1").arg(error);
        emit backupFinished(result);
        return result;
    }
    const Value wrapper = request.value(Key::FileWrapper);
    if (!LMPackageWrapper::isDirectoryWrapper(wrapper)) {
        result.message = QStringLiteral("The backup request carries no document.");
        emit backupFinished(result);
        return result;
    }
    std::unique_ptr<LMBackupDestination> destination = LMBackupDestination::forDefinition(definition, &error);
    if (!destination) {
        result.message = error;
        emit backupFinished(result);
        return result;
    }

    const QString package = LMPackageWrapper::name(wrapper);
    const QDateTime now = m_clock();
    QStringList existing;
    destination->list(&existing, nullptr); // a missing folder is created by the copy
    QString name = copyName(package, now, destination->storesFolders());
    // Two copies within one second keep both: the later one waits for the next free second in its name.
    for (int i = 1; existing.contains(name) && i < 3600; ++i)
        name = copyName(package, now.addSecs(i), destination->storesFolders());
    const QString temporary = QStringLiteral(".%1.partial").arg(name);

    bool copied = false;
    if (destination->storesFolders()) {
        copied = destination->putFolder(wrapper, temporary, name, &error);
    } else {
        const QByteArray tar = tarOfWrapper(wrapper, &error);
        copied = !tar.isEmpty() && destination->putFile(tar, temporary, name, &error);
    }
    if (!copied) {
        result.message = error.isEmpty() ? QStringLiteral("The copy could not be made.") : error;
        emit backupFinished(result);
        return result;
    }
    result.ok = true;
    result.copyName = name;

    // The delete rule touches only this package's copies, recognised by their names, never the one just made.
    const QString rule = definition.value(Key::DeleteRule).toString();
    const qint64 days = definition.value(Key::DeleteAfterDays).toInt();
    // "Delete after" without a positive age deletes nothing: an unset days field must not empty the folder.
    if (rule == DeleteRule::JustKeepLatest || (rule == DeleteRule::DeleteAfter && days > 0)) {
        QStringList names;
        if (!destination->list(&names, &error)) {
            result.message = QStringLiteral("The copy was made, but older copies could not be listed: %1").arg(error);
        } else {
            for (const QString &entry : names) {
                const QDateTime when = copyTime(package, entry);
                if (!when.isValid() || entry == name)
                    continue;
                const bool old = rule == DeleteRule::JustKeepLatest || when.addDays(days) < now;
                if (!old)
                    continue;
                if (destination->remove(entry, &error))
                    result.deleted.append(entry);
                else
                    result.message = QStringLiteral("An older copy could not be deleted: %1").arg(error);
            }
        }
    }
    emit backupFinished(result);
    return result;
}

void LMBackupAgent::listen()
{
    if (m_token)
        return;
    auto handler = [this](const Notification &n) { perform(n.userInfo); };
    m_token = NotificationCenter::distributedCenter().addObserver(BackupNotification, nullptr, handler);
}
