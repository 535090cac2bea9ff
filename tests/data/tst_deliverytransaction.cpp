// A delivery is stored whole: its lines, the order lines it completes, its ledger row and the
// counterpart's balance in one transaction; bad lines are refused before anything is written.

#include "RulesPractice.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"

#include <QTest>

namespace {

const QString kTables[] = { QStringLiteral("MaterialOrders"), QStringLiteral("MaterialOrderItems"),
    QStringLiteral("DentEconomics"), QStringLiteral("Suppliers"), QStringLiteral("LabOrders"),
    QStringLiteral("LabOrderItems"), QStringLiteral("DentalLabDB"), QStringLiteral("History") };

// Every row of the tables a delivery touches, as text: equal snapshots, equal tables.
QString snapshot(data::TDmForm& dm)
{
    QString all;
    for (const QString& table : kTables) {
        db::Query q(*dm.Database, QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table));
        q.exec();
        all += table + QLatin1Char('\n');
        while (q.next()) {
            for (int i = 0; i < q.record().count(); ++i)
                all += q.value(i).toString() + QLatin1Char('|');
            all += QLatin1Char('\n');
        }
    }
    return all;
}

// An order of the current supplier with lines of the given quantities at 10 each; the line ids.
QList<int> addOrder(data::TDmForm& dm, const QList<int>& quantities)
{
    db::Dataset& header = *dm.supplies().MaterialOrdersTable;
    db::Dataset& lines = *dm.supplies().MaterialOrderItemsTable;
    header.append();
    header.post();
    QList<int> ids;
    for (int q : quantities) {
        lines.append();
        lines.setValue(u"Quantity", q);
        lines.setValue(u"UnitPrice", 10.0);
        ids << lines.value(u"ItemID").toInt();
        lines.post();
    }
    header.edit();
    header.post();
    return ids;
}

// A delivery line taking all that is outstanding of an order line.
void deliverLine(data::TDmForm& dm, int orderLine, int quantity)
{
    db::Dataset& lines = *dm.supplies().DeliveredMatItemsTable;
    lines.append();
    lines.setValue(u"RelatedOrderItemID", orderLine);
    lines.setValue(u"Quantity", quantity);
    lines.setValue(u"UnitPrice", 10.0);
    lines.setValue(u"QuantityDelivered", quantity);
    lines.post();
}

// A delivery in the first of `views` (the supplier's by default), stored with its invoice
// `code` and current; the other views (its lines, its ledger) open after it, as in its window.
db::Dataset& openDelivery(data::TDmForm& dm,
    const QStringList& views = { QStringLiteral("DeliveredMaterialsTable") }, const QString& code = {})
{
    for (const QString& view : views)
        RulesPractice::view(dm, view);
    db::Dataset& delivery = RulesPractice::view(dm, views.first());
    delivery.append();
    if (!code.isEmpty())
        delivery.setValue(u"OrderCode", code);
    delivery.post();
    return delivery;
}

// Another workstation deletes an order line.
void deleteOrderLine(data::TDmForm& dm, int itemId)
{
    rulestest::exec(*dm.Database, QStringLiteral("DELETE FROM MaterialOrderItems WHERE ItemID = :id"),
        { { QStringLiteral("id"), itemId } });
}

} // namespace

