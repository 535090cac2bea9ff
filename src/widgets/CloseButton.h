#pragma once

#include <QDialog>

class QPushButton;

namespace widgets {

// The window's "Close" button (CloseBtn), made under `parent` (the window itself when none):
// it closes the window's child window of the frame when it is one, else the window.
QPushButton* closeButton(QWidget& window, QWidget* parent = nullptr);
// A list dialog's "Close" button: it ends the dialog with `end` (accept, or reject).
QPushButton* closeButton(QDialog& dialog, void (QDialog::*end)());

// Closes the frame's child window that holds `window`, or `window` itself outside the frame.
void closeWindow(QWidget& window);

} // namespace widgets
