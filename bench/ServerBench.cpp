// (y1)-(y4): several workstations. The practice (5,000 patients) copied to a PostgreSQL server
// the benchmark starts for itself (or the one ORVANE_BENCH_PGHOST names: a socket directory
// where the user orvane may create databases): a change of patient with every view that
// follows it, and a treatment stored with its charge, each next to plain QSqlQuery calls; then,
// on both engines, how soon another process's change shows in an open view, and what watching
// costs while nothing changes.
#include "LargePractice.h"
#include "Measure.h"
#include "PlainViews.h"

#include "data/DataCopy.h"
#include "data/DmUnit.h"
#include "data/schema/Schema.h"
#include "db/ChangeFeed.h"
#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Query.h"
#include "platform/Session.h"
#include "platform/Settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace bench {
namespace {

constexpr PracticeSize kSize{.patients = 5000, .historyRows = 100000, .ledgerRows = 30000, .appointments = 10000};

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000 + double(t.tv_nsec) / 1e6;
}

// A throwaway cluster for the run, stopped when the program ends.
class Cluster {
public:
    static const QString& socketDirectory()
    {
        static Cluster cluster;
        return cluster.m_dir;
    }
    ~Cluster()
    {
        if (m_started)
            QProcess::execute(script(), {QStringLiteral("stop"), m_dir});
    }

private:
    Cluster()
    {
        m_dir = qEnvironmentVariable("ORVANE_BENCH_PGHOST");
        if (!m_dir.isEmpty())
            return;
        m_dir = QStringLiteral("/tmp/orvane-bench-pg-%1").arg(QCoreApplication::applicationPid());
        if (QProcess::execute(script(), {QStringLiteral("start"), m_dir}) != 0)
            fail(QStringLiteral("the PostgreSQL cluster for the benchmark did not start (%1)").arg(script()));
        m_started = true;
    }
    static QString script() { return QStringLiteral(ORVANE_SOURCE_DIR "/tests/support/pg-cluster.sh"); }

    QString m_dir;
    bool m_started = false;
};

QString serverLocation(const QString& database)
{
    return QStringLiteral("postgresql://orvane@/%1?host=%2").arg(database, Cluster::socketDirectory());
}

