// (bk)-(au): data safety on the large practice (50,000 patients, 1M history rows; a tenth with
// --quick): a verified backup against its time target, with copying the database file with cp and an
// fsync beside it for information, and the post of a
// level-2 treatment with its charge with the audit trail recording next to the same posts
// without it.
#include "LargePractice.h"
#include "Measure.h"

#include "data/Backup.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Query.h"
#include "platform/Directories.h"
#include "platform/Session.h"
#include "platform/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>

#include <algorithm>
#include <sys/resource.h>

namespace bench {
namespace {

QString verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("MISSED");
}

// --- (bk) verified backup, cp beside it ---

double processCpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

Result backup(Context& context)
{
    const LargePractice practice(context, PracticeSize::forRun(context));
    const QString path = practice.copy(QStringLiteral("practice-backup"));
    const QString database = QDir(path).filePath(QString::fromLatin1(db::Connection::kSqliteFileName));
    const QString target = context.newDirectory(QStringLiteral("backups"));
    // The key that signs the backups, made on first use, goes with the bench's own settings.
    platform::setConfigDirOverride(context.newDirectory(QStringLiteral("backup-config")));
    const auto ownSettings = qScopeGuard([] { platform::setConfigDirOverride({}); });
    // All read the file from the page cache after the first run: best of three each. Our backup
    // is on the disk when it is done, so the copy that compares is cp followed by an fsync of the
    // copy (`sync FILE`); plain cp, which leaves the copy in memory, is shown beside it.
    QList<double> cp;
    QList<double> cpSync;
    QList<double> ours;
    QList<double> cpu; // of our process, both cores together
    data::BackupSummary summary;
    for (int run = 0; run < 3; ++run) {
        const QString copy = QDir(target).filePath(QStringLiteral("cp-%1.sqlite").arg(run));
        cp << timeMs([&] {
            if (QProcess::execute(QStringLiteral("cp"), { database, copy }) != 0)
                fail(QStringLiteral("(bk) cp failed"));
        });
        QFile::remove(copy);
        cpSync << timeMs([&] {
            if (QProcess::execute(QStringLiteral("cp"), { database, copy }) != 0
                || QProcess::execute(QStringLiteral("sync"), { copy }) != 0)
                fail(QStringLiteral("(bk) cp and sync failed"));
        });
        QFile::remove(copy);
        const QString out = QDir(target).filePath(QStringLiteral("backup-%1").arg(run));
        const double cpuBefore = processCpuMs();
        ours << timeMs([&] { summary = data::makeBackup(path, data::imagesFolderOf(path), out); });
        cpu << processCpuMs() - cpuBefore;
        QDir(out).removeRecursively();
    }
    const double best = *std::min_element(ours.cbegin(), ours.cend());
    const double bestCpu = cpu[std::min_element(ours.cbegin(), ours.cend()) - ours.cbegin()];
    const double plain = *std::min_element(cp.cbegin(), cp.cend());
    const double synced = *std::min_element(cpSync.cbegin(), cpSync.cend());
    constexpr double kTargetMs = 2000;
    Result r { best, synced, {}, QStringLiteral("≤ 2 s"), verdict(best <= kTargetMs) };
    r.otherYardstick = true;
    r.notes << QStringLiteral(
        "(bk) backup of %1 MB (%2 tables, %3 rows, %9 files) copied, checked by the engine's quick check and "
        "row counts against the practice, every file's SHA-256 listed and signed, in %4 ms (%8 ms of "
        "processor time); for information: cp of the database file %5 ms, cp and fsync of the copy %6 ms "
        "(%7× cp + fsync)")
                   .arg(QFileInfo(database).size() / 1e6, 0, 'f', 0)
                   .arg(summary.tables)
                   .arg(summary.rows)
                   .arg(best, 0, 'f', 0)
                   .arg(plain, 0, 'f', 0)
                   .arg(synced, 0, 'f', 0)
                   .arg(best / synced, 0, 'f', 1)
                   .arg(bestCpu, 0, 'f', 0)
                   .arg(summary.files);
    return r;
}

// --- (au) level-2 treatment with its charge, audit on and off ---


Result audit(Context& context)
{
    const LargePractice practice(context, PracticeSize::forRun(context));
    const QString path = practice.copy(QStringLiteral("practice-audit"));
    auto dm = data::TDmForm::connect({ .name = QStringLiteral("bench-audit"), .dataDirectory = path });
    dm->openAtStart(
        platform::Settings(platform::Edition::Dental, context.newDirectory(QStringLiteral("audit-config"))),
        {}, LargePractice::kToday);
    platform::session().userName = QStringLiteral("bench");
    db::Connection& connection = *dm->Database;
    db::Query op(connection,
        QStringLiteral("SELECT OperID, CostEURO FROM Operations WHERE CostEURO > 0 ORDER BY OperID"));
    op.exec();
    if (!op.next())
        fail(QStringLiteral("(au) no operation with a cost"));
    const int operation = op.value(0).toInt();
    const double euro = op.value(1).toDouble();
    op.finish();
    const db::Connection::RowAudit recording = connection.rowAudit();
    if (!recording)
        fail(QStringLiteral("(au) the data module records no audit trail"));
    // The trail's table comes with its first entry.
    const auto entries = [&] {
        if (!connection.database().tables().contains(QStringLiteral("AuditTrail")))
            return 0;
        return db::Query(connection, QStringLiteral("SELECT COUNT(*) FROM AuditTrail")).scalar().toInt();
    };
    const int before = entries();

    // Alternating patients with and without the audit, so that both meet the same cache.
    const QList<int> patients = practice.ordinaryPatients().mid(100, context.quick() ? 20 : 60);
    constexpr int perPatient = 10;
    QList<double> on;
    QList<double> off;
    for (int i = 0; i < patients.size(); ++i) {
        const bool audited = i % 2 == 0;
        connection.setRowAudit(audited ? recording : db::Connection::RowAudit());
        dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), patients[i]);
        dm->clinical().SessionsTable->locate(
            QStringLiteral("SessionID"), dm->patients().PatientsTable->value(u"TherapySessionID"));
        for (int t = 0; t < perPatient; ++t)
            (audited ? on : off) << timeMs([&] { enterTreatment(*dm, operation, euro, 11 + t % 7); });
    }
    connection.setRowAudit(recording);
    const int written = entries() - before;
    const int expected = int(on.size()) * 2; // the treatment row and its charge
    const double ours = median(on);
    const double plain = median(off);
    Result r { ours, plain, {}, QStringLiteral("≤ 1.25× without audit"), verdict(ours <= 1.25 * plain) };
    r.otherYardstick = true;
    if (written != expected)
        r.verdict
            = QStringLiteral("WRONG: %1 audit entries for %2 audited treatments").arg(written).arg(on.size());
    r.notes << QStringLiteral(
        "(au) a level-2 treatment with its charge: %1 ms with the audit trail, %2 ms without (medians of %3); "
        "%4 audit entries written")
                   .arg(ours, 0, 'f', 2)
                   .arg(plain, 0, 'f', 2)
                   .arg(on.size())
                   .arg(written);
    return r;
}

const RegisterMeasure y(QStringLiteral("(bk) large practice: verified backup, cp beside it"), backup);
const RegisterMeasure z(QStringLiteral("(au) large practice: treatment with its charge, audited"), audit);

} // namespace
} // namespace bench
