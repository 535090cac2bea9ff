// Source, shape and reading of a view: fields, order, range, master link, open and refresh.
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "db/Errors.h"

#include <QSqlField>

namespace db {
namespace {

FieldType typeOfColumn(const QSqlField& column)
{
    switch (column.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return FieldType::Int32;
    case QMetaType::Double:
        return FieldType::Float64;
    case QMetaType::Bool:
        return FieldType::Boolean;
    case QMetaType::QDate:
        return FieldType::Date;
    case QMetaType::QTime:
        return FieldType::Time;
    case QMetaType::QDateTime:
        return FieldType::DateTime;
    case QMetaType::QByteArray:
        return FieldType::Binary;
    default:
        return FieldType::Memo; // text of unknown width
    }
}

} // namespace

Dataset::Dataset(QObject* parent)
    : QObject(parent)
{
}

Dataset::~Dataset() = default;

void Dataset::requireActive() const
{
    if (!isActive())
        throw DatabaseError(QStringLiteral("The view %1 is not open.").arg(objectName()));
}

void Dataset::setTable(Connection& connection, const TableDef& table)
{
    if (isActive())
        throw DatabaseError(QStringLiteral("Cannot change the source of an open view."));
    m_connection = &connection;
    m_source = Source::Table;
    m_table = table;
    m_viewShape.clear();
    buildTableFields();
}

void Dataset::setQuery(Connection& connection, const QString& sql, const QVariantMap& params)
{
    if (isActive())
        throw DatabaseError(QStringLiteral("Cannot change the source of an open view."));
    m_connection = &connection;
    m_source = Source::Query;
    m_table = TableDef {};
    m_sql = sql;
    m_params = params;
    m_queryFieldsBuilt = false;
}

void Dataset::setQueryFields(const QList<FieldDef>& fields)
{
    m_declaredQueryFields = fields;
    m_queryFieldsBuilt = false;
}

void Dataset::buildTableFields()
{
    // Look-up and calculated fields stay; the stored ones come first.
    std::vector<std::unique_ptr<Field>> extras;
    for (auto& f : m_fields) {
        if (f->kind() != FieldKind::Data)
            extras.push_back(std::move(f));
    }
    m_fields.clear();
    m_fieldByName.clear();
    for (const FieldDef& def : std::as_const(m_table.fields))
        m_fields.push_back(
            std::make_unique<Field>(*this, static_cast<int>(m_fields.size()), def, FieldKind::Data));
    m_storedCount = static_cast<int>(m_fields.size());
    for (auto& f : extras) {
        auto replacement
            = std::make_unique<Field>(*this, static_cast<int>(m_fields.size()), f->definition(), f->kind());
        for (Lookup& l : m_lookups) {
            if (l.fieldIndex == f->index())
                l.fieldIndex = replacement->index();
            l.keyIndexes.clear();
        }
        m_fields.push_back(std::move(replacement));
    }
}

void Dataset::buildQueryFields(const QSqlRecord& record)
{
    if (m_declaredQueryFields.isEmpty()) {
        for (int i = 0; i < record.count(); ++i)
            m_table.fields.append(FieldDef { record.fieldName(i), typeOfColumn(record.field(i)), 0, {}, {} });
    } else {
        m_table.fields = m_declaredQueryFields;
    }
    // The search dialog qualifies columns by the table they come from.
    for (qsizetype i = 0; i < m_table.fields.size() && i < record.count(); ++i) {
        if (m_table.fields[i].origin.isEmpty())
            m_table.fields[i].origin = record.field(static_cast<int>(i)).tableName();
    }
    buildTableFields();
    m_queryFieldsBuilt = true;
}

Field& Dataset::addExtraField(const FieldDef& def, FieldKind kind)
{
    if (isActive())
        throw DatabaseError(QStringLiteral("Cannot add the field %1 to an open view.").arg(def.name));
    if (findField(def.name))
        throw DatabaseError(QStringLiteral("The view already has a field %1.").arg(def.name));
    m_fields.push_back(std::make_unique<Field>(*this, static_cast<int>(m_fields.size()), def, kind));
    m_fieldByName.clear();
    return *m_fields.back();
}

Field& Dataset::addLookupField(const FieldDef& def, const QStringList& keyFields, Dataset& source,
    const QStringList& sourceKeys, const QString& resultField)
{
    Field& f = addExtraField(def, FieldKind::Lookup);
    m_lookups.push_back({ f.index(), keyFields, &source, {}, sourceKeys, resultField, {}, {} });
    const int lookupIndex = static_cast<int>(m_lookups.size()) - 1;
    connect(&source, &Dataset::contentChanged, this, [this, lookupIndex] {
        m_lookups[static_cast<size_t>(lookupIndex)].cache.clear();
        invalidateExtrasFrom(0);
    });
    return f;
}

Field& Dataset::addLookupField(const FieldDef& def, const QStringList& keyFields, const QString& table,
    const QStringList& tableKeys, const QString& resultField)
{
    Field& f = addExtraField(def, FieldKind::Lookup);
    m_lookups.push_back({ f.index(), keyFields, nullptr, table, tableKeys, resultField, {}, {} });
    return f;
}

Field& Dataset::addCalculatedField(const FieldDef& def)
{
    return addExtraField(def, FieldKind::Calculated);
}

Field* Dataset::findField(QStringView name) const
{
    // Rules ask for fields by name on every row: most spell it as declared, a hash finds those.
    if (m_fieldByName.isEmpty()) {
        for (const auto& f : m_fields)
            m_fieldByName.insert(f->name(), f->index());
    }
    const auto exact = m_fieldByName.constFind(QString::fromRawData(name.data(), name.size()));
    if (exact != m_fieldByName.cend())
        return m_fields[static_cast<size_t>(exact.value())].get();
    for (const auto& f : m_fields) {
        if (f->name().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    }
    return nullptr;
}

Field& Dataset::field(QStringView name) const
{
    if (Field* f = findField(name))
        return *f;
    throw DatabaseError(QStringLiteral("The view %1 has no field %2.").arg(objectName(), name.toString()));
}

QStringList Dataset::storedFieldNames() const
{
    QStringList names;
    for (int i = 0; i < m_storedCount; ++i)
        names << m_fields[static_cast<size_t>(i)]->name();
    return names;
}

void Dataset::setIndexName(const QString& indexName)
{
    for (const IndexDef& index : std::as_const(m_table.indexes)) {
        if (index.name.compare(indexName, Qt::CaseInsensitive) == 0) {
            setOrderBy(index.fields);
            return;
        }
    }
    throw DatabaseError(QStringLiteral("The table %1 has no index %2.").arg(m_table.name, indexName));
}

void Dataset::setOrderBy(const QStringList& fields, bool descending)
{
    m_viewShape.clear();
    for (const QString& f : fields)
        field(f); // a misspelt name fails here, not in SQL later
    m_orderFields = fields;
    m_descending = descending;
    if (isActive())
        refresh();
}

void Dataset::setRange(const QVariantList& low, const QVariantList& high, RangeRows rows)
{
    m_viewShape.clear();
    if (low.size() > m_orderFields.size() || high.size() > m_orderFields.size())
        throw DatabaseError(
            QStringLiteral("The range has more values than the order of %1 has fields.").arg(objectName()));
    m_rangeLow = low;
    m_rangeHigh = high;
    if (isActive()) {
        m_rangeNoneStored = rows == RangeRows::NoneStored;
        try {
            refresh();
        } catch (...) {
            m_rangeNoneStored = false;
            throw;
        }
        m_rangeNoneStored = false;
    }
}

void Dataset::cancelRange()
{
    setRange({}, {});
}

void Dataset::setFiltered(bool filtered)
{
    m_filtered = filtered;
    if (isActive())
        refresh();
}

void Dataset::setCachedUpdates(bool cached)
{
    if (!cached && hasPendingUpdates())
        throw DatabaseError(
            QStringLiteral("The view %1 has changes that are not stored yet.").arg(objectName()));
    m_cached = cached;
}

void Dataset::setMaster(DataSource* master, const QStringList& masterFields, const QStringList& detailFields)
{
    clearMaster();
    const QStringList details
        = detailFields.isEmpty() ? m_orderFields.mid(0, masterFields.size()) : detailFields;
    if (!master || details.size() != masterFields.size())
        throw DatabaseError(
            QStringLiteral("The master link of %1 needs as many detail fields as master fields.")
                .arg(objectName()));
    m_viewShape.clear();
    m_master = master;
    m_masterFields = masterFields;
    m_detailFields = details;
    auto follow = [this] { followMaster(); };
    m_masterConnections << connect(master, &DataSource::dataChanged, this, [this](const QString& fieldName) {
        if (fieldName.isEmpty() || m_masterFields.contains(fieldName, Qt::CaseInsensitive))
            followMaster();
    });
    m_masterConnections << connect(master, &DataSource::stateChanged, this, follow);
    m_masterConnections << connect(master, &DataSource::datasetChanged, this, follow);
    if (isActive())
        followMaster();
}

void Dataset::clearMaster()
{
    m_viewShape.clear();
    for (const auto& c : std::as_const(m_masterConnections))
        disconnect(c);
    m_masterConnections.clear();
    m_master = nullptr;
    m_masterFields.clear();
    m_detailFields.clear();
    m_linkedValues.clear();
}

QVariantList Dataset::masterValues() const
{
    QVariantList values;
    Dataset* masterSet = m_master ? m_master->dataset() : nullptr;
    const bool hasRow = masterSet && masterSet->isActive() && (!masterSet->isEmpty());
    for (const QString& f : m_masterFields)
        values << (hasRow ? masterSet->field(f).value() : QVariant());
    return values;
}

void Dataset::followMaster()
{
    if (!isActive() || !m_master)
        return;
    if (masterValues() == m_linkedValues)
        return;
    // Leaving the master's row leaves this view's row too.
    checkBrowseMode();
    reloadKeeping(0, 0);
}

ViewSpec Dataset::viewSpec() const
{
    ViewSpec view;
    view.table = m_table.name;
    view.locator = m_connection->dialect().rowLocator(m_table);
    view.columns = storedFieldNames();
    view.order = m_orderFields;
    view.descending = m_descending;
    for (int i = 0; i < m_detailFields.size(); ++i)
        view.conditions.append({ m_detailFields[i], QStringLiteral("="), m_linkedValues.value(i) });
    for (int i = 0; i < m_rangeLow.size(); ++i)
        view.conditions.append({ m_orderFields[i], QStringLiteral(">="), m_rangeLow[i] });
    for (int i = 0; i < m_rangeHigh.size(); ++i)
        view.conditions.append({ m_orderFields[i], QStringLiteral("<="), m_rangeHigh[i] });
    if (m_filtered && m_filterConditions)
        view.conditions += m_filterConditions();
    return view;
}

bool Dataset::evaluateFilter(Row& row)
{
    Row* saved = m_calcTarget;
    const int savedIndex = m_calcRowIndex;
    m_calcTarget = &row;
    m_calcRowIndex = m_rows.count(); // the place the row takes when it is kept
    bool keep = true;
    try {
        keep = onFilterRecord(*this);
    } catch (...) {
        m_calcTarget = saved;
        m_calcRowIndex = savedIndex;
        throw;
    }
    m_calcTarget = saved;
    m_calcRowIndex = savedIndex;
    return keep;
}

void Dataset::forgetStatements()
{
    m_generation = m_connection->generation();
    m_keyQueries.clear();
    m_rows.setDatabase(m_connection->database());
    m_viewShape.clear();
    m_tableMark = {};
}

void Dataset::loadRows()
{
    followReconnection();
    if (!m_rows.hasDatabase())
        m_rows.setDatabase(m_connection->database());
    // Reading again is when other workstations' changes show; on unchanged data the values
    // looked up stay good.
    const auto lookupsStale = [this] {
        for (Lookup& l : m_lookups)
            l.cache.clear();
    };
    RowStore::Filter filter;
    if (isFiltered())
        filter = [this](Row& row) { return evaluateFilter(row); };
    if (m_source == Source::Query) {
        // A filter rule may see other things than the rows: a filtered query is always read.
        const Connection::ChangeMark mark
            = isFiltered() ? Connection::ChangeMark {} : m_connection->changeMark();
        if (reuseQueryRows(mark)) {
            m_calcUpTo = 0;
            return;
        }
        lookupsStale();
        m_textIndexes.clear();
        m_read = {};
        const QSqlRecord record = m_rows.startQuery(m_sql, m_params);
        if (!m_queryFieldsBuilt)
            buildQueryFields(record);
        QList<FieldType> types;
        for (int i = 0; i < m_storedCount; ++i)
            types << field(i).type();
        m_rows.setTypes(types);
        m_rows.readQueryRows(filter);
        m_read = { mark, m_sql, m_params, record, types };
    } else {
        m_textIndexes.clear();
        QList<FieldType> types;
        for (int i = 0; i < m_storedCount; ++i)
            types << field(i).type();
        m_rows.setTypes(types);
        m_linkedValues = m_master ? masterValues() : QVariantList();
        const QString previousShape = m_viewShape;
        const QVariantList previousValues = sql::conditionValues(m_view);
        m_view = viewSpec();
        // Prepared statements stay valid while only the bound values change (a detail
        // following its master); the order, range, link or filter conditions change the shape.
        const QString shape = sql::selectLocators(m_view);
        const bool sameShape = shape == m_viewShape;
        if (!sameShape) {
            m_keyQueries.clear();
            m_viewShape = shape;
        }
        const bool noMasterRow = m_master
            && std::all_of(
                m_linkedValues.cbegin(), m_linkedValues.cend(), [](const QVariant& v) { return v.isNull(); });
        if (m_rangeNoneStored || noMasterRow) {
            lookupsStale();
            m_rows.clear(); // a master without rows has no details
            m_tableMark = {};
            m_viewShape.clear(); // nothing was prepared for this shape: the next read prepares
        } else if (const std::optional<bool> wrote = followOwnWrites(previousShape, previousValues)) {
            if (*wrote)
                lookupsStale();
            m_calcUpTo = 0;
            return;
        } else {
            lookupsStale();
            // Before the read, so that a later change is seen. A detail reads its few rows again
            // whenever its master moves: the mark would cost more there than it saves.
            m_tableMark = isFiltered() || m_master ? Connection::ChangeMark {} : m_connection->changeMark();
            // Running balances need every row above the one shown: reading them page by page
            // would cost more than reading them all now.
            const bool sequential = m_sequentialCalc && onCalcFields;
            m_rows.loadTable(m_view, filter, sameShape,
                sequential ? RowStore::kEagerSequentialRows : RowStore::kEagerRows);
        }
    }
    mergePending();
    m_calcUpTo = 0;
}

bool Dataset::reuseQueryRows(const Connection::ChangeMark& mark)
{
    const bool closed = !isActive();
    const bool nobodyElse = mark.isValid() && mark.dataVersion == m_read.mark.dataVersion
        && mark.schemaVersion == m_read.mark.schemaVersion;
    const bool sameData = nobodyElse && mark.totalChanges == m_read.mark.totalChanges;
    if (!(sameData || (nobodyElse && m_followed.isSet())) || m_sql != m_read.sql
        || m_params != m_read.params) {
        m_closedRows = RowStore {};
        m_closedTextIndexes.clear();
        return false;
    }
    if (closed && !m_closedRows.hasDatabase())
        return false;
    if (!m_queryFieldsBuilt)
        buildQueryFields(m_read.record);
    QList<FieldType> types;
    for (int i = 0; i < m_storedCount; ++i)
        types << field(i).type();
    if (types != m_read.types) { // declared again with other types: the values would not fit
        m_closedRows = RowStore {};
        m_closedTextIndexes.clear();
        return false;
    }
    if (!sameData) {
        const std::optional<QSet<int>> changed = followQueryWrites(closed ? m_closedRows : m_rows);
        if (!changed) {
            m_closedRows = RowStore {};
            m_closedTextIndexes.clear();
            return false;
        }
        // An index of a field whose values changed is built again when typed in.
        QHash<int, TextIndex>& indexes = closed ? m_closedTextIndexes : m_textIndexes;
        for (const int field : *changed) {
            indexes.remove(field * 2);
            indexes.remove(field * 2 + 1);
        }
        m_read.mark = mark;
    }
    if (closed) {
        m_rows = std::move(m_closedRows);
        m_textIndexes = std::move(m_closedTextIndexes);
        m_closedRows = RowStore {};
        m_closedTextIndexes.clear();
    }
    for (Row& row : m_rows.rows())
        row.extra.clear(); // calculated again, as after a read
    return true;
}

void Dataset::mergePending()
{
    // Cached changes stay visible when the view is read again (after a refresh or a move of
    // the master): updated rows show their new values, deleted ones are hidden, new rows that
    // belong to this master are shown at the end.
    if (m_pending.isEmpty())
        return;
    auto& rows = m_rows.rows();
    for (size_t i = 0; i < rows.size();) {
        const PendingChanges::Change* c = m_pending.find(rows[i].locator);
        if (c && c->kind == PendingChanges::Kind::Delete) {
            m_rows.remove(static_cast<int>(i));
            continue;
        }
        if (c) {
            rows[i].values = c->values;
            rows[i].flags |= Row::Pinned;
        }
        ++i;
    }
    for (const PendingChanges::Change& c : m_pending.changes()) {
        if (c.kind != PendingChanges::Kind::Insert)
            continue;
        bool belongs = true;
        for (int k = 0; k < m_detailFields.size(); ++k)
            belongs = belongs && c.values.value(field(m_detailFields[k]).index()) == m_linkedValues.value(k);
        if (belongs)
            m_rows.insert(m_rows.count(), Row { c.locator, c.values, {}, Row::Pinned });
    }
}

void Dataset::open()
{
    if (isActive())
        return;
    if (m_source == Source::None || !m_connection)
        throw DatabaseError(QStringLiteral("The view %1 has no table or query.").arg(objectName()));
    if (ctl())
        emit aboutToReset();
    try {
        loadRows();
    } catch (...) {
        m_rows.clear();
        if (ctl())
            emit reset();
        throw;
    }
    m_state = DatasetState::Browse;
    m_current = m_rows.count() > 0 ? 0 : -1;
    m_bof = true;
    m_eof = m_rows.count() == 0;
    if (ctl()) {
        emit reset();
        emit stateChanged(m_state);
        emit currentRowChanged(-1, m_current);
        emit recordChanged({});
    }
    emit contentChanged();
    emit afterOpen();
}

void Dataset::close()
{
    if (!isActive())
        return;
    if (isEditing())
        discardEdit();
    if (ctl())
        emit aboutToReset();
    if (m_source == Source::Query && m_read.mark.isValid()) {
        m_closedRows = std::move(m_rows); // opened again on unchanged data, it shows them again
        m_closedTextIndexes = std::move(m_textIndexes);
    }
    m_rows.clear();
    m_rows = RowStore {}; // lets go of the prepared statements
    m_keyQueries.clear();
    m_textIndexes.clear();
    m_viewShape.clear();
    m_pending.clear();
    m_state = DatasetState::Inactive;
    m_current = -1;
    m_bof = m_eof = true;
    m_linkedValues.clear();
    if (ctl()) {
        emit reset();
        emit stateChanged(m_state);
        emit currentRowChanged(-1, -1);
        emit recordChanged({});
    }
    emit contentChanged();
    emit afterClose();
}

void Dataset::refresh()
{
    requireActive();
    checkBrowseMode();
    qint64 locator = m_current >= 0 ? m_rows.at(m_current).locator : 0;
    if (locator < 0)
        locator = m_written.value(locator, 0);
    reloadKeeping(m_source == Source::Table ? locator : 0, m_current);
    emit afterRefresh();
}

void Dataset::reloadKeeping(qint64 locator, int fallbackRow)
{
    const int previous = m_current;
    if (ctl())
        emit aboutToReset();
    try {
        loadRows();
    } catch (...) {
        m_rows.clear();
        m_current = -1;
        m_bof = m_eof = true;
        if (ctl()) {
            emit reset();
            emit currentRowChanged(previous, -1);
            emit recordChanged({});
        }
        throw;
    }
    int row = locator != 0 ? m_rows.indexOfLocator(locator) : -1;
    if (row < 0 && m_rows.count() > 0)
        row = std::clamp(fallbackRow, 0, m_rows.count() - 1);
    m_current = m_rows.count() > 0 ? row : -1;
    m_bof = m_current <= 0;
    m_eof = m_rows.count() == 0;
    if (ctl()) {
        emit reset();
        emit currentRowChanged(previous, m_current);
        emit recordChanged({});
    }
    emit contentChanged();
    emit afterScroll();
}

} // namespace db
