// The frame's child windows as a user arranges them, and the contract every record window keeps
// with the frame's shared record commands.

#include "Scenario.h"

#include "app/MainUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "widgets/RecordFrame.h"
#include "widgets/RecordWindow.h"
#include "widgets/WindowRegistry.h"

#include <algorithm>

#include <QApplication>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>

namespace scenarios {
namespace {

app::TMainForm* frame()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* main = qobject_cast<app::TMainForm*>(top))
            return main;
    }
    return nullptr;
}

QString activeChild()
{
    const app::TMainForm* main = frame();
    const QMdiSubWindow* sub = main ? main->ClientArea->currentSubWindow() : nullptr;
    return sub && sub->widget() ? sub->widget()->objectName() : QString();
}

QMdiSubWindow* childNamed(const QString& name)
{
    const app::TMainForm* main = frame();
    if (!main)
        return nullptr;
    const QList<QMdiSubWindow*> children = main->ClientArea->subWindowList();
    for (QMdiSubWindow* sub : children) {
        if (sub->widget() && sub->widget()->objectName() == name && sub->isVisible())
            return sub;
    }
    return nullptr;
}

// Opens a window by its menu command, as a user does.
void openWindow(const User& user, const QString& name)
{
    const QStringList item = user.see([name]() -> QStringList {
        const app::TMainForm* main = frame();
        const QAction* command = main ? main->commandOpening(name) : nullptr;
        const auto* menu
            = command ? qobject_cast<QMenu*>(command->associatedObjects().constFirst()) : nullptr;
        return menu ? QStringList { menu->objectName(), command->objectName() } : QStringList {};
    });
    if (item.size() != 2)
        throw Stuck(QStringLiteral("no menu command opens %1").arg(name));
    user.menu(item.at(0), item.at(1));
}

void waitActive(const User& user, const QString& name)
{
    user.waitUntil([name] { return activeChild() == name; }, name + QStringLiteral(" the active window"));
}

// The frame on the screen, and every child window inside the frame's area, its title bar in sight.
QStringList outsideTheFrame()
{
    QStringList outside;
    const app::TMainForm* main = frame();
    const QRect screen = main->screen()->geometry();
    if (!screen.contains(main->frameGeometry()))
        outside << QStringLiteral("the frame at %1,%2 %3x%4")
                       .arg(main->x())
                       .arg(main->y())
                       .arg(main->width())
                       .arg(main->height());
    const QRect area = main->ClientArea->viewport()->rect();
    const QList<QMdiSubWindow*> children = main->ClientArea->subWindowList();
    for (const QMdiSubWindow* sub : children) {
        if (sub->isVisible() && !sub->isMinimized() && !area.contains(sub->geometry()))
            outside << QStringLiteral("%1 at %2,%3 %4x%5 in %6x%7")
                           .arg(sub->widget()->objectName())
                           .arg(sub->x())
                           .arg(sub->y())
                           .arg(sub->width())
                           .arg(sub->height())
                           .arg(area.width())
                           .arg(area.height());
    }
    return outside;
}

void doubleClickTitle(const User& user, const QString& name)
{
    const QRect rect = user.see([name] { return User::globalRect(childNamed(name)); });
    user.click(QPoint(rect.center().x(), rect.top() + 8), 2);
}

