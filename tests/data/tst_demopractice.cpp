#include "data/DataDirectory.h"
#include "data/DemoPractice.h"
#include "data/Money.h"
#include "data/schema/Schema.h"
#include "db/Connection.h"
#include "db/Generators.h"
#include "db/Query.h"
#include "support/DataTable.h"

#include <QCryptographicHash>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

const QDate kToday(2026, 12, 7);

qint64 scalar(const db::Connection& connection, const QString& sql)
{
    return db::Query(connection, sql).scalar().toLongLong();
}

// Every row of every table, in identifier order, hashed together with the row counts.
QByteArray fingerprint(const db::Connection& connection, QList<qint64>* rowCounts)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const db::TableDef& table : data::schemaTables()) {
        QStringList order;
        for (const db::FieldDef& field : table.fields)
            order.append(db::Dialect::quoted(field.name));
        db::Query rows(connection, QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(db::Dialect::quoted(table.name), order.join(u',')));
        rows.exec();
        qint64 count = 0;
        while (rows.next()) {
            ++count;
            for (int i = 0; i < rows.record().count(); ++i)
                hash.addData(rows.value(i).toString().toUtf8() + '\x1f');
        }
        rowCounts->append(count);
    }
    return hash.result().toHex();
}

} // namespace

class TestDemoPractice : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_path;
    data::DemoPracticeCounts m_counts;
    data::DataConnections m_connections;

    const db::Connection& db() const { return *m_connections.data; }

