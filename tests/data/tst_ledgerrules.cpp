// The finance area's services for the ledger window: receipt marks with the treatments
// following, the empty-counterpart refusal, the family head's ledger, the other sources' total,
// and the running balances checked against plain SQL over random sequences of changes.

#include "db/Query.h"
#include "RulesPractice.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"

#include <QRandomGenerator>
#include <QTest>

using rulestest::ledgerRow;

namespace {

constexpr double kRate = 340.75;

bool near(double a, double b)
{
    return std::abs(a - b) <= 1e-6 * std::max(1.0, std::abs(b));
}

} // namespace

class TestLedgerRules : public RulesTest {
    Q_OBJECT

    // One ledger of the property test: its view, the counterpart to stand on, and the same rows
    // as plain SQL reads them, balanced by a window function in the view's order.
    struct Ledger {
        db::Dataset* view;
        db::Dataset* counterparts;
        QString keyField; // of the counterpart
        QString sql;
    };

    static void compareWithSql(
        data::TDmForm& dm, const Ledger& ledger, const QVariant& key, const QString& step)
    {
        db::Query q(*dm.Database, ledger.sql);
        if (!key.isNull())
            q.bind(QStringLiteral("key"), key);
        q.exec();
        db::Dataset& v = *ledger.view;
        int row = 0;
        double last = 0;
        double lastEuro = 0;
        const int id = v.field(u"EconomID").index();
        const int balance = v.field(u"Balance").index();
        const int balanceEuro = v.field(u"BalanceEURO").index();
        while (q.next()) {
            QVERIFY2(row < v.recordCount(),
                qPrintable(step + QStringLiteral(": the view has fewer rows than the table")));
            QCOMPARE(v.rowValue(row, id).toInt(), q.value(0).toInt());
            last = q.value(1).toDouble();
            lastEuro = q.value(2).toDouble();
            QVERIFY2(near(v.rowValue(row, balance).toDouble(), last), qPrintable(step));
            QVERIFY2(near(v.rowValue(row, balanceEuro).toDouble(), lastEuro), qPrintable(step));
            ++row;
        }
        QCOMPARE(row, v.recordCount());
        // The footers: the session's balance, the stored balance of a supplier or lab, the
        // other sources' total.
        if (ledger.view == dm.finance().PatientEconomTable) {
            const data::SessionBalance session = dm.clinical().sessionBalance(key);
            QVERIFY2(near(session.local, last) && near(session.euro, lastEuro), qPrintable(step));
        } else if (ledger.view == dm.finance().DentEconomicsTable) {
            const data::SessionBalance total = dm.finance().otherSourcesTotal();
            QVERIFY2(near(total.local, last) && near(total.euro, lastEuro), qPrintable(step));
        } else {
            QVERIFY2(near(ledger.counterparts->value(u"Balance").toDouble(), last), qPrintable(step));
            QVERIFY2(near(ledger.counterparts->value(u"BalanceEURO").toDouble(), lastEuro), qPrintable(step));
        }
    }

private Q_SLOTS:
    // "OK" and "Not OK" change only charges whose mark differs; the treatments follow.
    void markCharges_data()
    {
        testsupport::addRows<bool, int>({ "receipted", "changed" },
            {
                { "OK: the unmarked charge only", true, 1 },
                { "Not OK: the marked charge only", false, 1 },
            });
    }
    void markCharges()
    {
        QFETCH(bool, receipted);
        QFETCH(int, changed);
        auto dm = m_practice->open();
        RulesPractice::addPatient(*dm);
        db::Dataset& ledger = RulesPractice::view(*dm, QStringLiteral("PatientEconomTable"));
        const int open = rulestest::chargedTreatment(*dm, 100);
        const int marked = rulestest::chargedTreatment(*dm, 40);
        ledger.refresh();
        QVERIFY(ledger.locate(QStringLiteral("EconomID"), marked));
        QCOMPARE(dm->finance().markCharges({ marked }, true), 1); // one charge receipted beforehand
        const int payment = ledgerRow(ledger, -1, 30.0);

        QCOMPARE(dm->finance().markCharges({ open, marked, payment }, receipted), changed);
        const auto stored = [&dm](const char* field, int id) {
            return RulesPractice::scalar(*dm,
                QStringLiteral("SELECT %1 FROM PatEconomics WHERE EconomID = :id").arg(QLatin1String(field)),
                id);
        };
        QCOMPARE(stored("IOFld", open).toBool(), receipted);
        QCOMPARE(stored("IOFld", marked).toBool(), receipted);
        QVERIFY(!stored("IOFld", payment).toBool()); // payments keep theirs
        const int changedId = receipted ? open : marked;
        QCOMPARE(stored("ReceiptCreditEURO", changedId).isNull(), !receipted);
        if (receipted)
            QCOMPARE(stored("ReceiptCreditEURO", open).toDouble(), 100.0);
        // Every treatment of the session carries its charge's mark.
        QCOMPARE(RulesPractice::scalar(
                     *dm, QStringLiteral("SELECT COUNT(*) FROM History WHERE IOFld = :id"), receipted)
                     .toInt(),
            2);
    }

