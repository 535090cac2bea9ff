// The money pairs, the receipt mark and the stored balances of suppliers and labs.

#include "RulesPractice.h"
#include "support/DataTable.h"

#include <QTest>

namespace {

constexpr double kRate = 340.75;

} // namespace

class TestFinanceRules : public RulesTest {
    Q_OBJECT

private Q_SLOTS:
    // What the user types in one currency is stored in both.
    void moneyTwinsStored_data()
    {
        testsupport::addRows<QString, QString, bool, double, double>(
            { "view", "field", "euroMode", "typed", "twin" },
            {
                { "supplier, EURO", "SuppliersTable", "Balance", true, 100.0, 34075.0 },
                { "supplier, local", "SuppliersTable", "Balance", false, 34075.0, 100.0 },
                { "lab", "DentalLabTable", "Balance", true, 100.0, 34075.0 },
                { "medicine", "MedicinesTable", "HospitalPrice", true, 100.0, 34075.0 },
                { "operation", "OperationsTable", "Cost", false, 34075.0, 100.0 },
                { "practice ledger", "DentEconomicsTable", "Credit", true, 100.0, 34075.0 },
                { "supplier ledger, receipt", "SupplierEconomTable", "ReceiptCredit", false, 681.5, 2.0 },
                { "supplier price, old", "SuppliersPerMaterialTable", "OldPrice", true, 2.0, 681.5 },
                { "order line", "MaterialOrderItemsTable", "UnitPrice", true, 100.0, 34075.0 },
                { "lab job", "LabOrderItemsTable", "OrderPrice", true, 100.0, 34075.0 },
            });
    }
    void moneyTwinsStored()
    {
        QFETCH(QString, view);
        QFETCH(QString, field);
        QFETCH(bool, euroMode);
        QFETCH(double, typed);
        QFETCH(double, twin);
        auto dm = m_practice->open();
        QCOMPARE(dm->money().rate(), kRate);
        RulesPractice::addSupplier(*dm, QStringLiteral("S"));
        RulesPractice::addLab(*dm, QStringLiteral("L"));
        RulesPractice::addRow(*dm->supplies().MaterialsTable, {});
        RulesPractice::addRow(*dm->supplies().LabOrdersTable, {});
        dm->money().setEuroMode(euroMode);
        const QString typedField = euroMode ? field + QStringLiteral("EURO") : field;
        const QString twinField = euroMode ? field : field + QStringLiteral("EURO");

        db::Dataset& ds = RulesPractice::view(*dm, view);
        ds.append();
        const QString key = ds.tableDef().identifierField;
        if (ds.value(key).isNull())
            ds.setValue(key, 1); // a view whose numbering is not under test
        const QVariant id = ds.value(key);
        ds.setValue(typedField, typed);
        ds.post();
        if (ds.cachedUpdates())
            ds.applyUpdates();
        const QString stored = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = :id").arg(twinField, ds.tableDef().name, key);
        QVERIFY(qFuzzyCompare(1 + RulesPractice::scalar(*dm, stored, id).toDouble(), 1 + twin));
        const QString asTyped = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = :id").arg(typedField, ds.tableDef().name, key);
        QCOMPARE(RulesPractice::scalar(*dm, asTyped, id).toDouble(), typed);
    }

    void receiptMark_data()
    {
        // marked: IOFld before the post
        testsupport::addRows<QString, int, QString, bool, bool, bool>(
            { "view", "sign", "receiptNo", "receiptsOnly", "marked", "expected" },
            {
                { "practice payment", "DentEconomicsTable", -1, "", false, true, false },
                { "practice payment, receipt", "DentEconomicsTable", -1, "R-1", false, false, true },
                { "practice debt, receipt", "DentEconomicsTable", 1, "R-1", false, false, true },
                { "practice, receipts only", "DentEconomicsTable", 1, "", true, false, true },
                { "supplier, no receipt", "SupplierEconomTable", 1, "", false, true, false },
                { "lab payment, receipt", "LabEconomTable", -1, "7", false, false, true },
                { "patient payment", "PatientEconomTable", -1, "", false, true, false },
                { "patient payment, receipt", "PatientEconomTable", -1, "9", false, false, true },
                { "patient charge keeps its mark", "PatientEconomTable", 1, "", true, false, false },
                { "patient charge keeps its mark, on", "PatientEconomTable", 1, "", false, true, true },
            });
    }
    void receiptMark()
    {
        QFETCH(QString, view);
        QFETCH(int, sign);
        QFETCH(QString, receiptNo);
        QFETCH(bool, receiptsOnly);
        QFETCH(bool, marked);
        QFETCH(bool, expected);
        auto dm = m_practice->open();
        RulesPractice::addSupplier(*dm, QStringLiteral("S"));
        RulesPractice::addLab(*dm, QStringLiteral("L"));
        RulesPractice::addPatient(*dm); // a patient's ledger belongs to a session
        platform::session().receiptsOnly = receiptsOnly;
        db::Dataset& ds = RulesPractice::view(*dm, view);
        ds.append();
        ds.setValue(u"Sign", sign);
        ds.setValue(u"IOFld", marked);
        ds.setValue(u"ReceiptNo", receiptNo.isEmpty() ? QVariant() : QVariant(receiptNo));
        ds.post();
        QCOMPARE(ds.value(u"IOFld").toBool(), expected);
        platform::session().receiptsOnly = false;
    }

