#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace db {
class Dataset;
}

namespace reports {

struct ReportColumn {
    QString caption;
    double width = 1; // share of the table's width
    Qt::Alignment alignment = Qt::AlignLeft;
    bool total = false; // summed in the group footers and the table's last line
    // How a value (and a total) is written; empty: numbers with 2 decimals, dates in the
    // locale's short form, the rest as it stands.
    std::function<QString(const QVariant&)> format;
};

// A table of a report: column captions, rows of values, and groups, each with a header line
// and, when a column is totalled, a footer line with the group's totals. The table ends with
// the totals of all rows.
class ReportTable {
public:
    struct Row {
        enum class Kind { Data, GroupHeader, GroupFooter, Total };
        Kind kind = Kind::Data;
        QStringList cells; // a group header's text is its first cell
    };

    explicit ReportTable(QList<ReportColumn> columns = {});

    const QList<ReportColumn>& columns() const { return m_columns; }
    bool hasTotals() const;
    void setTotalCaptions(const QString& groupTotal, const QString& grandTotal);

    // Starts a group: the rows added until the next group belong to it.
    void beginGroup(const QString& header);
    void addRow(const QVariantList& values);
    // The rows as printed: group footers and the grand total in place.
    QList<Row> rows() const;
    double total(int column) const;

    // The rows of a view, not moving its cursor: the given fields (name and caption) in their
    // display formats, totals in the field's format, a group per value of `groupField` (its
    // display text after `groupCaption`) when given.
    static ReportTable fromDataset(db::Dataset& dataset, const QList<std::pair<QString, QString>>& fieldsAndCaptions,
        const QStringList& totalFields = {}, const QString& groupField = {}, const QString& groupCaption = {});

private:
    struct Group {
        QString header;
        bool headed = false;
        QList<QVariantList> rows;
    };

    QString text(int column, const QVariant& value) const;
    Row totalsRow(Row::Kind kind, const QString& caption, const QList<QVariantList>& rows) const;

    QList<ReportColumn> m_columns;
    QList<Group> m_groups;
    QString m_groupTotal = QStringLiteral("Total");
    QString m_grandTotal = QStringLiteral("Total");
};

} // namespace reports
