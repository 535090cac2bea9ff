#pragma once

#include "clinical/ToothRecordForm.h"
#include "widgets/Forward.h"

class QString;

namespace clinical {

// "Notes for tooth": free notes on one tooth of a session, from the dental chart's and the
// periodontal chart's pop-ups. A note is kept ending in a line break; an empty note removes
// the tooth's row.
class TToothNotesForm : public TToothRecordForm {
    Q_OBJECT
public:
    explicit TToothNotesForm(data::TDmForm& dm, QWidget* parent = nullptr);

    // The notes of `tooth` in the session `sessionId` (empty: the current session), modally,
    // placed at `at` on the screen when given. The dialog's result.
    static int Show(data::TDmForm& dm, const QVariant& sessionId, int tooth, QWidget* parent = nullptr,
        std::optional<QPoint> at = {});

    widgets::DBMemo* NotesMemo;

protected:
    bool isEmptyRecord() const override;
    void completeRecord() override;
    void showEvent(QShowEvent* event) override;
};

// The same window on notes kept elsewhere (a tooth of the periodontal chart): the text after
// OK, nothing after Cancel.
std::optional<QString> editToothNotesText(int tooth, const QString& notes, QWidget* parent = nullptr);

} // namespace clinical
