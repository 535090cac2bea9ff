// Values of rows: the active row, look-up and calculated fields, locate and key look-up.
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Errors.h"

#include <QSqlError>

namespace db {
namespace {

QString keyText(const QVariantList& keys)
{
    QStringList parts;
    for (const QVariant& k : keys)
        parts << (k.isNull() ? QStringLiteral("\x1fnull") : k.toString());
    return parts.join(QChar(0x1e));
}

bool matches(const QVariant& have, const QVariant& want, LocateOptions options)
{
    if (options == LocateOptions{})
        return have.isNull() == want.isNull() && (have.isNull() || have == want);
    if (have.isNull() || want.isNull())
        return have.isNull() && want.isNull();
    const QString text = have.toString();
    const QString key = want.toString();
    const Qt::CaseSensitivity cs = options.testFlag(LocateOption::CaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (options.testFlag(LocateOption::PartialKey))
        return text.startsWith(key, cs);
    return text.compare(key, cs) == 0;
}

} // namespace

QSqlQuery& Dataset::keyQuery(const QString& key, const std::function<QString()>& statement)
{
    followReconnection();
    auto it = m_keyQueries.find(key);
    if (it != m_keyQueries.end())
        return *it.value();
    auto query = std::make_shared<QSqlQuery>(m_connection->database());
    query->setForwardOnly(true);
    if (!query->prepare(m_connection->dialect().adapt(statement())))
        throwSqlError(
            QStringLiteral("The records could not be read"), query->lastError(), query->lastQuery());
    return *m_keyQueries.insert(key, query).value();
}

Row& Dataset::currentRowData()
{
    return rowWithExtras(m_current);
}

Row& Dataset::rowWithExtras(int row)
{
    followReconnection(); // a page of rows may be read
    Row& r = m_rows.loaded(row);
    if (m_fields.size() == static_cast<size_t>(m_storedCount) || !r.extra.isEmpty())
        return r;
    // Calculated fields see the rows before them first: running balances depend on it.
    const int from = m_sequentialCalc ? std::min(m_calcUpTo, row) : row;
    for (int i = from; i <= row; ++i) {
        Row& each = m_rows.loaded(i);
        if (each.extra.isEmpty())
            computeExtras(each, i);
    }
    if (m_sequentialCalc)
        m_calcUpTo = std::max(m_calcUpTo, row + 1);
    return m_rows.loaded(row); // values of far rows may have been let go on the way
}

void Dataset::computeExtras(Row& row, int rowIndex)
{
    const int extraCount = fieldCount() - m_storedCount;
    row.extra = QList<QVariant>(extraCount);
    for (Lookup& l : m_lookups)
        row.extra[l.fieldIndex - m_storedCount] = resolveLookup(l, row);
    if (!onCalcFields)
        return;
    Row* saved = m_calcTarget;
    const int savedIndex = m_calcRowIndex;
    m_calcTarget = &row;
    m_calcRowIndex = rowIndex;
    try {
        onCalcFields(*this);
    } catch (...) {
        m_calcTarget = saved;
        m_calcRowIndex = savedIndex;
        throw;
    }
    m_calcTarget = saved;
    m_calcRowIndex = savedIndex;
}

void Dataset::invalidateExtrasFrom(int row)
{
    if (m_fields.size() == static_cast<size_t>(m_storedCount) || row >= m_rows.count())
        return;
    for (int i = std::max(row, 0); i < m_rows.count(); ++i)
        m_rows.at(i).extra.clear();
    m_calcUpTo = std::min(m_calcUpTo, std::max(row, 0));
    if (ctl() && isActive())
        emit rowsChanged(std::max(row, 0), m_rows.count() - 1);
}

QVariant Dataset::activeValue(int fieldIndex) const
{
    auto* self = const_cast<Dataset*>(this); // rows are read and calculated on demand
    const Row* row = nullptr;
    if (m_calcTarget)
        row = m_calcTarget;
    else if (isEditing())
        row = &m_edit;
    else if (m_state == DatasetState::SetKey)
        return m_keyBuffer.value(fieldIndex);
    else if (m_current >= 0)
        row = fieldIndex < m_storedCount ? &self->m_rows.loaded(m_current) : &self->currentRowData();
    if (!row)
        return {};
    if (fieldIndex < m_storedCount)
        return row->values.value(fieldIndex);
    return row->extra.value(fieldIndex - m_storedCount);
}

QVariant Dataset::rowValue(int row, int fieldIndex)
{
    // The row being edited shows its edit buffer, also to the calculation of the rows after it
    // (a running balance), which must not see the row it is calculating instead.
    if (row == m_current && isEditing())
        return fieldIndex < m_storedCount ? m_edit.values.value(fieldIndex) : m_edit.extra.value(fieldIndex - m_storedCount);
    if (row == m_current && m_state == DatasetState::SetKey)
        return m_keyBuffer.value(fieldIndex);
    if (row < 0 || row >= m_rows.count())
        return {};
    const Row& r = fieldIndex < m_storedCount ? m_rows.loaded(row) : rowWithExtras(row);
    if (fieldIndex < m_storedCount)
        return r.values.value(fieldIndex);
    return r.extra.value(fieldIndex - m_storedCount);
}

void Dataset::setActiveValue(int fieldIndex, const QVariant& value)
{
    Field& f = field(fieldIndex);
    if (m_calcTarget) {
        // Inside the calculation rule only calculated fields take values.
        if (f.kind() != FieldKind::Calculated)
            throw DatabaseError(QStringLiteral("The field \"%1\" cannot be changed while fields are calculated.").arg(f.label()));
        m_calcTarget->extra[fieldIndex - m_storedCount] = f.coerce(value);
        return;
    }
    if (m_state == DatasetState::SetKey) {
        m_keyBuffer[fieldIndex] = f.coerce(value);
        return;
    }
    if (!isEditing())
        throw DatabaseError(QStringLiteral("The view %1 is not in edit or insert mode.").arg(objectName()));
    if (f.isReadOnly())
        throw DatabaseError(QStringLiteral("The field \"%1\" cannot be modified.").arg(f.label()));
    const QVariant converted = f.coerce(value);
    QVariant& slot = m_edit.values[fieldIndex];
    if (slot.isNull() == converted.isNull() && slot == converted)
        return;
    slot = converted;
    m_modified = true;
    if (fieldCount() > m_storedCount)
        computeExtras(m_edit, m_current);
    onFieldChange(*this, f.name());
    emit fieldChanged(f.name());
    if (ctl()) {
        emit rowsChanged(m_current, m_current);
        emit recordChanged(f.name());
    }
}

QVariant Dataset::resolveLookup(Lookup& lookup, const Row& row)
{
    if (lookup.keyIndexes.size() != lookup.keyFields.size()) {
        lookup.keyIndexes.clear();
        for (const QString& k : std::as_const(lookup.keyFields))
            lookup.keyIndexes.append(field(k).index());
    }
    QVariantList keys;
    for (const int index : std::as_const(lookup.keyIndexes)) {
        const QVariant v = index < m_storedCount ? row.values.value(index) : row.extra.value(index - m_storedCount);
        if (v.isNull())
            return {}; // no key, no row: an empty look-up, not an error
        keys << v;
    }
    const QString text = keyText(keys);
    const auto hit = lookup.cache.constFind(text);
    if (hit != lookup.cache.cend())
        return hit.value();
    QVariant result;
    if (lookup.source) {
        if (lookup.source->isActive())
            result = lookup.source->lookup(lookup.sourceKeys, keys, lookup.resultField);
    } else {
        ViewSpec view;
        view.table = lookup.table;
        if (!m_connection->isSqlite())
            view.locator.clear(); // a table known by name only: its locator is not known
        const QString statement = sql::selectLookup(view, lookup.sourceKeys, lookup.resultField);
        QSqlQuery& q = keyQuery(statement, [&] { return statement; });
        for (int i = 0; i < keys.size(); ++i)
            q.bindValue(i, keys[i]);
        if (!q.exec())
            throwSqlError(QStringLiteral("The records could not be read"), q.lastError(), q.lastQuery());
        if (q.next())
            result = q.value(0);
        q.finish();
        result = Field::fromStorage(result, field(lookup.fieldIndex).type());
    }
    lookup.cache.insert(text, result);
    return result;
}

QVariant Dataset::lookup(const QStringList& keyFields, const QVariantList& keys, const QString& resultField)
{
    requireActive();
    const Field& result = field(resultField);
    bool allStored = result.kind() == FieldKind::Data;
    for (const QString& k : keyFields)
        allStored = allStored && field(k).kind() == FieldKind::Data;
    // The index of the table answers unless rows only this view knows about are involved.
    if (m_source == Source::Table && allStored && !isFiltered() && m_pending.isEmpty() && !isEditing()) {
        QSqlQuery& q = keyQuery(QStringLiteral("L:%1:%2").arg(keyFields.join(QLatin1Char(',')), resultField),
            [&] { return sql::selectLookup(m_view, keyFields, resultField); });
        const QVariantList bound = sql::conditionValues(m_view) + coerceKeys(keyFields, keys);
        for (int i = 0; i < bound.size(); ++i)
            q.bindValue(i, bound[i]);
        if (!q.exec())
            throwSqlError(QStringLiteral("The records could not be read"), q.lastError(), q.lastQuery());
        QVariant value;
        if (q.next())
            value = Field::fromStorage(q.value(0), result.type());
        q.finish();
        return value;
    }
    return lookupInMemory(keyFields, keys, resultField);
}

QVariant Dataset::lookupInMemory(const QStringList& keyFields, const QVariantList& keys, const QString& resultField)
{
    const int row = findRow(keyFields, keys, {});
    return row < 0 ? QVariant() : rowValue(row, field(resultField).index());
}

QVariantList Dataset::coerceKeys(const QStringList& fields, const QVariantList& values) const
{
    QVariantList keys;
    for (int i = 0; i < fields.size(); ++i)
        keys << field(fields[i]).coerce(values.value(i));
    return keys;
}

int Dataset::findRowBySql(const QStringList& fields, const QVariantList& values)
{
    QSqlQuery& q = keyQuery(QStringLiteral("F:") + fields.join(QLatin1Char(',')), [&] { return sql::selectFirstRow(m_view, fields); });
    const QVariantList bound = sql::conditionValues(m_view) + values;
    for (int i = 0; i < bound.size(); ++i)
        q.bindValue(i, bound[i]);
    if (!q.exec())
        throwSqlError(QStringLiteral("The records could not be read"), q.lastError(), q.lastQuery());
    if (!q.next()) {
        q.finish();
        return -1;
    }
    // The row found is read at once: the cursor usually stops on it.
    const int row = m_rows.indexOfLocator(q.value(0).toLongLong());
    if (row >= 0)
        m_rows.fill(row, q, 1);
    q.finish();
    return row;
}

int Dataset::findRow(const QStringList& fields, const QVariantList& values, LocateOptions options)
{
    if (fields.size() != values.size())
        throw DatabaseError(QStringLiteral("Locate needs one value per field."));
    const bool textual = options != LocateOptions{};
    QList<int> indexes;
    bool allStored = true;
    for (const QString& name : fields) {
        const Field& f = field(name);
        indexes << f.index();
        allStored = allStored && f.kind() == FieldKind::Data;
    }
    const QVariantList keys = textual ? values : coerceKeys(fields, values);
    const bool anyNull = std::any_of(keys.cbegin(), keys.cend(), [](const QVariant& v) { return v.isNull(); });
    // A query's rows stay as read: a text search goes through a sorted index of the texts.
    if (m_source == Source::Query && textual && fields.size() == 1 && allStored && !keys.front().isNull())
        return textIndex(indexes.front(), options).find(keys.front().toString(), options.testFlag(LocateOption::PartialKey));
    // An exact key goes to the database's index; text searches and rows only this view knows
    // about are matched here.
    if (m_source == Source::Table && allStored && !textual && !anyNull && !isFiltered() && m_pending.isEmpty() && !isEditing())
        return findRowBySql(fields, keys);
    for (int row = 0; row < m_rows.count(); ++row) {
        bool all = true;
        for (int i = 0; i < indexes.size() && all; ++i)
            all = matches(rowValue(row, indexes[i]), keys[i], options);
        if (all)
            return row;
    }
    return -1;
}

const TextIndex& Dataset::textIndex(int fieldIndex, LocateOptions options)
{
    const bool folded = options.testFlag(LocateOption::CaseInsensitive);
    const int key = fieldIndex * 2 + (folded ? 1 : 0);
    auto it = m_textIndexes.find(key);
    if (it == m_textIndexes.end()) {
        it = m_textIndexes.insert(key, TextIndex());
        it->build(m_rows.count(), [&](int row) { return m_rows.loaded(row).values.value(fieldIndex); }, folded);
    }
    return *it;
}

void Dataset::prepareTextLocate(const QString& fieldName, LocateOptions options)
{
    const Field& f = field(fieldName);
    if (isActive() && m_source == Source::Query && f.kind() == FieldKind::Data)
        textIndex(f.index(), options);
}

} // namespace db
