#include "supplies/UndeliveredLabOrdersUnit.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "widgets/DBGrid.h"

#include <QShowEvent>

namespace supplies {

TUndeliveredLabOrdersForm::TUndeliveredLabOrdersForm(data::TDmForm& dm, bool picking, QWidget* parent)
    : PickerDialog(QStringLiteral("UndeliveredLabOrdersForm"), QStringLiteral("Undelivered Lab Orders"),
        QStringLiteral("List of undelivered orders:"), parent)
{
    db::Dataset& jobs
        = picking ? *dm.supplies().UndeliveredOrderItemsPerLabQry : *dm.supplies().UndeliveredLabOrdersQry;
    const db::Dataset& labs = *dm.supplies().DentalLabTable;
    if (jobs.isActive())
        jobs.close();
    if (picking)
        jobs.setParam(QStringLiteral("DentalLabID"),
            labs.isActive() && !labs.isEmpty() ? labs.value(u"DentalLabID") : QVariant());
    jobs.open();
    setSource(picking ? dm.supplies().UndeliveredOrderItemsPerLabSrc : dm.supplies().UndeliveredLabOrdersSrc);
    // The picker lists one laboratory's jobs: the lab's column stays hidden.
    const QList<widgets::DBGrid::Column> columns { { QStringLiteral("DentalLab"),
                                                       QStringLiteral("Dental Lab"), 130 },
        { QStringLiteral("DateAndOrderCode"), QStringLiteral("Order"), 150 },
        { QStringLiteral("LastName"), QStringLiteral("Last Name"), 120 },
        { QStringLiteral("FirstName"), QStringLiteral("First Name"), 100 },
        { QStringLiteral("Description"), QStringLiteral("Operation"), 170 },
        { QStringLiteral("ToothNum"), QStringLiteral("Tooth"), 50 },
        { QStringLiteral("EstimatedDeliveryDate"), QStringLiteral("Estimated Deliv. Date"), 110 },
        { QStringLiteral("OrderWhat"), QStringLiteral("Order of:"), 180 } };
    Grid->setColumns(columns);
    Grid->setColumnVisible(0, !picking);
    setPicking(picking);
    resize(980, 460);
}

} // namespace supplies
