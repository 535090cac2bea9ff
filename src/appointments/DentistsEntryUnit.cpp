#include "appointments/DentistsEntryUnit.h"
#include "widgets/CloseButton.h"
#include "widgets/UserAction.h"
#include "widgets/WindowDesign.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "platform/Session.h"
#include "platform/Settings.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBLookupCombo.h"
#include "widgets/Language.h"
#include "widgets/NamedWidgets.h"
#include "widgets/RecordButtons.h"
#include "widgets/WindowService.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace appointments {
namespace {

using widgets::label;

widgets::DBEdit* edit(QWidget* parent, const char* name, db::DataSource* source, const QString& field)
{
    return widgets::bound<widgets::DBEdit>(parent, QLatin1String(name), source, field);
}

} // namespace

TDentistsEntryForm::TDentistsEntryForm(data::TDmForm& dm, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
{
    widgets::designWindow(*this, "DentistsEntryForm", QStringLiteral("Dentists"), { 900, 540 });
    for (db::Dataset* view : { m_dm.lists().DentistsTable, m_dm.lists().CitiesTable }) {
        if (!view->isActive())
            m_dm.OpenTable(*view);
    }
    Grid = new widgets::DBGrid(this);
    Grid->setObjectName(QStringLiteral("dxDBGrid1"));
    Grid->setReadOnly(true);
    Grid->setDataSource(m_dm.lists().DentistsSrc);
    Grid->setColumns({ { QStringLiteral("DocID"), QStringLiteral("Dentist ID"), 70 },
        { QStringLiteral("LastName"), QStringLiteral("Last Name"), 130 },
        { QStringLiteral("FirstName"), QStringLiteral("First Name"), 110 },
        { QStringLiteral("Phone"), QStringLiteral("Phone"), 95 },
        { QStringLiteral("Mobile"), QStringLiteral("Cellular"), 95 },
        { QStringLiteral("Address"), QStringLiteral("Address"), 150 },
        { QStringLiteral("CityName"), QStringLiteral("City"), 100 },
        { QStringLiteral("ClinicName"), QStringLiteral("Clinic Name"), 180 } });

    SetDefaultBtn = new QPushButton(QStringLiteral("Set Default :"), this);
    SetDefaultBtn->setObjectName(QStringLiteral("SetDefaultBtn"));
    connect(SetDefaultBtn, &QPushButton::clicked, this, &TDentistsEntryForm::SetDefaultBtnClick);
    DefaultLabel = new QLabel(QString::number(m_dm.defaultDentist()), this);
    DefaultLabel->setObjectName(QStringLiteral("DefaultDocIDEdit"));
    DefaultLabel->setMinimumWidth(40);
    CloseBtn = widgets::closeButton(*this, &QDialog::accept);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(widgets::recordButtons(this), 1);
    bottom->addWidget(SetDefaultBtn);
    bottom->addWidget(DefaultLabel);
    bottom->addSpacing(20);
    bottom->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Grid, 1);
    layout->addWidget(buildEditors());
    layout->addLayout(bottom);

    Lang = new widgets::TLanguage(this);
    QStringList paths { QStringLiteral("DentistsEntryForm.Caption"),
        QStringLiteral("DentistsEntryForm.dxDBGrid1.Columns") };
    for (const char* name : { "IdLabel", "LastNameLabel", "FirstNameLabel", "PhonesBox", "PhoneLabel",
             "FaxLabel", "MobileLabel", "AddressLabel", "ZipLabel", "CityLabel", "ClinicLabel",
             "SpecialtyLabel", "SetDefaultBtn", "CloseBtn" })
        paths << QStringLiteral("DentistsEntryForm.%1.Caption").arg(QLatin1String(name));
    Lang->setProperties(paths);
}

