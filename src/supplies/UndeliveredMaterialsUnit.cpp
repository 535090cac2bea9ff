#include "supplies/UndeliveredMaterialsUnit.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "widgets/DBGrid.h"

#include <QShowEvent>

namespace supplies {

TUndeliveredMaterialsForm::TUndeliveredMaterialsForm(data::TDmForm& dm, bool picking, QWidget* parent)
    : PickerDialog(QStringLiteral("UndeliveredMaterialsForm"), QStringLiteral("Undelivered Material Orders"),
        QStringLiteral("List of undelivered orders:"), parent)
    , m_dm(dm)
{
    db::Dataset* pending = picking ? m_dm.supplies().UndeliveredMaterialItemsPerSupplQry
                                   : m_dm.supplies().UndeliveredMaterialOrderItemsQry;
    for (db::Dataset* view : { m_dm.supplies().SuppliersTable, m_dm.supplies().MaterialsTable })
        if (!view->isActive())
            m_dm.OpenTable(*view);
    // Read now: another workstation may have delivered meanwhile.
    if (pending->isActive())
        pending->close();
    if (picking && !m_dm.supplies().SuppliersTable->isEmpty())
        pending->setParam(QStringLiteral("SupplierID"), m_dm.supplies().SuppliersTable->value(u"SupplierID"));
    pending->open();
    setSource(picking ? m_dm.supplies().UndeliveredMaterialItemsPerSupplSrc
                      : m_dm.supplies().UndeliveredMaterialOrderItemsSrc);
    Grid->setColumns({ { QStringLiteral("Supplier"), QStringLiteral("Supplier"), 150 },
        { QStringLiteral("DateAndOrderCode"), QStringLiteral("Order"), 170 },
        { QStringLiteral("MaterialDescription"), QStringLiteral("Material"), 220 },
        { QStringLiteral("Quantity"), QStringLiteral("Quantity"), 70 },
        { QStringLiteral("QuantityDelivered"), QStringLiteral("Quantity Delivered"), 110 } });
    setPicking(picking);
    resize(900, 460);
}

} // namespace supplies
