// Rows this workstation wrote itself, taken into a view's rows in memory instead of reading
// them again: a treatment posted with its charge does not read the session's history and
// ledger again. Only where a read would give the same rows in the same places; anything else
// reads again.
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Dialect.h"
#include "db/RowStore.h"

#include <algorithm>

namespace db {
namespace {

// Whether a stored value meets one condition of a view's statement, as the database would
// decide it; nothing when the two values are not comparable here (text against a number).
std::optional<bool> meets(const QVariant& value, const ViewSpec::Condition& c)
{
    const bool isNot = c.op == QLatin1String("IS NOT");
    if (isNot && c.value.isNull())
        return !value.isNull();
    if (value.isNull() || c.value.isNull())
        return isNot; // a comparison with NULL is never true; "x IS NOT v" holds for a NULL x
    const QPartialOrdering order = QVariant::compare(value, c.value);
    if (order == QPartialOrdering::Unordered)
        return std::nullopt;
    if (isNot)
        return order != QPartialOrdering::Equivalent;
    if (c.op == QLatin1String("="))
        return order == QPartialOrdering::Equivalent;
    if (c.op == QLatin1String(">="))
        return order != QPartialOrdering::Less;
    if (c.op == QLatin1String("<="))
        return order != QPartialOrdering::Greater;
    return std::nullopt;
}

bool same(const QVariant& a, const QVariant& b)
{
    return a.isNull() == b.isNull() && a == b;
}

} // namespace

bool Dataset::canPlaceWrites() const
{
    return isActive() && m_source == Source::Table;
}

std::optional<bool> Dataset::belongs(const QList<QVariant>& values)
{
    for (const ViewSpec::Condition& c : std::as_const(m_view.conditions)) {
        const Field* f = findField(c.field);
        if (!f || f->index() >= m_storedCount)
            return std::nullopt;
        const std::optional<bool> holds = meets(values.value(f->index()), c);
        if (!holds || !*holds)
            return holds;
    }
    if (!isFiltered())
        return true;
    Row row { 0, values, {}, 0 };
    return evaluateFilter(row);
}

bool Dataset::newRowsGoLast() const
{
    // A new row's locator is above every row's: it sorts last when the order fields cannot
    // differ between the rows of the view (each is fixed by an equality condition, or by a
    // range of one value).
    if (m_view.descending)
        return false;
    const auto fixedBy = [this](const QString& field, const char* op) -> const QVariant* {
        for (const ViewSpec::Condition& c : m_view.conditions) {
            if (c.op == QLatin1String(op) && c.field.compare(field, Qt::CaseInsensitive) == 0)
                return &c.value;
        }
        return nullptr;
    };
    return std::all_of(m_view.order.cbegin(), m_view.order.cend(), [&fixedBy](const QString& f) {
        const QVariant* low = fixedBy(f, ">=");
        const QVariant* high = fixedBy(f, "<=");
        return fixedBy(f, "=") || (low && high && !low->isNull() && *low == *high);
    });
}

bool Dataset::keepsPlace(
    const QStringList& columns, const QList<QVariant>& original, const QList<QVariant>& values) const
{
    // A change of these moves the row in the order, or in or out of the view.
    QStringList fixed = m_view.order;
    for (const ViewSpec::Condition& c : std::as_const(m_view.conditions))
        fixed << c.field;
    for (const QString& f : std::as_const(fixed)) {
        const qsizetype at = columns.indexOf(f);
        if (at < 0 || !same(original.value(at), values.value(at)))
            return false;
    }
    return true;
}

bool Dataset::takeWrittenRows(const QList<Connection::WrittenRow>& written, bool announce, bool updatesExact)
{
    // Everything is checked before anything changes: the rows are taken whole or not at all.
    // An update writes only the fields it changed: unless nobody else wrote since the row was
    // read (a change mark tells), the stored row may hold another workstation's fields.
    std::vector<std::pair<int, QList<QVariant>>> updates;
    std::vector<Row> inserts;
    QList<qint64> deletes;
    for (const Connection::WrittenRow& w : written) {
        if (w.table.compare(m_table.name, Qt::CaseInsensitive) != 0)
            continue;
        if (w.kind == Connection::WrittenRow::Kind::Delete) {
            deletes << w.locator;
            continue;
        }
        if (w.kind == Connection::WrittenRow::Kind::Update
            && (isFiltered() || !keepsPlace(w.columns, w.original, w.values)))
            return false; // the filter rule may see the change: it may take the row in or out
        const int row = m_rows.indexOfLocator(w.locator);
        if (w.kind == Connection::WrittenRow::Kind::Update && row < 0)
            continue; // not in the view, and staying out of it
        if (w.kind == Connection::WrittenRow::Kind::Update && !updatesExact)
            return false;
        QList<QVariant> values(m_storedCount);
        for (int i = 0; i < m_storedCount; ++i) {
            const qsizetype at = w.columns.indexOf(field(i).name());
            if (at < 0)
                return false;
            values[i] = Field::fromStorage(w.values.value(at), field(i).type());
        }
        if (w.kind == Connection::WrittenRow::Kind::Update) {
            updates.emplace_back(row, std::move(values));
            continue;
        }
        const std::optional<bool> in = belongs(values);
        if (!in || (*in && (m_rows.isLazy() || !newRowsGoLast())))
            return false;
        if (m_rows.indexOfLocator(0) >= 0)
            return false; // a row inserted through this view still holds its place: a read places it
        if (*in)
            inserts.push_back(Row { w.locator, std::move(values), {}, 0 });
    }
    if (announce && ctl())
        emit aboutToReset();
    for (auto& [row, values] : updates) {
        Row& r = m_rows.at(row);
        if (!r.values.isEmpty())
            r.values = std::move(values);
        r.flags &= ~Row::Pinned;
    }
    for (Row& r : inserts)
        m_rows.insert(m_rows.count(), std::move(r));
    for (qint64 locator : std::as_const(deletes)) {
        const int row = m_rows.indexOfLocator(locator);
        if (row >= 0)
            m_rows.remove(row);
    }
    for (Row& r : m_rows.rows())
        r.extra.clear(); // calculated again, as after a read
    return true;
}

std::optional<bool> Dataset::followOwnWrites(const QString& previousShape, const QVariantList& previousValues)
{
    // A refresh is how a changed filter rule is applied: a filtered view is read.
    if (!canPlaceWrites() || isFiltered() || !m_tableMark.isValid() || !m_pending.isEmpty()
        || m_viewShape != previousShape || sql::conditionValues(m_view) != previousValues)
        return std::nullopt;
    const std::optional<QList<Connection::WrittenRow>> written = m_connection->writtenSince(m_tableMark);
    if (!written || !takeWrittenRows(*written, false, true))
        return std::nullopt;
    m_tableMark = m_connection->changeMark();
    return !written->isEmpty(); // look-ups may show any table
}

std::optional<QSet<int>> Dataset::followQueryWrites(RowStore& rows)
{
    const std::optional<QList<Connection::WrittenRow>> written = m_connection->writtenSince(m_read.mark);
    const Field* key = findField(m_followed.keyField);
    if (!written || !key || key->index() >= m_storedCount)
        return std::nullopt;
    QList<QVariant> keys;
    for (const Connection::WrittenRow& w : *written) {
        if (w.table.compare(m_followed.table, Qt::CaseInsensitive) != 0) {
            if (m_followed.reads.contains(w.table, Qt::CaseInsensitive))
                return std::nullopt;
            continue;
        }
        const qsizetype at = w.columns.indexOf(m_followed.keyField);
        if (w.kind != Connection::WrittenRow::Kind::Update || at < 0
            || !same(w.original.value(at), w.values.value(at)))
            return std::nullopt;
        const QVariant value = Field::fromStorage(w.values.value(at), key->type());
        if (!keys.contains(value))
            keys << value;
    }
    QList<int> order;
    for (const QString& name : std::as_const(m_followed.order)) {
        const Field* f = findField(name);
        if (!f || f->index() >= m_storedCount)
            return std::nullopt;
        order << f->index();
    }
    // Everything is read before anything changes: the rows are taken whole or not at all.
    std::vector<std::pair<int, QList<QVariant>>> replaced;
    const QString sql
        = QStringLiteral("SELECT * FROM (%1) AS followed WHERE followed.%2 = :orvaneFollowedKey")
              .arg(m_sql, Dialect::quoted(m_followed.keyField));
    QVariantMap params = m_params;
    for (const QVariant& value : std::as_const(keys)) {
        int row = -1;
        for (int i = 0; i < rows.count() && row < 0; ++i) {
            if (same(rows.at(i).values.value(key->index()), value))
                row = i;
        }
        if (row < 0)
            return std::nullopt; // the update may bring it in: only a read places it
        RowStore one;
        one.setDatabase(m_connection->database());
        one.setTypes(m_read.types);
        params.insert(QStringLiteral("orvaneFollowedKey"), value);
        one.startQuery(sql, params);
        one.readQueryRows({});
        if (one.count() != 1)
            return std::nullopt; // out of the view now, or shown twice by a join
        QList<QVariant>& values = one.at(0).values;
        for (const int at : std::as_const(order)) {
            if (!same(rows.at(row).values.value(at), values.value(at)))
                return std::nullopt;
        }
        replaced.emplace_back(row, std::move(values));
    }
    QSet<int> changed;
    for (auto& [row, values] : replaced) {
        const QList<QVariant>& before = rows.at(row).values;
        for (int i = 0; i < values.size(); ++i) {
            if (!same(before.value(i), values[i]))
                changed.insert(i);
        }
        rows.at(row).values = std::move(values);
    }
    return changed;
}

void Dataset::takeWrites(const QList<Connection::WrittenRow>& written)
{
    // A view that took a change mark follows our writes through it at its next read.
    if (!canPlaceWrites() || m_tableMark.isValid() || !m_pending.isEmpty() || isEditing()) {
        refresh();
        return;
    }
    const int previous = m_current;
    const qint64 locator = m_current >= 0 ? m_rows.at(m_current).locator : 0;
    if (!takeWrittenRows(written, true, false)) {
        refresh();
        return;
    }
    m_calcUpTo = 0;
    const int row = locator != 0 ? m_rows.indexOfLocator(locator) : -1;
    announceRowsTaken(previous, row >= 0 ? row : std::min(m_current, m_rows.count() - 1));
}

bool Dataset::canKeepCommittedRows()
{
    if (!canPlaceWrites())
        return false;
    for (const PendingChanges::Change& c : m_pending.changes()) {
        switch (c.kind) {
        case PendingChanges::Kind::Insert: {
            // Shown at the end when it has the master's values; a read places it by all
            // conditions and the order.
            const std::optional<bool> in = belongs(c.values);
            const bool shown = m_rows.indexOfLocator(c.locator) >= 0;
            if (!in || *in != shown || (shown && !newRowsGoLast()) || !m_written.contains(c.locator))
                return false;
            break;
        }
        case PendingChanges::Kind::Update:
            return false; // only the changed fields were written: the row is read as stored
        case PendingChanges::Kind::Delete:
            break; // hidden already
        }
    }
    return true;
}

void Dataset::commitPendingUpdates()
{
    if (!canKeepCommittedRows()) {
        m_pending.clear();
        if (isActive())
            refresh(); // follows a new current row to its stored locator
        m_written.clear();
        return;
    }
    // The rows in memory show the changes just committed: they only take their locators.
    if (ctl())
        emit aboutToReset();
    for (Row& r : m_rows.rows()) {
        if (r.locator < 0)
            r.locator = m_written.value(r.locator);
        r.flags &= ~Row::Pinned;
        r.extra.clear();
    }
    m_rows.locatorsChanged();
    m_pending.clear();
    m_written.clear();
    m_tableMark = {}; // it does not know our writes: the next read is a whole one
    m_calcUpTo = 0;
    announceRowsTaken(m_current, m_current);
}

void Dataset::announceRowsTaken(int previous, int current)
{
    m_current = m_rows.count() > 0 ? std::max(current, 0) : -1;
    m_bof = m_current <= 0;
    m_eof = m_rows.count() == 0;
    if (ctl()) {
        emit reset();
        emit currentRowChanged(previous, m_current);
        emit recordChanged({});
    }
    emit contentChanged();
    emit afterScroll();
    emit afterRefresh();
}

} // namespace db
