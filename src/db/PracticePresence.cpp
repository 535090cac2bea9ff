#include "db/PracticePresence.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace db {

PracticePresence::PracticePresence(const QString& dataDirectory, Mode mode)
{
    const QString path = QDir(dataDirectory).filePath(QString::fromLatin1(kFileName));
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return;
    const int operation = (mode == Mode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    int result = 0;
    do
        result = flock(m_fd, operation);
    while (result != 0 && errno == EINTR);
    if (result == 0)
        return;
    const int error = errno;
    ::close(m_fd);
    m_fd = -1;
    if (error != EWOULDBLOCK)
        return; // a file system without locks: as before there were any
    throw PracticeInUse(mode == Mode::Shared
            ? QStringLiteral("The practice in %1 is being restored from a backup at this moment; start again "
                             "when the restore is done.")
                  .arg(QDir::toNativeSeparators(dataDirectory))
            : QStringLiteral("The practice in %1 is open on a workstation; close the program everywhere "
                             "before restoring it.")
                  .arg(QDir::toNativeSeparators(dataDirectory)));
}

PracticePresence::~PracticePresence()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace db
