#pragma once

#include "widgets/Forward.h"
#include <QDialog>
#include <QList>

class QDialogButtonBox;

namespace supplies {

// A modal list over a view: a caption above, the grid (several rows may be chosen), and OK /
// Cancel, or Close alone when the list only shows. A double click chooses like OK.
class PickerDialog : public QDialog {
    Q_OBJECT
public:
    PickerDialog(const QString& componentName, const QString& caption, const QString& listCaption,
        QWidget* parent = nullptr);

    // The chosen rows of the view, in its order; the current row when none is marked.
    QList<int> selectedRows() const;
    // Makes the list a picker (OK, Cancel) or a plain view (Close).
    void setPicking(bool picking, bool multiple = true);

    QLabel* ListLabel;
    widgets::DBGrid* Grid;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    widgets::TLanguage* Lang;

protected:
    void setSource(db::DataSource* source);
    // Buttons of its own that the dialog's translation names as well.
    void translateAlso(const QStringList& names) { m_moreNames = names; }
    // Translated when first shown.
    void showEvent(QShowEvent* event) override;
    QDialogButtonBox* Buttons;

private:
    void translate();

    QStringList m_moreNames;
    bool m_translated = false;
};

} // namespace supplies
