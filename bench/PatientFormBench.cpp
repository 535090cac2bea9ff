// (p) the patient file opened on the large practice (50,000 patients; a tenth with --quick):
// the window built, bound to the patient's views and shown, next to plain QSqlQuery calls
// reading the rows it shows.
#include "LargePractice.h"
#include "Measure.h"
#include "PlainViews.h"
#include "RecordFrameFor.h"

#include "data/DmUnit.h"
#include "db/Connection.h"
#include "patients/PatientUnit.h"
#include "platform/Session.h"
#include "platform/Settings.h"

#include <QApplication>

namespace bench {
namespace {

Result openPatientFile(Context& context)
{
    const PracticeSize size = PracticeSize::forRun(context);
    LargePractice practice(context, size);
    const QString path = practice.copy(QStringLiteral("practice-patientfile"));
    auto dm = data::TDmForm::connect({.name = QStringLiteral("bench-patientfile"), .dataDirectory = path});
    dm->openAtStart(platform::Settings(platform::Edition::Dental, context.newDirectory(QStringLiteral("patientfile-config"))), {},
        LargePractice::kToday);
    platform::session().role = platform::UserRole::Full;
    const auto frame = recordFrameFor(*dm);
    // A patient with something of every kind: family, history, recalls, answers, ledger.
    const int patient = practice.heavyPatients().first();
    if (!dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), patient))
        fail(QStringLiteral("(p) patient %1 not found").arg(patient));

    double ours = 1e12;
    for (int round = 0; round < 5; ++round) {
        std::unique_ptr<patients::TPatientForm> form;
        ours = std::min(ours, timeMs([&] {
            form = std::make_unique<patients::TPatientForm>(*dm);
            form->resize(1100, 620);
            form->show();
            QApplication::processEvents();
        }));
        if (form->windowTitle().indexOf(dm->patients().PatientsTable->value(u"LastName").toString()) < 0)
            fail(QStringLiteral("(p) the patient file does not show the patient"));
        form->close();
    }

    QList<db::Dataset*> shown;
    for (db::Dataset* view : {dm->patients().PatientsTable, dm->patients().AnamnesticaTable, dm->patients().FamilyFatherTable, dm->patients().FamilyChildrenTable, dm->patients().RecallsTable,
             dm->patients().QuestAnswerTable, dm->patients().QuestTemplateMasterTable, dm->lists().CitiesTable, dm->lists().InsurCompaniesTable, dm->clinical().SessionsTable,
             dm->finance().PatientEconomTable, dm->clinical().FirstLastDateQRY}) {
        if (view->isActive())
            shown.append(view);
    }
    auto connection = db::Connection::open({.name = QStringLiteral("bench-patientfile-plain"), .dataDirectory = path});
    double plain = 1e12;
    int rows = 0;
    for (int round = 0; round < 5; ++round) {
        PlainViews views(*connection, shown);
        plain = std::min(plain, timeMs([&] { views.read(QStringLiteral("PatientID"), patient); }));
        rows = views.rowsRead();
    }
    Result result{ours, plain, {}, QStringLiteral("< 200 ms"), ours < 200 ? QStringLiteral("met") : QStringLiteral("MISSED"), true};
    result.notes << QStringLiteral("(p) patient file of patient %1 built and shown in %2 ms; the %3 statements of its views read %4 rows in %5 ms")
                        .arg(patient)
                        .arg(ours, 0, 'f', 1)
                        .arg(shown.size())
                        .arg(rows)
                        .arg(plain, 0, 'f', 2);
    return result;
}

const RegisterMeasure p(QStringLiteral("(p) large practice: open the patient file"), openPatientFile);

} // namespace
} // namespace bench
