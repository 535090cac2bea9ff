#pragma once

#include "patients/FamilyRoles.h"
#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <functional>

class QGridLayout;

namespace patients {

class PhotoBox;
class QuestionnaireLists;

// The main window's part in the patient file: its shared record commands and services.
struct PatientFormHost {
    std::function<void()> save; // the shared Save
    std::function<void()> warnIfInactive;
    std::function<void()> clearStatus; // status bar panels 1 and 2, when the window closes
    // The search dialog over `view`; true when the user chose a row (the view is on it).
    std::function<bool(db::Dataset& view, const QString& caption, const QString& condition)> search;
    QList<QAction*> recordActions; // New, Delete, Edit, Cancel for the tool bar
};

// The patient file ("PatientForm"): personal data, medical history, questionnaire, family,
// recalls and photograph of the current patient, over the data module's PatientsTable and the
// views hanging off it. The record commands are the main window's; the window points the
// active data source at PatientsTable (code 1) while it is active.
class TPatientForm : public QWidget, public widgets::RecordWindowOf<widgets::WindowCode::PatientFile> {
    Q_OBJECT
public:
    static constexpr int kHistoryPage = 3;
    enum Page { BasicPage, AdditionalPage, FamilyPage, HistoryPage, QuestionaryPage, RecallsPage };

    explicit TPatientForm(data::TDmForm& dm, PatientFormHost host = {}, QWidget* parent = nullptr);
    ~TPatientForm() override;

    // The balance panel's switch, shared by every patient file of the run.
    static bool balancePanelShown();

    // --- tool bar ---
    QToolBar* ToolBar;
    QAction* SaveBtn;
    QAction* PrintBtn; // medical history
    QAction* PatientBookBtn;
    QAction* CloseBtn;
    QToolButton* CaptionBtn; // shows or hides the balance
    QPushButton* PatientHistBtn; // the medical-history alarm
    // Members say what they hold; objectName() keeps the designed name (PageControl1, Edit1)
    // because the language file addresses the controls by it.
    QTabWidget* Pages;

    // --- page "Basic" ---
    widgets::DBEdit* LastNameEdit;
    widgets::DBEdit *FirstNameEdit, *FatherNameEdit, *MotherNameEdit, *FolderCodeEdit;
    widgets::DBRadioGroup* SexGroup;
    widgets::DBEdit *PhoneEdit, *Phone2Edit, *CellTelEdit, *FaxEdit, *EmailEdit;
    widgets::DBEdit *AddressEdit, *ZipEdit, *ProvinceEdit;
    widgets::DBLookupCombo* CityCombo;
    QPushButton* NewCityBtn;
    widgets::DBEdit* BirthDateEdit;
    widgets::DBText* AgeText;
    widgets::DBEdit *BirthPlaceEdit, *RecDateEdit;
    widgets::DBText* LastDateText;
    widgets::DBEdit* RecallDateEdit;
    widgets::DBMemo* RecallReasonMemo;
    widgets::DBEdit *ReferrerEdit, *RefPhoneEdit;
    widgets::DBComboBox* CategoryCombo;
    widgets::DBCheckBox *ActiveSessionCheck, *NotActiveCheck;
    QLabel* BalanceLabel;
    widgets::DBText* BalanceText;
    PhotoBox* Photo;

    // --- page "Additional" ---
    widgets::DBMemo* RemarksMemo;
    widgets::DBEdit *BloodTypeEdit, *FiscalCodeEdit, *DiscountEdit, *JobEdit, *SSNEdit, *InvoiceNameEdit;
    widgets::DBEdit *VATEdit, *PrimaryDentistEdit, *HealthCodeEdit;
    widgets::DBLookupCombo* InsurCompanyCombo;
    QPushButton* NewInsurBtn;

    // --- page "Family" ---
    widgets::DBRadioGroup* FamilyRoleGroup;
    QWidget* ProtectorPanel;
    widgets::DBText* ProtectorNameText;
    QPushButton* SearchProtectorBtn;
    widgets::DBComboBox* RelationshipCombo;
    widgets::DBRadioGroup* ChildPaysGroup;
    QPushButton* MembersBtn; // "..."
    QPushButton* FamilyBtn;

    // --- page "Medical History" ---
    struct HistoryItem {
        widgets::DBCheckBox* check = nullptr;
        QLabel* whichLabel = nullptr; // with its text box, for the questions that ask "Which?"
        widgets::DBEdit* which = nullptr;
    };
    QList<HistoryItem> HistoryItems;
    widgets::DBMemo* OtherMemo;
    // The check box of a medical-history field (Allergie …), or nothing.
    widgets::DBCheckBox* historyCheck(const QString& field) const;
    widgets::DBEdit* historyWhich(const QString& field) const;

