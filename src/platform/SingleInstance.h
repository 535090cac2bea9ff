#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace platform {

// One running program per workstation: a lock file named after the executable in the
// settings directory, which belongs to this workstation alone. The lock records the owner's
// process, so a program that crashed does not block the next start.
class SingleInstanceGuard {
public:
    // `programName` empty: the file name of the running executable. `directory` empty: the
    // settings directory.
    explicit SingleInstanceGuard(QString programName = {}, QString directory = {});
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // True when this process now holds the guard; false when another process does (the shell
    // then shows its warning and ends). A second guard of the same program inside one process
    // is a programming error and throws std::logic_error.
    bool acquire();
    // After a failed acquire(): the lock file could not be made at all (a settings directory
    // closed to writing), so nothing says another program runs.
    bool cannotWrite() const { return m_cannotWrite; }
    bool isHeld() const;
    void release();

    QString programName() const { return m_programName; }
    QString lockFilePath() const { return m_path; }

private:
    QString m_programName;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_cannotWrite = false;
};

} // namespace platform
