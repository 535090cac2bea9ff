#pragma once

#include "data/AppointmentSlots.h"
#include "widgets/Forward.h"

#include <QDialog>

namespace appointments {

// "Working hours ": every slot of the day in a list; the chosen ones are the dentist's hours.
class TWorkingHoursForm : public QDialog {
    Q_OBJECT
public:
    TWorkingHoursForm(
        int slotCount, int slotMinutes, const data::timeslots::SlotSet& current, QWidget* parent = nullptr);

    // Item i of the list is slot i + 1.
    data::timeslots::SlotSet chosenSlots() const;

    QListWidget* SlotList;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    widgets::TLanguage* Lang;
};

} // namespace appointments
