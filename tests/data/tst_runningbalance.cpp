// Running balances of the four ledgers and the balance of a patient's session, through the
// data module on a real database.
#include "data/DataDirectory.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Query.h"
#include "platform/Session.h"
#include "platform/Settings.h"
#include "support/DataTable.h"
#include "support/TestEngine.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <numeric>

namespace {

const QDate kToday(2026, 12, 7);
constexpr int kPatient = 1;
constexpr int kSession = 10;
constexpr int kOtherSession = 11;
constexpr int kSupplier = 5;
constexpr int kLab = 7;

// One ledger row as stored; an invalid QVariant is an empty field.
struct Entry {
    QVariant sign;
    QVariant credit;
    QVariant receipt;
    bool receipted = false;
};
using Ledger = QList<Entry>;

QVariant euro(const QVariant& local)
{
    return local.isNull() ? QVariant() : QVariant(local.toDouble() / 100.0);
}

// The rule, row by row from the first: what every row of the view must show.
struct Expected {
    QVariant payable;
    QVariant receivable;
    double balance;
};
QList<Expected> reference(const Ledger& ledger, bool receiptsOnly)
{
    QList<Expected> rows;
    double running = 0;
    for (const Entry& e : ledger) {
        const double amount = (receiptsOnly ? e.receipt : e.credit).toDouble();
        const bool receivable = e.sign.toInt() == -1;
        running += receivable ? -amount : amount;
        rows.append({receivable ? QVariant() : QVariant(amount), receivable ? QVariant(amount) : QVariant(), running});
    }
    return rows;
}

Ledger randomLedger(QRandomGenerator& random, int rows)
{
    Ledger ledger;
    for (int i = 0; i < rows; ++i) {
        const quint32 kind = random.bounded(10u);
        Entry e;
        e.sign = kind == 0 ? QVariant() : QVariant(kind < 6 ? 1 : -1);
        e.credit = random.bounded(8u) == 0 ? QVariant() : QVariant(double(random.bounded(1, 100000)) / 4);
        e.receipted = random.bounded(3u) != 0;
        e.receipt = e.receipted && !e.credit.isNull() && random.bounded(4u) != 0 ? e.credit : QVariant();
        ledger.append(e);
    }
    return ledger;
}

} // namespace

Q_DECLARE_METATYPE(Ledger)

