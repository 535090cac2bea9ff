#include "app/RecordShortcuts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace app {

RecordShortcuts::RecordShortcuts(QWidget* frame, QList<QAction*> commands)
    : QObject(frame)
    , m_frame(frame)
    , m_commands(std::move(commands))
{
    qApp->installEventFilter(this);
}

bool RecordShortcuts::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
        return false;
    const auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != m_frame)
        return false;
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    for (const QAction* command : std::as_const(m_commands)) {
        if (command->isEnabled() && command->shortcuts().contains(pressed))
            return true; // not taken by the editor: the command's shortcut runs
    }
    return false;
}

} // namespace app
