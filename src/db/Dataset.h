#pragma once

#include "db/Connection.h"
#include "db/DatasetTypes.h"
#include "db/DataSource.h"
#include "db/Errors.h"
#include "db/Field.h"
#include "db/PendingChanges.h"
#include "db/RowStore.h"
#include "db/RuleChain.h"
#include "db/TableDef.h"
#include "db/TextIndex.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <vector>

namespace db {

class Connection;

// A view: a named cursor over a table or a query, with its own order, master link, range,
// filter, look-up and calculated fields, states and record commands. Posts and deletes are
// written at once in a transaction, or, with cached updates, kept pending (and visible) until
// applyUpdates().
//
// Rules are ordered lists (RuleChain.h) that the view calls directly: those with a veto throw
// db::Abort to refuse; the after-rules act once the change is made (storing a group, a ledger
// row) and may throw too, to the caller of the command, never through a signal. The "after"
// signals follow for listeners that only look. Signals that bound controls, grids and detail
// views follow are held back while the controls are disabled; enabling them again announces
// one reset.
class Dataset : public QObject {
    Q_OBJECT
public:
    using Rules = ActionRules<Dataset&>;

    explicit Dataset(QObject* parent = nullptr);
    ~Dataset() override;

    // Rules with a veto: throwing db::Abort refuses the operation.
    Rules onNewRecord, beforeInsert, beforeEdit, beforePost, beforeDelete;
    // After-rules: run once the change is made, before the signal of the same name.
    Rules afterEditRules, afterPostRules, afterDeleteRules, afterCancelRules;
    ActionRules<Dataset&, const QString&> onFieldChange; // a field of the current row was set
    Rules onCalcFields; // runs per row, rows in display order; writes the calculated fields
    FilterRules<const Dataset&> onFilterRecord; // sees the stored fields of the row; every rule must keep it

    // --- source and shape (set while closed) ---
    void setTable(Connection& connection, const TableDef& table);
    // A read-only view of a statement with named parameters (":Name").
    void setQuery(Connection& connection, const QString& sql, const QVariantMap& params = {});
    void setParam(const QString& name, const QVariant& value) { m_params.insert(name, value); }
    // Declares the result columns of a query; otherwise they are taken from the result.
    void setQueryFields(const QList<FieldDef>& fields);
    const TableDef& tableDef() const { return m_table; }
    bool isQuery() const { return m_source == Source::Query; }
    const QString& statement() const { return m_sql; }
    const QVariantMap& params() const { return m_params; }
    // A query whose rows each show one row of `table`, found by `keyField` among its columns,
    // follows our own updates of that table when it runs again on otherwise unchanged data: the
    // rows updated are read again alone and keep their places. `reads` names every table the
    // statement reads. An insert or delete there, a write to another table it reads, or an
    // update that moves a row in `order` (the result's order fields) reads the whole view again.
    struct FollowedRows {
        QString table;
        QString keyField;
        QStringList order;
        QStringList reads;
        bool isSet() const { return !table.isEmpty(); }
    };
    void setFollowedRows(FollowedRows rows) { m_followed = std::move(rows); }
    const FollowedRows& followedRows() const { return m_followed; }
    // What the rows of a table view were last read with (table, columns, conditions, order).
    const ViewSpec& readSpec() const { return m_view; }

