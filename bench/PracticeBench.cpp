// (f)-(j): the data module on a large practice (50,000 patients, 1,000,000 history rows,
// 300,000 ledger rows, 100,000 appointments; a tenth with --quick), each next to plain
// QSqlQuery calls doing the same reads or writes in the same run.
#include "LargePractice.h"
#include "Measure.h"
#include "PlainViews.h"

#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Query.h"
#include "platform/Settings.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cstdio>

namespace bench {
namespace {

QString formatMs(double ms)
{
    return QString::number(ms, 'f', ms < 10 ? 2 : 1);
}

QString verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("MISSED");
}

std::unique_ptr<data::TDmForm> openPractice(Context& context, const QString& path)
{
    auto dm = data::TDmForm::connect({.name = QStringLiteral("bench-practice"), .dataDirectory = path});
    dm->openAtStart(platform::Settings(platform::Edition::Dental, context.newDirectory(QStringLiteral("practice-config"))), {},
        LargePractice::kToday);
    return dm;
}

std::unique_ptr<db::Connection> plainConnection(const QString& path)
{
    return db::Connection::open({.name = QStringLiteral("bench-practice-plain"), .dataDirectory = path});
}



int count(const db::Connection& connection, const QString& sql)
{
    return db::Query(connection, sql).scalar().toInt();
}

// Whether `view` follows `root` through its chain of masters.
bool follows(const db::Dataset* view, const db::Dataset* root)
{
    for (int depth = 0; view && depth < 10; ++depth) {
        const db::Dataset* master = view->master() ? view->master()->dataset() : nullptr;
        if (master == root)
            return true;
        view = master;
    }
    return false;
}

// The open views that move with the current patient: details of the patient and of its
// session, and the queries the data module re-runs for them.
QList<db::Dataset*> patientFollowers(data::TDmForm& dm)
{
    QList<db::Dataset*> views;
    for (db::Dataset* view : dm.views()) {
        if (view->isActive() && follows(view, dm.patients().PatientsTable))
            views.append(view);
    }
    for (db::Dataset* query : {dm.clinical().FirstLastDateQRY, dm.finance().TotalPayablesPerSessQry, dm.finance().TotalReceivablesPerSessQry}) {
        if (query->isActive())
            views.append(query);
    }
    return views;
}

// What the bound controls of a window read after a move: the stored values of the current row.
void readCurrentRows(const QList<db::Dataset*>& views)
{
    for (db::Dataset* view : views) {
        if (view->isEmpty())
            continue;
        for (int i = 0; i < view->fieldCount(); ++i) {
            if (view->field(i).kind() == db::FieldKind::Data)
                (void)view->field(i).value();
        }
    }
}

LargePractice& practice(Context& context)
{
    static std::unique_ptr<LargePractice> made;
    if (!made) {
        const PracticeSize size = PracticeSize::forRun(context);
        made = std::make_unique<LargePractice>(context, size);
        if (made->generationMs() > 0)
            std::fprintf(stderr, "generated the practice %s in %.0f ms\n", qPrintable(size.key()), made->generationMs());
    }
    return *made;
}

QList<int> somePatients(const LargePractice& p, int howMany, quint32 seed)
{
    QRandomGenerator random(seed);
    QList<int> ids;
    for (int i = 0; i < howMany; ++i)
        ids.append(p.ordinaryPatients()[qsizetype(random.bounded(quint32(p.ordinaryPatients().size())))]);
    return ids;
}

// --- (f) open every view at start ---

Result openAtStart(Context& context)
{
    LargePractice& p = practice(context);
    const QString path = p.copy(QStringLiteral("practice-open"));
    std::unique_ptr<data::TDmForm> dm;
    double ours = 1e12;
    for (int round = 0; round < 3; ++round) {
        dm.reset();
        ours = std::min(ours, timeMs([&] { dm = openPractice(context, path); }));
    }
    QList<db::Dataset*> open;
    for (db::Dataset* view : dm->views()) {
        if (view->isActive() && view != dm->finance().MemTable) // the rate row lives in this connection's memory only
            open.append(view);
    }
    double plain = 1e12;
    int rows = 0;
    for (int round = 0; round < 3; ++round) {
        plain = std::min(plain, timeMs([&] {
            auto connection = plainConnection(path);
            PlainViews views(*connection, open);
            views.read();
            rows = views.rowsRead();
        }));
    }
    Result result{ours, plain, {}, QStringLiteral("< 1.5 s"), verdict(ours < 1500)};
    const db::Connection& data = *dm->Database;
    result.notes << QStringLiteral("large practice: %1 patients, %2 history rows, %3 patient ledger rows, %4 appointments (%5)")
                        .arg(count(data, QStringLiteral("SELECT COUNT(*) FROM Patient")))
                        .arg(count(data, QStringLiteral("SELECT COUNT(*) FROM History")))
                        .arg(count(data, QStringLiteral("SELECT COUNT(*) FROM PatEconomics")))
                        .arg(count(data, QStringLiteral("SELECT COUNT(*) FROM Appointments")))
                        .arg(p.generationMs() > 0 ? QStringLiteral("generated in %1 ms").arg(qRound(p.generationMs()))
                                                  : QStringLiteral("from the cache under the build directory"));
    result.notes << QStringLiteral("(f) %1 views open at start in %2 ms; the same %3 statements by plain SQL read %4 rows in %5 ms")
                        .arg(open.size())
                        .arg(formatMs(ours))
                        .arg(open.size())
                        .arg(rows)
                        .arg(formatMs(plain));
    return result;
}

// --- (g) switch the current patient ---

Result switchPatient(Context& context)
{
    LargePractice& p = practice(context);
    const QString path = p.copy(QStringLiteral("practice-switch"));
    auto dm = openPractice(context, path);
    const QList<db::Dataset*> followers = patientFollowers(*dm);
    const int switches = context.quick() ? 200 : 1000;
    const QList<int> warmUp = somePatients(p, 50, 1);
    const QList<int> patients = somePatients(p, switches, 2);

    auto ourSwitches = [&](const QList<int>& ids) {
        for (int id : ids) {
            if (!dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), id))
                fail(QStringLiteral("(g) patient %1 not found").arg(id));
            readCurrentRows(followers);
        }
    };
    auto connection = plainConnection(path);
    PlainViews plainViews(*connection, QList<db::Dataset*>{dm->patients().PatientsTable} + followers);
    auto plainSwitches = [&](const QList<int>& ids) {
        for (int id : ids)
            plainViews.read(QStringLiteral("PatientID"), id);
    };
    ourSwitches(warmUp);
    plainSwitches(warmUp);
    const double ours = timeMs([&] { ourSwitches(patients); });
    const double plain = timeMs([&] { plainSwitches(patients); });
    const double average = ours / switches;
    Result result{ours, plain, {}, QStringLiteral("< 10 ms each, ≤ 3× plain"), verdict(average < 10 && ours <= 3 * plain)};
    result.notes << QStringLiteral("(g) %1 patient switches, %2 views following: %3 ms each (plain SQL %4 ms, %5 statements each)")
                        .arg(switches)
                        .arg(followers.size())
                        .arg(formatMs(average))
                        .arg(formatMs(plain / switches))
                        .arg(plainViews.statements());
    return result;
}

