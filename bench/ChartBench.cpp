// (q)-(s): the dental chart on the large practice (a tenth with --quick): a full redraw of a
// session with 200 treatment rows, a click that records an operation with its charge, and a
// change of patient with the chart open; each next to plain QSqlQuery calls reading or
// writing the same rows.
#include "LargePractice.h"
#include "Measure.h"

#include "clinical/ChartServices.h"
#include "clinical/DentalChartUnit.h"
#include "clinical/ToothGeometry.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Query.h"
#include "platform/Session.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace bench {
namespace {

constexpr int kRows = 200;

struct ChartBench {
    std::unique_ptr<data::TDmForm> dm;
    std::unique_ptr<clinical::TDentalChartForm> chart;
    QString path;
    int patient = 0;
    int session = 0;
};

// An ordinary patient's current session filled to 200 treatments on the teeth, the chart open on it.
ChartBench& bench(Context& context)
{
    static ChartBench& b = *new ChartBench; // lives to the end of the run, past the application object
    if (b.dm)
        return b;
    const PracticeSize size = PracticeSize::forRun(context);
    LargePractice practice(context, size);
    b.path = practice.copy(QStringLiteral("practice-chart"));
    b.patient = practice.ordinaryPatients().first();
    {
        auto c = db::Connection::open({.name = QStringLiteral("bench-chart-fill"), .dataDirectory = b.path});
        b.session = db::Query(*c, QStringLiteral("SELECT TherapySessionID FROM Patient WHERE PatientID = %1").arg(b.patient)).scalar().toInt();
        const int next = 1500000000; // far above the generator, which the chart's clicks take from
        const int oper = db::Query(*c, QStringLiteral("SELECT MIN(OperID) FROM Operations WHERE BitmapID IS NOT NULL")).scalar().toInt();
        c->database().transaction();
        QSqlQuery insert = prepared(*c, QStringLiteral("INSERT INTO History (ID, TherapySessionID, PatientID, TreatmentLevel, OperID, ToothNum, "
                                                         "Cost, CostEURO, Masitikes, IOFld) VALUES (?, ?, ?, 2, ?, ?, 0, 0, ?, TRUE)"));
        for (int i = 0; i < kRows; ++i)
            run(insert, {next + i, b.session, b.patient, oper + i % 5, clinical::ToothNumberOf(i % 32, clinical::ChartKind::Adult), i % 7});
        c->database().commit();
    }
    b.dm = data::TDmForm::connect({.name = QStringLiteral("bench-chart"), .dataDirectory = b.path});
    b.dm->openAtStart(platform::Settings(platform::Edition::Dental, context.newDirectory(QStringLiteral("chart-config"))), {},
        LargePractice::kToday);
    platform::session().role = platform::UserRole::Full;
    if (!b.dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), b.patient))
        fail(QStringLiteral("(q) patient %1 not found").arg(b.patient));
    b.chart = std::make_unique<clinical::TDentalChartForm>(*b.dm);
    b.chart->resize(820, 640);
    b.chart->show();
    b.chart->windowActivated();
    QApplication::processEvents();
    if (b.chart->levelView(data::TreatmentLevel::Implementation)->recordCount() < kRows)
        fail(QStringLiteral("(q) the chart shows %1 rows, not %2")
                 .arg(b.chart->levelView(data::TreatmentLevel::Implementation)->recordCount())
                 .arg(kRows));
    return b;
}

Result redraw(Context& context)
{
    ChartBench& b = bench(context);
    const double ours = bestMs(10, [&] { b.chart->Redraw(); });
    auto c = db::Connection::open({.name = QStringLiteral("bench-chart-plain"), .dataDirectory = b.path});
    QSqlQuery rows = prepared(*c, QStringLiteral("SELECT * FROM History WHERE TherapySessionID = ? AND TreatmentLevel = 2 ORDER BY ID"));
    const double plain = bestMs(10, [&] {
        run(rows, {b.session});
        while (rows.next()) { }
    });
    Result r{ours, plain, {}, QStringLiteral("< 4 ms"), ours < 4 ? QStringLiteral("met") : QStringLiteral("MISSED"), true};
    r.notes << QStringLiteral("(q) chart of %1 rows re-read and painted in %2 ms")
                   .arg(b.chart->levelView(data::TreatmentLevel::Implementation)->recordCount())
                   .arg(ours, 0, 'f', 2);
    return r;
}

