#include "data/schema/Schema.h"

#include "data/schema/SchemaAreas.h"

namespace data {

db::GeneratorDef GeneratorDef::engineDef() const
{
    db::GeneratorDef def{table, {}, field};
    for (const QString& served : servedTables) {
        const db::TableDef* servedTable = schemaTable(served);
        const db::FieldDef* identifier = servedTable->field(servedTable->identifierField);
        def.serves.append({servedTable->name, identifier->name, identifier->type == db::FieldType::String});
    }
    return def;
}

const QList<db::TableDef>& schemaTables()
{
    static const QList<db::TableDef> tables = [] {
        QList<db::TableDef> all = schema::patientTables();
        all += schema::financeTables();
        all += schema::suppliesTables();
        all += schema::listTables();
        return all;
    }();
    return tables;
}

const db::TableDef* schemaTable(QStringView name)
{
    for (const db::TableDef& table : schemaTables()) {
        if (table.name.compare(name, Qt::CaseInsensitive) == 0)
            return &table;
    }
    return nullptr;
}

const QList<GeneratorDef>& generatorTables()
{
    static const QList<GeneratorDef> generators = [] {
        QList<GeneratorDef> list = {
            {"LastPat", "LastPatTable", {"Patient"}},
            {"LastPhoto", "LastPhotoTable", {"Photos"}},
            {"LastHist", "LastHistTable", {"History"}},
            {"LastOper", "LastOperTable", {"Operations"}},
            {"LastSession", "LastSessionTable", {"Sessions"}},
            {"LastEndo", "LastEndoTable", {"Endo"}},
            {"LastPeri", "LastPeriTable", {"Peri"}},
            {"LastPeriItem", "LastPeriItemTable", {"PeriItem"}},
            {"LastProgNote", "LastProgNoteTable", {"ProgNotes"}},
            {"LastPhysSystem", "LastPhysSystemTable", {"PhysSystems"}},
            {"LastCity", "LastCitiesTable", {"Cities"}},
            {"LastInsCompanies", "LastInsCompaniesTable", {"InsurCompanies"}},
            {"LastApp", "LastAppTable", {"Appointments"}},
            {"LastDoctor", "LastDoctorTable", {"Doctors"}},
            {"LastMedicines", "LastMedicinesTable", {"Medicines"}},
            {"LastPrescription", "LastPrescrTable", {"Prescriptions"}},
            {"LastPrescrItem", "LastPrescrItemTable", {"PrescrItems"}},
            {"LastPhone", "LastPhoneTable", {"Phones"}},
            {"LastReminder", "LastReminderTable", {"Reminders"}},
            {"LastNameDay", "LastNameDayTable", {"NameDays"}},
            {"LastRecalls", "LastRecallsTable", {"Recalls"}},
            {"LastSupl", "LastSupplTable", {"Suppliers"}},
            {"LastMaterial", "LastMaterialTable", {"MaterialDB", "PatBook"}},
            {"LastSupPerMaterial", "LastSupPerMaterialTable", {"SuppliersPerMaterial"}},
            {"LastMaterialOrder", "LastMaterialOrderTable", {"MaterialOrders"}},
            {"LastMaterialOrderItem", "LastMaterialOrderItemTable", {"MaterialOrderItems"}},
            {"LastDentLab", "LastDentLabTable", {"DentalLabDB"}},
            {"LastLabOrder", "LastLabOrderTable", {"LabOrders"}},
            {"LastLabOrderItem", "LastLabOrderItemTable", {"LabOrderItems"}},
            {"LastDentEconom", "LastDentEconTable", {"DentEconomics"}},
            {"LastPatEconom", "LastPatEconTable", {"PatEconomics"}},
            // Kept in the data directory for older installations; nothing draws from it.
            {"LastPatBook", "LastPatBookTbl", {}, "LastPatBookID"},
        };
        return list;
    }();
    return generators;
}

QList<db::GeneratorDef> generatorDefinitions()
{
    QList<db::GeneratorDef> definitions;
    for (const GeneratorDef& generator : generatorTables())
        definitions.append(generator.engineDef());
    return definitions;
}

const GeneratorDef* generatorFor(QStringView table)
{
    for (const GeneratorDef& generator : generatorTables()) {
        for (const QString& served : generator.servedTables) {
            if (served.compare(table, Qt::CaseInsensitive) == 0)
                return &generator;
        }
    }
    return nullptr;
}

} // namespace data
