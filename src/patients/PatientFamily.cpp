// The page "Family" of the patient file: the patient's role, his protector and the windows of
#include "platform/MessageTexts.h"
// the family; and the reference lists the patient picks from (cities, insurance companies).

#include "patients/PatientUnit.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "db/Errors.h"
#include "patients/AddProtectedMembersUnit.h"
#include "patients/FamilyUnit.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBRadioGroup.h"
#include "widgets/DBText.h"
#include "widgets/Language.h"
#include "widgets/UserAction.h"
#include "widgets/WindowService.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace patients {

QWidget* TPatientForm::buildFamilyPage()
{
    auto* page = new QWidget(this);
    FamilyRoleGroup = new widgets::DBRadioGroup(this);
    FamilyRoleGroup->setObjectName(QStringLiteral("FamilyRoleGroup"));
    FamilyRoleGroup->setItems({QStringLiteral("Independent Patient"), QStringLiteral("Protected Member"), QStringLiteral("Protector")});
    FamilyRoleGroup->setValues({data::code(FamilyRole::Independent), data::code(FamilyRole::ProtectedMember), data::code(FamilyRole::Protector)});
    FamilyRoleGroup->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("TypeProtectionFamily"));
    connect(FamilyRoleGroup, &widgets::DBRadioGroup::itemClicked, this, &TPatientForm::FamilyRoleClick);

    ProtectorPanel = new QWidget(this);
    ProtectorPanel->setObjectName(QStringLiteral("ProtectorPanel"));
    auto* grid = new QGridLayout(ProtectorPanel);
    ProtectorNameText = new widgets::DBText(this);
    ProtectorNameText->setObjectName(QStringLiteral("ProtectorNameText"));
    ProtectorNameText->bindTo(m_dm.patients().FamilyFatherSrc, QStringLiteral("FatherName"));
    ProtectorNameText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ProtectorNameText->setMinimumWidth(220);
    SearchProtectorBtn = new QPushButton(QStringLiteral("Search"), this);
    SearchProtectorBtn->setObjectName(QStringLiteral("SearchProtectorBtn"));
    connect(SearchProtectorBtn, &QPushButton::clicked, this, &TPatientForm::SearchProtectorBtnClick);
    RelationshipCombo = new widgets::DBComboBox(this);
    RelationshipCombo->setObjectName(QStringLiteral("RelationshipCombo"));
    RelationshipCombo->setEditable(false);
    RelationshipCombo->addItems({QStringLiteral("child"), QStringLiteral("spouce"), QStringLiteral("father"), QStringLiteral("mother"),
        QStringLiteral("grandfather"), QStringLiteral("grandmother"), QStringLiteral("brother"), QStringLiteral("sister")});
    RelationshipCombo->bindTo(m_dm.patients().FamilyFatherSrc, QStringLiteral("Relationship"));
    ChildPaysGroup = new widgets::DBRadioGroup(QStringLiteral("Financial transactions with"), this);
    ChildPaysGroup->setObjectName(QStringLiteral("ChildPaysGroup"));
    ChildPaysGroup->setItems({QStringLiteral("The Patient"), QStringLiteral("The Protector")});
    ChildPaysGroup->setValues({true, false});
    ChildPaysGroup->bindTo(m_dm.patients().FamilyFatherSrc, QStringLiteral("ChildPays"));

    auto* protector = new QHBoxLayout;
    protector->addWidget(ProtectorNameText, 1);
    protector->addWidget(SearchProtectorBtn);
    addRow(grid, 0, 0, QStringLiteral("ProtectorLabel"), QStringLiteral("of"), ProtectorNameText);
    grid->addLayout(protector, 0, 1);
    addRow(grid, 1, 0, QStringLiteral("RelationshipLabel"), QStringLiteral("Relationship"), RelationshipCombo);
    grid->addWidget(ChildPaysGroup, 2, 1);
    grid->setColumnStretch(1, 1);

    MembersBtn = new QPushButton(QStringLiteral("..."), this);
    MembersBtn->setObjectName(QStringLiteral("MembersBtn"));
    MembersBtn->setToolTip(platform::MessageTexts::program().Message(QStringLiteral("Protected Members")));
    MembersBtn->setFixedWidth(40);
    connect(MembersBtn, &QPushButton::clicked, this, &TPatientForm::MembersBtnClick);
    FamilyBtn = new QPushButton(QStringLiteral("Family"), this);
    FamilyBtn->setObjectName(QStringLiteral("FamilyBtn"));
    connect(FamilyBtn, &QPushButton::clicked, this, &TPatientForm::FamilyBtnClick);

    auto* role = new QHBoxLayout;
    role->addWidget(FamilyRoleGroup, 0, Qt::AlignTop);
    auto* roleButtons = new QVBoxLayout;
    roleButtons->addWidget(MembersBtn);
    roleButtons->addWidget(FamilyBtn);
    roleButtons->addStretch();
    role->addLayout(roleButtons);
    role->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(role);
    layout->addWidget(ProtectorPanel);
    layout->addStretch();
    return page;
}