// A new database on the cluster holding a copy of the practice.
QString practiceOnServer(Context& context, const QString& name)
{
    const LargePractice practice(context, kSize);
    const QString source = practice.copy(name + QStringLiteral("-source"));
    {
        auto admin = db::Connection::open(db::ConnectionProfile::fromLocation(serverLocation(QStringLiteral("postgres")), name + QStringLiteral("-admin")));
        db::Query::run(*admin, QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
        db::Query::run(*admin, QStringLiteral("CREATE DATABASE %1").arg(name));
    }
    const QString location = serverLocation(name);
    data::copyPractice(source, location);
    auto c = db::Connection::open(db::ConnectionProfile::fromLocation(location, name + QStringLiteral("-analyze")));
    db::Query::run(*c, QStringLiteral("ANALYZE"));
    return location;
}

std::unique_ptr<data::TDmForm> openOn(Context& context, const QString& location, const QString& name)
{
    auto dm = data::TDmForm::connect(db::ConnectionProfile::fromLocation(location, name));
    dm->openAtStart(platform::Settings(platform::Edition::Dental, context.newDirectory(name + QStringLiteral("-config"))), {}, LargePractice::kToday);
    platform::session().role = platform::UserRole::Full;
    return dm;
}

bool followsPatient(data::TDmForm& dm, const db::Dataset* view)
{
    for (int depth = 0; view && depth < 8; ++depth) {
        if (view == dm.patients().PatientsTable)
            return true;
        view = view->master() ? view->master()->dataset() : nullptr;
    }
    return false;
}

QList<int> somePatients(const db::Connection& c, int count)
{
    db::Query q(c, QStringLiteral("SELECT PatientID FROM Patient WHERE PatientID IN (SELECT PatientID FROM Sessions) ORDER BY PatientID"));
    q.exec();
    QList<int> all;
    while (q.next())
        all << q.value(0).toInt();
    QList<int> picked;
    for (int i = 0; i < count && !all.isEmpty(); ++i)
        picked << all[(i * 7919) % all.size()];
    return picked;
}

// --- (y1) a change of patient on the server ---

Result switchPatient(Context& context)
{
    const QString location = practiceOnServer(context, QStringLiteral("bench_switch"));
    auto dm = openOn(context, location, QStringLiteral("bench-switch"));
    QList<db::Dataset*> following;
    for (db::Dataset* view : dm->views()) {
        if (view->isActive() && !view->isQuery() && followsPatient(*dm, view))
            following << view;
    }
    const QList<int> ids = somePatients(*dm->Database, 21);
    db::Dataset& patients = *dm->patients().PatientsTable;
    QList<double> ours;
    for (int i = 0; i < ids.size(); ++i) {
        const double ms = timeMs([&] {
            if (!patients.locate(QStringLiteral("PatientID"), ids[i]))
                fail(QStringLiteral("(y1) patient %1 not found").arg(ids[i]));
        });
        if (i > 0) // the first prepares the statements
            ours << ms;
    }
    auto c = db::Connection::open(db::ConnectionProfile::fromLocation(location, QStringLiteral("bench-switch-plain")));
    PlainViews views(*c, following);
    QList<double> plain;
    for (int i = 0; i < ids.size(); ++i) {
        const double ms = timeMs([&] { views.read(QStringLiteral("PatientID"), ids[i]); });
        if (i > 0)
            plain << ms;
    }
    const double oursMs = median(ours), plainMs = median(plain);
    const bool met = oursMs <= 10 && oursMs <= 2 * plainMs;
    Result r{oursMs, plainMs, {}, QStringLiteral("<= 10 ms and <= 2x plain"), met ? QStringLiteral("met") : QStringLiteral("MISSED")};
    r.notes << QStringLiteral("(y1) PostgreSQL: patient changed with the %1 views that follow it: %2 ms (median of %3; slowest %4 ms); "
                              "plain SQL %5 ms for their %6 statements")
                   .arg(following.size())
                   .arg(oursMs, 0, 'f', 2)
                   .arg(ours.size())
                   .arg(*std::max_element(ours.cbegin(), ours.cend()), 0, 'f', 2)
                   .arg(plainMs, 0, 'f', 2)
                   .arg(views.statements());
    return r;
}

// --- (y2) a treatment with its charge on the server ---

Result treatmentWithCharge(Context& context)
{
    const QString location = practiceOnServer(context, QStringLiteral("bench_treatment"));
    auto dm = openOn(context, location, QStringLiteral("bench-treatment"));
    const int patient = somePatients(*dm->Database, 1).value(0);
    if (!dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), patient))
        fail(QStringLiteral("(y2) patient %1 not found").arg(patient));
    const int oper = db::Query(*dm->Database, QStringLiteral("SELECT MIN(OperID) FROM Operations")).scalar().toInt();
    db::Dataset& history = *dm->clinical().HistPerSessionTable3;
    if (!history.isActive())
        dm->OpenTable(history);
    const int session = dm->clinical().SessionsTable->value(u"SessionID").toInt();
    const int chargesBefore = db::Query(*dm->Database, QStringLiteral("SELECT COUNT(*) FROM PatEconomics")).scalar().toInt();
    constexpr int kRounds = 21;
    QList<double> ours;
    for (int i = 0; i < kRounds; ++i) {
        const double ms = timeMs([&] {
            history.append();
            history.setValue(u"TreatmentLevel", 2);
            history.setValue(u"OperID", oper);
            history.setValue(u"ToothNum", 11 + i % 8);
            history.setValue(u"Discount", 0);
            history.setValue(u"Price", 50);
            history.setValue(u"PriceEURO", 50 / dm->money().rate());
            history.setValue(u"Cost", 50);
            history.setValue(u"CostEURO", 50 / dm->money().rate());
            history.post();
        });
        if (i > 0)
            ours << ms;
    }
    const int charges = db::Query(*dm->Database, QStringLiteral("SELECT COUNT(*) FROM PatEconomics")).scalar().toInt() - chargesBefore;

    // Plain SQL: the two numbers taken, the treatment and its charge written in one transaction.
    auto c = db::Connection::open(db::ConnectionProfile::fromLocation(location, QStringLiteral("bench-treatment-plain")));
    const data::GeneratorDef* historyIds = data::generatorFor(u"History");
    const data::GeneratorDef* chargeIds = data::generatorFor(u"PatEconomics");
    QSqlQuery nextHistory = prepared(*c, QStringLiteral("UPDATE %1 SET %2 = %2 + 1 RETURNING %2").arg(historyIds->table, historyIds->field));
    QSqlQuery nextCharge = prepared(*c, QStringLiteral("UPDATE %1 SET %2 = %2 + 1 RETURNING %2").arg(chargeIds->table, chargeIds->field));
    QSqlQuery treatment = prepared(*c, QStringLiteral("INSERT INTO History (ID, TherapySessionID, PatientID, TreatmentLevel, OperID, ToothNum, "
                                                      "Discount, Price, PriceEURO, Cost, CostEURO) VALUES (?, ?, ?, 2, ?, 16, 0, 50, 0.15, 50, 0.15)"));
    QSqlQuery charge = prepared(*c, QStringLiteral("INSERT INTO PatEconomics (EconomID, PatientID, SessionID, HistoryID, Sign, Credit, CreditEURO) "
                                                   "VALUES (?, ?, ?, ?, 1, 50, 0.15)"));
    QList<double> plain;
    for (int i = 0; i < kRounds; ++i) {
        const double ms = timeMs([&] {
            db::TransactionGuard transaction(*c);
            run(nextHistory);
            nextHistory.next();
            const int id = nextHistory.value(0).toInt();
            nextHistory.finish();
            run(nextCharge);
            nextCharge.next();
            const int econ = nextCharge.value(0).toInt();
            nextCharge.finish();
            run(treatment, {id, session, patient, oper});
            run(charge, {econ, patient, session, id});
            transaction.commit();
        });
        if (i > 0)
            plain << ms;
    }
    const double oursMs = median(ours), plainMs = median(plain);
    Result r{oursMs, plainMs, {}, QStringLiteral("<= 3x plain"), oursMs <= 3 * plainMs ? QStringLiteral("met") : QStringLiteral("MISSED")};
    if (charges != kRounds)
        r.verdict = QStringLiteral("WRONG: %1 treatments wrote %2 charges").arg(kRounds).arg(charges);
    r.notes << QStringLiteral("(y2) PostgreSQL: a level-2 treatment posted with its charge: %1 ms (median of %2); plain SQL %3 ms for the two "
                              "numbers and the two rows in one transaction")
                   .arg(oursMs, 0, 'f', 2)
                   .arg(ours.size())
                   .arg(plainMs, 0, 'f', 2);
    return r;
}

