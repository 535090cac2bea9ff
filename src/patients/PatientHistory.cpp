// The pages "Medical History", "Questionary" and "Recalls" of the patient file.

#include "patients/PatientUnit.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "db/Errors.h"
#include "patients/MedicalHistoryFields.h"
#include "patients/QuestionnaireLists.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBMemo.h"
#include "widgets/UserAction.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace patients {

QWidget* TPatientForm::buildHistoryPage()
{
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    const QList<MedicalHistoryField>& fields = medicalHistoryFields();
    const int perColumn = (static_cast<int>(fields.size()) + 1) / 2;
    for (int i = 0; i < fields.size(); ++i) {
        const MedicalHistoryField& item = fields[i];
        HistoryItem created;
        created.check = new widgets::DBCheckBox(QString::fromLatin1(item.caption), this);
        created.check->setObjectName(QLatin1String(item.field) + QStringLiteral("Check"));
        created.check->bindTo(m_dm.patients().AnamnesticaSrc, QLatin1String(item.field));
        const int row = i % perColumn;
        const int column = (i / perColumn) * 3;
        grid->addWidget(created.check, row, column);
        if (item.which) {
            created.which = edit(QLatin1String(item.which), QLatin1String(item.which), m_dm.patients().AnamnesticaSrc);
            created.whichLabel = label(QLatin1String(item.which) + QStringLiteral("Label"), QStringLiteral("Which?"), created.which);
            grid->addWidget(created.whichLabel, row, column + 1, Qt::AlignRight | Qt::AlignVCenter);
            grid->addWidget(created.which, row, column + 2);
        }
        HistoryItems.append(created);
    }
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(5, 1);
    grid->setColumnMinimumWidth(3, 12);

    OtherMemo = memo(QStringLiteral("OtherMemo"), QStringLiteral("Other"), m_dm.patients().AnamnesticaSrc);
    OtherMemo->setMaximumHeight(70);
    auto* other = new QHBoxLayout;
    other->addWidget(label(QStringLiteral("OtherLabel"), QStringLiteral("Other"), OtherMemo), 0, Qt::AlignTop);
    other->addWidget(OtherMemo, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addLayout(other);
    layout->addStretch();
    return page;
}

widgets::DBCheckBox* TPatientForm::historyCheck(const QString& field) const
{
    for (const HistoryItem& item : HistoryItems) {
        if (item.check->fieldName() == field)
            return item.check;
    }
    return nullptr;
}

widgets::DBEdit* TPatientForm::historyWhich(const QString& field) const
{
    for (const HistoryItem& item : HistoryItems) {
        if (item.check->fieldName() == field)
            return item.which;
    }
    return nullptr;
}

// A "Which?" box only makes sense beside a ticked question; untick it while editing and what
// it said goes.
void TPatientForm::UpdateHistoryEditors()
{
    db::Dataset& history = *m_dm.patients().AnamnesticaTable;
    const bool open = history.isActive() && (!history.isEmpty() || history.isEditing());
    const bool editing = patientEditing() && history.isEditing();
    for (const HistoryItem& item : std::as_const(HistoryItems)) {
        if (!item.which)
            continue;
        const bool checked = open && history.value(item.check->fieldName()).toBool();
        item.which->setEnabled(checked);
        item.whichLabel->setEnabled(checked);
        if (!checked && editing && !history.value(item.which->fieldName()).toString().isEmpty())
            history.setValue(item.which->fieldName(), QVariant());
    }
}

QWidget* TPatientForm::buildQuestionaryPage()
{
    auto* page = new QWidget(this);
    Questionnaire = new QuestionnaireLists(m_dm, this);
    Questionnaire->setObjectName(QStringLiteral("Questionnaire"));
    // A tick is a change of the patient: it is stored (or dropped) with him.
    Questionnaire->beforeChange = [this] {
        if (!patientEditing())
            m_dm.patients().PatientsTable->edit();
    };
    QuestPrintBtn = new QPushButton(QStringLiteral("Print"), this);
    QuestPrintBtn->setObjectName(QStringLiteral("QuestPrintBtn"));
    connect(QuestPrintBtn, &QPushButton::clicked, this, &TPatientForm::QuestPrintBtnClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(QuestPrintBtn);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Questionnaire, 1);
    layout->addLayout(buttons);
    return page;
}

QWidget* TPatientForm::buildRecallsPage()
{
    auto* page = new QWidget(this);
    RecallsGrid = new widgets::DBGrid(this);
    RecallsGrid->setObjectName(QStringLiteral("RecallsGrid"));
    RecallsGrid->setDataSource(m_dm.patients().RecallsSrc);
    RecallsGrid->setColumns({{QStringLiteral("RecallDate"), QStringLiteral("Recall Date"), 110},
        {QStringLiteral("DoctorName"), QStringLiteral("Dentist"), 180}, {QStringLiteral("PatRecReason"), QStringLiteral("Reason"), 360}});
    NewRecallBtn = new QPushButton(QStringLiteral("New Recall"), this);
    NewRecallBtn->setObjectName(QStringLiteral("NewRecallBtn"));
    DeleteRecallBtn = new QPushButton(QStringLiteral("Delete Recall"), this);
    DeleteRecallBtn->setObjectName(QStringLiteral("DeleteRecallBtn"));
    connect(NewRecallBtn, &QPushButton::clicked, this, &TPatientForm::NewRecallBtnClick);
    connect(DeleteRecallBtn, &QPushButton::clicked, this, &TPatientForm::DeleteRecallBtnClick);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(NewRecallBtn);
    buttons->addWidget(DeleteRecallBtn);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(RecallsGrid, 1);
    layout->addLayout(buttons);
    return page;
}

void TPatientForm::NewRecallBtnClick()
{
    db::Dataset& recalls = *m_dm.patients().RecallsTable;
    widgets::runUserAction([&] {
        recalls.append();
        recalls.post();
    });
    updateRecallButtons();
}

void TPatientForm::DeleteRecallBtnClick()
{
    db::Dataset& recalls = *m_dm.patients().RecallsTable;
    widgets::runUserAction([&] {
        if (recalls.isEditing())
            recalls.cancel();
        if (!recalls.isEmpty())
            recalls.remove();
    });
    updateRecallButtons();
}

} // namespace patients