class TestRunningBalance : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    std::unique_ptr<data::TDmForm> m_dm;

    db::Connection& db() const { return *m_dm->Database; }

    db::Dataset* view(const QString& name) const { return m_dm->findView(name); }

    // Replaces the rows of the named view with `ledger`, dated one day apart, and reads it again.
    void store(const QString& viewName, const Ledger& ledger, int session = kSession)
    {
        const bool patients = viewName == QLatin1String("PatientEconomTable");
        db::TransactionGuard transaction(db());
        db::Query::run(db(), QStringLiteral("DELETE FROM PatEconomics"));
        db::Query::run(db(), QStringLiteral("DELETE FROM DentEconomics"));
        const int type = viewName == QLatin1String("SupplierEconomTable") ? 0 : viewName == QLatin1String("LabEconomTable") ? 1 : 2;
        db::Query insert(db(), patients
                ? QStringLiteral("INSERT INTO PatEconomics (EconomID, \"Date\", PatientID, SessionID, Sign, Credit, CreditEURO, IOFld, "
                                 "ReceiptCredit, ReceiptCreditEURO) VALUES (:id, :date, :patient, :session, :sign, :credit, :euro, "
                                 ":io, :receipt, :receiptEuro)")
                : QStringLiteral("INSERT INTO DentEconomics (EconomID, \"Date\", TransactionType, SupplierID, LabID, Sign, Credit, "
                                 "CreditEURO, IOFld, ReceiptCredit, ReceiptCreditEURO) VALUES (:id, :date, :type, :supplier, :lab, "
                                 ":sign, :credit, :euro, :io, :receipt, :receiptEuro)"));
        for (int i = 0; i < ledger.size(); ++i) {
            const Entry& e = ledger[i];
            insert.bind(QStringLiteral("id"), 100 + i).bind(QStringLiteral("date"), kToday.addDays(i - ledger.size()));
            if (patients)
                insert.bind(QStringLiteral("patient"), kPatient).bind(QStringLiteral("session"), session);
            else
                insert.bind(QStringLiteral("type"), type)
                    .bind(QStringLiteral("supplier"), type == 0 ? kSupplier : -1)
                    .bind(QStringLiteral("lab"), type == 1 ? kLab : -1);
            insert.bind(QStringLiteral("sign"), e.sign)
                .bind(QStringLiteral("credit"), e.credit)
                .bind(QStringLiteral("euro"), euro(e.credit))
                .bind(QStringLiteral("io"), e.receipted)
                .bind(QStringLiteral("receipt"), e.receipt)
                .bind(QStringLiteral("receiptEuro"), euro(e.receipt))
                .exec();
        }
        transaction.commit();
        view(viewName)->refresh();
    }

    static double number(db::Dataset* v, int row, const char* field)
    {
        return v->rowValue(row, v->field(QString::fromLatin1(field)).index()).toDouble();
    }
    static QVariant valueAt(db::Dataset* v, int row, const char* field)
    {
        return v->rowValue(row, v->field(QString::fromLatin1(field)).index());
    }

    // Every row against the rule, in both currencies.
    static void compareRows(db::Dataset* v, const QList<Expected>& expected)
    {
        QCOMPARE(v->recordCount(), expected.size());
        for (int row = 0; row < expected.size(); ++row) {
            const Expected& e = expected[row];
            const QByteArray where = QByteArray("row ") + QByteArray::number(row);
            QVERIFY2(qFuzzyCompare(1 + number(v, row, "Balance"), 1 + e.balance), where);
            QVERIFY2(qFuzzyCompare(1 + number(v, row, "BalanceEURO"), 1 + e.balance / 100), where);
            QVERIFY2(valueAt(v, row, "PayableAmount").isNull() == e.payable.isNull(), where);
            QVERIFY2(valueAt(v, row, "ReceivableAmount").isNull() == e.receivable.isNull(), where);
            QVERIFY2(qFuzzyCompare(1 + number(v, row, "PayableAmount") + number(v, row, "ReceivableAmount"),
                         1 + e.payable.toDouble() + e.receivable.toDouble()),
                where);
            QVERIFY2(qFuzzyCompare(1 + number(v, row, "PayableAmountEURO") + number(v, row, "ReceivableAmountEURO"),
                         1 + (e.payable.toDouble() + e.receivable.toDouble()) / 100),
                where);
        }
    }

    static QStringList ledgerViews()
    {
        return {QStringLiteral("PatientEconomTable"), QStringLiteral("SupplierEconomTable"), QStringLiteral("LabEconomTable"),
            QStringLiteral("DentEconomicsTable")};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        qputenv("ORVANE_PROGRAM_DIR", m_root.filePath(QStringLiteral("program")).toUtf8());
        const QString path = m_root.filePath(QStringLiteral("data"));
        testsupport::makeEngineDatabase(path);
        const QString location = testsupport::engineLocation(path);
        data::DataDirectory(location).create();
        {
            const data::DataConnections c = data::DataDirectory(location).open();
            db::Query::run(*c.data, QStringLiteral("INSERT INTO Patient (PatientID, LastName, FirstName, TherapySessionID) VALUES (1, 'Alpha', 'Anna', 10)"));
            db::Query::run(*c.data, QStringLiteral("INSERT INTO Patient (PatientID, LastName) VALUES (2, 'Beta')"));
            db::Query::run(*c.data, QStringLiteral("INSERT INTO Patient (PatientID, LastName, FirstName) VALUES (3, 'Gamma', 'Gia')"));
            for (int session : {kSession, kOtherSession})
                db::Query::run(*c.data, QStringLiteral("INSERT INTO Sessions (SessionID, PatientID, SessionNum) VALUES (%1, 1, %2)").arg(session).arg(session - 9));
            db::Query::run(*c.data, QStringLiteral("INSERT INTO Suppliers (SupplierID, Company) VALUES (4, 'Other supplier'), (5, 'Dental supplies')"));
            db::Query::run(*c.data, QStringLiteral("INSERT INTO DentalLabDB (DentalLabID, Company) VALUES (7, 'Crown lab')"));
        }
        const QString config = m_root.filePath(QStringLiteral("config"));
        QDir().mkpath(config);
        m_dm = data::TDmForm::connect(testsupport::engineProfile(QStringLiteral("balance-test"), path));
        m_dm->openAtStart(platform::Settings(platform::Edition::Dental, config), {}, kToday);
        QVERIFY(m_dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), kPatient));
        QVERIFY(m_dm->clinical().SessionsTable->locate(QStringLiteral("SessionID"), kSession));
        QVERIFY(m_dm->supplies().SuppliersTable->locate(QStringLiteral("SupplierID"), kSupplier));
    }

    void init() { platform::session().receiptsOnly = false; }
    void cleanupTestCase() { m_dm.reset(); }

    // --- the rule on small ledgers, every view alike ---

    void balanceRule_data()
    {
        QTest::addColumn<QString>("viewName");
        QTest::addColumn<bool>("receiptsOnly");
        QTest::addColumn<Ledger>("ledger");
        QTest::addColumn<QList<double>>("balances");
        const QVariant debt(1), payment(-1), none;
        for (const QString& name : ledgerViews()) {
            const QByteArray v = name.toLatin1() + ": ";
            QTest::newRow(v + "one payment") << name << false << Ledger{{payment, 100.0, none}} << QList<double>{-100};
            QTest::newRow(v + "debts and payments") << name << false
                                                    << Ledger{{debt, 250.0, none}, {payment, 100.0, none}, {debt, 30.5, none}, {payment, 180.5, none}}
                                                    << QList<double>{250, 150, 180.5, 0};
            QTest::newRow(v + "empty sign adds") << name << false << Ledger{{none, 40.0, none}, {payment, 10.0, none}} << QList<double>{40, 30};
            QTest::newRow(v + "empty amount counts 0") << name << false << Ledger{{debt, 70.0, none}, {debt, none, none}, {payment, none, none}}
                                                       << QList<double>{70, 70, 70};
            QTest::newRow(v + "receipts only: receipt amounts")
                << name << true << Ledger{{debt, 200.0, 150.0, true}, {payment, 120.0, none, false}, {payment, 80.0, 60.0, true}}
                << QList<double>{150, 150, 90};
        }
    }
    void balanceRule()
    {
        QFETCH(QString, viewName);
        QFETCH(bool, receiptsOnly);
        QFETCH(Ledger, ledger);
        QFETCH(QList<double>, balances);
        platform::session().receiptsOnly = receiptsOnly;
        store(viewName, ledger);
        db::Dataset* v = view(viewName);
        QCOMPARE(v->recordCount(), balances.size());
        // The last row first: the rows before it count all the same.
        for (int row = int(balances.size()) - 1; row >= 0; --row) {
            v->moveTo(row);
            QCOMPARE(v->value(u"Balance").toDouble(), balances[row]);
            QVERIFY(qFuzzyCompare(1 + v->value(u"BalanceEURO").toDouble(), 1 + balances[row] / 100));
        }
        compareRows(v, reference(ledger, receiptsOnly));
    }

    // Random ledgers against the rule computed here, row by row, read in a random order.
    void sameAsRowByRow_data()
    {
        QTest::addColumn<QString>("viewName");
        QTest::addColumn<bool>("receiptsOnly");
        QTest::addColumn<quint32>("seed");
        for (const QString& name : ledgerViews()) {
            for (quint32 seed : {1u, 2u, 3u, 1999u}) {
                for (bool receiptsOnly : {false, true}) {
                    QTest::addRow("%s seed %u%s", qPrintable(name), seed, receiptsOnly ? " receipts only" : "")
                        << name << receiptsOnly << seed;
                }
            }
        }
    }
    void sameAsRowByRow()
    {
        QFETCH(QString, viewName);
        QFETCH(bool, receiptsOnly);
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        const Ledger ledger = randomLedger(random, int(random.bounded(1, 60)));
        platform::session().receiptsOnly = receiptsOnly;
        store(viewName, ledger);
        db::Dataset* v = view(viewName);
        QList<int> order(ledger.size());
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), random);
        for (int row : std::as_const(order).mid(0, 3))
            v->moveTo(row);
        const QList<Expected> expected = reference(ledger, receiptsOnly);
        compareRows(v, expected);
        if (!expected.isEmpty())
            QVERIFY(qFuzzyCompare(1 + number(v, int(expected.size()) - 1, "Balance"), 1 + expected.last().balance));
    }

    // What was calculated for another counterpart never leaks into the first row.
    void firstRowStartsFromZero()
    {
        store(QStringLiteral("SupplierEconomTable"), {{1, 500.0, {}}, {1, 20.0, {}}});
        db::Dataset* v = m_dm->finance().SupplierEconomTable;
        v->last();
        QCOMPARE(v->value(u"Balance").toDouble(), 520.0);
        QVERIFY(m_dm->supplies().SuppliersTable->locate(QStringLiteral("SupplierID"), 4));
        QCOMPARE(v->recordCount(), 0);
        v->insert();
        v->setValue(u"Sign", -1);
        v->setValue(u"Credit", 35.0);
        QCOMPARE(v->value(u"Balance").toDouble(), -35.0);
        v->cancel();
        QVERIFY(m_dm->supplies().SuppliersTable->locate(QStringLiteral("SupplierID"), kSupplier));
        v->first();
        QCOMPARE(v->value(u"Balance").toDouble(), 500.0);
    }

    // Posted and deleted rows of a cached view count at once, and the rows below follow.
    void cachedChangesMoveTheRowsBelow()
    {
        store(QStringLiteral("PatientEconomTable"), {{1, 100.0, {}}, {-1, 40.0, {}}, {1, 10.0, {}}});
        db::Dataset* v = m_dm->finance().PatientEconomTable;
        QVERIFY(v->cachedUpdates());
        const data::TDmForm::StoreHold pending(*m_dm, {v}); // posts stay pending until applied below
        m_dm->money().setEuroMode(false); // the amounts below are typed in the local currency
        const auto balances = [v] {
            QList<double> all;
            for (int row = 0; row < v->recordCount(); ++row)
                all << number(v, row, "Balance");
            return all;
        };
        QCOMPARE(balances(), (QList<double>{100, 60, 70}));

        v->moveTo(0);
        v->edit();
        v->setValue(u"Credit", 150.0);
        QCOMPARE(v->value(u"Balance").toDouble(), 150.0); // the row being edited shows its new amount
        v->cancel();
        QCOMPARE(balances(), (QList<double>{100, 60, 70}));

        v->moveTo(1);
        v->insert(); // between the first two rows
        v->setValue(u"EconomID", 900);
        v->setValue(u"Sign", 1);
        v->setValue(u"Credit", 5.0);
        QCOMPARE(v->value(u"Balance").toDouble(), 105.0);
        QCOMPARE(number(v, 2, "Balance"), 65.0); // the rows below count the new row already
        v->post();
        QCOMPARE(balances(), (QList<double>{100, 105, 65, 75}));

        v->moveTo(0);
        v->edit();
        v->setValue(u"Sign", -1);
        v->post();
        QCOMPARE(balances(), (QList<double>{-100, -95, -135, -125}));

        v->moveTo(1);
        v->remove();
        QCOMPARE(balances(), (QList<double>{-100, -140, -130}));

        v->applyUpdates();
        QCOMPARE(balances(), (QList<double>{-100, -140, -130}));
        QCOMPARE(v->value(u"SessBalance").toDouble(), -130.0);
        v->refresh();
        QCOMPARE(balances(), (QList<double>{-100, -140, -130}));
        m_dm->money().setEuroMode(true);
    }

    // The whole session's balance on every row, per session; receipts-only counts receipted
    // rows only, with their amounts.
    void sessionBalance_data()
    {
        testsupport::addRows<bool, double, double>({ "receiptsOnly", "balance", "otherBalance" },
            {
                { "all rows", false, 35.0, -20.0 },
                { "receipts only", true, 70.0, 0.0 },
            });
    }
    void sessionBalance()
    {
        QFETCH(bool, receiptsOnly);
        QFETCH(double, balance);
        QFETCH(double, otherBalance);
        platform::session().receiptsOnly = receiptsOnly;
        store(QStringLiteral("PatientEconomTable"), {{1, 100.0, 100.0, true}, {-1, 40.0, {}, false}, {1, 5.0, {}, false}, {-1, 30.0, 30.0, true}});
        db::Query::run(db(), QStringLiteral("INSERT INTO PatEconomics (EconomID, SessionID, PatientID, Sign, Credit, CreditEURO, IOFld) "
                                            "VALUES (500, %1, 1, -1, 20, 0.2, FALSE)").arg(kOtherSession));
        db::Dataset* v = m_dm->finance().PatientEconomTable;
        v->refresh();
        for (int row = 0; row < v->recordCount(); ++row) {
            QCOMPARE(number(v, row, "SessBalance"), balance);
            QVERIFY(qFuzzyCompare(1 + number(v, row, "SessBalanceEURO"), 1 + balance / 100));
        }
        QVERIFY(m_dm->clinical().SessionsTable->locate(QStringLiteral("SessionID"), kOtherSession));
        QCOMPARE(v->recordCount(), 1);
        QCOMPARE(v->value(u"SessBalance").toDouble(), otherBalance);
        QVERIFY(m_dm->clinical().SessionsTable->locate(QStringLiteral("SessionID"), kSession));

        // A stored change counts after the view is read again.
        db::Query::run(db(), QStringLiteral("UPDATE PatEconomics SET Credit = Credit + 1000 WHERE EconomID = 100"));
        v->refresh();
        QCOMPARE(v->value(u"SessBalance").toDouble(), balance + 1000);
    }

    void childName()
    {
        store(QStringLiteral("PatientEconomTable"), {{1, 10.0, {}}, {1, 20.0, {}}, {1, 30.0, {}}});
        db::Query::run(db(), QStringLiteral("UPDATE PatEconomics SET ChildID = 3 WHERE EconomID = 100"));
        db::Query::run(db(), QStringLiteral("UPDATE PatEconomics SET ChildID = 2 WHERE EconomID = 101"));
        m_dm->finance().PatientEconomTable->refresh();
        QCOMPARE(valueAt(m_dm->finance().PatientEconomTable, 0, "ChildName").toString(), QStringLiteral("Gamma Gia"));
        QCOMPARE(valueAt(m_dm->finance().PatientEconomTable, 1, "ChildName").toString(), QStringLiteral("Beta"));
        QCOMPARE(valueAt(m_dm->finance().PatientEconomTable, 2, "ChildName").toString(), QString());
    }
};

QTEST_GUILESS_MAIN(TestRunningBalance)
#include "tst_runningbalance.moc"
