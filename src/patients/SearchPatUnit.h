#pragma once

#include "widgets/Forward.h"
#include <QDialog>

#include <functional>

class QTableView;

namespace db {
class DatasetModel;
} // namespace db

namespace patients {

// The simple patient search ("Search Patient"): parts of the last, first and father's name
// narrow the list; the select button makes the chosen patient the current one.
class TSearchPatForm : public QDialog {
    Q_OBJECT
public:
    explicit TSearchPatForm(db::Dataset& patients, QWidget* parent = nullptr);

    QLabel* LastNameLabel;
    QLineEdit* LastNameEd;
    QLabel* FirstNameLabel;
    QLineEdit* FirstNameEd;
    QLabel* FatherNameLabel;
    QLineEdit* FatherNameEd;
    QPushButton* SearchBtn;
    QTableView* ResultsGrid;
    QPushButton* SelectBtn;
    QPushButton* CloseBtn;
    db::Dataset* Matches;
    db::DatasetModel* MatchesModel;
    widgets::TLanguage* Lang;

    // Warns when the patient just chosen is marked inactive (the main window's warning).
    std::function<void()> warnIfInactive;

    void SearchBtnClick();
    void SelectBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    db::Dataset& m_patients;
    bool m_translated = false;
};

} // namespace patients
