#include "User.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QToolBar>
#include <QWindow>

namespace scenarios {

void Checks::fail(const QString& what)
{
    const std::lock_guard lock(m_mutex);
    m_failures.append(what);
}

QStringList Checks::failures() const
{
    const std::lock_guard lock(m_mutex);
    return m_failures;
}

User::User(Checks& checks_, QString display, QString shotDir)
    : checks(checks_)
    , m_display(std::move(display))
    , m_shotDir(std::move(shotDir))
{
}

void User::onProgramThread(const std::function<void()>& work) const
{
    QMetaObject::invokeMethod(qApp, work, Qt::BlockingQueuedConnection);
}

void User::waitUntil(const std::function<bool()>& seen, const QString& what, int ms) const
{
    QElapsedTimer clock;
    clock.start();
    while (!see(seen)) {
        if (clock.elapsed() > ms)
            throw Stuck(QStringLiteral("waited %1 ms for: %2").arg(ms).arg(what));
        QThread::msleep(40);
    }
}

void User::pause(int ms) const
{
    QThread::msleep(ms);
    onProgramThread([] {}); // the program has come round to its queue again
}

bool User::xdotool(const QStringList& arguments) const
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        checks.fail(QStringLiteral("xdotool %1: %2").arg(arguments.join(u' '), QString::fromLocal8Bit(process.readAllStandardError())));
        return false;
    }
    pause();
    return true;
}

void User::key(const QString& keys) const
{
    xdotool({ QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60"), keys });
}

void User::type(const QString& text, int delayMs) const
{
    // The display's keyboard has a Greek layout beside the Latin one (main.cpp): xdotool
    // switches to it instead of mapping a spare key for a moment, which a busy program misreads.
    xdotool({ QStringLiteral("type"), QStringLiteral("--delay"), QString::number(delayMs), text });
}

void User::click(QPoint global, int count, int button) const
{
    xdotool({ QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(global.x()), QString::number(global.y()),
        QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(count), QStringLiteral("--delay"), QStringLiteral("80"),
        QString::number(button) });
}

void User::clickOn(const QString& name, std::optional<QPoint> at, int count) const
{
    waitUntil([name] { return visible(name) != nullptr; }, name + QStringLiteral(" on the screen"));
    const QRect rect = see([name] { return globalRect(visible(name)); });
    click(at ? rect.topLeft() + *at : rect.center(), count);
}

void User::choose(const QString& name, const QString& text) const
{
    clickOn(name);
    QRect item;
    waitUntil(
        [&item, name, text] {
            auto* combo = qobject_cast<QComboBox*>(visible(name));
            if (!combo || !combo->view()->isVisible())
                return false;
            const int row = combo->findText(text);
            if (row < 0)
                return false;
            const QModelIndex index = combo->model()->index(row, combo->modelColumn());
            combo->view()->scrollTo(index);
            const QRect local = combo->view()->visualRect(index);
            item = QRect(combo->view()->viewport()->mapToGlobal(local.topLeft()), local.size());
            return !local.isEmpty();
        },
        QStringLiteral("the item \"%1\" in the list of %2").arg(text, name));
    click(item.center());
}

void User::clickTab(const QString& name, int index) const
{
    QRect tab;
    waitUntil(
        [&tab, name, index] {
            QWidget* widget = visible(name);
            auto* bar = qobject_cast<QTabBar*>(widget);
            if (auto* tabs = qobject_cast<QTabWidget*>(widget))
                bar = tabs->tabBar();
            if (!bar || index >= bar->count())
                return false;
            const QRect local = bar->tabRect(index);
            tab = QRect(bar->mapToGlobal(local.topLeft()), local.size());
            return true;
        },
        QStringLiteral("tab %1 of %2").arg(index).arg(name));
    click(tab.center());
}

void User::toolButton(const QString& actionName) const
{
    QRect rect;
    waitUntil(
        [&rect, actionName] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* main = qobject_cast<QMainWindow*>(top);
                auto* bar = main ? main->findChild<QToolBar*>(QStringLiteral("ToolBar")) : nullptr;
                auto* action = main ? main->findChild<QAction*>(actionName) : nullptr;
                QWidget* button = bar && action ? bar->widgetForAction(action) : nullptr;
                if (button && button->isVisible() && button->isEnabled()) {
                    rect = globalRect(button);
                    return true;
                }
            }
            return false;
        },
        QStringLiteral("the tool bar button %1, enabled").arg(actionName));
    click(rect.center());
}

