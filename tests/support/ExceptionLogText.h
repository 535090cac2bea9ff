#pragma once

#include "platform/Directories.h"
#include "platform/ExceptionLog.h"

#include <QDir>
#include <QFile>
#include <QString>

namespace testsupport {

// What the exceptions log in the program directory holds so far.
inline QString exceptionLogText()
{
    QFile log(QDir(platform::programDir()).filePath(QString::fromLatin1(platform::exceptionLog::kFileName)));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

} // namespace testsupport
