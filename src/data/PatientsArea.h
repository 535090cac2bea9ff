#pragma once

#include "data/DmArea.h"
#include "data/Domain.h"

namespace data {

// The patient file: patients, medical history, families, questionnaires, the patient book,
// recalls and prescriptions.
class PatientsArea : public DmArea {
    Q_OBJECT
public:
    explicit PatientsArea(TDmForm& dm);
    void declareViews();
    void installRules();
    void declareStorage();

    // "There is no patient" when the patient view is empty.
    bool requirePatient();
    // DataRoot + "/xrays/x" + the current patient's PatientID.
    const QString& xRayFolder() const { return m_xRayFolder; }
    void updateXRayFolder();
    // The categories the patients have, in order, for the category box to offer.
    QStringList patientCategories() const;
    // Stores the family role of any patient (the payers' view, its filter off for the moment).
    void setProtectionType(const QVariant& patientId, FamilyRole role);

    db::Dataset *PatientsTable, *AllPatientsTable, *NonProtectedPatientsTable, *AnamnesticaTable;
    db::Dataset *FamilyFatherTable, *FamilyChildrenTable, *FamilyChildrenForLookOnly, *PatBookTbl;
    db::Dataset *QuestTemplateMasterTable, *QuestTemplateDetailTable, *QuestAnswerTable, *PatientsToReviewQry;
    db::Dataset *RecallsTable, *PrescriptionsTable, *PrescrItemsTable;
    db::DataSource *PatientsSrc, *AllPatientsSrc, *NonProtectedPatientsSrc, *AnamnesticaSrc;
    db::DataSource *FamilyFatherSrc, *FamilyChildrenSrc, *PatBookSrc, *QuestTemplateMasterSrc, *QuestAnswerSrc;
    db::DataSource *PatientsToReviewSrc, *RecallsSrc, *PrescriptionsSrc, *PrescrItemsSrc;

private:
    void PatientsTableNewRecord(db::Dataset& DataSet);
    void PatientsTableAfterEdit(db::Dataset& DataSet);
    void PatientsTableBeforePost(db::Dataset& DataSet);
    void PatientsTableBeforeDelete(db::Dataset& DataSet);
    void AnamnesticaTableNewRecord(db::Dataset& DataSet);
    void AnamnesticaTableBeforePost(db::Dataset& DataSet);
    void FamilyTableNewRecord(db::Dataset& DataSet); // both family views
    void RecallsTableNewRecord(db::Dataset& DataSet);
    void QuestTemplateMasterTableNewRecord(db::Dataset& DataSet);
    void PatBookTblBeforePost(db::Dataset& DataSet);
    void PrescriptionsTableNewRecord(db::Dataset& DataSet);
    void PrescriptionsTableBeforeDelete(db::Dataset& DataSet);

    void installRecordRules();
    void keepFamilyInStep(db::Dataset& patient);
    void deleteFamilyRows(const QVariant& patientId);

    QString m_xRayFolder;
};

} // namespace data
