// PackageCrypto: PBKDF2 verifiers and AES-256-GCM sealed entries on OpenSSL's libcrypto.
#include "PackageCrypto.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <QStringList>
#include <memory>

namespace {
const QByteArray kMagic = QByteArrayLiteral("ORVXSEAL");
constexpr char kVersion = 1;
constexpr quint32 kIterations = 200000;
constexpr int kSaltSize = 16;
constexpr int kNonceSize = 12;
constexpr int kTagSize = 16;
constexpr int kKeySize = 32;
constexpr int kHeaderSize = 8 + 1 + 4 + kSaltSize + kNonceSize;

std::optional<QByteArray> derive(const QByteArray &secret, const QByteArray &salt, quint32 iterations)
{
    QByteArray key(kKeySize, '\0');
    if (PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()), reinterpret_cast<const unsigned char *>(salt.data()),
                          int(salt.size()), int(iterations), EVP_sha256(), kKeySize,
                          reinterpret_cast<unsigned char *>(key.data())) != 1)
        return std::nullopt;
    return key;
}

void putUint32(QByteArray &out, quint32 v)
{
    out.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

quint32 getUint32(const QByteArray &in, int at)
{
    const auto b = [&](int i) { return quint32(quint8(in.at(at + i))); };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

void setError(QString *error, const QString &message)
{
    if (error)
        *error = message;
}
} // namespace

QByteArray PackageCrypto::randomBytes(int count)
{
    QByteArray bytes(count, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char *>(bytes.data()), count) != 1)
        return QByteArray();
    return bytes;
}

QString PackageCrypto::makeVerifier(const QByteArray &secret)
{
    const QByteArray salt = randomBytes(kSaltSize);
    const std::optional<QByteArray> key = salt.isEmpty() ? std::nullopt : derive(secret, salt, kIterations);
    if (!key)
        return QString();
    return QStringLiteral("pbkdf2-sha256$%1$%2$%3")
        .arg(kIterations)
        .arg(QString::fromLatin1(salt.toBase64()), QString::fromLatin1(key->toBase64()));
}

bool PackageCrypto::isVerifier(const QString &text)
{
    return text.startsWith(QLatin1String("pbkdf2-sha256$")) && text.count(QLatin1Char('$')) == 3;
}

bool PackageCrypto::matchesVerifier(const QByteArray &secret, const QString &verifier)
{
    if (!isVerifier(verifier))
        return false;
    const QStringList parts = verifier.split(QLatin1Char('$'));
    bool ok = false;
    const quint32 iterations = parts.at(1).toUInt(&ok);
    // A bound on the count keeps a hostile file from stalling the program.
    if (!ok || iterations == 0 || iterations > 10000000)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts.at(2).toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts.at(3).toLatin1());
    const std::optional<QByteArray> key = derive(secret, salt, iterations);
    return key && expected.size() == key->size() &&
           CRYPTO_memcmp(key->constData(), expected.constData(), size_t(key->size())) == 0;
}

bool PackageCrypto::isSealed(const QByteArray &bytes)
{
    return bytes.startsWith(kMagic);
}

PackageCipher::PackageCipher(const QString &password)
    : m_password(password.toUtf8()), m_salt(PackageCrypto::randomBytes(kSaltSize))
{
}

std::optional<QByteArray> PackageCipher::keyFor(const QByteArray &salt, quint32 iterations)
{
    const QByteArray cacheKey = salt + QByteArray::number(iterations);
    if (const auto it = m_keys.constFind(cacheKey); it != m_keys.constEnd())
        return *it;
    const std::optional<QByteArray> key = derive(m_password, salt, iterations);
    if (key)
        m_keys.insert(cacheKey, *key);
    return key;
}