void windowsDrive(User& user, QVariantMap&)
{
    const QStringList order { QStringLiteral("AppointmentsForm"), QStringLiteral("PatientForm"),
        QStringLiteral("EconomicsForm"), QStringLiteral("PrescriptionsForm"),
        QStringLiteral("DentalChartForm"), QStringLiteral("ImagesForm"), QStringLiteral("RemindersForm") };
    for (const QString& name : order) {
        openWindow(user, name);
        waitActive(user, name);
        user.pause(300); // the frame fits each window once its figures are in
        const QStringList outside = user.see(outsideTheFrame);
        user.checks.expect(outside.isEmpty(),
            QStringLiteral("after opening %1, outside the frame: %2")
                .arg(name, outside.join(QStringLiteral("; "))));
    }

    // Ctrl+Tab and Ctrl+Shift+Tab go round the windows.
    const QString last = user.see(activeChild);
    user.key(QStringLiteral("ctrl+Tab"));
    user.waitUntil([last] { return activeChild() != last && !activeChild().isEmpty(); },
        QStringLiteral("Ctrl+Tab to another window"));
    user.key(QStringLiteral("ctrl+shift+Tab"));
    user.waitUntil(
        [last] { return activeChild() == last; }, QStringLiteral("Ctrl+Shift+Tab back to ") + last);

    // The Window menu lists them with the active one checked, and brings the one chosen.
    const bool checked = user.see([last] {
        QMenu* windows = frame()->menu(QStringLiteral("Window1"));
        emit windows->aboutToShow();
        const QAction* item = windows->findChild<QAction*>(QStringLiteral("Window_") + last);
        return item && item->isChecked();
    });
    user.checks.expect(checked, QStringLiteral("the Window menu checks the active window"));
    user.menu(QStringLiteral("Window1"), QStringLiteral("Window_PatientForm"));
    waitActive(user, QStringLiteral("PatientForm"));

    // Maximised, the next window opens maximised too and the frame stays whole.
    doubleClickTitle(user, QStringLiteral("PatientForm"));
    user.waitUntil([] { return childNamed(QStringLiteral("PatientForm"))->isMaximized(); },
        QStringLiteral("the patient file maximised"));
    openWindow(user, QStringLiteral("SupplierOrderForm"));
    waitActive(user, QStringLiteral("SupplierOrderForm"));
    user.checks.expect(
        user.see([] { return childNamed(QStringLiteral("SupplierOrderForm"))->isMaximized(); }),
        QStringLiteral("a window opened over a maximised one is maximised"));
    openWindow(user, QStringLiteral("DentalChartForm"));
    waitActive(user, QStringLiteral("DentalChartForm"));
    user.checks.expect(user.see([] { return childNamed(QStringLiteral("DentalChartForm"))->isMaximized(); }),
        QStringLiteral("a window brought to the front over a maximised one is maximised"));

    // Cascaded, every title bar is in sight, whatever the windows' sizes.
    user.menu(QStringLiteral("Window1"), QStringLiteral("CascadeMenu"));
    user.pause(300);
    const QStringList hidden = user.see([] {
        QStringList titles;
        const app::TMainForm* main = frame();
        const QRect area = main->ClientArea->viewport()->rect();
        const QList<QMdiSubWindow*> children = main->ClientArea->subWindowList();
        for (const QMdiSubWindow* sub : children) {
            if (!area.contains(QRect(sub->pos(), QSize(std::min(sub->width(), 120), 20))))
                titles << sub->widget()->objectName();
        }
        return titles;
    });
    user.checks.expect(hidden.isEmpty(),
        QStringLiteral("cascaded, title bars out of sight: %1").arg(hidden.join(QStringLiteral(", "))));

    // The ledger's Close button closes its child window, leaving no empty frame behind.
    user.menu(QStringLiteral("Window1"), QStringLiteral("Window_EconomicsForm"));
    waitActive(user, QStringLiteral("EconomicsForm"));
    const QRect close = user.see([] {
        const QMdiSubWindow* sub = childNamed(QStringLiteral("EconomicsForm"));
        return User::globalRect(
            sub ? sub->widget()->findChild<QWidget*>(QStringLiteral("CloseBtn")) : nullptr);
    });
    user.click(close.center());
    user.waitUntil(
        [] {
            const QList<QMdiSubWindow*> children = frame()->ClientArea->subWindowList();
            return std::none_of(children.cbegin(), children.cend(), [](const QMdiSubWindow* sub) {
                return !sub->widget() || sub->widget()->objectName() == QLatin1String("EconomicsForm");
            });
        },
        QStringLiteral("the ledger's child window closed by its Close button"));
}

// --- every record window keeps the frame's contract ---

widgets::RecordWindow* recordWindow(const QString& name)
{
    QMdiSubWindow* sub = childNamed(name);
    return sub ? widgets::RecordFrame::recordWindowOf(sub->widget()) : nullptr;
}

bool editing(const QString& name)
{
    widgets::RecordWindow* window = recordWindow(name);
    const db::DataSource* source = window ? window->mainSource() : nullptr;
    return source && source->dataset() && source->dataset()->isEditing();
}

// The commands act on `name`: it holds them and they are on its main view.
bool commandsOn(const QString& name)
{
    widgets::RecordWindow* window = recordWindow(name);
    const widgets::RecordFrame* records = widgets::RecordFrame::current();
    if (!window || !records || records->holder() != window || !window->mainSource())
        return false;
    return records->activeSource()->dataset() == window->mainSource()->dataset();
}

// Starts an edit in the active window: New, or Edit where the window has no New.
bool startEdit(const User& user, const QString& name)
{
    for (const char* keys : { "ctrl+Insert", "alt+1" }) {
        user.key(QString::fromLatin1(keys));
        try {
            user.waitUntil([name] { return editing(name); }, QStringLiteral("an edit in ") + name, 2000);
            return true;
        } catch (const Stuck&) {
            if (QApplication::activeModalWidget())
                user.key(QStringLiteral("Escape"));
        }
    }
    return false;
}

void leaveFor(const User& user, const QString& other)
{
    user.menu(QStringLiteral("Window1"), QStringLiteral("Window_") + other);
}

