// The start puts every identifier series behind the numbers in use: the generator store does
// not wait for the disk at every number, so a power cut may take its last few.
#include "data/DemoPractice.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Generators.h"
#include "db/Query.h"
#include "platform/Settings.h"
#include "support/DataTable.h"

#include <QTemporaryDir>
#include <QTest>

class TestGeneratorStart : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lostNumbersAreNotGivenAgain_data()
    {
        testsupport::addRows<QString, QString>({ "generator", "highestInUse" },
            {
                { "patients", "LastPat", "SELECT MAX(PatientID) FROM Patient" },
                { "treatments", "LastHist", "SELECT MAX(ID) FROM History" },
                { "ledger", "LastPatEconom", "SELECT MAX(EconomID) FROM PatEconomics" },
            });
    }
    void lostNumbersAreNotGivenAgain()
    {
        QFETCH(QString, generator);
        QFETCH(QString, highestInUse);
        QTemporaryDir root;
        const QString path = root.filePath(QStringLiteral("data"));
        data::createDemoDirectory(path, {.patients = 10});
        const db::ConnectionProfile profile{.name = QStringLiteral("start"), .dataDirectory = path};
        {
            auto store = db::Connection::openGeneratorStore(profile);
            db::Query::run(*store, QStringLiteral("UPDATE %1 SET LastID = 1").arg(generator)); // as after a power cut
        }
        auto dm = data::TDmForm::connect(profile);
        const int highest = db::Query(*dm->Database, highestInUse).scalar().toInt();
        QVERIFY(highest > 1);
        dm->openAtStart(platform::Settings(platform::Edition::Dental, root.filePath(QStringLiteral("config"))));
        QCOMPARE(dm->NextID(generator), highest + 1);
    }
};

QTEST_GUILESS_MAIN(TestGeneratorStart)
#include "tst_generatorstart.moc"
