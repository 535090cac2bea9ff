#pragma once

#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"

#include <QWidget>

namespace reminders {

// A child window of the frame over one view of the lists (reminders, phones): the shared
// record commands act on the view while the window is active; it opens the view when shown
// and, after the save question, closes it when the window closes.
class OfficeListWindow : public QWidget, public widgets::RecordWindow {
    Q_OBJECT
public:
    OfficeListWindow(data::TDmForm& dm, db::Dataset& view, widgets::WindowCode code, QWidget* parent);

    widgets::WindowCode windowCode() const override { return m_code; }
    db::DataSource* mainSource() const override;
    void windowActivated() override;
    // Left for another window, the list gives the commands up.
    bool releasesOnLeave() const override { return true; }

    // The shared New, Delete, Edit, Cancel and Save as buttons, and Close.
    QHBoxLayout* RecordButtons;
    QPushButton* CloseBtn;
    widgets::TLanguage* Lang;

protected:
    // What follows the view's state (buttons of the window's own).
    virtual void stateChanged() { }
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    data::TDmForm& m_dm;
    db::Dataset& m_view;

private:
    widgets::WindowCode m_code;
    bool m_shown = false;
    QMetaObject::Connection m_stateConnection;
};

} // namespace reminders
