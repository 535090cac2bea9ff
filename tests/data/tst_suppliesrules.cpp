// The record rules of suppliers, materials, labs and their orders and deliveries.

#include "RulesPractice.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"

#include <QSignalSpy>
#include <QTest>

using Answer = platform::MessageService::Answer;

namespace {

const QString kPrice = QStringLiteral("Price");

// A header posted, then its lines, then the header posted again for its totals.
void addHeaderWithLines(db::Dataset& header, db::Dataset& lines, const QList<QVariantMap>& values, const QVariantMap& headerValues = {})
{
    header.append();
    for (auto it = headerValues.cbegin(); it != headerValues.cend(); ++it)
        header.setValue(it.key(), it.value());
    header.post();
    for (const QVariantMap& line : values) {
        lines.append();
        for (auto it = line.cbegin(); it != line.cend(); ++it)
            lines.setValue(it.key(), it.value());
        lines.post();
    }
    header.edit();
    header.post();
}

} // namespace

class TestSuppliesRules : public RulesTest {
    Q_OBJECT

private Q_SLOTS:
    void duplicateKeyIsRefused_data()
    {
        testsupport::addRows<QString, QString, QString>({ "view", "key", "table" },
            {
                { "labs", "DentalLabTable", "DentalLabID", "DentalLabDB" },
                { "materials", "MaterialsTable", "MaterialID", "MaterialDB" },
                { "dentists", "DentistsTable", "DocID", "Doctors" },
            });
    }
    void duplicateKeyIsRefused()
    {
        QFETCH(QString, view);
        QFETCH(QString, key);
        QFETCH(QString, table);
        auto dm = m_practice->open();
        db::Dataset& ds = RulesPractice::view(*dm, view);
        RulesPractice::addRow(ds, {});
        const QVariant first = ds.value(key);
        RulesPractice::addRow(ds, {});
        const QVariant second = ds.value(key);
        QVERIFY(first != second);

        testsupport::MessageRecorder messages;
        ds.edit(); // the row's own key is no duplicate
        ds.post();
        QVERIFY(messages.texts().isEmpty());
        for (bool inserting : {true, false}) {
            if (inserting) {
                ds.append();
            } else {
                QVERIFY(ds.locate(key, second));
                ds.edit();
            }
            ds.setValue(key, first);
            QVERIFY_THROWS_EXCEPTION(db::Abort, ds.post());
            QVERIFY(ds.isEditing()); // left as the user typed it
            ds.cancel();
        }
        QCOMPARE(messages.texts(), QStringList(2, QStringLiteral("The specified ID already exists")));
        if (ds.cachedUpdates())
            ds.applyUpdates();
        const QString count = QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = :id").arg(table, key);
        QCOMPARE(RulesPractice::scalar(*dm, count, first).toInt(), 1);
        QCOMPARE(RulesPractice::scalar(*dm, count, second).toInt(), 1);
    }

    void headerNeedsACounterpart_data()
    {
        testsupport::addRows<QString, QString>({ "view", "message" },
            {
                { "order", "MaterialOrdersTable", "Suppliers File is Empty!" },
                { "delivery", "DeliveredMaterialsTable", "Suppliers File is Empty!" },
                { "lab order", "LabOrdersTable", "Dental Labs File is Empty!" },
                { "lab delivery", "DeliveredLabOrdersTable", "Dental Labs File is Empty!" },
            });
    }
    void headerNeedsACounterpart()
    {
        QFETCH(QString, view);
        QFETCH(QString, message);
        auto dm = m_practice->open();
        db::Dataset& ds = RulesPractice::view(*dm, view);
        testsupport::MessageRecorder messages;
        QVERIFY_THROWS_EXCEPTION(db::Abort, ds.append());
        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(ds.state(), db::DatasetState::Browse);
        QVERIFY(ds.isEmpty());

        // With a counterpart the header starts with its defaults.
        messages.clear();
        if (view.contains(QStringLiteral("Lab")))
            RulesPractice::addLab(*dm, QStringLiteral("Lab"));
        else
            RulesPractice::addSupplier(*dm, QStringLiteral("S"));
        ds.append();
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(ds.value(u"TransType").toInt(), view.startsWith(u"Delivered") ? 1 : 0);
        QCOMPARE(ds.value(u"Date").toDate(), QDate::currentDate());
        QCOMPARE(ds.value(u"DocID").toInt(), dm->defaultDentist());
        QVERIFY(ds.value(u"OrderID").toInt() > 0);
    }

