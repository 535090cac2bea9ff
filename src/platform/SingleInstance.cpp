#include "platform/SingleInstance.h"

#include "platform/Directories.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>

#include <stdexcept>

namespace platform {
namespace {

// Lock files held by this process: QLockFile would take a second one for another instance.
QSet<QString>& heldHere()
{
    static QSet<QString> paths;
    return paths;
}

} // namespace

SingleInstanceGuard::SingleInstanceGuard(QString programName, QString directory)
    : m_programName(programName.isEmpty() ? QFileInfo(QCoreApplication::applicationFilePath()).fileName()
                                          : std::move(programName))
{
    const QString dir = directory.isEmpty() ? configDir() : directory;
    m_path = QDir(dir).filePath(m_programName + QStringLiteral(".lock"));
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    release();
}

bool SingleInstanceGuard::acquire()
{
    if (isHeld())
        return true;
    if (heldHere().contains(m_path))
        throw std::logic_error("OneInstance component duplicated in " + m_programName.toStdString());
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    auto lock = std::make_unique<QLockFile>(m_path);
    // Only a lock whose process is gone counts as stale, however old it is.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        m_cannotWrite = lock->error() != QLockFile::LockFailedError;
        return false;
    }
    m_cannotWrite = false;
    m_lock = std::move(lock);
    heldHere().insert(m_path);
    return true;
}

bool SingleInstanceGuard::isHeld() const
{
    return m_lock && m_lock->isLocked();
}

void SingleInstanceGuard::release()
{
    if (!m_lock)
        return;
    m_lock->unlock();
    m_lock.reset();
    heldHere().remove(m_path);
}

} // namespace platform
