#include "reports/LayoutFile.h"

#include "platform/Directories.h"

#include <QFileInfo>

namespace reports {

LayoutFile::LayoutFile(const QString& path)
    : m_file(path, QSettings::IniFormat)
{
}

std::unique_ptr<LayoutFile> LayoutFile::besideProgram(const QString& fileName)
{
    const QString path = platform::programFile(fileName);
    if (!QFileInfo::exists(path))
        return nullptr;
    return std::make_unique<LayoutFile>(path);
}

QVariant LayoutFile::value(const char* key) const
{
    return m_file.value(QStringLiteral("Layout/") + QLatin1String(key));
}

QString LayoutFile::text(const char* key, const QString& builtIn) const
{
    const QVariant v = value(key);
    // A list written with commas comes back as a list: it was one text.
    return v.isValid() ? v.toStringList().join(QStringLiteral(", ")) : builtIn;
}

double LayoutFile::number(const char* key, double builtIn) const
{
    bool ok = false;
    const double v = value(key).toDouble(&ok);
    return ok && v > 0 ? v : builtIn;
}

QStringList LayoutFile::choice(const char* key, const QStringList& known) const
{
    QStringList chosen;
    for (const QString& name : value(key).toStringList()) {
        if (known.contains(name.trimmed()) && !chosen.contains(name.trimmed()))
            chosen << name.trimmed();
    }
    return chosen.isEmpty() ? known : chosen;
}

} // namespace reports
