#pragma once

#include "widgets/DBEdit.h"

namespace widgets {

// A data-aware number editor: a sum typed into it ("100*0.9") is worked out and stored when
// the user presses Enter or leaves it; the button at its end opens a small calculator whose
// result goes into the field.
class DBCalcEdit : public DBEdit {
    Q_OBJECT
public:
    explicit DBCalcEdit(QWidget* parent = nullptr);

    // Opens the calculator below the editor, starting from the editor's text.
    void showCalculator();

protected:
    QVariant valueOfText(const QString& text) const override;
};

} // namespace widgets
