#pragma once

// Small pieces shared by the record rules of the data module.

#include "data/Money.h"
#include "db/Dataset.h"

#include <QVariant>

namespace data {

// The row of a view as the money conversion sees it: its stored fields. Look-ups copy another
// table's amounts and calculated fields are written by the calculation rule, so neither counts.
class DatasetMoney final : public MoneyFields {
public:
    explicit DatasetMoney(db::Dataset& view)
        : m_view(view)
    {
    }
    bool hasField(const QString& name) const override
    {
        const db::Field* f = m_view.findField(name);
        return f && f->kind() == db::FieldKind::Data;
    }
    QVariant value(const QString& name) const override { return m_view.value(name); }
    void setValue(const QString& name, const QVariant& value) override { m_view.setValue(name, value); }

private:
    db::Dataset& m_view;
};

// The field of the view's current row, or null when the view is closed or empty.
inline QVariant currentValue(const db::Dataset& view, QStringView field)
{
    return view.isActive() && !view.isEmpty() ? view.value(field) : QVariant();
}

inline bool hasRows(const db::Dataset& view)
{
    return view.isActive() && !view.isEmpty();
}

// Re-reads the views and stays on the same rows; a view that is closed or being edited is
// left alone, so that nobody's unsaved row is thrown away.
inline void refreshIdleViews(const QList<db::Dataset*>& views)
{
    for (db::Dataset* view : views) {
        if (view->isActive() && !view->isEditing())
            view->refresh();
    }
}

// Stores what a view keeps pending; a view that was never opened has nothing to store.
inline void applyPending(db::Dataset& view)
{
    if (view.isActive())
        view.applyUpdates();
}

// Deletes every row of a view one at a time (each through its own rules), its controls
// disabled meanwhile so that grids do not repaint for every row. A closed view is opened for
// it (and stays open: its deletions are stored with its master's).
inline void deleteAllRows(db::Dataset& view)
{
    if (!view.isActive())
        view.open();
    view.disableControls();
    try {
        while (!view.isEmpty()) {
            view.first();
            view.remove();
        }
    } catch (...) {
        view.enableControls();
        throw;
    }
    view.enableControls();
}

// Runs `work` with the view's record filter off, and puts the filter back afterwards.
template<typename Work>
void withoutFilter(db::Dataset& view, Work&& work)
{
    const bool filtered = view.isFiltered();
    if (filtered)
        view.setFiltered(false);
    try {
        work();
    } catch (...) {
        if (filtered)
            view.setFiltered(true);
        throw;
    }
    if (filtered)
        view.setFiltered(true);
}

// Edits the row of `view` whose `key` is `id` (read again when it was stored after the view was
// last read); false when there is none.
template<typename Change>
bool changeRow(db::Dataset& view, const QString& key, const QVariant& id, Change&& change)
{
    if (id.isNull())
        return false;
    if (!view.isActive())
        view.open();
    if (!view.locate(key, id)) {
        view.refresh();
        if (!view.locate(key, id))
            return false;
    }
    view.edit();
    change(view);
    view.post();
    return true;
}

} // namespace data
