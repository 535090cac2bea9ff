// The order and delivery windows driven as a user drives them: the material road (order,
// partial deliveries, the pending picker, the ledger) and the lab road (a treatment that needs
// a lab offered, ordered, received and walked back), with bad input through the grid and the
// usual tax rates offered in the tax cell.

#include "../data/RulesPractice.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"

#include "db/DatasetModel.h"
#include "reports/Report.h"
#include "supplies/DeliveredLabOrderUnit.h"
#include "supplies/DeliveredMaterialsUnit.h"
#include "supplies/LabJobSelectionUnit.h"
#include "supplies/LabOrderUnit.h"
#include "supplies/MaterialEntryUnit.h"
#include "supplies/SupplierOrderUnit.h"
#include "supplies/UndeliveredLabOrdersUnit.h"
#include "supplies/UndeliveredMaterialsUnit.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"

#include <QComboBox>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

QVariant scalar(data::TDmForm& dm, const QString& sql, const QVariant& id = {})
{
    return RulesPractice::scalar(dm, sql, id);
}

// Types `text` into the grid's cell of the current line, as the cell editor hands it over.
bool typeInto(widgets::DBGrid& grid, int column, const QString& text)
{
    db::DatasetModel* model = grid.datasetModel();
    const int row = grid.dataSource()->dataset()->currentRow();
    return model->setData(model->index(row, column), text, Qt::EditRole);
}

int deliveredOf(data::TDmForm& dm, int orderLine)
{
    return scalar(
        dm, QStringLiteral("SELECT QuantityDelivered FROM MaterialOrderItems WHERE ItemID = :id"), orderLine)
        .toInt();
}

} // namespace

class TestOrderWindows : public RulesTest {
    Q_OBJECT

