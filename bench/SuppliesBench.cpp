// (s1)-(s2): the delivery window's work on a practice with 2,000 material orders of 10 lines
// each (a tenth with --quick) and a supplier with 500 pending lines: opening the pending-items
// picker, and posting a delivery of 20 lines taken from it (the lines, the order lines they
// complete, the ledger row and the supplier's balance in one transaction), each next to plain
// SQL doing the same work in the same run.
#include "Measure.h"

#include "data/DataDirectory.h"
#include "data/DemoPractice.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Generators.h"
#include "platform/Settings.h"
#include "supplies/SupplyActions.h"
#include "supplies/UndeliveredMaterialsUnit.h"
#include "widgets/DBGrid.h"

#include <QSqlQuery>

namespace bench {
namespace {

constexpr int kPendingLines = 500;
constexpr int kLinesPerOrder = 10;
constexpr int kSuppliers = 100;
const QDate kToday { 2026, 12, 7 };

struct SupplyPractice {
    QString path;
    int busySupplier = 0;
    int orders = 0;
    int lines = 0;
};

// The demo practice's catalogues, then the orders written by prepared inserts in one transaction.
const SupplyPractice& practice(Context& context)
{
    static SupplyPractice made;
    if (!made.path.isEmpty())
        return made;
    made.path = context.newDirectory(QStringLiteral("supplies"));
    data::createDemoDirectory(made.path, { .patients = 20, .today = kToday });
    data::DataConnections c = data::DataDirectory(made.path).open();
    const auto maxOf = [&](const char* sql) {
        QSqlQuery q = prepared(*c.data, QLatin1String(sql));
        run(q);
        return q.next() ? q.value(0).toInt() : 0;
    };
    QStringList materials;
    {
        QSqlQuery q = prepared(*c.data, QStringLiteral("SELECT MaterialID FROM MaterialDB"));
        run(q);
        while (q.next())
            materials << q.value(0).toString();
    }
    int supplier = maxOf("SELECT MAX(SupplierID) FROM Suppliers");
    int order = maxOf("SELECT MAX(OrderID) FROM MaterialOrders");
    int item = maxOf("SELECT MAX(ItemID) FROM MaterialOrderItems");
    const int totalOrders = context.scaled(2000);
    {
        db::TransactionGuard transaction(*c.data);
        QSqlQuery addSupplier = prepared(*c.data,
            QStringLiteral(
                "INSERT INTO Suppliers (SupplierID, Company, Balance, BalanceEURO) VALUES (?, ?, 0, 0)"));
        QSqlQuery addOrder = prepared(*c.data,
            QStringLiteral("INSERT INTO MaterialOrders (OrderID, DocID, SupplierID, \"Date\", OrderCode, "
                           "TotalItems, TotalPrice, TotalPriceEURO, "
                           "TransType) VALUES (?, 1, ?, ?, ?, ?, ?, ?, 0)"));
        QSqlQuery addLine = prepared(*c.data,
            QStringLiteral("INSERT INTO MaterialOrderItems (ItemID, OrderID, MaterialID, UnitPrice, "
                           "UnitPriceEURO, Quantity, QuantityDelivered, "
                           "Discount, Price, PriceEURO, RelatedOrderItemID, Tax) VALUES (?, ?, ?, 10, 10, ?, "
                           "?, 0, ?, ?, -1, 18)"));
        QList<int> suppliers;
        for (int s = 0; s < kSuppliers; ++s) {
            suppliers << ++supplier;
            run(addSupplier,
                { supplier, QStringLiteral("Bench Supplier %1").arg(s, 3, 10, QLatin1Char('0')) });
        }
        made.busySupplier = suppliers.first();
        const int busyOrders = kPendingLines / kLinesPerOrder;
        for (int o = 0; o < totalOrders; ++o) {
            // The busy supplier's orders wait whole; everybody else's came in.
            const bool busy = o < busyOrders;
            const int owner = busy ? made.busySupplier : suppliers[1 + o % (kSuppliers - 1)];
            ++order;
            double total = 0;
            for (int l = 0; l < kLinesPerOrder; ++l) {
                const int quantity = 1 + (o + l) % 9;
                const double price = 1.18 * quantity * 10;
                total += price;
                run(addLine,
                    { ++item, order, materials[(o * kLinesPerOrder + l) % materials.size()], quantity,
                        busy ? 0 : quantity, price, price });
                ++made.lines;
            }
            run(addOrder,
                { order, owner, kToday.addDays(-(o % 300)), QStringLiteral("B-%1").arg(o), kLinesPerOrder,
                    total, total });
            ++made.orders;
        }
        transaction.commit();
    }
    for (const db::GeneratorDef& g : c.generators->definitions())
        c.generators->setBehindHighestInUse(g.name, *c.data);
    return made;
}

std::unique_ptr<data::TDmForm> openPractice(Context& context, const SupplyPractice& p)
{
    auto dm = data::TDmForm::connect({ .name = QStringLiteral("bench-supplies"), .dataDirectory = p.path });
    dm->openAtStart(platform::Settings(
                        platform::Edition::Dental, context.newDirectory(QStringLiteral("supplies-config"))),
        {}, kToday);
    dm->money().setEuroMode(false);
    if (!dm->supplies().SuppliersTable->locate(QStringLiteral("SupplierID"), p.busySupplier))
        fail(QStringLiteral("the busy supplier is missing"));
    return dm;
}

// What the picker shows of every row.
int readShown(db::Dataset& view)
{
    int filled = 0;
    const QList<int> fields = { view.field(u"Supplier").index(), view.field(u"DateAndOrderCode").index(),
        view.field(u"MaterialDescription").index(), view.field(u"Quantity").index(),
        view.field(u"QuantityDelivered").index() };
    for (int row = 0; row < view.recordCount(); ++row) {
        for (int f : fields)
            filled += view.rowValue(row, f).isNull() ? 0 : 1;
    }
    return filled;
}

Result pendingPicker(Context& context)
{
    const SupplyPractice& p = practice(context);
    auto dm = openPractice(context, p);
    constexpr int kRounds = 5;
    int rows = 0;
    int filled = 0;
    const double ours = bestMs(kRounds, [&] {
        supplies::TUndeliveredMaterialsForm picker(*dm, true);
        db::Dataset& pending = *picker.Grid->dataSource()->dataset();
        rows = pending.recordCount();
        filled = readShown(pending);
    });
    if (rows != kPendingLines || filled != kPendingLines * 5)
        fail(QStringLiteral("the picker shows %1 rows with %2 values, not %3")
                 .arg(rows)
                 .arg(filled)
                 .arg(kPendingLines));
    QSqlQuery plain = prepared(*dm->Database,
        QStringLiteral("SELECT i.ItemID, s.Company, o.\"Date\", o.OrderCode, m.Description, i.Quantity, "
                       "i.QuantityDelivered "
                       "FROM MaterialOrderItems i JOIN MaterialOrders o ON o.OrderID = i.OrderID JOIN "
                       "Suppliers s ON s.SupplierID = o.SupplierID "
                       "LEFT JOIN MaterialDB m ON m.MaterialID = i.MaterialID "
                       "WHERE o.TransType = 0 AND o.SupplierID = ? AND i.QuantityDelivered < i.Quantity"));
    int plainRows = 0;
    const double plainMs = bestMs(kRounds, [&] {
        run(plain, { p.busySupplier });
        plainRows = 0;
        while (plain.next())
            ++plainRows;
    });
    Result r { ours, plainMs,
        { QStringLiteral("(s1) the pending picker of a supplier with %1 pending lines (%2 orders, %3 lines "
                         "in all): %4 ms; plain SQL %5 ms")
                .arg(rows)
                .arg(p.orders)
                .arg(p.lines)
                .arg(ours, 0, 'f', 2)
                .arg(plainMs, 0, 'f', 2) },
        QStringLiteral("<= 30 ms"),
        plainRows == rows ? (ours <= 30 ? QStringLiteral("met") : QStringLiteral("MISSED"))
                          : QStringLiteral("WRONG rows") };
    r.window = true;
    return r;
}

Result deliveryPost(Context& context)
{
    const SupplyPractice& p = practice(context);
    auto dm = openPractice(context, p);
    data::SuppliesArea& s = dm->supplies();
    db::Dataset& delivery = *s.DeliveredMaterialsTable;
    db::Dataset& pending = *s.UndeliveredMaterialItemsPerSupplQry;
    constexpr int kRounds = 5;
    constexpr int kLines = 20;
    double ours = 1e12;
    double take = 1e12;
    double coldTake = 0;
    QList<int> rows;
    for (int i = 0; i < kLines; ++i)
        rows << i;
    for (int round = 0; round < kRounds; ++round) {
        delivery.append();
        delivery.setValue(u"OrderCode", QStringLiteral("INV-%1").arg(round));
        delivery.post();
        pending.close();
        pending.setParam(QStringLiteral("SupplierID"), p.busySupplier);
        pending.open();
        const double took = timeMs([&] { supplies::deliverPendingItems(*dm, rows); });
        if (round == 0)
            coldTake = took; // the first reads the order lines a delivery line updates
        take = std::min(take, took);
        ours = std::min(ours, timeMs([&] {
            delivery.edit();
            delivery.post();
        }));
    }
    // Checked: every line taken arrived whole, the ledger holds each delivery, the balance sums them.
    const auto scalar = [&](const QString& sql, const QVariantList& values) {
        QSqlQuery q = prepared(*dm->Database, sql);
        run(q, values);
        return q.next() ? q.value(0) : QVariant();
    };
    const int completed = scalar(
        QStringLiteral(
            "SELECT COUNT(*) FROM MaterialOrderItems i JOIN MaterialOrders o ON o.OrderID = i.OrderID "
            "WHERE o.SupplierID = ? AND o.TransType = 0 AND i.QuantityDelivered = i.Quantity"),
        { p.busySupplier })
                              .toInt();
    const double ledger = scalar(
        QStringLiteral("SELECT SUM(Credit) FROM DentEconomics WHERE SupplierID = ?"), { p.busySupplier })
                              .toDouble();
    const double balance
        = scalar(QStringLiteral("SELECT Balance FROM Suppliers WHERE SupplierID = ?"), { p.busySupplier })
              .toDouble();
    const bool right = completed == kRounds * kLines && ledger > 0 && std::abs(ledger - balance) < 1e-6;

    // Plain SQL: the same rows written in one transaction, the balance summed and stored.
    QSqlQuery lines = prepared(*dm->Database,
        QStringLiteral("SELECT i.ItemID, i.MaterialID, i.Quantity, i.QuantityDelivered FROM "
                       "MaterialOrderItems i JOIN MaterialOrders o "
                       "ON o.OrderID = i.OrderID WHERE o.SupplierID = ? AND o.TransType = 0 AND "
                       "i.QuantityDelivered < i.Quantity LIMIT 20"));
    QSqlQuery addLine = prepared(*dm->Database,
        QStringLiteral(
            "INSERT INTO MaterialOrderItems (ItemID, OrderID, MaterialID, UnitPrice, UnitPriceEURO, "
            "Quantity, QuantityDelivered, Discount, "
            "Price, PriceEURO, RelatedOrderItemID, Tax) VALUES (?, ?, ?, 10, 10, ?, ?, 0, ?, ?, ?, 18)"));
    QSqlQuery complete = prepared(*dm->Database,
        QStringLiteral("UPDATE MaterialOrderItems SET QuantityDelivered = Quantity WHERE ItemID = ?"));
    QSqlQuery header = prepared(*dm->Database,
        QStringLiteral("INSERT INTO MaterialOrders (OrderID, SupplierID, TransType, TotalItems, TotalPrice, "
                       "TotalPriceEURO) VALUES (?, ?, 1, ?, ?, ?)"));
    QSqlQuery ledgerRow = prepared(*dm->Database,
        QStringLiteral("INSERT INTO DentEconomics (EconomID, TransactionType, SupplierID, HistoryID, Sign, "
                       "Credit, CreditEURO) VALUES (?, 0, ?, ?, 1, ?, ?)"));
    QSqlQuery sum = prepared(*dm->Database,
        QStringLiteral("SELECT SUM(CASE WHEN Sign = -1 THEN -Credit ELSE Credit END) FROM DentEconomics "
                       "WHERE TransactionType = 0 AND SupplierID = ?"));
    QSqlQuery store
        = prepared(*dm->Database, QStringLiteral("UPDATE Suppliers SET Balance = ? WHERE SupplierID = ?"));
    int nextId = 10000000;
    const double plainMs = bestMs(kRounds, [&] {
        db::TransactionGuard transaction(*dm->Database);
        const int orderId = ++nextId;
        run(lines, { p.busySupplier });
        double total = 0;
        int count = 0;
        QList<QVariantList> taken;
        while (lines.next())
            taken.append({ lines.value(0), lines.value(1), lines.value(2).toInt() - lines.value(3).toInt() });
        for (const QVariantList& t : std::as_const(taken)) {
            const double price = 1.18 * t[2].toInt() * 10;
            run(addLine, { ++nextId, orderId, t[1], t[2], t[2], price, price, t[0] });
            run(complete, { t[0] });
            total += price;
            ++count;
        }
        run(header, { orderId, p.busySupplier, count, total, total });
        run(ledgerRow, { ++nextId, p.busySupplier, orderId, total, total });
        run(sum, { p.busySupplier });
        sum.next();
        run(store, { sum.value(0), p.busySupplier });
        transaction.commit();
    });
    return { ours, plainMs,
        { QStringLiteral(
            "(s2) a delivery of %1 lines taken from pending orders posted (lines, order lines, ledger row, "
            "balance) in one "
            "transaction: %2 ms; taking the lines into the view beforehand %3 ms (the first time %4 ms); "
            "plain SQL %5 ms")
                .arg(kLines)
                .arg(ours, 0, 'f', 2)
                .arg(take, 0, 'f', 2)
                .arg(coldTake, 0, 'f', 2)
                .arg(plainMs, 0, 'f', 2) },
        QStringLiteral("<= 50 ms"),
        right ? (ours + take <= 50 ? QStringLiteral("met") : QStringLiteral("MISSED"))
              : QStringLiteral("WRONG delivery") };
}

const RegisterMeasure s1(QStringLiteral("(s1) supplies: pending picker, 500 lines"), pendingPicker);
const RegisterMeasure s2(QStringLiteral("(s2) supplies: delivery of 20 pending lines posted"), deliveryPost);

} // namespace
} // namespace bench
