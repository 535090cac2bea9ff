#include "supplies/MaterialDocumentForm.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/Errors.h"
#include "platform/MessageService.h"
#include "reports/Report.h"
#include "supplies/NumberCellDelegate.h"
#include "supplies/SelectMaterialUnit.h"
#include "supplies/SupplyActions.h"
#include "supplies/UndeliveredMaterialsUnit.h"
#include "widgets/DBGrid.h"
#include "widgets/Language.h"
#include "widgets/UserAction.h"

#include <QHBoxLayout>
#include <QTableView>
#include <QToolButton>

namespace supplies {
namespace {

DocumentSetup materialSetup(data::TDmForm& dm, bool delivery)
{
    data::SuppliesArea& s = dm.supplies();
    DocumentSetup setup;
    setup.componentName
        = delivery ? QStringLiteral("DeliveredMaterialsForm") : QStringLiteral("SupplierOrderForm");
    setup.caption = delivery ? QStringLiteral("Delivered Materials") : QStringLiteral("Material Orders");
    setup.code = delivery ? widgets::WindowCode::MaterialReceipt : widgets::WindowCode::MaterialOrder;
    setup.delivery = delivery;
    setup.counterparts = s.SuppliersTable;
    setup.counterpartKey = QStringLiteral("SupplierID");
    setup.counterpartCaption = QStringLiteral("Supplier");
    setup.header = delivery ? s.DeliveredMaterialsTable : s.MaterialOrdersTable;
    setup.headerSource = delivery ? s.DeliveredMaterialsSrc : s.MaterialOrdersSrc;
    setup.lines = delivery ? s.DeliveredMatItemsTable : s.MaterialOrderItemsTable;
    setup.linesSource = delivery ? s.DeliveredMatItemsSrc : s.MaterialOrderItemsSrc;
    setup.linesTitle = QStringLiteral("Materials");
    return setup;
}

} // namespace

MaterialDocumentForm::MaterialDocumentForm(data::TDmForm& dm, bool delivery, QWidget* parent)
    : OrderDocumentForm(dm, materialSetup(dm, delivery), parent)
{
    for (db::Dataset* view : { m_dm.supplies().MaterialsTable, m_dm.supplies().MaterialsPerSupplierTable })
        if (!view->isActive())
            m_dm.OpenTable(*view);
    // The descriptions come from the supplier's price list, which the catalogue may have
    // changed since it was read.
    refreshPriceList();
}

void MaterialDocumentForm::refreshPriceList()
{
    db::Dataset& prices = *m_dm.supplies().MaterialsPerSupplierTable;
    if (prices.isActive() && !prices.isEditing())
        prices.refresh();
}

void MaterialDocumentForm::addLineColumns()
{
    Grid->setColumns({ { QStringLiteral("MaterialID"), QStringLiteral("Code"), 60 },
        { QStringLiteral("MaterialDescription"), QStringLiteral("Material"), 230 },
        { QStringLiteral("Unit"), QStringLiteral("Unit"), 45 },
        { m_setup.delivery ? QStringLiteral("QuantityDelivered") : QStringLiteral("Quantity"),
            QStringLiteral("Quantity"), 70 },
        { QStringLiteral("UnitPrice"), QStringLiteral("Unit Price"), 90 },
        { QStringLiteral("Discount"), QStringLiteral("Discount"), 65 },
        { QStringLiteral("Tax"), QStringLiteral("Tax"), 60 },
        { QStringLiteral("Price"), QStringLiteral("Price"), 100 } });
    Grid->setReadOnly(false);
    auto* numbers = new NumberCellDelegate(Grid);
    for (int column : { QuantityColumn, UnitPriceColumn, DiscountColumn, PriceColumn })
        Grid->view()->setItemDelegateForColumn(column, numbers);
    // The usual tax rates; any other from 0 to 100 is typed.
    Grid->view()->setItemDelegateForColumn(TaxColumn,
        new NumberChoiceDelegate({ QStringLiteral("8"), QStringLiteral("13"), QStringLiteral("18") }, Grid));
    Grid->setFooterSum(PriceColumn);
}

void MaterialDocumentForm::addLineButtons()
{
    MaterialBtn = lineButton("MaterialBtn", QStringLiteral("Material..."));
    connect(MaterialBtn, &QToolButton::clicked, this, &MaterialDocumentForm::MaterialBtnClick);
    if (!m_setup.delivery)
        return;
    PendingBtn = lineButton("PendingBtn", QStringLiteral("Select Materials from Pending Orders..."));
    connect(PendingBtn, &QToolButton::clicked, this, &MaterialDocumentForm::PendingBtnClick);
    PendingItem = gridItem("PendingItem", QStringLiteral("Select Materials From Pending Orders"));
    connect(PendingItem, &QAction::triggered, this, &MaterialDocumentForm::PendingBtnClick);
}

void MaterialDocumentForm::MaterialBtnClick()
{
    db::Dataset& lines = *m_setup.lines;
    if (!widgets::runUserAction([&] {
            if (lines.isEmpty() && !lines.isEditing())
                lines.append();
            else if (!lines.isEditing())
                lines.edit();
        }))
        return;
    QVariant material;
    if (runMaterialSearch) {
        material = runMaterialSearch();
    } else {
        TSelectMaterialForm search(m_dm, this);
        if (search.exec() == QDialog::Accepted)
            material = search.selectedMaterial();
    }
    if (material.isNull())
        return;
    refreshPriceList();
    lines.setValue(u"MaterialID", material);
}

void MaterialDocumentForm::PendingBtnClick()
{
    if (!postHeaderFirst())
        return;
    TUndeliveredMaterialsForm picker(m_dm, true, this);
    QList<int> rows;
    if (runPicker)
        rows = runPicker(picker);
    else if (picker.exec() == QDialog::Accepted)
        rows = picker.selectedRows();
    if (!rows.isEmpty())
        takePending(rows);
}

bool MaterialDocumentForm::takePending(const QList<int>& pendingRows)
{
    if (!widgets::runUserAction([&] { deliverPendingItems(m_dm, pendingRows); }))
        return false;
    const bool stored = storeChanges();
    if (m_dm.supplies().UndeliveredMaterialItemsPerSupplQry->isActive())
        m_dm.supplies().UndeliveredMaterialItemsPerSupplQry->refresh();
    Grid->view()->setFocus();
    return stored;
}

void MaterialDocumentForm::addReportLines(reports::Report& report)
{
    const bool euro = m_dm.money().euroMode();
    const QString price = euro ? QStringLiteral("PriceEURO") : QStringLiteral("Price");
    report.addTable(reports::ReportTable::fromDataset(*m_setup.lines,
        { { QStringLiteral("MaterialDescription"), Lang->Message(QStringLiteral("Material")) },
            { QStringLiteral("Unit"), Lang->Message(QStringLiteral("Unit")) },
            { m_setup.delivery ? QStringLiteral("QuantityDelivered") : QStringLiteral("Quantity"),
                Lang->Message(QStringLiteral("Quantity")) },
            { euro ? QStringLiteral("UnitPriceEURO") : QStringLiteral("UnitPrice"),
                Lang->Message(QStringLiteral("Unit Price")) },
            { QStringLiteral("Discount"), Lang->Message(QStringLiteral("Discount")) },
            { QStringLiteral("Tax"), Lang->Message(QStringLiteral("Tax")) },
            { price, Lang->Message(QStringLiteral("Price")) } },
        { price }));
}

} // namespace supplies
