#pragma once

#include "clinical/ToothRecordForm.h"
#include "widgets/Forward.h"

namespace clinical {

// "Tooth Coloring": the shade of one tooth in a session: the shade guide, the shades of its
// mesial, distal, occlusal and cervical parts, and notes. A record left without any of them is
// removed.
class TToothColorForm : public TToothRecordForm {
    Q_OBJECT
public:
    explicit TToothColorForm(data::TDmForm& dm, QWidget* parent = nullptr);

    static int Show(data::TDmForm& dm, const QVariant& sessionId, int tooth, QWidget* parent = nullptr,
        std::optional<QPoint> at = {});

    widgets::DBComboBox* ColorListCombo;
    widgets::DBComboBox* NearCombo;
    widgets::DBComboBox* FarCombo;
    widgets::DBComboBox* ChewingCombo;
    widgets::DBComboBox* AuchenicCombo;
    widgets::DBMemo* NotesMemo;

protected:
    bool isEmptyRecord() const override;
};

} // namespace clinical
