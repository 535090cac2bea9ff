#include "clinical/ClinicalTour.h"
#include "platform/MessageTexts.h"
#include "widgets/TourPages.h"

#include "clinical/ChartServices.h"
#include "clinical/DentalChartUnit.h"
#include "clinical/HistoryUnit.h"
#include "clinical/MasitikesUnit.h"
#include "clinical/OperationsEntryUnit.h"
#include "clinical/OperationsUnit.h"
#include "clinical/SelectBitmapUnit.h"
#include "clinical/SymbolArt.h"
#include "data/demo/ShowcasePatients.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "platform/Session.h"

namespace clinical {
namespace {

// The first demo patient whose current session has treatments on the plan and the
// implementation, so that the windows have rows to show.
bool findTreatedPatient(data::TDmForm& dm)
{
    db::Dataset& patients = *dm.patients().PatientsTable;
    for (patients.first(); !patients.eof(); patients.next()) {
        if (dm.clinical().HistPerSessionTable3->recordCount() >= 3
            && dm.clinical().HistPerSessionTable2->recordCount() >= 1)
            return true;
    }
    patients.first();
    return false;
}

} // namespace

void tourClinicalWindows(data::TDmForm& dm, widgets::TourCamera& camera)
{
    const auto take = [&camera](QWidget& window, const QString& name = {}) { camera.take(window, name); };
    // The main window lends the record commands the list windows' buttons trigger.
    findTreatedPatient(dm);
    if (!dm.lists().DentistsTable->isEmpty())
        dm.setDefaultDentist(
            dm.lists().DentistsTable->value(u"DocID").toInt(), platform::session().settings());
    std::shared_ptr<const clinical::SymbolArt> art(clinical::SymbolArt::fromProgramDir());

    {
        clinical::TOperationsEntryForm catalogue(dm, nullptr, art);
        catalogue.show();
        dm.clinical().OperationsTable->locate(QStringLiteral("BitmapID"), 11); // a filling with its symbol
        take(catalogue);
        clinical::TSelectBitmapForm chooser(*art, true);
        take(chooser);
    }
    {
        clinical::TOperationsForm picker(dm, art.get());
        picker.prepare(4, data::TreatmentLevel::Implementation);
        take(picker);
        picker.reject();
        dm.clinical().setOperationsGroup(0);
    }
    {
        clinical::THistoryForm history(dm);
        history.setLevel(data::TreatmentLevel::Implementation);
        history.setWindowTitle(
            platform::MessageTexts::program().Message(QStringLiteral("Treatment Implementation")));
        take(history);
        history.MasitikesForm->setTooth(dm.clinical().HistPerSessionTable3->value(u"ToothNum").toInt());
        history.MasitikesForm->setView(dm.clinical().HistPerSessionTable3);
        history.MasitikesForm->setMask(5);
        take(*history.MasitikesForm);
        history.MasitikesForm->close();
        history.reject();
    }
    dm.ActiveSrc->setDataset(nullptr);
}

// The dental chart of a demo patient with treatments at every level, in its three views on
// the adult chart, then on the baby chart of a child's session.
void tourDentalChart(data::TDmForm& dm, widgets::TourCamera& camera)
{
    const QVariant patient = data::demo::patientTreatedAtEveryLevel(dm);
    if (!patient.isNull())
        dm.patients().PatientsTable->locate(QStringLiteral("PatientID"), patient);
    clinical::TDentalChartForm chart(dm);
    chart.resize(820, 640);
    chart.show();
    chart.windowActivated();
    const char* const views[] = { "Initial", "Plan", "Implementation" };
    for (int level = 0; level < data::TreatmentLevelCount; ++level) {
        chart.setView(data::TreatmentLevel(level));
        camera.take(chart, QStringLiteral("DentalChartForm-Adult-%1").arg(QLatin1String(views[level])));
    }
    if (!camera.scratch())
        return; // the baby chart is stored in the session: not on the user's data
    // A child's chart: a few findings and treatments on primary teeth, recorded by clicks.
    chart.setChartKind(clinical::ChartKind::Baby);
    const std::pair<int, int> clicks[]
        = { { 0, 54 }, { 0, 75 }, { 1, 64 }, { 1, 84 }, { 2, 55 }, { 2, 85 }, { 2, 63 } };
    for (const auto& [level, tooth] : clicks) {
        chart.setView(data::TreatmentLevel(level));
        db::Dataset& operations = *dm.clinical().OperationsTable;
        const int group = level == 0 ? 1 : level == 1 ? 2 : 3;
        operations.first();
        while (!operations.eof()
            && (operations.value(u"GroupID").toInt() != group || operations.value(u"BitmapID").isNull()))
            operations.next();
        clinical::ChartServices::instance().pickOperation
            = [](data::TDmForm&, int, data::TreatmentLevel, QWidget*) { return true; };
        chart.GroupBtnClick(group);
        const int index = clinical::ToothIndexOf(tooth, clinical::ChartKind::Baby);
        chart.ToothClick(clinical::ToothRect(index, clinical::ChartKind::Baby).center());
    }
    for (int level = 0; level < data::TreatmentLevelCount; ++level) {
        chart.setView(data::TreatmentLevel(level));
        camera.take(chart, QStringLiteral("DentalChartForm-Baby-%1").arg(QLatin1String(views[level])));
    }
}

void addClinicalTourPages(widgets::TourPages<data::TDmForm>& pages)
{
    pages.add(QStringLiteral("the dental chart"), &tourDentalChart);
    pages.add(QStringLiteral("the clinical windows"), &tourClinicalWindows);
    pages.add(QStringLiteral("the periodontal chart"), &tourPerioWindows);
    pages.add(QStringLiteral("the notes windows"), &tourNotesWindows);
}

} // namespace clinical