// --- (h) post level-2 history rows with their charges ---

constexpr int kRowsPerPatient = 10;


// The same two rows and their audit entries by plain SQL, in one transaction per treatment.
double plainTreatments(const QString& path, const QList<int>& patients, int operation, double euro)
{
    auto connection = plainConnection(path);
    struct Target {
        int patient, session;
        QString lastName;
    };
    QList<Target> targets;
    for (int id : patients) {
        db::Query q(*connection, QStringLiteral("SELECT TherapySessionID, LastName FROM Patient WHERE PatientID = :id"));
        q.bind(QStringLiteral("id"), id).exec();
        q.next();
        targets.append({id, q.value(0).toInt(), q.value(1).toString()});
    }
    int nextHistory = count(*connection, QStringLiteral("SELECT MAX(ID) FROM History"));
    int nextEconom = count(*connection, QStringLiteral("SELECT MAX(EconomID) FROM PatEconomics"));
    QSqlQuery history = prepared(*connection,
        QStringLiteral("INSERT INTO History (ID, TherapySessionID, PatientID, TreatmentLevel, OperID, \"Date\", ToothNum, DentistID, "
                       "RequireMaterial, RequireLab, RequireColor, Cost, CostEURO, Discount, Price, PriceEURO, Ordered, IOFld) "
                       "VALUES (?, ?, ?, 2, ?, ?, ?, 1, FALSE, FALSE, FALSE, ?, ?, 0, ?, ?, FALSE, FALSE)"));
    QSqlQuery charge = prepared(*connection,
        QStringLiteral("INSERT INTO PatEconomics (EconomID, DentistID, \"Date\", PatientID, SessionID, SourceName, Sign, Credit, CreditEURO, "
                       "Description, PaymentType, HistoryID, IOFld) VALUES (?, 1, ?, ?, ?, ?, 1, ?, ?, ?, 0, ?, FALSE)"));
    // Both rows are recorded in the audit trail as ours are: who, when, where, and each field.
    db::Query::run(*connection,
        QStringLiteral("CREATE TABLE IF NOT EXISTS AuditTrail (ChangedAt VARCHAR(23) NOT NULL, UserName VARCHAR(40), "
                       "Workstation VARCHAR(64), TableName VARCHAR(32) NOT NULL, RowLocator BIGINT NOT NULL, "
                       "PatientID INTEGER, Action CHAR(1) NOT NULL, Changes TEXT)"));
    QSqlQuery audit = prepared(*connection,
        QStringLiteral("INSERT INTO AuditTrail (ChangedAt, UserName, Workstation, TableName, RowLocator, PatientID, Action, "
                       "Changes) VALUES (?, ?, 'bench', ?, ?, ?, 'I', ?)"));
    const QStringList historyColumns { "ID", "TherapySessionID", "PatientID", "OperID", "Date", "ToothNum", "Cost", "CostEURO",
        "Price", "PriceEURO" };
    const QStringList chargeColumns { "EconomID", "Date", "PatientID", "SessionID", "SourceName", "Credit", "CreditEURO",
        "Description", "HistoryID" };
    const auto record = [&](const QString& table, const QStringList& columns, const QVariantList& values, int patient) {
        QJsonObject changes;
        for (int c = 0; c < columns.size(); ++c)
            changes.insert(columns[c], QJsonArray { QJsonValue(), QJsonValue::fromVariant(values[c]) });
        run(audit, { QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")), QStringLiteral("bench"), table,
                       values[0], patient, QString::fromUtf8(QJsonDocument(changes).toJson(QJsonDocument::Compact)) });
    };
    return timeMs([&] {
        for (const Target& t : std::as_const(targets)) {
            for (int i = 0; i < kRowsPerPatient; ++i) {
                db::TransactionGuard transaction(*connection);
                const int id = ++nextHistory;
                const QVariantList treatment { id, t.session, t.patient, operation, LargePractice::kToday, 11 + i % 7, euro * 340.75, euro,
                    euro * 340.75, euro };
                run(history, treatment);
                record(QStringLiteral("History"), historyColumns, treatment, t.patient);
                const QVariantList charged { ++nextEconom, LargePractice::kToday, t.patient, t.session, t.lastName, euro * 340.75, euro,
                    QStringLiteral("Treatment, Tooth %1").arg(11 + i % 7), id };
                run(charge, charged);
                record(QStringLiteral("PatEconomics"), chargeColumns, charged, t.patient);
                transaction.commit();
            }
        }
    });
}