    void markChargesStoresNothingOnFailure()
    {
        auto dm = m_practice->open();
        RulesPractice::addPatient(*dm);
        RulesPractice::view(*dm, QStringLiteral("PatientEconomTable"));
        const int first = rulestest::chargedTreatment(*dm, 10);
        const int second = rulestest::chargedTreatment(*dm, 20);
        dm->finance().PatientEconomTable->refresh();
        // The treatments cannot be written: another workstation holds them, the disk is full.
        rulestest::refuseWrites(*dm->Database, QStringLiteral("UPDATE"), QStringLiteral("History"));
        QVERIFY_THROWS_EXCEPTION(std::exception, dm->finance().markCharges({ first, second }, true));
        QCOMPARE(
            RulesPractice::scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE IOFld = TRUE"))
                .toInt(),
            0);
        QVERIFY(!dm->finance().PatientEconomTable->hasPendingUpdates());
        QVERIFY(!dm->finance().PatientEconomTable->value(u"IOFld").toBool());
    }

    void emptyCounterpartRefused_data()
    {
        testsupport::addRows<QString, QString>({ "view", "message" },
            {
                { "patients", "PatientEconomTable", "Patients File is Empty!" },
                { "suppliers", "SupplierEconomTable", "Suppliers File is Empty!" },
                { "labs", "LabEconomTable", "Dental Labs File is Empty!" },
            });
    }
    void emptyCounterpartRefused()
    {
        QFETCH(QString, view);
        QFETCH(QString, message);
        auto dm = m_practice->open();
        testsupport::MessageRecorder messages;
        db::Dataset& ledger = RulesPractice::view(*dm, view);
        QVERIFY_THROWS_EXCEPTION(db::Abort, ledger.append());
        QCOMPARE(ledger.state(), db::DatasetState::Browse);
        QCOMPARE(messages.texts(), QStringList { message });
    }

