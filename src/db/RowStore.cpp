#include "db/RowStore.h"

#include "db/Dialect.h"

#include "db/Errors.h"
#include "db/Field.h"

#include <QHash>
#include <QSqlError>
#include <QSqlField>

namespace db {
namespace {

[[noreturn]] void fail(const QSqlQuery& query)
{
    throwSqlError(QStringLiteral("The records could not be read"), query.lastError(), query.lastQuery());
}

void bindAll(QSqlQuery& query, const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
}

} // namespace

QSqlQuery& RowStore::prepared(QSqlQuery& query, QString& preparedSql, const QString& sql)
{
    // A view that follows its master runs the same statement over and over: prepare it once.
    if (preparedSql != sql) {
        query = QSqlQuery(m_database);
        query.setForwardOnly(true);
        if (!query.prepare(adaptFor(m_database, sql)))
            fail(query);
        preparedSql = sql;
    }
    return query;
}

void RowStore::setDatabase(const QSqlDatabase& database)
{
    m_database = database;
    m_rowsSql.clear();
    m_pageSql.clear();
    m_jumpSql.clear();
}

void RowStore::clear()
{
    m_positions.clear();
    m_rows.clear();
    m_lazy = false;
    m_loadedCount = 0;
}

void RowStore::readValues(const QSqlQuery& query, int offset, Row& row) const
{
    row.values.resize(m_types.size());
    for (int c = 0; c < m_types.size(); ++c)
        row.values[c] = Field::fromStorage(query.value(c + offset), m_types[c]);
}

void RowStore::loadTable(const ViewSpec& view, const Filter& filter, bool sameShape, int eagerRows)
{
    clear();
    m_view = view;
    QSqlQuery& rows = sameShape && !m_rowsSql.isEmpty() ? m_rowsQuery : prepared(m_rowsQuery, m_rowsSql, sql::selectRows(view));
    bindAll(rows, sql::conditionValues(view));
    if (!rows.exec())
        fail(rows);
    bool moreRows = false;
    Row tested; // a filtered view tests every row in this one buffer
    while (rows.next()) {
        if (!filter && count() == eagerRows) {
            moreRows = true;
            break;
        }
        if (!filter) {
            Row row;
            row.locator = rows.value(0).toLongLong();
            readValues(rows, 1, row);
            m_rows.push_back(std::move(row));
            ++m_loadedCount;
            continue;
        }
        tested.locator = rows.value(0).toLongLong();
        readValues(rows, 1, tested);
        if (!filter(tested))
            continue;
        // Past its first rows a long filtered view keeps where its rows are, as a long
        // unfiltered one does; their values are read again a page at a time when needed.
        Row kept;
        kept.locator = tested.locator;
        if (count() < eagerRows) {
            kept.values = std::move(tested.values);
            tested.values = {};
            ++m_loadedCount;
        } else {
            m_lazy = true;
        }
        m_rows.push_back(std::move(kept));
    }
    rows.finish();
    if (!moreRows) {
        indexPositions();
        return;
    }
    m_lazy = true;

    // A large view: read the locators only, values follow a page at a time. The rows read so
    // far come first in the same order (the locator breaks ties) and keep their values.
    std::vector<Row> head = std::move(m_rows);
    m_rows.clear();
    m_loadedCount = 0;
    QSqlQuery keys(m_database);
    keys.setForwardOnly(true);
    if (!keys.prepare(adaptFor(m_database, sql::selectLocators(view))))
        fail(keys);
    bindAll(keys, sql::conditionValues(view));
    if (!keys.exec())
        fail(keys);
    m_rows.reserve(head.size() * 2);
    while (keys.next()) {
        Row row;
        row.locator = keys.value(0).toLongLong();
        const size_t i = m_rows.size();
        if (i < head.size() && head[i].locator == row.locator) {
            row.values = std::move(head[i].values);
            ++m_loadedCount;
        }
        m_rows.push_back(std::move(row));
    }
    indexPositions();
}

void RowStore::indexPositions() const
{
    // Built with the rows, so that the first locate after opening costs no more than the next.
    m_positions.clear();
    m_positions.reserve(static_cast<qsizetype>(m_rows.size()));
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_positions.insert(m_rows[i].locator, static_cast<int>(i));
}

QSqlRecord RowStore::startQuery(const QString& sql, const QVariantMap& params)
{
    clear();
    m_query = QSqlQuery(m_database);
    m_query.setForwardOnly(true);
    if (!m_query.prepare(adaptFor(m_database, sql)))
        fail(m_query);
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        m_query.bindValue(QLatin1Char(':') + it.key(), it.value());
    if (!m_query.exec())
        fail(m_query);
    return m_query.record();
}

void RowStore::readQueryRows(const Filter& filter)
{
    qint64 number = 0;
    while (m_query.next()) {
        Row row;
        row.locator = ++number;
        readValues(m_query, 0, row);
        if (filter && !filter(row))
            continue;
        m_rows.push_back(std::move(row));
    }
    m_query = QSqlQuery();
    m_loadedCount = count();
}

Row& RowStore::loaded(int index)
{
    Row& row = at(index);
    if (row.values.isEmpty() && row.locator > 0 && m_lazy)
        loadPage(index);
    return at(index);
}

bool RowStore::nearLoadedRow(int index) const
{
    auto loadedAt = [this](int i) { return i >= 0 && i < count() && !m_rows[static_cast<size_t>(i)].values.isEmpty(); };
    return loadedAt(index - 1) || loadedAt(index + 1);
}

void RowStore::loadPage(int around)
{
    // Next to rows already read the view is being scrolled: read a page, mostly forward, as a
    // grid scrolls down more often than up. Elsewhere it jumped (a locate): read a few rows.
    const bool scrolling = nearLoadedRow(around);
    const int size = scrolling ? kPageRows : kJumpRows;
    const int first = std::max(0, around - size / 4);
    const int last = std::min(count(), first + size);
    QHash<qint64, int> wanted;
    for (int i = first; i < last; ++i) {
        const Row& r = at(i);
        if (r.values.isEmpty() && r.locator > 0)
            wanted.insert(r.locator, i);
    }
    if (wanted.isEmpty())
        return;
    QSqlQuery& page = scrolling ? prepared(m_pageQuery, m_pageSql, sql::selectByLocators(m_view, kPageRows))
                                : prepared(m_jumpQuery, m_jumpSql, sql::selectByLocators(m_view, kJumpRows));
    int bound = 0;
    qint64 any = 0;
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        page.bindValue(bound++, it.key());
        any = it.key();
    }
    while (bound < size)
        page.bindValue(bound++, any); // the same statement serves a short page
    if (!page.exec())
        fail(page);
    while (page.next()) {
        const auto hit = wanted.constFind(page.value(0).toLongLong());
        if (hit == wanted.cend())
            continue;
        Row& row = at(hit.value());
        if (row.values.isEmpty()) {
            readValues(page, 1, row);
            ++m_loadedCount;
        }
    }
    page.finish();
    // A row deleted by another workstation since opening shows empty values until refreshed.
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        Row& row = at(it.value());
        if (row.values.isEmpty()) {
            row.values.resize(m_types.size());
            ++m_loadedCount;
        }
    }
    if (m_loadedCount > kMaxLoadedRows)
        dropFarRows(around);
}

void RowStore::dropFarRows(int around)
{
    for (int i = 0; i < count(); ++i) {
        if (std::abs(i - around) <= kPageRows)
            continue;
        Row& row = at(i);
        if (row.locator > 0 && !(row.flags & Row::Pinned) && !row.values.isEmpty()) {
            row.values = {};
            --m_loadedCount;
        }
    }
}

void RowStore::fill(int index, const QSqlQuery& query, int offset)
{
    Row& row = at(index);
    if (!row.values.isEmpty())
        return;
    readValues(query, offset, row);
    ++m_loadedCount;
}

void RowStore::insert(int index, Row row)
{
    m_positions.clear();
    if (!row.values.isEmpty())
        ++m_loadedCount;
    m_rows.insert(m_rows.begin() + index, std::move(row));
}

void RowStore::remove(int index)
{
    m_positions.clear();
    if (!at(index).values.isEmpty())
        --m_loadedCount;
    m_rows.erase(m_rows.begin() + index);
}

int RowStore::indexOfLocator(qint64 locator) const
{
    if (m_positions.isEmpty() && !m_rows.empty())
        indexPositions();
    return m_positions.value(locator, -1);
}

} // namespace db
