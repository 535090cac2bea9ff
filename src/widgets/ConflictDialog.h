#pragma once

#include "db/Errors.h"

#include <QDialog>

class QDialogButtonBox;

namespace widgets {

// Shows the fields another workstation changed while this one edited the same record, their
// value and ours, and asks which to keep (or, for a delete, whether to delete all the same).
class ConflictDialog : public QDialog {
    Q_OBJECT
public:
    explicit ConflictDialog(const db::ChangedElsewhere& conflict, QWidget* parent = nullptr);
    db::ChangedElsewhere::Choice choice() const { return m_choice; }

    // Asks the user; closing the dialog changes nothing stored (the edit goes on, the row stays).
    static db::ChangedElsewhere::Choice ask(const db::ChangedElsewhere& conflict);

private:
    void addChoice(
        const char* text, const char* name, db::ChangedElsewhere::Choice choice, bool isDefault = false);

    db::ChangedElsewhere::Choice m_choice;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace widgets
