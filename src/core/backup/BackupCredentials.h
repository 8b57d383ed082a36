// BackupCredentials: seals backup passwords with AES-256-GCM under a key only this user can read.
#pragma once

#include "Value.h"

#include <QString>
#include <optional>

namespace BackupCredentials {
// The key file: $ORVIX_BACKUP_KEY_FILE when set, else "backup.key" in the user's Tandrel/Orvix config folder.
// Created with 32 random bytes and permissions 0600 on first use.
QString keyFilePath();
// "aesgcm1:" followed by the Base64 of nonce, ciphertext and tag; empty on failure with *error set.
QString seal(const QString &plainText, QString *error = nullptr);
// The plain text, or nullopt when the text was not sealed with this user's key or was altered.
std::optional<QString> open(const QString &sealedText, QString *error = nullptr);

// The stored form of a definition: "Password" replaced by its sealed text under "Password (sealed)".
Value sealedDefinition(const Value &definition);
// The definition with "Password" restored from "Password (sealed)" (left absent when it cannot be opened).
Value openedDefinition(const Value &stored, QString *error = nullptr);
} // namespace BackupCredentials