void User::menu(const QString& menuName, const QString& itemName) const
{
    QRect title;
    waitUntil(
        [&title, menuName] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* main = qobject_cast<QMainWindow*>(top);
                auto* menu = main && main->isVisible() ? main->findChild<QMenu*>(menuName) : nullptr;
                if (menu && menu->menuAction()->isEnabled()) {
                    const QRect local = main->menuBar()->actionGeometry(menu->menuAction());
                    title = QRect(main->menuBar()->mapToGlobal(local.topLeft()), local.size());
                    return true;
                }
            }
            return false;
        },
        QStringLiteral("the menu %1").arg(menuName));
    click(title.center());
    QRect item;
    waitUntil(
        [&item, menuName, itemName] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* main = qobject_cast<QMainWindow*>(top);
                auto* menu = main ? main->findChild<QMenu*>(menuName) : nullptr;
                if (!menu || !menu->isVisible())
                    continue;
                const QList<QAction*> actions = menu->actions();
                for (QAction* action : actions) {
                    if (action->objectName() == itemName && action->isVisible()) {
                        const QRect local = menu->actionGeometry(action);
                        item = QRect(menu->mapToGlobal(local.topLeft()), local.size());
                        return !local.isEmpty();
                    }
                }
            }
            return false;
        },
        QStringLiteral("the item %1 of the open menu %2").arg(itemName, menuName));
    click(item.center());
}

void User::popupItem(const QString& name, const QString& itemName) const
{
    waitUntil([name] { return visible(name) != nullptr; }, name + QStringLiteral(" on the screen"));
    const QRect rect = see([name] {
        QWidget* widget = visible(name);
        if (auto* view = qobject_cast<QAbstractScrollArea*>(widget))
            widget = view->viewport();
        return globalRect(widget);
    });
    click(rect.center(), 1, 3);
    QRect item;
    waitUntil(
        [&item, itemName] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            auto* action = menu ? menu->findChild<QAction*>(itemName) : nullptr;
            if (!action || !menu->actions().contains(action))
                return false;
            const QRect local = menu->actionGeometry(action);
            item = QRect(menu->mapToGlobal(local.topLeft()), local.size());
            return action->isEnabled() && !local.isEmpty();
        },
        QStringLiteral("the pop-up item %1, enabled").arg(itemName));
    click(item.center());
}

QString User::answer(const QString& button) const
{
    QString text;
    QRect place;
    waitUntil(
        [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return false;
            text = box->text();
            const QList<QAbstractButton*> buttons = box->buttons();
            for (QAbstractButton* b : buttons) {
                if (b->text().remove(u'&') == button) {
                    place = globalRect(b);
                    return true;
                }
            }
            return false;
        },
        QStringLiteral("a message with the button \"%1\"").arg(button));
    click(place.center());
    return text;
}

void User::fill(const QString& name, const QString& text) const
{
    // The X server may hand the program a letter of the other keyboard layout while it is busy
    // (a race of xdotool's, not the program's): what arrived is compared and typed again.
    // On a loaded machine the last keys reach the program well after xdotool returns, so
    // each attempt waits for the text to settle before it is judged.
    QString arrived;
    for (int attempt = 0; attempt < 3; ++attempt) {
        clickOn(name);
        key(QStringLiteral("ctrl+a"));
        // Slower each time: a loaded X server drops keys of a fast layout switch.
        type(text, 30 + attempt * 70);
        try {
            waitUntil(
                [name, text, &arrived] {
                    auto* edit = qobject_cast<QLineEdit*>(visible(name));
                    arrived = edit ? edit->text() : text;
                    return arrived == text;
                },
                QStringLiteral("the text typed into ") + name, 5000);
            return;
        } catch (const Stuck&) {
        }
    }
    checks.fail(QStringLiteral("\"%1\" could not be typed into %2 (it reads \"%3\")").arg(text, name, arrived));
}

QString User::screenshot(const QString& name) const
{
    const QString file = QDir(m_shotDir).filePath(name + QStringLiteral(".png"));
    onProgramThread([file] {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            screen->grabWindow(0).save(file);
    });
    return file;
}

QWidget* User::visible(const QString& name)
{
    // The window in front first: a modal dialog, then the active child window of the frame.
    QList<QWidget*> places;
    if (QWidget* modal = QApplication::activeModalWidget())
        places.append(modal);
    if (QWidget* popup = QApplication::activePopupWidget())
        places.append(popup);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* main = qobject_cast<QMainWindow*>(top)) {
            if (auto* area = main->findChild<QMdiArea*>(); area && area->currentSubWindow())
                places.append(area->currentSubWindow());
        }
    }
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible())
            places.append(top);
    }
    for (QWidget* place : std::as_const(places)) {
        if (place->objectName() == name && place->isVisible())
            return place;
        const QList<QWidget*> found = place->findChildren<QWidget*>(name);
        for (QWidget* widget : found) {
            if (widget->isVisible())
                return widget;
        }
    }
    return nullptr;
}

QRect User::globalRect(const QWidget* widget)
{
    return widget ? QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()) : QRect();
}

QString User::textOf(const QString& name)
{
    QWidget* widget = visible(name);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    return widget ? widget->property("text").toString() : QString();
}

} // namespace scenarios