Result postTreatments(Context& context)
{
    LargePractice& p = practice(context);
    const QString path = p.copy(QStringLiteral("practice-post"));
    const int patientCount = (context.quick() ? 200 : 1000) / kRowsPerPatient;
    const QList<int> ourPatients = somePatients(p, patientCount, 3);
    const QList<int> plainPatients = somePatients(p, patientCount, 4);
    const int rows = patientCount * kRowsPerPatient;

    auto dm = openPractice(context, path);
    const db::Connection& data = *dm->Database;
    db::Query op(data, QStringLiteral("SELECT OperID, CostEURO FROM Operations WHERE CostEURO > 0 ORDER BY OperID"));
    op.exec();
    if (!op.next())
        fail(QStringLiteral("(h) no operation with a cost"));
    const int operation = op.value(0).toInt();
    const double euro = op.value(1).toDouble();
    op.finish();
    const int lastHistory = count(data, QStringLiteral("SELECT MAX(ID) FROM History"));

    double ours = 0;
    for (int id : ourPatients) {
        dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), id);
        dm->clinical().SessionsTable->locate(QStringLiteral("SessionID"), dm->patients().PatientsTable->value(u"TherapySessionID"));
        ours += timeMs([&] {
            for (int i = 0; i < kRowsPerPatient; ++i)
                enterTreatment(*dm, operation, euro, 11 + i % 7);
        });
    }
    const int written = count(data, QStringLiteral("SELECT COUNT(*) FROM History WHERE ID > %1").arg(lastHistory));
    const int charges = count(data,
        QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE Sign = 1 AND HistoryID IN (SELECT ID FROM History WHERE ID > %1)").arg(lastHistory));
    dm.reset();

    const double plain = plainTreatments(path, plainPatients, operation, euro);

    Result result{ours, plain, {}, QStringLiteral("≤ 2× plain"), verdict(ours <= 2 * plain)};
    if (written != rows || charges != rows)
        result.verdict = QStringLiteral("WRONG: %1 rows, %2 charges for %3 treatments").arg(written).arg(charges).arg(rows);
    result.notes << QStringLiteral("(h) %1 level-2 treatments posted through HistPerSessionTable3 (%2 patients): %3 ms each, plain SQL %4 ms; "
                                   "%5 charges written")
                        .arg(rows)
                        .arg(patientCount)
                        .arg(formatMs(ours / rows))
                        .arg(formatMs(plain / rows))
                        .arg(charges);
    return result;
}

