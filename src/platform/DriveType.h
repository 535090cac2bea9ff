#pragma once

#include <QString>

namespace platform {

enum class DriveType { Local, Network, Missing };

// Classifies the file system holding `path` (or its nearest existing parent) the way the
// multi-user set-up needs it: NFS, SMB/CIFS, sshfs and other remote file systems are network
// drives; everything else on this machine is local.
DriveType driveTypeOf(const QString& path);

inline bool isNetworkPath(const QString& path) { return driveTypeOf(path) == DriveType::Network; }

} // namespace platform
