#pragma once

// A data module opened on a new data directory, for the tests of its record rules.

#include "data/DataDirectory.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Query.h"
#include "platform/Session.h"
#include "platform/Settings.h"
#include "support/TestEngine.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace rulestest {

inline db::ConnectionProfile profileOf(const QString& path)
{
    return testsupport::engineProfile(QStringLiteral("rules-test"), path);
}

inline QVariant scalar(const db::Connection& c, const QString& sql, const QVariantMap& params = {})
{
    db::Query q(c, sql);
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        q.bind(it.key(), it.value());
    return q.scalar();
}

inline int count(const db::Connection& c, const QString& sql, const QVariantMap& params = {})
{
    return scalar(c, sql, params).toInt();
}

inline void exec(const db::Connection& c, const QString& sql, const QVariantMap& params = {})
{
    db::Query q(c, sql);
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        q.bind(it.key(), it.value());
    q.exec();
}

// A trigger that refuses every `event` (INSERT, UPDATE, DELETE) on `table`: a write that fails
// half-way through a group, as a full disk or another workstation's lock would make it fail.
inline void refuseWrites(const db::Connection& c, const QString& event, const QString& table)
{
    if (c.isSqlite()) {
        exec(c, QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON %2 BEGIN SELECT RAISE(ABORT, 'refused'); END").arg(event, table));
        return;
    }
    exec(c, QStringLiteral("CREATE OR REPLACE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS "
                           "'BEGIN RAISE EXCEPTION ''refused''; END'"));
    exec(c, QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON %2 FOR EACH ROW EXECUTE FUNCTION refuse()").arg(event, table));
}

inline void allowWrites(const db::Connection& c, const QString& table)
{
    exec(c, c.isSqlite() ? QStringLiteral("DROP TRIGGER refuse") : QStringLiteral("DROP TRIGGER refuse ON %1").arg(table));
}

// The configuration directory of a test practice in `root`, made; the program directory is
// pointed at an empty folder there (no language file).
inline QString makeConfigDirectory(const QTemporaryDir& root)
{
    const QString config = root.filePath(QStringLiteral("config"));
    QDir().mkpath(config);
    qputenv("ORVANE_PROGRAM_DIR", root.filePath(QStringLiteral("program")).toUtf8());
    return config;
}

// One data directory per test function (a new one for every call of open()).
class Practice {
public:
    Practice()
        : m_config(makeConfigDirectory(m_root))
    {
    }

    QString newDirectory()
    {
        const QString path = m_root.filePath(QStringLiteral("data%1").arg(++m_count));
        testsupport::makeEngineDatabase(path);
        data::DataDirectory(testsupport::engineLocation(path)).create();
        return path;
    }

    std::unique_ptr<data::TDmForm> open(const QString& path)
    {
        platform::Settings settings(platform::Edition::Dental, m_config);
        settings.setDefaultDoctorId(1);
        auto dm = data::TDmForm::connect(profileOf(path));
        dm->openAtStart(settings);
        return dm;
    }

    std::unique_ptr<data::TDmForm> openNew() { return open(newDirectory()); }
    const QString& configDirectory() const { return m_config; }

private:
    QTemporaryDir m_root;
    QString m_config;
    int m_count = 0;
};

// Adds an operation straight to the table and lets the module's views see it.
inline void addOperation(data::TDmForm& dm, int id, const QString& description, double cost, double costEuro)
{
    exec(*dm.Database,
        QStringLiteral("INSERT INTO Operations (OperID, Description, Cost, CostEURO, GroupID, RequireDentalLab, RequireMaterial, RequireColor) "
                       "VALUES (:id, :d, :c, :ce, 1, FALSE, FALSE, FALSE)"),
        {{QStringLiteral("id"), id}, {QStringLiteral("d"), description}, {QStringLiteral("c"), cost}, {QStringLiteral("ce"), costEuro}});
    dm.clinical().OperationsTable->refresh();
    dm.clinical().OperationsSortedForLook->refresh();
}

// A patient stored through the patient rules; it is the current patient afterwards.
inline int addPatient(data::TDmForm& dm, const QString& lastName)
{
    dm.patients().PatientsTable->append();
    dm.patients().PatientsTable->setValue(u"LastName", lastName);
    dm.patients().PatientsTable->post();
    return dm.patients().PatientsTable->value(u"PatientID").toInt();
}

// A treatment row of the current session, stored through the history rules.
inline int addTreatment(data::TDmForm& dm, db::Dataset& view, int level, int operId, double cost, int tooth = 11)
{
    view.append();
    view.setValue(u"TreatmentLevel", level);
    view.setValue(u"OperID", operId);
    view.setValue(u"ToothNum", tooth);
    view.setValue(u"Discount", 0);
    view.setValue(u"Price", cost);
    view.setValue(u"PriceEURO", cost / dm.money().rate());
    view.setValue(u"Cost", cost);
    view.setValue(u"CostEURO", cost / dm.money().rate());
    const int id = view.value(u"ID").toInt();
    view.post();
    return id;
}

// A ledger row posted through its view in EURO (the local twin follows the rate); its EconomID.
inline int ledgerRow(
    db::Dataset& ledger, const QVariant& sign, const QVariant& euro, const QVariantMap& more = {})
{
    ledger.append();
    ledger.setValue(u"Sign", sign);
    ledger.setValue(u"CreditEURO", euro);
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        ledger.setValue(it.key(), it.value());
    const int id = ledger.value(u"EconomID").toInt();
    ledger.post();
    return id;
}

// A treatment of the current session's implementation and its charge, stored through the
// history rules; the charge's EconomID.
inline int chargedTreatment(data::TDmForm& dm, double euro)
{
    addTreatment(dm, *dm.clinical().HistPerSessionTable3, 2, -1, euro * dm.money().rate());
    return scalar(*dm.Database, QStringLiteral("SELECT MAX(EconomID) FROM PatEconomics")).toInt();
}

} // namespace rulestest
