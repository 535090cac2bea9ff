#pragma once

#include "reminders/OfficeListWindow.h"
#include "widgets/Forward.h"

namespace reminders {

// The practice's dated notes ("Reminders"), once-off or repeating every month or year; the
// shared record commands act on RemindersTable (code 22).
class TRemindersForm : public OfficeListWindow {
    Q_OBJECT
public:
    explicit TRemindersForm(data::TDmForm& dm, QWidget* parent = nullptr);

    // New starts in the comments.
    void prepareNew() override;

    widgets::DBGrid* Grid;
    widgets::DBDateEdit* DateEdit;
    widgets::DBMemo* CommentsMemo; // the comments
    widgets::DBDateEdit* DeleteDateEdit;
    widgets::DBEdit* DurationEdit;
    widgets::DBCheckBox* EveryMonthCheck;
    widgets::DBCheckBox* EveryYearCheck;
};

} // namespace reminders
