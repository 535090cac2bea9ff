#pragma once

#include "clinical/ProgNoteReportLayout.h"
#include "db/RuleChain.h"
#include "widgets/DBRichEdit.h"
#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"

#include <QPointer>
#include <QWidget>

namespace clinical {

// "Σημειώσεις προόδου (Progress Notes)": dated clinical notes of the current patient's session,
// each filed under a body system, with formatted history and findings, diagnosis and
// treatment, and the dentist. Stock answers go into the formatted text that last had the focus,
// at its caret. Without any body system the window stays read-only. The main window's record
// commands act on the notes (code 1001).
class TProgNotesForm : public QWidget, public widgets::RecordWindowOf<widgets::WindowCode::ProgressNotes> {
    Q_OBJECT
public:
    explicit TProgNotesForm(data::TDmForm& dm, QWidget* parent = nullptr);
    ~TProgNotesForm() override;

    db::DataSource* mainSource() const override;
    void prepareNew() override;

    // False when there were no body systems at opening: the notes are not opened.
    bool notesEnabled() const { return m_enabled; }
    // The formatted text a stock answer goes into; none until one had the focus or a click.
    widgets::DBRichEdit* lastText() const { return m_lastText; }
    // A stock answer by its name into the last formatted text, at its caret; nothing without one.
    void InsertAnswer(const QString& name);
    // The stock answers again, one menu item each (on every activation).
    void RebuildAnswersMenu();
    // Only the notes of the system chosen in the selector, or all.
    void SetOneSystem(bool on);
    // The note shown, or every note of its system, as the printed progress note.
    reports::Report report(bool wholeSystem) const;
    // The printed look: the layout file read at opening, or another.
    void setReportLayout(const ProgNoteReportLayout& layout) { m_reportLayout = layout; }
    void windowActivated() override;

    QLabel* PatientLabel;
    QToolButton* SearchBtn;
    widgets::DBGrid* NotesGrid;
    QComboBox* SystemCombo;
    QCheckBox* OneSystemCheck;
    QGroupBox* NoteBox;
    widgets::DBDateEdit* NoteDateEdit;
    widgets::DBEdit* BriefDescEdit;
    widgets::DBLookupCombo* SystemLookup;
    widgets::DBLookupCombo* DocLookup;
    widgets::DBRichEdit* FindingsEdit;
    widgets::DBRichEdit* TherapyEdit;
    QMenu* AnswersMenu;
    QPushButton* PrintBtn;
    QPushButton* CloseBtn;
    widgets::TLanguage* Lang;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildList();
    QWidget* buildNote();
    QWidget* formatted(widgets::DBRichEdit*& editor, const char* name);
    void open();
    void fillSystems();
    void followState();
    void showPatient();
    void print(bool wholeSystem);

    data::TDmForm& m_dm;
    bool m_enabled = false;
    bool m_shown = false;
    bool m_oneSystem = false;
    bool m_inserting = false;
    QPointer<widgets::DBRichEdit> m_lastText;
    QList<QWidget*> m_editors;
    db::RuleGuard m_systemFilter;
    db::RuleGuard m_flushBeforePost;
    ProgNoteReportLayout m_reportLayout;
};

} // namespace clinical
