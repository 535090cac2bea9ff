#include "reports/ReportTable.h"

#include "db/Dataset.h"
#include "db/Field.h"
#include "db/FieldFormat.h"

#include <QDate>
#include <QLocale>

#include <algorithm>

namespace reports {

ReportTable::ReportTable(QList<ReportColumn> columns)
    : m_columns(std::move(columns))
{
}

bool ReportTable::hasTotals() const
{
    return std::any_of(m_columns.begin(), m_columns.end(), [](const ReportColumn& c) { return c.total; });
}

void ReportTable::setTotalCaptions(const QString& groupTotal, const QString& grandTotal)
{
    m_groupTotal = groupTotal;
    m_grandTotal = grandTotal;
}

void ReportTable::beginGroup(const QString& header)
{
    m_groups.append({header, true, {}});
}

void ReportTable::addRow(const QVariantList& values)
{
    if (m_groups.isEmpty())
        m_groups.append({{}, false, {}}); // rows before any group: a group without a header
    m_groups.last().rows.append(values);
}

QString ReportTable::text(int column, const QVariant& value) const
{
    if (column < m_columns.size() && m_columns[column].format)
        return m_columns[column].format(value);
    if (value.isNull() || !value.isValid())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QLocale().toString(value.toDouble(), 'f', 2);
    case QMetaType::QDate:
        return db::fieldformat::dateText(value.toDate());
    default:
        return value.toString();
    }
}

ReportTable::Row ReportTable::totalsRow(Row::Kind kind, const QString& caption, const QList<QVariantList>& rows) const
{
    Row row{kind, QStringList(m_columns.size())};
    for (int c = 0; c < m_columns.size(); ++c) {
        if (!m_columns[c].total)
            continue;
        double sum = 0;
        for (const QVariantList& values : rows)
            sum += values.value(c).toDouble();
        row.cells[c] = text(c, sum);
    }
    // The caption takes the first column that shows no total.
    for (int c = 0; c < m_columns.size(); ++c) {
        if (!m_columns[c].total) {
            row.cells[c] = caption;
            break;
        }
    }
    return row;
}

QList<ReportTable::Row> ReportTable::rows() const
{
    QList<Row> out;
    QList<QVariantList> all;
    for (const Group& group : m_groups) {
        const bool headed = group.headed;
        if (headed)
            out.append({Row::Kind::GroupHeader, {group.header}});
        for (const QVariantList& values : group.rows) {
            Row row{Row::Kind::Data, {}};
            for (int c = 0; c < m_columns.size(); ++c)
                row.cells << text(c, values.value(c));
            out.append(row);
        }
        if (headed && hasTotals())
            out.append(totalsRow(Row::Kind::GroupFooter, m_groupTotal, group.rows));
        all += group.rows;
    }
    if (hasTotals())
        out.append(totalsRow(Row::Kind::Total, m_grandTotal, all));
    return out;
}

double ReportTable::total(int column) const
{
    double sum = 0;
    for (const Group& group : m_groups) {
        for (const QVariantList& values : group.rows)
            sum += values.value(column).toDouble();
    }
    return sum;
}

ReportTable ReportTable::fromDataset(db::Dataset& dataset, const QList<std::pair<QString, QString>>& fieldsAndCaptions,
    const QStringList& totalFields, const QString& groupField, const QString& groupCaption)
{
    QList<ReportColumn> columns;
    QList<const db::Field*> fields;
    for (const auto& [name, caption] : fieldsAndCaptions) {
        const db::Field& field = dataset.field(name);
        fields << &field;
        ReportColumn column;
        column.caption = caption.isEmpty() ? field.label() : caption;
        const bool number = field.type() == db::FieldType::Float64 || field.type() == db::FieldType::Int16 || field.type() == db::FieldType::Int32;
        column.alignment = number ? Qt::AlignRight : Qt::AlignLeft;
        column.total = totalFields.contains(name, Qt::CaseInsensitive);
        // Totals are sums of numbers: they take the field's format as a float.
        column.format = [type = field.type(), pattern = field.displayFormat()](const QVariant& value) {
            const bool sum = value.typeId() == QMetaType::Double;
            return db::fieldformat::format(value, sum && type != db::FieldType::Float64 ? db::FieldType::Float64 : type, pattern);
        };
        columns << column;
    }
    ReportTable table(columns);
    const db::Field* group = groupField.isEmpty() ? nullptr : &dataset.field(groupField);
    QVariant previous;
    for (int row = 0; row < dataset.recordCount(); ++row) {
        if (group) {
            const QVariant value = dataset.rowValue(row, group->index());
            if (row == 0 || value != previous || value.isNull() != previous.isNull()) {
                const QString shown = db::fieldformat::format(value, group->type(), group->displayFormat());
                table.beginGroup(groupCaption.isEmpty() ? shown : groupCaption + QLatin1Char(' ') + shown);
                previous = value;
            }
        }
        QVariantList values;
        for (const db::Field* field : std::as_const(fields))
            values << dataset.rowValue(row, field->index());
        table.addRow(values);
    }
    return table;
}

} // namespace reports
