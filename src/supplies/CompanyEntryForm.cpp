#include "supplies/CompanyEntryForm.h"

#include "data/DmUnit.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBLookupCombo.h"
#include "widgets/DBText.h"
#include "widgets/NamedWidgets.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace supplies {

CompanyEntryForm::CompanyEntryForm(data::TDmForm& dm, const Company& company, QWidget* parent)
    : FileEntryForm(dm, QLatin1String(company.componentName), QLatin1String(company.caption), company.code,
        company.view, company.source, parent)
    , m_panel(new QWidget(this))
    , m_right(new QFormLayout)
{
    const QString name = QLatin1String(company.nameCaption);
    Grid->setColumns({ { QStringLiteral("Company"), name, company.nameWidth },
        { QStringLiteral("Contact"), QStringLiteral("Contact"), 140 },
        { QStringLiteral("Phone1"), QStringLiteral("Phone 1"), 95 },
        { QStringLiteral("CellTel"), QStringLiteral("Cellular"), 95 },
        { QStringLiteral("Email"), QStringLiteral("Email"), 170 },
        { QStringLiteral("Balance"), QStringLiteral("Balance"), 100 } });
    auto* left = new QFormLayout;
    auto* row = new QHBoxLayout(m_panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(left, 3);
    row->addLayout(m_right, 2);
    CompanyEdit = addEdit(left, company.nameEdit, QStringLiteral("Company"), name);
    addEdit(left, "ContactEdit", QStringLiteral("Contact"), QStringLiteral("Contact"));
    addEdit(left, "AddressEdit", QStringLiteral("Address"), QStringLiteral("Address"));
    addEdit(left, "ProvinceEdit", QStringLiteral("Province"), QStringLiteral("Province"));
    CityCombo = new widgets::DBLookupCombo(m_panel);
    CityCombo->setObjectName(QStringLiteral("CityCombo"));
    CityCombo->bindTo(m_source, QStringLiteral("CityID"));
    CityCombo->setList(m_dm.lists().CitiesSrc, QStringLiteral("CityID"), QStringLiteral("CityName"));
    left->addRow(widgets::label(m_panel, QStringLiteral("CityLabel"), QStringLiteral("City")), CityCombo);
    addEdit(left, "ZipEdit", QStringLiteral("Zip"), QStringLiteral("Zip"));
    addEdit(left, "VATEdit", QStringLiteral("VAT"), QStringLiteral("VAT"));
    addEdit(m_right, "Phone1Edit", QStringLiteral("Phone1"), QStringLiteral("Phone 1"));
    addEdit(m_right, "Phone2Edit", QStringLiteral("Phone2"), QStringLiteral("Phone 2"));
    addEdit(m_right, "CellTelEdit", QStringLiteral("CellTel"), QStringLiteral("Cellular"));
    addEdit(m_right, "FaxEdit", QStringLiteral("Fax"), QStringLiteral("Fax"));
    addEdit(m_right, "EmailEdit", QStringLiteral("Email"), QStringLiteral("Email"));
    body()->addWidget(m_panel);
}

void CompanyEntryForm::addBalance()
{
    BalanceText = widgets::bound<widgets::DBText>(
        m_panel, QStringLiteral("BalanceText"), m_source, QStringLiteral("Balance"));
    m_right->addRow(
        widgets::label(m_panel, QStringLiteral("BalanceLabel"), QStringLiteral("Balance")), BalanceText);
}

void CompanyEntryForm::prepareNew()
{
    CompanyEdit->setFocus();
}

} // namespace supplies
