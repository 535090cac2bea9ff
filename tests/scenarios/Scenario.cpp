#include "Scenario.h"

#include "clinical/ToothGeometry.h"
#include "db/Connection.h"
#include "db/Query.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QWidget>

namespace scenarios {

QVariant Stored::scalar(const QString& sql, const QVariantMap& bound) const
{
    db::Query query(m_connection, sql);
    for (auto it = bound.cbegin(); it != bound.cend(); ++it)
        query.bind(it.key(), it.value());
    return query.scalar();
}

void Stored::run(const QString& sql) const
{
    db::Query::run(m_connection, sql);
}

bool Stored::onPostgres() const
{
    return m_connection.profile().driver == db::ConnectionProfile::Driver::PostgreSQL;
}

void waitShown(const User& user, const QString& name)
{
    user.waitUntil(
        [name] { return User::visible(name) != nullptr; }, name + QStringLiteral(" on the screen"));
}

void waitGone(const User& user, const QString& name)
{
    user.waitUntil([name] { return User::visible(name) == nullptr; }, name + QStringLiteral(" closed"));
}

// Waits until the widget `name` is on the screen and `state` holds of it.
static void waitState(
    const User& user, const QString& name, bool (QWidget::*state)() const, const QString& what)
{
    user.waitUntil(
        [name, state] {
            const QWidget* widget = User::visible(name);
            return widget && (widget->*state)();
        },
        name + what);
}

void waitFocused(const User& user, const QString& name)
{
    waitState(user, name, &QWidget::hasFocus, QStringLiteral(" with the focus"));
}

void waitEnabled(const User& user, const QString& name)
{
    waitState(user, name, &QWidget::isEnabled, QStringLiteral(" enabled"));
}

// Where tooth `number` is drawn on the adult chart, inside the chart picture.
QPoint toothOnChart(int number)
{
    return clinical::ToothRect(
        clinical::ToothIndexOf(number, clinical::ChartKind::Adult), clinical::ChartKind::Adult)
        .center();
}

// Picks the first operation of group `group` in the operation picker and clicks `tooth`.
void recordOnTooth(const User& user, int group, int tooth)
{
    user.clickOn(QStringLiteral("Group%1Btn").arg(group));
    waitShown(user, QStringLiteral("OperationsForm"));
    user.clickOn(QStringLiteral("OkBtn"));
    waitGone(user, QStringLiteral("OperationsForm"));
    user.clickOn(QStringLiteral("imTeeth"), toothOnChart(tooth));
}

void login(User& user)
{
    user.waitUntil([] { return User::visible(QStringLiteral("UsernameEdt")) != nullptr; }, QStringLiteral("the login window"), 30000);
    user.type(QStringLiteral("demo"));
    user.key(QStringLiteral("Tab"));
    user.type(QStringLiteral("demo"));
    user.key(QStringLiteral("Return"));
    user.waitUntil(
        [] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->objectName() == QLatin1String("MainForm") && top->isVisible() && top->isActiveWindow())
                    return true;
            }
            return false;
        },
        QStringLiteral("the main window, active"), 60000);
}

void quitProgram(User& user)
{
    user.menu(QStringLiteral("File1"), QStringLiteral("ExitMenu"));
    user.answer(QStringLiteral("Ναι"));
    user.waitUntil(
        [] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->objectName() == QLatin1String("MainForm") && top->isVisible())
                    return false;
            }
            return true;
        },
        QStringLiteral("the program to end"));
}

} // namespace scenarios