// --- (y3) another workstation's change in an open view ---

// Child: books an appointment each time it reads a line, and answers with the time of the commit.
int bookOnRequest(const QStringList& args)
{
    auto c = db::Connection::open(db::ConnectionProfile::fromLocation(args.value(0), QStringLiteral("bench-booker")));
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return 1;
    db::Query insert(*c, QStringLiteral("INSERT INTO Appointments (AppID, Date, Duration, StartTime, PatID, DocID, PatName) "
                                        "VALUES (:id, :date, 1, '10', -1, 1, 'Booked elsewhere')"));
    while (true) {
        const QByteArray line = in.readLine().trimmed();
        if (line.isEmpty())
            return 0;
        {
            db::TransactionGuard transaction(*c);
            insert.bind(QStringLiteral("id"), line.toInt()).bind(QStringLiteral("date"), LargePractice::kToday).exec();
            transaction.commit();
        }
        std::printf("%lld\n", QDateTime::currentMSecsSinceEpoch());
        std::fflush(stdout);
    }
}

const RegisterChild booker(QStringLiteral("book-on-request"), bookOnRequest);

// The median time from another process's commit to the row in this one's open view.
QList<double> changeShown(Context& context, data::TDmForm& dm, const QString& location)
{
    db::Dataset& book = *dm.appointments().AppointmentTable;
    if (!book.isActive())
        dm.OpenTable(book);
    if (!dm.watchOtherWorkstations())
        fail(QStringLiteral("(y3) the practice at %1 has no change feed").arg(location));
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(context.programPath(), {QStringLiteral("--child"), QStringLiteral("book-on-request"), location});
    if (!child.waitForStarted())
        fail(QStringLiteral("(y3) the other workstation did not start"));
    const int idField = book.field(u"AppID").index();
    const auto shows = [&](int id) {
        for (int row = book.recordCount() - 1; row >= 0; --row) {
            if (book.rowValue(row, idField).toInt() == id)
                return true;
        }
        return false;
    };
    QList<double> latencies;
    QRandomGenerator random(7);
    for (int round = 0; round < 20; ++round) {
        // At no particular moment of the poll.
        QEventLoop pause;
        QTimer::singleShot(int(random.bounded(50u, 600u)), &pause, &QEventLoop::quit);
        pause.exec();
        const int id = 990000 + round;
        child.write(QByteArray::number(id) + '\n');
        QEventLoop wait;
        qint64 shownAt = 0;
        const auto look = [&] {
            if (!shownAt && shows(id))
                shownAt = QDateTime::currentMSecsSinceEpoch();
            if (shownAt && child.canReadLine())
                wait.quit();
        };
        const QMetaObject::Connection c1 = QObject::connect(&book, &db::Dataset::contentChanged, &wait, look);
        const QMetaObject::Connection c2 = QObject::connect(&child, &QProcess::readyReadStandardOutput, &wait, look);
        QTimer::singleShot(5000, &wait, &QEventLoop::quit);
        wait.exec();
        QObject::disconnect(c1);
        QObject::disconnect(c2);
        if (!shownAt || !child.canReadLine())
            fail(QStringLiteral("(y3) appointment %1 booked elsewhere did not show within 5 s").arg(id));
        const qint64 committedAt = child.readLine().trimmed().toLongLong();
        latencies << double(shownAt - committedAt);
    }
    child.closeWriteChannel();
    child.waitForFinished(5000);
    return latencies;
}