    // Order by a named index of the table, or by fields; either replaces the other.
    void setIndexName(const QString& indexName);
    void setOrderBy(const QStringList& fields, bool descending = false);
    const QStringList& orderFields() const { return m_orderFields; }
    // Limits the view to rows whose leading order fields lie between the two keys.
    // `NoneStored`: the key was just taken from a generator, so no stored row can lie in the
    // range; the view shows its unsaved rows only, without reading.
    enum class RangeRows { Read, NoneStored };
    void setRange(const QVariantList& low, const QVariantList& high, RangeRows rows = RangeRows::Read);
    void cancelRange();
    // Keeps the view to the rows whose detail fields equal the master's fields in its current
    // row, and follows the master as it moves. Empty detail fields: the order fields.
    void setMaster(DataSource* master, const QStringList& masterFields, const QStringList& detailFields = {});
    void clearMaster();
    DataSource* master() const { return m_master.data(); }
    const QStringList& masterFields() const { return m_masterFields; }
    const QStringList& detailFields() const { return m_detailFields; }
    // Conditions of a table view's statement, asked for at each read, applied while the view
    // is filtered: a filter the database evaluates, so that the rows left out are never read.
    void setFilterConditions(std::function<QList<ViewSpec::Condition>()> conditions)
    {
        m_filterConditions = std::move(conditions);
    }
    void setFiltered(bool filtered);
    bool isFiltered() const { return m_filtered && !onFilterRecord.isEmpty(); }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly || m_source == Source::Query; }
    void setCachedUpdates(bool cached);
    bool cachedUpdates() const { return m_cached; }
    // Fields the rules compute afresh from the database (a balance): stored as computed, never
    // a conflict with another workstation's edit.
    void setRecomputedFields(QStringList fields) { m_recomputed = std::move(fields); }
    // Calculated fields are computed in display order (running balances) unless turned off.
    void setSequentialCalc(bool sequential) { m_sequentialCalc = sequential; }

    // A field showing `resultField` of the row of `source` whose `sourceKeys` equal this row's
    // `keyFields`, found by key through the source's index.
    Field& addLookupField(const FieldDef& def, const QStringList& keyFields, Dataset& source,
        const QStringList& sourceKeys, const QString& resultField);
    Field& addLookupField(const FieldDef& def, const QStringList& keyFields, const QString& table,
        const QStringList& tableKeys, const QString& resultField);
    Field& addCalculatedField(const FieldDef& def);

    // --- fields ---
    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    Field& field(int index) const { return *m_fields[static_cast<size_t>(index)]; }
    Field& field(QStringView name) const; // throws DatabaseError when there is none
    Field* findField(QStringView name) const;
    QVariant value(QStringView name) const { return field(name).value(); }
    void setValue(QStringView name, const QVariant& value) { field(name).setValue(value); }

    // --- open, close, refresh ---
    void open();
    void close();
    bool isActive() const { return m_state != DatasetState::Inactive; }
    // Re-reads the rows and stays on the same row (by its key) when it is still there.
    void refresh();
    // Re-reads the rows for what other workstations changed, quietly: the current row stays
    // (by its key), grids keep their selection and scroll, nothing is posted. A view in edit
    // (or collecting a key, or with its controls disabled) is left as it is: false, to be
    // asked again later.
    bool refreshForOthers();

    // --- cursor ---
    DatasetState state() const { return m_state; }
    bool isEditing() const { return m_state == DatasetState::Edit || m_state == DatasetState::Insert; }
    bool isModified() const { return m_modified; }
    int recordCount() const { return m_rows.count(); }
    bool isEmpty() const { return recordCount() == 0; }
    int currentRow() const { return m_current; }
    // The 1-based number of the active row: inside the calculation rule the row being
    // calculated, otherwise the current row (0 when there is none).
    int recNo() const { return m_calcTarget ? m_calcRowIndex + 1 : m_current + 1; }
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    void first();
    void prior();
    void next();
    void last();
    int moveBy(int distance);
    void moveTo(int row);
    bool locate(const QStringList& fields, const QVariantList& values, LocateOptions options = {});
    bool locate(const QString& field, const QVariant& value, LocateOptions options = {})
    {
        return locate(QStringList { field }, QVariantList { value }, options);
    }
    // A locate of a query view by text (PartialKey, CaseInsensitive) on one field searches a
    // sorted index of the field's texts, built at the first such locate or here beforehand.
    void prepareTextLocate(const QString& field, LocateOptions options);
    // The value of `resultField` in the first row whose `keyFields` equal `keys`; the cursor
    // does not move.
    QVariant lookup(const QStringList& keyFields, const QVariantList& keys, const QString& resultField);
    // Search by the leading order fields: setKey(), set the key fields, gotoKey().
    void setKey();
    bool gotoKey();
    bool findKey(const QVariantList& keys);

    // --- record commands ---
    void insert();
    void append();
    void edit();
    void post();
    void cancel();
    void remove();
    // Posts a modified row and drops an untouched one: what moving away from a row does.
    void checkBrowseMode();

