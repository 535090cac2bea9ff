// A view following what other workstations changed, without disturbing the user.
#include "db/Dataset.h"

namespace db {

bool Dataset::refreshForOthers()
{
    if (!isActive())
        return true;
    // A new row has no place among the rows read yet, a key being collected belongs to no
    // row, and disabled controls mean that something is walking the rows: later.
    if (m_state == DatasetState::Insert || m_state == DatasetState::SetKey || !ctl())
        return false;
    const bool editing = m_state == DatasetState::Edit;
    if (editing && m_source != Source::Table)
        return false;
    const int previous = m_current;
    qint64 locator = editing ? m_edit.locator : (m_current >= 0 ? m_rows.at(m_current).locator : 0);
    if (locator < 0)
        locator = m_written.value(locator, locator);
    if (m_source != Source::Table)
        locator = 0; // a query's rows are numbered as read: keep the place instead
    m_tableMark = {};
    emit aboutToRearrange();
    try {
        loadRows();
    } catch (...) {
        if (editing)
            discardEdit();
        m_rows.clear();
        m_current = -1;
        m_bof = m_eof = true;
        emit rearranged();
        emit currentRowChanged(previous, -1);
        emit recordChanged({});
        throw;
    }
    int row = locator != 0 ? m_rows.indexOfLocator(locator) : -1;
    if (row < 0 && editing) {
        // Deleted meanwhile by another workstation: the user's row stays in view with the
        // user's values; storing it reports the conflict.
        row = std::clamp(previous, 0, m_rows.count());
        m_rows.insert(row, Row{locator, m_edit.values, {}, Row::Pinned});
    }
    if (row < 0 && m_rows.count() > 0)
        row = std::clamp(previous, 0, m_rows.count() - 1);
    m_current = m_rows.count() > 0 ? row : -1;
    m_bof = m_current <= 0;
    m_eof = m_rows.count() == 0;
    emit rearranged();
    emit currentRowChanged(previous, m_current);
    emit contentChanged();
    if (editing)
        return true; // the row in edit shows the user's values, as before
    emit recordChanged({});
    // The row under the cursor is another one only when the user's row is gone.
    if (locator == 0 || m_current < 0 || m_rows.at(m_current).locator != locator)
        emit afterScroll();
    emit afterRefresh();
    return true;
}

} // namespace db
