#include "data/DataDirectory.h"
#include "data/DemoPractice.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Query.h"
#include "platform/Session.h"
#include "platform/Settings.h"
#include "support/DataTable.h"
#include "widgets/Language.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDate kToday(2026, 12, 7);
const QList<int> kProgressMarks = {0, 5, 10, 15, 20, 25, 30, 50, 60, 70, 80, 85, 95, 100};

db::ConnectionProfile profileOf(const QString& path)
{
    return {.name = QStringLiteral("dm-test"), .dataDirectory = path};
}

int count(const db::Connection& connection, const QString& sql)
{
    return db::Query(connection, sql).scalar().toInt();
}

} // namespace

class TestDmForm : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_newPath;
    QString m_demoPath;
    QString m_configDir;

    platform::Settings settings() const { return platform::Settings(platform::Edition::Dental, m_configDir); }

    std::unique_ptr<data::TDmForm> openAtStart(const QString& path, QList<int>* progress = nullptr)
    {
        auto dm = data::TDmForm::connect(profileOf(path));
        dm->openAtStart(settings(), [progress](int p) {
            if (progress)
                progress->append(p);
        }, kToday);
        return dm;
    }

    static QString copyOf(const QString& from, const QString& to)
    {
        QDir().mkpath(to);
        for (const QString& name : QDir(from).entryList(QDir::Files))
            QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name));
        return to;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_configDir = m_root.filePath(QStringLiteral("config"));
        QDir().mkpath(m_configDir);
        qputenv("ORVANE_PROGRAM_DIR", m_root.filePath(QStringLiteral("program")).toUtf8()); // no language file
        m_newPath = m_root.filePath(QStringLiteral("new"));
        data::DataDirectory(m_newPath).create();
        m_demoPath = m_root.filePath(QStringLiteral("demo"));
        data::createDemoDirectory(m_demoPath, {.patients = 40, .today = kToday});
    }

    void init()
    {
        QFile::remove(settings().mainFilePath());
        platform::session() = platform::Session{};
    }

    void everyViewOpens_data()
    {
        testsupport::addRows<QString>({ "path" },
            {
                { "new database", m_newPath },
                { "demo practice", m_demoPath },
            });
    }
    void everyViewOpens()
    {
        QFETCH(QString, path);
        QList<int> progress;
        auto dm = openAtStart(copyOf(path, m_root.filePath(QStringLiteral("open-") + QFileInfo(path).fileName())), &progress);
        QCOMPARE(progress, kProgressMarks);
        QVERIFY(dm->patients().PatientsTable->isActive() && dm->clinical().HistPerSessionTable3->isActive() && dm->patients().QuestAnswerTable->isActive());
        for (db::Dataset* view : dm->views()) {
            QVERIFY2(dm->sourceOf(view), qPrintable(view->objectName()));
            if (!data::TDmForm::hasStatement(*view))
                continue;
            try {
                dm->OpenTable(*view);
            } catch (const std::exception& e) {
                QFAIL(qPrintable(view->objectName() + QStringLiteral(": ") + QString::fromUtf8(e.what())));
            }
            for (int i = 0; i < view->fieldCount(); ++i)
                (void)view->field(i).displayText(); // look-ups and calculations of the first row
        }
    }

    void viewsAndSourcesByName_data()
    {
        testsupport::addRows<QString, QString>({ "view", "source" },
            {
                { "table", "PatientsTable", "PatientsSrc" },
                { "numbered", "HistPerSessionTable2", "HistPerSessionSrc2" },
                { "book", "PatBookTbl", "PatBookSrc" },
                { "query", "UndeliveredMaterialOrderItemsQry", "UndeliveredMaterialOrderItemsSrc" },
                { "dates", "FirstLastDateQRY", "FirstLasDateSrc" },
                { "other sources", "OtherSourcesQuery", "OtherSourcesSrc" },
                { "any case", "patientstable", "patientssrc" },
            });
    }
    void viewsAndSourcesByName()
    {
        QFETCH(QString, view);
        QFETCH(QString, source);
        auto dm = data::TDmForm::connect(profileOf(m_newPath));
        db::Dataset* found = dm->findView(view);
        QVERIFY(found);
        QCOMPARE(found->objectName().toLower(), view.toLower());
        QCOMPARE(dm->findSource(source), dm->sourceOf(found));
        QCOMPARE(dm->findSource(source)->dataset(), found);
        QVERIFY(!dm->findView(u"NoSuchTable"));
    }

    // Moving the patient moves everything that belongs to the patient and the session.
    void detailsFollowThePatient()
    {
        auto dm = openAtStart(copyOf(m_demoPath, m_root.filePath(QStringLiteral("follow"))));
        int patientsWithTreatments = 0;
        for (dm->patients().PatientsTable->first(); !dm->patients().PatientsTable->eof(); dm->patients().PatientsTable->next()) {
            const QVariant patient = dm->patients().PatientsTable->value(u"PatientID");
            const int sessions = count(*dm->Database, QStringLiteral("SELECT COUNT(*) FROM Sessions WHERE PatientID = %1").arg(patient.toInt()));
            QCOMPARE(dm->clinical().SessionsTable->recordCount(), sessions);
            for (dm->clinical().SessionsTable->first(); !dm->clinical().SessionsTable->eof(); dm->clinical().SessionsTable->next())
                QCOMPARE(dm->clinical().SessionsTable->value(u"PatientID"), patient);
            for (db::Dataset* view : {dm->patients().AnamnesticaTable, dm->patients().QuestAnswerTable, dm->patients().RecallsTable}) {
                for (view->first(); !view->eof(); view->next())
                    QCOMPARE(view->value(view == dm->patients().AnamnesticaTable ? u"PatID" : u"PatientID"), patient);
            }
            dm->clinical().SessionsTable->first();
            const QVariant session = dm->clinical().SessionsTable->value(u"SessionID");
            int levels = 0;
            for (db::Dataset* view : {dm->clinical().HistPerSessionTable, dm->clinical().HistPerSessionTable2, dm->clinical().HistPerSessionTable3}) {
                for (view->first(); !view->eof(); view->next()) {
                    QCOMPARE(view->value(u"TherapySessionID"), session);
                    QCOMPARE(view->value(u"TreatmentLevel").toInt(), levels);
                }
                ++levels;
            }
            for (dm->finance().PatientEconomTable->first(); !dm->finance().PatientEconomTable->eof(); dm->finance().PatientEconomTable->next())
                QCOMPARE(dm->finance().PatientEconomTable->value(u"SessionID"), session);
            const int treatments = count(*dm->Database,
                QStringLiteral("SELECT COUNT(*) FROM History WHERE TherapySessionID = %1 AND TreatmentLevel = 2").arg(session.toInt()));
            QCOMPARE(dm->clinical().HistPerSessionTable3->recordCount(), treatments);
            if (treatments > 0) {
                ++patientsWithTreatments;
                const QVariant first = db::Query(*dm->Database,
                    QStringLiteral("SELECT MIN(\"Date\") FROM History WHERE PatientID = %1").arg(patient.toInt())).scalar();
                QCOMPARE(dm->clinical().FirstLastDateQRY->value(u"FirstDate").toDate(), first.toDate());
                QVERIFY(!dm->clinical().HistPerSessionTable3->value(u"OperDescr").toString().isEmpty());
            }
            QVERIFY(dm->patients().xRayFolder().endsWith(QStringLiteral("xrays/x") + patient.toString()));
        }
        QVERIFY(patientsWithTreatments > 0);
    }

    void openFailureNamesTheTable_data()
    {
        testsupport::addRows<int, QString>({ "type", "message" },
            {
                { "stand-alone", int(platform::MultiUserType::StandAlone),
                    "Corrupt Data! Please try to run orvane --repair-data." },
                { "server", int(platform::MultiUserType::Server),
                    "Corrupt Data! Please try to run orvane --repair-data." },
                { "client", int(platform::MultiUserType::Client),
                    "Could not access Server Database!\nERROR: InsurCompanies" },
            });
    }
    void openFailureNamesTheTable()
    {
        QFETCH(int, type);
        QFETCH(QString, message);
        const QString path = copyOf(m_newPath, m_root.filePath(QStringLiteral("broken-%1").arg(type)));
        {
            const data::DataConnections c = data::DataDirectory(path).open();
            db::Query::run(*c.data, QStringLiteral("DROP TABLE InsurCompanies"));
        }
        auto dm = data::TDmForm::connect(profileOf(path));
        QList<int> progress;
        try {
            dm->openAtStart(settings(), [&progress](int p) { progress.append(p); }, kToday);
            QFAIL("the open went through");
        } catch (const data::DmOpenError& e) {
            QCOMPARE(e.table(), QStringLiteral("InsurCompanies"));
            QCOMPARE(platform::session().openingTable, QStringLiteral("InsurCompanies"));
            QCOMPARE(data::openFailureMessage(platform::MultiUserType(type), e.table(), dm->lang()), message);
        }
        QCOMPARE(progress, kProgressMarks.mid(0, 3)); // stopped within the 15 % group
        for (db::Dataset* view : dm->views())
            QVERIFY2(!view->isActive(), qPrintable(view->objectName()));
    }

    void missingDatabaseIsAFailureToOpen()
    {
        const QString empty = m_root.filePath(QStringLiteral("empty"));
        QDir().mkpath(empty);
        QVERIFY_THROWS_EXCEPTION(data::DmOpenError, data::TDmForm::connect(profileOf(empty)));
        QVERIFY(!data::DataDirectory(empty).hasDatabase()); // and nothing was created
    }

    void oldAppointmentsAtStart_data()
    {
        // left: days from today of the appointments that stay
        testsupport::addRows<bool, int, QList<int>>({ "delApps", "keepDays", "left" },
            {
                { "switched off", false, 0, QList<int> { -40, -30, -29, -1, 0, 2 } },
                { "none kept", true, 0, QList<int> { 0, 2 } },
                { "30 days, the 30th stays", true, 30, QList<int> { -30, -29, -1, 0, 2 } },
            });
    }
    void oldAppointmentsAtStart()
    {
        QFETCH(bool, delApps);
        QFETCH(int, keepDays);
        QFETCH(QList<int>, left);
        platform::Settings s = settings();
        s.setDeleteOldAppointments(delApps);
        s.setDeleteAppointmentsAfterDays(keepDays);
        const QString path = copyOf(m_newPath, m_root.filePath(QStringLiteral("apps-%1-%2").arg(delApps).arg(keepDays)));
        {
            const data::DataConnections c = data::DataDirectory(path).open();
            int id = 0;
            for (int days : {-40, -30, -29, -1, 0, 2}) {
                db::Query insert(*c.data, QStringLiteral("INSERT INTO Appointments (AppID, \"Date\", PatID) VALUES (:id, :date, 1)"));
                insert.bind(QStringLiteral("id"), ++id).bind(QStringLiteral("date"), kToday.addDays(days)).exec();
            }
        }
        auto dm = openAtStart(path);
        QList<int> days;
        for (dm->appointments().AppointmentTable->first(); !dm->appointments().AppointmentTable->eof(); dm->appointments().AppointmentTable->next())
            days.append(int(kToday.daysTo(dm->appointments().AppointmentTable->value(u"Date").toDate())));
        std::sort(days.begin(), days.end());
        QCOMPARE(days, left);
    }

    void settingsAndMoneyFormatsAtStart()
    {
        platform::Settings s = settings();
        s.setDefaultDoctorId(2);
        s.setEuroRate(100.5);
        auto dm = openAtStart(copyOf(m_newPath, m_root.filePath(QStringLiteral("settings"))));
        QCOMPARE(dm->defaultDentist(), 2);
        QCOMPARE(dm->money().rate(), 100.5);
        dm->OpenTable(*dm->finance().MemTable);
        QCOMPARE(dm->finance().MemTable->recordCount(), 1);
        QCOMPARE(dm->finance().MemTable->value(u"EUROCurrency").toDouble(), 100.5);
        QCOMPARE(dm->finance().PatientEconomTable->field(u"CreditEURO").displayFormat(), data::euroMoneyFormat().displayPattern);
        QCOMPARE(dm->clinical().HistPerSessionTable3->field(u"PriceEURO").editFormat(), QStringLiteral("#.##"));
        QCOMPARE(dm->lists().MedicinesTable->field(u"HospitalPrice").editFormat(), QStringLiteral("#.#####"));
        QCOMPARE(dm->finance().firstPracticeEconomId(), -1); // no practice transactions yet
    }

    void labelsTranslatedWhenALanguageFileIsPresent()
    {
        const QString program = m_root.filePath(QStringLiteral("with-language"));
        QDir().mkpath(program);
        QFile lng(QDir(program).filePath(QStringLiteral("Orvane.lng")));
        QVERIFY(lng.open(QIODevice::WriteOnly));
        lng.write("[Messages]\nLast Name=\xce\x95\xcf\x80\xcf\x8e\xce\xbd\xcf\x85\xce\xbc\xce\xbf\n");
        lng.close();
        qputenv("ORVANE_PROGRAM_DIR", program.toUtf8());
        auto dm = openAtStart(copyOf(m_newPath, m_root.filePath(QStringLiteral("labels"))));
        qputenv("ORVANE_PROGRAM_DIR", m_root.filePath(QStringLiteral("program")).toUtf8());
        QCOMPARE(dm->patients().PatientsTable->field(u"LastName").label(), QStringLiteral("Επώνυμο"));
        QCOMPARE(dm->patients().PatientsTable->field(u"FirstName").label(), QStringLiteral("First Name")); // no translation
        dm->patients().PatientsTable->close();
        dm->OpenTable(*dm->patients().PatientsTable); // a second open translates nothing twice
        QCOMPARE(dm->patients().PatientsTable->field(u"LastName").label(), QStringLiteral("Επώνυμο"));
    }

    void nextIdByGeneratorOrView()
    {
        auto dm = data::TDmForm::connect(profileOf(copyOf(m_newPath, m_root.filePath(QStringLiteral("ids")))));
        const qint32 first = dm->NextID(QStringLiteral("LastPat"));
        QCOMPARE(dm->NextID(QStringLiteral("LastPatTable")), first + 1);
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, dm->NextID(QStringLiteral("NoSuchGenerator")));
    }

    void patientAge_data()
    {
        testsupport::addRows<QDate, QVariant>({ "born", "age" },
            {
                { "born today", kToday, QVariant(1) },
                { "30 years 7 months", kToday.addYears(-30).addMonths(-7), QVariant(31) },
                { "30 years 5 months", kToday.addYears(-30).addMonths(-5), QVariant(30) },
                { "no birth date", QDate(), QVariant() },
            });
    }
    void patientAge()
    {
        QFETCH(QDate, born);
        QFETCH(QVariant, age);
        QCOMPARE(data::patientAge(born, kToday), age);
    }
};

QTEST_GUILESS_MAIN(TestDmForm)
#include "tst_dmform.moc"
