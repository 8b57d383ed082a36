// LMBackupDefinition: the keys, new values and rules of one backup definition (a plain dictionary).
#pragma once

#include "Value.h"

#include <QString>
#include <QStringList>

namespace LMBackupDefinition {
namespace Key {
inline const QString Name = QStringLiteral("Name");
inline const QString Type = QStringLiteral("Type");
inline const QString Server = QStringLiteral("Server");
inline const QString Username = QStringLiteral("Username");
inline const QString Password = QStringLiteral("Password");
inline const QString Directory = QStringLiteral("Directory");
inline const QString DeleteRule = QStringLiteral("Delete rule");
inline const QString DeleteAfterDays = QStringLiteral("Delete rule delete after");
inline const QString ServerGoesOnline = QStringLiteral("Server goes online");
inline const QString FileIsOpened = QStringLiteral("File is opened");
inline const QString FileIsSaved = QStringLiteral("File is saved");
inline const QString FileIsClosed = QStringLiteral("File is closed");
inline const QString AppIsLaunched = QStringLiteral("Lumora is launched");
inline const QString AppIsQuit = QStringLiteral("Lumora is quit");
inline const QString BackupAtEvery = QStringLiteral("Backup at every");
inline const QString BackupAtEveryTime = QStringLiteral("Backup at every time");
inline const QString BackupAtEveryNumber = QStringLiteral("Backup at every number");
inline const QString BackupAtEveryUnits = QStringLiteral("Backup at every units");
inline const QString AlertUserWithDialog = QStringLiteral("Alert user with dialog");
inline const QString EmailThisAddress = QStringLiteral("Email this address");
inline const QString EmailThisAddressText = QStringLiteral("Email this address text");
inline const QString RetryWhenOnline = QStringLiteral("Retry when media next goes online");
inline const QString RetryAfter = QStringLiteral("Retry after");
inline const QString RetryAfterNumber = QStringLiteral("Retry after number");
inline const QString RetryAfterUnits = QStringLiteral("Retry after units");
// The package handed to the agent with a manual backup.
inline const QString FileWrapper = QStringLiteral("FILEWRAPPER");
// The password as it travels and is stored: sealed with the user's backup key (BackupCredentials).
inline const QString SealedPassword = QStringLiteral("Password (sealed)");
} // namespace Key

namespace Kind {
inline const QString FTP = QStringLiteral("FTP");
inline const QString SecureFTP = QStringLiteral("Secure FTP");
inline const QString WebDAV = QStringLiteral("WebDAV");
inline const QString SecureWebDAV = QStringLiteral("Secure WebDAV");
inline const QString DotMac = QStringLiteral(".Mac");
inline const QString File = QStringLiteral("File");
} // namespace Kind

namespace DeleteRule {
inline const QString MaintainAll = QStringLiteral("Maintain all");
inline const QString JustKeepLatest = QStringLiteral("Just keep latest");
inline const QString DeleteAfter = QStringLiteral("Delete after");
} // namespace DeleteRule

inline const QString BackupNotification = QStringLiteral("LMAddEventNotification");

// A new definition with the values a freshly added one has.
Value newDefinition();
// The destination kinds in the order the kind menu offers them.
QStringList kinds();
// Choices of the period and retry unit menus.
QStringList periodUnits();
QStringList retryUnits();
// The list icon of a kind ("Backup_FTP", …); the FTP icon for an unknown kind.
QString iconName(const QString &kind);

// Which credential and server fields a kind leaves editable.
struct FieldState {
    bool username = true;
    bool password = true;
    bool server = true;
};
FieldState fieldState(const QString &kind);
// "KIND - SERVER" under the name, or "" for the kinds without a server.
QString descriptionLine(const QString &kind, const QString &server);

// Stores the chosen delete rule; "Delete after" also stores the days.
void setDeleteRule(Value definition, const QString &rule, qint64 days = 0);
} // namespace LMBackupDefinition