Result changeSeenElsewhere(Context& context)
{
    const LargePractice practice(context, kSize);
    const QString directory = practice.copy(QStringLiteral("practice-refresh"));
    {
        // A practice made before the feed gets it as the repair command gives it.
        data::DataDirectory(directory).repair();
    }
    QList<double> sqlite;
    {
        auto dm = openOn(context, directory, QStringLiteral("bench-refresh-sqlite"));
        sqlite = changeShown(context, *dm, directory);
    }
    const QString location = practiceOnServer(context, QStringLiteral("bench_refresh"));
    QList<double> server;
    {
        auto dm = openOn(context, location, QStringLiteral("bench-refresh-pg"));
        server = changeShown(context, *dm, location);
    }
    const double sqliteMs = median(sqlite), serverMs = median(server);
    const bool met = sqliteMs <= 1000 && serverMs <= 1000;
    Result r{std::max(sqliteMs, serverMs), 0, {}, QStringLiteral("<= 1 s on both engines"), met ? QStringLiteral("met") : QStringLiteral("MISSED"), true};
    r.notes << QStringLiteral("(y3) an appointment committed by another process shown in the open appointment view: SQLite %1 ms "
                              "(median of %2, slowest %3 ms), PostgreSQL %4 ms (median of %5, slowest %6 ms)")
                   .arg(sqliteMs, 0, 'f', 0)
                   .arg(sqlite.size())
                   .arg(*std::max_element(sqlite.cbegin(), sqlite.cend()), 0, 'f', 0)
                   .arg(serverMs, 0, 'f', 1)
                   .arg(server.size())
                   .arg(*std::max_element(server.cbegin(), server.cend()), 0, 'f', 1);
    return r;
}

// --- (y4) watching while nothing changes ---

Result idleCost(Context& context)
{
    const LargePractice practice(context, kSize);
    const QString directory = practice.copy(QStringLiteral("practice-idle"));
    data::DataDirectory(directory).repair();
    auto dm = openOn(context, directory, QStringLiteral("bench-idle"));
    db::ChangeWatcher watcher(*dm->Database, {QStringLiteral("Patient"), QStringLiteral("Appointments"), QStringLiteral("History")});
    if (!watcher.start())
        fail(QStringLiteral("(y4) no change feed"));
    const int seconds = context.quick() ? 3 : 10;
    QEventLoop idle;
    QTimer::singleShot(seconds * 1000, &idle, &QEventLoop::quit);
    QElapsedTimer wall;
    wall.start();
    const double before = cpuMs();
    idle.exec();
    const double used = cpuMs() - before;
    const double share = used / double(wall.elapsed()) * 100;
    Result r{used / seconds, 0, {}, QStringLiteral("< 1% of a core"), share < 1 ? QStringLiteral("met") : QStringLiteral("MISSED"), true};
    r.notes << QStringLiteral("(y4) SQLite, nothing changing: %1 polls in %2 s took %3 ms of processor time (%4% of a core, "
                              "%5 ms a second)")
                   .arg(watcher.polls())
                   .arg(seconds)
                   .arg(used, 0, 'f', 1)
                   .arg(share, 0, 'f', 3)
                   .arg(used / seconds, 0, 'f', 3);
    return r;
}

const RegisterMeasure y1(QStringLiteral("(y1) PostgreSQL: change of patient with every view following"), switchPatient);
const RegisterMeasure y2(QStringLiteral("(y2) PostgreSQL: a treatment with its charge"), treatmentWithCharge);
const RegisterMeasure y3(QStringLiteral("(y3) another workstation's change in an open view"), changeSeenElsewhere);
const RegisterMeasure y4(QStringLiteral("(y4) SQLite: watching for changes while idle"), idleCost);

} // namespace
} // namespace bench
