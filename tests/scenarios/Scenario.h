#pragma once

#include "User.h"

#include <QString>

#include <functional>
#include <vector>

namespace db {
class Connection;
}

namespace scenarios {

// What the practice's database holds after the program has ended, asked in plain SQL.
class Stored {
public:
    explicit Stored(const db::Connection& connection)
        : m_connection(connection)
    {
    }
    QVariant scalar(const QString& sql, const QVariantMap& bound = {}) const;
    int count(const QString& sql, const QVariantMap& bound = {}) const { return scalar(sql, bound).toInt(); }
    void run(const QString& sql) const;
    bool onPostgres() const;

private:
    const db::Connection& m_connection;
};

// One day's piece of work: what the user does in the running program, and what the database
// must hold once the program has ended. `notes` passes what the drive learnt (a patient's
// number, say) to the check.
struct Scenario {
    QString name;
    // What the database holds before the program starts (the highest row numbers, say).
    std::function<void(const Stored& stored, QVariantMap& notes)> before;
    std::function<void(User& user, QVariantMap& notes)> drive;
    std::function<void(const Stored& stored, const QVariantMap& notes, Checks& checks)> check;
};

// Every scenario, by name.
const std::vector<Scenario>& allScenarios();

// Waiting for what the user looks for on the screen: a widget by its name shown, gone, with the
// focus, enabled.
void waitShown(const User& user, const QString& name);
void waitGone(const User& user, const QString& name);
void waitFocused(const User& user, const QString& name);
void waitEnabled(const User& user, const QString& name);

// Where tooth `number` is drawn on the adult chart, inside the chart picture.
QPoint toothOnChart(int number);
// Picks the first operation of group `group` in the operation picker and clicks `tooth`.
void recordOnTooth(const User& user, int group, int tooth);

// The steps every scenario shares.
void login(User& user);
// Closes the program as a user does: File, Exit, yes; then the questions of windows with
// pending edits are answered with `pendingAnswer`.
void quitProgram(User& user);

} // namespace scenarios
