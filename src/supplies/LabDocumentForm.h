#pragma once

#include "supplies/OrderDocumentForm.h"

#include <functional>

namespace supplies {

class TLabJobSelectionForm;
class TUndeliveredLabOrdersForm;

// The lab order and delivery windows: jobs from the treatment history (or of free text) with
// their price and expected date; a delivery receives the jobs of pending orders.
class LabDocumentForm : public OrderDocumentForm {
    Q_OBJECT
public:
    LabDocumentForm(data::TDmForm& dm, bool delivery, QWidget* parent = nullptr);

    enum Column {
        PatientColumn,
        OperationColumn,
        OrderWhatColumn,
        PriceColumn,
        EstimatedColumn,
        DeliveredColumn
    };

    // "Select Jobs": OK adds the chosen treatments, "Custom Order" one job of free text.
    void SelectJobsBtnClick();
    // "Select Pending Orders...": the chosen jobs of the lab's orders are received.
    void PendingBtnClick();
    bool addJobs(const QList<int>& eligibleRows);
    bool addCustomJob(const QString& text);
    bool receiveJobs(const QList<int>& undeliveredRows);

    QToolButton* SelectJobsBtn = nullptr;
    QToolButton* PendingBtn = nullptr;
    QAction* SelectJobsItem = nullptr;
    QAction* PendingItem = nullptr;

    // Tests answer the dialogs: the selection dialog's result and rows, the custom text (empty:
    // cancelled), the picker's rows.
    std::function<int(TLabJobSelectionForm&, QList<int>&)> runJobSelection;
    std::function<QString()> askCustomText;
    std::function<QList<int>(TUndeliveredLabOrdersForm&)> runPicker;

protected:
    void addLineColumns() override;
    void addLineButtons() override;
    void addReportLines(reports::Report& report) override;

private:
    bool afterJobsAdded();
};

} // namespace supplies