private Q_SLOTS:
    void initTestCase()
    {
        m_path = m_root.filePath(QStringLiteral("demo"));
        m_counts = data::createDemoDirectory(m_path, {.patients = 200, .today = kToday});
        m_connections = data::DataDirectory(m_path).open();
    }

    void theDirectoryIsSound()
    {
        // Includes: every generator stands at or above the highest identifier in use.
        QCOMPARE(data::DataDirectory(m_path).check(), QStringList());
    }

    void practiceHasItsParts_data()
    {
        testsupport::addRows<QString, qint64>({ "sql", "expected" },
            {
                { "patients", "SELECT COUNT(*) FROM Patient", qint64(200) },
                { "a medical history each", "SELECT COUNT(DISTINCT PatID) FROM CartAnamnestica",
                    qint64(200) },
                { "three dentists", "SELECT COUNT(*) FROM Doctors", qint64(3) },
                { "dentists' hours are set, not all",
                    "SELECT COUNT(*) FROM Doctors WHERE length(WorkingHoursSet) = 32 AND WorkingHoursSet <> "
                    "zeroblob(32)"
                    " AND WorkingHoursSet <> "
                    "x'FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF'",
                    qint64(3) },
                { "twelve operation groups",
                    "SELECT COUNT(DISTINCT GroupID) FROM Operations WHERE GroupID BETWEEN 1 AND 12",
                    qint64(12) },
                { "all three levels", "SELECT COUNT(DISTINCT TreatmentLevel) FROM History", qint64(3) },
                { "each patient's session is his own",
                    "SELECT COUNT(*) FROM Patient p JOIN Sessions s ON s.SessionID = p.TherapySessionID AND "
                    "s.PatientID = p.PatientID",
                    qint64(200) },
                { "families have payers",
                    "SELECT COUNT(*) FROM Families f JOIN Patient p ON p.PatientID = f.FatherID "
                    "WHERE p.TypeProtectionFamily <> 2",
                    qint64(0) },
                { "members are protected",
                    "SELECT COUNT(*) FROM Families f JOIN Patient p ON p.PatientID = f.ChildID "
                    "WHERE p.TypeProtectionFamily <> 1",
                    qint64(0) },
                { "delivered lab jobs link both ways",
                    "SELECT COUNT(*) FROM LabOrderItems o JOIN LabOrderItems d ON d.ItemID = "
                    "o.RelatedOrderItemID "
                    "WHERE d.RelatedOrderItemID <> o.ItemID",
                    qint64(0) },
                { "ordered jobs are marked on the history",
                    "SELECT COUNT(*) FROM LabOrderItems i JOIN History h ON h.ID = i.HistoryID WHERE NOT "
                    "h.Ordered",
                    qint64(0) },
                { "supplier balances add up",
                    "SELECT COUNT(*) FROM Suppliers s WHERE abs(s.BalanceEURO - (SELECT COALESCE(SUM(Sign * "
                    "CreditEURO), 0) "
                    "FROM DentEconomics d WHERE d.TransactionType = 0 AND d.SupplierID = s.SupplierID)) > "
                    "1e-6",
                    qint64(0) },
                { "lab balances add up",
                    "SELECT COUNT(*) FROM DentalLabDB l WHERE abs(l.BalanceEURO - (SELECT COALESCE(SUM(Sign "
                    "* CreditEURO), 0) "
                    "FROM DentEconomics d WHERE d.TransactionType = 1 AND d.LabID = l.DentalLabID)) > 1e-6",
                    qint64(0) },
                { "recalls due on the day",
                    "SELECT COUNT(*) > 0 FROM Patient WHERE RecallDate = '2026-12-07'", qint64(1) },
            });
    }
    void practiceHasItsParts()
    {
        QFETCH(QString, sql);
        QFETCH(qint64, expected);
        QCOMPARE(scalar(db(), sql), expected);
    }

    // A treatment carried out at a cost is charged exactly once, on the account of whoever pays.
    void everyChargeMatchesItsTreatment()
    {
        QCOMPARE(scalar(db(), QStringLiteral("SELECT COUNT(*) FROM History h WHERE h.TreatmentLevel = 2 AND h.Cost <> 0 AND "
                                             "(SELECT COUNT(*) FROM PatEconomics e WHERE e.HistoryID = h.ID) <> 1")),
            0);
        QCOMPARE(scalar(db(), QStringLiteral("SELECT COUNT(*) FROM PatEconomics e LEFT JOIN History h ON h.ID = e.HistoryID "
                                             "WHERE e.HistoryID IS NOT NULL AND (h.ID IS NULL OR h.TreatmentLevel <> 2 OR h.Cost = 0 "
                                             "OR e.Sign <> 1 OR e.CreditEURO <> h.CostEURO OR e.IOFld <> h.IOFld)")),
            0);
        const QString wrongAccount = QStringLiteral(
            "SELECT COUNT(*) FROM PatEconomics e JOIN History h ON h.ID = e.HistoryID JOIN Patient p ON p.PatientID = h.PatientID "
            "LEFT JOIN Families f ON f.ChildID = p.PatientID "
            "JOIN Patient a ON a.PatientID = e.PatientID "
            "WHERE CASE WHEN p.TypeProtectionFamily = 1 AND NOT f.ChildPays "
            "  THEN e.PatientID <> f.FatherID OR e.ChildID <> p.PatientID OR e.SessionID <> a.TherapySessionID "
            "  ELSE e.PatientID <> p.PatientID OR e.ChildID IS NOT NULL OR e.SessionID <> h.TherapySessionID END");
        QCOMPARE(scalar(db(), wrongAccount), 0);
        QVERIFY(scalar(db(), QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE ChildID IS NOT NULL")) > 0);
        QCOMPARE(scalar(db(), QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE HistoryID IS NOT NULL")), qint64(m_counts.charges));
        QCOMPARE(scalar(db(), QStringLiteral("SELECT COUNT(*) FROM History")), qint64(m_counts.historyRows));
    }

    // The demo works in euros only: every money pair holds local = EURO, and every text fits its field.
    void valuesKeepTheFormats()
    {
        for (const db::TableDef& table : data::schemaTables()) {
            for (const data::MoneyPair& pair : data::moneyPairs()) {
                const QString& localField = pair.local;
                const QString& euroField = pair.euro;
                if (!table.field(localField))
                    continue;
                const QString sql = QStringLiteral("SELECT COUNT(*) FROM %1 WHERE (%2 IS NULL) <> (%3 IS "
                                                   "NULL) OR abs(%2 - %3) > 1e-9 * abs(%2) + 1e-9")
                                        .arg(table.name, localField, euroField);
                QVERIFY2(scalar(db(), sql) == 0, qPrintable(table.name + QLatin1Char('.') + localField));
            }
            for (const db::FieldDef& field : table.fields) {
                if (field.type != db::FieldType::String)
                    continue;
                const QString sql = QStringLiteral("SELECT COALESCE(MAX(length(\"%1\")), 0) FROM \"%2\"").arg(field.name, table.name);
                QVERIFY2(scalar(db(), sql) <= field.size, qPrintable(table.name + QLatin1Char('.') + field.name));
            }
        }
    }

    void appointmentsFitTheBook()
    {
        // Start times are the book's slot labels; appointments lie in the coming weeks.
        QCOMPARE(scalar(db(), QStringLiteral("SELECT COUNT(*) FROM Appointments WHERE StartTime NOT LIKE '% : %'")), 0);
        QVERIFY(scalar(db(), QStringLiteral("SELECT COUNT(*) FROM Appointments WHERE Date > '2026-12-14'")) > 50);
        QCOMPARE(scalar(db(), QStringLiteral("SELECT COUNT(*) FROM Appointments")), qint64(m_counts.appointments));
    }

    void sameSeedGivesTheSamePractice()
    {
        QList<qint64> counts;
        const QByteArray first = fingerprint(db(), &counts);

        QTemporaryDir root;
        data::createDemoDirectory(root.filePath(QStringLiteral("again")), {.patients = 200, .today = kToday});
        const data::DataConnections again = data::DataDirectory(root.filePath(QStringLiteral("again"))).open();
        QList<qint64> againCounts;
        QCOMPARE(fingerprint(*again.data, &againCounts), first);
        QCOMPARE(againCounts, counts);
    }

    void sizeIsAParameter()
    {
        QTemporaryDir root;
        const data::DemoPracticeCounts counts = data::createDemoDirectory(root.path() + QStringLiteral("/small"), {.patients = 17, .today = kToday});
        QCOMPARE(counts.patients, 17);
        const data::DataConnections small = data::DataDirectory(root.path() + QStringLiteral("/small")).open();
        QCOMPARE(scalar(*small.data, QStringLiteral("SELECT COUNT(*) FROM Patient")), 17);
        QCOMPARE(data::DataDirectory(root.path() + QStringLiteral("/small")).check(), QStringList());
    }

    // Repair on a populated practice: a lost index and a generator put back come back, and no row is lost.
    void repairKeepsEveryRow()
    {
        QList<qint64> before;
        const QByteArray fingerprintBefore = fingerprint(db(), &before);
        db::Query::run(db(), QStringLiteral("DROP INDEX \"History_By Session\""));
        db::Query::run(*m_connections.generatorStore, QStringLiteral("UPDATE LastHist SET LastID = 5"));
        QCOMPARE(data::DataDirectory(m_path).check().size(), 2);

        data::DataDirectory(m_path).repair();
        QCOMPARE(data::DataDirectory(m_path).check(), QStringList());
        QList<qint64> after;
        QCOMPARE(fingerprint(db(), &after), fingerprintBefore);
        QCOMPARE(m_connections.generators->next(QStringLiteral("LastHist")),
            scalar(db(), QStringLiteral("SELECT MAX(ID) FROM History")) + 1);
    }
};

QTEST_GUILESS_MAIN(TestDemoPractice)
#include "tst_demopractice.moc"
