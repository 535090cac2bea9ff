#pragma once

#include "db/DatasetTypes.h"
#include "db/RuleChain.h"
#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"

#include <QDialog>
#include <QList>

namespace clinical {

// "Endodontic treatment measurements": the length and width of the root canals of a tooth in
// the current session, with notes per canal. Opened by the dental chart for the current tooth
// (only that tooth's records; a single-rooted tooth shows one canal), or for every tooth. The
// main window's record commands act on the endodontic records (code 11).
class TEndoMeasureForm : public QDialog,
                         public widgets::RecordWindowOf<widgets::WindowCode::EndoMeasurements> {
    Q_OBJECT
public:
    enum Canal { NearTongue, NearCheek, Palatal, FarTongue, FarCheek, CanalCount };
    enum Column { DateColumn, ToothColumn, FirstCanalColumn }; // then length and width of each canal

    // `tooth` 0: every tooth; otherwise the records of that tooth only.
    TEndoMeasureForm(data::TDmForm& dm, int tooth, QWidget* parent = nullptr);
    ~TEndoMeasureForm() override;

    int tooth() const { return m_tooth; }
    int shownCanals() const { return m_canals; }
    // The report of the listed records, "Endodontic Treatment Measurements".
    reports::Report report() const;

    db::DataSource* mainSource() const override;
    void prepareNew() override;

    struct CanalControls {
        QLabel* label;
        QLabel* lengthLabel;
        widgets::DBEdit* length;
        QLabel* widthLabel;
        widgets::DBEdit* width;
        QToolButton* notesBtn;
        QString notesField;
    };

    widgets::DBGrid* Grid;
    widgets::DBDateEdit* DateEdit; // the date: the New command's focus
    widgets::DBComboBox* ToothCombo;
    QList<CanalControls> Canals;
    widgets::DBEdit* NotesEdit;
    QPushButton* PrintBtn;
    QMenu* PrintMenu;
    QPushButton* CloseBtn;
    widgets::TLanguage* Lang;

    // A canal's notes button: the notes window on its field, the pictures again afterwards.
    void NotesBtnClick(int canal);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    QWidget* buildEditors();
    QLayout* buildButtons();
    void applyCanalCount();
    void followState();
    void followRow();
    void exportPdf();

    data::TDmForm& m_dm;
    int m_tooth;
    int m_canals;
    db::RuleGuard m_filter;
    QList<QWidget*> m_editors;
    db::DatasetState m_state = db::DatasetState::Inactive;
};

} // namespace clinical
