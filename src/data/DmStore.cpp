// Storing changes: the groups of views written together after a post or delete of their
// master, the save question and the index helper.

#include "data/DmUnit.h"

#include "db/Connection.h"
#include "db/Query.h"
#include "db/UpdateGroup.h"
#include "platform/MessageService.h"

#include <utility>

namespace data {

TDmForm::StoreHold::StoreHold(TDmForm& dm, const QList<db::Dataset*>& views)
    : m_dm(dm)
    , m_views(views)
{
    for (const db::Dataset* v : std::as_const(m_views))
        ++m_dm.m_storeHolds[v];
}

TDmForm::StoreHold::~StoreHold()
{
    for (const db::Dataset* v : std::as_const(m_views)) {
        if (--m_dm.m_storeHolds[v] == 0)
            m_dm.m_storeHolds.remove(v);
    }
}

void TDmForm::installStoreGroups()
{
    for (const StoreGroup& group : m_storeGroups) {
        db::Dataset* master = group.master;
        for (db::Dataset* companion : group.companions)
            m_companionOf.insert(companion, master);
        // Called by the view itself, not from a signal: a failure reaches the caller of the
        // command with every change still pending.
        const auto store = [this](db::Dataset& view) { storeGroup(view); };
        master->afterPostRules.install(Stage::StoreGroup, QStringLiteral("storeGroup"), store);
        master->afterDeleteRules.install(Stage::StoreGroup, QStringLiteral("storeGroup"), store);
        master->afterCancelRules.install(Stage::StoreGroup, QStringLiteral("discardGroup"),
            [this](db::Dataset& view) { discardGroup(view); });
    }
}

const StoreGroup* TDmForm::storeGroupOf(const db::Dataset& master) const
{
    for (const StoreGroup& group : m_storeGroups) {
        if (group.master == &master)
            return &group;
    }
    return nullptr;
}

bool TDmForm::storeHeld(const db::Dataset& view) const
{
    if (m_storeHolds.contains(&view))
        return true;
    // A companion posted while its master is edited goes with the master (or with its cancel).
    const db::Dataset* master = m_companionOf.value(&view);
    return master && master->isEditing();
}

void TDmForm::storeGroup(db::Dataset& master)
{
    const StoreGroup* group = storeGroupOf(master);
    if (!group || storeHeld(master))
        return;
    const StoreHold hold(*this, group->apply);
    db::UpdateGroup update(*Database, {});
    QList<db::Dataset*> written;
    for (db::Dataset* view : group->apply) {
        if (view->isEditing()) {
            // A companion still open is posted with its master; any other view being edited
            // (the patient while a photo comes in) is left to its own post.
            if (m_companionOf.value(view) != &master)
                continue;
            view->post();
        }
        if (view->hasPendingUpdates()) {
            update.add(view);
            written << view;
        }
    }
    if (group->inTransaction)
        update.addStep([group, &update] { group->inTransaction(update); });
    const db::Connection::LogPosition before = Database->logPosition();
    update.apply();
    // The commit is on disk already (WAL with synchronous=FULL, or the rollback journal), and
    // the views written have settled their rows: the group's other views take the rows
    // written (or read again when they cannot place them). Copying the log into the database
    // file on every post (FlushTable) would cost a second sync per post; SQLite's own
    // checkpoints and the one at close do it.
    const std::optional<QList<db::Connection::WrittenRow>> groupWrites = Database->writtenAfter(before);
    for (db::Dataset* view : group->flush) {
        if (written.contains(view) || !view->isActive())
            continue;
        if (groupWrites)
            view->takeWrites(*groupWrites);
        else
            view->refresh();
    }
    if (group->afterStore)
        group->afterStore();
}

void TDmForm::discardGroup(db::Dataset& master)
{
    const StoreGroup* group = storeGroupOf(master);
    if (!group || storeHeld(master))
        return;
    const StoreHold hold(*this, group->apply);
    for (db::Dataset* view : group->discard)
        view->cancelUpdates();
    for (db::Dataset* view : group->discardPending) {
        if (!view->isEditing())
            view->cancelUpdates();
    }
    if (group->afterDiscard)
        group->afterDiscard();
}

bool TDmForm::AskToPost(db::Dataset& view, bool autoPost)
{
    if (!view.isEditing())
        return true;
    try {
        if (autoPost) {
            view.post();
            return true;
        }
        switch (platform::askYesNoCancel(Lang->Message(QStringLiteral("There are unsaved changes. Do you want to post them?")),
            Lang->Message(QStringLiteral("Confirm")))) {
        case platform::MessageService::Answer::Yes:
            view.post();
            return true;
        case platform::MessageService::Answer::No:
            view.cancel();
            return true;
        default:
            return false;
        }
    } catch (const db::Abort&) {
        return false; // the rule has said why; the row stays in edit
    }
}

void TDmForm::AddIndex(db::Dataset& view)
{
    const db::TableDef& def = view.tableDef();
    if (def.name.isEmpty() || def.fields.isEmpty())
        throw db::DatabaseError(QStringLiteral("The view %1 has no table to index.").arg(view.objectName()));
    // Exclusive: nobody else may be writing the table, so we do not wait for anyone.
    const QString field = def.fields.first().name;
    Database->setLockWait(1);
    try {
        db::TransactionGuard guard(*Database);
        db::Query::run(*Database,
            QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                .arg(db::Dialect::quoted(def.name + QLatin1Char('_') + field), db::Dialect::quoted(def.name), db::Dialect::quoted(field)));
        guard.commit();
    } catch (const db::LockTimeout&) {
        Database->setLockWait(Database->profile().busyTimeoutMs);
        throw db::DatabaseError(QStringLiteral("TTable.Exclusive must be set to true in order to add an index to the table"));
    } catch (...) {
        Database->setLockWait(Database->profile().busyTimeoutMs);
        throw;
    }
    Database->setLockWait(Database->profile().busyTimeoutMs);
}

} // namespace data
