// PackageCrypto: salted slow password verifiers and the sealing of package entries with a password.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

namespace PackageCrypto {
// "pbkdf2-sha256$ITERATIONS$SALT$KEY" (Base64 parts): what is written instead of a secret or a fast digest.
QString makeVerifier(const QByteArray &secret);
bool isVerifier(const QString &text);
bool matchesVerifier(const QByteArray &secret, const QString &verifier);
// True when `bytes` start like a sealed entry.
bool isSealed(const QByteArray &bytes);
// Strong random bytes from the system's source; empty when it fails.
QByteArray randomBytes(int count);
} // namespace PackageCrypto

// Seals entries with AES-256-GCM under a key derived from the password (PBKDF2-HMAC-SHA256, random salt);
// the entry's name is authenticated with it, so entries cannot be swapped.
class PackageCipher {
public:
    explicit PackageCipher(const QString &password);

    QByteArray seal(const QString &entry, const QByteArray &plain, QString *error = nullptr);
    // Null with `error` set when the password is wrong or the bytes were changed.
    std::optional<QByteArray> unseal(const QString &entry, const QByteArray &sealed, QString *error = nullptr);

    bool matchesPassword(const QString &password) const { return password.toUtf8() == m_password; }

private:
    std::optional<QByteArray> keyFor(const QByteArray &salt, quint32 iterations);

    QByteArray m_password;
    QByteArray m_salt; // used for everything this cipher seals
    QHash<QByteArray, QByteArray> m_keys;
};
