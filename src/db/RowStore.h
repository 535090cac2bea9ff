#pragma once

#include "db/SqlBuilder.h"
#include "db/TableDef.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <vector>

namespace db {

// One row of a view. A large view keeps only the locators of its rows and reads their values
// a page at a time when they are needed; a small one reads everything at once.
struct Row {
    enum Flag : quint8 { Pinned = 0x1 }; // holds unsaved values: never dropped from memory
    qint64 locator = 0; // SQLite rowid; < 0: a cached new row; 0: the row being inserted
    QList<QVariant> values; // stored fields, empty until read
    QList<QVariant> extra; // look-up and calculated fields, empty until computed
    quint8 flags = 0;
};

class RowStore {
public:
    using Filter = std::function<bool(Row&)>;

    // Rows read in full when opening; beyond this the view reads locators only.
    static constexpr int kEagerRows = 1000;
    // A view with running balances needs every row above the one shown: it reads this many at once.
    static constexpr int kEagerSequentialRows = 20000;
    static constexpr int kPageRows = 128;
    static constexpr int kJumpRows = 16; // a row far from any row read: a locate, not a scroll
    // Values kept in memory before rows far from the one asked for are dropped again.
    static constexpr int kMaxLoadedRows = 8000;

    void setDatabase(const QSqlDatabase& database);
    bool hasDatabase() const { return m_database.isValid(); }
    void setTypes(QList<FieldType> types) { m_types = std::move(types); }

    // Reads the rows of a table view. With a filter every row is read and tested.
    // `sameShape`: only bound values differ from the last read, the statement stays prepared.
    // `eagerRows`: how many rows are read in full before the view falls back to locators.
    void loadTable(const ViewSpec& view, const Filter& filter, bool sameShape = false, int eagerRows = kEagerRows);
    // Runs a statement with named parameters; returns its columns before the rows are read.
    QSqlRecord startQuery(const QString& sql, const QVariantMap& params);
    void readQueryRows(const Filter& filter);

    void clear();
    int count() const { return static_cast<int>(m_rows.size()); }
    bool isLazy() const { return m_lazy; }
    Row& at(int index) { return m_rows[static_cast<size_t>(index)]; }
    // The row with its values read.
    Row& loaded(int index);
    void insert(int index, Row row);
    void remove(int index);
    int indexOfLocator(qint64 locator) const;
    // Call after changing a row's locator in place.
    void locatorsChanged() { m_positions.clear(); }
    // Fills a row that has no values yet from a query positioned on it.
    void fill(int index, const QSqlQuery& query, int offset);
    std::vector<Row>& rows() { return m_rows; }

private:
    void readValues(const QSqlQuery& query, int offset, Row& row) const;
    void loadPage(int around);
    bool nearLoadedRow(int index) const;
    void indexPositions() const;
    void dropFarRows(int around);
    QSqlQuery& prepared(QSqlQuery& query, QString& preparedSql, const QString& sql);

    QSqlDatabase m_database;
    QList<FieldType> m_types;
    std::vector<Row> m_rows;
    ViewSpec m_view;
    bool m_lazy = false;
    int m_loadedCount = 0;
    QSqlQuery m_rowsQuery;
    QString m_rowsSql;
    QSqlQuery m_pageQuery;
    QString m_pageSql;
    QSqlQuery m_jumpQuery;
    QString m_jumpSql;
    mutable QHash<qint64, int> m_positions; // row by locator, built when first asked
    QSqlQuery m_query;
};

} // namespace db
