#include "supplies/SuppliesTour.h"
#include "widgets/TourPages.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "platform/Session.h"
#include "supplies/DeliveredLabOrderUnit.h"
#include "supplies/DeliveredMaterialsUnit.h"
#include "supplies/DentalLabEntryUnit.h"
#include "supplies/LabJobSelectionUnit.h"
#include "supplies/LabOrderUnit.h"
#include "supplies/MaterialEntryUnit.h"
#include "supplies/SelectMaterialUnit.h"
#include "supplies/SupplierOrderUnit.h"
#include "supplies/SuppliersEntryUnit.h"
#include "supplies/UndeliveredLabOrdersUnit.h"
#include "supplies/UndeliveredMaterialsUnit.h"

namespace supplies {
namespace {

// Moves `counterparts` to the first row for which `busy` holds, else back to the first row.
void findCounterpart(db::Dataset& counterparts, const std::function<bool()>& busy)
{
    for (counterparts.first(); !counterparts.eof(); counterparts.next()) {
        if (busy())
            return;
    }
    counterparts.first();
}

// The pending lines of the current supplier (lab), read as the picker reads them.
int pendingOf(db::Dataset& query, const QString& param, const QVariant& id)
{
    query.close();
    query.setParam(param, id);
    query.open();
    return query.recordCount();
}

} // namespace

void tourSuppliesWindows(data::TDmForm& dm, widgets::TourCamera& camera)
{
    const auto take = [&camera](QWidget& window, const QString& name = {}) { camera.take(window, name); };
    data::SuppliesArea& s = dm.supplies();
    for (db::Dataset* view :
        { s.MaterialOrdersTable, s.DeliveredMaterialsTable, s.LabOrdersTable, s.DeliveredLabOrdersTable })
        if (!view->isActive())
            dm.OpenTable(*view);

    // A supplier with a pending line and a delivery.
    findCounterpart(*s.SuppliersTable, [&] {
        return !s.DeliveredMaterialsTable->isEmpty()
            && pendingOf(*s.UndeliveredMaterialItemsPerSupplQry, QStringLiteral("SupplierID"),
                   s.SuppliersTable->value(u"SupplierID"))
            > 0;
    });
    {
        supplies::TSupplierOrderForm orders(dm);
        orders.setAttribute(Qt::WA_DeleteOnClose, false);
        orders.resize(1100, 680);
        take(orders, QStringLiteral("SupplierOrderForm"));
        {
            supplies::TSelectMaterialForm search(dm, &orders);
            take(search, QStringLiteral("SelectMaterialForm"));
        }
        orders.hide();
    }
    {
        supplies::TDeliveredMaterialsForm deliveries(dm);
        deliveries.setAttribute(Qt::WA_DeleteOnClose, false);
        deliveries.resize(1100, 680);
        take(deliveries, QStringLiteral("DeliveredMaterialsForm"));
        {
            supplies::TUndeliveredMaterialsForm picker(dm, true, &deliveries);
            take(picker, QStringLiteral("UndeliveredMaterialsForm"));
        }
        deliveries.hide();
    }
    {
        supplies::TUndeliveredMaterialsForm all(dm, false);
        take(all, QStringLiteral("UndeliveredMaterialsForm-All"));
    }
    {
        supplies::TmaterialEntryForm materials(dm);
        take(materials, QStringLiteral("MaterialEntryForm"));
        materials.hide();
    }
    {
        supplies::TSuppliersEntryForm suppliers(dm);
        take(suppliers, QStringLiteral("SuppliersEntryForm"));
        suppliers.hide();
    }

    // A lab with an order still out and a delivery.
    findCounterpart(*s.DentalLabTable, [&] {
        return !s.DeliveredLabOrdersTable->isEmpty()
            && pendingOf(*s.UndeliveredOrderItemsPerLabQry, QStringLiteral("DentalLabID"),
                   s.DentalLabTable->value(u"DentalLabID"))
            > 0;
    });
    {
        supplies::TLabOrderForm orders(dm);
        orders.setAttribute(Qt::WA_DeleteOnClose, false);
        orders.resize(1100, 680);
        s.LabOrdersTable->last(); // the latest order, still out
        take(orders, QStringLiteral("LabOrderForm"));
        {
            supplies::TLabJobSelectionForm selection(dm, &orders);
            take(selection, QStringLiteral("LabJobSelectionForm"));
        }
        orders.hide();
    }
    {
        supplies::TDeliveredLabOrderForm deliveries(dm);
        deliveries.setAttribute(Qt::WA_DeleteOnClose, false);
        deliveries.resize(1100, 680);
        take(deliveries, QStringLiteral("DeliveredLabOrderForm"));
        {
            supplies::TUndeliveredLabOrdersForm picker(dm, true, &deliveries);
            take(picker, QStringLiteral("UndeliveredLabOrdersForm"));
        }
        deliveries.hide();
    }
    {
        supplies::TDentalLabEntryForm labs(dm);
        take(labs, QStringLiteral("DentalLabEntryForm"));
        labs.hide();
    }
    dm.ActiveSrc->setDataset(nullptr);
}

void addSuppliesTourPages(widgets::TourPages<data::TDmForm>& pages)
{
    pages.add(QStringLiteral("the supplies windows"), &tourSuppliesWindows);
}

} // namespace supplies
