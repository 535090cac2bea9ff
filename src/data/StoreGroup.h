#pragma once

#include <QList>
#include <QStringList>

#include <functional>

namespace db {
class Dataset;
class UpdateGroup;
} // namespace db

namespace data {

// Views written in one transaction after a post or delete of their master, so that a patient
// with the medical history, family rows, recalls and answers stored with it, or a treatment
// row with its charge, is stored whole or not at all, and a failure leaves every change
// pending. Each area declares the groups of its masters (declareStorage).
struct StoreGroup {
    db::Dataset* master = nullptr;
    QList<db::Dataset*> apply; // written together, in this order
    QList<db::Dataset*> flush; // take the rows written (or read again)
    QList<db::Dataset*> discard; // dropped on cancel, an edit in progress included
    QList<db::Dataset*> discardPending; // only their posted changes: an edit in progress stays
    // Posted while the master is edited, they wait for it (or for its cancel); one still in
    // edit when the master is stored is posted with it.
    QList<db::Dataset*> companions;
    std::function<void()> afterStore = {};
    std::function<void()> afterDiscard = {};
    // Inside the group's transaction, after its views are written: what must read them
    // (a balance summed from a ledger row of the group) and may add views to write.
    std::function<void(db::UpdateGroup&)> inTransaction = {};
};

// A view with amounts: its local money fields, each with its EURO twin.
struct MoneyView {
    enum class Use {
        CompletedAtPost, // the pairs are completed before and after the area's rule at every post
        FormatOnly, // a working row whose amounts other rules compute
    };
    db::Dataset* view = nullptr;
    QStringList fields;
    Use use = Use::CompletedAtPost;
};

} // namespace data
