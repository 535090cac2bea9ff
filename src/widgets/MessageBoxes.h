#pragma once

namespace widgets {

// Makes modal QMessageBoxes over the active window the default message service
// (platform::MessageService). The application calls it once its QApplication exists;
// stopMessageBoxes() takes them away again before the QApplication goes.
void useMessageBoxes();
void stopMessageBoxes();

} // namespace widgets
