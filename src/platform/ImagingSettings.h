#pragma once

#include "platform/Settings.h"

#include <QString>

namespace platform {

// PV.INI keys of the imaging bridge, in the edition's section, beside Settings' own keys.
// ImagingCommand: an imaging program without the automation object, its command line with
// %ImageFolder, %PatientName, %PatientID, %Tooth and %Kind (xray, camera, scanner); empty: none.
QString imagingCommand(const Settings& settings);
void setImagingCommand(const Settings& settings, const QString& commandLine);
// ImagingImportFolder: a folder whose new pictures are filed into the current patient's record;
// empty: none.
QString imagingImportFolder(const Settings& settings);
void setImagingImportFolder(const Settings& settings, const QString& path);

} // namespace platform
