#include "data/DemoPractice.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Query.h"
#include "patients/QuestionnaireLists.h"
#include "platform/Directories.h"
#include "platform/Session.h"

#include <QTemporaryDir>
#include <QTest>

// The demo practice's questionnaire answers as the patient file reads them: every stored
// answer is a tick on the page, and no detail is ticked under an unticked master.
class TestDemoQuestionnaire : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;

private Q_SLOTS:
    void storedAnswersShowAsTicks()
    {
        platform::setConfigDirOverride(m_root.filePath(QStringLiteral("config")));
        const QString dataDir = m_root.filePath(QStringLiteral("Data"));
        data::createDemoDirectory(dataDir, { .patients = 40, .today = QDate(2026, 12, 7) });
        auto dm
            = data::TDmForm::connect({ .name = QStringLiteral("questionnaire"), .dataDirectory = dataDir });
        dm->openAtStart(platform::session().settings());

        int patientsWithAnswers = 0;
        db::Dataset& patients = *dm->patients().PatientsTable;
        for (patients.first(); !patients.eof(); patients.next()) {
            const QString id = patients.value(u"PatientID").toString();
            db::Query stored(dm->connection(),
                QStringLiteral("SELECT COUNT(*) FROM QuestAnswer WHERE PatientID = :p AND QuestValue"));
            const int answers = stored.bind(QStringLiteral("p"), id).scalar().toInt();
            int ticks = 0;
            for (const patients::QuestionAnswer& master : patients::patientQuestionnaire(*dm)) {
                ticks += master.checked ? 1 : 0;
                for (const patients::QuestionAnswer& detail : master.details) {
                    ticks += detail.checked ? 1 : 0;
                    QVERIFY2(master.checked || !detail.checked,
                        qPrintable(id + QLatin1Char(' ') + detail.question));
                }
            }
            QCOMPARE(ticks, answers);
            patientsWithAnswers += answers > 0 ? 1 : 0;
        }
        QVERIFY(patientsWithAnswers > 5);
    }
};

QTEST_GUILESS_MAIN(TestDemoQuestionnaire)
#include "tst_demoquestionnaire.moc"
