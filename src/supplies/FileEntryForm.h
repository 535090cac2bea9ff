#pragma once

#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"

#include <QDialog>

class QFormLayout;

namespace supplies {

// A file of the practice's counterparts or materials as a modal list window: the grid, the
// editors of the current row and the main window's record commands as buttons (which act on
// it while it is active).
class FileEntryForm : public QDialog, public widgets::RecordWindow {
    Q_OBJECT
public:
    FileEntryForm(data::TDmForm& dm, const QString& componentName, const QString& caption, widgets::WindowCode code,
        db::Dataset* view, db::DataSource* source, QWidget* parent = nullptr);

    widgets::WindowCode windowCode() const override { return m_code; }
    db::DataSource* mainSource() const override { return m_source; }

    widgets::DBGrid* Grid;
    QPushButton* CloseBtn;
    widgets::TLanguage* Lang;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    // An edit of `field` in the form, with its label.
    widgets::DBEdit* addEdit(
        QFormLayout* form, const char* name, const QString& field, const QString& caption);
    QVBoxLayout* body() const { return m_body; }
    data::TDmForm& m_dm;
    db::Dataset* m_view;
    db::DataSource* m_source;

private:
    widgets::WindowCode m_code;
    QVBoxLayout* m_body;
    bool m_translated = false;
};

} // namespace supplies
