#pragma once

#include "widgets/Forward.h"
#include <QString>

namespace app {

// The backup at exit of the practice at `location` (a data directory or a server address):
// with AutoBackUp set, it is backed up into the backup folder with a progress window, and only
// the newest copies are kept. The folder is the options', else "Backups" beside the data, or for
// a server practice in the workstation's settings folder. A failure, a server without its client
// tools included, is told to the user and logged; closing goes on.
void runExitBackup(const QString& location, QWidget* parent = nullptr);

// How many backups at exit are kept.
constexpr int kKeptExitBackups = 10;

} // namespace app