    void practiceDefaults_data()
    {
        testsupport::addRows<QString, int, QString, bool>(
            { "view", "transactionType", "sourceName", "receipted" },
            {
                { "other sources", "DentEconomicsTable", 2, "", false },
                { "supplier", "SupplierEconomTable", 0, "Dental Supplies Ltd", true },
                { "lab", "LabEconomTable", 1, "Crown Lab", true },
            });
    }
    void practiceDefaults()
    {
        QFETCH(QString, view);
        QFETCH(int, transactionType);
        QFETCH(QString, sourceName);
        QFETCH(bool, receipted);
        auto dm = m_practice->open();
        RulesPractice::addSupplier(*dm, QStringLiteral("Dental Supplies Ltd"));
        RulesPractice::addLab(*dm, QStringLiteral("Crown Lab"));
        dm->setDefaultDentist(4, m_practice->settings());
        db::Dataset& ds = RulesPractice::view(*dm, view);
        ds.append();
        QVERIFY(ds.value(u"EconomID").toInt() > 0);
        QCOMPARE(ds.value(u"TransactionType").toInt(), transactionType);
        QCOMPARE(ds.value(u"SourceName").toString(), sourceName);
        QCOMPARE(ds.value(u"IOFld").toBool(), receipted);
        QCOMPARE(ds.value(u"Sign").toInt(), -1);
        QCOMPARE(ds.value(u"PaymentType").toInt(), 0);
        QCOMPARE(ds.value(u"DentistID").toInt(), 4);
        QCOMPARE(ds.value(u"Date").toDate(), QDate::currentDate());
        QCOMPARE(ds.value(u"SupplierID").toInt(), transactionType == 0 ? dm->supplies().SuppliersTable->value(u"SupplierID").toInt() : -1);
        QCOMPARE(ds.value(u"LabID").toInt(), transactionType == 1 ? dm->supplies().DentalLabTable->value(u"DentalLabID").toInt() : -1);
        QCOMPARE(m_practice->settings().defaultDoctorId(), 4); // the setter keeps it for the next start
    }

    // Debts minus payments of the current supplier (lab) only, after every post and delete.
    void counterpartBalance_data()
    {
        testsupport::addRows<QString, QString>({ "ledger", "counterpart" },
            {
                { "supplier", "SupplierEconomTable", "SuppliersTable" },
                { "lab", "LabEconomTable", "DentalLabTable" },
            });
    }
    void counterpartBalance()
    {
        QFETCH(QString, ledger);
        QFETCH(QString, counterpart);
        auto dm = m_practice->open();
        dm->money().setEuroMode(false);
        db::Dataset& book = RulesPractice::view(*dm, ledger);
        db::Dataset& party = RulesPractice::view(*dm, counterpart);
        const auto balance = [&] { return std::pair{party.value(u"Balance").toDouble(), party.value(u"BalanceEURO").toDouble()}; };

        RulesPractice::addRow(party, {{"Company", "Other"}});
        RulesPractice::addRow(book, {{"Sign", 1}, {"Credit", 999.0}});
        QCOMPARE(balance().first, 999.0);
        RulesPractice::addRow(party, {{"Company", "Mine"}});
        QCOMPARE(balance().first, 0.0);
        RulesPractice::addRow(book, {{"Sign", 1}, {"Credit", 100.0}});
        RulesPractice::addRow(book, {{"Sign", 1}, {"Credit", 50.0}});
        RulesPractice::addRow(book, {{"Sign", -1}, {"Credit", 30.0}});
        QCOMPARE(balance().first, 120.0);
        QVERIFY(qFuzzyCompare(balance().second, 120.0 / kRate));
        QVERIFY(book.locate(QStringLiteral("Credit"), 50.0));
        book.remove();
        QCOMPARE(balance().first, 70.0);
        QVERIFY(book.locate(QStringLiteral("Credit"), 30.0));
        book.edit();
        book.setValue(u"Sign", 1); // the payment was a debt after all
        book.post();
        QCOMPARE(balance().first, 130.0);
    }
};

QTEST_GUILESS_MAIN(TestFinanceRules)
#include "tst_financerules.moc"
