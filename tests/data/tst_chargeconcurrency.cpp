// Two workstations charge treatments to the same patient at the same time: every treatment
// keeps exactly one charge. The workstations are copies of this test started as children.
#include "RulesFixture.h"
#include "support/TestOrChild.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>

using namespace rulestest;

namespace {

constexpr int kTreatmentsPerChild = 40;

// Child: posts level-2 treatments of the patient through the data module, as the chart does.
int postTreatments(const QString& dir, const QString& config, int patient, int worker)
{
    platform::Settings settings(platform::Edition::Dental, config);
    auto dm = data::TDmForm::connect(profileOf(dir));
    dm->openAtStart(settings);
    if (!dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), patient))
        return 3;
    for (int i = 1; i <= kTreatmentsPerChild; ++i)
        addTreatment(*dm, *dm->clinical().HistPerSessionTable3, 2, 7, worker * 1000 + i, 11 + i % 8);
    return 0;
}

} // namespace

class TestChargeConcurrency : public QObject {
    Q_OBJECT

    Practice m_practice;

private Q_SLOTS:
    void twoWorkstationsChargeOnePatient()
    {
        const QString dir = m_practice.newDirectory();
        int patient = 0;
        {
            auto dm = m_practice.open(dir);
            addOperation(*dm, 7, QStringLiteral("Filling"), 0, 0);
            patient = addPatient(*dm, QStringLiteral("Shared"));
        }
        const QString config = m_practice.configDirectory();
        std::vector<std::unique_ptr<QProcess>> children;
        for (int worker : {1, 2}) {
            auto child = std::make_unique<QProcess>();
            child->setProcessChannelMode(QProcess::ForwardedChannels);
            child->start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--post-treatments"), dir, config, QString::number(patient), QString::number(worker)});
            QVERIFY(child->waitForStarted());
            children.push_back(std::move(child));
        }
        for (auto& child : children) {
            QVERIFY(child->waitForFinished(240000));
            QCOMPARE(child->exitStatus(), QProcess::NormalExit);
            QCOMPARE(child->exitCode(), 0);
        }

        auto dm = m_practice.open(dir);
        const db::Connection& c = *dm->Database;
        const QVariantMap p{{QStringLiteral("p"), patient}};
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM History WHERE PatientID = :p AND TreatmentLevel = 2"), p), 2 * kTreatmentsPerChild);
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE PatientID = :p"), p), 2 * kTreatmentsPerChild);
        // One charge per treatment, of the treatment's own amount.
        QCOMPARE(count(c,
                     QStringLiteral("SELECT COUNT(*) FROM History h WHERE h.PatientID = :p AND 1 <> (SELECT COUNT(*) FROM PatEconomics e "
                                    "WHERE e.HistoryID = h.ID AND ABS(e.Credit - h.Cost) < 0.001)"),
                     p),
            0);
        QCOMPARE(count(c, QStringLiteral("SELECT COUNT(DISTINCT EconomID) FROM PatEconomics")), 2 * kTreatmentsPerChild);
    }
};

int main(int argc, char** argv)
{
    return testsupport::testOrChild<TestChargeConcurrency>(
        argc, argv, QLatin1StringView("--post-treatments"), 4, [](const QStringList& args) {
            return postTreatments(args[0], args[1], args[2].toInt(), args[3].toInt());
        });
}

#include "tst_chargeconcurrency.moc"
