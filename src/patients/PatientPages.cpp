// The pages "Basic" and "Additional" of the patient file: the patient's own fields.

#include "patients/PatientUnit.h"
#include "platform/Directories.h"
#include <QDir>

#include "data/DmUnit.h"
#include "db/DataSource.h"
#include "patients/PhotoBox.h"
#include "widgets/DBCalcEdit.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBLookupCombo.h"
#include "widgets/DBMemo.h"
#include "widgets/DBRadioGroup.h"
#include "widgets/DBText.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace patients {

namespace {

// The folder code is stored as the older system wrote it ("\\xrays\\x149"); the user sees the
// folder it names below the data folder ("xrays/x149"), the whole path as the hint.
class FolderCodeView : public widgets::DBEdit {
public:
    using DBEdit::DBEdit;
    QString textForDisplay() const override
    {
        QString folder = DBEdit::textForDisplay().replace(u'\\', u'/');
        while (folder.startsWith(u'/'))
            folder.remove(0, 1);
        const_cast<FolderCodeView*>(this)->setToolTip(
            folder.isEmpty() ? QString() : QDir(platform::dataRoot()).filePath(folder));
        return folder;
    }
};

} // namespace

QWidget* TPatientForm::buildBasicPage()
{
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    LastNameEdit = edit(QStringLiteral("Edit1"), QStringLiteral("LastName"));
    FirstNameEdit = edit(QStringLiteral("FirstNameEdit"), QStringLiteral("FirstName"));
    FatherNameEdit = edit(QStringLiteral("FatherNameEdit"), QStringLiteral("FatherName"));
    MotherNameEdit = edit(QStringLiteral("MotherNameEdit"), QStringLiteral("MotherName"));
    FolderCodeEdit = new FolderCodeView(this);
    FolderCodeEdit->setObjectName(QStringLiteral("FolderCodeEdit"));
    FolderCodeEdit->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("FolderCode"));
    FolderCodeEdit->dataLink()->setReadOnly(true);
    FolderCodeEdit->setFocusPolicy(Qt::NoFocus);
    addRow(grid, 0, 0, QStringLiteral("LastNameLabel"), QStringLiteral("Last Name"), LastNameEdit);
    addRow(grid, 1, 0, QStringLiteral("FirstNameLabel"), QStringLiteral("First Name"), FirstNameEdit);
    addRow(grid, 2, 0, QStringLiteral("FatherNameLabel"), QStringLiteral("Father's Name"), FatherNameEdit);
    addRow(grid, 3, 0, QStringLiteral("MotherNameLabel"), QStringLiteral("Mother's Name"), MotherNameEdit);

    SexGroup = new widgets::DBRadioGroup(this);
    SexGroup->setObjectName(QStringLiteral("SexGroup"));
    SexGroup->setItems({QStringLiteral("Male"), QStringLiteral("Female")});
    SexGroup->setValues({true, false});
    SexGroup->setColumns(2);
    SexGroup->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("Sex"));
    grid->addWidget(SexGroup, 4, 1);
    addRow(grid, 5, 0, QStringLiteral("FolderCodeLabel"), QStringLiteral("Folder Code"), FolderCodeEdit);

    AddressEdit = edit(QStringLiteral("AddressEdit"), QStringLiteral("Address"));
    ZipEdit = edit(QStringLiteral("ZipEdit"), QStringLiteral("Zip"));
    ProvinceEdit = edit(QStringLiteral("ProvinceEdit"), QStringLiteral("Province"));
    CityCombo = new widgets::DBLookupCombo(this);
    CityCombo->setObjectName(QStringLiteral("CityCombo"));
    CityCombo->setList(m_dm.lists().CitiesSrc, QStringLiteral("CityID"), QStringLiteral("CityName"));
    CityCombo->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("CityID"));
    NewCityBtn = new QPushButton(QStringLiteral("New City"), this);
    NewCityBtn->setObjectName(QStringLiteral("NewCityBtn"));
    connect(NewCityBtn, &QPushButton::clicked, this, &TPatientForm::NewCityBtnClick);
    addRow(grid, 6, 0, QStringLiteral("AddressLabel"), QStringLiteral("Address"), AddressEdit);
    addRow(grid, 7, 0, QStringLiteral("ZipLabel"), QStringLiteral("Zip"), ZipEdit);
    addRow(grid, 8, 0, QStringLiteral("ProvinceLabel"), QStringLiteral("Province"), ProvinceEdit);
    auto* city = new QHBoxLayout;
    city->addWidget(CityCombo, 1);
    city->addWidget(NewCityBtn);
    grid->addWidget(label(QStringLiteral("CityLabel"), QStringLiteral("City"), CityCombo), 9, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addLayout(city, 9, 1);

    BirthDateEdit = dateEdit(QStringLiteral("BirthDateEdit"), QStringLiteral("BirthDate"));
    AgeText = new widgets::DBText(this);
    AgeText->setObjectName(QStringLiteral("AgeText"));
    AgeText->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("Age"));
    AgeText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    AgeText->setMinimumWidth(40);
    BirthPlaceEdit = edit(QStringLiteral("BirthPlaceEdit"), QStringLiteral("BirthPlace"));
    auto* birth = new QHBoxLayout;
    birth->addWidget(BirthDateEdit);
    birth->addWidget(label(QStringLiteral("AgeLabel"), QStringLiteral("Age")));
    birth->addWidget(AgeText);
    birth->addStretch();
    grid->addWidget(label(QStringLiteral("BirthDateLabel"), QStringLiteral("Birth Date"), BirthDateEdit), 10, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addLayout(birth, 10, 1);
    addRow(grid, 11, 0, QStringLiteral("BirthPlaceLabel"), QStringLiteral("Birth Place"), BirthPlaceEdit);
    grid->setColumnStretch(1, 1);

    // Right column: phones, dates, referrer and the photograph.
    auto* right = new QVBoxLayout;
    right->addWidget(buildPhonesBox());
    right->addWidget(buildDatesBox());

    auto* referrer = new QGridLayout;
    ReferrerEdit = edit(QStringLiteral("ReferrerEdit"), QStringLiteral("Referrer"));
    RefPhoneEdit = edit(QStringLiteral("RefPhoneEdit"), QStringLiteral("RefPhone"));
    CategoryCombo = new widgets::DBComboBox(this);
    CategoryCombo->setObjectName(QStringLiteral("CategoryCombo"));
    CategoryCombo->setEditable(true);
    CategoryCombo->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("PatientCategory"));
    addRow(referrer, 0, 0, QStringLiteral("ReferrerLabel"), QStringLiteral("Referrer"), ReferrerEdit);
    addRow(referrer, 0, 2, QStringLiteral("RefPhoneLabel"), QStringLiteral("Phone"), RefPhoneEdit);
    addRow(referrer, 1, 0, QStringLiteral("CategoryLabel"), QStringLiteral("Category"), CategoryCombo, 3);
    referrer->setColumnStretch(1, 2);
    referrer->setColumnStretch(3, 1);
    right->addLayout(referrer);

    ActiveSessionCheck = new widgets::DBCheckBox(QStringLiteral("Active Therapy Session"), this);
    ActiveSessionCheck->setObjectName(QStringLiteral("ActiveSessionCheck"));
    ActiveSessionCheck->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("ActiveTherapySession"));
    ActiveSessionCheck->dataLink()->setReadOnly(true);
    NotActiveCheck = new widgets::DBCheckBox(QStringLiteral("Inactive"), this);
    NotActiveCheck->setObjectName(QStringLiteral("NotActiveCheck"));
    NotActiveCheck->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("NotActive"));
    BalanceLabel = label(QStringLiteral("BalanceLabel"), QStringLiteral("Balance"));
    BalanceText = new widgets::DBText(this);
    BalanceText->setObjectName(QStringLiteral("BalanceText"));
    BalanceText->bindTo(m_dm.finance().PatientEconomSrc, QStringLiteral("SessBalance"));
    BalanceText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    BalanceText->setMinimumWidth(90);
    BalanceText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* flags = new QHBoxLayout;
    flags->addWidget(ActiveSessionCheck);
    flags->addWidget(NotActiveCheck);
    flags->addStretch();
    flags->addWidget(BalanceLabel);
    flags->addWidget(BalanceText);
    right->addLayout(flags);
    right->addStretch();

    Photo = new PhotoBox(this);
    Photo->setObjectName(QStringLiteral("Photo"));
    Photo->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("PhotoPath"));
    auto* photoColumn = new QVBoxLayout;
    photoColumn->addWidget(Photo);
    photoColumn->addStretch();

    auto* columns = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    left->addLayout(grid);
    left->addStretch();
    columns->addLayout(left, 3);
    columns->addLayout(right, 3);
    columns->addLayout(photoColumn, 0);
    return page;
}