    // --- page "Questionary" ---
    QuestionnaireLists* Questionnaire;
    QPushButton* QuestPrintBtn;

    // --- page "Recalls" ---
    widgets::DBGrid* RecallsGrid;
    QPushButton* NewRecallBtn;
    QPushButton* DeleteRecallBtn;

    widgets::TLanguage* Lang;

    // --- what the window does (named after the designed handlers) ---
    void PatientsSrcStateChange();
    // Another patient became current (no field), or `field` of the patient changed.
    void PatientsSrcDataChange(const QString& field = {});
    void UpdateFamilyPage();
    void UpdateHistoryEditors();
    void UpdateBalance();
    void UpdateAlarm();
    bool alarmRaised() const; // PatientHistBtn shows
    // The main window's refresh: enabling, history editors and questionnaire again.
    void RefreshDerived();

    // --- the shared record commands ---
    db::DataSource* mainSource() const override;
    // Activate: the patient's notifications, pages, alarm and the inactive warning.
    void windowActivated() override;
    // The patient and the medical history, each by the save question.
    bool settleChanges() override;
    // The examination dates are read again on the next activation.
    void windowLeft() override;
    // Focuses "Last Name" on the first page (New).
    void prepareNew() override;
    // The medical history and the payer link drop their edits before the patient does.
    void cancelDetails() override;
    // The views of the patient's pages read again, then the pages.
    void refreshDetails() override;
    void FamilyRoleClick(int index);
    void SearchProtectorBtnClick();
    void MembersBtnClick();
    void FamilyBtnClick();
    void NewCityBtnClick();
    void NewInsurBtnClick();
    void NewRecallBtnClick();
    void DeleteRecallBtnClick();
    void SaveBtnClick();
    void PrintBtnClick();
    void QuestPrintBtnClick();
    void PatientBookBtnClick();
    void CaptionBtnClick();
    void fillCategories();

    data::TDmForm& dataModule() const { return m_dm; }
    FamilyRoles& familyRoles() { return m_roles; }

Q_SIGNALS:
    // Refresh read the patient's views again: a family tree open beside shows them too.
    void detailsRefreshed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // PatientPages.cpp
    QWidget* buildBasicPage();
    QWidget* buildAdditionalPage();
    QWidget* buildPhonesBox();
    QWidget* buildDatesBox();
    // PatientFamily.cpp
    QWidget* buildFamilyPage();
    QWidget* buildHistoryPage();
    QWidget* buildRecallsPage();
    QWidget* buildQuestionaryPage();
    // PatientUnit.cpp
    void buildToolBar();
    widgets::DBEdit* edit(const QString& name, const QString& field, db::DataSource* source = nullptr);
    widgets::DBEdit* dateEdit(const QString& name, const QString& field);
    widgets::DBMemo* memo(const QString& name, const QString& field, db::DataSource* source = nullptr);
    QLabel* label(const QString& name, const QString& caption, QWidget* buddy = nullptr);
    void addRow(QGridLayout* grid, int row, int column, const QString& labelName, const QString& caption, QWidget* editor, int span = 1);
    void connectPatientSource();
    void disconnectPatientSource();
    void updateCaption();
    void updateRecallButtons();
    bool patientEditing() const;
    bool patientBrowsing() const;
    void openReferenceList(const QString& tab, db::Dataset& list, const QString& keyField);
    QStringList translatedProperties() const;

    data::TDmForm& m_dm;
    PatientFormHost m_host;
    FamilyRoles m_roles;
    QList<QMetaObject::Connection> m_sourceConnections;
    FamilyRole m_shownRole = FamilyRole::Independent; // the family role before a click on the role group
    QAction* m_alarmAction = nullptr;
    QAction* m_captionAction = nullptr;
    bool m_shown = false;
    bool m_suspended = false; // the patient book holds the notifications
    friend class PatientSourceHold;
};

// Holds the patient source's notifications to the patient file while it lives (a modal window
// that works on the patients' views of its own), applying them once afterwards.
class PatientSourceHold {
public:
    explicit PatientSourceHold(TPatientForm* form);
    ~PatientSourceHold();
    PatientSourceHold(const PatientSourceHold&) = delete;
    PatientSourceHold& operator=(const PatientSourceHold&) = delete;

private:
    QPointer<TPatientForm> m_form;
};

} // namespace patients
