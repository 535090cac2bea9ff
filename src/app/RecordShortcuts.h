#pragma once

#include "widgets/Forward.h"
#include <QList>
#include <QObject>

namespace app {

// The record commands' keys (Ctrl+Ins New, Ctrl+Del Delete, Ctrl+Backspace Cancel, Ctrl+Return
// Save, Alt+1 Edit) belong to the frame in every window inside it, as in the program's menus:
// an editor with the focus would otherwise take Ctrl+Ins as Copy and Ctrl+Backspace as the
// deletion of a word, and the command would never run.
class RecordShortcuts : public QObject {
    Q_OBJECT
public:
    RecordShortcuts(QWidget* frame, QList<QAction*> commands);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_frame;
    QList<QAction*> m_commands;
};

} // namespace app