Result click(Context& context)
{
    ChartBench& b = bench(context);
    const int oper = db::Query(b.dm->connection(), QStringLiteral("SELECT MIN(OperID) FROM Operations WHERE CostEURO > 0")).scalar().toInt();
    clinical::ChartServices::instance().pickOperation
        = [oper](data::TDmForm& dm, int, data::TreatmentLevel, QWidget*) {
              if (!dm.clinical().OperationsTable->locate(QStringLiteral("OperID"), oper))
                  return false;
              clinical::CurrentOperation& op = clinical::currentOperation();
              op.cost = dm.clinical().OperationsTable->value(u"Cost").toDouble();
              op.costEuro = dm.clinical().OperationsTable->value(u"CostEURO").toDouble();
              op.date = LargePractice::kToday;
              return true;
          };
    b.chart->GroupBtnClick(1);
    const int before = db::Query(b.dm->connection(), QStringLiteral("SELECT COUNT(*) FROM PatEconomics")).scalar().toInt();
    int tooth = 0;
    const int clicks = 10;
    QList<double> times;
    for (int i = 0; i < clicks; ++i) {
        const QPoint at = clinical::ToothRect(tooth++ % 32, clinical::ChartKind::Adult).center();
        times << timeMs([&] {
            b.chart->ToothClick(at);
            QApplication::processEvents();
        });
    }
    const int charges = db::Query(b.dm->connection(), QStringLiteral("SELECT COUNT(*) FROM PatEconomics")).scalar().toInt() - before;
    if (charges != clicks)
        fail(QStringLiteral("(r) %1 clicks wrote %2 charges").arg(clicks).arg(charges));
    std::sort(times.begin(), times.end());
    const double ours = times[times.size() / 2];

    auto c = db::Connection::open({.name = QStringLiteral("bench-chart-plain-click"), .dataDirectory = b.path});
    QSqlQuery history = prepared(*c, QStringLiteral("INSERT INTO History (ID, TherapySessionID, PatientID, TreatmentLevel, OperID, ToothNum, "
                                                      "Cost, CostEURO) VALUES (?, ?, ?, 2, ?, 16, 1, 1)"));
    QSqlQuery charge = prepared(*c, QStringLiteral("INSERT INTO PatEconomics (EconomID, PatientID, SessionID, HistoryID, Sign, Credit, CreditEURO) "
                                                     "VALUES (?, ?, ?, ?, 1, 1, 1)"));
    int id = db::Query(*c, QStringLiteral("SELECT MAX(ID) FROM History")).scalar().toInt() + 1;
    int econ = db::Query(*c, QStringLiteral("SELECT MAX(EconomID) FROM PatEconomics")).scalar().toInt() + 1;
    const double plain = bestMs(clicks, [&] {
        c->database().transaction();
        run(history, {id, b.session, b.patient, oper});
        run(charge, {econ++, b.patient, b.session, id++});
        c->database().commit();
    });
    Result r{ours, plain, {}, QStringLiteral("< 30 ms"), ours < 30 ? QStringLiteral("met") : QStringLiteral("MISSED"), true};
    r.notes << QStringLiteral("(r) a click recorded the operation, its charge and repainted the tooth in %1 ms (median of %2; slowest %3 ms)")
                   .arg(ours, 0, 'f', 2)
                   .arg(clicks)
                   .arg(times.last(), 0, 'f', 2);
    return r;
}

Result switchPatient(Context& context)
{
    ChartBench& b = bench(context);
    clinical::setChartIdle(true);
    db::Dataset& patients = *b.dm->patients().PatientsTable;
    QList<QVariant> ids;
    for (patients.first(); !patients.eof() && ids.size() < 20; patients.next())
        ids << patients.value(u"PatientID");
    QList<double> times;
    for (const QVariant& id : ids) {
        times << timeMs([&] {
            patients.locate(QStringLiteral("PatientID"), id);
            QApplication::processEvents();
        });
    }
    std::sort(times.begin(), times.end());
    const double ours = times[times.size() / 2];
    auto c = db::Connection::open({.name = QStringLiteral("bench-chart-plain-switch"), .dataDirectory = b.path});
    QSqlQuery patient = prepared(*c, QStringLiteral("SELECT * FROM Patient WHERE PatientID = ?"));
    QSqlQuery sessions = prepared(*c, QStringLiteral("SELECT * FROM Sessions WHERE PatientID = ?"));
    QSqlQuery history = prepared(*c, QStringLiteral("SELECT * FROM History WHERE TherapySessionID = (SELECT TherapySessionID FROM Patient WHERE PatientID = ?)"));
    const double plain = bestMs(static_cast<int>(ids.size()), [&] {
        for (QSqlQuery* q : {&patient, &sessions, &history}) {
            run(*q, {ids.first()});
            while (q->next()) { }
        }
    });
    Result r{ours, plain, {}, QStringLiteral("< 50 ms"), ours < 50 ? QStringLiteral("met") : QStringLiteral("MISSED"), true};
    r.notes << QStringLiteral("(s) patient changed with the chart open and repainted in %1 ms (median of %2; slowest %3 ms)")
                   .arg(ours, 0, 'f', 2)
                   .arg(ids.size())
                   .arg(times.last(), 0, 'f', 2);
    return r;
}

const RegisterMeasure q(QStringLiteral("(q) dental chart: redraw of 200 rows"), redraw);
const RegisterMeasure r(QStringLiteral("(r) dental chart: click records an operation with its charge"), click);
const RegisterMeasure s(QStringLiteral("(s) dental chart: change of patient"), switchPatient);

} // namespace
} // namespace bench
