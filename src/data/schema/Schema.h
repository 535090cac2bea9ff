#pragma once

#include "db/Generators.h"
#include "db/TableDef.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace data {

// A generator table: at most one row, whose only field holds the last identifier issued for the
// tables it serves. Two tables may share one series (the patient book and the materials).
struct GeneratorDef {
    QString table; // "LastPat"
    QString view; // the data module's name for it: "LastPatTable"
    QStringList servedTables; // empty for a generator that is kept but serves nobody
    QString field = QStringLiteral("LastID");

    // The definition the engine's generators work from: the identifier field of each served table.
    db::GeneratorDef engineDef() const;
};

// Every table of the data directory, in a fixed order (patients and clinical records, finance,
// supplies, then appointments and the lists). The in-memory settings row is not among them.
const QList<db::TableDef>& schemaTables();
// The table of that name, ignoring letter case; nullptr when there is none.
const db::TableDef* schemaTable(QStringView name);

const QList<GeneratorDef>& generatorTables();
QList<db::GeneratorDef> generatorDefinitions();
// The generator that issues the identifiers of `table`; nullptr for tables keyed otherwise.
const GeneratorDef* generatorFor(QStringView table);

} // namespace data
