#include "app/MainUnit.h"

#include "platform/ExceptionLog.h"
#include "widgets/ToolBarCustomizer.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace app {

void TMainForm::dressToolButton(QAction* item, QWidget* button)
{
    if (!button)
        return;
    button->setMinimumSize(62, 60);
    // The search button opens its menu at once, wherever it is pressed.
    if (auto* tool = qobject_cast<QToolButton*>(button); tool && item->menu())
        tool->setPopupMode(QToolButton::InstantPopup);
}

void TMainForm::restoreToolBarItems()
{
    // The items are what the edition left on the bar ahead of its separator.
    QList<QAction*> items;
    for (QAction* item : ToolBar->actions()) {
        if (item->isSeparator())
            break;
        items << item;
    }
    m_toolBarItems = std::make_unique<widgets::ToolBarItems>(ToolBar, items, &TMainForm::dressToolButton);
    const QStringList stored = widgets::ToolBarItems::names(platform::Settings(m_edition).toolBarItems());
    if (!stored.isEmpty())
        m_toolBarItems->show(stored);
}

void TMainForm::CustomizeToolBar()
{
    if (!m_toolBarItems || !widgets::customizeToolBar(*m_toolBarItems, this))
        return;
    try {
        platform::Settings(m_edition).setToolBarItems(widgets::ToolBarItems::text(m_toolBarItems->shown()));
    } catch (const platform::SettingsError& e) {
        // the bar shows the choice; only its memory is lost
        platform::exceptionLog::logException(e);
    }
}

void TMainForm::setWindowCommand(const QString& componentName, std::function<void()> run)
{
    const QString name = componentName.toLower();
    if (!m_commands.contains(name))
        return;
    m_commands[name].available = bool(run);
    m_windowCommands.insert(name, std::move(run));
    updateEnabling();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ToolBar && event->type() == QEvent::MouseButtonDblClick) {
        CustomizeToolBar();
        return true;
    }
    if (event->type() == QEvent::Hide && watched->isWidgetType())
        returnFocusAfter(static_cast<QWidget*>(watched));
    return QMainWindow::eventFilter(watched, event);
}

// A dialog or message box of the program closed: the focus comes back to the frame, as the
// window manager would do (without one, or with one that does not, the keys would go nowhere).
void TMainForm::returnFocusAfter(QWidget* closed)
{
    if (!closed->isWindow() || closed->windowModality() == Qt::NonModal || closed == this)
        return;
    QTimer::singleShot(0, this, [this] {
        // Qt may still count the frame active while the window system gave the focus to no one.
        const QWidget* active = QApplication::activeWindow();
        if (isVisible() && (!active || active == this) && !QApplication::activeModalWidget())
            activateWindow();
    });
}

} // namespace app
