#include "supplies/SuppliersEntryUnit.h"

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

TSuppliersEntryForm::TSuppliersEntryForm(data::TDmForm& dm, QWidget* parent)
    : FileEntryForm(dm, QStringLiteral("SuppliersEntryForm"), QStringLiteral("Suppliers"), widgets::WindowCode::Suppliers,
        dm.supplies().SuppliersTable, dm.supplies().SuppliersSrc, parent)
{
    Grid->setColumns({ { QStringLiteral("Company"), QStringLiteral("Supplier"), 170 },
        { QStringLiteral("Contact"), QStringLiteral("Contact"), 140 },
        { QStringLiteral("Phone1"), QStringLiteral("Phone 1"), 95 },
        { QStringLiteral("CellTel"), QStringLiteral("Cellular"), 95 },
        { QStringLiteral("Email"), QStringLiteral("Email"), 170 },
        { QStringLiteral("Balance"), QStringLiteral("Balance"), 100 } });
    auto* panel = new QWidget(this);
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(left, 3);
    row->addLayout(right, 2);
    CompanyEdit = addEdit(left, "Edit1", QStringLiteral("Company"), QStringLiteral("Supplier"));
    addEdit(left, "ContactEdit", QStringLiteral("Contact"), QStringLiteral("Contact"));
    addEdit(left, "AddressEdit", QStringLiteral("Address"), QStringLiteral("Address"));
    addEdit(left, "ProvinceEdit", QStringLiteral("Province"), QStringLiteral("Province"));
    CityCombo = new widgets::DBLookupCombo(panel);
    CityCombo->setObjectName(QStringLiteral("CityCombo"));
    CityCombo->bindTo(m_source, QStringLiteral("CityID"));
    CityCombo->setList(m_dm.lists().CitiesSrc, QStringLiteral("CityID"), QStringLiteral("CityName"));
    left->addRow(widgets::label(panel, QStringLiteral("CityLabel"), QStringLiteral("City")), CityCombo);
    addEdit(left, "ZipEdit", QStringLiteral("Zip"), QStringLiteral("Zip"));
    addEdit(left, "VATEdit", QStringLiteral("VAT"), QStringLiteral("VAT"));
    addEdit(right, "Phone1Edit", QStringLiteral("Phone1"), QStringLiteral("Phone 1"));
    addEdit(right, "Phone2Edit", QStringLiteral("Phone2"), QStringLiteral("Phone 2"));
    addEdit(right, "CellTelEdit", QStringLiteral("CellTel"), QStringLiteral("Cellular"));
    addEdit(right, "FaxEdit", QStringLiteral("Fax"), QStringLiteral("Fax"));
    addEdit(right, "EmailEdit", QStringLiteral("Email"), QStringLiteral("Email"));
    addEdit(right, "WebEdit", QStringLiteral("Web"), QStringLiteral("Web"));
    BalanceText = widgets::bound<widgets::DBText>(
        panel, QStringLiteral("BalanceText"), m_source, QStringLiteral("Balance"));
    right->addRow(
        widgets::label(panel, QStringLiteral("BalanceLabel"), QStringLiteral("Balance")), BalanceText);
    body()->addWidget(panel);
}

void TSuppliersEntryForm::prepareNew()
{
    CompanyEdit->setFocus();
}

} // namespace supplies