    void deletingAMasterDeletesItsItems_data()
    {
        testsupport::addRows<QString, QString, QString>({ "master", "items", "table" },
            {
                { "material order", "MaterialOrdersTable", "MaterialOrderItemsTable", "MaterialOrderItems" },
                { "material delivery", "DeliveredMaterialsTable", "DeliveredMatItemsTable",
                    "MaterialOrderItems" },
                { "material prices", "MaterialsTable", "SuppliersPerMaterialTable", "SuppliersPerMaterial" },
                { "lab order", "LabOrdersTable", "LabOrderItemsTable", "LabOrderItems" },
                { "lab delivery", "DeliveredLabOrdersTable", "DeliveredLabOrderItemsTable", "LabOrderItems" },
                { "prescription", "PrescriptionsTable", "PrescrItemsTable", "PrescrItems" },
            });
    }
    void deletingAMasterDeletesItsItems()
    {
        QFETCH(QString, master);
        QFETCH(QString, items);
        QFETCH(QString, table);
        auto dm = m_practice->open();
        RulesPractice::addPatient(*dm);
        RulesPractice::addSupplier(*dm, QStringLiteral("S"));
        RulesPractice::addLab(*dm, QStringLiteral("L"));
        db::Dataset& head = RulesPractice::view(*dm, master);
        db::Dataset& lines = RulesPractice::view(*dm, items);
        addHeaderWithLines(head, lines, {{}, {}, {}});
        const auto apply = [&] {
            for (db::Dataset* ds : {&head, &lines})
                if (ds->cachedUpdates())
                    ds->applyUpdates();
        };
        apply();
        addHeaderWithLines(head, lines, {{}}); // another master keeps its item
        apply();
        const QString all = QStringLiteral("SELECT COUNT(*) FROM %1").arg(table);
        QCOMPARE(RulesPractice::scalar(*dm, all).toInt(), 4);

        QVERIFY(head.locate(head.field(0).name(), RulesPractice::scalar(*dm, QStringLiteral("SELECT MIN(%1) FROM %2")
                                                                                 .arg(head.field(0).name(), head.tableDef().name))));
        QCOMPARE(lines.recordCount(), 3);
        QSignalSpy removed(&lines, &db::Dataset::rowRemoved);
        head.remove();
        apply();
        QCOMPARE(removed.count(), 0); // the grid repaints once, not once per row
        QCOMPARE(RulesPractice::scalar(*dm, all).toInt(), 1);
    }

    void supplierPriceHistory_data()
    {
        testsupport::addRows<bool, double, bool>({ "euroMode", "newPrice", "moved" },
            {
                { "local, raised", false, 3.0, true },
                { "local, same", false, 2.0, false },
                { "EURO, raised", true, 3.0, true },
                { "EURO, same", true, 2.0, false },
            });
    }
    void supplierPriceHistory()
    {
        QFETCH(bool, euroMode);
        QFETCH(double, newPrice);
        QFETCH(bool, moved);
        auto dm = m_practice->open();
        dm->money().setEuroMode(euroMode);
        const QString price = euroMode ? QStringLiteral("PriceEURO") : kPrice;
        const int supplier = RulesPractice::addSupplier(*dm, QStringLiteral("S"));
        RulesPractice::addRow(*dm->supplies().MaterialsTable, {{"Description", "Gloves"}});
        const QDate priced(2026, 1, 15);
        db::Dataset& prices = *dm->supplies().SuppliersPerMaterialTable;
        RulesPractice::addRow(prices, {{"SupplierID", supplier}, {price, 2.0}, {"PriceDate", priced}});
        QVERIFY(prices.value(u"OldPrice").isNull()); // a new price has no history
        const double oldLocal = prices.value(kPrice).toDouble();
        const double oldEuro = prices.value(u"PriceEURO").toDouble();

        prices.edit();
        prices.setValue(price, newPrice);
        prices.post();
        if (moved) {
            QCOMPARE(prices.value(u"OldPrice").toDouble(), oldLocal);
            QCOMPARE(prices.value(u"OldPriceEURO").toDouble(), oldEuro);
            QCOMPARE(prices.value(u"OldPriceDate").toDate(), priced);
            QCOMPARE(prices.value(u"PriceDate").toDate(), QDate::currentDate());
        } else {
            QVERIFY(prices.value(u"OldPrice").isNull());
            QCOMPARE(prices.value(u"PriceDate").toDate(), priced);
        }
        QCOMPARE(prices.value(price).toDouble(), newPrice);
    }

