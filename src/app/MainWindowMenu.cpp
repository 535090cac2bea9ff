// The Window menu: the frame's child windows arranged, switched and listed.

#include "app/MainUnit.h"

#include <QActionGroup>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace app {

void TMainForm::buildWindowMenu()
{
    QMenu* windows = addMenu(QStringLiteral("Window1"), QStringLiteral("&Window"));
    connect(addCommand(windows, QStringLiteral("CascadeMenu"), QStringLiteral("Cascade")), &QAction::triggered,
        ClientArea, &QMdiArea::cascadeSubWindows);
    connect(addCommand(windows, QStringLiteral("TileMenu"), QStringLiteral("Tile")), &QAction::triggered, ClientArea,
        &QMdiArea::tileSubWindows);
    windows->addSeparator();
    QAction* next = addCommand(windows, QStringLiteral("NextWindowMenu"), QStringLiteral("Next Window"));
    next->setShortcuts({ QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_F6) });
    connect(next, &QAction::triggered, ClientArea, &QMdiArea::activateNextSubWindow);
    QAction* previous = addCommand(windows, QStringLiteral("PreviousWindowMenu"), QStringLiteral("Previous Window"));
    previous->setShortcuts({ QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6) });
    connect(previous, &QAction::triggered, ClientArea, &QMdiArea::activatePreviousSubWindow);
    QAction* listStart = windows->addSeparator();
    listStart->setObjectName(QStringLiteral("WindowListSeparator"));

    // The open windows, the active one checked; made again each time the menu opens.
    auto* list = new QActionGroup(windows);
    list->setExclusive(true);
    connect(windows, &QMenu::aboutToShow, this, [this, windows, list, listStart] {
        qDeleteAll(list->actions());
        const QList<QMdiSubWindow*> children = ClientArea->subWindowList();
        listStart->setVisible(!children.isEmpty());
        for (int i = 0; i < children.size(); ++i) {
            QMdiSubWindow* child = children.at(i);
            const QString number = i < 9 ? QStringLiteral("&%1 ").arg(i + 1) : QStringLiteral("%1 ").arg(i + 1);
            QAction* item = list->addAction(number + child->windowTitle());
            if (child->widget())
                item->setObjectName(QStringLiteral("Window_") + child->widget()->objectName());
            item->setCheckable(true);
            item->setChecked(child == ClientArea->currentSubWindow());
            windows->addAction(item);
            connect(item, &QAction::triggered, child, [this, child] {
                if (child->isMinimized())
                    child->showNormal();
                ClientArea->setActiveSubWindow(child);
            });
        }
    });
    for (const char* name : { "CascadeMenu", "TileMenu", "NextWindowMenu", "PreviousWindowMenu" })
        m_windowArrangement.append(action(QString::fromLatin1(name)));
}

} // namespace app
