#include "clinical/PerioReport.h"
#include "db/FieldFormat.h"

#include "clinical/PerioUnit.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "platform/Directories.h"
#include "platform/ExceptionLog.h"
#include "reports/ReportPreview.h"
#include "widgets/Language.h"

#include <QDate>
#include <QDir>
#include <QLocale>

namespace clinical {

reports::Report BuildPerioReport(data::TDmForm& dm, const QImage& graph)
{
    const platform::MessageTexts& lang = dm.lang();
    const auto tr = [&lang](const char* text) { return lang.Message(QString::fromUtf8(text)); };
    reports::Report report(tr("Perio Measurements"));
    report.setPageFooter(tr("Page") + QStringLiteral(" %1 / %2"));
    report.setPageHeader(db::fieldformat::dateText(QDate::currentDate()));

    // The letterhead: the practice's default dentist, else the first one listed.
    QStringList letterhead;
    db::Dataset& dentists = *dm.lists().DentistsTable;
    if (dentists.isActive() && !dentists.isEmpty()) {
        QVariant doc = dm.defaultDentist();
        if (dentists.lookup({ QStringLiteral("DocID") }, { doc }, QStringLiteral("DocID")).isNull())
            doc = dentists.value(u"DocID");
        const auto of = [&](const char* f) {
            return dentists.lookup({ QStringLiteral("DocID") }, { doc }, QString::fromLatin1(f)).toString();
        };
        letterhead << (of("LastName") + QLatin1Char(' ') + of("FirstName")).trimmed() << of("Specialty")
                   << of("Address") << (of("Zip") + QLatin1Char(' ') + of("CityName")).trimmed()
                   << tr("Phone:") + QLatin1Char(' ') + of("Phone");
    }
    letterhead.removeAll(QString());
    for (const QString& line : std::as_const(letterhead))
        report.addText(line, &line == &letterhead.first());
    report.addSpace(4);
    report.addTitle(tr("Perio Measurements"));
    db::Dataset& patients = *dm.patients().PatientsTable;
    const bool hasPatient = patients.isActive() && !patients.isEmpty();
    report.addField(tr("Patient:"), hasPatient ? patients.value(u"Name").toString() : QString());
    db::Dataset& charts = *dm.clinical().PeriTable;
    if (charts.isActive() && !charts.isEmpty())
        report.addField(tr("Date"), db::fieldformat::dateText(charts.value(u"Date").toDate()));
    report.addSpace(3);
    report.addPicture(graph, 150);
    return report;
}

reports::Report TPerioForm::report() const
{
    return BuildPerioReport(m_dm, m_graph);
}

void TPerioForm::PrintBtnClick()
{
    // The graph as printed stays beside the program until the next start clears it.
    const QString saved = QDir(platform::programDir()).filePath(QStringLiteral("PerioRpt.bmp"));
    if (!m_graph.save(saved, "BMP"))
        platform::exceptionLog::logException(QStringLiteral("Cannot write %1").arg(saved));
    reports::ReportPreview preview(report(), this);
    preview.setWindowTitle(Lang->Message(QStringLiteral("Print Preview")));
    preview.exec();
}

} // namespace clinical
