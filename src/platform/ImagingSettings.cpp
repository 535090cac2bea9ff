#include "platform/ImagingSettings.h"

#include "platform/IniFile.h"

namespace platform {

namespace {

QString read(const Settings& settings, const char* key)
{
    return IniFile(settings.mainFilePath()).readString(settings.section(), QLatin1String(key));
}

void write(const Settings& settings, const char* key, const QString& value)
{
    IniFile file(settings.mainFilePath());
    file.writeString(settings.section(), QLatin1String(key), value);
    file.save();
}

} // namespace

QString imagingCommand(const Settings& settings)
{
    return read(settings, "ImagingCommand");
}

void setImagingCommand(const Settings& settings, const QString& commandLine)
{
    write(settings, "ImagingCommand", commandLine);
}

QString imagingImportFolder(const Settings& settings)
{
    return read(settings, "ImagingImportFolder");
}

void setImagingImportFolder(const Settings& settings, const QString& path)
{
    write(settings, "ImagingImportFolder", path);
}

} // namespace platform
