// (x1)-(x3): the ledger window's work on the large practice's 2,000-row patient ledger (a tenth
// of the practice with --quick): opening it with running and session balances, posting a payment
// and showing the new balances, and "OK" on 200 charges, each next to plain SQL doing the same
// (the running balances by window functions, the same columns read) in the same run.
#include "LargePractice.h"
#include "Measure.h"

#include "data/DmUnit.h"
#include "db/Connection.h"
#include "platform/Settings.h"

#include <QSqlQuery>

namespace bench {
namespace {

LargePractice& practice(Context& context)
{
    static std::unique_ptr<LargePractice> made;
    if (!made) {
        const PracticeSize size = PracticeSize::forRun(context);
        made = std::make_unique<LargePractice>(context, size);
    }
    return *made;
}

struct Ledger {
    std::unique_ptr<data::TDmForm> dm;
    std::unique_ptr<db::Connection> plain;
    QVariant session;
};

Ledger openLedger(Context& context, const QString& name, const QString& before = {})
{
    LargePractice& p = practice(context);
    const QString path = p.copy(name);
    if (!before.isEmpty()) {
        auto c
            = db::Connection::open({ .name = QStringLiteral("bench-ledger-before"), .dataDirectory = path });
        QSqlQuery q = prepared(*c, before);
        run(q, { p.ledgerPatient() });
    }
    Ledger l;
    l.dm = data::TDmForm::connect({ .name = QStringLiteral("bench-ledger"), .dataDirectory = path });
    l.dm->openAtStart(
        platform::Settings(platform::Edition::Dental, context.newDirectory(QStringLiteral("ledger-config"))),
        {}, LargePractice::kToday);
    if (!l.dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), p.ledgerPatient()))
        fail(QStringLiteral("the ledger patient is missing"));
    l.session = l.dm->clinical().SessionsTable->value(u"SessionID");
    l.plain = db::Connection::open({ .name = QStringLiteral("bench-ledger-plain"), .dataDirectory = path });
    return l;
}

// What the window shows after a read: every row's balance and the footer's session balance.
double showLedger(data::TDmForm& dm, double& footer)
{
    db::Dataset& ledger = *dm.finance().PatientEconomTable;
    ledger.last();
    const int balance = ledger.field(u"BalanceEURO").index();
    double last = 0;
    for (int row = 0; row < ledger.recordCount(); ++row)
        last = ledger.rowValue(row, balance).toDouble();
    footer = dm.clinical().sessionBalance(dm.clinical().SessionsTable->value(u"SessionID")).euro;
    return last;
}

// The same by plain SQL: every column the ledger holds with the names it looks up, the running
// balance of every row in both currencies by window functions, the session's sum.
double plainBalances(db::Connection& c, const QVariant& session, double& footer)
{
    QSqlQuery rows = prepared(c,
        QStringLiteral("SELECT e.*, d.LastName, p.LastName, p.FirstName, "
                       "SUM(CASE WHEN e.Sign = -1 THEN -COALESCE(e.Credit, 0) ELSE COALESCE(e.Credit, 0) END) OVER w, "
                       "SUM(CASE WHEN e.Sign = -1 THEN -COALESCE(e.CreditEURO, 0) ELSE COALESCE(e.CreditEURO, 0) END) "
                       "OVER w FROM PatEconomics e LEFT JOIN Doctors d ON d.DocID = e.DentistID "
                       "LEFT JOIN Patient p ON p.PatientID = e.ChildID WHERE e.SessionID = ? "
                       "WINDOW w AS (ORDER BY e.SessionID, e.rowid ROWS UNBOUNDED PRECEDING) ORDER BY e.SessionID, e.rowid"));
    QSqlQuery sum = prepared(c,
        QStringLiteral("SELECT COALESCE(SUM(CASE WHEN Sign = 1 THEN CreditEURO END), 0) - COALESCE(SUM(CASE "
                       "WHEN Sign = -1 THEN CreditEURO END), 0) "
                       "FROM PatEconomics WHERE SessionID = ?"));
    run(rows, { session });
    const int columns = rows.record().count();
    QVariantList values(columns);
    while (rows.next())
        for (int column = 0; column < columns; ++column)
            values[column] = rows.value(column);
    run(sum, { session });
    sum.next();
    footer = sum.value(0).toDouble();
    return values.isEmpty() ? 0 : values.last().toDouble();
}