class TestDeliveryTransaction : public RulesTest {
    Q_OBJECT

private Q_SLOTS:
    // Whichever write of the delivery fails, none is stored, and the same post succeeds once
    // the fault is gone: nothing was lost meanwhile.
    void failureHalfWayStoresNothing_data()
    {
        testsupport::addRows<QString, QString>({ "event", "table" },
            {
                { "ledger row", "INSERT", "DentEconomics" },
                { "order line", "UPDATE", "MaterialOrderItems" },
                { "supplier balance", "UPDATE", "Suppliers" },
            });
    }
    void failureHalfWayStoresNothing()
    {
        QFETCH(QString, event);
        QFETCH(QString, table);
        auto dm = m_practice->open();
        dm->money().setEuroMode(false);
        RulesPractice::addSupplier(*dm, QStringLiteral("S"));
        const QList<int> ordered = addOrder(*dm, { 10, 4 });
        db::Dataset& delivery = openDelivery(*dm,
            { QStringLiteral("DeliveredMaterialsTable"), QStringLiteral("SupplierEconomTable") },
            QStringLiteral("INV-1"));
        const QString before = snapshot(*dm);

        deliverLine(*dm, ordered[0], 10);
        deliverLine(*dm, ordered[1], 4);
        rulestest::refuseWrites(*dm->Database, event, table);
        delivery.edit();
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, delivery.post());
        QCOMPARE(snapshot(*dm), before);

