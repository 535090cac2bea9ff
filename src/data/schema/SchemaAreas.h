#pragma once

#include "db/TableDef.h"

// The record formats, one function per area; data/schema/Schema.h gathers them.
namespace data::schema {

QList<db::TableDef> patientTables();
QList<db::TableDef> financeTables();
QList<db::TableDef> suppliesTables();
QList<db::TableDef> listTables();

} // namespace data::schema