    void orderLinePrices_data()
    {
        testsupport::addRows<QString, bool>({ "lines", "euroMode" },
            {
                { "order, local", "MaterialOrderItemsTable", false },
                { "order, EURO", "MaterialOrderItemsTable", true },
                { "delivery, local", "DeliveredMatItemsTable", false },
                { "delivery, EURO", "DeliveredMatItemsTable", true },
            });
    }
    void orderLinePrices()
    {
        QFETCH(QString, lines);
        QFETCH(bool, euroMode);
        auto dm = m_practice->open();
        dm->money().setEuroMode(euroMode);
        const double rate = dm->money().rate();
        const QString twin = euroMode ? QStringLiteral("EURO") : QString();
        const int supplier = RulesPractice::addSupplier(*dm, QStringLiteral("S"));
        RulesPractice::addRow(*dm->supplies().MaterialsTable, {{"Description", "Gloves"}});
        const QString material = dm->supplies().MaterialsTable->value(u"MaterialID").toString();
        QCOMPARE(material, RulesPractice::scalar(*dm, QStringLiteral("SELECT MaterialID FROM MaterialDB")).toString()); // as text
        RulesPractice::addRow(*dm->supplies().SuppliersPerMaterialTable, {{"SupplierID", supplier}, {kPrice + twin, 10.0}});

        db::Dataset& line = RulesPractice::view(*dm, lines);
        db::Dataset& header = *line.master()->dataset();
        header.append();
        header.post();
        line.append();
        QCOMPARE(line.value(u"RelatedOrderItemID").toInt(), -1);
        line.setValue(u"MaterialID", material); // the supplier's price list gives the unit price
        QCOMPARE(line.value(QStringLiteral("UnitPrice") + twin).toDouble(), 10.0);
        line.setValue(lines.startsWith(u"Delivered") ? u"QuantityDelivered" : u"Quantity", 5);
        line.setValue(u"Discount", 10.0);
        line.setValue(u"Tax", 18.0);
        QVERIFY(qFuzzyCompare(line.value(kPrice + twin).toDouble(), 53.1)); // 5 x 10 x 0.9 x 1.18
        line.post();
        const double local = line.value(kPrice).toDouble();
        const double euro = line.value(u"PriceEURO").toDouble();
        QVERIFY(qFuzzyCompare(local, euroMode ? 53.1 * rate : 53.1));
        QVERIFY(qFuzzyCompare(euro * rate, local));

        header.edit();
        header.post();
        QCOMPARE(header.value(u"TotalItems").toInt(), 1);
        QVERIFY(qFuzzyCompare(header.value(u"TotalPrice").toDouble(), local));
        QVERIFY(qFuzzyCompare(header.value(u"TotalPriceEURO").toDouble(), euro));
    }