QWidget* TDentistsEntryForm::buildEditors()
{
    auto* panel = new QWidget(this);
    db::DataSource* source = m_dm.lists().DentistsSrc;
    IdEdit = edit(panel, "DBEdit1", source, QStringLiteral("DocID"));
    IdEdit->dataLink()->setReadOnly(true);
    IdEdit->setMaximumWidth(70);
    LastNameEdit = edit(panel, "DBEdit2", source, QStringLiteral("LastName"));
    FirstNameEdit = edit(panel, "DBEdit3", source, QStringLiteral("FirstName"));
    AddressEdit = edit(panel, "AddressEdit", source, QStringLiteral("Address"));
    ZipEdit = edit(panel, "ZipEdit", source, QStringLiteral("Zip"));
    ZipEdit->setMaximumWidth(90);
    CityCombo = new widgets::DBLookupCombo(panel);
    CityCombo->setObjectName(QStringLiteral("CityCombo"));
    CityCombo->bindTo(source, QStringLiteral("CityID"));
    CityCombo->setList(m_dm.lists().CitiesSrc, QStringLiteral("CityID"), QStringLiteral("CityName"));
    ClinicEdit = edit(panel, "ClinicEdit", source, QStringLiteral("ClinicName"));
    SpecialtyEdit = edit(panel, "SpecialtyEdit", source, QStringLiteral("Specialty"));
    auto* left = new QFormLayout;
    left->addRow(label(panel, "IdLabel", QStringLiteral("Dentist ID")), IdEdit);
    left->addRow(label(panel, "LastNameLabel", QStringLiteral("Last Name")), LastNameEdit);
    left->addRow(label(panel, "FirstNameLabel", QStringLiteral("First Name")), FirstNameEdit);
    left->addRow(label(panel, "AddressLabel", QStringLiteral("Address")), AddressEdit);
    left->addRow(label(panel, "ZipLabel", QStringLiteral("Zip")), ZipEdit);
    SearchCityBtn = new QToolButton(panel);
    SearchCityBtn->setObjectName(QStringLiteral("SearchCityBtn"));
    SearchCityBtn->setText(QStringLiteral("..."));
    connect(SearchCityBtn, &QToolButton::clicked, this,
        [this] { widgets::runUserAction([this] { SearchCityBtnClick(); }); });
    auto* city = new QHBoxLayout;
    city->setSpacing(2);
    city->addWidget(CityCombo, 1);
    city->addWidget(SearchCityBtn);
    left->addRow(label(panel, "CityLabel", QStringLiteral("City")), city);
    left->addRow(label(panel, "ClinicLabel", QStringLiteral("Clinic Name")), ClinicEdit);
    left->addRow(label(panel, "SpecialtyLabel", QStringLiteral("Specialty")), SpecialtyEdit);

    auto* phones = new QGroupBox(QStringLiteral("Telephones"), panel);
    phones->setObjectName(QStringLiteral("PhonesBox"));
    PhoneEdit = edit(phones, "PhoneEdit", source, QStringLiteral("Phone"));
    FaxEdit = edit(phones, "FaxEdit", source, QStringLiteral("Fax"));
    MobileEdit = edit(phones, "MobileEdit", source, QStringLiteral("Mobile"));
    auto* phoneFields = new QFormLayout(phones);
    phoneFields->addRow(label(phones, "PhoneLabel", QStringLiteral("Phone")), PhoneEdit);
    phoneFields->addRow(label(phones, "FaxLabel", QStringLiteral("Fax")), FaxEdit);
    phoneFields->addRow(label(phones, "MobileLabel", QStringLiteral("Cellular")), MobileEdit);

    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left, 3);
    layout->addWidget(phones, 2, Qt::AlignTop);
    return panel;
}

db::DataSource* TDentistsEntryForm::mainSource() const
{
    return m_dm.lists().DentistsSrc;
}

void TDentistsEntryForm::SearchCityBtnClick()
{
    db::Dataset& cities = *m_dm.lists().CitiesTable;
    db::Dataset& dentists = *m_dm.lists().DentistsTable;
    if (!search || dentists.isEmpty() || !search(cities, Lang->Message(QStringLiteral("Search for City"))))
        return;
    if (!dentists.isEditing())
        dentists.edit();
    dentists.setValue(u"CityID", cities.value(u"CityID"));
}

void TDentistsEntryForm::SetDefaultBtnClick()
{
    const db::Dataset& dentists = *m_dm.lists().DentistsTable;
    if (!dentists.isActive() || dentists.isEmpty() || dentists.value(u"DocID").isNull())
        return;
    m_dm.setDefaultDentist(dentists.value(u"DocID").toInt(), platform::session().settings());
    DefaultLabel->setText(QString::number(m_dm.defaultDentist()));
}

void TDentistsEntryForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    Lang->Translate();
}

void TDentistsEntryForm::done(int result)
{
    if (!askToPost(*m_dm.lists().DentistsTable))
        return;
    if (widgets::WindowService* service = widgets::WindowService::current())
        service->clearStatusPanels();
    QDialog::done(result);
}

} // namespace appointments
