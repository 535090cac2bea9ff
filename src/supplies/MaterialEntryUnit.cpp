#include "supplies/MaterialEntryUnit.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "db/Errors.h"
#include "platform/MessageService.h"
#include "widgets/CheckColumnDelegate.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBLookupCombo.h"
#include "widgets/Language.h"
#include "widgets/NamedWidgets.h"
#include "widgets/UserAction.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace supplies {

TmaterialEntryForm::TmaterialEntryForm(data::TDmForm& dm, QWidget* parent)
    : FileEntryForm(dm, QStringLiteral("materialEntryForm"), QStringLiteral("Materials"), widgets::WindowCode::Materials,
        dm.supplies().MaterialsTable, dm.supplies().MaterialsSrc, parent)
{
    data::SuppliesArea& s = m_dm.supplies();
    for (db::Dataset* v : { s.SuppliersForLookUpTable, s.SuppliersPerMaterialTable })
        if (!v->isActive())
            m_dm.OpenTable(*v);
    Grid->setColumns({ { QStringLiteral("MaterialID"), QStringLiteral("Code"), 70 },
        { QStringLiteral("Description"), QStringLiteral("Description"), 260 },
        { QStringLiteral("Packaging"), QStringLiteral("Packaging"), 90 },
        { QStringLiteral("Quantity"), QStringLiteral("Quantity"), 70 },
        { QStringLiteral("Unit"), QStringLiteral("Unit"), 50 },
        { QStringLiteral("MedicalUse"), QStringLiteral("For Dental Use"), 100 } });

    Grid->view()->setItemDelegateForColumn(5, new widgets::CheckColumnDelegate(Grid)); // For Dental Use
    auto* panel = new QWidget(this);
    auto* form = new QFormLayout;
    DescriptionEdit = addEdit(form, "DBEdit2", QStringLiteral("Description"), QStringLiteral("Description"));
    addEdit(form, "PackagingEdit", QStringLiteral("Packaging"), QStringLiteral("Packaging"));
    addEdit(form, "QuantityEdit", QStringLiteral("Quantity"), QStringLiteral("Quantity"));
    UnitCombo = new widgets::DBComboBox(panel);
    UnitCombo->setObjectName(QStringLiteral("UnitCombo"));
    UnitCombo->setEditable(true);
    // The usual units, then every unit the catalogue uses already.
    QStringList units { QStringLiteral("gr"), QStringLiteral("mg"), QStringLiteral("ml") };
    const db::Dataset& materials = *m_view;
    for (int row = 0; row < materials.recordCount(); ++row) {
        const QString unit
            = const_cast<db::Dataset&>(materials).rowValue(row, materials.field(u"Unit").index()).toString();
        if (!unit.isEmpty() && !units.contains(unit))
            units << unit;
    }
    UnitCombo->addItems(units);
    UnitCombo->bindTo(m_source, QStringLiteral("Unit"));
    form->addRow(widgets::label(panel, QStringLiteral("UnitLabel"), QStringLiteral("Unit")), UnitCombo);
    MedicalUseCheck = new widgets::DBCheckBox(QStringLiteral("For Dental Use"), panel);
    MedicalUseCheck->setObjectName(QStringLiteral("MedicalUseCheck"));
    MedicalUseCheck->bindTo(m_source, QStringLiteral("MedicalUse"));
    form->addRow(QString(), MedicalUseCheck);

    auto* prices = new QGroupBox(QStringLiteral("Suppliers"), panel);
    prices->setObjectName(QStringLiteral("PricesBox"));
    PriceGrid = new widgets::DBGrid(prices);
    PriceGrid->setObjectName(QStringLiteral("PriceGrid"));
    PriceGrid->setReadOnly(true);
    PriceGrid->setDataSource(s.SuppliersPerMaterialSrc);
    PriceGrid->setColumns({ { QStringLiteral("Supplier"), QStringLiteral("Supplier"), 150 },
        { QStringLiteral("Price"), QStringLiteral("Price"), 80 },
        { QStringLiteral("PriceDate"), QStringLiteral("Date"), 85 },
        { QStringLiteral("OldPrice"), QStringLiteral("Previous Price"), 95 },
        { QStringLiteral("OldPriceDate"), QStringLiteral("Previous Date"), 95 } });
    SupplierCombo = new widgets::DBLookupCombo(prices);
    SupplierCombo->setObjectName(QStringLiteral("SupplierCombo"));
    SupplierCombo->bindTo(s.SuppliersPerMaterialSrc, QStringLiteral("SupplierID"));
    SupplierCombo->setList(new db::DataSource(s.SuppliersForLookUpTable, this), QStringLiteral("SupplierID"),
        QStringLiteral("Company"));
    PriceEdit = widgets::bound<widgets::DBEdit>(
        prices, QStringLiteral("PriceEdit"), s.SuppliersPerMaterialSrc, QStringLiteral("Price"));
    AddPriceBtn = new QToolButton(prices);
    AddPriceBtn->setObjectName(QStringLiteral("AddPriceBtn"));
    AddPriceBtn->setText(QStringLiteral("+"));
    DeletePriceBtn = new QToolButton(prices);
    DeletePriceBtn->setObjectName(QStringLiteral("DeletePriceBtn"));
    DeletePriceBtn->setText(QStringLiteral("-"));
    connect(AddPriceBtn, &QToolButton::clicked, this, &TmaterialEntryForm::AddPriceBtnClick);
    connect(DeletePriceBtn, &QToolButton::clicked, this, &TmaterialEntryForm::DeletePriceBtnClick);
    auto* priceRow = new QHBoxLayout;
    priceRow->addWidget(widgets::label(prices, QStringLiteral("SupplierLabel"), QStringLiteral("Supplier")));
    priceRow->addWidget(SupplierCombo, 1);
    priceRow->addWidget(widgets::label(prices, QStringLiteral("PriceLabel"), QStringLiteral("Price")));
    priceRow->addWidget(PriceEdit);
    priceRow->addWidget(AddPriceBtn);
    priceRow->addWidget(DeletePriceBtn);
    auto* priceLayout = new QVBoxLayout(prices);
    priceLayout->addWidget(PriceGrid, 1);
    priceLayout->addLayout(priceRow);

    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(form, 2);
    row->addWidget(prices, 3);
    body()->addWidget(panel);
    resize(980, 640);

    // A price row is stored with its material.
    const auto touched = [this](db::Dataset&) {
        if (m_view->isEmpty()) {
            platform::showWarning(Lang->Message(QStringLiteral("Make a new material first.")));
            throw db::Abort();
        }
        if (!m_view->isEditing())
            m_view->edit();
    };
    // Saving the material saves the price row being typed with it.
    m_rules.push_back(m_view->beforePost.add(data::Stage::Window, objectName(), [this](db::Dataset&) {
        db::Dataset& prices = *m_dm.supplies().SuppliersPerMaterialTable;
        if (prices.isEditing())
            prices.post();
    }));
    for (db::Dataset::Rules* rules : { &s.SuppliersPerMaterialTable->beforeInsert,
             &s.SuppliersPerMaterialTable->beforeEdit, &s.SuppliersPerMaterialTable->beforeDelete })
        m_rules.push_back(rules->add(data::Stage::Window, objectName(), touched));
}

void TmaterialEntryForm::prepareNew()
{
    DescriptionEdit->setFocus();
}

void TmaterialEntryForm::cancelDetails()
{
    if (m_dm.supplies().SuppliersPerMaterialTable->isEditing())
        m_dm.supplies().SuppliersPerMaterialTable->cancel();
}

void TmaterialEntryForm::AddPriceBtnClick()
{
    if (!widgets::runUserAction([&] { m_dm.supplies().SuppliersPerMaterialTable->append(); }))
        return;
    SupplierCombo->setFocus();
}

void TmaterialEntryForm::DeletePriceBtnClick()
{
    db::Dataset& prices = *m_dm.supplies().SuppliersPerMaterialTable;
    if (prices.isEmpty())
        return;
    widgets::runUserAction([&] {
        if (prices.state() == db::DatasetState::Insert)
            prices.cancel();
        else
            prices.remove();
    });
}

} // namespace supplies
