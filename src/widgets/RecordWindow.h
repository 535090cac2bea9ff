#pragma once

namespace db {
class DataSource;
class Dataset;
}

class QWidget;

namespace widgets {

// Which window a record window is. Every window has an identity of its own; the number it puts
// on the active data source (its tag, `tagOf`) is the older code, shared by a few windows.
enum class WindowCode {
    None,
    PatientFile,
    PatientImages,
    Economics,
    TreatmentHistory,
    OperationsCatalogue,
    Materials,
    Dentists,
    AppointmentBook,
    Suppliers,
    DentalLabs,
    EndoMeasurements,
    ReferenceLists,
    NameDays,
    DentalChart,
    MaterialOrder,
    MaterialReceipt,
    LabOrder,
    LabReceipt,
    MedicinesList,
    Prescriptions,
    PhoneList,
    Reminders,
    PerioChart,
    ProgressNotes,
    UsualAnswers,
    PhysicalSystems,
    AppointmentTypes,
};

// The number a window code stands for on the active data source; the data module's rules read
// these numbers (New prepares by them, Refresh re-reads by them).
constexpr int tagOf(WindowCode code)
{
    switch (code) {
    case WindowCode::None: return 0;
    case WindowCode::PatientFile: return 1;
    case WindowCode::PatientImages: return 2;
    case WindowCode::Economics: return 3;
    case WindowCode::TreatmentHistory: return 4;
    case WindowCode::OperationsCatalogue: return 5;
    case WindowCode::Materials: return 6;
    case WindowCode::Dentists: return 7;
    case WindowCode::AppointmentBook: return 8;
    case WindowCode::Suppliers: return 9;
    case WindowCode::DentalLabs: return 10;
    case WindowCode::EndoMeasurements: return 11;
    case WindowCode::ReferenceLists: return 12;
    case WindowCode::NameDays: return 13;
    case WindowCode::DentalChart: return 14;
    case WindowCode::MaterialOrder: return 15;
    case WindowCode::MaterialReceipt: return 16;
    case WindowCode::LabOrder: return 17;
    case WindowCode::LabReceipt: return 18;
    case WindowCode::MedicinesList: return 19;
    case WindowCode::Prescriptions: return 20;
    case WindowCode::PhoneList: return 21;
    case WindowCode::Reminders: return 22;
    case WindowCode::PerioChart: return 22;
    case WindowCode::ProgressNotes: return 1001;
    case WindowCode::UsualAnswers: return 1002;
    case WindowCode::PhysicalSystems: return 1002;
    case WindowCode::AppointmentTypes: return 1003;
    }
    return 0;
}

// A window the shared record commands act on. What every such window does with the frame is
// done once, by the record frame (RecordFrame.h): it claims the commands for the window when
// its child window becomes the active one (and only then), asks the save question when the
// window is left or closed with a pending edit, and releases the commands on close. A window
// declares what differs by overriding the hooks below; it handles no activation events itself.
class RecordWindow {
public:
    virtual ~RecordWindow();

    virtual WindowCode windowCode() const = 0;
    // The data source whose view the shared record commands act on while the window is active.
    virtual db::DataSource* mainSource() const = 0;

    // The window became the active one and holds the commands now: what it shows on activation.
    virtual void windowActivated() {}
    // Another window became active and the save question let this one go.
    virtual void windowLeft() {}
    // The pending edits are settled (the save question on the main view by default); false
    // keeps them, and the window with them.
    virtual bool settleChanges();
    // Whether the window comes back to the front when leaving it kept its edit.
    virtual bool comesBackWhenKept() const { return true; }
    // Whether the window gives the commands up when it is left (a window that does not leaves
    // its view to the commands until another record window claims them).
    virtual bool releasesOnLeave() const { return false; }

    // New, before the row is started: focus the first editor, choose the page.
    virtual void prepareNew() {}
    // Cancel, before the main view: the window's detail views drop their edits.
    virtual void cancelDetails() {}
    // Refresh, after the main view was read again: the detail views and what shows them.
    virtual void refreshDetails() {}
    // The current row is one the window's rules refuse to edit or delete: Edit and Delete are
    // off while it is current.
    virtual bool rowLocked() const { return false; }

    // The widget this window is.
    QWidget* recordWidget();

protected:
    // The commands follow this window's main source again (its tab or view changed).
    void claimRecordCommands();
    // This window gives the commands up (they act on nothing until another window claims them).
    void releaseRecordCommands();
    // Whether this window holds the commands now.
    bool holdsRecordCommands() const;
    // The practice's save question on `view`: Yes posts, No cancels, Cancel keeps the edit.
    bool askToPost(db::Dataset& view);
};

// A record window that is always the same window: its code, and the older number as FormCode.
template<WindowCode Code> class RecordWindowOf : public RecordWindow {
public:
    static constexpr int FormCode = tagOf(Code);
    WindowCode windowCode() const override { return Code; }
};

} // namespace widgets
