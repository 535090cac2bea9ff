// Opening the data module at start: settings, money formats, old appointments, then every view
// in the start-up order under the progress window.

#include "data/DmUnit.h"

#include "data/StartupSequence.h"
#include "db/Connection.h"
#include "db/Generators.h"
#include "platform/ExceptionLog.h"
#include "platform/Session.h"
#include "platform/Settings.h"

#include <QDir>

namespace data {

void TDmForm::openAtStart(const platform::Settings& settings, const Progress& progress, QDate today)
{
    const auto report = [&progress](int percent) {
        if (progress)
            progress(percent);
    };
    platform::Session& session = platform::session();
    m_startNotices.clear();
    if (isReadOnly())
        m_startNotices.append(Lang->Message(QStringLiteral("The practice database in the folder %1 can only be read on this computer."))
                                  .arg(QDir::toNativeSeparators(Database->profile().dataDirectory))
            + u'\n' + Lang->Message(QStringLiteral("You can look at everything, but nothing you change can be saved.")));
    try {
        moveGeneratorsBehindUse();
        readSettings(settings);
        applyMoneyFormats();
        m_finance->useReceiptsOnlySums();
        m_appointments->deleteOldAppointments(settings, today);
        report(0);
        for (const StartupStep& step : startupOpenOrder()) {
            for (const StartupView& name : step.views) {
                db::Dataset* view = findView(name.view);
                Q_ASSERT_X(view, "TDmForm::openAtStart", qPrintable(name.view));
                m_openingTable = name.table.isEmpty() ? name.view : name.table;
                session.openingTable = m_openingTable;
                OpenTable(*view);
            }
            if (step.progress == 95)
                m_finance->rememberFirstPracticeEconomId();
            report(step.progress);
        }
    } catch (const std::exception& e) {
        closeAll();
        const QString cause = QString::fromUtf8(e.what());
        // the cause travels along: the start-up window tells a lock from a damaged file
        std::throw_with_nested(DmOpenError(m_openingTable.isEmpty() ? QString::fromLatin1(kDatabaseName) : m_openingTable, cause));
    }
    m_patients->updateXRayFolder();
}

void TDmForm::moveGeneratorsBehindUse()
{
    // The generator store does not wait for the disk at every number: after a power cut its
    // last numbers may be gone, and the numbers in use say where each series stands. A table
    // that cannot be read here is named by the open that follows.
    if (Database->isReadOnly() || m_generatorStore->isReadOnly())
        return; // nothing can be numbered anyway; the start says so
    for (const db::GeneratorDef& g : m_generators->definitions()) {
        try {
            m_generators->setBehindHighestInUse(g.name, *Database);
        } catch (const db::LockTimeout& e) {
            // One wait for the whole store, not one per series: whoever holds one holds all.
            platform::exceptionLog::logException(e, QStringLiteral("Generator %1 at start").arg(g.name));
            m_startNotices.append(Lang->Message(QStringLiteral("The file of the record numbers (%1) is locked by another program or workstation."))
                                      .arg(QString::fromLatin1(db::Connection::kSqliteGeneratorFileName))
                + u'\n' + Lang->Message(QStringLiteral("New records cannot be numbered until it is free again.")));
            return;
        } catch (const db::DatabaseError& e) {
            platform::exceptionLog::logException(e, QStringLiteral("Generator %1 at start").arg(g.name));
        }
    }
}

void TDmForm::readSettings(const platform::Settings& settings)
{
    const double rate = settings.euroRate(); // a bad rate stops the start before anything is written
    setDefaultDentist(settings.defaultDoctorId(), settings); // written back, as the options window does
    m_finance->storeRate(rate);
}


} // namespace data
