#include "reminders/PhonesUnit.h"
#include "widgets/WindowDesign.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/Errors.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBLookupCombo.h"
#include "widgets/DBMemo.h"
#include "widgets/Language.h"
#include "widgets/NamedWidgets.h"
#include "widgets/UserAction.h"
#include "widgets/WindowService.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace reminders {

using widgets::bound;
using widgets::label;

TPhonesForm::TPhonesForm(data::TDmForm& dm, Search search, QWidget* parent)
    : OfficeListWindow(dm, *dm.lists().PhonesTable, widgets::WindowCode::PhoneList, parent)
    , m_search(std::move(search))
{
    widgets::designWindow(*this, "PhonesForm", QStringLiteral("Phone List"), { 900, 600 });
    db::DataSource* source = m_dm.lists().PhonesSrc;
    if (!m_dm.lists().CitiesTable->isActive())
        m_dm.OpenTable(*m_dm.lists().CitiesTable);

    Grid = new widgets::DBGrid(this);
    Grid->setObjectName(QStringLiteral("dxDBGrid1"));
    Grid->setReadOnly(true);
    Grid->setDataSource(source);
    Grid->setColumns({ { QStringLiteral("LastName"), QStringLiteral("LastName"), 130 },
        { QStringLiteral("FirstName"), QStringLiteral("FirstName"), 110 },
        { QStringLiteral("Phone"), QStringLiteral("Phone"), 100 },
        { QStringLiteral("JobPhone"), QStringLiteral("JobPhone"), 100 },
        { QStringLiteral("Mobile"), QStringLiteral("Mobile"), 100 },
        { QStringLiteral("Address"), QStringLiteral("Address"), 160 },
        { QStringLiteral("City"), QStringLiteral("City"), 110 } });

    auto* editors = new QWidget(this);
    const auto edit = [&](const char* name, const char* field) {
        return bound<widgets::DBEdit>(editors, QLatin1String(name), source, QLatin1String(field));
    };
    LastNameEdit = edit("DBEdit1", "LastName");
    FirstNameEdit = edit("FirstNameEdit", "FirstName");
    FatherNameEdit = edit("FatherNameEdit", "FatherName");
    PhoneEdit = edit("PhoneEdit", "Phone");
    JobPhoneEdit = edit("JobPhoneEdit", "JobPhone");
    MobileEdit = edit("MobileEdit", "Mobile");
    FaxEdit = edit("FaxEdit", "Fax");
    AddressEdit = edit("AddressEdit", "Address");
    ZipEdit = edit("ZipEdit", "Zip");
    CityCombo = new widgets::DBLookupCombo(editors);
    CityCombo->setObjectName(QStringLiteral("CityCombo"));
    CityCombo->setList(m_dm.lists().CitiesSrc, QStringLiteral("CityID"), QStringLiteral("CityName"));
    CityCombo->bindTo(source, QStringLiteral("CityID"));
    NewCityBtn = new QPushButton(QStringLiteral("New City"), editors);
    NewCityBtn->setObjectName(QStringLiteral("NewCityBtn"));
    connect(NewCityBtn, &QPushButton::clicked, this, &TPhonesForm::NewCityBtnClick);
    CommentsMemo
        = bound<widgets::DBMemo>(editors, QStringLiteral("CommentsMemo"), source, QStringLiteral("Comments"));

    auto* names = new QFormLayout;
    names->addRow(label(editors, QStringLiteral("LastNameLabel"), QStringLiteral("LastName")), LastNameEdit);
    names->addRow(
        label(editors, QStringLiteral("FirstNameLabel"), QStringLiteral("FirstName")), FirstNameEdit);
    names->addRow(
        label(editors, QStringLiteral("FatherNameLabel"), QStringLiteral("FatherName")), FatherNameEdit);
    names->addRow(label(editors, QStringLiteral("AddressLabel"), QStringLiteral("Address")), AddressEdit);
    names->addRow(label(editors, QStringLiteral("ZipLabel"), QStringLiteral("Zip")), ZipEdit);
    auto* city = new QHBoxLayout;
    city->addWidget(CityCombo, 1);
    city->addWidget(NewCityBtn);
    names->addRow(label(editors, QStringLiteral("CityLabel"), QStringLiteral("City")), city);
    auto* phones = new QFormLayout;
    phones->addRow(label(editors, QStringLiteral("PhoneLabel"), QStringLiteral("Phone")), PhoneEdit);
    phones->addRow(label(editors, QStringLiteral("JobPhoneLabel"), QStringLiteral("JobPhone")), JobPhoneEdit);
    phones->addRow(label(editors, QStringLiteral("MobileLabel"), QStringLiteral("Mobile")), MobileEdit);
    phones->addRow(label(editors, QStringLiteral("FaxLabel"), QStringLiteral("Fax")), FaxEdit);
    auto* comments = new QVBoxLayout;
    comments->addWidget(label(editors, QStringLiteral("CommentsLabel"), QStringLiteral("Comments")));
    comments->addWidget(CommentsMemo, 1);
    auto* editorLayout = new QHBoxLayout(editors);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    editorLayout->addLayout(names, 3);
    editorLayout->addLayout(phones, 2);
    editorLayout->addLayout(comments, 2);

    SearchBtn = new QPushButton(QStringLiteral("Search"), this);
    SearchBtn->setObjectName(QStringLiteral("SearchBtn"));
    SearchBtn->setEnabled(bool(m_search));
    connect(SearchBtn, &QPushButton::clicked, this, &TPhonesForm::SearchBtnClick);
    RecordButtons->addWidget(SearchBtn);
    RecordButtons->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Grid, 1);
    layout->addWidget(editors);
    layout->addLayout(RecordButtons);

    QStringList paths { QStringLiteral("PhonesForm.Caption"),
        QStringLiteral("PhonesForm.dxDBGrid1.Columns") };
    for (const char* name : { "LastNameLabel", "FirstNameLabel", "FatherNameLabel", "AddressLabel",
             "ZipLabel", "CityLabel", "PhoneLabel", "JobPhoneLabel", "MobileLabel", "FaxLabel",
             "CommentsLabel", "NewCityBtn", "SearchBtn", "CloseBtn" })
        paths << QStringLiteral("PhonesForm.%1.Caption").arg(QLatin1String(name));
    Lang->setProperties(paths);
}

void TPhonesForm::prepareNew()
{
    LastNameEdit->setFocus();
}

void TPhonesForm::stateChanged()
{
    const bool browsing = m_view.state() == db::DatasetState::Browse;
    SearchBtn->setEnabled(browsing && bool(m_search));
    NewCityBtn->setEnabled(m_view.isActive());
}

void TPhonesForm::SearchBtnClick()
{
    if (m_search)
        m_search(m_view, Lang->Message(QStringLiteral("Search for Telephones")));
}

void TPhonesForm::NewCityBtnClick()
{
    db::Dataset& cities = *m_dm.lists().CitiesTable;
    const bool added = widgets::runUserAction([&] {
        if (!cities.isActive())
            m_dm.OpenTable(cities);
        cities.append();
        if (widgets::WindowService* service = widgets::WindowService::current())
            service->openWindow(QStringLiteral("AdditionalForm"));
        if (cities.isEditing())
            cities.cancel(); // no reference lists window took the row
    });
    if (!added)
        return;
    claimRecordCommands();
    if (m_view.isEditing() && !cities.isEmpty())
        m_view.setValue(u"CityID", cities.value(u"CityID"));
}

} // namespace reminders
