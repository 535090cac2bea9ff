#pragma once

#include "widgets/Forward.h"
#include <QList>
#include <QString>
#include <QVariant>

// What the order and delivery windows do to the views beyond single edits: lines taken from
// pending orders, lab jobs taken from the treatment history or received from orders. Each
// appends and posts rows through the views' rules; the header's post stores them.
namespace supplies {

// A delivery line for each of the given rows of the supplier's pending lines
// (UndeliveredMaterialItemsPerSupplQry): what is still outstanding, at the order's prices.
// The number of lines added.
int deliverPendingItems(data::TDmForm& dm, const QList<int>& pendingRows);

// A job on the lab order (or delivery) `jobs` for each of the given rows of the eligible
// treatments (PossibleLabOrderItemsQry); each treatment is marked ordered.
int addLabJobs(data::TDmForm& dm, bool delivery, const QList<int>& eligibleRows);
// A job of free text for the current patient.
void addCustomLabJob(data::TDmForm& dm, bool delivery, const QString& text);
// A delivery job for each of the given rows of the lab's undelivered jobs
// (UndeliveredOrderItemsPerLabQry); each order job is marked delivered by it.
int receiveLabJobs(data::TDmForm& dm, const QList<int>& undeliveredRows);

// Stores a header whose lines changed: the header is posted again (totals, ledger row), with
// all of them in one transaction. Does nothing while the header is being edited.
void storeHeader(data::TDmForm& dm, bool lab, bool delivery);

} // namespace supplies