    // Order 10 units; deliver 6, then the 4 left; take the second delivery back.
    void partialDeliveries()
    {
        auto dm = m_practice->open();
        RulesPractice::addSupplier(*dm, QStringLiteral("S"));
        addHeaderWithLines(*dm->supplies().MaterialOrdersTable, *dm->supplies().MaterialOrderItemsTable, {{{"Quantity", 10}}});
        const int ordered = dm->supplies().MaterialOrderItemsTable->value(u"ItemID").toInt();
        dm->supplies().MaterialOrdersTable->applyUpdates();
        dm->supplies().MaterialOrderItemsTable->applyUpdates();
        const auto delivered = [&] {
            return RulesPractice::scalar(*dm, QStringLiteral("SELECT QuantityDelivered FROM MaterialOrderItems WHERE ItemID = :id"), ordered)
                .toInt();
        };

        db::Dataset& lines = *dm->supplies().DeliveredMatItemsTable;
        addHeaderWithLines(*dm->supplies().DeliveredMaterialsTable, lines,
            {{{"RelatedOrderItemID", ordered}, {"Quantity", 10}, {"QuantityDelivered", 6}},
                {{"RelatedOrderItemID", ordered}, {"Quantity", 4}, {"QuantityDelivered", 4}}});
        QCOMPARE(delivered(), 10);
        QVERIFY(lines.locate(QStringLiteral("QuantityDelivered"), 4));
        lines.remove();
        dm->supplies().DeliveredMaterialsTable->edit();
        dm->supplies().DeliveredMaterialsTable->post();
        QCOMPARE(delivered(), 6);

        // A line not taken from an order touches no order.
        lines.append();
        lines.setValue(u"QuantityDelivered", 3);
        lines.post();
        lines.remove();
        dm->supplies().DeliveredMaterialsTable->edit();
        dm->supplies().DeliveredMaterialsTable->post();
        QCOMPARE(delivered(), 6);
    }

    void deliveryKeepsOneTransaction_data()
    {
        testsupport::addRows<QString, QString, QString, QString, QString>(
            { "deliveries", "ledger", "counterpart", "price", "description" },
            {
                { "materials", "DeliveredMaterialsTable", "SupplierEconomTable", "SuppliersTable", "Price",
                    "Order of 3 materials" },
                { "lab jobs", "DeliveredLabOrdersTable", "LabEconomTable", "DentalLabTable", "OrderPrice",
                    "Order of 3 dental jobs" },
            });
    }
    void deliveryKeepsOneTransaction()
    {
        QFETCH(QString, deliveries);
        QFETCH(QString, ledger);
        QFETCH(QString, counterpart);
        QFETCH(QString, price);
        QFETCH(QString, description);
        auto dm = m_practice->open();
        dm->money().setEuroMode(false);
        RulesPractice::addSupplier(*dm, QStringLiteral("S"));
        RulesPractice::addLab(*dm, QStringLiteral("L"));
        db::Dataset& delivery = RulesPractice::view(*dm, deliveries);
        db::Dataset& lines = RulesPractice::view(*dm,
            deliveries == QLatin1String("DeliveredMaterialsTable") ? QStringLiteral("DeliveredMatItemsTable") : QStringLiteral("DeliveredLabOrderItemsTable"));
        db::Dataset& book = RulesPractice::view(*dm, ledger);
        db::Dataset& party = RulesPractice::view(*dm, counterpart);
        db::RuleGuard tab = book.onFilterRecord.add(data::Stage::Window, QStringLiteral("tab"),
            [](const db::Dataset& ds) { return ds.value(u"Sign").toInt() == -1; }); // a window's tab
        delivery.append();
        delivery.setValue(u"OrderCode", QStringLiteral("INV-7"));
        delivery.post();
        const QVariant order = delivery.value(u"OrderID");
        const auto transactions = [&] {
            return RulesPractice::scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM DentEconomics WHERE HistoryID = :id"), order).toInt();
        };
        QCOMPARE(transactions(), 0); // nothing owed yet

        for (int i = 0; i < 3; ++i) {
            lines.append();
            lines.setValue(price, 40.0);
            if (&lines == dm->supplies().DeliveredMatItemsTable) {
                lines.setValue(u"QuantityDelivered", 1);
                lines.setValue(u"UnitPrice", 40.0);
            }
            lines.post();
        }
        delivery.edit();
        delivery.post();
        QCOMPARE(transactions(), 1);
        QVERIFY(book.isFiltered());
        const QString row = QStringLiteral("SELECT %1 FROM DentEconomics WHERE HistoryID = :id");
        const auto stored = [&](const char* field) { return RulesPractice::scalar(*dm, row.arg(QLatin1String(field)), order); };
        QCOMPARE(stored("Description").toString(), description);
        QCOMPARE(stored("Credit").toDouble(), 120.0);
        QCOMPARE(stored("Sign").toInt(), 1);
        QCOMPARE(stored("ReceiptNo").toString(), QStringLiteral("INV-7"));
        QCOMPARE(stored("ReceiptCredit").toDouble(), 120.0);
        QCOMPARE(stored("IOFld").toBool(), true);
        QCOMPARE(stored("TransactionType").toInt(), &book == dm->finance().SupplierEconomTable ? 0 : 1);
        QCOMPARE(party.value(u"Balance").toDouble(), 120.0);

        // A changed delivery without invoice: the same row, no longer receipted.
        lines.first();
        lines.remove();
        delivery.edit();
        delivery.setValue(u"OrderCode", QVariant());
        delivery.post();
        QCOMPARE(transactions(), 1);
        QCOMPARE(stored("Credit").toDouble(), 80.0);
        QCOMPARE(stored("Description").toString(), QString(description).replace(u'3', u'2'));
        QVERIFY(stored("ReceiptCredit").isNull());
        QCOMPARE(stored("IOFld").toBool(), false);
        QCOMPARE(party.value(u"Balance").toDouble(), 80.0);

        delivery.remove();
        QCOMPARE(transactions(), 0);
        QCOMPARE(party.value(u"Balance").toDouble(), 0.0);
    }

