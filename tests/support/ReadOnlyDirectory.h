#pragma once

// A directory closed to writing for as long as the guard lives, as an installed program's or a
// locked-down practice's folder is. Permissions do not stop the superuser, who runs many test
// machines: there the directory is made immutable as well. When neither works the guard says
// so (isReadOnly() false) and the test skips.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace testsupport {

class ReadOnlyDirectory {
public:
    explicit ReadOnlyDirectory(QString path)
        : m_path(std::move(path))
    {
        QFile::setPermissions(m_path,
            QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                | QFile::ExeOther);
        if (::geteuid() == 0 && !QStandardPaths::findExecutable(QStringLiteral("chattr")).isEmpty())
            m_immutable = QProcess::execute(QStringLiteral("chattr"), { QStringLiteral("+i"), m_path }) == 0;
        QFile probe(QDir(m_path).filePath(QStringLiteral(".probe")));
        m_readOnly = !probe.open(QIODevice::WriteOnly);
        if (!m_readOnly)
            probe.remove();
    }
    ~ReadOnlyDirectory()
    {
        if (m_immutable)
            QProcess::execute(QStringLiteral("chattr"), { QStringLiteral("-i"), m_path });
        QFile::setPermissions(m_path,
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    }
    ReadOnlyDirectory(const ReadOnlyDirectory&) = delete;
    ReadOnlyDirectory& operator=(const ReadOnlyDirectory&) = delete;

    bool isReadOnly() const { return m_readOnly; }

private:
    QString m_path;
    bool m_immutable = false;
    bool m_readOnly = false;
};

} // namespace testsupport