    // --- cached updates ---
    bool hasPendingUpdates() const { return !m_pending.isEmpty(); }
    void applyUpdates();
    void cancelUpdates();
    // For UpdateGroup: write without a transaction of its own, then settle after the commit.
    void writePendingUpdates();
    void commitPendingUpdates();
    // Rows this workstation has just written (a group stored with its master), taken into
    // the rows in memory when a read would show them the same; otherwise read again.
    void takeWrites(const QList<Connection::WrittenRow>& written);

    // --- controls ---
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disabled > 0; }

    // --- row access for grids (does not move the cursor) ---
    QVariant rowValue(int row, int fieldIndex);
    qint64 locatorAt(int row) { return m_rows.at(row).locator; }
    int rowOfLocator(qint64 locator) const { return m_rows.indexOfLocator(locator); }
    Connection* connection() const { return m_connection; }

    // --- used by Field ---
    QVariant activeValue(int fieldIndex) const;
    void setActiveValue(int fieldIndex, const QVariant& value);

signals:
    // Always emitted: the events of the record rules.
    void afterOpen();
    void afterClose();
    void afterInsert();
    void afterEdit();
    void afterPost();
    void afterCancel();
    void afterDelete();
    void afterScroll();
    void afterRefresh();
    void fieldChanged(const QString& fieldName);
    void contentChanged(); // rows were read again or changed: look-up caches are stale

    // Held back while the controls are disabled.
    void stateChanged(db::DatasetState state);
    void recordChanged(const QString& fieldName); // empty: the whole current row
    void currentRowChanged(int previous, int current);
    void aboutToReset();
    void reset();
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowsChanged(int first, int last);
    // Around a quiet re-read (refreshForOthers): rows may come, go and move; a row keeps its
    // locator (locatorAt) and is found again by it.
    void aboutToRearrange();
    void rearranged();