    // An order job is delivered once it holds the identifier of the job that received it.
    void labJobDeliveredFlag_data()
    {
        testsupport::addRows<QVariant, bool>({ "related", "delivered" },
            {
                { "pending", QVariant(-1), false },
                { "zero", QVariant(0), false },
                { "empty", QVariant(), false },
                { "received", QVariant(17), true },
            });
    }
    void labJobDeliveredFlag()
    {
        QFETCH(QVariant, related);
        QFETCH(bool, delivered);
        auto dm = m_practice->open();
        RulesPractice::addLab(*dm, QStringLiteral("L"));
        db::Dataset& jobs = *dm->supplies().LabOrderItemsTable;
        addHeaderWithLines(*dm->supplies().LabOrdersTable, jobs, {{{"RelatedOrderItemID", related}}});
        dm->supplies().LabOrdersTable->applyUpdates();
        jobs.applyUpdates();
        jobs.refresh();
        QCOMPARE(jobs.recordCount(), 1);
        QCOMPARE(jobs.value(u"Delivered").toBool(), delivered);
    }

    // Removing jobs walks a lab job back: received -> ordered -> eligible again.
    void labJobsGoBack()
    {
        auto dm = m_practice->open();
        RulesPractice::addLab(*dm, QStringLiteral("L"));
        const int lab = dm->supplies().DentalLabTable->value(u"DentalLabID").toInt();
        db::Query(*dm->Database, QStringLiteral("INSERT INTO History (ID, TreatmentLevel, RequireLab, Ordered, DentalLabID) "
                                                "VALUES (500, 2, :yes, :yes, :lab)"))
            .bind(QStringLiteral("yes"), true)
            .bind(QStringLiteral("lab"), lab)
            .exec();
        addHeaderWithLines(*dm->supplies().LabOrdersTable, *dm->supplies().LabOrderItemsTable, {{{"HistoryID", 500}}});
        const int orderJob = dm->supplies().LabOrderItemsTable->value(u"ItemID").toInt();
        addHeaderWithLines(*dm->supplies().DeliveredLabOrdersTable, *dm->supplies().DeliveredLabOrderItemsTable, {{{"HistoryID", 500}, {"RelatedOrderItemID", orderJob}}});
        for (db::Dataset* ds : {dm->supplies().LabOrdersTable, dm->supplies().LabOrderItemsTable, dm->supplies().DeliveredLabOrdersTable, dm->supplies().DeliveredLabOrderItemsTable})
            ds->applyUpdates();
        db::Query(*dm->Database, QStringLiteral("UPDATE LabOrderItems SET RelatedOrderItemID = :job WHERE ItemID = :id"))
            .bind(QStringLiteral("job"), dm->supplies().DeliveredLabOrderItemsTable->value(u"ItemID"))
            .bind(QStringLiteral("id"), orderJob)
            .exec();
        const auto related = [&] {
            return RulesPractice::scalar(*dm, QStringLiteral("SELECT RelatedOrderItemID FROM LabOrderItems WHERE ItemID = :id"), orderJob).toInt();
        };
        const auto ordered = [&] { return RulesPractice::scalar(*dm, QStringLiteral("SELECT Ordered FROM History WHERE ID = 500")).toBool(); };
        QVERIFY(related() > 0);

        dm->supplies().DeliveredLabOrderItemsTable->remove();
        dm->supplies().DeliveredLabOrdersTable->edit();
        dm->supplies().DeliveredLabOrdersTable->post();
        QCOMPARE(related(), -1); // pending again
        QVERIFY(ordered());

        dm->supplies().LabOrdersTable->first();
        dm->supplies().LabOrderItemsTable->remove();
        dm->supplies().LabOrdersTable->edit();
        dm->supplies().LabOrdersTable->post();
        QVERIFY(!ordered()); // offered for ordering again
    }

