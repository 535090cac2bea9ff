#pragma once

#include <QDate>
#include <QList>
#include <QString>

namespace db {
class Connection;
}

namespace data {

// One view the data module opens at start, with the table it reads (empty for a query).
struct StartupView {
    QString view;
    QString table;
};

// The views opened before the progress window shows `progress` percent.
struct StartupStep {
    int progress;
    QList<StartupView> views;
};

// The order in which the data module opens its views at start, with the progress shown after
// each group.
const QList<StartupStep>& startupOpenOrder();

// Deletes the appointments dated before `today` minus `keepDays` days; an appointment on that
// very day is kept. Returns how many were deleted.
int deleteOldAppointments(const db::Connection& connection, QDate today, int keepDays);

} // namespace data
