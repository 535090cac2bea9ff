#include "app/ChartWindows.h"

#include "app/ImageWindows.h"
#include "app/MainUnit.h"
#include "app/StartFailure.h"
#include "app/WindowRegistry.h"
#include "clinical/DentalChartUnit.h"
#include "clinical/PerioUnit.h"
#include "clinical/ToothNotesUnit.h"
#include "clinical/ProgNotesUnit.h"
#include "clinical/UsualAnswersUnit.h"
#include "data/DmUnit.h"
#include "db/DataSource.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "platform/ExceptionLog.h"
#include "platform/Session.h"
#include "clinical/HistoryPerPat.h"
#include "reports/ReportOutput.h"
#include "widgets/Language.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <QMdiArea>
#include <QMdiSubWindow>

namespace app {
namespace {

} // namespace

void lendChartWindows(data::TDmForm& dm, TMainForm&)
{
    WindowRegistry::instance().add(QStringLiteral("DentalChartForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) {
            auto* chart = new clinical::TDentalChartForm(dm, parent);
            QObject::connect(chart, &clinical::TDentalChartForm::toothImagingRequested, chart,
                [&dm, chart](clinical::TDentalChartForm::ToothImaging kind, int tooth) { requestToothImages(dm, *chart, kind, tooth); });
            return chart;
        });
    WindowRegistry::instance().add(QStringLiteral("PerioForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) {
            auto* perio = new clinical::TPerioForm(dm, parent);
            QObject::connect(perio, &clinical::TPerioForm::toothNotesRequested, perio, [perio](int tooth, const QString& notes) {
                if (const std::optional<QString> text = clinical::editToothNotesText(tooth, notes, perio))
                    perio->setToothNotes(tooth, *text);
            });
            return perio;
        });
    WindowRegistry::instance().add(QStringLiteral("ProgNotesForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new clinical::TProgNotesForm(dm, parent); });
    WindowRegistry::instance().add(QStringLiteral("DefaultAnswersFrm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new clinical::TDefaultAnswersFrm(dm, parent); });
}

int writeChartReport(const QString& dataDirectory, int patientId, data::TreatmentLevel level,
    const QString& pdfFile, QTextStream& errors)
{
    platform::Session& session = platform::session();
    session.dataDirectory = dataDirectory;
    session.dataRoot = QFileInfo(QDir::cleanPath(dataDirectory)).absolutePath();
    std::unique_ptr<data::TDmForm> dm;
    const db::ConnectionProfile profile {.name = QStringLiteral("report"), .dataDirectory = dataDirectory};
    try {
        dm = data::TDmForm::connect(profile);
        dm->openAtStart(session.settings());
    } catch (const std::exception& e) {
        // The words of the start, the engine's account in the log.
        platform::exceptionLog::logException(e, QStringLiteral("Opening %1 in %2").arg(session.openingTable, dataDirectory));
        const widgets::TLanguage lang(nullptr);
        errors << startFailureMessage(classifyStartFailure(profile, e), platform::MultiUserType::StandAlone, session.openingTable,
                      dataDirectory, lang, &e)
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
        const reports::Report report = clinical::BuildHistoryReport(*dm, chart.chartPicture(), chart.viewCaption(level), options);
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

} // namespace app
