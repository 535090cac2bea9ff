#include "patients/AddProtectedMembersUnit.h"

#include "db/Dataset.h"
#include "db/DataSource.h"
#include "db/Errors.h"
#include "patients/FamilyRoles.h"
#include "widgets/DBGrid.h"
#include "widgets/DBText.h"
#include "widgets/Language.h"
#include "widgets/UserAction.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace patients {

TAddProtectedMembersForm::TAddProtectedMembersForm(data::TDmForm& dm, FamilyRoles& roles, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_roles(roles)
{
    setObjectName(QStringLiteral("AddProtectedMembersForm"));
    setWindowTitle(QStringLiteral("Protected Members"));
    Lang = new widgets::TLanguage(this);
    db::Dataset& payers = *m_dm.patients().NonProtectedPatientsTable;
    if (!payers.isActive())
        m_dm.OpenTable(payers);
    if (!m_dm.patients().FamilyChildrenTable->isActive())
        m_dm.OpenTable(*m_dm.patients().FamilyChildrenTable);
    m_hold.emplace(m_dm, QList<db::Dataset*>{m_dm.patients().FamilyChildrenTable, m_dm.patients().NonProtectedPatientsTable});

    // Candidates: anyone who may pay (not the protector, no member) and has no role yet.
    m_candidates = payers.onFilterRecord.add(
        data::Stage::Window, QStringLiteral("ProtectedMemberCandidates"), [this](const db::Dataset& ds) {
            return data::holds(ds.value(u"TypeProtectionFamily"), FamilyRole::Independent)
                && ds.value(u"PatientID") != m_dm.patients().PatientsTable->value(u"PatientID");
        });
    if (!payers.isEditing())
        payers.refresh();

    auto* protector = new QGroupBox(this);
    auto* top = new QGridLayout(protector);
    PatientText = new widgets::DBText(this);
    PatientText->setObjectName(QStringLiteral("PatientText"));
    PatientText->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("Name"));
    FatherNameText = new widgets::DBText(this);
    FatherNameText->setObjectName(QStringLiteral("FatherNameText"));
    FatherNameText->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("FatherName"));
    auto* patientLabel = new QLabel(QStringLiteral("Patient"), this);
    patientLabel->setObjectName(QStringLiteral("PatientLabel"));
    auto* fatherLabel = new QLabel(QStringLiteral("Father's Name"), this);
    fatherLabel->setObjectName(QStringLiteral("FatherNameLabel"));
    top->addWidget(patientLabel, 0, 0);
    top->addWidget(PatientText, 0, 1);
    top->addWidget(fatherLabel, 0, 2);
    top->addWidget(FatherNameText, 0, 3);
    top->setColumnStretch(1, 2);
    top->setColumnStretch(3, 1);

    MembersGrid = new widgets::DBGrid(this);
    MembersGrid->setObjectName(QStringLiteral("MembersGrid"));
    MembersGrid->setDataSource(m_dm.patients().FamilyChildrenSrc);
    MembersGrid->setColumns({{QStringLiteral("ChildName"), QStringLiteral("Patient"), 200},
        {QStringLiteral("ChildFatherName"), QStringLiteral("Father's Name"), 130}, {QStringLiteral("Relationship"), QStringLiteral("Relationship"), 100},
        {QStringLiteral("ChildPays"), QStringLiteral("He Pays"), 70}});
    CandidatesGrid = new widgets::DBGrid(this);
    CandidatesGrid->setObjectName(QStringLiteral("CandidatesGrid"));
    CandidatesGrid->setDataSource(m_dm.patients().NonProtectedPatientsSrc);
    CandidatesGrid->setColumns({{QStringLiteral("Name"), QStringLiteral("Patient"), 220}, {QStringLiteral("FatherName"), QStringLiteral("Father's Name"), 150}});
    CandidatesGrid->setReadOnly(true);

    AddBtn = new QPushButton(QStringLiteral("<< Add"), this);
    AddBtn->setObjectName(QStringLiteral("AddBtn"));
    RemoveBtn = new QPushButton(QStringLiteral("Remove >>"), this);
    RemoveBtn->setObjectName(QStringLiteral("RemoveBtn"));
    connect(AddBtn, &QPushButton::clicked, this, &TAddProtectedMembersForm::AddBtnClick);
    connect(RemoveBtn, &QPushButton::clicked, this, &TAddProtectedMembersForm::RemoveBtnClick);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(AddBtn);
    middle->addWidget(RemoveBtn);
    middle->addStretch();
    auto* grids = new QHBoxLayout;
    grids->addWidget(MembersGrid, 3);
    grids->addLayout(middle);
    grids->addWidget(CandidatesGrid, 2);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(OKBtn, QDialogButtonBox::AcceptRole);
    buttons->addButton(CancelBtn, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(protector);
    layout->addLayout(grids, 1);
    layout->addWidget(buttons);
    resize(860, 420);

    QStringList paths;
    for (const char* name : {"PatientLabel", "FatherNameLabel", "AddBtn", "RemoveBtn", "OKBtn", "CancelBtn"})
        paths << QStringLiteral("AddProtectedMembersForm.%1.Caption").arg(QLatin1String(name));
    paths << QStringLiteral("AddProtectedMembersForm.Caption") << QStringLiteral("AddProtectedMembersForm.MembersGrid.Columns")
          << QStringLiteral("AddProtectedMembersForm.CandidatesGrid.Columns");
    Lang->setProperties(paths);
    Lang->Translate();
}

TAddProtectedMembersForm::~TAddProtectedMembersForm()
{
    db::Dataset& payers = *m_dm.patients().NonProtectedPatientsTable;
    m_candidates.release();
    if (payers.isActive() && !payers.isEditing())
        payers.refresh();
}

QList<QVariant> TAddProtectedMembersForm::selectedIds(widgets::DBGrid* grid, db::Dataset& view, const QString& field) const
{
    QList<QVariant> ids;
    const int index = view.field(field).index();
    for (int row : grid->selectedRows())
        ids << view.rowValue(row, index);
    if (ids.isEmpty() && !view.isEmpty())
        ids << view.value(field);
    return ids;
}

void TAddProtectedMembersForm::AddBtnClick()
{
    const QList<QVariant> ids = selectedIds(CandidatesGrid, *m_dm.patients().NonProtectedPatientsTable, QStringLiteral("PatientID"));
    widgets::runUserAction([&] {
        for (const QVariant& id : ids)
            m_roles.addMember(id);
    });
}

void TAddProtectedMembersForm::RemoveBtnClick()
{
    const QList<QVariant> ids = selectedIds(MembersGrid, *m_dm.patients().FamilyChildrenTable, QStringLiteral("ChildID"));
    widgets::runUserAction([&] {
        for (const QVariant& id : ids)
            m_roles.removeMember(id);
    });
}

void TAddProtectedMembersForm::done(int result)
{
    if (result != QDialog::Accepted) {
        for (db::Dataset* view : {m_dm.patients().FamilyChildrenTable, m_dm.patients().NonProtectedPatientsTable}) {
            if (view->isEditing())
                view->cancel();
            view->cancelUpdates();
        }
    }
    m_hold.reset();
    // Kept changes go with the patient; a patient who is not being edited stores them now.
    if (result == QDialog::Accepted && !m_dm.patients().PatientsTable->isEditing())
        m_dm.storeGroup(*m_dm.patients().PatientsTable);
    QDialog::done(result);
}

} // namespace patients
