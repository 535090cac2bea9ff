#pragma once

#include "widgets/Forward.h"
#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QListWidgetItem;

namespace patients {

// A question of the questionnaire with the patient's answer and, for a master question, its
// detail questions.
struct QuestionAnswer {
    QString question;
    bool checked = false;
    QList<QuestionAnswer> details;
};

// The questionnaire of the current patient: every master question with its details, as the
// patient answered them. The master templates' cursor comes back where it was.
QList<QuestionAnswer> patientQuestionnaire(data::TDmForm& dm);

// The page "Questionary": the master questions and, beside them, the detail questions of the
// selected master, each ticked when the patient has answered it. A tick stores an answer row
// (the position in its list + 1 as QuestionID), taking the tick away deletes it; a master that
// loses its tick takes the answers of its details with it.
class QuestionnaireLists : public QWidget {
    Q_OBJECT
public:
    explicit QuestionnaireLists(data::TDmForm& dm, QWidget* parent = nullptr);

    QListWidget* MasterList;
    QListWidget* DetailList;
    // Runs before an answer changes (the patient file puts the patient into edit).
    std::function<void()> beforeChange;

    // Reads the questions and the patient's answers again.
    void reload();
    void selectMaster(int index);
    // What a tick or its removal does, as if the user had clicked.
    void setMasterChecked(int index, bool checked);
    void setDetailChecked(int index, bool checked);

private:
    void fillDetails();
    void itemChanged(QListWidgetItem* item);
    QVariant masterQuestionId() const;

    data::TDmForm& m_dm;
    bool m_loading = false;
};

} // namespace patients