// --- (i) open a long ledger with its balances ---

// The ledger by plain SQL: its rows with the dentist's and the member's names, the running
// balance added up while reading, and the session's sums.
double plainLedger(const QString& path, const QVariant& session, int rounds, double& balance, double& sessionBalance)
{
    auto connection = plainConnection(path);
    QSqlQuery all = prepared(*connection,
        QStringLiteral("SELECT e.rowid, e.*, d.LastName, c.LastName, c.FirstName FROM PatEconomics e "
                       "LEFT JOIN Doctors d ON d.DocID = e.DentistID LEFT JOIN Patient c ON c.PatientID = e.ChildID "
                       "WHERE e.SessionID = ? ORDER BY e.SessionID, e.rowid"));
    QSqlQuery sums = prepared(*connection,
        QStringLiteral("SELECT SUM(CASE WHEN Sign = 1 THEN Credit END), SUM(CASE WHEN Sign = -1 THEN Credit END), "
                       "SUM(CASE WHEN Sign = 1 THEN CreditEURO END), SUM(CASE WHEN Sign = -1 THEN CreditEURO END) "
                       "FROM PatEconomics WHERE SessionID = ?"));
    return timeMs([&] {
        for (int round = 0; round < rounds; ++round) {
            run(all, {session});
            std::vector<QVariantList> kept;
            double running = 0;
            double runningEuro = 0;
            const int columns = all.record().count();
            while (all.next()) {
                QVariantList row;
                row.reserve(columns + 2);
                for (int c = 0; c < columns; ++c)
                    row.append(all.value(c));
                const bool receivable = all.value(7).toInt() == -1; // Sign, then Credit and CreditEURO
                running += receivable ? -all.value(8).toDouble() : all.value(8).toDouble();
                runningEuro += receivable ? -all.value(9).toDouble() : all.value(9).toDouble();
                row << running << runningEuro;
                kept.push_back(std::move(row));
            }
            all.finish();
            run(sums, {session});
            sums.next();
            sessionBalance = sums.value(0).toDouble() - sums.value(1).toDouble();
            sums.finish();
            balance = running;
        }
    });
}

