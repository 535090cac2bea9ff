#pragma once

class QWidget;

namespace app {

// The backup at exit: with AutoBackUp set, the practice is backed up into the backup folder
// (a "Backups" folder beside the data unless the options say otherwise) with a progress window,
// and only the newest copies are kept. A failure is told to the user and logged; closing goes on.
void runExitBackup(QWidget* parent = nullptr);

// How many backups at exit are kept.
constexpr int kKeptExitBackups = 10;

} // namespace app
