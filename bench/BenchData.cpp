#include "BenchData.h"

#include "Measure.h"

#include "db/Query.h"
#include "db/SchemaManager.h"

#include <QDate>

namespace bench {

const db::TableDef& BenchData::masterTable()
{
    static const db::TableDef table {QStringLiteral("Master"),
        {db::i32(QStringLiteral("MasterID")), db::str(QStringLiteral("Name"), 30), db::str(QStringLiteral("Code"), 10),
            db::date(QStringLiteral("Since")), db::f64(QStringLiteral("Balance"))},
        QStringLiteral("MasterID"), {{QStringLiteral("ByName"), {QStringLiteral("Name")}}}};
    return table;
}

const db::TableDef& BenchData::detailTable()
{
    static const db::TableDef table {QStringLiteral("Detail"),
        {db::i32(QStringLiteral("DetailID")), db::i32(QStringLiteral("MasterID")), db::date(QStringLiteral("LineDate")),
            db::str(QStringLiteral("Description"), 40), db::f64(QStringLiteral("Amount")), db::f64(QStringLiteral("AmountEURO"))},
        QStringLiteral("DetailID"), {{QStringLiteral("ByMaster"), {QStringLiteral("MasterID"), QStringLiteral("DetailID")}}}};
    return table;
}

QString BenchData::masterName(int id)
{
    return QStringLiteral("Name%1").arg(id, 7, 10, QLatin1Char('0'));
}

BenchData::BenchData(const QString& directory, int masters, int detailsPerMaster)
    : m_profile {.name = QStringLiteral("bench"), .dataDirectory = directory}
    , m_masters(masters)
    , m_detailsPerMaster(detailsPerMaster)
{
    auto connection = db::Connection::open(m_profile);
    db::SchemaManager(*connection).create({masterTable(), detailTable()});
    // One large transaction: keep its pages in memory instead of spilling them mid-way.
    db::Query::run(*connection, QStringLiteral("PRAGMA cache_size = -262144"));
    m_generationMs = timeMs([&] {
        db::TransactionGuard transaction(*connection);
        db::Query master(*connection, QStringLiteral("INSERT INTO Master VALUES (:id, :name, :code, :since, :balance)"));
        db::Query detail(*connection, QStringLiteral("INSERT INTO Detail VALUES (:id, :master, :date, :text, :amount, :euro)"));
        const QDate start(2020, 1, 1);
        int detailId = 0;
        for (int m = 1; m <= masters; ++m) {
            master.bind(QStringLiteral("id"), m)
                .bind(QStringLiteral("name"), masterName(m))
                .bind(QStringLiteral("code"), QString::number(m % 997))
                .bind(QStringLiteral("since"), start.addDays(m % 1500))
                .bind(QStringLiteral("balance"), (m % 100) * 10.0)
                .exec();
            for (int d = 0; d < detailsPerMaster; ++d) {
                ++detailId;
                const double amount = (detailId % 50) * 3.5;
                detail.bind(QStringLiteral("id"), detailId)
                    .bind(QStringLiteral("master"), m)
                    .bind(QStringLiteral("date"), start.addDays(detailId % 2000))
                    .bind(QStringLiteral("text"), QStringLiteral("Treatment line %1").arg(d))
                    .bind(QStringLiteral("amount"), amount)
                    .bind(QStringLiteral("euro"), amount / 340.75)
                    .exec();
            }
        }
        transaction.commit();
    });
    db::Query::run(*connection, QStringLiteral("ANALYZE"));
}

} // namespace bench