void contractDrive(User& user, QVariantMap&)
{
    QStringList names = user.see([] {
        return widgets::WindowRegistry::instance().componentNames(widgets::WindowRegistry::Kind::Child);
    });
    names.sort();
    QHash<int, QString> identities;
    for (const QString& a : std::as_const(names)) {
        // B works on views of its own: the patient file and the chart share the patients.
        const QString b = a == QLatin1String("RemindersForm") ? QStringLiteral("PatientForm")
                                                              : QStringLiteral("RemindersForm");
        const bool opened = user.see([a] { return frame()->commandOpening(a) != nullptr; });
        if (!opened)
            continue; // opened from inside another window (the family tree from the patient file)
        openWindow(user, b);
        waitActive(user, b);
        openWindow(user, a);
        waitActive(user, a);
        const int code = user.see([a] {
            widgets::RecordWindow* window = recordWindow(a);
            return window ? int(window->windowCode()) : -1;
        });
        if (code < 0)
            continue; // not a record window
        user.checks.expect(!identities.contains(code),
            QStringLiteral("%1 has the identity of %2").arg(a, identities.value(code)));
        identities.insert(code, a);
        user.checks.expect(
            user.see([a] { return commandsOn(a); }), a + QStringLiteral(" holds the commands once active"));
        if (!startEdit(user, a)) {
            user.checks.fail(QStringLiteral("no edit could be started in ") + a);
            continue;
        }
        // The frame is activated again (a dialog of the program comes and goes): not A's leaving.
        user.menu(QStringLiteral("Help1"), QStringLiteral("About1"));
        user.waitUntil(
            [] { return QApplication::activeModalWidget() != nullptr; }, QStringLiteral("the About box"));
        user.key(QStringLiteral("Escape"));
        user.waitUntil([] { return QApplication::activeModalWidget() == nullptr; },
            QStringLiteral("the About box closed"));
        user.checks.expect(user.see([a] { return commandsOn(a) && editing(a); }),
            a + QStringLiteral(" keeps the commands and its edit when the frame is activated again"));
        user.checks.expect(
            !user.see([b] { return editing(b); }), b + QStringLiteral(" is not touched by the edit in ") + a);

        // Leaving with the edit pending asks; Cancel keeps the edit, and the window if it says so.
        leaveFor(user, b);
        user.answer(QStringLiteral("Άκυρο"));
        const bool comesBack = user.see([a] { return recordWindow(a)->comesBackWhenKept(); });
        if (comesBack)
            waitActive(user, a);
        user.checks.expect(user.see([a] { return editing(a); }),
            a + QStringLiteral(" keeps its edit when the question keeps it"));
        if (!comesBack)
            openWindow(user, a);
        waitActive(user, a);
        // No drops it, and the other window takes the commands.
        leaveFor(user, b);
        user.answer(QStringLiteral("Όχι"));
        waitActive(user, b);
        user.checks.expect(!user.see([a] { return editing(a); }),
            a + QStringLiteral(" drops its edit when the answer is No"));
        user.checks.expect(
            user.see([b] { return commandsOn(b); }), b + QStringLiteral(" holds the commands after ") + a);
    }
    user.checks.expect(
        identities.size() >= 10, QStringLiteral("only %1 record windows were tried").arg(identities.size()));
}

const QStringList kTables { QStringLiteral("Patient"), QStringLiteral("PatEconomics"),
    QStringLiteral("Appointments"), QStringLiteral("Prescriptions"), QStringLiteral("Reminders"),
    QStringLiteral("Phones"), QStringLiteral("Peri"), QStringLiteral("ProgNotes"), QStringLiteral("Photos"),
    QStringLiteral("MaterialOrders"), QStringLiteral("LabOrders") };

void countRows(const Stored& stored, QVariantMap& notes)
{
    for (const QString& table : kTables)
        notes[table] = stored.count(QStringLiteral("SELECT COUNT(*) FROM ") + table);
}

void nothingStored(const Stored& stored, const QVariantMap& notes, Checks& checks)
{
    for (const QString& table : kTables) {
        const int now = stored.count(QStringLiteral("SELECT COUNT(*) FROM ") + table);
        checks.expect(now == notes.value(table).toInt(),
            QStringLiteral("%1 holds %2 rows, not %3: an edit answered No was stored")
                .arg(table)
                .arg(now)
                .arg(notes.value(table).toInt()));
    }
}

} // namespace

const Scenario& contractScenario()
{
    static const Scenario scenario { QStringLiteral("contract"), countRows, contractDrive, nothingStored };
    return scenario;
}

const Scenario& windowsScenario()
{
    static const Scenario scenario { QStringLiteral("windows"), {}, windowsDrive, {} };
    return scenario;
}

} // namespace scenarios
