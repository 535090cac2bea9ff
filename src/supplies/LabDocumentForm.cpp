#include "supplies/LabDocumentForm.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/Errors.h"
#include "platform/MessageService.h"
#include "reports/Report.h"
#include "supplies/LabJobSelectionUnit.h"
#include "supplies/NumberCellDelegate.h"
#include "supplies/SupplyActions.h"
#include "supplies/UndeliveredLabOrdersUnit.h"
#include "widgets/CheckColumnDelegate.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/Language.h"
#include "widgets/UserAction.h"

#include <QInputDialog>
#include <QTableView>
#include <QToolButton>

namespace supplies {
namespace {

DocumentSetup labSetup(data::TDmForm& dm, bool delivery)
{
    data::SuppliesArea& s = dm.supplies();
    DocumentSetup setup;
    setup.componentName = delivery ? QStringLiteral("DeliveredLabOrderForm") : QStringLiteral("LabOrderForm");
    setup.caption = delivery ? QStringLiteral("Delivered Lab Order") : QStringLiteral("Lab Order");
    setup.code = delivery ? widgets::WindowCode::LabReceipt : widgets::WindowCode::LabOrder;
    setup.lab = true;
    setup.delivery = delivery;
    setup.counterparts = s.DentalLabTable;
    setup.counterpartKey = QStringLiteral("DentalLabID");
    setup.counterpartCaption = QStringLiteral("Dental Lab");
    setup.header = delivery ? s.DeliveredLabOrdersTable : s.LabOrdersTable;
    setup.headerSource = delivery ? s.DeliveredLabOrdersSrc : s.LabOrdersSrc;
    setup.lines = delivery ? s.DeliveredLabOrderItemsTable : s.LabOrderItemsTable;
    setup.linesSource = delivery ? s.DeliveredLabOrderItemsSrc : s.LabOrderItemsSrc;
    setup.linesTitle = QStringLiteral("Jobs");
    return setup;
}

} // namespace

LabDocumentForm::LabDocumentForm(data::TDmForm& dm, bool delivery, QWidget* parent)
    : OrderDocumentForm(dm, labSetup(dm, delivery), parent)
{
    for (db::Dataset* view : { m_dm.patients().AllPatientsTable, m_dm.clinical().OperationsTableForLook,
             m_dm.clinical().HistLabOrderItemsToUpdateTable })
        if (!view->isActive())
            m_dm.OpenTable(*view);
    // The order job's "New" focus is the code of the order (DBEdit5 of the older window).
    if (!delivery)
        CodeEdit->setObjectName(QStringLiteral("DBEdit5"));
}

void LabDocumentForm::addLineColumns()
{
    QList<widgets::DBGrid::Column> columns { { QStringLiteral("PatientName"), QStringLiteral("Patient"),
                                                 170 },
        { QStringLiteral("OperationAndToothNo"), QStringLiteral("Operation"), 220 },
        { QStringLiteral("OrderWhat"), QStringLiteral("Order of:"), 220 },
        { QStringLiteral("OrderPrice"), QStringLiteral("Price"), 90 },
        { QStringLiteral("EstimatedDeliveryDate"), QStringLiteral("Estimated Deliv. Date"), 120 } };
    if (!m_setup.delivery)
        columns.append({ QStringLiteral("Delivered"), QStringLiteral("Delivered"), 70 });
    Grid->setColumns(columns);
    Grid->setReadOnly(false);
    Grid->view()->setItemDelegateForColumn(PriceColumn, new NumberCellDelegate(Grid));
    if (!m_setup.delivery)
        Grid->view()->setItemDelegateForColumn(DeliveredColumn, new widgets::CheckColumnDelegate(Grid));
    Grid->setFooterSum(PriceColumn);
}

void LabDocumentForm::addLineButtons()
{
    SelectJobsBtn = lineButton("SelectJobsBtn", QStringLiteral("Select Jobs"));
    connect(SelectJobsBtn, &QToolButton::clicked, this, &LabDocumentForm::SelectJobsBtnClick);
    SelectJobsItem = gridItem("SelectJobsItem", QStringLiteral("Select Jobs"));
    connect(SelectJobsItem, &QAction::triggered, this, &LabDocumentForm::SelectJobsBtnClick);
    if (!m_setup.delivery)
        return;
    PendingBtn = lineButton("PendingBtn", QStringLiteral("Select Pending Orders..."));
    connect(PendingBtn, &QToolButton::clicked, this, &LabDocumentForm::PendingBtnClick);
    PendingItem = gridItem("PendingItem", QStringLiteral("Select Pending Orders"));
    connect(PendingItem, &QAction::triggered, this, &LabDocumentForm::PendingBtnClick);
}

void LabDocumentForm::SelectJobsBtnClick()
{
    if (!postHeaderFirst())
        return;
    TLabJobSelectionForm selection(m_dm, this);
    QList<int> rows;
    int result = QDialog::Rejected;
    if (runJobSelection) {
        result = runJobSelection(selection, rows);
    } else {
        result = selection.exec();
        rows = selection.selectedRows();
    }
    if (result == QDialog::Accepted) {
        addJobs(rows);
    } else if (result == TLabJobSelectionForm::CustomOrder) {
        const QString text = askCustomText
            ? askCustomText()
            : QInputDialog::getText(this, Lang->Message(QStringLiteral("Custom task")),
                Lang->Message(QStringLiteral("Please enter description :")));
        if (!text.trimmed().isEmpty())
            addCustomJob(text.trimmed());
    }
}

bool LabDocumentForm::addJobs(const QList<int>& eligibleRows)
{
    if (!widgets::runUserAction([&] { addLabJobs(m_dm, m_setup.delivery, eligibleRows); }))
        return false;
    return afterJobsAdded();
}

bool LabDocumentForm::addCustomJob(const QString& text)
{
    if (!widgets::runUserAction([&] { addCustomLabJob(m_dm, m_setup.delivery, text); }))
        return false;
    return afterJobsAdded();
}

bool LabDocumentForm::afterJobsAdded()
{
    const bool stored = storeChanges();
    m_dm.supplies().refreshLabItems();
    Grid->view()->setFocus();
    return stored;
}

void LabDocumentForm::PendingBtnClick()
{
    if (!postHeaderFirst())
        return;
    TUndeliveredLabOrdersForm picker(m_dm, true, this);
    QList<int> rows;
    if (runPicker)
        rows = runPicker(picker);
    else if (picker.exec() == QDialog::Accepted)
        rows = picker.selectedRows();
    if (!rows.isEmpty())
        receiveJobs(rows);
}

bool LabDocumentForm::receiveJobs(const QList<int>& undeliveredRows)
{
    if (!widgets::runUserAction([&] { receiveLabJobs(m_dm, undeliveredRows); }))
        return false;
    const bool stored = storeChanges();
    db::Dataset& undelivered = *m_dm.supplies().UndeliveredOrderItemsPerLabQry;
    if (undelivered.isActive())
        undelivered.refresh();
    Grid->view()->setFocus();
    return stored;
}

void LabDocumentForm::addReportLines(reports::Report& report)
{
    const bool euro = m_dm.money().euroMode();
    const QString price = euro ? QStringLiteral("OrderPriceEURO") : QStringLiteral("OrderPrice");
    report.addTable(reports::ReportTable::fromDataset(*m_setup.lines,
        { { QStringLiteral("PatientName"), Lang->Message(QStringLiteral("Patient")) },
            { QStringLiteral("OperationAndToothNo"), Lang->Message(QStringLiteral("Operation")) },
            { QStringLiteral("OrderWhat"), Lang->Message(QStringLiteral("Order of:")) },
            { price, Lang->Message(QStringLiteral("Price")) } },
        { price }));
}

} // namespace supplies