QByteArray PackageCipher::seal(const QString &entry, const QByteArray &plain, QString *error)
{
    const QByteArray nonce = PackageCrypto::randomBytes(kNonceSize);
    const std::optional<QByteArray> key = m_salt.isEmpty() ? std::nullopt : keyFor(m_salt, kIterations);
    if (nonce.isEmpty() || !key) {
        setError(error, QStringLiteral("No key could be made for the document's protection."));
        return QByteArray();
    }
    QByteArray header = kMagic;
    header.append(kVersion);
    putUint32(header, kIterations);
    header.append(m_salt).append(nonce);
    const QByteArray aad = header + entry.toUtf8();

    CipherContext ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    QByteArray out(plain.size() + kTagSize, '\0');
    int length = 0;
    int finalLength = 0;
    auto *outBytes = reinterpret_cast<unsigned char *>(out.data());
    const bool ok =
        ctx && EVP_EncryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) == 1 &&
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_IVLEN, kNonceSize, nullptr) == 1 &&
        EVP_EncryptInit_ex(ctx.get(), nullptr, nullptr, reinterpret_cast<const unsigned char *>(key->constData()),
                           reinterpret_cast<const unsigned char *>(nonce.constData())) == 1 &&
        EVP_EncryptUpdate(ctx.get(), nullptr, &length, reinterpret_cast<const unsigned char *>(aad.constData()),
                          int(aad.size())) == 1 &&
        EVP_EncryptUpdate(ctx.get(), outBytes, &length, reinterpret_cast<const unsigned char *>(plain.constData()),
                          int(plain.size())) == 1 &&
        EVP_EncryptFinal_ex(ctx.get(), outBytes + length, &finalLength) == 1 &&
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, kTagSize, outBytes + length + finalLength) == 1;
    if (!ok) {
        setError(error, QStringLiteral("The entry \"%1\" could not be encrypted.").arg(entry));
        return QByteArray();
    }
    out.truncate(length + finalLength + kTagSize);
    return header + out;
}

std::optional<QByteArray> PackageCipher::unseal(const QString &entry, const QByteArray &sealed, QString *error)
{
    const QString refused =
        QStringLiteral("The document could not be unlocked: the password is wrong or \"%1\" was changed.").arg(entry);
    if (!PackageCrypto::isSealed(sealed) || sealed.size() < kHeaderSize + kTagSize || sealed.at(8) != kVersion) {
        setError(error, QStringLiteral("\"%1\" is not a protected entry Orvix can read.").arg(entry));
        return std::nullopt;
    }
    const quint32 iterations = getUint32(sealed, 9);
    if (iterations == 0 || iterations > 10000000) {
        setError(error, refused);
        return std::nullopt;
    }
    const QByteArray salt = sealed.mid(13, kSaltSize);
    const QByteArray nonce = sealed.mid(13 + kSaltSize, kNonceSize);
    const QByteArray aad = sealed.left(kHeaderSize) + entry.toUtf8();
    const QByteArray body = sealed.mid(kHeaderSize, sealed.size() - kHeaderSize - kTagSize);
    QByteArray tag = sealed.right(kTagSize);
    const std::optional<QByteArray> key = keyFor(salt, iterations);
    if (!key) {
        setError(error, refused);
        return std::nullopt;
    }
    CipherContext ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    QByteArray plain(body.size() + 16, '\0');
    int length = 0;
    int finalLength = 0;
    auto *plainBytes = reinterpret_cast<unsigned char *>(plain.data());
    const bool ok =
        ctx && EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) == 1 &&
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_IVLEN, kNonceSize, nullptr) == 1 &&
        EVP_DecryptInit_ex(ctx.get(), nullptr, nullptr, reinterpret_cast<const unsigned char *>(key->constData()),
                           reinterpret_cast<const unsigned char *>(nonce.constData())) == 1 &&
        EVP_DecryptUpdate(ctx.get(), nullptr, &length, reinterpret_cast<const unsigned char *>(aad.constData()),
                          int(aad.size())) == 1 &&
        EVP_DecryptUpdate(ctx.get(), plainBytes, &length, reinterpret_cast<const unsigned char *>(body.constData()),
                          int(body.size())) == 1 &&
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, kTagSize, tag.data()) == 1 &&
        EVP_DecryptFinal_ex(ctx.get(), plainBytes + length, &finalLength) == 1;
    if (!ok) {
        OPENSSL_cleanse(plain.data(), size_t(plain.size()));
        setError(error, refused);
        return std::nullopt;
    }
    plain.truncate(length + finalLength);
    return plain;
}
