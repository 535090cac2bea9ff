#include "app/ScreenshotTourClinical.h"
#include "platform/MessageTexts.h"

#include "app/DataModuleBinding.h"
#include "app/MainUnit.h"
#include "clinical/HistoryUnit.h"
#include "clinical/MasitikesUnit.h"
#include "clinical/OperationsEntryUnit.h"
#include "clinical/OperationsUnit.h"
#include "clinical/SelectBitmapUnit.h"
#include "clinical/SymbolArt.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "platform/Session.h"

namespace app {
namespace {

// The first demo patient whose current session has treatments on the plan and the
// implementation, so that the windows have rows to show.
bool findTreatedPatient(data::TDmForm& dm)
{
    db::Dataset& patients = *dm.patients().PatientsTable;
    for (patients.first(); !patients.eof(); patients.next()) {
        if (dm.clinical().HistPerSessionTable3->recordCount() >= 3 && dm.clinical().HistPerSessionTable2->recordCount() >= 1)
            return true;
    }
    patients.first();
    return false;
}

} // namespace

void tourClinicalWindows(const QString& dataDir, const std::function<void(QWidget&)>& take)
{
    db::ConnectionProfile profile;
    profile.name = QStringLiteral("screenshot-tour");
    profile.dataDirectory = dataDir;
    std::unique_ptr<data::TDmForm> dm = data::TDmForm::connect(profile);
    dm->openAtStart(platform::session().settings());
    // The main window lends the record commands the list windows' buttons trigger.
    TMainForm main(platform::session().edition);
    bindMainWindow(main, *dm);
    findTreatedPatient(*dm);
    if (!dm->lists().DentistsTable->isEmpty())
        dm->setDefaultDentist(dm->lists().DentistsTable->value(u"DocID").toInt(), platform::session().settings());
    std::shared_ptr<const clinical::SymbolArt> art(clinical::SymbolArt::fromProgramDir());

    {
        clinical::TOperationsEntryForm catalogue(*dm, nullptr, art);
        catalogue.show();
        dm->clinical().OperationsTable->locate(QStringLiteral("BitmapID"), 11); // a filling with its symbol
        take(catalogue);
        clinical::TSelectBitmapForm chooser(*art, true);
        take(chooser);
    }
    {
        clinical::TOperationsForm picker(*dm, art.get());
        picker.prepare(4, data::TreatmentLevel::Implementation);
        take(picker);
        picker.reject();
        dm->clinical().setOperationsGroup(0);
    }
    {
        clinical::THistoryForm history(*dm);
        history.setLevel(data::TreatmentLevel::Implementation);
        history.setWindowTitle(
            platform::MessageTexts::program().Message(QStringLiteral("Treatment Implementation")));
        take(history);
        history.MasitikesForm->setTooth(dm->clinical().HistPerSessionTable3->value(u"ToothNum").toInt());
        history.MasitikesForm->setView(dm->clinical().HistPerSessionTable3);
        history.MasitikesForm->setMask(5);
        take(*history.MasitikesForm);
        history.MasitikesForm->close();
        history.reject();
    }
    dm->ActiveSrc->setDataset(nullptr);
    main.setActiveSrc(nullptr);
}

} // namespace app
