#include "supplies/SupplyActions.h"

#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"
#include "db/ControlsDisabled.h"
#include "db/Dataset.h"
#include "db/Errors.h"

namespace supplies {
namespace {

// The value of a field on a row of a view, without moving it.
QVariant at(db::Dataset& view, int row, const char* field)
{
    return view.rowValue(row, view.field(QString::fromLatin1(field)).index());
}

// Appends and posts one row; a refused row is dropped again, so that no half row is left.
template<typename Fill> void appendRow(db::Dataset& view, Fill&& fill)
{
    view.append();
    try {
        fill(view);
        view.post();
    } catch (...) {
        if (view.isEditing())
            view.cancel();
        throw;
    }
}

db::Dataset& jobsOf(data::TDmForm& dm, bool delivery)
{
    return delivery ? *dm.supplies().DeliveredLabOrderItemsTable : *dm.supplies().LabOrderItemsTable;
}

} // namespace

int deliverPendingItems(data::TDmForm& dm, const QList<int>& pendingRows)
{
    db::Dataset& pending = *dm.supplies().UndeliveredMaterialItemsPerSupplQry;
    db::Dataset& lines = *dm.supplies().DeliveredMatItemsTable;
    int added = 0;
    {
        const db::ControlsDisabled quiet(lines);
        for (int row : pendingRows) {
            if (row < 0 || row >= pending.recordCount())
                continue;
            const int outstanding
                = at(pending, row, "Quantity").toInt() - at(pending, row, "QuantityDelivered").toInt();
            appendRow(lines, [&](db::Dataset& line) {
                line.setValue(u"RelatedOrderItemID", at(pending, row, "ItemID"));
                line.setValue(u"MaterialID", at(pending, row, "MaterialID"));
                line.setValue(u"UnitPrice", at(pending, row, "UnitPrice"));
                line.setValue(u"UnitPriceEURO", at(pending, row, "UnitPriceEURO"));
                line.setValue(u"Discount", at(pending, row, "Discount"));
                line.setValue(u"Tax", at(pending, row, "Tax"));
                line.setValue(u"Quantity", outstanding);
                line.setValue(u"QuantityDelivered", outstanding); // the line total follows
            });
            ++added;
        }
    }
    return added;
}

int addLabJobs(data::TDmForm& dm, bool delivery, const QList<int>& eligibleRows)
{
    db::Dataset& eligible = *dm.supplies().PossibleLabOrderItemsQry;
    db::Dataset& jobs = jobsOf(dm, delivery);
    db::Dataset& history = *dm.clinical().HistLabOrderItemsToUpdateTable;
    int added = 0;
    dm.supplies().suspendLabItemsRefresh();
    try {
        for (int row : eligibleRows) {
            if (row < 0 || row >= eligible.recordCount())
                continue;
            const QVariant historyId = at(eligible, row, "ID");
            const QVariant patient = at(eligible, row, "PatientID");
            const QVariant operation = at(eligible, row, "OperID");
            const QVariant tooth = at(eligible, row, "ToothNum");
            appendRow(jobs, [&](db::Dataset& job) {
                job.setValue(u"HistoryID", historyId);
                job.setValue(u"PatientID", patient);
                job.setValue(u"OperID", operation);
                job.setValue(u"ToothNum", tooth);
            });
            // Stored with the header, in its transaction.
            data::changeRow(history, QStringLiteral("ID"), historyId,
                [](db::Dataset& h) { h.setValue(u"Ordered", true); });
            ++added;
        }
    } catch (...) {
        dm.supplies().resumeLabItemsRefresh();
        throw;
    }
    dm.supplies().resumeLabItemsRefresh();
    return added;
}

void addCustomLabJob(data::TDmForm& dm, bool delivery, const QString& text)
{
    const QVariant patient
        = dm.patients().PatientsTable->isActive() && !dm.patients().PatientsTable->isEmpty()
        ? dm.patients().PatientsTable->value(u"PatientID")
        : QVariant();
    appendRow(jobsOf(dm, delivery), [&](db::Dataset& job) {
        job.setValue(u"PatientID", patient);
        job.setValue(u"OrderWhat", text);
    });
}

int receiveLabJobs(data::TDmForm& dm, const QList<int>& undeliveredRows)
{
    db::Dataset& undelivered = *dm.supplies().UndeliveredOrderItemsPerLabQry;
    db::Dataset& jobs = *dm.supplies().DeliveredLabOrderItemsTable;
    db::Dataset& orderJobs = *dm.supplies().UndeliveredLabOrdersToUpdateTable;
    struct Received {
        QVariant orderJob;
        QVariantMap values;
    };
    QList<Received> taken;
    for (int row : undeliveredRows) {
        if (row < 0 || row >= undelivered.recordCount())
            continue;
        Received r { at(undelivered, row, "ItemID"), {} };
        for (const char* name : { "HistoryID", "PatientID", "OperID", "ToothNum", "OrderWhat", "OrderPrice",
                 "OrderPriceEURO", "EstimatedDeliveryDate" })
            r.values.insert(QLatin1String(name), at(undelivered, row, name));
        taken << r;
    }
    for (const Received& r : std::as_const(taken)) {
        appendRow(jobs, [&](db::Dataset& job) {
            for (auto it = r.values.cbegin(); it != r.values.cend(); ++it)
                job.setValue(it.key(), it.value());
            job.setValue(u"RelatedOrderItemID", r.orderJob);
        });
        const QVariant received = jobs.value(u"ItemID");
        if (!data::changeRow(orderJobs, QStringLiteral("ItemID"), r.orderJob,
                [&received](db::Dataset& job) { job.setValue(u"RelatedOrderItemID", received); }))
            throw db::DatabaseError(
                QStringLiteral("The ordered job has been deleted by another workstation."));
    }
    return static_cast<int>(taken.size());
}

void storeHeader(data::TDmForm& dm, bool lab, bool delivery)
{
    db::Dataset& header = lab
        ? (delivery ? *dm.supplies().DeliveredLabOrdersTable : *dm.supplies().LabOrdersTable)
        : (delivery ? *dm.supplies().DeliveredMaterialsTable : *dm.supplies().MaterialOrdersTable);
    if (header.isEditing() || !header.isActive() || header.isEmpty())
        return;
    header.edit();
    header.post();
}

} // namespace supplies
