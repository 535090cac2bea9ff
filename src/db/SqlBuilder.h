#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

namespace db {

// What a table view selects: its table, stored columns, the conditions of its master link and
// range, and its order. The statements select the row locator (Dialect::rowLocator) first.
struct ViewSpec {
    struct Condition {
        QString field;
        QString op; // "=", ">=", "<=", "IS NOT"
        QVariant value;
    };
    QString table;
    QString locator = QStringLiteral("rowid");
    QStringList columns;
    QList<Condition> conditions;
    QStringList order;
    bool descending = false;
};

namespace sql {

QString selectRows(const ViewSpec& view);
QString selectLocators(const ViewSpec& view);
// Rows by locator: `count` placeholders, bound with the locators wanted.
QString selectByLocators(const ViewSpec& view, int count);
// The first row of the view (locator first) whose `keyFields` equal bound values.
QString selectFirstRow(const ViewSpec& view, const QStringList& keyFields);
// One column of the first row of the view whose `keyFields` equal bound values.
QString selectLookup(const ViewSpec& view, const QStringList& keyFields, const QString& resultField);
QVariantList conditionValues(const ViewSpec& view);

// `returning`: the locator column the statement hands back, empty for none.
QString insertRow(const QString& table, const QStringList& columns, const QString& returning = {});
// Bound: the columns' values, the locator, then a value for each of `conditions` (which the
// row must meet to be written: Dialect::holdsValue).
QString updateRow(const QString& table, const QStringList& columns, const QString& locator,
    const QStringList& conditions = {});
QString deleteRow(const QString& table, const QString& locator, const QStringList& conditions = {});

} // namespace sql
} // namespace db
