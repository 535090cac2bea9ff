// (a)-(c): the views of the engine layer against plain QSqlQuery calls doing the same work.
#include "BenchData.h"
#include "Measure.h"

#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Dataset.h"

#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <vector>

namespace bench {
namespace {

constexpr int kMoves = 2000;
constexpr int kLocates = 2000;

// The plain side keeps what it reads, as a view must.
using PlainRows = std::vector<std::vector<QVariant>>;

void readAll(QSqlQuery& query, PlainRows& rows)
{
    const int columns = query.record().count();
    while (query.next()) {
        std::vector<QVariant> row;
        row.reserve(static_cast<size_t>(columns));
        for (int c = 0; c < columns; ++c)
            row.push_back(query.value(c));
        rows.push_back(std::move(row));
    }
}

QSqlQuery plainQuery(const db::Connection& connection, const QString& sql)
{
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        fail(query.lastError().text());
    return query;
}

void execOrFail(QSqlQuery& query)
{
    if (!query.exec())
        fail(query.lastError().text());
}

// Opens a view on `table` ordered by `index` (empty: the primary key).
std::unique_ptr<db::Dataset> openView(db::Connection& connection, const db::TableDef& table, const QString& index = {})
{
    auto view = std::make_unique<db::Dataset>();
    view->setTable(connection, table);
    if (!index.isEmpty())
        view->setIndexName(index);
    return view;
}

Result moveMaster(Context& context)
{
    BenchData& data = context.data();
    auto connection = db::Connection::open(data.profile());
    const int moves = std::min(context.scaled(kMoves), data.masters() - 1);
    Result result;

    auto master = openView(*connection, BenchData::masterTable());
    db::DataSource masterSource(master.get());
    auto detail = openView(*connection, BenchData::detailTable(), QStringLiteral("ByMaster"));
    detail->setMaster(&masterSource, {QStringLiteral("MasterID")}, {QStringLiteral("MasterID")});
    master->open();
    detail->open();
    qint64 oursRows = 0;
    double oursSum = 0;
    result.oursMs = timeMs([&] {
        for (int i = 0; i < moves; ++i) {
            master->next();
            oursRows += detail->recordCount();
            oursSum += detail->value(u"Amount").toDouble(); // the detail's current row is read
        }
    });

    QSqlQuery masters = plainQuery(*connection, QStringLiteral("SELECT * FROM Master ORDER BY MasterID"));
    execOrFail(masters);
    PlainRows masterRows;
    readAll(masters, masterRows);
    QSqlQuery details = plainQuery(*connection, QStringLiteral("SELECT * FROM Detail WHERE MasterID = ? ORDER BY MasterID, DetailID"));
    qint64 plainRows = 0;
    double plainSum = 0;
    result.plainMs = timeMs([&] {
        for (int i = 1; i <= moves; ++i) {
            details.bindValue(0, masterRows[static_cast<size_t>(i)][0]);
            execOrFail(details);
            PlainRows rows;
            readAll(details, rows);
            plainRows += static_cast<qint64>(rows.size());
            if (!rows.empty())
                plainSum += rows.front()[4].toDouble();
        }
    });
    if (oursRows != plainRows || !qFuzzyCompare(oursSum + 1, plainSum + 1))
        fail(QStringLiteral("(a) the detail view saw %1 rows, plain SQL %2").arg(oursRows).arg(plainRows));
    result.notes.append(QStringLiteral("(a) %1 master moves, %2 detail rows followed").arg(moves).arg(oursRows));
    return result;
}

Result locateOnMaster(Context& context)
{
    BenchData& data = context.data();
    auto connection = db::Connection::open(data.profile());
    const int locates = context.scaled(kLocates);
    std::vector<int> keys;
    QRandomGenerator random(42);
    for (int i = 0; i < locates; ++i)
        keys.push_back(random.bounded(1, data.masters() + 1));
    Result result;

    auto master = openView(*connection, BenchData::masterTable());
    master->open();
    int oursFound = 0;
    result.oursMs = timeMs([&] {
        for (int key : keys) {
            if (master->locate(QStringLiteral("MasterID"), key) && master->value(u"MasterID").toInt() == key)
                ++oursFound;
        }
    });

    QSqlQuery byKey = plainQuery(*connection, QStringLiteral("SELECT * FROM Master WHERE MasterID = ?"));
    int plainFound = 0;
    result.plainMs = timeMs([&] {
        for (int key : keys) {
            byKey.bindValue(0, key);
            execOrFail(byKey);
            PlainRows rows;
            readAll(byKey, rows);
            plainFound += rows.size() == 1 ? 1 : 0;
        }
    });
    if (oursFound != locates || plainFound != locates)
        fail(QStringLiteral("(b) found %1 and %2 of %3 keys").arg(oursFound).arg(plainFound).arg(locates));
    result.notes.append(QStringLiteral("(b) %1 locates by MasterID on %2 masters").arg(locates).arg(data.masters()));
    return result;
}

Result openMaster(Context& context)
{
    BenchData& data = context.data();
    auto connection = db::Connection::open(data.profile());
    Result result;
    constexpr int kRounds = 3; // the best of three, on both sides
    double bestOurs = 1e12;
    double grownMb = 0;
    for (int round = 0; round < kRounds; ++round) {
        auto master = openView(*connection, BenchData::masterTable(), QStringLiteral("ByName"));
        const double before = residentMb();
        const double ms = timeMs([&] {
            master->open();
            master->last(); // every row reached
        });
        grownMb = std::max(grownMb, residentMb() - before);
        if (master->recordCount() != data.masters())
            fail(QStringLiteral("(c) the master view holds %1 rows of %2").arg(master->recordCount()).arg(data.masters()));
        bestOurs = std::min(bestOurs, ms);
    }
    result.oursMs = bestOurs;

    double bestPlain = 1e12;
    for (int round = 0; round < kRounds; ++round) {
        PlainRows rows;
        const double ms = timeMs([&] {
            QSqlQuery all = plainQuery(*connection, QStringLiteral("SELECT * FROM Master ORDER BY Name"));
            execOrFail(all);
            readAll(all, rows);
        });
        bestPlain = std::min(bestPlain, ms);
    }
    result.plainMs = bestPlain;
    result.notes.append(QStringLiteral("(c) master view of %1 rows: open %2 ms (target < 300), +%3 MB resident (target < 100)")
                            .arg(data.masters())
                            .arg(bestOurs, 0, 'f', 1)
                            .arg(grownMb, 0, 'f', 1));
    return result;
}

const RegisterMeasure a(QStringLiteral("(a) move the master, detail following"), moveMaster);
const RegisterMeasure b(QStringLiteral("(b) locate by key on the master"), locateOnMaster);
const RegisterMeasure c(QStringLiteral("(c) open the master view"), openMaster);

} // namespace
} // namespace bench
