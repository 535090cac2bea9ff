#include "platform/DriveType.h"

#include <QDir>
#include <QFileInfo>

#include <sys/vfs.h>

namespace platform {
namespace {

// Magic numbers from statfs(2) of the remote file systems we know of.
constexpr unsigned long kNetworkMagics[] = {
    0x6969,     // NFS
    0xFF534D42, // CIFS
    0xFE534D42, // SMB2
    0x517B,     // SMB
    0x65735546, // FUSE (sshfs, davfs and friends)
    0x564c,     // NCP
    0x6B414653, // AFS
    0x5346414F, // OpenAFS
    0x47504653, // GPFS
    0x00C36400, // Ceph
    0x01021997, // 9P / v9fs
};

QString nearestExisting(const QString& path)
{
    QFileInfo info(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    while (!info.exists()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath())
            return {};
        info = QFileInfo(parent);
    }
    return info.absoluteFilePath();
}

} // namespace

DriveType driveTypeOf(const QString& path)
{
    const QString existing = nearestExisting(path);
    if (existing.isEmpty())
        return DriveType::Missing;
    struct statfs fs {};
    if (statfs(QFile::encodeName(existing).constData(), &fs) != 0)
        return DriveType::Missing;
    for (unsigned long magic : kNetworkMagics) {
        if (static_cast<unsigned long>(fs.f_type) == magic)
            return DriveType::Network;
    }
    return DriveType::Local;
}

} // namespace platform