    void deletingASupplierTakesItsRecords()
    {
        auto dm = m_practice->open();
        dm->money().setEuroMode(false);
        const int keep = RulesPractice::addSupplier(*dm, QStringLiteral("Keep"));
        addHeaderWithLines(*dm->supplies().MaterialOrdersTable, *dm->supplies().MaterialOrderItemsTable, {{}});
        const int doomed = RulesPractice::addSupplier(*dm, QStringLiteral("Doomed"));
        addHeaderWithLines(*dm->supplies().MaterialOrdersTable, *dm->supplies().MaterialOrderItemsTable, {{}, {}});
        addHeaderWithLines(*dm->supplies().DeliveredMaterialsTable, *dm->supplies().DeliveredMatItemsTable, {{{"QuantityDelivered", 1}, {"UnitPrice", 5.0}}});
        RulesPractice::addRow(*dm->finance().SupplierEconomTable, {{"Credit", 5.0}, {"CreditEURO", 5.0}});
        for (db::Dataset* ds : {dm->supplies().MaterialOrdersTable, dm->supplies().MaterialOrderItemsTable, dm->supplies().DeliveredMaterialsTable, dm->supplies().DeliveredMatItemsTable})
            ds->applyUpdates();
        QCOMPARE(RulesPractice::scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM DentEconomics WHERE SupplierID = :id"), doomed).toInt(), 2);

        QVERIFY(dm->supplies().SuppliersTable->locate(QStringLiteral("SupplierID"), doomed));
        dm->supplies().SuppliersTable->remove();
        for (db::Dataset* ds : {dm->supplies().SuppliersTable, dm->supplies().MaterialOrdersTable, dm->supplies().MaterialOrderItemsTable, dm->supplies().DeliveredMaterialsTable,
                 dm->supplies().DeliveredMatItemsTable, dm->finance().SupplierEconomTable})
            ds->applyUpdates();
        QCOMPARE(RulesPractice::scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM Suppliers")).toInt(), 1);
        QCOMPARE(RulesPractice::scalar(*dm, QStringLiteral("SELECT SupplierID FROM Suppliers")).toInt(), keep);
        QCOMPARE(RulesPractice::scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM MaterialOrders")).toInt(), 1);
        QCOMPARE(RulesPractice::scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM MaterialOrderItems")).toInt(), 1);
        QCOMPARE(RulesPractice::scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM DentEconomics")).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSuppliesRules)
#include "tst_suppliesrules.moc"