QWidget* TPatientForm::buildPhonesBox()
{
    auto* box = new QGroupBox(QStringLiteral("Telephones"), this);
    box->setObjectName(QStringLiteral("PhonesBox"));
    auto* grid = new QGridLayout(box);
    PhoneEdit = edit(QStringLiteral("PhoneEdit"), QStringLiteral("Phone"));
    Phone2Edit = edit(QStringLiteral("Phone2Edit"), QStringLiteral("Phone2"));
    CellTelEdit = edit(QStringLiteral("CellTelEdit"), QStringLiteral("CellTel"));
    FaxEdit = edit(QStringLiteral("FaxEdit"), QStringLiteral("Fax"));
    EmailEdit = edit(QStringLiteral("EmailEdit"), QStringLiteral("Email"));
    addRow(grid, 0, 0, QStringLiteral("PhoneLabel"), QStringLiteral("Home"), PhoneEdit);
    addRow(grid, 0, 2, QStringLiteral("Phone2Label"), QStringLiteral("Work"), Phone2Edit);
    addRow(grid, 1, 0, QStringLiteral("CellTelLabel"), QStringLiteral("Cellular"), CellTelEdit);
    addRow(grid, 1, 2, QStringLiteral("FaxLabel"), QStringLiteral("Fax"), FaxEdit);
    addRow(grid, 2, 0, QStringLiteral("EmailLabel"), QStringLiteral("E-mail"), EmailEdit, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return box;
}

QWidget* TPatientForm::buildDatesBox()
{
    auto* box = new QGroupBox(QStringLiteral("Examination Dates"), this);
    box->setObjectName(QStringLiteral("DatesBox"));
    auto* grid = new QGridLayout(box);
    RecDateEdit = dateEdit(QStringLiteral("RecDateEdit"), QStringLiteral("RecDate"));
    LastDateText = new widgets::DBText(this);
    LastDateText->setObjectName(QStringLiteral("LastDateText"));
    LastDateText->bindTo(m_dm.clinical().FirstLasDateSrc, QStringLiteral("LastDate"));
    LastDateText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    LastDateText->setMinimumWidth(100);
    RecallDateEdit = dateEdit(QStringLiteral("RecallDateEdit"), QStringLiteral("RecallDate"));
    RecallReasonMemo = memo(QStringLiteral("RecallReasonMemo"), QStringLiteral("RecallReason"));
    RecallReasonMemo->setMaximumHeight(48);
    addRow(grid, 0, 0, QStringLiteral("RecDateLabel"), QStringLiteral("First"), RecDateEdit);
    addRow(grid, 0, 2, QStringLiteral("LastDateLabel"), QStringLiteral("Last"), LastDateText);
    addRow(grid, 1, 0, QStringLiteral("RecallDateLabel"), QStringLiteral("Recall"), RecallDateEdit);
    grid->addWidget(label(QStringLiteral("RecallReasonLabel"), QStringLiteral("Reason"), RecallReasonMemo), 2, 0, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(RecallReasonMemo, 2, 1, 1, 3);
    grid->setColumnStretch(3, 1);
    return box;
}

QWidget* TPatientForm::buildAdditionalPage()
{
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout;
    RemarksMemo = memo(QStringLiteral("RemarksMemo"), QStringLiteral("Remarks"));
    BloodTypeEdit = edit(QStringLiteral("BloodTypeEdit"), QStringLiteral("BloodType"));
    FiscalCodeEdit = edit(QStringLiteral("FiscalCodeEdit"), QStringLiteral("FiscalCode"));
    auto* discount = new widgets::DBCalcEdit(this);
    discount->setObjectName(QStringLiteral("DiscountEdit"));
    discount->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("Discount"));
    discount->setMaximumWidth(120);
    DiscountEdit = discount;
    JobEdit = edit(QStringLiteral("JobEdit"), QStringLiteral("Job"));
    SSNEdit = edit(QStringLiteral("SSNEdit"), QStringLiteral("SSN"));
    InvoiceNameEdit = edit(QStringLiteral("InvoiceNameEdit"), QStringLiteral("InvoiceName"));
    VATEdit = edit(QStringLiteral("VATEdit"), QStringLiteral("VAT"));
    PrimaryDentistEdit = edit(QStringLiteral("PrimaryDentistEdit"), QStringLiteral("PrimaryDentist"));
    InsurCompanyCombo = new widgets::DBLookupCombo(this);
    InsurCompanyCombo->setObjectName(QStringLiteral("InsurCompanyCombo"));
    InsurCompanyCombo->setList(m_dm.lists().InsurCompaniesSrc, QStringLiteral("InsurCompID"), QStringLiteral("InsuranceCompany"));
    InsurCompanyCombo->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("InsurCompanyID"));
    NewInsurBtn = new QPushButton(QStringLiteral("New Insurance Company"), this);
    NewInsurBtn->setObjectName(QStringLiteral("NewInsurBtn"));
    connect(NewInsurBtn, &QPushButton::clicked, this, &TPatientForm::NewInsurBtnClick);
    HealthCodeEdit = edit(QStringLiteral("HealthCodeEdit"), QStringLiteral("YgionomikosKodikos"));

    grid->addWidget(label(QStringLiteral("RemarksLabel"), QStringLiteral("Notes"), RemarksMemo), 0, 0, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(RemarksMemo, 0, 1, 1, 3);
    addRow(grid, 1, 0, QStringLiteral("BloodTypeLabel"), QStringLiteral("Blood Type"), BloodTypeEdit);
    addRow(grid, 1, 2, QStringLiteral("FiscalCodeLabel"), QStringLiteral("Fiscal Code"), FiscalCodeEdit);
    addRow(grid, 2, 0, QStringLiteral("DiscountLabel"), QStringLiteral("Discount (%)"), DiscountEdit);
    addRow(grid, 2, 2, QStringLiteral("JobLabel"), QStringLiteral("Profession"), JobEdit);
    addRow(grid, 3, 0, QStringLiteral("SSNLabel"), QStringLiteral("SSN"), SSNEdit);
    addRow(grid, 3, 2, QStringLiteral("InvoiceNameLabel"), QStringLiteral("Invoice to"), InvoiceNameEdit);
    addRow(grid, 4, 0, QStringLiteral("VATLabel"), QStringLiteral("Insurance Code"), VATEdit);
    addRow(grid, 4, 2, QStringLiteral("PrimaryDentistLabel"), QStringLiteral("Previous Dentist"), PrimaryDentistEdit);
    auto* insurer = new QHBoxLayout;
    insurer->addWidget(InsurCompanyCombo, 1);
    insurer->addWidget(NewInsurBtn);
    grid->addWidget(label(QStringLiteral("InsurCompanyLabel"), QStringLiteral("Insur. Company"), InsurCompanyCombo), 5, 0,
        Qt::AlignRight | Qt::AlignVCenter);
    grid->addLayout(insurer, 5, 1, 1, 3);
    addRow(grid, 6, 0, QStringLiteral("HealthCodeLabel"), QStringLiteral("Health Code"), HealthCodeEdit);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowMinimumHeight(0, 90);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addStretch();
    return page;
}

} // namespace patients