    // A supplier selling one material at 10; the material.
    static QString supplierWithMaterial(data::TDmForm& dm)
    {
        RulesPractice::addSupplier(dm, QStringLiteral("Dental Depot"));
        const int supplier = dm.supplies().SuppliersTable->value(u"SupplierID").toInt();
        RulesPractice::addRow(
            *dm.supplies().MaterialsTable, { { "Description", "Composite A2" }, { "Unit", "gr" } });
        const QString material = dm.supplies().MaterialsTable->value(u"MaterialID").toString();
        RulesPractice::addRow(*dm.supplies().SuppliersPerMaterialTable,
            { { "SupplierID", supplier }, { "Price", 10.0 }, { "PriceEURO", 10.0 } });
        return material;
    }

private Q_SLOTS:
    // Order 10; deliver 6 through the picker, then the 4 left; delete the second delivery's
    // line; the ledger row and the supplier's balance follow each stored delivery.
    void materialRoad()
    {
        auto dm = m_practice->open();
        dm->money().setEuroMode(false);
        const QString material = supplierWithMaterial(*dm);

        supplies::TSupplierOrderForm order(*dm);
        order.setAttribute(Qt::WA_DeleteOnClose, false);
        order.show();
        order.setup().header->append();
        order.AddLineBtnClick();
        order.runMaterialSearch = [&] { return QVariant(material); };
        order.MaterialBtnClick();
        QCOMPARE(order.setup().lines->value(u"UnitPrice").toDouble(), 10.0); // the supplier's price
        QVERIFY(typeInto(*order.Grid, supplies::MaterialDocumentForm::QuantityColumn, QStringLiteral("10")));
        QVERIFY(typeInto(*order.Grid, supplies::MaterialDocumentForm::DiscountColumn, QStringLiteral("10")));
        QVERIFY(typeInto(*order.Grid, supplies::MaterialDocumentForm::TaxColumn, QStringLiteral("18")));
        QVERIFY(order.storeChanges());
        const int orderLine = scalar(*dm, QStringLiteral("SELECT ItemID FROM MaterialOrderItems")).toInt();
        QVERIFY(qFuzzyCompare(scalar(*dm, QStringLiteral("SELECT TotalPrice FROM MaterialOrders")).toDouble(),
            10 * 10 * 0.9 * 1.18));
        order.close();

        supplies::TDeliveredMaterialsForm delivery(*dm);
        delivery.setAttribute(Qt::WA_DeleteOnClose, false);
        delivery.show();
        int offered = -1;
        delivery.runPicker = [&](supplies::TUndeliveredMaterialsForm& picker) {
            offered = picker.Grid->datasetModel()->rowCount();
            return picker.selectedRows();
        };
        delivery.PendingBtnClick(); // a new delivery is made first
        QCOMPARE(offered, 1);
        QCOMPARE(deliveredOf(*dm, orderLine), 10);
        // Six came: the line is lowered and the delivery stored again.
        QVERIFY(
            typeInto(*delivery.Grid, supplies::MaterialDocumentForm::QuantityColumn, QStringLiteral("6")));
        QVERIFY(delivery.setup().header->isEditing());
        delivery.setup().header->setValue(u"OrderCode", QStringLiteral("INV-6"));
        QVERIFY(delivery.storeChanges());
        QCOMPARE(deliveredOf(*dm, orderLine), 6);
        const double six = 6 * 10 * 0.9 * 1.18;
        QVERIFY(qFuzzyCompare(
            scalar(*dm, QStringLiteral("SELECT Credit FROM DentEconomics WHERE ReceiptNo = 'INV-6'"))
                .toDouble(),
            six));
        QVERIFY(qFuzzyCompare(
            scalar(*dm, QStringLiteral("SELECT ReceiptCredit FROM DentEconomics WHERE ReceiptNo = 'INV-6'"))
                .toDouble(),
            six));

        // The four left, in a second delivery without an invoice code: not receipted.
        delivery.setup().header->append();
        delivery.PendingBtnClick();
        QCOMPARE(offered, 1);
        QCOMPARE(deliveredOf(*dm, orderLine), 10);
        QCOMPARE(scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM DentEconomics WHERE IOFld = :id"), false)
                     .toInt(),
            1);
        QVERIFY(
            qFuzzyCompare(dm->supplies().SuppliersTable->value(u"Balance").toDouble(), 10 * 10 * 0.9 * 1.18));
        delivery.runPicker = [&](supplies::TUndeliveredMaterialsForm& picker) {
            offered = picker.Grid->datasetModel()->rowCount();
            return QList<int> {};
        };
        delivery.PendingBtnClick();
        QCOMPARE(offered, 0); // delivered whole: no longer pending

        // Deleting the second delivery's line brings the order line back to 6.
        delivery.DeleteLineBtnClick();
        QVERIFY(delivery.storeChanges());
        QCOMPARE(deliveredOf(*dm, orderLine), 6);
        // Its totals are 0 now: no ledger row; the balance is the first delivery's.
        QCOMPARE(scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM DentEconomics")).toInt(), 1);
        QVERIFY(qFuzzyCompare(dm->supplies().SuppliersTable->value(u"Balance").toDouble(), six));
        delivery.close();
    }

    void badInputThroughTheGrid_data()
    {
        testsupport::addRows<int, QString, bool>({ "column", "text", "takenByTheCell" },
            {
                { "words", int(supplies::MaterialDocumentForm::QuantityColumn), "ten", false },
                { "negative", int(supplies::MaterialDocumentForm::QuantityColumn), "-4", true },
                { "discount 150", int(supplies::MaterialDocumentForm::DiscountColumn), "150", true },
                { "tax as text", int(supplies::MaterialDocumentForm::TaxColumn), "VAT", false },
            });
    }
    void badInputThroughTheGrid()
    {
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(bool, takenByTheCell);
        auto dm = m_practice->open();
        supplierWithMaterial(*dm);
        supplies::TSupplierOrderForm order(*dm);
        order.setAttribute(Qt::WA_DeleteOnClose, false);
        order.show();
        order.setup().header->append();
        order.AddLineBtnClick();
        QVERIFY(typeInto(*order.Grid, supplies::MaterialDocumentForm::QuantityColumn, QStringLiteral("2")));
        testsupport::MessageRecorder messages;
        QCOMPARE(typeInto(*order.Grid, column, text), takenByTheCell);
        if (takenByTheCell)
            QVERIFY(!order.storeChanges());
        QCOMPARE(messages.texts().size(), 1);
        QCOMPARE(scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM MaterialOrderItems")).toInt(), 0);
        QCOMPARE(scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM MaterialOrders")).toInt(), 0);
        messages.answer(platform::MessageService::Answer::No);
        order.close();
    }

    // The tax cell offers the usual rates; another from 0 to 100 is typed.
    void taxCellOffersTheUsualRates_data() { testsupport::addSwitchRows("delivery", "delivery", "order"); }
    void taxCellOffersTheUsualRates()
    {
        QFETCH(bool, delivery);
        auto dm = m_practice->open();
        supplierWithMaterial(*dm);
        std::unique_ptr<supplies::MaterialDocumentForm> form;
        if (delivery)
            form = std::make_unique<supplies::TDeliveredMaterialsForm>(*dm);
        else
            form = std::make_unique<supplies::TSupplierOrderForm>(*dm);
        form->setAttribute(Qt::WA_DeleteOnClose, false);
        form->show();
        form->setup().header->append();
        form->AddLineBtnClick();
        db::Dataset& line = *form->setup().lines;
        QAbstractItemModel* model = form->Grid->datasetModel();
        const QModelIndex cell = model->index(line.currentRow(), supplies::MaterialDocumentForm::TaxColumn);
        QAbstractItemDelegate* delegate
            = form->Grid->view()->itemDelegateForColumn(supplies::MaterialDocumentForm::TaxColumn);
        std::unique_ptr<QWidget> editor(
            delegate->createEditor(form->Grid->view()->viewport(), QStyleOptionViewItem(), cell));
        auto* combo = qobject_cast<QComboBox*>(editor.get());
        QVERIFY(combo);
        QVERIFY(combo->isEditable());
        QStringList offered;
        for (int i = 0; i < combo->count(); ++i)
            offered << combo->itemText(i);
        QCOMPARE(offered, (QStringList { QStringLiteral("8"), QStringLiteral("13"), QStringLiteral("18") }));
        delegate->setEditorData(combo, cell);
        combo->setCurrentIndex(1);
        delegate->setModelData(combo, model, cell);
        QCOMPARE(line.value(u"Tax").toDouble(), 13.0);
        combo->setEditText(QStringLiteral("23"));
        delegate->setModelData(combo, model, cell);
        QCOMPARE(line.value(u"Tax").toDouble(), 23.0);
        editor.reset();
        testsupport::MessageRecorder messages;
        messages.answer(platform::MessageService::Answer::No);
        form->close();
    }

    // A treatment needing the lab is offered, ordered, received (a debt of 120 in the lab's
    // ledger) and walked back step by step.
    void labRoad()
    {
        auto dm = m_practice->open();
        dm->money().setEuroMode(false);
        const int patient = RulesPractice::addPatient(*dm, QStringLiteral("Papadopoulos"));
        RulesPractice::addLab(*dm, QStringLiteral("Other Lab"));
        const int otherLab = dm->supplies().DentalLabTable->value(u"DentalLabID").toInt();
        RulesPractice::addLab(*dm, QStringLiteral("Zirconia Lab"));
        const int lab = dm->supplies().DentalLabTable->value(u"DentalLabID").toInt();
        // Offered: 501 only. Not: the initial level, already ordered, another lab.
        const struct {
            int id, level;
            bool ordered;
            int lab;
        } history[] = { { 501, 2, false, lab }, { 502, 0, false, lab }, { 503, 1, true, lab },
            { 504, 2, false, otherLab } };
        for (const auto& h : history)
            rulestest::exec(*dm->Database,
                QStringLiteral("INSERT INTO History (ID, PatientID, TreatmentLevel, RequireLab, Ordered, "
                               "DentalLabID, ToothNum) "
                               "VALUES (:id, :patient, :level, :yes, :ordered, :lab, 16)"),
                { { QStringLiteral("id"), h.id }, { QStringLiteral("patient"), patient },
                    { QStringLiteral("level"), h.level }, { QStringLiteral("yes"), true },
                    { QStringLiteral("ordered"), h.ordered }, { QStringLiteral("lab"), h.lab } });
        dm->clinical().HistLabOrderItemsToUpdateTable->refresh();
        const auto ordered = [&] {
            return scalar(*dm, QStringLiteral("SELECT Ordered FROM History WHERE ID = 501")).toBool();
        };

        supplies::TLabOrderForm order(*dm);
        order.setAttribute(Qt::WA_DeleteOnClose, false);
        order.show();
        QList<int> offered;
        const auto chooseAll = [&](supplies::TLabJobSelectionForm& selection, QList<int>& rows) {
            db::Dataset& eligible = *selection.Grid->dataSource()->dataset();
            offered.clear();
            for (int row = 0; row < eligible.recordCount(); ++row) {
                offered << eligible.rowValue(row, eligible.field(u"ID").index()).toInt();
                rows << row;
            }
            return int(QDialog::Accepted);
        };
        order.runJobSelection = chooseAll;
        order.SelectJobsBtnClick();
        QCOMPARE(offered, QList<int> { 501 });
        QVERIFY(ordered());
        QCOMPARE(order.setup().lines->recordCount(), 1);
        QCOMPARE(order.setup().lines->value(u"Delivered").toBool(), false);
        order.runJobSelection = chooseAll;
        order.SelectJobsBtnClick();
        QCOMPARE(offered, QList<int> {}); // on the order now

        // Deleting the order job offers the treatment again; ordered again, at 120.
        order.DeleteLineBtnClick();
        QVERIFY(order.storeChanges());
        QVERIFY(!ordered());
        order.SelectJobsBtnClick();
        QCOMPARE(offered, QList<int> { 501 });
        QVERIFY(typeInto(*order.Grid, supplies::LabDocumentForm::PriceColumn, QStringLiteral("120")));
        QVERIFY(order.storeChanges());
        const int orderJob = order.setup().lines->value(u"ItemID").toInt();

        supplies::TDeliveredLabOrderForm delivery(*dm);
        delivery.setAttribute(Qt::WA_DeleteOnClose, false);
        delivery.show();
        int pending = -1;
        delivery.runPicker = [&](supplies::TUndeliveredLabOrdersForm& picker) {
            pending = picker.Grid->datasetModel()->rowCount();
            return picker.selectedRows();
        };
        delivery.setup().header->append();
        delivery.setup().header->setValue(u"OrderCode", QStringLiteral("ZL-120"));
        delivery.PendingBtnClick();
        QCOMPARE(pending, 1);
        const auto related = [&] {
            return scalar(*dm,
                QStringLiteral("SELECT RelatedOrderItemID FROM LabOrderItems WHERE ItemID = :id"), orderJob)
                .toInt();
        };
        QVERIFY(related() > 0);
        const QString ledgerRow = QStringLiteral("SELECT %1 FROM DentEconomics WHERE LabID = :id");
        QCOMPARE(scalar(*dm, ledgerRow.arg(QStringLiteral("Credit")), lab).toDouble(), 120.0);
        QCOMPARE(scalar(*dm, ledgerRow.arg(QStringLiteral("ReceiptCredit")), lab).toDouble(), 120.0);
        QCOMPARE(scalar(*dm, ledgerRow.arg(QStringLiteral("Sign")), lab).toInt(), 1);
        QCOMPARE(scalar(*dm, QStringLiteral("SELECT Balance FROM DentalLabDB WHERE DentalLabID = :id"), lab)
                     .toDouble(),
            120.0);
        dm->supplies().LabOrderItemsTable->refresh();
        QVERIFY(dm->supplies().LabOrderItemsTable->value(u"Delivered").toBool());

        // Deleting the delivery job: undelivered again, no debt left, offered in the picker.
        delivery.DeleteLineBtnClick();
        QVERIFY(delivery.storeChanges());
        QCOMPARE(related(), -1);
        QCOMPARE(scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM DentEconomics")).toInt(), 0);
        QCOMPARE(scalar(*dm, QStringLiteral("SELECT Balance FROM DentalLabDB WHERE DentalLabID = :id"), lab)
                     .toDouble(),
            0.0);
        // Received again; deleting the whole delivery removes its ledger row and lowers the balance.
        delivery.PendingBtnClick();
        QCOMPARE(pending, 1);
        QCOMPARE(scalar(*dm, QStringLiteral("SELECT Balance FROM DentalLabDB WHERE DentalLabID = :id"), lab)
                     .toDouble(),
            120.0);
        delivery.setup().header->remove();
        QCOMPARE(scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM DentEconomics")).toInt(), 0);
        QCOMPARE(scalar(*dm, QStringLiteral("SELECT Balance FROM DentalLabDB WHERE DentalLabID = :id"), lab)
                     .toDouble(),
            0.0);
        QCOMPARE(related(), -1);
        QVERIFY(ordered()); // still on its order
        delivery.close();
        order.close();
    }

    void customJob()
    {
        auto dm = m_practice->open();
        RulesPractice::addPatient(*dm, QStringLiteral("Nikolaou"));
        RulesPractice::addLab(*dm, QStringLiteral("Lab"));
        supplies::TLabOrderForm order(*dm);
        order.setAttribute(Qt::WA_DeleteOnClose, false);
        order.show();
        order.runJobSelection = [](supplies::TLabJobSelectionForm&, QList<int>&) {
            return int(supplies::TLabJobSelectionForm::CustomOrder);
        };
        order.askCustomText = [] { return QString(); }; // the input box cancelled
        order.SelectJobsBtnClick();
        QCOMPARE(scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM LabOrderItems")).toInt(), 0);
        order.askCustomText = [] { return QStringLiteral("Night guard"); };
        order.SelectJobsBtnClick();
        QCOMPARE(scalar(*dm, QStringLiteral("SELECT OrderWhat FROM LabOrderItems")).toString(),
            QStringLiteral("Night guard"));
        QCOMPARE(scalar(*dm, QStringLiteral("SELECT PatientID FROM LabOrderItems")),
            dm->patients().PatientsTable->value(u"PatientID"));
        order.close();
    }

    // A new price typed in the catalogue moves the old one and its date into the history;
    // the same price saved again leaves the history alone.
    void priceHistoryThroughTheCatalogue()
    {
        auto dm = m_practice->open();
        dm->money().setEuroMode(false);
        supplierWithMaterial(*dm);
        db::Dataset& prices = *dm->supplies().SuppliersPerMaterialTable;
        const QDate priced(2026, 3, 1);
        rulestest::exec(*dm->Database, QStringLiteral("UPDATE SuppliersPerMaterial SET PriceDate = :id"),
            { { QStringLiteral("id"), priced } });
        prices.refresh();
        supplies::TmaterialEntryForm catalogue(*dm);
        catalogue.show();
        const auto history = [&](const char* field) {
            return scalar(
                *dm, QStringLiteral("SELECT %1 FROM SuppliersPerMaterial").arg(QLatin1String(field)));
        };
        catalogue.PriceEdit->enterText(QStringLiteral("10"));
        if (dm->supplies().MaterialsTable->isEditing())
            dm->supplies().MaterialsTable->post();
        QVERIFY(history("OldPrice").isNull());
        QCOMPARE(history("PriceDate").toDate(), priced);

        catalogue.PriceEdit->enterText(QStringLiteral("12"));
        QVERIFY(dm->supplies().MaterialsTable->isEditing()); // the price belongs to the material
        dm->supplies().MaterialsTable->post();
        QCOMPARE(history("Price").toDouble(), 12.0);
        QCOMPARE(history("OldPrice").toDouble(), 10.0);
        QCOMPARE(history("OldPriceDate").toDate(), priced);
        QCOMPARE(history("PriceDate").toDate(), QDate::currentDate());
        catalogue.accept();
    }

    void printedOrder()
    {
        auto dm = m_practice->open();
        const QString material = supplierWithMaterial(*dm);
        supplies::TSupplierOrderForm order(*dm);
        order.setAttribute(Qt::WA_DeleteOnClose, false);
        order.show();
        order.setup().header->append();
        order.setup().header->setValue(u"OrderCode", QStringLiteral("PO-77"));
        order.AddLineBtnClick();
        order.setup().lines->setValue(u"MaterialID", material);
        order.setup().lines->setValue(u"Quantity", 3);
        QVERIFY(order.storeChanges());
        const reports::Report report = order.buildReport();
        bool hasLines = false;
        QStringList fields;
        for (const auto& block : report.blocks()) {
            if (const auto* table = std::get_if<reports::ReportTable>(&block))
                hasLines = table->rows().size() == 2
                    && table->rows().first().cells.contains(QStringLiteral("Composite A2"));
            if (const auto* field = std::get_if<reports::Report::Field>(&block))
                fields << field->value;
        }
        QVERIFY(hasLines);
        QVERIFY(fields.contains(QStringLiteral("PO-77")));
        QTemporaryDir dir;
        QVERIFY(order.exportPdf(dir.filePath(QStringLiteral("order.pdf"))));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("order.pdf"))).size() > 0);
        order.close();
    }
};

QTEST_MAIN(TestOrderWindows)
#include "tst_orderwindows.moc"
