#pragma once

#include "platform/SavedViews.h"
#include "widgets/Forward.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <array>

namespace patients {

using RestrictionRows = std::array<platform::ViewRestriction, 3>;

// The operators and connectors of the restrictions window, as shown and as written into SQL.
struct SearchOperator {
    const char* caption; // UTF-8
    const char* sql;
};
inline constexpr std::array<SearchOperator, 4> kSearchOperators { {
    { "από", " > " },
    { "έως", " < " },
    { "ίσο με", " = " },
    { "διάφορο του", " <> " },
} };
inline constexpr std::array<SearchOperator, 2> kSearchConnectors { {
    { "ΚΑΙ", " AND " },
    { "Ή", " OR " },
} };
QStringList operatorCaptions();
QStringList connectorCaptions();

// The restrictions that are switched on, as a condition whose values are bound parameters
// (":Restriction1" …), never pasted into the text, and a readable summary.
struct SearchCondition {
    QString sql;
    QVariantMap params;
    QString summary;
};

// `fields` are the fields the rows' field positions point into. A row counts when it is
// switched on and names a field and an operator. Text fields take the value as typed; date
// fields take it as a date in the user's format; other fields as a value of their type.
// Throws db::DatabaseError naming the field when a value does not fit it.
SearchCondition buildCondition(const RestrictionRows& rows, const QList<const db::Field*>& fields);

} // namespace patients
