#pragma once

#include "db/TableDef.h"
#include "import/ParadoxTable.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace import {

// How the fields of an old table land in our record format: by name, letter case aside (the
// record formats are the same). A field only one side has is named in notes().
class FieldMapping {
public:
    FieldMapping(const ParadoxTable& source, const db::TableDef& target);

    struct Column {
        int source; // index in the old record
        const db::FieldDef* target;
    };
    const QList<Column>& columns() const { return m_columns; }
    const QStringList& notes() const { return m_notes; }
    bool isEmpty() const { return m_columns.isEmpty(); }
    // The column of the target's identifier; -1 when the table has none or the old one lacks it.
    int identifierColumn() const { return m_identifier; }

    // The value as our field holds it. Fills `refusal` (and returns null) when it cannot be
    // held at all, `note` when it is taken as it stands although a rule of ours says otherwise.
    static QVariant convert(
        const QVariant& value, const db::FieldDef& field, QString* refusal, QString* note);

private:
    QList<Column> m_columns;
    QStringList m_notes;
    int m_identifier = -1;
};

} // namespace import
