#include "data/DataDirectory.h"
#include "data/schema/Schema.h"
#include "data/StartupSequence.h"
#include "db/Connection.h"
#include "db/Query.h"
#include "support/DataTable.h"
#include "support/TestEngine.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class TestStartupSequence : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void openOrderNamesRealTables()
    {
        int progress = 0;
        QSet<QString> seen;
        QStringList order;
        for (const data::StartupStep& step : data::startupOpenOrder()) {
            QVERIFY(step.progress > progress);
            progress = step.progress;
            for (const data::StartupView& view : step.views) {
                QVERIFY2(!seen.contains(view.view), qPrintable(view.view + QStringLiteral(" opened twice")));
                seen.insert(view.view);
                order.append(view.view);
                if (!view.table.isEmpty())
                    QVERIFY2(data::schemaTable(view.table), qPrintable(view.table));
            }
        }
        QCOMPARE(progress, 100);
        // The history views' look-ups are open before them.
        const QList<std::pair<const char*, const char*>> lookUps = {{"DentistsTable", "HistPerSessionTable"},
            {"OperationsSortedForLook", "HistPerSessionTable"}, {"AllPatientsTable", "FamilyFatherTable"},
            {"DentalLabForLookTable", "HistPerSessionTable"}};
        for (const auto& [lookUp, user] : lookUps)
            QVERIFY2(order.indexOf(QLatin1String(lookUp)) < order.indexOf(QLatin1String(user)), lookUp);
    }

    void oldAppointmentsGo_data()
    {
        testsupport::addRows<int, QStringList>({ "keepDays", "left" },
            {
                { "30 days", 30, QStringList { "30 days ago", "yesterday", "today", "tomorrow", "no date" } },
                { "none kept", 0, QStringList { "today", "tomorrow", "no date" } },
                { "one day", 1, QStringList { "yesterday", "today", "tomorrow", "no date" } },
            });
    }
    void oldAppointmentsGo()
    {
        QFETCH(int, keepDays);
        QFETCH(QStringList, left);
        QTemporaryDir root;
        testsupport::makeEngineDatabase(root.path());
        const data::DataDirectory dir(testsupport::engineLocation(root.path()));
        dir.create();
        const data::DataConnections connections = dir.open();
        const QDate today(2026, 3, 1); // across the end of February
        const QList<std::pair<QString, QVariant>> appointments = {{"31 days ago", today.addDays(-31)}, {"30 days ago", today.addDays(-30)},
            {"yesterday", today.addDays(-1)}, {"today", today}, {"tomorrow", today.addDays(1)}, {"no date", QVariant()}};
        int id = 0;
        for (const auto& [name, date] : appointments) {
            db::Query insert(*connections.data, QStringLiteral("INSERT INTO Appointments (AppID, \"Date\", PatName) VALUES (:id, :date, :name)"));
            insert.bind(QStringLiteral("id"), ++id).bind(QStringLiteral("date"), date).bind(QStringLiteral("name"), name).exec();
        }
        QCOMPARE(data::deleteOldAppointments(*connections.data, today, keepDays), int(appointments.size() - left.size()));
        db::Query rest(*connections.data, QStringLiteral("SELECT PatName FROM Appointments ORDER BY AppID"));
        rest.exec();
        QStringList names;
        while (rest.next())
            names.append(rest.value(0).toString());
        QCOMPARE(names, left);
    }
};

QTEST_GUILESS_MAIN(TestStartupSequence)
#include "tst_startupsequence.moc"
