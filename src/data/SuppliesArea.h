#pragma once

#include "data/DmArea.h"

#include <QSet>

namespace data {

// Suppliers, materials and their orders and deliveries; dental labs and their orders and
// deliveries. Suppliers, materials and labs are declared before the clinical records (whose
// look-ups use them), the orders after (their look-ups use the operations).
class SuppliesArea : public DmArea {
    Q_OBJECT
public:
    explicit SuppliesArea(TDmForm& dm);
    void declareViews();
    void declareLabViews();
    void installRules();
    void declareStorage();

    // While a loop posts many history rows the re-reading of PossibleLabOrderItemsQry that
    // follows each post is held (counted); resuming re-reads it once.
    void suspendLabItemsRefresh();
    void resumeLabItemsRefresh();
    void refreshLabItems();

    db::Dataset *SuppliersTable, *SuppliersForLookUpTable, *MaterialsTable, *DentalMaterialsTable;
    db::Dataset *SuppliersPerMaterialTable, *MaterialsPerSupplierTable, *MaterialOrdersTable, *DeliveredMaterialsTable;
    db::Dataset *MaterialOrderItemsTable, *DeliveredMatItemsTable, *MaterialOrderItemsForLook;
    db::Dataset *DentalLabTable, *DentalLabForLookTable, *LabOrdersTable, *DeliveredLabOrdersTable;
    db::Dataset *LabOrderItemsTable, *DeliveredLabOrderItemsTable, *UndeliveredLabOrdersToUpdateTable;
    db::Dataset *UndeliveredMaterialOrderItemsQry, *UndeliveredMaterialItemsPerSupplQry, *OrderedMaterialsQry;
    db::Dataset *UndeliveredLabOrdersQry, *UndeliveredOrderItemsPerLabQry, *PossibleLabOrderItemsQry;
    db::DataSource *SuppliersSrc, *MaterialsSrc, *DentalMaterialsSrc, *SuppliersPerMaterialSrc, *MaterialOrdersSrc;
    db::DataSource *MaterialOrderItemsSrc, *DeliveredMaterialsSrc, *DeliveredMatItemsSrc, *UndeliveredMaterialOrderItemsSrc;
    db::DataSource *UndeliveredMaterialItemsPerSupplSrc, *DentalLabSrc, *LabOrdersSrc, *LabOrderItemsSrc;
    db::DataSource *DeliveredLabOrdersSrc, *DeliveredLabOrderItemsSrc, *UndeliveredLabOrdersSrc;
    db::DataSource *UndeliveredOrderItemsPerLabSrc, *PossibleLabOrderItemsSrc;

private:
    void installSupplyRules();
    void installLabRules();
    void SuppliersTableNewRecord(db::Dataset& DataSet);
    void SuppliersTableBeforeDelete(db::Dataset& DataSet);
    void MaterialsTableNewRecord(db::Dataset& DataSet);
    void MaterialsTableBeforePost(db::Dataset& DataSet);
    void MaterialsTableBeforeDelete(db::Dataset& DataSet);
    void SuppliersPerMaterialTableNewRecord(db::Dataset& DataSet);
    void SuppliersPerMaterialTableBeforeEdit(db::Dataset& DataSet);
    void SuppliersPerMaterialTableBeforePost(db::Dataset& DataSet);
    void MaterialOrdersTableBeforeInsert(db::Dataset& DataSet);
    void MaterialOrdersTableNewRecord(db::Dataset& DataSet);
    void MaterialOrdersTableBeforePost(db::Dataset& DataSet);
    void MaterialOrdersTableBeforeDelete(db::Dataset& DataSet);
    void DeliveredMaterialsTableBeforePost(db::Dataset& DataSet);
    void DeliveredMaterialsTableBeforeDelete(db::Dataset& DataSet);
    void MaterialOrderItemsTableNewRecord(db::Dataset& DataSet);
    void MaterialOrderItemsTableFieldChange(db::Dataset& DataSet, const QString& fieldName);
    void DeliveredMatItemsTableBeforePost(db::Dataset& DataSet);
    void DeliveredMatItemsTableBeforeDelete(db::Dataset& DataSet);
    void refuseBadLine(db::Dataset& DataSet);
    void refuseBadJob(db::Dataset& DataSet);
    // Says why a line is refused and refuses it.
    [[noreturn]] void refuseLine(const char* text) const;
    void DentalLabTableNewRecord(db::Dataset& DataSet);
    void DentalLabTableBeforePost(db::Dataset& DataSet);
    void DentalLabTableBeforeDelete(db::Dataset& DataSet);
    void LabOrdersTableBeforeInsert(db::Dataset& DataSet);
    void LabOrdersTableNewRecord(db::Dataset& DataSet);
    void LabOrdersTableBeforePost(db::Dataset& DataSet);
    void LabOrdersTableBeforeDelete(db::Dataset& DataSet);
    void DeliveredLabOrdersTableBeforePost(db::Dataset& DataSet);
    void DeliveredLabOrdersTableBeforeDelete(db::Dataset& DataSet);
    void LabOrderItemsTableNewRecord(db::Dataset& DataSet);
    void LabOrderItemsTableBeforeDelete(db::Dataset& DataSet);
    void DeliveredLabOrderItemsTableBeforeDelete(db::Dataset& DataSet);

    // The totals of an order or delivery header from its lines.
    void sumOrderLines(db::Dataset& header, db::Dataset& lines, const QString& priceField);

    double m_priceAtEdit = 0;
    double m_priceEuroAtEdit = 0;
    int m_labItemsHeld = 0;
};

} // namespace data
