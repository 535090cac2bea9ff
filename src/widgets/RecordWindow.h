#pragma once

namespace db {
class DataSource;
}

namespace widgets {

// The code a window puts on the active data source (its tag) while one of its views is the
// one the shared record commands act on.
enum class WindowCode {
    None = 0,
    PatientFile = 1,
    PatientImages = 2,
    TreatmentHistory = 4,
    OperationsCatalogue = 5,
    Dentists = 7,
    AppointmentBook = 8,
    EndoMeasurements = 11,
    DentalChart = 14,
    PerioChart = 22,
    ProgressNotes = 1001,
    UsualAnswers = 1002,
    // the reference lists, the office lists, medicines and prescriptions
    ReferenceLists = 12,
    NameDays = 13,
    MedicinesList = 19,
    Prescriptions = 20,
    PhoneList = 21,
    Reminders = 22,
    PhysicalSystems = 1002,
    AppointmentTypes = 1003,
};

constexpr int tagOf(WindowCode code)
{
    return static_cast<int>(code);
}

// What the shell asks of the record window that is active in the frame (found through the
// active child window): the shared record commands and Refresh call these around their work on
// the active data source.
class RecordWindow {
public:
    virtual ~RecordWindow() = default;
    virtual WindowCode windowCode() const = 0;
    // The data source the window gives the shared record commands.
    virtual db::DataSource* mainSource() const = 0;
    // New, before the row is started: focus the first editor, choose the page.
    virtual void prepareNew() {}
    // Cancel, before the main view: the window's detail views drop their edits.
    virtual void cancelDetails() {}
    // Refresh, after the main view was read again: the detail views and what shows them.
    virtual void refreshDetails() {}
    // The current row is one the window's rules refuse to edit or delete: Edit and Delete are
    // off while it is current.
    virtual bool rowLocked() const { return false; }
};

} // namespace widgets