bool same(double a, double b)
{
    return std::abs(a - b) <= 1e-6 * std::max(1.0, std::abs(b));
}

Result judged(double ours, double plain, bool right, const QString& target, bool met, const QString& note)
{
    Result r { ours, plain, { note }, target,
        right ? (met ? QStringLiteral("met") : QStringLiteral("MISSED")) : QStringLiteral("WRONG balances") };
    return r;
}

Result openWithBalances(Context& context)
{
    Ledger l = openLedger(context, QStringLiteral("ledger-open"));
    db::Dataset& ledger = *l.dm->finance().PatientEconomTable;
    constexpr int kRounds = 5;
    double footer = 0;
    double last = 0;
    const double ours = bestMs(kRounds, [&] {
        ledger.refresh();
        last = showLedger(*l.dm, footer);
    });
    // Where the time goes: reading the rows, calculating their balances, the footer's sum.
    double readMs = 1e12, balancesMs = 1e12, footerMs = 1e12;
    const int balanceEuro = ledger.field(u"BalanceEURO").index();
    for (int round = 0; round < kRounds; ++round) {
        readMs = std::min(readMs, timeMs([&] {
            ledger.refresh();
            ledger.last();
        }));
        balancesMs = std::min(balancesMs, timeMs([&] {
            for (int row = 0; row < ledger.recordCount(); ++row)
                (void)ledger.rowValue(row, balanceEuro);
        }));
        footerMs = std::min(footerMs, timeMs([&] { (void)l.dm->clinical().sessionBalance(l.session); }));
    }
    double plainFooter = 0;
    double plainLast = 0;
    const double plain
        = bestMs(kRounds, [&] { plainLast = plainBalances(*l.plain, l.session, plainFooter); });
    const bool right = same(last, plainLast) && same(footer, plainFooter);
    return judged(ours, plain, right, QStringLiteral("<= 20 ms and <= 2x"), ours <= 20 && ours <= 2 * plain,
        QStringLiteral("(x1) %1 ledger rows with running and session balances: %2 ms, plain SQL with a "
                       "window function %3 ms")
                .arg(ledger.recordCount())
                .arg(ours, 0, 'f', 2)
                .arg(plain, 0, 'f', 2)
            + QStringLiteral(" (read %1 ms, balances %2 ms, footer %3 ms)")
                  .arg(readMs, 0, 'f', 2)
                  .arg(balancesMs, 0, 'f', 2)
                  .arg(footerMs, 0, 'f', 2));
}

Result postPayment(Context& context)
{
    Ledger l = openLedger(context, QStringLiteral("ledger-post"));
    db::Dataset& ledger = *l.dm->finance().PatientEconomTable;
    constexpr int kRounds = 10;
    double footer = 0;
    double last = 0;
    const double ours = bestMs(kRounds, [&](int round) {
        ledger.append();
        ledger.setValue(u"Sign", -1);
        ledger.setValue(u"CreditEURO", 12.5 + round);
        ledger.post();
        last = showLedger(*l.dm, footer);
    });
    // Our rows as plain SQL reads them, before the plain side adds its own.
    double checkFooter = 0;
    const double checkLast = plainBalances(*l.plain, l.session, checkFooter);
    const bool right = same(last, checkLast) && same(footer, checkFooter);
    QSqlQuery insert = prepared(*l.plain,
        QStringLiteral("INSERT INTO PatEconomics (EconomID, PatientID, SessionID, Date, Sign, Credit, "
                       "CreditEURO, PaymentType, IOFld) "
                       "VALUES (?, ?, ?, ?, -1, ?, ?, 0, FALSE)"));
    const QVariant patient = practice(context).ledgerPatient();
    const double plain = bestMs(
        kRounds, [&](int round) {
            run(insert,
                { 900000000 + round, patient, l.session, LargePractice::kToday, (12.5 + round) * 340.75,
                    12.5 + round });
            double plainFooter = 0;
            (void)plainBalances(*l.plain, l.session, plainFooter);
        });
    return judged(ours, plain, right, QStringLiteral("<= 10 ms"), ours <= 10,
        QStringLiteral("(x2) a payment posted and %1 balances shown again: %2 ms, plain SQL %3 ms")
            .arg(ledger.recordCount())
            .arg(ours, 0, 'f', 2)
            .arg(plain, 0, 'f', 2));
}