        rulestest::allowWrites(*dm->Database, table);
        delivery.edit();
        delivery.post();
        const auto scalar = [&](const QString& sql) { return RulesPractice::scalar(*dm, sql); };
        QCOMPARE(
            scalar(QStringLiteral(
                       "SELECT SUM(QuantityDelivered) FROM MaterialOrderItems WHERE RelatedOrderItemID = -1"))
                .toInt(),
            14);
        QCOMPARE(
            scalar(QStringLiteral("SELECT COUNT(*) FROM MaterialOrderItems WHERE RelatedOrderItemID > 0"))
                .toInt(),
            2);
        QCOMPARE(
            scalar(QStringLiteral("SELECT Credit FROM DentEconomics WHERE ReceiptNo = 'INV-1'")).toDouble(),
            140.0);
        QCOMPARE(scalar(QStringLiteral("SELECT Balance FROM Suppliers")).toDouble(), 140.0);
        QCOMPARE(
            scalar(QStringLiteral("SELECT TotalItems FROM MaterialOrders WHERE TransType = 1")).toInt(), 2);
    }

    void labDeliveryFailureStoresNothing()
    {
        auto dm = m_practice->open();
        dm->money().setEuroMode(false);
        RulesPractice::addLab(*dm, QStringLiteral("Lab"));
        db::Dataset& delivery = openDelivery(*dm,
            { QStringLiteral("DeliveredLabOrdersTable"), QStringLiteral("DeliveredLabOrderItemsTable"),
                QStringLiteral("LabEconomTable") },
            QStringLiteral("L-7"));
        db::Dataset& jobs = RulesPractice::view(*dm, QStringLiteral("DeliveredLabOrderItemsTable"));
        const QString before = snapshot(*dm);
        jobs.append();
        jobs.setValue(u"OrderWhat", QStringLiteral("Crown"));
        jobs.setValue(u"OrderPrice", 120.0);
        jobs.post();
        rulestest::refuseWrites(*dm->Database, QStringLiteral("UPDATE"), QStringLiteral("DentalLabDB"));
        delivery.edit();
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, delivery.post());
        QCOMPARE(snapshot(*dm), before);
        rulestest::allowWrites(*dm->Database, QStringLiteral("DentalLabDB"));
        delivery.edit();
        delivery.post();
        QCOMPARE(
            RulesPractice::scalar(*dm, QStringLiteral("SELECT Balance FROM DentalLabDB")).toDouble(), 120.0);
        QCOMPARE(
            RulesPractice::scalar(*dm, QStringLiteral("SELECT ReceiptCredit FROM DentEconomics")).toDouble(),
            120.0);
    }

    // Another workstation deleted the order line a delivery line delivers.
    void deletedOrderLineStopsTheDelivery()
    {
        auto dm = m_practice->open();
        RulesPractice::addSupplier(*dm, QStringLiteral("S"));
        const QList<int> ordered = addOrder(*dm, { 5 });
        db::Dataset& delivery = openDelivery(*dm);
        // Read by this workstation, then deleted by another.
        RulesPractice::view(*dm, QStringLiteral("MaterialOrderItemsForLook"));
        deliverLine(*dm, ordered[0], 5);
        deleteOrderLine(*dm, ordered[0]);
        const QString before = snapshot(*dm);
        delivery.edit();
        try {
            delivery.post();
            QFAIL("the delivery was stored");
        } catch (const db::DatabaseError& e) {
            QVERIFY2(e.message().contains(QLatin1String("deleted by another workstation")),
                qPrintable(e.message()));
        }
        QCOMPARE(snapshot(*dm), before);

        // A line made after the deletion is refused when it is posted.
        testsupport::MessageRecorder messages;
        delivery.cancel();
        db::Dataset& lines = *dm->supplies().DeliveredMatItemsTable;
        dm->supplies().MaterialOrderItemsForLook->refresh();
        lines.append();
        lines.setValue(u"RelatedOrderItemID", ordered[0]);
        lines.setValue(u"Quantity", 5);
        lines.setValue(u"QuantityDelivered", 5);
        QVERIFY_THROWS_EXCEPTION(db::Abort, lines.post());
        QCOMPARE(messages.texts(),
            QStringList { QStringLiteral(
                "The ordered item this line delivers has been deleted by another workstation.") });
        lines.cancel();
    }

    // A delivery line stored before its order was deleted is still the record of what came: a
    // correction of it is stored, with no order left to update.
    void aStoredLineOutlivesItsOrder()
    {
        auto dm = m_practice->open();
        RulesPractice::addSupplier(*dm, QStringLiteral("S"));
        const QList<int> ordered = addOrder(*dm, { 5 });
        db::Dataset& delivery = openDelivery(*dm);
        deliverLine(*dm, ordered[0], 5);
        delivery.edit();
        delivery.post();
        deleteOrderLine(*dm, ordered[0]);
        dm->supplies().MaterialOrderItemsForLook->refresh();
        testsupport::MessageRecorder messages;
        db::Dataset& lines = *dm->supplies().DeliveredMatItemsTable;
        lines.edit();
        lines.setValue(u"UnitPriceEURO", 12.0);
        lines.post();
        delivery.edit();
        delivery.post();
        QVERIFY2(messages.texts().isEmpty(), qPrintable(messages.texts().join(u'\n')));
        QCOMPARE(
            RulesPractice::scalar(*dm,
                QStringLiteral("SELECT UnitPriceEURO FROM MaterialOrderItems WHERE RelatedOrderItemID = %1")
                    .arg(ordered[0]))
                .toDouble(),
            12.0);
    }

    void badLinesAreRefused_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("message");
        const QString quantity = QStringLiteral("The quantity must be between 0 and 1000000.");
        QTest::newRow("negative quantity") << "MaterialOrderItemsTable"
                                           << "Quantity" << QVariant(-3) << quantity;
        QTest::newRow("absurd quantity") << "MaterialOrderItemsTable"
                                         << "Quantity" << QVariant(5000000) << quantity;
        QTest::newRow("negative delivered") << "DeliveredMatItemsTable"
                                            << "QuantityDelivered" << QVariant(-1) << quantity;
        QTest::newRow("negative price")
            << "DeliveredMatItemsTable"
            << "UnitPrice" << QVariant(-10.0) << "The unit price must not be negative.";
        QTest::newRow("discount above 100")
            << "MaterialOrderItemsTable"
            << "Discount" << QVariant(150.0) << "The discount must be between 0 and 100.";
        QTest::newRow("negative tax") << "DeliveredMatItemsTable"
                                      << "Tax" << QVariant(-18.0) << "The tax must be between 0 and 100.";
        const QString jobPrice = QStringLiteral("The price of the job must be between 0 and 1000000000.");
        QTest::newRow("negative job price") << "LabOrderItemsTable"
                                            << "OrderPrice" << QVariant(-5.0) << jobPrice;
        QTest::newRow("absurd job price") << "DeliveredLabOrderItemsTable"
                                          << "OrderPrice" << QVariant(2e9) << jobPrice;
    }
    void badLinesAreRefused()
    {
        QFETCH(QString, lines);
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(QString, message);
        auto dm = m_practice->open();
        dm->money().setEuroMode(false); // the local amounts are the ones typed
        RulesPractice::addSupplier(*dm, QStringLiteral("S"));
        RulesPractice::addLab(*dm, QStringLiteral("L"));
        db::Dataset& line = RulesPractice::view(*dm, lines);
        db::Dataset& header = *line.master()->dataset();
        header.append();
        header.post();
        testsupport::MessageRecorder messages;
        line.append();
        line.setValue(field, value);
        QVERIFY_THROWS_EXCEPTION(db::Abort, line.post());
        QCOMPARE(messages.texts(), QStringList { message });
        QVERIFY(line.isEditing()); // as typed, to be mended
        line.cancel();
        header.edit();
        header.post();
        QCOMPARE(RulesPractice::scalar(*dm,
                     QStringLiteral("SELECT (SELECT COUNT(*) FROM MaterialOrderItems) + (SELECT COUNT(*) "
                                    "FROM LabOrderItems)"))
                     .toInt(),
            0);
    }

    void textIsNoQuantity()
    {
        auto dm = m_practice->open();
        RulesPractice::addSupplier(*dm, QStringLiteral("S"));
        db::Dataset& line = RulesPractice::view(*dm, QStringLiteral("MaterialOrderItemsTable"));
        dm->supplies().MaterialOrdersTable->append();
        dm->supplies().MaterialOrdersTable->post();
        line.append();
        line.setValue(u"Quantity", 4);
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, line.setValue(u"Quantity", QStringLiteral("four")));
        QCOMPARE(line.value(u"Quantity").toInt(), 4);
        line.cancel();
    }

    // The pending lines of a supplier: one statement bound to the supplier, following it.
    void pendingLinesOfTheSupplier()
    {
        auto dm = m_practice->open();
        const int first = RulesPractice::addSupplier(*dm, QStringLiteral("A"));
        const QList<int> a = addOrder(*dm, { 10, 3, 2 });
        const int second = RulesPractice::addSupplier(*dm, QStringLiteral("B"));
        const QList<int> b = addOrder(*dm, { 7 });
        // A's second line arrived whole, its first in part; a delivery's own lines never show.
        QVERIFY(dm->supplies().SuppliersTable->locate(QStringLiteral("SupplierID"), first));
        db::Dataset& delivery = RulesPractice::view(*dm, QStringLiteral("DeliveredMaterialsTable"));
        delivery.append();
        delivery.post();
        deliverLine(*dm, a[1], 3);
        deliverLine(*dm, a[0], 10);
        dm->supplies().DeliveredMatItemsTable->edit();
        dm->supplies().DeliveredMatItemsTable->setValue(u"QuantityDelivered", 6);
        dm->supplies().DeliveredMatItemsTable->post();
        delivery.edit();
        delivery.post();

        db::Dataset& pending = *dm->supplies().UndeliveredMaterialItemsPerSupplQry;
        QVERIFY(pending.params().contains(QStringLiteral("SupplierID")));
        pending.close();
        pending.setParam(QStringLiteral("SupplierID"), first);
        pending.open();
        QList<int> items;
        for (int row = 0; row < pending.recordCount(); ++row)
            items << pending.rowValue(row, pending.field(u"ItemID").index()).toInt();
        QCOMPARE(items, (QList<int> { a[0], a[2] }));
        QVERIFY(dm->supplies().SuppliersTable->locate(QStringLiteral("SupplierID"), second));
        QCOMPARE(pending.recordCount(), 1);
        QCOMPARE(pending.value(u"ItemID").toInt(), b[0]);
        QCOMPARE(pending.value(u"Supplier").toString(), QStringLiteral("B"));
    }
};

QTEST_GUILESS_MAIN(TestDeliveryTransaction)
#include "tst_deliverytransaction.moc"
