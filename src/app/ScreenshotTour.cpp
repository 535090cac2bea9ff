#include "app/ScreenshotTour.h"
#include "app/AuditTour.h"
#include "app/FinanceTour.h"
#include "app/ImagesTour.h"
#include "app/ImportTour.h"
#include "app/ScreenshotTourClinical.h"
#include "app/ScreenshotTourNotes.h"
#include "platform/MessageTexts.h"

#include "app/AboutUnit.h"
#include "app/AppointmentTour.h"
#include "app/ChartWindows.h"
#include "app/DataModuleBinding.h"
#include "app/ListsTour.h"
#include "app/LoginUnit.h"
#include "app/MainUnit.h"
#include "app/PatientTour.h"
#include "app/PatientWindows.h"
#include "app/PerioTour.h"
#include "app/ServerPathUnit.h"
#include "app/SplashUnit.h"
#include "app/StatusUnit.h"
#include "app/SuppliesTour.h"
#include "app/VisibleTexts.h"
#include "app/WindowRegistry.h"
#include "clinical/ChartServices.h"
#include "clinical/DentalChartUnit.h"
#include "data/DataDirectory.h"
#include "data/DemoPractice.h"
#include "data/DmUnit.h"
#include "data/schema/Schema.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "db/Query.h"
#include "patients/PatientSearch.h"
#include "patients/SearchDlgUnit.h"
#include "patients/SearchPatUnit.h"
#include "patients/SQLEntryUnit.h"
#include "patients/SQLFieldsEditUnit.h"
#include "platform/Directories.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "platform/Session.h"
#include "platform/Settings.h"
#include "widgets/ProgramLocale.h"
#include "widgets/RecordWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QThread>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

namespace app {
namespace {

class StderrMessages final : public platform::MessageService {
public:
    Answer show(Kind, const QString& caption, const QString& text) override
    {
        QTextStream(stderr) << "message: " << (caption.isEmpty() ? QString() : caption + QStringLiteral(": ")) << text << '\n';
        return Answer::No; // a tour asks nothing and closes nothing
    }
};

class Camera {
public:
    explicit Camera(QString outDir)
        : m_dir(std::move(outDir))
    {
    }
    void take(QWidget& window)
    {
        window.show();
        // Some windows fill themselves in the background (the directory tree): give them a moment.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 400) {
            QApplication::processEvents();
            QThread::msleep(10);
        }
        const QString picture = m_name.isEmpty() ? window.objectName() : m_name;
        const QString file = QDir(m_dir).filePath(picture + QStringLiteral(".png"));
        m_name.clear();
        if (window.grab().save(file))
            written.append(file);
        recordVisibleTexts(window, m_dir, picture);
    }
    // The next picture's file name, for a window taken in several states.
    void nameNext(const QString& name) { m_name = name; }
    QStringList written;

private:
    QString m_dir;
    QString m_name;
};

// The dental chart of a demo patient with treatments at every level, in its three views on
// the adult chart, then on the baby chart of a child's session.
void takeDentalChart(Camera& camera, const QString& dataDir, bool scratch)
{
    const platform::Session& session = platform::session();
    std::unique_ptr<data::TDmForm> dm = data::TDmForm::connect({.name = QStringLiteral("tour"), .dataDirectory = dataDir});
    dm->openAtStart(session.settings());
    db::Query busiest(dm->connection(),
        QStringLiteral("SELECT p.PatientID FROM Patient p JOIN History h ON h.TherapySessionID = p.TherapySessionID "
                       "WHERE h.ToothNum BETWEEN 11 AND 48 GROUP BY p.PatientID HAVING COUNT(DISTINCT h.TreatmentLevel) = 3 "
                       "ORDER BY COUNT(*) DESC"));
    const QVariant patient = busiest.scalar();
    if (!patient.isNull())
        dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), patient);
    clinical::TDentalChartForm chart(*dm);
    chart.resize(820, 640);
    chart.show();
    chart.windowActivated();
    const char* const views[] = {"Initial", "Plan", "Implementation"};
    for (int level = 0; level < data::TreatmentLevelCount; ++level) {
        chart.setView(data::TreatmentLevel(level));
        camera.nameNext(QStringLiteral("DentalChartForm-Adult-%1").arg(QLatin1String(views[level])));
        camera.take(chart);
    }
    if (!scratch)
        return; // the baby chart is stored in the session: not on the user's data
    // A child's chart: a few findings and treatments on primary teeth, recorded by clicks.
    chart.setChartKind(clinical::ChartKind::Baby);
    const std::pair<int, int> clicks[] = {{0, 54}, {0, 75}, {1, 64}, {1, 84}, {2, 55}, {2, 85}, {2, 63}};
    for (const auto& [level, tooth] : clicks) {
        chart.setView(data::TreatmentLevel(level));
        db::Dataset& operations = *dm->clinical().OperationsTable;
        const int group = level == 0 ? 1 : level == 1 ? 2 : 3;
        operations.first();
        while (!operations.eof() && (operations.value(u"GroupID").toInt() != group || operations.value(u"BitmapID").isNull()))
            operations.next();
        clinical::ChartServices::instance().pickOperation
            = [](data::TDmForm&, int, data::TreatmentLevel, QWidget*) { return true; };
        chart.GroupBtnClick(group);
        const int index = clinical::ToothIndexOf(tooth, clinical::ChartKind::Baby);
        chart.ToothClick(clinical::ToothRect(index, clinical::ChartKind::Baby).center());
    }
    for (int level = 0; level < data::TreatmentLevelCount; ++level) {
        chart.setView(data::TreatmentLevel(level));
        camera.nameNext(QStringLiteral("DentalChartForm-Baby-%1").arg(QLatin1String(views[level])));
        camera.take(chart);
    }
}

} // namespace

