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
    }
};

QTEST_GUILESS_MAIN(TestDataCopy)
#include "tst_datacopy.moc"