Result markCharges(Context& context)
{
    // The ledger patient's rows are mostly payments: 200 of them become unreceipted charges.
    Ledger l = openLedger(context, QStringLiteral("ledger-mark"),
        QStringLiteral(
            "UPDATE PatEconomics SET Sign = 1, IOFld = FALSE, ReceiptCredit = NULL, ReceiptCreditEURO = NULL "
            "WHERE EconomID IN "
            "(SELECT EconomID FROM PatEconomics WHERE PatientID = ? ORDER BY EconomID LIMIT 200)"));
    db::Dataset& ledger = *l.dm->finance().PatientEconomTable;
    QList<QVariant> charges;
    const int id = ledger.field(u"EconomID").index();
    const int sign = ledger.field(u"Sign").index();
    for (int row = 0; row < ledger.recordCount() && charges.size() < 200; ++row) {
        if (ledger.rowValue(row, sign).toInt() == 1)
            charges.append(ledger.rowValue(row, id));
    }
    if (charges.size() < 200)
        fail(QStringLiteral("(x3) the ledger has %1 charges, not 200").arg(charges.size()));
    constexpr int kRounds = 4;
    int changed = 0;
    const double ours
        = bestMs(kRounds, [&](int round) { changed = l.dm->finance().markCharges(charges, round % 2 == 0); });
    // The same by plain SQL: both marks of every charge in one statement, the treatments after.
    QStringList ids;
    for (const QVariant& v : std::as_const(charges))
        ids << v.toString();
    const QString in = ids.join(QLatin1Char(','));
    double plain = 1e12;
    for (int round = 0; round < kRounds; ++round) {
        const bool mark = round % 2 == 0;
        plain = std::min(plain, timeMs([&] {
            db::TransactionGuard transaction(*l.plain);
            QSqlQuery update = prepared(*l.plain,
                QStringLiteral(
                    "UPDATE PatEconomics SET IOFld = ?, ReceiptCredit = CASE WHEN ? THEN Credit END, "
                    "ReceiptCreditEURO = CASE WHEN ? THEN CreditEURO END WHERE Sign = 1 AND IOFld <> ? AND "
                    "EconomID IN (%1)")
                    .arg(in));
            run(update, { mark, mark, mark, mark });
            QSqlQuery follow = prepared(*l.plain,
                QStringLiteral("UPDATE History SET IOFld = ? WHERE ID IN (SELECT HistoryID FROM PatEconomics "
                               "WHERE SessionID = ? AND IOFld = ?)"));
            run(follow, { mark, l.session, mark });
            transaction.commit();
        }));
    }
    const bool right = changed == 200;
    return judged(ours, plain, right, QStringLiteral("<= 200 ms, one transaction"), ours <= 200,
        QStringLiteral(
            "(x3) \"OK\" / \"Not OK\" on %1 charges with the treatments following: %2 ms, plain SQL %3 ms")
            .arg(charges.size())
            .arg(ours, 0, 'f', 1)
            .arg(plain, 0, 'f', 1));
}

const RegisterMeasure x1(
    QStringLiteral("(x1) large practice: the ledger window opens a 2,000-row ledger"), openWithBalances);
const RegisterMeasure x2(
    QStringLiteral("(x2) large practice: post a payment, show the balances again"), postPayment);
const RegisterMeasure x3(QStringLiteral("(x3) large practice: \"OK\" on 200 charges"), markCharges);

} // namespace
} // namespace bench
