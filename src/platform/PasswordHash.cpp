#include "platform/PasswordHash.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QList>
#include <QRandomGenerator>

#include <openssl/crypto.h>
#include <openssl/evp.h>

namespace platform::password {
namespace {

const QLatin1String kScheme("pbkdf2-sha256");
constexpr int kKeyLength = 32;

QByteArray derive(const QByteArray& password, const QByteArray& salt, int rounds)
{
    QByteArray key(kKeyLength, Qt::Uninitialized);
    if (PKCS5_PBKDF2_HMAC(password.constData(), int(password.size()),
            reinterpret_cast<const unsigned char*>(salt.constData()), int(salt.size()), rounds, EVP_sha256(),
            kKeyLength, reinterpret_cast<unsigned char*>(key.data()))
        != 1)
        return {};
    return key;
}

bool sameBytes(const QByteArray& a, const QByteArray& b)
{
    return a.size() == b.size() && CRYPTO_memcmp(a.constData(), b.constData(), size_t(a.size())) == 0;
}

struct Parsed {
    int rounds = 0;
    QByteArray salt;
    QByteArray key;
};

bool hasSchemeMark(const QString& stored)
{
    return stored.startsWith(kScheme + QLatin1Char('$'));
}

bool parse(const QString& stored, Parsed& out)
{
    const QList<QStringView> parts = QStringView(stored).split(QLatin1Char('$'));
    if (parts.size() != 4 || parts[0] != kScheme)
        return false;
    bool ok = false;
    out.rounds = parts[1].toInt(&ok);
    out.salt = QByteArray::fromBase64(parts[2].toLatin1());
    out.key = QByteArray::fromBase64(parts[3].toLatin1());
    return ok && out.rounds >= kFewestRounds && out.rounds <= kMostRounds && !out.salt.isEmpty()
        && out.key.size() == kKeyLength;
}

} // namespace

QString hash(const QString& password, int rounds)
{
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(
        reinterpret_cast<quint32*>(salt.data()), salt.size() / int(sizeof(quint32)));
    const QByteArray key = derive(password.toUtf8(), salt, rounds);
    return kScheme + QLatin1Char('$') + QString::number(rounds) + QLatin1Char('$')
        + QString::fromLatin1(salt.toBase64()) + QLatin1Char('$') + QString::fromLatin1(key.toBase64());
}

StoredForm formOf(const QString& stored)
{
    Parsed parsed;
    if (parse(stored, parsed))
        return StoredForm::Hashed;
    return hasSchemeMark(stored) ? StoredForm::Damaged : StoredForm::Plain;
}

bool matches(const QString& typed, const QString& stored)
{
    if (typed.isEmpty() || stored.isEmpty())
        return false;
    Parsed parsed;
    if (parse(stored, parsed))
        return sameBytes(derive(typed.toUtf8(), parsed.salt, parsed.rounds), parsed.key);
    // Not the plain text it looks like: the hash of a password, made unusable.
    if (hasSchemeMark(stored))
        return false;
    // A plain password of an older installation: compared through fixed-length digests, so that
    // neither the length nor the first differing character shows in the time taken.
    return sameBytes(QCryptographicHash::hash(typed.toUtf8(), QCryptographicHash::Sha256),
        QCryptographicHash::hash(stored.toUtf8(), QCryptographicHash::Sha256));
}

} // namespace platform::password
