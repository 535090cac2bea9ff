#include "patients/FamilyUnit.h"
#include "widgets/CloseButton.h"

#include "data/DmUnit.h"
#include "db/DataSource.h"
#include "db/Dataset.h"
#include "patients/FamilyRoles.h"
#include "widgets/Language.h"
#include "widgets/WindowService.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace patients {
namespace {

const QString kPatientID = QStringLiteral("PatientID");

} // namespace

TFamilyForm::TFamilyForm(data::TDmForm& dm, QWidget* parent)
    : QWidget(parent)
    , FamilyTree(new QTreeWidget(this))
    , SelectBtn(new QPushButton(QStringLiteral("Select"), this))
    , CloseBtn(new QPushButton(QStringLiteral("Close"), this))
    , m_dm(dm)
{
    setObjectName(QStringLiteral("FamilyForm"));
    setWindowTitle(QStringLiteral("Family Members"));
    Lang = new widgets::TLanguage(this,
        { QStringLiteral("FamilyForm.Caption"), QStringLiteral("FamilyForm.SelectBtn.Caption"),
            QStringLiteral("FamilyForm.CloseBtn.Caption") });
    FamilyTree->setObjectName(QStringLiteral("FamilyTree"));
    FamilyTree->setHeaderHidden(true);
    SelectBtn->setObjectName(QStringLiteral("SelectBtn"));
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    connect(SelectBtn, &QPushButton::clicked, this, &TFamilyForm::SelectBtnClick);
    connect(FamilyTree, &QTreeWidget::itemDoubleClicked, this, &TFamilyForm::SelectBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, [this] { widgets::closeWindow(*this); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SelectBtn);
    buttons->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FamilyTree, 1);
    layout->addLayout(buttons);
    resize(360, 320);
    Lang->Translate();

    connect(&m_dm, &data::TDmForm::patientStored, this, &TFamilyForm::reload);
    connect(m_dm.patients().PatientsSrc, &db::DataSource::dataChanged, this, [this](const QString& field) {
        if (field.isEmpty() && m_dm.patients().PatientsTable->state() == db::DatasetState::Browse)
            reload();
    });
    reload();
}

void TFamilyForm::reload()
{
    FamilyTree->clear();
    db::Dataset& patients = *m_dm.patients().PatientsTable;
    if (!patients.isActive() || patients.isEmpty())
        return;
    QVariant protector;
    const auto role = data::fromCode<FamilyRole>(patients.value(u"TypeProtectionFamily"));
    if (role == FamilyRole::Protector)
        protector = patients.value(kPatientID);
    else if (role == FamilyRole::ProtectedMember && m_dm.patients().FamilyFatherTable->isActive() && !m_dm.patients().FamilyFatherTable->isEmpty())
        protector = m_dm.patients().FamilyFatherTable->value(u"FatherID");
    if (protector.isNull())
        return;
    if (!FamilyRoles(m_dm).openStoredFamily(protector))
        return;
    db::Dataset& everyone = *m_dm.patients().AllPatientsTable;
    db::Dataset& members = *m_dm.patients().FamilyChildrenForLookOnly;
    auto* root = new QTreeWidgetItem(FamilyTree, {everyone.value(u"Name").toString()});
    root->setData(0, Qt::UserRole, protector);
    const int child = members.field(u"ChildID").index();
    const int name = members.field(u"ChildName").index();
    const int relationship = members.field(u"Relationship").index();
    for (int row = 0; row < members.recordCount(); ++row) {
        const QString text = members.rowValue(row, name).toString() + QStringLiteral(" (")
            + members.rowValue(row, relationship).toString() + QLatin1Char(')');
        auto* item = new QTreeWidgetItem(root, {text});
        item->setData(0, Qt::UserRole, members.rowValue(row, child));
    }
    FamilyTree->expandAll();
    FamilyTree->setCurrentItem(root);
}

void TFamilyForm::SelectBtnClick()
{
    const QTreeWidgetItem* item = FamilyTree->currentItem();
    if (!item)
        return;
    const QVariant id = item->data(0, Qt::UserRole);
    if (!m_dm.AskToPost(*m_dm.patients().PatientsTable))
        return;
    m_dm.patients().PatientsTable->locate(kPatientID, id);
    if (widgets::WindowService* service = widgets::WindowService::current())
        service->openWindow(QStringLiteral("PatientForm"));
}

} // namespace patients
