#pragma once

#include "supplies/OrderDocumentForm.h"

#include <functional>

namespace supplies {

class TUndeliveredMaterialsForm;

// The material order and delivery windows: lines of materials with their prices, discount and
// tax; the material button opens "Search Materials"; a delivery takes lines from pending orders.
class MaterialDocumentForm : public OrderDocumentForm {
    Q_OBJECT
public:
    MaterialDocumentForm(data::TDmForm& dm, bool delivery, QWidget* parent = nullptr);

    enum Column {
        MaterialColumn,
        DescriptionColumn,
        UnitColumn,
        QuantityColumn,
        UnitPriceColumn,
        DiscountColumn,
        TaxColumn,
        PriceColumn
    };

    // The material button: the line (a new one when there is none) takes the chosen material.
    void MaterialBtnClick();
    // "Select Materials from Pending Orders...": the header stored first, then the picker; the
    // chosen lines are added and the delivery stored with them in one transaction.
    void PendingBtnClick();
    // What the picker's OK does with the chosen rows of the pending lines.
    bool takePending(const QList<int>& pendingRows);

    QToolButton* MaterialBtn = nullptr;
    QToolButton* PendingBtn = nullptr;
    QAction* PendingItem = nullptr;

    // Tests answer the dialogs: the picker's rows (none: cancelled), the material chosen.
    std::function<QList<int>(TUndeliveredMaterialsForm&)> runPicker;
    std::function<QVariant()> runMaterialSearch;

protected:
    void refreshPriceList();
    void addLineColumns() override;
    void addLineButtons() override;
    void addReportLines(reports::Report& report) override;
};

} // namespace supplies