Result openLedger(Context& context)
{
    LargePractice& p = practice(context);
    const QString path = p.copy(QStringLiteral("practice-ledger"));
    auto dm = openPractice(context, path);
    db::Dataset& ledger = *dm->finance().PatientEconomTable;
    if (!dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), p.ledgerPatient()))
        fail(QStringLiteral("(i) the ledger patient is missing"));
    const int balance = ledger.field(u"Balance").index();
    const int sessionBalance = ledger.field(u"SessBalance").index();
    constexpr int kRounds = 5;

    // As the ledger window shows it: read again, on its last row, every cell of every row.
    double lastBalance = 0;
    double lastSessionBalance = 0;
    const double ours = timeMs([&] {
        for (int round = 0; round < kRounds; ++round) {
            ledger.refresh();
            ledger.last();
            for (int row = 0; row < ledger.recordCount(); ++row) {
                for (int f = 0; f < ledger.fieldCount(); ++f)
                    (void)ledger.rowValue(row, f);
            }
            lastBalance = ledger.rowValue(ledger.recordCount() - 1, balance).toDouble();
            lastSessionBalance = ledger.rowValue(ledger.recordCount() - 1, sessionBalance).toDouble();
        }
    }) / kRounds;
    const int rows = ledger.recordCount();
    const QVariant session = dm->clinical().SessionsTable->value(u"SessionID");

    double plainBalance = 0;
    double plainSessionBalance = 0;
    const double plain = plainLedger(path, session, kRounds, plainBalance, plainSessionBalance) / kRounds;

    const bool same = qFuzzyCompare(1 + lastBalance, 1 + plainBalance) && qFuzzyCompare(1 + lastSessionBalance, 1 + plainSessionBalance);
    Result result{ours, plain, {}, QStringLiteral("balances as plain SQL"), same ? QStringLiteral("met")
                                                                                : QStringLiteral("WRONG: balance %1 / %2, session %3 / %4")
                                                                                      .arg(lastBalance)
                                                                                      .arg(plainBalance)
                                                                                      .arg(lastSessionBalance)
                                                                                      .arg(plainSessionBalance)};
    result.notes << QStringLiteral("(i) a ledger of %1 rows read again with running and session balances: %2 ms (plain SQL %3 ms)")
                        .arg(rows)
                        .arg(formatMs(ours))
                        .arg(formatMs(plain));
    return result;
}

// --- (j) delete a patient with everything that belongs to the patient ---

// Rows of the patient left anywhere, added up by table.
void leftBehind(const db::Connection& c, int patient, const QList<int>& peris, QMap<QString, int>& left)
{
    const QList<std::pair<QString, QString>> where = {{"Patient", "PatientID = %1"}, {"Recalls", "PatientID = %1"},
        {"CartAnamnestica", "PatID = %1"}, {"QuestAnswer", "PatientID = %1"}, {"History", "PatientID = %1"},
        {"PatEconomics", "PatientID = %1 OR ChildID = %1"}, {"Peri", "PatientID = %1"}, {"Photos", "PatID = %1"},
        {"ToothColor", "PatientID = %1"}, {"ToothNotes", "PatientID = %1"}, {"Endo", "PatientID = %1"},
        {"Sessions", "PatientID = %1"}, {"Families", "ChildID = %1 OR FatherID = %1"}};
    for (const auto& [table, condition] : where) {
        if (const int n = count(c, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, condition.arg(patient))))
            left[table] += n;
    }
    for (int peri : peris) {
        if (const int n = count(c, QStringLiteral("SELECT COUNT(*) FROM PeriItem WHERE PeriID = %1").arg(peri)))
            left[QStringLiteral("PeriItem")] += n;
    }
}

