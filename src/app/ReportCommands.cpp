#include "app/ReportCommands.h"

#include "app/StartFailure.h"
#include "clinical/DentalChartUnit.h"
#include "clinical/HistoryPerPat.h"
#include "data/Backup.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "finance/LedgerReport.h"
#include "platform/ExceptionLog.h"
#include "platform/Session.h"
#include "reports/ReportOutput.h"
#include "widgets/Language.h"

#include <QTextStream>

namespace app {

namespace {

// The practice at `location` (a data directory or a server address, as --data takes it) opened
// as at start for `task` (named in the log); nothing, and the start's words on `errors`, when it
// cannot be.
std::unique_ptr<data::TDmForm> openPractice(const QString& location, const QString& task, QTextStream& errors)
{
    platform::Session& session = platform::session();
    const db::ConnectionProfile profile
        = db::ConnectionProfile::fromLocation(location, QStringLiteral("report"));
    session.dataDirectory = profile.dataDirectory;
    session.dataRoot = data::practiceRootOf(location);
    try {
        std::unique_ptr<data::TDmForm> dm = data::TDmForm::connect(profile);
        dm->openAtStart(session.settings());
        for (const QString& notice : dm->startNotices())
            errors << notice << '\n';
        return dm;
    } catch (const std::exception& e) {
        // The words of the start, the engine's account in the log.
        platform::exceptionLog::logException(
            e, QStringLiteral("%1: opening %2 in %3").arg(task, session.openingTable, location));
        const widgets::TLanguage lang(nullptr);
        errors << startFailureMessage(classifyStartFailure(profile, e), platform::MultiUserType::StandAlone,
            session.openingTable, location, lang, &e)
               << '\n';
        return nullptr;
    }
}

} // namespace

int writeChartReport(const QString& location, int patientId, data::TreatmentLevel level,
    const QString& pdfFile, QTextStream& errors)
{
    const QString task = QStringLiteral("Chart report of patient %1").arg(patientId);
    const std::unique_ptr<data::TDmForm> dm = openPractice(location, task, errors);
    if (!dm)
        return 1;
    try {
        if (!dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), patientId)) {
            errors << "There is no patient " << patientId << ".\n";
            return 1;
        }
        clinical::TDentalChartForm chart(*dm);
        chart.ShowCurrentPatient();
        chart.setView(level);
        clinical::HistoryReportOptions options;
        options.level = level;
        const reports::Report report
            = clinical::BuildHistoryReport(*dm, chart.chartPicture(), chart.viewCaption(level), options);
        QString error;
        if (!reports::exportPdf(report, pdfFile, &error)) {
            errors << error << '\n';
            return 1;
        }
    } catch (const std::exception& e) {
        platform::exceptionLog::logException(e, task);
        errors << platform::exceptionLog::describe(e) << '\n';
        return 1;
    }
    // The PDF is written; a failure at the end leaves the data as the last commit left it.
    if (const QString problem = dm->closeAll(); !problem.isEmpty())
        errors << "The report was written, but the database could not be closed cleanly: " << problem << '\n';
    return 0;
}

int writeLedgerReport(
    const QString& location, const QString& source, int id, const QString& pdfFile, QTextStream& errors)
{
    const std::optional<finance::LedgerSource> ledger = finance::ledgerSourceNamed(source);
    if (!ledger) {
        errors << "The source must be patient, supplier, lab or other.\n";
        return 2;
    }
    const QString task = QStringLiteral("Ledger report of %1 %2").arg(source).arg(id);
    const std::unique_ptr<data::TDmForm> dm = openPractice(location, task, errors);
    if (!dm)
        return 1;
    try {
        return finance::writeLedgerReport(*dm, *ledger, id, pdfFile, errors);
    } catch (const std::exception& e) {
        platform::exceptionLog::logException(e, task);
        errors << platform::exceptionLog::describe(e) << '\n';
        return 1;
    }
}

} // namespace app
