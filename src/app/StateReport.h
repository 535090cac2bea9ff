#pragma once

#include <QJsonObject>
#include <QString>

class QObject;

namespace app {

class TMainForm;

// What a user sees once the program has started: the main window and its screen, the data
// module and its current patient, and the patient file and the dental chart opened as their
// commands open them (each with its caption, its place in the frame and the texts of its
// editors).
QJsonObject describeStart(TMainForm& mainWindow, QObject* dataModule);

// The message loop of `orvane --report-state FILE`: once the main window is on the screen,
// writes describeStart() to `file` and ends the program; returns 0 when the file was written.
int reportStateAndQuit(TMainForm& mainWindow, QObject* dataModule, const QString& file);

} // namespace app
