#pragma once

#include "appointments/AppointmentGrid.h"
#include "data/AppointmentSlots.h"
#include "db/RuleChain.h"
#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"

#include <QDate>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCalendarWidget;
class QDialog;

namespace appointments {

// The appointment book ("Appointments"): one dentist per tab, a week or a day of slots on the
// grid, the month calendar, the details of the selected appointment and the legend of the
// appointment types. Appointments are moved by cut and paste and booked or edited in the
// appointment dialog; the paste checks and writes under the database's write lock, so that two
// workstations cannot book the same free slot.
class TAppointmentsForm : public QWidget,
                          public widgets::RecordWindowOf<widgets::WindowCode::AppointmentBook> {
    Q_OBJECT
public:
    explicit TAppointmentsForm(data::TDmForm& dm, QWidget* parent = nullptr);
    ~TAppointmentsForm() override;

    db::DataSource* mainSource() const override;
    void refreshDetails() override { LoadAppointments(); }

    // False when the default dentist has no tab: the book told the user and closes.
    bool isUsable() const { return m_usable; }

    QTabBar* DentistTabs;
    QTabBar* ViewTabs; // "Entire Week" / "Single Day"
    TAppointmentGrid* AppointmentGrid;
    QCalendarWidget* Calendar;
    QToolButton* NextBtn;
    QPlainTextEdit* DetailsMemo;
    QListWidget* Legend;
    QPushButton* PrintBtn;
    QPushButton* CloseBtn;
    QMenu* PopupMenu;
    widgets::TLanguage* Lang;

    // Where the modal dialogs of the book run; tests answer them instead.
    std::function<int(QDialog&)> runModal;
    // The column width question; nothing when it was cancelled.
    std::function<std::optional<QString>(const QString& caption, const QString& prompt)> askText;
    // The patient search of the main window, handed to the appointment dialog.
    std::function<bool()> searchPatient;

    int selectedDentist() const { return m_dentist; }
    const data::timeslots::SlotSet& workingHours() const { return m_workingHours; }

    // Shows the dentist of a tab and reloads.
    void selectDentistTab(int index);
    // The calendar's date: its week (or day), with the grid's column moved to it.
    void showDate(QDate date);
    void NextClick(int days);
    void setSingleDay(bool on);
    void LoadAppointments();

    // The placing rule: n slots from `row` of `col` exist, are free (or hold `moving`) and lie
    // within the working hours.
    bool runIsFree(int col, int row, int n, qint32 moving) const;
    // How many consecutive slots from `row` obey the placing rule.
    int freeRun(int col, int row, qint32 moving) const;
    QString limitAt(int col, int row) const;
    // Selects the cell and, on an appointment, the whole block.
    void selectCell(int col, int row);
    // The appointment dialog for the selected cell (new on an empty cell, else editing).
    void OpenEntryDialog();
    void CutClick() { storeClipboard(true); }
    void CopyClick() { storeClipboard(false); }
    void PasteClick();
    void ShowSelectedPatient();
    void ResizeColumnsClick();
    void SetWorkingHoursClick();
    // The grid as a picture under "Weekly Appointments" or "Daily Appointments".
    reports::Report printReport() const;
    void PrintClick();
    void windowActivated() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Clipboard {
        qint32 appId = 0; // 0: empty
        bool cut = false;
        qint32 patId = -1;
        QString patName;
        int duration = 1;
        QString details;
        QString type;
    };

    QWidget* buildLeftPanel();
    void buildPopupMenu();
    void buildDentistTabs();
    void open();
    void clearCells();
    void loadWorkingHours();
    void loadDaysOff();
    void fillLegend();
    void showDetails(int col, int row);
    void selectBlockOf(qint32 appId);
    void storeClipboard(bool cut);
    QString captionWithNameDays() const;
    std::pair<int, int> blockOf(int col, int row) const;

    data::TDmForm& m_dm;
    bool m_usable = true;
    int m_dentist = -1;
    int m_defaultTab = -1;
    int m_singleDayColumn = 1;
    data::timeslots::SlotSet m_workingHours = data::timeslots::defaultWorkingHours();
    Clipboard m_clipboard;
    std::vector<std::unique_ptr<TAppointment>> m_cellObjects;
};

} // namespace appointments
