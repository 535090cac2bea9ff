// Four workstations work on one practice at once, each following the others' changes as they
// come: treatments with their charges, payments, appointments and edits of the patients' files,
// at random. Afterwards no identifier was given twice, no treatment lost its charge or kept two,
// and every ledger's balances equal plain SQL. The workstations are copies of this test started
// as children; ORVANE_LONG_TESTS makes them work for a minute instead of some seconds.
#include "RulesFixture.h"
#include "support/TestOrChild.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRandomGenerator>

#include <cmath>
#include <cstdio>

using namespace rulestest;

namespace {

constexpr int kWorkstations = 4;
constexpr int kPatients = 6;
constexpr int kOperation = 7;

int workSeconds()
{
    return qEnvironmentVariableIsSet("ORVANE_LONG_TESTS") ? 60 : 10;
}

struct Work {
    int treatments = 0, payments = 0, appointments = 0, edits = 0, refused = 0;
};

// One step of a workstation. A step the database refuses (another workstation changed the
// same patient, held the data too long) is given up as a user would: the row is cancelled.
void step(data::TDmForm& dm, QRandomGenerator& random, int worker, Work& work)
{
    db::Dataset& patients = *dm.patients().PatientsTable;
    patients.moveTo(int(random.bounded(quint32(patients.recordCount()))));
    const quint32 kind = random.bounded(10u);
    db::Dataset* view = nullptr;
    try {
        if (kind < 4) {
            view = dm.clinical().HistPerSessionTable3;
            addTreatment(dm, *view, 2, kOperation, double(random.bounded(1u, 400u)) * 5, 11 + int(random.bounded(8u)));
            ++work.treatments;
        } else if (kind < 6) {
            view = dm.finance().PatientEconomTable;
            view->append();
            view->setValue(u"Sign", -1);
            view->setValue(u"CreditEURO", double(random.bounded(1u, 200u)) / 4);
            view->post();
            ++work.payments;
        } else if (kind < 8) {
            view = dm.appointments().AppointmentTable;
            view->append();
            view->setValue(u"PatID", patients.value(u"PatientID"));
            view->setValue(u"PatName", patients.value(u"LastName"));
            view->setValue(u"StartTime", QString::number(random.bounded(1u, 40u)));
            view->post();
            view->applyUpdates();
            ++work.appointments;
        } else {
            view = &patients;
            view->edit();
            view->setValue(u"Phone", QStringLiteral("21%1%2").arg(worker).arg(random.bounded(100000u, 999999u)));
            view->post();
            ++work.edits;
        }
    } catch (const db::DatabaseError& e) {
        ++work.refused;
        std::fprintf(stderr, "workstation %d: refused: %s\n", worker, qPrintable(e.message()));
        if (view && view->isEditing())
            view->cancel();
        if (view && view->hasPendingUpdates())
            view->cancelUpdates();
    }
}

int workstation(const QString& dir, const QString& config, int worker, int seconds)
{
    platform::Settings settings(platform::Edition::Dental, config);
    auto dm = data::TDmForm::connect(profileOf(dir));
    dm->openAtStart(settings);
    dm->OpenTable(*dm->appointments().AppointmentTable);
    if (!dm->watchOtherWorkstations())
        return 4;
    QRandomGenerator random(quint32(worker) * 7919u);
    Work work;
    const QDeadlineTimer deadline(std::chrono::seconds{seconds});
    while (!deadline.hasExpired()) {
        step(*dm, random, worker, work);
        // What the others stored comes in between, as it would on a screen.
        QCoreApplication::processEvents();
    }
    std::printf("workstation %d: %d treatments, %d payments, %d appointments, %d edits, %d refused\n", worker, work.treatments, work.payments,
        work.appointments, work.edits, work.refused);
    std::fflush(stdout);
    return work.treatments > 0 && work.payments > 0 ? 0 : 3;
}

bool near(double a, double b)
{
    return std::abs(a - b) < 0.005;
}

} // namespace

class TestWorkstations : public QObject {
    Q_OBJECT

