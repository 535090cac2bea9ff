#include "app/MainUnit.h"
#include "app/StartUp.h"
#include "data/DemoPractice.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "db/Query.h"
#include "patients/SearchDlgUnit.h"
#include "platform/Directories.h"
#include "platform/Session.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "widgets/Language.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

constexpr int kPhoto = 9001;
constexpr int kLostPhoto = 9002;

} // namespace

// The main window's search commands on the data module: the patient search makes the chosen
// patient current and warns about an inactive one; the image search moves to the image's
// patient and session and leaves the images following their session again.
class TestPatientSearch : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    std::unique_ptr<app::TMainForm> m_main;
    std::unique_ptr<QObject> m_module;
    data::TDmForm* m_dm = nullptr;
    int m_inactive = 0;
    int m_photoPatient = 0;
    int m_photoSession = 0;

    // Runs a command of the main window; `choose` acts in the search dialog it opens.
    bool runCommand(const QString& command, const std::function<void(patients::TSearchDlg&)>& choose)
    {
        bool seen = false;
        QTimer::singleShot(0, m_main.get(), [&] {
            auto* dialog = qobject_cast<patients::TSearchDlg*>(QApplication::activeModalWidget());
            if (!dialog) {
                if (QWidget* other = QApplication::activeModalWidget())
                    other->close();
                return;
            }
            seen = true;
            choose(*dialog);
        });
        m_main->action(command)->trigger();
        return seen;
    }

    static void pick(patients::TSearchDlg& dialog, const QString& field, const QVariant& value)
    {
        QVERIFY(dialog.DataQuery->locate(field, value));
        dialog.OKBtn->click();
    }

