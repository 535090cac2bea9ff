#pragma once

#include "data/DmArea.h"

#include <QDate>

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

    // At start, when the settings ask for it: appointments older than the kept days go.
    void deleteOldAppointments(const platform::Settings& settings, QDate today);

    db::Dataset *AppointmentTable, *AppointmentTypesTable, *DeleteAppQry;
    db::DataSource *AppointmentSrc, *AppointmentTypesSrc;

private:
    void AppointmentTableNewRecord(db::Dataset& DataSet);
    void AppointmentTablePatNameChange(db::Dataset& DataSet);
};

} // namespace data
