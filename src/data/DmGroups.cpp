// Storing changes: the groups of views written together after a post or delete of their
// master, the save question and the index helper.

#include "data/DmUnit.h"

#include "db/Connection.h"
#include "db/Query.h"
#include "db/UpdateGroup.h"
#include "widgets/Language.h"
#include "widgets/MessageService.h"

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
    // A treatment row and the charge it carries, and a new patient and the first session, are
    // stored in one transaction: these views keep their posts pending until their group is
    // written, like the other views of the groups.
    for (db::Dataset* view : {HistPerSessionTable, HistPerSessionTable2, HistPerSessionTable3, SessionsTable, PatEconomicsForFatherTable})
        view->setCachedUpdates(true);

    const QList<db::Dataset*> patientCompanions = {
        AnamnesticaTable, FamilyFatherTable, FamilyChildrenTable, RecallsTable, QuestAnswerTable, SessionsTable, NonProtectedPatientsTable};
    for (db::Dataset* companion : patientCompanions)
        m_companionOf.insert(companion, PatientsTable);

    // One entry per master. The text this follows applied each view in a transaction of its
    // own; we write a whole group in one (db::UpdateGroup), so that a patient with the medical
    // history, family rows, recalls and answers stored with it, or a treatment row with its
    // charge, is stored whole or not at all, and a failure leaves every change pending.
    m_storeGroups = {
        {PatientsTable,
            {SessionsTable, RecallsTable, QuestAnswerTable, FamilyFatherTable, FamilyChildrenTable, AnamnesticaTable, PatientsTable,
                NonProtectedPatientsTable},
            {PatientsTable}, patientCompanions + QList<db::Dataset*>{PatientsTable}, {}, [this] { emit patientStored(); },
            [this] { emit patientDiscarded(); }},
        {PhotosTable, {PatientsTable, PhotosTable}, {PhotosTable}, {PhotosTable}, {PatientsTable}, {}, {}},
        {OperationsTable, {}, {OperationsTable}, {}, {},
            [this] {
                // Look-ups of the operation descriptions read this query.
                if (OperationsSortedForLook->isActive()) {
                    OperationsSortedForLook->close();
                    OperationsSortedForLook->open();
                }
            },
            {}},
    };
    for (db::Dataset* view : {AnamnesticaTable, AppointmentTable, EndoTable, ToothNotesTable, ToothColorTable, PhonesTable, SuppliersTable, DentalLabTable, SessionsTable,
             DentEconomicsTable, SupplierEconomTable, LabEconomTable, PatientEconomTable})
        m_storeGroups.push_back({view, {view}, {view}, {view}, {}, {}, {}});
    const std::pair<db::Dataset*, db::Dataset*> pairs[] = {
        {MaterialOrdersTable, MaterialOrderItemsTable},
        {PrescriptionsTable, PrescrItemsTable},
        {PeriTable, PeriItemTable},
        {MaterialsTable, SuppliersPerMaterialTable},
        {DeliveredMaterialsTable, DeliveredMatItemsTable},
        {LabOrdersTable, LabOrderItemsTable},
        {DeliveredLabOrdersTable, DeliveredLabOrderItemsTable},
    };
    for (const auto& [master, items] : pairs) {
        QList<db::Dataset*> views = {master, items};
        // An order or delivery of lab work also changes the history rows it covers and the
        // orders it delivers: those changes go and stay with it.
        if (master == LabOrdersTable || master == DeliveredLabOrdersTable)
            views << HistLabOrderItemsToUpdateTable << UndeliveredLabOrdersToUpdateTable;
        if (master == DeliveredMaterialsTable)
            views << MaterialOrderItemsForLook; // the order lines its lines deliver
        m_storeGroups.push_back({master, views, {master, items}, views, {}, {}, {}});
    }
    for (db::Dataset* history : {HistPerSessionTable, HistPerSessionTable2, HistPerSessionTable3})
        m_storeGroups.push_back({history, {history, PatientEconomTable, PatEconomicsForFatherTable}, {PatientEconomTable}, {history},
            {PatientEconomTable, PatEconomicsForFatherTable},
            [this, history] {
                // A row moved to another level (the plan implemented) shows in another view now.
                if (std::exchange(m_historyLevelMoved, false)) {
                    for (db::Dataset* other : {HistPerSessionTable, HistPerSessionTable2, HistPerSessionTable3}) {
                        if (other != history && other->isActive() && !other->isEditing())
                            other->refresh();
                    }
                }
                refreshLabItems();
            },
            {}});

    for (const StoreGroup& group : m_storeGroups) {
        db::Dataset* master = group.master;
        QObject::connect(master, &db::Dataset::afterPost, this, [this, master] { storeGroup(*master); });
        QObject::connect(master, &db::Dataset::afterDelete, this, [this, master] { storeGroup(*master); });
        QObject::connect(master, &db::Dataset::afterCancel, this, [this, master] { discardGroup(*master); });
    }
}

const TDmForm::StoreGroup* TDmForm::storeGroupOf(const db::Dataset& master) const
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
    update.apply();
    // The commit is on disk already (WAL with synchronous=FULL, or the rollback journal), and
    // the views written were read again by the apply: the group's other tables are read again
    // here. Copying the log into the database file on every post (FlushTable) would cost a
    // second sync per post; SQLite's own checkpoints and the one at close do it.
    for (db::Dataset* view : group->flush) {
        if (!written.contains(view) && view->isActive())
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
        switch (widgets::askYesNoCancel(Lang->Message(QStringLiteral("There are unsaved changes. Do you want to post them?")),
            Lang->Message(QStringLiteral("Confirm")))) {
        case widgets::MessageService::Answer::Yes:
            view.post();
            return true;
        case widgets::MessageService::Answer::No:
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

void TDmForm::suspendLabItemsRefresh()
{
    ++m_labItemsHeld;
}

void TDmForm::resumeLabItemsRefresh()
{
    if (m_labItemsHeld > 0 && --m_labItemsHeld == 0)
        refreshLabItems();
}

void TDmForm::refreshLabItems()
{
    if (m_labItemsHeld == 0 && PossibleLabOrderItemsQry->isActive())
        PossibleLabOrderItemsQry->refresh();
}

} // namespace data
