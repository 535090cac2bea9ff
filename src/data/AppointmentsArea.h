#pragma once

#include "data/DmArea.h"

#include <QDate>

#include <functional>

namespace platform {
class Settings;
}

namespace data {

// The appointment book and its appointment types.
class AppointmentsArea : public DmArea {
    Q_OBJECT
public:
    explicit AppointmentsArea(TDmForm& dm);
    void declareViews();
    void installRules();
    void declareStorage();

    // At start, when the settings ask for it: appointments older than the kept days go.
    void deleteOldAppointments(const platform::Settings& settings, QDate today);

    // The appointment book reads one dentist's days at a time: AppointmentTable then holds only
    // that dentist's appointments from `first` to `last`, read through the date index. Until
    // showAllAppointments() the view keeps to that range after every refresh.
    void showWeek(int docId, QDate first, QDate last);
    void showAllAppointments();
    bool showsWeek() const { return m_week.docId >= 0; }

    // Runs `work` holding the database's write lock: another workstation's write waits until
    // it ends, so that what `work` reads and the appointment it posts are one step (no two
    // workstations book the same free slot). Commits when `work` returns, rolls back when it throws.
    void underWriteLock(const std::function<void()>& work);

    // Whether another stored appointment of the dentist on that day overlaps the minutes
    // [start, start + length) after 8:00, with slots of `slotMinutes`; `except` is ignored.
    // Start times that are no time label take no time.
    bool timeTaken(int docId, QDate date, int start, int length, int slotMinutes, qint32 except) const;

    db::Dataset *AppointmentTable, *AppointmentTypesTable, *DeleteAppQry;
    db::DataSource *AppointmentSrc, *AppointmentTypesSrc;

private:
    void AppointmentTableNewRecord(db::Dataset& DataSet);
    void AppointmentTablePatNameChange(db::Dataset& DataSet);

    struct Week {
        int docId = -1;
        QDate first, last;
    } m_week;
};

} // namespace data