    // A member who does not pay is charged in the head's ledger, with the member's name.
    void onBehalfOfMember()
    {
        auto dm = m_practice->open();
        const int head = RulesPractice::addPatient(*dm, QStringLiteral("Papadakis"));
        const int member = RulesPractice::addPatient(*dm, QStringLiteral("Papadaki"));
        rulestest::exec(*dm->Database,
            QStringLiteral(
                "UPDATE Patient SET TypeProtectionFamily = 1, FirstName = 'Eleni' WHERE PatientID = :m"),
            { { QStringLiteral("m"), member } });
        rulestest::exec(*dm->Database,
            QStringLiteral("INSERT INTO Families (FatherID, ChildID, ChildPays) VALUES (:h, :m, FALSE)"),
            { { QStringLiteral("h"), head }, { QStringLiteral("m"), member } });
        dm->patients().PatientsTable->refresh();
        dm->patients().AllPatientsTable->refresh();
        QVERIFY(dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), member));
        dm->patients().FamilyFatherTable->refresh();

        const QVariant onBehalf = dm->finance().chargeOnBehalf();
        QCOMPARE(onBehalf.toInt(), member);
        QCOMPARE(dm->patients().PatientsTable->value(u"PatientID").toInt(), head);
        dm->finance().financeChargedMember = [onBehalf] { return onBehalf; };
        db::Dataset& ledger = RulesPractice::view(*dm, QStringLiteral("PatientEconomTable"));
        ledgerRow(ledger, 1, 25.0);
        dm->finance().financeChargedMember = nullptr;
        QCOMPARE(ledger.value(u"PatientID").toInt(), head);
        QCOMPARE(ledger.value(u"ChildID").toInt(), member);
        QCOMPARE(ledger.value(u"ChildName").toString(), QStringLiteral("Papadaki Eleni"));

        // A member who pays, or the head, is charged in the own ledger.
        QVERIFY(dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), head));
        QVERIFY(dm->finance().chargeOnBehalf().isNull());
    }

    void otherSourcesTotal_data()
    {
        testsupport::addRows<bool, double>({ "receiptsOnly", "total" },
            {
                { "every row", false, 100.0 - 30.0 + 5.0 },
                { "receipted amounts of receipted rows", true, 80.0 - 30.0 },
            });
    }
    void otherSourcesTotal()
    {
        QFETCH(bool, receiptsOnly);
        QFETCH(double, total);
        auto dm = m_practice->open();
        RulesPractice::addSupplier(*dm, QStringLiteral("S"));
        db::Dataset& other = RulesPractice::view(*dm, QStringLiteral("DentEconomicsTable"));
        ledgerRow(other, 1, 100.0, { { "ReceiptNo", "1" }, { "ReceiptCreditEURO", 80.0 } });
        ledgerRow(other, -1, 30.0, { { "ReceiptNo", "2" }, { "ReceiptCreditEURO", 30.0 } });
        ledgerRow(other, QVariant(), 5.0); // no direction: a payable
        ledgerRow(RulesPractice::view(*dm, QStringLiteral("SupplierEconomTable")), 1,
            999.0); // not the practice's own
        platform::session().receiptsOnly = receiptsOnly;
        const data::SessionBalance sum = dm->finance().otherSourcesTotal();
        platform::session().receiptsOnly = false;
        QCOMPARE(sum.euro, total);
        QVERIFY(near(sum.local, total * kRate));
    }

    // Random charges, payments, edits, deletes and receipt marks on several ledgers: after
    // every step each row's balance and the footer equal plain SQL, in both currencies.
    void balancesFollowPlainSql_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : { 7u, 1234u, 99991u })
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }
    void balancesFollowPlainSql()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        auto dm = m_practice->open();
        RulesPractice::addPatient(*dm, QStringLiteral("Alpha"));
        RulesPractice::addPatient(*dm, QStringLiteral("Beta"));
        for (const char* company : { "S1", "S2" })
            RulesPractice::addSupplier(*dm, company);
        for (const char* company : { "L1", "L2" })
            RulesPractice::addLab(*dm, company);
        const auto balanceSql = [](const char* table, const char* where, const char* order) {
            const QString running
                = QStringLiteral("SUM(CASE WHEN Sign = -1 THEN -COALESCE(%1, 0) ELSE COALESCE(%1, 0) END) "
                                 "OVER (ORDER BY %2, EconomID ROWS UNBOUNDED PRECEDING)");
            return QStringLiteral("SELECT EconomID, %1, %2 FROM %3 WHERE %4 ORDER BY %5, EconomID")
                .arg(running.arg(QStringLiteral("Credit"), QLatin1String(order)),
                    running.arg(QStringLiteral("CreditEURO"), QLatin1String(order)), QLatin1String(table),
                    QLatin1String(where), QLatin1String(order));
        };
        const QList<Ledger> ledgers = {
            { dm->finance().PatientEconomTable, dm->patients().PatientsTable, QStringLiteral("PatientID"),
                balanceSql("PatEconomics", "SessionID = :key", "SessionID") },
            { dm->finance().SupplierEconomTable, dm->supplies().SuppliersTable, QStringLiteral("SupplierID"),
                balanceSql("DentEconomics", "SupplierID = :key", "SupplierID") },
            { dm->finance().LabEconomTable, dm->supplies().DentalLabTable, QStringLiteral("DentalLabID"),
                balanceSql("DentEconomics", "LabID = :key", "LabID") },
            { dm->finance().DentEconomicsTable, nullptr, QString(),
                balanceSql("DentEconomics", "TransactionType = 2", "Date") },
        };
        for (const Ledger& l : ledgers) {
            if (!l.view->isActive())
                dm->OpenTable(*l.view);
        }

        for (int step = 0; step < 120; ++step) {
            const Ledger& ledger = ledgers[int(random.bounded(quint32(ledgers.size())))];
            db::Dataset& v = *ledger.view;
            if (ledger.counterparts) {
                // Another counterpart now and then.
                if (random.bounded(4u) == 0)
                    ledger.counterparts->moveTo(
                        int(random.bounded(quint32(ledger.counterparts->recordCount()))));
            }
            const quint32 kind = random.bounded(10u);
            QString what;
            if (kind < 5 || v.isEmpty()) {
                const quint32 direction = random.bounded(5u);
                const QVariant sign = direction == 0 ? QVariant() : QVariant(direction < 3 ? 1 : -1);
                const QVariant amount
                    = random.bounded(8u) == 0 ? QVariant() : QVariant(double(random.bounded(1u, 40000u)) / 4);
                ledgerRow(v, sign, amount,
                    { { "Date", QDate(2026, 1 + int(random.bounded(12u)), 1 + int(random.bounded(28u))) } });
                what = QStringLiteral("add");
            } else if (kind < 7) {
                v.moveTo(int(random.bounded(quint32(v.recordCount()))));
                v.edit();
                v.setValue(u"CreditEURO", double(random.bounded(1u, 40000u)) / 4);
                if (random.bounded(2u) == 0)
                    v.setValue(u"Sign", v.value(u"Sign").toInt() == -1 ? 1 : -1);
                v.post();
                what = QStringLiteral("edit");
            } else if (kind < 9) {
                v.moveTo(int(random.bounded(quint32(v.recordCount()))));
                v.remove();
                what = QStringLiteral("delete");
            } else if (&v == dm->finance().PatientEconomTable) {
                QList<QVariant> ids;
                for (int row = 0; row < v.recordCount(); ++row) {
                    if (random.bounded(2u) == 0)
                        ids.append(v.rowValue(row, v.field(u"EconomID").index()));
                }
                dm->finance().markCharges(ids, random.bounded(2u) == 0);
                what = QStringLiteral("mark");
            }
            const QVariant key = ledger.counterparts
                ? (&v == dm->finance().PatientEconomTable ? dm->clinical().SessionsTable->value(u"SessionID")
                                                          : ledger.counterparts->value(ledger.keyField))
                : QVariant();
            compareWithSql(
                *dm, ledger, key, QStringLiteral("step %1 (%2 on %3)").arg(step).arg(what, v.objectName()));
            if (QTest::currentTestFailed())
                return;
        }
    }
};

QTEST_GUILESS_MAIN(TestLedgerRules)
#include "tst_ledgerrules.moc"
