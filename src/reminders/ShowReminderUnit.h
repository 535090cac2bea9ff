#pragma once

#include "widgets/Forward.h"
#include <QDate>
#include <QDialog>

namespace reminders {

// The reminders of the day ("Reminder - Name Day!!!"): a page with the reminders, name days,
// birthdays and lab jobs of the day, and a page with the patients to recall that day. It lives
// only while ShowRemindersOfDay runs.
class TShowReminderForm : public QDialog {
    Q_OBJECT
public:
    TShowReminderForm(data::TDmForm& dm, QDate today, QWidget* parent = nullptr);
    ~TShowReminderForm() override;

    // Gathers the day: the page texts and the recall list. Returns whether there is anything
    // to show; each page is shown only when it has something.
    bool gather();
    // The recall list as printed: the label's text and the day as title, the grid's columns.
    reports::Report recallReport() const;
    void PrintBtnClick();
    void PrintPreviewClick();

    QTabWidget* Pages;
    QWidget* RemindersPage;
    QWidget* RecallsPage;
    QPlainTextEdit* ReminderMemo;
    QLabel* RecallLabel;
    QPushButton* PrintBtn;
    QMenu* PrintMenu; // the grid's pop-up: "Print Preview"
    widgets::DBGrid* RecallGrid;
    QPushButton* OKBtn;
    widgets::TLanguage* Lang;

private:
    data::TDmForm& m_dm;
    QDate m_today;
};

// Shows the reminders of `today`: when there is nothing, the information "No reminders found
// for the selected date." (only when `mainVisible`), otherwise the window, modally.
void ShowRemindersOfDay(data::TDmForm& dm, QDate today, bool mainVisible, QWidget* parent = nullptr);

} // namespace reminders
