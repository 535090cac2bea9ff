#include "data/BackupSignature.h"

#include "data/Backup.h"
#include "platform/Directories.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace data::backupsignature {
namespace {

constexpr const char* kScheme = "hmac-sha256";
constexpr qsizetype kKeyBytes = 32;

QByteArray hmac(const QByteArray& key, const QByteArray& text)
{
    return QMessageAuthenticationCode::hash(text, key, QCryptographicHash::Sha256).toHex();
}

// Names the key in a signature without giving it away, so that a backup signed with another key
// is told from an edited one.
QByteArray keyId(const QByteArray& key)
{
    return hmac(key, "orvane backup key id").left(16);
}

// The key, or empty when this workstation has none (or an unreadable one).
QByteArray readKey()
{
    QFile file(keyFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray key = QByteArray::fromHex(file.readAll().trimmed());
    return key.size() == kKeyBytes ? key : QByteArray();
}

[[noreturn]] void cannotWrite(const QString& path, const QString& why)
{
    throw BackupError(QStringLiteral("The key that signs backups cannot be written to %1: %2")
                          .arg(QDir::toNativeSeparators(path), why));
}

// Written aside and linked into place: two programs making the key at once end up with one.
QByteArray makeKey()
{
    const QString path = keyFile();
    const QString folder = QFileInfo(path).path();
    if (!QFileInfo(folder).isDir()) {
        if (!QDir().mkpath(folder))
            cannotWrite(path, QStringLiteral("the folder cannot be created"));
        QFile::setPermissions(
            folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QByteArray key(kKeyBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(key.data()), kKeyBytes / 4);
    const QString aside = path + QStringLiteral(".%1").arg(QCoreApplication::applicationPid());
    {
        QFile file(aside);
        if (!file.open(
                QIODevice::WriteOnly | QIODevice::Truncate, QFileDevice::ReadOwner | QFileDevice::WriteOwner)
            || file.write(key.toHex() + '\n') < 0 || !file.flush() || ::fsync(file.handle()) != 0)
            cannotWrite(path, file.errorString());
    }
    const bool linked
        = ::link(QFile::encodeName(aside).constData(), QFile::encodeName(path).constData()) == 0;
    const int error = errno;
    QFile::remove(aside);
    if (!linked && error != EEXIST)
        cannotWrite(path, QString::fromLocal8Bit(std::strerror(error)));
    const QByteArray made = readKey();
    if (made.isEmpty())
        cannotWrite(path, QStringLiteral("the file there is not a key"));
    return made;
}

} // namespace

QString keyFile()
{
    return QDir(platform::configDir()).filePath(QString::fromLatin1(kKeyFile));
}

QByteArray sign(const QByteArray& text)
{
    QByteArray key = readKey();
    if (key.isEmpty())
        key = makeKey();
    return QByteArray(kScheme) + ' ' + keyId(key) + ' ' + hmac(key, text) + '\n';
}

Verdict check(const QByteArray& text, const QByteArray& signature)
{
    const QList<QByteArray> parts = signature.trimmed().split(' ');
    const QByteArray key = readKey();
    if (parts.size() != 3 || parts[0] != kScheme || key.isEmpty() || parts[1] != keyId(key))
        return Verdict::Unknown;
    return parts[2] == hmac(key, text) ? Verdict::Sound : Verdict::Edited;
}

} // namespace data::backupsignature