    Practice m_practice;

private Q_SLOTS:
    void fourWorkstationsAtOnce()
    {
        const QString dir = m_practice.newDirectory();
        {
            auto dm = m_practice.open(dir);
            addOperation(*dm, kOperation, QStringLiteral("Filling"), 0, 0);
            for (int i = 0; i < kPatients; ++i)
                addPatient(*dm, QStringLiteral("Patient %1").arg(i));
        }
        std::vector<std::unique_ptr<QProcess>> children;
        for (int worker = 1; worker <= kWorkstations; ++worker) {
            auto child = std::make_unique<QProcess>();
            child->setProcessChannelMode(QProcess::ForwardedChannels);
            child->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--workstation"), dir, m_practice.configDirectory(),
                                                                       QString::number(worker), QString::number(workSeconds())});
            QVERIFY(child->waitForStarted());
            children.push_back(std::move(child));
        }
        for (auto& child : children) {
            QVERIFY(child->waitForFinished((workSeconds() + 120) * 1000));
            QCOMPARE(child->exitStatus(), QProcess::NormalExit);
            QCOMPARE(child->exitCode(), 0);
        }

        auto dm = m_practice.open(dir);
        const db::Connection& c = *dm->Database;
        // No identifier twice.
        const std::pair<const char*, const char*> keys[] = {{"Patient", "PatientID"}, {"Sessions", "SessionID"}, {"History", "ID"},
            {"PatEconomics", "EconomID"}, {"Appointments", "AppID"}};
        for (const auto& [table, key] : keys) {
            const QString sql = QStringLiteral("SELECT COUNT(*) - COUNT(DISTINCT %1) FROM %2").arg(QLatin1String(key), QLatin1String(table));
            QVERIFY2(count(c, sql) == 0, table);
        }
        QVERIFY(count(c, QStringLiteral("SELECT COUNT(*) FROM Appointments")) > 0);
        // Every treatment with exactly one charge of its amount, no charge without its treatment.
        QVERIFY(count(c, QStringLiteral("SELECT COUNT(*) FROM History WHERE TreatmentLevel = 2")) > 0);
        QCOMPARE(count(c,
                     QStringLiteral("SELECT COUNT(*) FROM History h WHERE h.TreatmentLevel = 2 AND 1 <> (SELECT COUNT(*) FROM PatEconomics e "
                                    "WHERE e.HistoryID = h.ID AND ABS(e.Credit - h.Cost) < 0.001)")),
            0);
        QCOMPARE(count(c,
                     QStringLiteral("SELECT COUNT(*) FROM PatEconomics e WHERE e.HistoryID > 0 AND NOT EXISTS "
                                    "(SELECT 1 FROM History h WHERE h.ID = e.HistoryID)")),
            0);

        // Every session's ledger as the data module balances it, against plain SQL.
        db::Dataset& patients = *dm->patients().PatientsTable;
        db::Dataset& sessions = *dm->clinical().SessionsTable;
        db::Dataset& ledger = *dm->finance().PatientEconomTable;
        int ledgersSeen = 0;
        for (int p = 0; p < patients.recordCount(); ++p) {
            patients.moveTo(p);
            for (int s = 0; s < sessions.recordCount(); ++s) {
                sessions.moveTo(s);
                const QVariant session = sessions.value(u"SessionID");
                db::Query sum(c, QStringLiteral("SELECT COUNT(*), COALESCE(SUM(CASE WHEN Sign = -1 THEN -Credit ELSE Credit END), 0), "
                                                "COALESCE(SUM(CASE WHEN Sign = -1 THEN -CreditEURO ELSE CreditEURO END), 0) "
                                                "FROM PatEconomics WHERE SessionID = :s"));
                sum.bind(QStringLiteral("s"), session).exec();
                QVERIFY(sum.next());
                QCOMPARE(ledger.recordCount(), sum.value(0).toInt());
                if (ledger.isEmpty())
                    continue;
                ++ledgersSeen;
                const double local = sum.value(1).toDouble(), euro = sum.value(2).toDouble();
                const int last = ledger.recordCount() - 1;
                QVERIFY2(near(ledger.rowValue(last, ledger.field(u"Balance").index()).toDouble(), local), qPrintable(session.toString()));
                QVERIFY2(near(ledger.rowValue(last, ledger.field(u"BalanceEURO").index()).toDouble(), euro), qPrintable(session.toString()));
                const data::SessionBalance balance = dm->clinical().sessionBalance(session);
                QVERIFY2(near(balance.local, local) && near(balance.euro, euro), qPrintable(session.toString()));
            }
        }
        QVERIFY(ledgersSeen > 0);
    }
};

int main(int argc, char** argv)
{
    return testsupport::testOrChild<TestWorkstations>(
        argc, argv, QLatin1StringView("--workstation"), 4, [](const QStringList& args) {
            return workstation(args[0], args[1], args[2].toInt(), args[3].toInt());
        });
}

#include "tst_workstations.moc"
