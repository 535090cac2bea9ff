// The states of a view and its record commands.
#include "db/Dataset.h"

#include "db/Connection.h"
#include "db/Errors.h"

namespace db {

void Dataset::setState(DatasetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    if (ctl())
        emit stateChanged(state);
}

void Dataset::setCurrent(int row, bool forceSignal)
{
    if (row == m_current && !forceSignal)
        return;
    const int previous = m_current;
    m_current = row;
    if (ctl()) {
        emit currentRowChanged(previous, row);
        emit recordChanged({});
    }
    emit afterScroll();
}

// --- navigation ---

void Dataset::first()
{
    requireActive();
    checkBrowseMode();
    setCurrent(isEmpty() ? -1 : 0);
    m_bof = true;
    m_eof = isEmpty();
}

void Dataset::last()
{
    requireActive();
    checkBrowseMode();
    setCurrent(recordCount() - 1);
    m_eof = true;
    m_bof = isEmpty();
}

void Dataset::next()
{
    moveBy(1);
}

void Dataset::prior()
{
    moveBy(-1);
}

int Dataset::moveBy(int distance)
{
    requireActive();
    checkBrowseMode();
    if (isEmpty()) {
        m_bof = m_eof = true;
        return 0;
    }
    const int target = std::clamp(m_current + distance, 0, recordCount() - 1);
    const int moved = target - m_current;
    // Trying to move past either end sets the flag of that end.
    m_bof = distance < 0 && moved != distance;
    m_eof = distance > 0 && moved != distance;
    setCurrent(target);
    return moved;
}

void Dataset::moveTo(int row)
{
    requireActive();
    if (row < 0 || row >= recordCount())
        throw DatabaseError(QStringLiteral("Row %1 is not in the view %2.").arg(row).arg(objectName()));
    checkBrowseMode();
    row = std::min(row, recordCount() - 1); // a post may have reordered the rows
    m_bof = m_eof = false;
    setCurrent(row);
}

bool Dataset::locate(const QStringList& fields, const QVariantList& values, LocateOptions options)
{
    requireActive();
    checkBrowseMode();
    const int row = findRow(fields, values, options);
    if (row < 0)
        return false;
    m_bof = m_eof = false;
    setCurrent(row);
    return true;
}

void Dataset::setKey()
{
    requireActive();
    checkBrowseMode();
    m_keyBuffer = QList<QVariant>(fieldCount());
    setState(DatasetState::SetKey);
}

bool Dataset::gotoKey()
{
    if (m_state != DatasetState::SetKey)
        throw DatabaseError(QStringLiteral("The view %1 is not collecting a key.").arg(objectName()));
    QVariantList keys;
    for (const QString& name : std::as_const(m_orderFields)) {
        const QVariant v = m_keyBuffer.value(field(name).index());
        if (v.isNull())
            break;
        keys << v;
    }
    setState(DatasetState::Browse);
    return findKey(keys);
}

bool Dataset::findKey(const QVariantList& keys)
{
    if (keys.isEmpty() || keys.size() > m_orderFields.size())
        throw DatabaseError(QStringLiteral("The key does not fit the order of %1.").arg(objectName()));
    return locate(m_orderFields.mid(0, keys.size()), keys);
}

// --- record commands ---

void Dataset::checkBrowseMode()
{
    if (m_state == DatasetState::SetKey) {
        setState(DatasetState::Browse);
        return;
    }
    if (!isEditing())
        return;
    if (m_modified)
        post();
    else
        cancel();
}

void Dataset::insert()
{
    requireActive();
    checkBrowseMode();
    beginInsert(isEmpty() ? 0 : m_current);
}

void Dataset::append()
{
    requireActive();
    checkBrowseMode();
    beginInsert(recordCount());
}

void Dataset::beginInsert(int position)
{
    if (isReadOnly())
        throw DatabaseError(QStringLiteral("The view %1 is read-only.").arg(objectName()));
    beforeInsert(*this);

    m_edit = Row{};
    m_edit.values = QList<QVariant>(m_storedCount);
    for (int i = 0; i < m_storedCount; ++i)
        m_edit.values[i] = field(i).defaultValue();
    // A detail row belongs to the master's current row.
    const QVariantList link = m_master ? masterValues() : QVariantList();
    for (int i = 0; i < m_detailFields.size(); ++i)
        m_edit.values[field(m_detailFields[i]).index()] = link.value(i);
    m_original.clear();
    m_rowBeforeInsert = m_current;

    if (ctl())
        emit rowAboutToBeInserted(position);
    m_rows.insert(position, Row{0, m_edit.values, {}, Row::Pinned});
    if (ctl())
        emit rowInserted(position);
    invalidateExtrasFrom(position + 1);
    m_state = DatasetState::Insert;
    m_bof = m_eof = false;
    try {
        if (fieldCount() > m_storedCount)
            computeExtras(m_edit, position);
        setCurrent(position, true);
        onNewRecord(*this);
    } catch (...) {
        discardEdit();
        throw;
    }
    if (fieldCount() > m_storedCount)
        computeExtras(m_edit, position);
    m_modified = false; // defaults are not the user's changes
    if (ctl()) {
        emit stateChanged(m_state);
        emit rowsChanged(position, position);
        emit recordChanged({});
    }
    emit afterInsert();
}

void Dataset::edit()
{
    requireActive();
    if (isEditing())
        return;
    checkBrowseMode();
    if (isEmpty()) {
        insert(); // editing an empty view starts its first row
        return;
    }
    if (isReadOnly())
        throw DatabaseError(QStringLiteral("The view %1 is read-only.").arg(objectName()));
    beforeEdit(*this);
    const Row& row = currentRowData();
    m_edit = Row{row.locator, row.values, row.extra, 0};
    m_original = row.values;
    m_modified = false;
    setState(DatasetState::Edit);
    afterEditRules(*this);
    emit afterEdit();
}

void Dataset::checkRequired() const
{
    for (int i = 0; i < m_storedCount; ++i) {
        const Field& f = field(i);
        if (f.isRequired() && m_edit.values.value(i).isNull())
            throw MissingValue(f.label());
    }
}

void Dataset::post()
{
    if (m_state == DatasetState::SetKey) {
        gotoKey();
        return;
    }
    if (!isEditing())
        return;
    beforePost(*this); // db::Abort leaves the row in edit
    checkRequired();
    if (m_cached) {
        postCachedAndStore();
    } else {
        writeThrough();
        afterPostRules(*this);
    }
    emit afterPost();
    emit contentChanged();
}

void Dataset::postCachedAndStore()
{
    // The after-post rules store the pending row with its group; when that fails, the row is in
    // edit again with its values, as when a write-through fails, and nothing is pending of it.
    const DatasetState state = m_state;
    const Row edit = m_edit;
    const QList<QVariant> original = m_original;
    const bool modified = m_modified;
    const PendingChanges pending = m_pending;
    const Row shown = m_rows.at(m_current);
    postCached();
    const qint64 posted = m_rows.at(m_current).locator;
    try {
        afterPostRules(*this);
    } catch (...) {
        const int row = m_rows.indexOfLocator(posted);
        if (row >= 0 && m_state == DatasetState::Browse) {
            m_pending = pending;
            m_rows.at(row) = shown;
            m_rows.locatorsChanged();
            m_current = row;
            m_edit = edit;
            m_original = original;
            m_modified = modified;
            invalidateExtrasFrom(row);
            setState(state);
            if (ctl()) {
                emit rowsChanged(row, row);
                emit recordChanged({});
            }
        }
        throw;
    }
}

void Dataset::writeThrough()
{
    const QStringList columns = storedFieldNames();
    qint64 locator = m_edit.locator;
    {
        // A failure rolls back and leaves the row in edit with its values.
        TransactionGuard guard(*m_connection);
        try {
            if (m_state == DatasetState::Insert)
                locator = rowwriter::insert(*m_connection, m_table, columns, m_edit.values);
            else
                rowwriter::update(
                    *m_connection, m_table, columns, m_original, m_edit.values, locator, m_recomputed);
        } catch (ChangedElsewhere& conflict) {
            offerSettlement(conflict);
            throw;
        }
        guard.commit();
    }
    const int row = m_current;
    m_edit = Row{};
    m_original.clear();
    m_modified = false;
    setState(DatasetState::Browse);
    // The stored row may sort elsewhere now: read the view again and follow the row.
    reloadKeeping(locator, row);
}

void Dataset::postCached()
{
    Row& row = m_rows.at(m_current);
    if (m_state == DatasetState::Insert) {
        row.locator = m_pending.nextNewLocator();
        m_rows.locatorsChanged();
        m_pending.recordInsert(row.locator, m_edit.values);
    } else {
        m_pending.recordUpdate(row.locator, m_original, m_edit.values);
    }
    row.values = m_edit.values;
    row.flags |= Row::Pinned;
    m_edit = Row{};
    m_original.clear();
    m_modified = false;
    setState(DatasetState::Browse);
    invalidateExtrasFrom(m_current);
    if (ctl()) {
        emit rowsChanged(m_current, m_current);
        emit recordChanged({});
    }
}

void Dataset::discardEdit()
{
    const bool inserting = m_state == DatasetState::Insert;
    m_edit = Row{};
    m_original.clear();
    m_modified = false;
    m_state = DatasetState::Browse;
    if (inserting && m_current >= 0) {
        const int row = m_current;
        if (ctl())
            emit rowAboutToBeRemoved(row);
        m_rows.remove(row);
        if (ctl())
            emit rowRemoved(row);
        invalidateExtrasFrom(row);
        const int back = m_rowBeforeInsert >= 0 ? std::min(m_rowBeforeInsert, recordCount() - 1) : (isEmpty() ? -1 : 0);
        setCurrent(back, true); // the row under the cursor is another one now
        m_bof = m_eof = isEmpty();
    } else if (ctl()) {
        emit rowsChanged(m_current, m_current);
        emit recordChanged({});
    }
    if (ctl())
        emit stateChanged(m_state);
}

void Dataset::cancel()
{
    if (m_state == DatasetState::SetKey) {
        setState(DatasetState::Browse);
        return;
    }
    if (!isEditing())
        return;
    discardEdit();
    afterCancelRules(*this);
    emit afterCancel();
}

void Dataset::remove()
{
    requireActive();
    if (m_state == DatasetState::Insert || m_state == DatasetState::SetKey) {
        cancel();
        return;
    }
    if (isEmpty())
        throw DatabaseError(QStringLiteral("Cannot delete from the empty view %1.").arg(objectName()));
    if (isReadOnly())
        throw DatabaseError(QStringLiteral("The view %1 is read-only.").arg(objectName()));
    beforeDelete(*this);
    if (m_state == DatasetState::Edit)
        discardEdit();
    const int row = m_current;
    const Row& doomed = m_rows.loaded(row);
    if (m_cached) {
        m_pending.recordDelete(doomed.locator, doomed.values);
    } else {
        TransactionGuard guard(*m_connection);
        try {
            rowwriter::remove(
                *m_connection, m_table, doomed.locator, storedFieldNames(), doomed.values, m_recomputed);
        } catch (ChangedElsewhere& conflict) {
            offerSettlement(conflict);
            throw;
        }
        guard.commit();
    }
    if (ctl())
        emit rowAboutToBeRemoved(row);
    m_rows.remove(row);
    if (ctl())
        emit rowRemoved(row);
    invalidateExtrasFrom(row);
    // The row under the cursor is the next one, or the new last one.
    setCurrent(isEmpty() ? -1 : std::min(row, recordCount() - 1), true);
    m_bof = m_eof = isEmpty();
    afterDeleteRules(*this);
    emit afterDelete();
    emit contentChanged();
}

// --- cached updates ---

void Dataset::writePendingUpdates()
{
    checkBrowseMode();
    try {
        m_written = m_pending.write(*m_connection, m_table, storedFieldNames(), m_recomputed);
    } catch (ChangedElsewhere& conflict) {
        offerSettlement(conflict);
        throw;
    }
}

// --- another workstation's change of the same row ---

void Dataset::offerSettlement(ChangedElsewhere& conflict)
{
    for (ChangedElsewhere::FieldChange& change : conflict.fields()) {
        const Field* f = findField(change.field);
        change.label = f ? f->label() : change.field;
    }
    conflict.resolve
        = [view = QPointer<Dataset>(this), operation = conflict.operation(), locator = conflict.locator(),
              fields = conflict.fields()](ChangedElsewhere::Choice choice) {
              return !view || view->settleConflict(operation, locator, fields, choice);
          };
}

bool Dataset::settleConflict(ChangedElsewhere::Operation operation, qint64 locator,
    const QList<ChangedElsewhere::FieldChange>& fields, ChangedElsewhere::Choice choice)
{
    using Choice = ChangedElsewhere::Choice;
    const bool keepTheirs = choice == Choice::KeepTheirs;
    if (operation == ChangedElsewhere::Operation::Update && m_state == DatasetState::Edit
        && m_edit.locator == locator) {
        // The edit goes on against their values; kept, theirs show in the controls.
        for (const ChangedElsewhere::FieldChange& change : fields) {
            const int i = field(change.field).index();
            m_original[i] = change.theirs;
            if (keepTheirs)
                m_edit.values[i] = change.theirs;
        }
        if (keepTheirs && ctl())
            emit recordChanged({});
        if (choice != Choice::GoOnEditing)
            post();
        return true;
    }
    if (m_pending.find(locator)) {
        // A change waiting in a group: settled here, stored when the group is written again.
        for (const ChangedElsewhere::FieldChange& change : fields)
            m_pending.rebase(locator, field(change.field).index(), change.theirs, keepTheirs);
        if (keepTheirs) {
            m_tableMark = {};
            refresh();
        }
        return choice == Choice::GoOnEditing;
    }
    if (operation != ChangedElsewhere::Operation::Delete)
        return true;
    const int row = m_rows.indexOfLocator(locator);
    if (row < 0)
        return true;
    // The row shows what is stored now; deleted all the same, it is deleted as that.
    Row& shown = m_rows.loaded(row);
    for (const ChangedElsewhere::FieldChange& change : fields)
        shown.values[field(change.field).index()] = change.theirs;
    invalidateExtrasFrom(row);
    if (ctl()) {
        emit rowsChanged(row, row);
        if (row == m_current)
            emit recordChanged({});
    }
    if (choice == Choice::KeepOurs) {
        moveTo(row);
        remove();
    }
    return true;
}

void Dataset::applyUpdates()
{
    requireActive();
    checkBrowseMode();
    if (m_pending.isEmpty())
        return;
    {
        TransactionGuard guard(*m_connection);
        writePendingUpdates();
        guard.commit();
    }
    commitPendingUpdates();
}

void Dataset::cancelUpdates()
{
    if (isEditing())
        cancel();
    if (m_pending.isEmpty())
        return;
    m_pending.clear();
    m_tableMark = {}; // the rows show changes that were never written: read them again
    if (isActive())
        refresh();
}

// --- controls ---

void Dataset::disableControls()
{
    if (m_disabled == 0)
        emit aboutToReset();
    ++m_disabled;
}

void Dataset::enableControls()
{
    if (m_disabled == 0)
        return;
    if (--m_disabled > 0)
        return;
    // Whatever happened meanwhile is announced as one change.
    emit reset();
    emit stateChanged(m_state);
    emit currentRowChanged(-1, m_current);
    emit recordChanged({});
}

} // namespace db
