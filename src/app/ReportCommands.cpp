#include "app/ReportCommands.h"

#include "app/StartFailure.h"
#include "clinical/DentalChartUnit.h"
#include "clinical/HistoryPerPat.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "finance/LedgerReport.h"
#include "platform/ExceptionLog.h"
#include "platform/Session.h"
#include "reports/ReportOutput.h"
#include "widgets/Language.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace app {

int writeChartReport(const QString& dataDirectory, int patientId, data::TreatmentLevel level,
    const QString& pdfFile, QTextStream& errors)
{
    platform::Session& session = platform::session();
    session.dataDirectory = dataDirectory;
    session.dataRoot = QFileInfo(QDir::cleanPath(dataDirectory)).absolutePath();
    std::unique_ptr<data::TDmForm> dm;
    const db::ConnectionProfile profile { .name = QStringLiteral("report"), .dataDirectory = dataDirectory };
    try {
        dm = data::TDmForm::connect(profile);
        dm->openAtStart(session.settings());
    } catch (const std::exception& e) {
        // The words of the start, the engine's account in the log.
        platform::exceptionLog::logException(
            e, QStringLiteral("Opening %1 in %2").arg(session.openingTable, dataDirectory));
        const widgets::TLanguage lang(nullptr);
        errors << startFailureMessage(classifyStartFailure(profile, e), platform::MultiUserType::StandAlone,
            session.openingTable, dataDirectory, lang, &e)
               << '\n';
        return 1;
    }
    try {
        for (const QString& notice : dm->startNotices())
            errors << notice << '\n';
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
        platform::exceptionLog::logException(e, QStringLiteral("Chart report of patient %1").arg(patientId));
        errors << platform::exceptionLog::describe(e) << '\n';
        return 1;
    }
    // The PDF is written; a failure at the end leaves the data as the last commit left it.
    if (const QString problem = dm->closeAll(); !problem.isEmpty())
        errors << "The report was written, but the database could not be closed cleanly: " << problem << '\n';
    return 0;
}

int writeLedgerReport(
    const QString& dataDirectory, const QString& source, int id, const QString& pdfFile, QTextStream& errors)
{
    const std::optional<finance::LedgerSource> ledger = finance::ledgerSourceNamed(source);
    if (!ledger) {
        errors << "The source must be patient, supplier, lab or other.\n";
        return 2;
    }
    platform::Session& session = platform::session();
    session.dataDirectory = dataDirectory;
    session.dataRoot = QFileInfo(QDir::cleanPath(dataDirectory)).absolutePath();
    try {
        std::unique_ptr<data::TDmForm> dm
            = data::TDmForm::connect({ .name = QStringLiteral("report"), .dataDirectory = dataDirectory });
        dm->openAtStart(session.settings());
        return finance::writeLedgerReport(*dm, *ledger, id, pdfFile, errors);
    } catch (const std::exception& e) {
        platform::exceptionLog::logException(e, QStringLiteral("Ledger report of %1 %2").arg(source).arg(id));
        errors << e.what() << '\n';
        return 1;
    }
}

} // namespace app