private:
    enum class Source { None, Table, Query };
    struct Lookup {
        int fieldIndex;
        QStringList keyFields;
        QPointer<Dataset> source;
        QString table;
        QStringList sourceKeys;
        QString resultField;
        QHash<QString, QVariant> cache;
        QList<int> keyIndexes; // of keyFields, found at the first row after the fields are built
    };

    // DatasetSource.cpp
    void buildTableFields();
    void buildQueryFields(const QSqlRecord& record);
    Field& addExtraField(const FieldDef& def, FieldKind kind);
    int storedFieldCount() const { return m_storedCount; }
    QStringList storedFieldNames() const;
    ViewSpec viewSpec() const;
    void loadRows();
    void reloadKeeping(qint64 locator, int fallbackRow);
    void postCachedAndStore();
    void mergePending();
    void followMaster();
    QVariantList masterValues() const;
    bool evaluateFilter(Row& row);
    void requireActive() const;

    // DatasetRows.cpp
    QSqlQuery& keyQuery(const QString& key, const std::function<QString()>& statement);
    Row& currentRowData();
    Row& rowWithExtras(int row);
    void computeExtras(Row& row, int rowIndex);
    void invalidateExtrasFrom(int row);
    QVariant resolveLookup(Lookup& lookup, const Row& row);
    QVariant lookupInMemory(
        const QStringList& keyFields, const QVariantList& keys, const QString& resultField);
    int findRow(const QStringList& fields, const QVariantList& values, LocateOptions options);
    int findRowBySql(const QStringList& fields, const QVariantList& values);
    QVariantList coerceKeys(const QStringList& fields, const QVariantList& values) const;
    const TextIndex& textIndex(int fieldIndex, LocateOptions options);

    // Dataset.cpp
    void beginInsert(int position);
    void setState(DatasetState state);
    void setCurrent(int row, bool forceSignal = false);
    void checkRequired() const;
    void writeThrough();
    void postCached();
    void discardEdit();
    // A write refused because another workstation changed the row: names the fields by their
    // labels and lets the user's choice be carried out here.
    void offerSettlement(ChangedElsewhere& conflict);
    bool settleConflict(ChangedElsewhere::Operation operation, qint64 locator,
        const QList<ChangedElsewhere::FieldChange>& fields, ChangedElsewhere::Choice choice);

    bool ctl() const { return m_disabled == 0; }
    // After the connection was opened again its statements are prepared again.
    void followReconnection()
    {
        if (m_connection && m_connection->generation() != m_generation)
            forgetStatements();
    }
    void forgetStatements();

    Connection* m_connection = nullptr;
    Source m_source = Source::None;
    TableDef m_table;
    QString m_sql;
    QVariantMap m_params;
    QList<FieldDef> m_declaredQueryFields;
    bool m_queryFieldsBuilt = false;

    std::vector<std::unique_ptr<Field>> m_fields;
    mutable QHash<QString, int> m_fieldByName; // by the exact name, built when first asked
    int m_storedCount = 0;
    std::vector<Lookup> m_lookups;

    QStringList m_orderFields;
    bool m_descending = false;
    QVariantList m_rangeLow;
    QVariantList m_rangeHigh;
    bool m_rangeNoneStored = false; // for the next read only
    QPointer<DataSource> m_master;
    QStringList m_masterFields;
    QStringList m_detailFields;
    QVariantList m_linkedValues;
    QList<QMetaObject::Connection> m_masterConnections;
    bool m_filtered = true;
    bool m_readOnly = false;
    bool m_cached = false;
    bool m_sequentialCalc = true;
    QStringList m_recomputed;
    quint64 m_generation = 0; // of the connection the statements were prepared on

    RowStore m_rows;
    PendingChanges m_pending;
    DatasetState m_state = DatasetState::Inactive;
    int m_current = -1;
    bool m_bof = true;
    bool m_eof = true;
    Row m_edit; // the row being edited or inserted
    QList<QVariant> m_original;
    QList<QVariant> m_keyBuffer;
    bool m_modified = false;
    int m_rowBeforeInsert = -1;
    int m_calcUpTo = 0;
    Row* m_calcTarget = nullptr; // the row a calc or filter rule is looking at
    int m_calcRowIndex = -1;
    int m_disabled = 0;
    QHash<QString, std::shared_ptr<QSqlQuery>> m_keyQueries; // by what they look for
    QHash<int, TextIndex> m_textIndexes; // of a query view, by field and case; until read again
    ViewSpec m_view; // what the rows were last read with
    QString m_viewShape; // its statements' text apart from the bound values
    QHash<qint64, qint64> m_written; // locators of new rows just written, by pending locator

    // A query view run again on an unchanged database (Connection::changeMark) keeps the rows
    // it read, also across a close: the search dialogs run a list of every patient each time.
    struct QueryResult {
        Connection::ChangeMark mark; // not valid: not to be reused
        QString sql;
        QVariantMap params;
        QSqlRecord record;
        QList<FieldType> types;
    };
    bool reuseQueryRows(const Connection::ChangeMark& mark);
    // The fields whose values changed; nothing when the view must be read again.
    std::optional<QSet<int>> followQueryWrites(RowStore& rows); // DatasetOwnWrites.cpp
    FollowedRows m_followed;
    QueryResult m_read; // what the rows in m_rows (or m_closedRows) came from
    RowStore m_closedRows;
    QHash<int, TextIndex> m_closedTextIndexes;
    // DatasetOwnWrites.cpp. A table view read again when only our own writes of single rows
    // happened since its last read takes them into its rows instead: a post does not read
    // 50,000 patients again. Nothing when it must read again, else whether anything was
    // written at all.
    std::optional<bool> followOwnWrites(const QString& previousShape, const QVariantList& previousValues);
    bool canPlaceWrites() const;
    // Whether stored values meet the conditions the rows were read with and the filter rule;
    // nothing when that cannot be told without the database.
    std::optional<bool> belongs(const QList<QVariant>& values);
    bool newRowsGoLast() const;
    bool keepsPlace(
        const QStringList& columns, const QList<QVariant>& original, const QList<QVariant>& values) const;
    // Takes the written rows of this view's table, or changes nothing and returns false when
    // a read could show one of them otherwise. `announce`: signal the reset before;
    // `updatesExact`: nobody else wrote since the rows were read.
    bool takeWrittenRows(const QList<Connection::WrittenRow>& written, bool announce, bool updatesExact);
    bool canKeepCommittedRows();
    void announceRowsTaken(int previous, int current);
    Connection::ChangeMark m_tableMark; // taken before the last read of a table view
    std::function<QList<ViewSpec::Condition>()> m_filterConditions;
};

} // namespace db
