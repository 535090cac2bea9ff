// (e) The data module's start: every view opened in the start-up order on a demo practice of
// the default size and on a large one, against plain queries reading each of those tables
// whole (more rows than the views, which read only the current patient's and session's).
#include "Measure.h"

#include "data/DemoPractice.h"
#include "data/DmUnit.h"
#include "data/StartupSequence.h"
#include "db/Connection.h"
#include "platform/Settings.h"

#include <QDir>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>

namespace bench {
namespace {

double openEveryView(const QString& path, const QString& configDir, int* opened)
{
    double best = 1e12;
    for (int round = 0; round < 3; ++round) {
        std::unique_ptr<data::TDmForm> dm;
        const double ms = timeMs([&] {
            dm = data::TDmForm::connect({.name = QStringLiteral("bench-dm"), .dataDirectory = path});
            dm->openAtStart(platform::Settings(platform::Edition::Dental, configDir));
        });
        *opened = 0;
        for (const db::Dataset* view : dm->views())
            *opened += view->isActive() ? 1 : 0;
        best = std::min(best, ms);
    }
    return best;
}

double readTablesWhole(const QString& path)
{
    QSet<QString> tables;
    for (const data::StartupStep& step : data::startupOpenOrder()) {
        for (const data::StartupView& view : step.views) {
            if (!view.table.isEmpty())
                tables.insert(view.table);
        }
    }
    auto connection = db::Connection::open({.name = QStringLiteral("bench-dm-plain"), .dataDirectory = path});
    double best = 1e12;
    for (int round = 0; round < 3; ++round) {
        const double ms = timeMs([&] {
            for (const QString& table : std::as_const(tables)) {
                QSqlQuery all(connection->database());
                all.setForwardOnly(true);
                if (!all.exec(QStringLiteral("SELECT * FROM \"%1\"").arg(table)))
                    fail(QStringLiteral("(e) cannot read %1").arg(table));
                const int columns = all.record().count();
                QVariantList values;
                while (all.next()) {
                    for (int i = 0; i < columns; ++i)
                        values.append(all.value(i));
                }
            }
        });
        best = std::min(best, ms);
    }
    return best;
}

Result openAtStart(Context& context)
{
    Result result;
    const QString configDir = context.newDirectory(QStringLiteral("dm-config"));
    for (int patients : {200, context.scaled(5000)}) {
        const QString path = QDir(context.newDirectory(QStringLiteral("dm-%1").arg(patients))).filePath(QStringLiteral("data"));
        const data::DemoPracticeCounts counts = data::createDemoDirectory(path, {.patients = patients});
        int opened = 0;
        const double ours = openEveryView(path, configDir, &opened);
        const double plain = readTablesWhole(path);
        // The table shows the large practice; both sizes go into the notes.
        result.oursMs = ours;
        result.plainMs = plain;
        result.notes.append(QStringLiteral("(e) %1 patients, %2 history rows: %3 views open at start in %4 ms; reading their tables whole %5 ms")
                                .arg(counts.patients)
                                .arg(counts.historyRows)
                                .arg(opened)
                                .arg(ours, 0, 'f', 1)
                                .arg(plain, 0, 'f', 1));
    }
    return result;
}

const RegisterMeasure e(QStringLiteral("(e) open every view at start"), openAtStart);

} // namespace
} // namespace bench
