#pragma once

#include "db/RuleChain.h"
#include "widgets/Forward.h"

#include <QDate>
#include <QDialog>

#include <functional>

namespace appointments {

// The appointment dialog ("Appointments Entry"): books a new appointment or edits one on the
// appointment view. Save, Cancel and Delete (the main window's commands) close it.
class TAppointmentEntryForm : public QDialog {
    Q_OBJECT
public:
    struct Place {
        QDate date;
        QString startTime; // the grid's label of the first slot
        int docId = 0;
        bool editing = false;
        int maxDuration = 1;
        int slotMinutes = 30;
        QString limit; // what stands after the longest duration ("the appointment of X at 10 : 30")
    };

    explicit TAppointmentEntryForm(data::TDmForm& dm, QWidget* parent = nullptr);
    ~TAppointmentEntryForm() override;

    // A new appointment (started here) or the current one of the view, at `place`.
    void prepare(const Place& place);
    int maxDuration() const { return m_place.maxDuration; }
    // A duration picked from the list: above the maximum it is told and clamped.
    void chooseDuration(int position);
    // The patient search's choice: name and identifier of the chosen patient.
    void SearchBtnClick();

    // The patient search: true when a patient was chosen (the patient view is on it).
    std::function<bool()> searchPatient;

    widgets::DBEdit* DateEdit;
    widgets::DBEdit* StartTimeEdit;
    widgets::DBEdit* NameEdit;
    QToolButton* SearchBtn;
    QComboBox* DurationCombo;
    QLabel* DurationMinutes; // the duration in minutes, beside the count of slots
    widgets::DBLookupCombo* TypeCombo;
    widgets::DBMemo* DetailsMemo;
    QPushButton* CloseBtn;
    widgets::TLanguage* Lang;

protected:
    void done(int result) override;

private:
    void followDuration();

    data::TDmForm& m_dm;
    Place m_place;
    db::RuleGuard m_overlapRule;
    bool m_loadingDuration = false;
};

} // namespace appointments
