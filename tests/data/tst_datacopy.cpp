#include "data/AuditTrail.h"
#include "data/AuditTrailRows.h"
#include "data/DataCopy.h"
#include "data/DataDirectory.h"
#include "data/DemoPractice.h"
#include "data/schema/Schema.h"
#include "db/Errors.h"
#include "db/Generators.h"
#include "support/TestEngine.h"

#include <QDate>
#include <QTemporaryDir>
#include <QTest>

using Kind = db::Connection::WrittenRow::Kind;

// A practice copied to the engine under test and back is the practice it was, table by table.
class TestDataCopy : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void practiceGoesThereAndBackWhole()
    {
        QTemporaryDir root;
        qputenv("ORVANE_PROGRAM_DIR", root.filePath(QStringLiteral("program")).toUtf8());
        const QString original = root.filePath(QStringLiteral("original"));
        data::createDemoDirectory(original, {.patients = 25, .today = QDate(2026, 12, 7)});
        const QString middle = root.filePath(QStringLiteral("middle"));
        testsupport::makeEngineDatabase(middle);
        const QString there = testsupport::engineLocation(middle);
        const QString back = root.filePath(QStringLiteral("back"));

        qint64 lastDone = 0;
        const QList<data::TableCopy> copied = data::copyPractice(original, there, [&](qint64 done, qint64 total) {
            QVERIFY(done > lastDone && done <= total);
            lastDone = done;
        });
        QCOMPARE(copied.size(), data::schemaTables().size());
        QVERIFY(lastDone > 0);
        // the way back goes into an empty practice made beforehand, as --init-data makes one
        data::DataDirectory(back).create();
        data::copyPractice(there, back);

        for (const db::TableDef& table : data::schemaTables())
            QCOMPARE(data::tableChecksum(data::DataDirectory(back), table.name), data::tableChecksum(data::DataDirectory(original), table.name));
        const data::DataConnections from = data::DataDirectory(original).open();
        const data::DataConnections to = data::DataDirectory(back).open();
        for (const db::GeneratorDef& generator : from.generators->definitions())
            QCOMPARE(to.generators->last(generator.name), from.generators->last(generator.name));
        QCOMPARE(data::DataDirectory(back).check(), QStringList());

        // a target that holds a practice is never written over
        const QByteArray before = data::tableChecksum(data::DataDirectory(back), QStringLiteral("Patient"));
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, data::copyPractice(original, back));
        QCOMPARE(data::tableChecksum(data::DataDirectory(back), QStringLiteral("Patient")), before);
        // no change was ever recorded: there is no trail to copy, and none is made
        QVERIFY(!data::audittrail::existsIn(*to.data));
    }

    // The trail goes along when its first entry has made it, entries of one moment in the order
    // they were written.
    void auditTrailGoesAlong()
    {
        QTemporaryDir root;
        qputenv("ORVANE_PROGRAM_DIR", root.filePath(QStringLiteral("program")).toUtf8());
        const QString original = root.filePath(QStringLiteral("original"));
        data::createDemoDirectory(original, { .patients = 3, .today = QDate(2026, 12, 7) });
        {
            const data::DataConnections c = data::DataDirectory(original).open();
            const data::AuditTrail trail(*c.data);
            const QStringList columns { QStringLiteral("HistoryID"), QStringLiteral("PatientID"),
                QStringLiteral("Remarks") };
            for (int i = 1; i <= 5; ++i) // quick enough that several share a millisecond
                c.data->rowAudit()({ Kind::Update, QStringLiteral("History"), i, columns,
                    { i, 2, QStringLiteral("old") }, { i, 2, QStringLiteral("new %1").arg(i) } });
            c.data->rowAudit()(
                { Kind::Delete, QStringLiteral("Patient"), 3, { QStringLiteral("PatientID") }, { 3 }, {} });
        }
        const QString middle = root.filePath(QStringLiteral("middle"));
        testsupport::makeEngineDatabase(middle);
        const QString there = testsupport::engineLocation(middle);
        const QString back = root.filePath(QStringLiteral("back"));

        const QList<data::TableCopy> copied = data::copyPractice(original, there);
        QCOMPARE(copied.size(), data::schemaTables().size() + 1);
        QCOMPARE(copied.last().table, QStringLiteral("AuditTrail"));
        QCOMPARE(copied.last().rows, 6);
        data::copyPractice(there, back);

        const auto entries = [](const QString& location) {
            const data::DataConnections c = data::DataDirectory(location).open();
            QStringList lines;
            for (const data::AuditTrail::Entry& e : data::AuditTrail::read(*c.data, {}))
                lines << QStringList { e.changedAt, e.user, e.workstation, e.table, QString::number(e.row),
                    e.patientId ? QString::number(*e.patientId) : QStringLiteral("-"), QString(e.action),
                    e.changes }
                             .join(QLatin1Char('|'));
            return lines;
        };
        const QStringList written = entries(original);
        QCOMPARE(written.size(), 6);
        QCOMPARE(entries(there), written);
        QCOMPARE(entries(back), written);
        QCOMPARE(data::tableChecksum(data::DataDirectory(back), QStringLiteral("AuditTrail")),
            data::tableChecksum(data::DataDirectory(original), QStringLiteral("AuditTrail")));

        // a target whose trail holds entries holds a practice
        const QString third = root.filePath(QStringLiteral("third"));
        data::DataDirectory(third).create();
        {
            const data::DataConnections c = data::DataDirectory(third).open();
            const data::AuditTrail trail(*c.data);
            c.data->rowAudit()(
                { Kind::Delete, QStringLiteral("Patient"), 9, { QStringLiteral("PatientID") }, { 9 }, {} });
        }
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, data::copyPractice(original, third));
    }
};

QTEST_GUILESS_MAIN(TestDataCopy)
#include "tst_datacopy.moc"