QList<int> perisOf(const db::Connection& c, int patient)
{
    QList<int> ids;
    db::Query q(c, QStringLiteral("SELECT PeriID FROM Peri WHERE PatientID = :p"));
    q.bind(QStringLiteral("p"), patient).exec();
    while (q.next())
        ids.append(q.value(0).toInt());
    return ids;
}

Result deletePatient(Context& context)
{
    LargePractice& p = practice(context);
    const QString path = p.copy(QStringLiteral("practice-delete"));
    const QList<int> ours = p.heavyPatients().mid(0, LargePractice::kHeavyPatients / 2);
    const QList<int> plainOnes = p.heavyPatients().mid(LargePractice::kHeavyPatients / 2);

    auto dm = openPractice(context, path);
    double oursMs = 0;
    QMap<QString, int> left;
    for (int id : ours) {
        const QList<int> peris = perisOf(*dm->Database, id);
        if (!dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), id))
            fail(QStringLiteral("(j) patient %1 not found").arg(id));
        oursMs += timeMs([&] { dm->patients().PatientsTable->remove(); });
        leftBehind(*dm->Database, id, peris, left);
    }
    dm.reset();

    auto connection = plainConnection(path);
    double plainMs = 0;
    for (int id : plainOnes) {
        plainMs += timeMs([&] {
            db::TransactionGuard transaction(*connection);
            const QStringList statements = {"DELETE FROM Recalls WHERE PatientID = ?", "DELETE FROM CartAnamnestica WHERE PatID = ?",
                "DELETE FROM QuestAnswer WHERE PatientID = ?", "DELETE FROM History WHERE PatientID = ?",
                "DELETE FROM PatEconomics WHERE PatientID = ?", "DELETE FROM PatEconomics WHERE ChildID = ?",
                "DELETE FROM PeriItem WHERE PeriItem.PeriID IN (SELECT Peri.PeriID FROM Peri WHERE PatientID = ?)",
                "DELETE FROM Peri WHERE PatientID = ?", "DELETE FROM Photos WHERE PatID = ?", "DELETE FROM ToothColor WHERE PatientID = ?",
                "DELETE FROM ToothNotes WHERE PatientID = ?", "DELETE FROM Endo WHERE PatientID = ?", "DELETE FROM Sessions WHERE PatientID = ?",
                "DELETE FROM Families WHERE ChildID = ? OR FatherID = ?", "DELETE FROM Patient WHERE PatientID = ?"};
            for (const QString& sql : statements) {
                QSqlQuery q = prepared(*connection, sql);
                run(q, sql.count(QLatin1Char('?')) == 2 ? QVariantList{id, id} : QVariantList{id});
            }
            transaction.commit();
        });
    }
    const int n = int(ours.size());
    QStringList rowsLeft;
    for (auto it = left.cbegin(); it != left.cend(); ++it)
        rowsLeft << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    Result result{oursMs / n, plainMs / n, {}, QStringLiteral("all dependants gone"),
        left.isEmpty() ? QStringLiteral("met")
                       : QStringLiteral("WRONG: rows left of %1 patients: %2").arg(n).arg(rowsLeft.join(QStringLiteral(", ")))};
    result.notes << QStringLiteral("(j) a patient with %1 history rows and dependants deleted through PatientsTable: %2 ms (plain SQL %3 ms)")
                        .arg(LargePractice::kHeavyHistory)
                        .arg(formatMs(oursMs / n))
                        .arg(formatMs(plainMs / n));
    return result;
}

const RegisterMeasure f(QStringLiteral("(f) large practice: open every view at start"), openAtStart);
const RegisterMeasure g(QStringLiteral("(g) large practice: switch the current patient"), switchPatient);
const RegisterMeasure h(QStringLiteral("(h) large practice: post level-2 treatments with charges"), postTreatments);
const RegisterMeasure i(QStringLiteral("(i) large practice: open a 2,000-row ledger"), openLedger);
const RegisterMeasure j(QStringLiteral("(j) large practice: delete a patient with 500 treatments"), deletePatient);

} // namespace
} // namespace bench
