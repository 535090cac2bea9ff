#pragma once

#include <QDialog>
#include <QList>

class QDialogButtonBox;
class QLabel;
class QPushButton;

namespace db {
class DataSource;
}
namespace widgets {
class DBGrid;
class TLanguage;
} // namespace widgets

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
    void translate(const QStringList& moreNames = {});
    QDialogButtonBox* Buttons;
};

} // namespace supplies
