#include "data/StartupSequence.h"

#include "db/Dialect.h"
#include "db/Query.h"

namespace data {

const QList<StartupStep>& startupOpenOrder()
{
    static const QList<StartupStep> steps = {
        {5, {{"DentalLabForLookTable", "DentalLabDB"}, {"HistLabOrderItemsToUpdateTable", "History"}, {"PossibleLabOrderItemsQry", ""}}},
        {10, {{"AllPatientsTable", "Patient"}, {"NonProtectedPatientsTable", "Patient"}, {"FamilyChildrenForLookOnly", "Families"}}},
        {15, {{"CitiesTable", "Cities"}, {"InsurCompaniesTable", "InsurCompanies"}}},
        {20, {{"LabOrderItemsTable", "LabOrderItems"}, {"LabOrdersTable", "LabOrders"}, {"DeliveredLabOrderItemsTable", "LabOrderItems"},
                 {"DeliveredLabOrdersTable", "LabOrders"}}},
        {25, {{"LabEconomTable", "DentEconomics"}, {"DentalLabTable", "DentalLabDB"}, {"DentistsTable", "Doctors"}, {"PhotosTable", "Photos"}}},
        {30, {{"MaterialOrderItemsTable", "MaterialOrderItems"}, {"MaterialOrdersTable", "MaterialOrders"},
                 {"DeliveredMatItemsTable", "MaterialOrderItems"}, {"DeliveredMaterialsTable", "MaterialOrders"},
                 {"MaterialsPerSupplierTable", "SuppliersPerMaterial"}, {"SupplierEconomTable", "DentEconomics"},
                 {"SuppliersTable", "Suppliers"}, {"DentalMaterialsTable", "MaterialDB"},
                 {"SuppliersPerMaterialTable", "SuppliersPerMaterial"}, {"MaterialsTable", "MaterialDB"}}},
        {50, {{"OperationsTable", "Operations"}, {"OperationsTableForLook", "Operations"}, {"OperationsSortedForLook", ""},
                 {"FamilyFatherTable", "Families"}, {"FamilyChildrenTable", "Families"}}},
        {60, {{"AppointmentTypesTable", "AppointmentTypes"}, {"TotalPayablesPerSessQry", ""}, {"TotalReceivablesPerSessQry", ""}}},
        {70, {{"AppointmentTable", "Appointments"}, {"ToothNotesTable", "ToothNotes"}, {"ToothColorTable", "ToothColor"}}},
        {80, {{"PatientEconomTable", "PatEconomics"}, {"HistPerSessionTable", "History"}, {"HistPerSessionTable2", "History"},
                 {"HistPerSessionTable3", "History"}, {"RecallsTable", "Recalls"}}},
        {85, {{"SessionsTable", "Sessions"}, {"AnamnesticaTable", "CartAnamnestica"}, {"PatientsTable", "Patient"}}},
        {95, {{"DentEconomicsTable", "DentEconomics"}, {"QuestTemplateDetailTable", "QuestTemplate"},
                 {"QuestTemplateMasterTable", "QuestTemplate"}, {"QuestAnswerTable", "QuestAnswer"}}},
        {100, {}}, // the generators are opened only while an identifier is taken
    };
    return steps;
}

int deleteOldAppointments(const db::Connection& connection, QDate today, int keepDays)
{
    db::Query query(connection, QStringLiteral("DELETE FROM Appointments WHERE %1 < :cutoff").arg(db::Dialect::quoted(QStringLiteral("Date"))));
    query.bind(QStringLiteral("cutoff"), today.addDays(-keepDays)).exec();
    return query.rowsAffected();
}

} // namespace data
