#pragma once

#include "widgets/Forward.h"
#include <QList>
#include <QString>
#include <QStringList>

// How the search dialog names the fields and tables of the view it searches in SQL.
namespace patients::searchsql {

// The FROM part of a view: for a query the text between "FROM" and "WHERE" (to "ORDER BY" or
// the end when there is no "WHERE"), for a table view its table name.
QString fromPart(const db::Dataset& source);

// A field the select list may hold: a stored field that is visible and neither binary nor memo.
bool isListable(const db::Field& field);
// A field a restriction may name: a stored, visible field that is not binary.
bool isRestrictable(const db::Field& field);
QList<const db::Field*> listableFields(const db::Dataset& source);
QList<const db::Field*> restrictableFields(const db::Dataset& source);

// The field as a column of the statement: Table."Field" when the table it comes from is known
// (the view's table, or the table the engine read a query's column from), else "Field".
QString columnOf(const db::Field& field);
// The listable fields of the view as columns, joined by ",".
QString selectList(const db::Dataset& source);
QString selectList(const QList<const db::Field*>& fields);

// The items of a select or order list: split at the commas outside double quotes, trimmed.
QStringList splitItems(const QString& list);
// The field an item names: the text after its last "." outside quotes, without the quotes.
QString fieldNameOf(const QString& item);

// Two conditions joined by " AND "; either may be empty. A condition holding OR is bracketed
// first, so that it keeps its meaning beside the other.
QString bothConditions(const QString& first, const QString& second);

} // namespace patients::searchsql
