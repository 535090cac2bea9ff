#include "app/ChartWindows.h"

#include "app/MainUnit.h"
#include "app/WindowRegistry.h"
#include "clinical/DentalChartUnit.h"
#include "clinical/ProgNotesUnit.h"
#include "clinical/UsualAnswersUnit.h"
#include "data/DmUnit.h"
#include "db/DataSource.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "platform/Session.h"
#include "clinical/HistoryPerPat.h"
#include "reports/ReportOutput.h"

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
        [&dm](QWidget* parent) { return new clinical::TDentalChartForm(dm, parent); });
    WindowRegistry::instance().add(QStringLiteral("ProgNotesForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new clinical::TProgNotesForm(dm, parent); });
    WindowRegistry::instance().add(QStringLiteral("DefaultAnswersFrm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new clinical::TDefaultAnswersFrm(dm, parent); });
}

int writeChartReport(const QString& dataDirectory, int patientId, int level, const QString& pdfFile, QTextStream& errors)
{
    platform::Session& session = platform::session();
    session.dataDirectory = dataDirectory;
    session.dataRoot = QFileInfo(QDir::cleanPath(dataDirectory)).absolutePath();
    if (level < 0 || level > 2) {
        errors << "The level must be 0, 1 or 2.\n";
        return 2;
    }
    try {
        std::unique_ptr<data::TDmForm> dm = data::TDmForm::connect({.name = QStringLiteral("report"), .dataDirectory = dataDirectory});
        dm->openAtStart(session.settings());
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
        errors << e.what() << '\n';
        return 1;
    }
    return 0;
}

} // namespace app
