#pragma once

#include "widgets/Forward.h"
#include <QDialog>

namespace patients {

// "Patient Book References": the current patient's rows of the patient book, with record
// buttons of its own acting on that view and enabled by its state.
class TPatBookFrm : public QDialog {
    Q_OBJECT
public:
    explicit TPatBookFrm(data::TDmForm& dm, QWidget* parent = nullptr);

    widgets::DBGrid* PatBookGrid;
    QPushButton* NewBtn;
    QPushButton* DeleteBtn;
    QPushButton* EditBtn;
    QPushButton* CancelBtn;
    QPushButton* SaveBtn;
    QPushButton* CloseBtn;
    widgets::TLanguage* Lang;

    void NewBtnClick();
    void DeleteBtnClick();
    void EditBtnClick();
    void CancelBtnClick();
    void SaveBtnClick();

    void done(int result) override;

private:
    void stateChanged();

    data::TDmForm& m_dm;
};

} // namespace patients