private Q_SLOTS:
    void initTestCase()
    {
        platform::setConfigDirOverride(m_root.filePath(QStringLiteral("config")));
        const QString dataDir = m_root.filePath(QStringLiteral("Data"));
        data::createDemoDirectory(dataDir, { .patients = 30, .today = QDate(2026, 12, 7) });
        {
            data::DataConnections connections = data::DataDirectory(dataDir).open();
            db::Connection& c = *connections.data;
            m_inactive = db::Query(c, QStringLiteral("SELECT MAX(PatientID) FROM Patient")).scalar().toInt();
            db::Query(c, QStringLiteral("UPDATE Patient SET NotActive = (PatientID = :id)")).bind(QStringLiteral("id"), m_inactive).exec();
            db::Query session(c, QStringLiteral("SELECT SessionID, PatientID FROM Sessions WHERE PatientID <> :id ORDER BY SessionID DESC"));
            session.bind(QStringLiteral("id"), m_inactive).exec();
            QVERIFY(session.next());
            m_photoSession = session.value(0).toInt();
            m_photoPatient = session.value(1).toInt();
            session.finish();
            db::Query photo(c, QStringLiteral("INSERT INTO Photos (ID, PhotoName, PatID, SessionID) VALUES (:id, :name, :patient, :session)"));
            photo.bind(QStringLiteral("id"), kPhoto)
                .bind(QStringLiteral("name"), QString::fromUtf8("Πανοραμική"))
                .bind(QStringLiteral("patient"), m_photoPatient)
                .bind(QStringLiteral("session"), m_photoSession)
                .exec();
            photo.bind(QStringLiteral("id"), kLostPhoto)
                .bind(QStringLiteral("name"), QString::fromUtf8("Χαμένη"))
                .bind(QStringLiteral("patient"), 99999)
                .bind(QStringLiteral("session"), 99999)
                .exec();
        }
        platform::session() = platform::Session {};
        platform::session().level = 255;
        m_main = std::make_unique<app::TMainForm>(platform::Edition::Dental);
        m_module = app::openDataModuleOn({ .name = QStringLiteral("search"), .dataDirectory = dataDir }, *m_main, {});
        m_dm = qobject_cast<data::TDmForm*>(m_module.get());
        QVERIFY(m_dm);
    }

    void cleanupTestCase()
    {
        m_main.reset();
        m_module.reset();
        platform::setConfigDirOverride({});
    }

    void searchCommandsAreAvailable()
    {
        for (const char* name : { "PatientSearchingMenu", "ImageSearchingMenu", "SearchBtn", "FindPatient1", "FindImage1" })
            QVERIFY2(m_main->action(QString::fromLatin1(name))->isEnabled(), name);
        QCOMPARE(patients::TSearchDlg::shared()->parent(), m_main.get());
    }

    void patientSearch_data()
    {
        testsupport::addRows<bool>({ "inactive" },
            {
                { "active patient", false },
                { "inactive patient: warned", true },
            });
    }
    void patientSearch()
    {
        QFETCH(bool, inactive);
        const int wanted = inactive ? m_inactive : m_photoPatient;
        testsupport::MessageRecorder messages;
        QString caption;
        QVERIFY(runCommand(QStringLiteral("PatientSearchingMenu"), [&](patients::TSearchDlg& dialog) {
            caption = dialog.windowTitle();
            dialog.OrderCombo->setCurrentIndex(dialog.OrderCombo->findData(QStringLiteral("LastName")));
            pick(dialog, QStringLiteral("PatientID"), wanted);
        }));
        QCOMPARE(caption, m_main->Lang->Message(QStringLiteral("Search for Patient")));
        QCOMPARE(m_dm->patients().PatientsTable->value(u"PatientID").toInt(), wanted);
        const QString warning = m_main->Lang->Message(QStringLiteral("The patient you have selected has been marked as inactive."));
        QCOMPARE(messages.texts().contains(warning), inactive);
    }

    // Other windows open the patient search by the dialog's name.
    void openedByName()
    {
        bool seen = false;
        QTimer::singleShot(0, m_main.get(), [&] {
            if (auto* dialog = qobject_cast<patients::TSearchDlg*>(QApplication::activeModalWidget())) {
                seen = true;
                pick(*dialog, QStringLiteral("PatientID"), m_photoPatient);
            } else if (QWidget* other = QApplication::activeModalWidget()) {
                other->close();
            }
        });
        QCOMPARE(m_main->openWindow(QStringLiteral("SearchDlg")), nullptr);
        QVERIFY(seen);
        QCOMPARE(m_dm->patients().PatientsTable->value(u"PatientID").toInt(), m_photoPatient);
    }

    void cancelledPatientSearchMovesNothing()
    {
        m_dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), m_photoPatient);
        QVERIFY(runCommand(QStringLiteral("FindPatient1"), [](patients::TSearchDlg& dialog) {
            dialog.DataQuery->last();
            dialog.CancelBtn->click();
        }));
        QCOMPARE(m_dm->patients().PatientsTable->value(u"PatientID").toInt(), m_photoPatient);
    }

    void imageSearch_data()
    {
        // photo: 0: cancelled
        testsupport::addRows<int, bool>({ "photo", "notFound" },
            {
                { "image of a patient", kPhoto, false },
                { "image whose patient is gone", kLostPhoto, true },
                { "cancelled", 0, false },
            });
    }
    void imageSearch()
    {
        QFETCH(int, photo);
        QFETCH(bool, notFound);
        m_dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), m_inactive);
        testsupport::MessageRecorder messages;
        QVERIFY(runCommand(QStringLiteral("ImageSearchingMenu"), [&](patients::TSearchDlg& dialog) {
            if (photo == 0)
                dialog.CancelBtn->click();
            else
                pick(dialog, QStringLiteral("ID"), photo);
        }));
        db::Dataset& photos = *m_dm->clinical().PhotosTable;
        QCOMPARE(photos.master(), m_dm->clinical().SessionsSrc); // following its session again
        QCOMPARE(messages.texts().contains(m_dm->lang().Message(QStringLiteral("Patient not found"))), notFound);
        if (photo == kPhoto) {
            QCOMPARE(m_dm->patients().PatientsTable->value(u"PatientID").toInt(), m_photoPatient);
            QCOMPARE(m_dm->clinical().SessionsTable->value(u"SessionID").toInt(), m_photoSession);
            QCOMPARE(photos.value(u"ID").toInt(), kPhoto);
        } else {
            QCOMPARE(m_dm->patients().PatientsTable->value(u"PatientID").toInt(), m_inactive);
        }
    }
};

QTEST_MAIN(TestPatientSearch)
#include "tst_patientsearch.moc"
