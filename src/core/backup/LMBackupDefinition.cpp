// LMBackupDefinition: new values, kind rules, icons and description line of backup definitions.
#include "LMBackupDefinition.h"

namespace LMBackupDefinition {

Value newDefinition()
{
    return Value::dict({
        {Key::Name, QStringLiteral("Untitled")},
        {Key::Type, Kind::FTP},
        {Key::DeleteRule, DeleteRule::MaintainAll},
        {Key::ServerGoesOnline, false},
        {Key::FileIsOpened, false},
        {Key::FileIsSaved, false},
        {Key::FileIsClosed, false},
        {Key::AppIsLaunched, false},
        {Key::AppIsQuit, false},
        {Key::BackupAtEvery, false},
        {Key::BackupAtEveryTime, Value::date(0)},
        {Key::BackupAtEveryNumber, 1},
        {Key::BackupAtEveryUnits, QStringLiteral("hours")},
        {Key::AlertUserWithDialog, false},
        {Key::EmailThisAddress, false},
        {Key::EmailThisAddressText, QString()},
        {Key::RetryWhenOnline, false},
        {Key::RetryAfter, false},
        {Key::RetryAfterNumber, 1},
        {Key::RetryAfterUnits, QStringLiteral("seconds")},
    });
}

QStringList kinds()
{
    return {Kind::FTP, Kind::SecureFTP, Kind::WebDAV, Kind::SecureWebDAV, Kind::DotMac, Kind::File};
}

QStringList periodUnits()
{
    return {QStringLiteral("minutes"), QStringLiteral("hours"), QStringLiteral("days"), QStringLiteral("weeks")};
}

QStringList retryUnits()
{
    return {QStringLiteral("seconds"), QStringLiteral("minutes"), QStringLiteral("hours")};
}

QString iconName(const QString &kind)
{
    if (kind == Kind::SecureFTP)
        return QStringLiteral("Backup_SFTP");
    if (kind == Kind::WebDAV)
        return QStringLiteral("Backup_Dav");
    if (kind == Kind::SecureWebDAV)
        return QStringLiteral("Backup_SDav");
    if (kind == Kind::DotMac)
        return QStringLiteral("Backup_DotMac");
    if (kind == Kind::File)
        return QStringLiteral("Backup_File");
    return QStringLiteral("Backup_FTP");
}

FieldState fieldState(const QString &kind)
{
    if (kind == Kind::DotMac)
        return {true, true, false};
    if (kind == Kind::File)
        return {false, false, false};
    return {};
}

QString descriptionLine(const QString &kind, const QString &server)
{
    if (kind == Kind::DotMac || kind == Kind::File)
        return QString();
    return QStringLiteral("%1 - %2").arg(kind, server);
}

void setDeleteRule(Value definition, const QString &rule, qint64 days)
{
    definition.set(Key::DeleteRule, rule);
    if (rule == DeleteRule::DeleteAfter)
        definition.set(Key::DeleteAfterDays, days);
}

} // namespace LMBackupDefinition
