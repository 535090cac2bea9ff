#pragma once

namespace widgets {

// Makes modal QMessageBoxes over the active window the default message service
// (platform::MessageService). The application calls it once its QApplication exists;
// stopMessageBoxes() takes them away again before the QApplication goes.
void useMessageBoxes();
// The caption of a message that brings none ("Quarn - Orvane"). Not Qt's application display
// name: Qt would add that to every window title, the frame's own included.
void setMessageCaption(const QString& caption);
void stopMessageBoxes();

} // namespace widgets
