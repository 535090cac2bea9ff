#pragma once

#include "widgets/Forward.h"
#include <QDialog>
#include <QIcon>

namespace clinical {

// "Notes": the notes of one root canal of an endodontic record, on the record's field.
class TEndoNotesFrm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kLength = 200;

    TEndoNotesFrm(db::DataSource* source, const QString& field, QWidget* parent = nullptr);

    widgets::DBMemo* NotesMemo;
    QPushButton* OKBtn;
    widgets::TLanguage* Lang;

    void accept() override;
};

// The pictures of a canal's notes button: a written sheet when the canal has notes, a blank
// one when not.
QIcon endoNotesIcon(bool hasNotes);

} // namespace clinical