void TPatientForm::UpdateFamilyPage()
{
    const db::Dataset& patients = *m_dm.patients().PatientsTable;
    const FamilyRole role = patients.isActive() && !patients.isEmpty() ? data::fromCode<FamilyRole>(patients.value(u"TypeProtectionFamily")) : FamilyRole::Independent;
    const bool editing = patientEditing();
    const bool member = role == FamilyRole::ProtectedMember;
    ProtectorPanel->setVisible(member);
    ProtectorPanel->setEnabled(member);
    SearchProtectorBtn->setEnabled(member && editing && bool(m_host.search));
    MembersBtn->setEnabled(role == FamilyRole::Protector && editing);
    FamilyBtn->setEnabled((role == FamilyRole::ProtectedMember || role == FamilyRole::Protector) && patientBrowsing() && !patients.isEmpty());
}

void TPatientForm::FamilyRoleClick(int index)
{
    const FamilyRole from = m_shownRole;
    const auto to = data::fromCode<FamilyRole>(FamilyRoleGroup->values().value(index));
    m_shownRole = to;
    ProtectorPanel->setVisible(to == FamilyRole::ProtectedMember);
    if (!patientEditing())
        return;
    widgets::runUserAction([&] { m_roles.roleChanged(from, to); });
    UpdateFamilyPage();
    if (to == FamilyRole::Protector)
        MembersBtnClick();
}

void TPatientForm::SearchProtectorBtnClick()
{
    if (!m_host.search)
        return;
    const QString condition = QStringLiteral("(PatientID <> '%1') AND (TypeProtectionFamily<>1)")
                                  .arg(m_dm.patients().PatientsTable->value(u"PatientID").toString());
    db::Dataset& payers = *m_dm.patients().NonProtectedPatientsTable;
    if (m_host.search(payers, Lang->Message(QStringLiteral("Search for Patient")), condition))
        m_roles.setProtector(payers.value(u"PatientID"));
}

void TPatientForm::MembersBtnClick()
{
    TAddProtectedMembersForm dialog(m_dm, m_roles, this);
    dialog.exec();
    UpdateFamilyPage();
}

void TPatientForm::FamilyBtnClick()
{
    if (widgets::WindowService* service = widgets::WindowService::current()) {
        if (service->openWindow(QStringLiteral("FamilyForm")))
            return;
    }
    // Without a frame (tests, the tour) the tree is a window of its own.
    auto* tree = new TFamilyForm(m_dm, nullptr);
    tree->setAttribute(Qt::WA_DeleteOnClose);
    tree->show();
}

void TPatientForm::NewCityBtnClick()
{
    openReferenceList(QStringLiteral("Cities"), *m_dm.lists().CitiesTable, QStringLiteral("CityID"));
}

void TPatientForm::NewInsurBtnClick()
{
    openReferenceList(QStringLiteral("Insur. Companies"), *m_dm.lists().InsurCompaniesTable, QStringLiteral("InsurCompanyID"));
}

// A new row of the list, filled in in the reference lists window; the patient takes it.
void TPatientForm::openReferenceList(const QString& tab, db::Dataset& list, const QString& keyField)
{
    if (!list.isActive())
        m_dm.OpenTable(list);
    bool named = true;
    const bool stored = widgets::runUserAction([&] {
        list.append();
        if (widgets::WindowService* service = widgets::WindowService::current())
            service->openWindow(QStringLiteral("AdditionalForm"));
        if (list.state() != db::DatasetState::Insert)
            return;
        // No reference lists window took the row: ask for its name here.
        const QString nameField = list.field(1).name();
        const QString name = QInputDialog::getText(
            this, Lang->Message(tab), list.field(1).label(), QLineEdit::Normal, {}, &named);
        named = named && !name.trimmed().isEmpty();
        if (!named) {
            list.cancel();
            return;
        }
        list.setValue(nameField, name.trimmed());
        list.post();
    });
    if (!stored || !named)
        return;
    if (patientEditing() && !list.isEmpty())
        m_dm.patients().PatientsTable->setValue(keyField, list.value(list.field(0).name()));
}

} // namespace patients
