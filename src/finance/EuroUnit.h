#pragma once

#include "data/QuestionTemplate.h"
#include "widgets/Forward.h"

#include <QDialog>

#include <optional>

class QSpinBox;

namespace finance {

// "Config": the EURO rate and the workstation's options, the medical-history answers that raise
// the alarm and the questionnaire template. Everything goes to PV.INI on "OK"; the rate is
// refused when it is not above 0.
class TEuroForm : public QDialog {
    Q_OBJECT
public:
    enum Page { GeneralPage, AlarmPage, QuestionaryPage };

    explicit TEuroForm(data::TDmForm& dm, QWidget* parent = nullptr);

    // The rate typed, or nothing (the message said) when it is no number above 0.
    std::optional<double> typedRate(bool tell);
    void RateEditExit();
    void AddQuestion();
    void DeleteQuestion();
    void InsertSubquestion();
    void PrintQuestions();
    // The tree as it stands, in the template's order.
    QList<data::TemplateQuestion> questions() const;

    QTabWidget* PageControl;
    QSpinBox* RxSpinEdit1; // appointment length
    QCheckBox* DelAppsCheck;
    QSpinBox* RxSpinEdit2; // days after which appointments are deleted
    QCheckBox* AutoBackUpCheck;
    QLineEdit* BackUpFolderEdit; // where the backup at exit goes; empty: "Backups" beside the data
    QCheckBox* ShowInitialChartCheck;
    QCheckBox* DefaultAppointmentPatientCheck;
    QCheckBox* ShowAllRemindersCheck;
    QLineEdit* RateEdit;
    QLabel* CurrencyLabel;
    QListWidget* AlarmList;
    QTreeWidget* QuestionTree;
    QMenu* QuestionMenu;
    widgets::TLanguage* Lang;

public slots:
    void accept() override;
    void reject() override;

private:
    QWidget* buildGeneralPage();
    QWidget* buildAlarmPage();
    QWidget* buildQuestionaryPage();
    void loadQuestions();
    QTreeWidgetItem* newQuestion(QTreeWidgetItem* father);

    data::TDmForm& m_dm;
    int m_slotAtOpen = 30;
    int m_deleteDaysAtOpen = 30;
    double m_rateAtOpen = 0;
    QString m_rateTextAtOpen;
    int m_nextQuestionId = 1;
    bool m_questionsChanged = false;
};

} // namespace finance
