// BackupCredentials: AES-256-GCM through OpenSSL libcrypto, key file created 0600 beside the preferences.
#include "BackupCredentials.h"

#include "Base64.h"
#include "LMBackupDefinition.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray kPrefix = QByteArrayLiteral("aesgcm1:");
constexpr int kKeySize = 32;
constexpr int kNonceSize = 12;
constexpr int kTagSize = 16;

void setError(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

std::optional<QByteArray> readOrCreateKey(QString *error)
{
    const QString path = BackupCredentials::keyFilePath();
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            setError(error, QStringLiteral("The backup key could not be read: %1").arg(file.errorString()));
            return std::nullopt;
        }
        const QByteArray key = file.readAll();
        if (key.size() != kKeySize) {
            setError(error, QStringLiteral("The backup key file \"%1\" is damaged.").arg(path));
            return std::nullopt;
        }
        return key;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QByteArray key(kKeySize, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char *>(key.data()), kKeySize) != 1) {
        setError(error, QStringLiteral("No random bytes for the backup key."));
        return std::nullopt;
    }
    // Created with 0600 from the start (O_EXCL), so the key is never readable by others, even briefly.
    const QByteArray local = QFile::encodeName(path);
    const int fd = ::open(local.constData(), O_WRONLY | O_CREAT | O_EXCL, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        // Another process may have just created it.
        if (QFile::exists(path))
            return readOrCreateKey(error);
        setError(error, QStringLiteral("The backup key \"%1\" could not be created.").arg(path));
        return std::nullopt;
    }
    const bool written = ::write(fd, key.constData(), kKeySize) == kKeySize;
    ::close(fd);
    if (!written) {
        QFile::remove(path);
        setError(error, QStringLiteral("The backup key \"%1\" could not be written.").arg(path));
        return std::nullopt;
    }
    return key;
}
} // namespace

namespace BackupCredentials {

QString keyFilePath()
{
    const QString overridden = qEnvironmentVariable("ORVIX_BACKUP_KEY_FILE");
    if (!overridden.isEmpty())
        return overridden;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("Tandrel/Orvix/backup.key"));
}

QString seal(const QString &plainText, QString *error)
{
    const std::optional<QByteArray> key = readOrCreateKey(error);
    if (!key)
        return QString();
    const QByteArray plain = plainText.toUtf8();
    QByteArray nonce(kNonceSize, '\0');
    RAND_bytes(reinterpret_cast<unsigned char *>(nonce.data()), kNonceSize);
    QByteArray cipher(plain.size() + 16, '\0');
    QByteArray tag(kTagSize, '\0');
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    int len = 0, total = 0;
    bool ok = ctx && EVP_EncryptInit_ex(ctx, EVP_aes_256_gcm(), nullptr, nullptr, nullptr) == 1 &&
              EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_SET_IVLEN, kNonceSize, nullptr) == 1 &&
              EVP_EncryptInit_ex(ctx, nullptr, nullptr, reinterpret_cast<const unsigned char *>(key->constData()),
                                 reinterpret_cast<const unsigned char *>(nonce.constData())) == 1 &&
              EVP_EncryptUpdate(ctx, reinterpret_cast<unsigned char *>(cipher.data()), &len,
                                reinterpret_cast<const unsigned char *>(plain.constData()), int(plain.size())) == 1;
    total = len;
    ok = ok && EVP_EncryptFinal_ex(ctx, reinterpret_cast<unsigned char *>(cipher.data()) + total, &len) == 1;
    total += len;
    ok = ok && EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_GET_TAG, kTagSize, tag.data()) == 1;
    EVP_CIPHER_CTX_free(ctx);
    if (!ok) {
        setError(error, QStringLiteral("The password could not be encrypted."));
        return QString();
    }
    cipher.truncate(total);
    return QString::fromLatin1(kPrefix) + Base64::encode(nonce + cipher + tag);
}

std::optional<QString> open(const QString &sealedText, QString *error)
{
    if (!sealedText.startsWith(QString::fromLatin1(kPrefix))) {
        setError(error, QStringLiteral("The password is not in the sealed form."));
        return std::nullopt;
    }
    const std::optional<QByteArray> bytes = Base64::decode(sealedText.mid(kPrefix.size()));
    if (!bytes || bytes->size() < kNonceSize + kTagSize) {
        setError(error, QStringLiteral("The sealed password is damaged."));
        return std::nullopt;
    }
    const std::optional<QByteArray> key = readOrCreateKey(error);
    if (!key)
        return std::nullopt;
    const QByteArray nonce = bytes->left(kNonceSize);
    const QByteArray tag = bytes->right(kTagSize);
    const QByteArray cipher = bytes->mid(kNonceSize, bytes->size() - kNonceSize - kTagSize);
    QByteArray plain(cipher.size() + 16, '\0');
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    int len = 0, total = 0;
    bool ok = ctx && EVP_DecryptInit_ex(ctx, EVP_aes_256_gcm(), nullptr, nullptr, nullptr) == 1 &&
              EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_SET_IVLEN, kNonceSize, nullptr) == 1 &&
              EVP_DecryptInit_ex(ctx, nullptr, nullptr, reinterpret_cast<const unsigned char *>(key->constData()),
                                 reinterpret_cast<const unsigned char *>(nonce.constData())) == 1 &&
              EVP_DecryptUpdate(ctx, reinterpret_cast<unsigned char *>(plain.data()), &len,
                                reinterpret_cast<const unsigned char *>(cipher.constData()), int(cipher.size())) == 1;
    total = len;
    ok = ok && EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_SET_TAG, kTagSize, const_cast<char *>(tag.constData())) == 1 &&
         EVP_DecryptFinal_ex(ctx, reinterpret_cast<unsigned char *>(plain.data()) + total, &len) == 1;
    total += len;
    EVP_CIPHER_CTX_free(ctx);
    if (!ok) {
        setError(error, QStringLiteral("The password was sealed with another key or has been altered."));
        return std::nullopt;
    }
    plain.truncate(total);
    return QString::fromUtf8(plain);
}

Value sealedDefinition(const Value &definition)
{
    Value stored = definition.deepCopy();
    if (stored.contains(LMBackupDefinition::Key::Password)) {
        const QString sealed = seal(definition.value(LMBackupDefinition::Key::Password).toString());
        stored.remove(LMBackupDefinition::Key::Password);
        // A password that cannot be sealed is dropped rather than written in clear.
        if (!sealed.isEmpty())
            stored.set(LMBackupDefinition::Key::SealedPassword, sealed);
    }
    return stored;
}

Value openedDefinition(const Value &stored, QString *error)
{
    Value definition = stored.deepCopy();
    if (definition.contains(LMBackupDefinition::Key::SealedPassword)) {
        const std::optional<QString> password =
            open(definition.value(LMBackupDefinition::Key::SealedPassword).toString(), error);
        definition.remove(LMBackupDefinition::Key::SealedPassword);
        if (password)
            definition.set(LMBackupDefinition::Key::Password, *password);
    }
    return definition;
}

} // namespace BackupCredentials