QStringList runScreenshotTour(const QString& outDir, const std::optional<QString>& dataDirectory)
{
    QDir().mkpath(outDir);
    widgets::useProgramLocale();
    QTemporaryDir scratch;
    // The workstation's rate, so that the practice's amounts show in its currencies; the demo
    // made here keeps euros only.
    double rate = 1.0;
    if (dataDirectory) {
        try {
            rate = platform::Settings().euroRate();
        } catch (const std::exception&) {
            rate = platform::Settings::kDefaultEuroRate; // the options window names a bad rate; a picture
                                                         // needs none
        }
    }
    platform::setConfigDirOverride(scratch.filePath(QStringLiteral("config")));
    platform::Settings().setEuroRate(rate);
    auto previous = platform::MessageService::install(std::make_unique<StderrMessages>());

    QString dataDir = dataDirectory.value_or(QString());
    if (dataDir.isEmpty()) {
        dataDir = scratch.filePath(QStringLiteral("Orvane/Data"));
        data::DemoPracticeOptions options;
        options.patients = 60;
        data::createDemoDirectory(dataDir, options);
    }
    platform::Session& session = platform::session();
    session.edition = platform::Edition::Dental;
    session.userName = QStringLiteral("demo");
    session.role = platform::UserRole::Full;
    session.level = 255;
    session.dataDirectory = dataDir;
    session.dataRoot = QFileInfo(QDir::cleanPath(dataDir)).absolutePath();
    Camera camera(outDir);

    {
        TSplashForm splash(session.edition);
        camera.take(splash);
    }
    {
        TLoginForm login;
        login.show();
        login.UsernameEdt->setText(QStringLiteral("demo"));
        login.PasswordEdit->setText(QStringLiteral("demo"));
        camera.take(login);
    }
    {
        TStatusFrm status;
        status.setProgress(60);
        camera.take(status);
    }
    {
        TServerPathForm dialog(platform::MultiUserType::StandAlone, dataDir);
        camera.take(dialog);
    }
    {
        TAboutBox about;
        camera.take(about);
    }
    {
        // The main window as a start leaves it: the data module open on the first patient.
        std::unique_ptr<data::TDmForm> dm = data::TDmForm::connect({.name = QStringLiteral("tour"), .dataDirectory = dataDir});
        dm->openAtStart(session.settings());
        TMainForm main(session.edition);
        bindMainWindow(main, *dm);
        lendChartWindows(*dm, main);
        lendPatientWindows(*dm, main);
        // Lent for this picture only: their factories refer to this data module and window.
        const auto unlend = qScopeGuard([] {
            for (const char* name : {"DentalChartForm", "PatientForm", "FamilyForm", "ProgNotesForm", "DefaultAnswersFrm"})
                WindowRegistry::instance().remove(QLatin1String(name));
        });
        dm->ActiveSrc->setDataset(dm->patients().PatientsTable);
        dm->ActiveSrc->setTag(widgets::tagOf(widgets::WindowCode::PatientFile));
        main.resize(1280, 800);
        camera.take(main);
        main.setActiveSrc(nullptr);
    }

    // A window that cannot be built (damaged artwork, say) is skipped with its reason; the tour goes on.
    const auto attempt = [](const char* what, const std::function<void()>& take) {
        try {
            take();
        } catch (const std::exception& e) {
            platform::exceptionLog::logException(e, QStringLiteral("Screenshot tour: %1").arg(QLatin1String(what)));
            QTextStream(stderr) << "skipped " << what << ": " << e.what() << '\n';
        }
    };
    attempt("the dental chart", [&] { takeDentalChart(camera, dataDir, !dataDirectory.has_value()); });
    attempt("the clinical windows", [&] { tourClinicalWindows(dataDir, [&camera](QWidget& window) { camera.take(window); }); });
    attempt("the financial windows", [&] { tourFinanceWindows(dataDir, [&camera](QWidget& window, const QString& name) { camera.nameNext(name); camera.take(window); }); });
    attempt("the periodontal chart", [&] { tourPerioWindows(dataDir, [&camera](QWidget& window) { camera.take(window); }); });
    attempt("the image windows", [&] { tourImageWindows(dataDir, [&camera](QWidget& window, const QString& name) { camera.nameNext(name); camera.take(window); }); });
    attempt("the audit trail", [&] { tourAuditWindows(dataDir, !dataDirectory.has_value(), [&camera](QWidget& window) { camera.take(window); }); });
    attempt("the notes windows", [&] { tourNotesWindows(dataDir, [&camera](QWidget& window, const QString& name) { camera.nameNext(name); camera.take(window); }); });
    attempt("the import window", [&] { tourImportWindow([&camera](QWidget& window) { camera.take(window); }); });
    {
        // The search dialog over the patient list, ordered by last name, with its two helpers.
        data::DataConnections connections = data::DataDirectory(dataDir).open();
        db::Dataset patients;
        patients.setObjectName(QStringLiteral("PatientsTable"));
        patients.setTable(*connections.data, *data::schemaTable(u"Patient"));
        patients.open();
        db::Dataset cities;
        cities.setTable(*connections.data, *data::schemaTable(u"Cities"));
        for (db::Dataset* view : { &patients, &cities })
            data::translateLabels(*view, platform::MessageTexts::program());
        patients::TSearchDlg search;
        db::Dataset* patQry = patients::makePatQry(*connections.data, patients, cities, &search);
        patQry->open();
        search.prepare(*patQry, QStringLiteral("Search for Patient"));
        search.OrderCombo->setCurrentIndex(search.OrderCombo->findData(QStringLiteral("LastName")));
        patients::RestrictionRows rows;
        rows[0] = { QString::fromUtf8("Β"), 1, 0, -1, true };
        rows[1] = { QString::fromUtf8("Π"), 1, 1, 0, true };
        search.SQLEntryForm->setRows(rows);
        search.applyRestrictions();
        search.SearchEd->setText(QString::fromUtf8("Γ"));
        search.resize(900, 520);
        camera.take(search);
        camera.take(*search.SQLEntryForm);
        QStringList shown;
        QStringList all;
        for (int i = 0; i < search.DataQuery->fieldCount(); ++i)
            all.append(search.DataQuery->field(i).label());
        shown = all.mid(0, 6);
        patients::TSQLFieldsEditForm fields(shown, all, &search);
        fields.FieldsList->item(2)->setSelected(true);
        camera.take(fields);

        patients::TSearchPatForm simple(patients);
        simple.LastNameEd->setText(QString::fromUtf8("ου"));
        simple.SearchBtn->click();
        camera.take(simple);
    }

    QStringList written = camera.written + tourPatientWindows(outDir, dataDir) + tourAppointmentWindows(outDir, dataDir)
        + tourSuppliesWindows(outDir, dataDir) + tourListWindows(outDir, dataDir);
    platform::MessageService::install(std::move(previous));
    platform::setConfigDirOverride({});
    return written;
}

} // namespace app
