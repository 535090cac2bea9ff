// Filing an image record as the imaging program asks: the row takes the current session and
// the fields given; a wrong patient, tooth or file name is refused and stores nothing.
#include "data/ImageFiling.h"
#include "data/RulesFixture.h"
#include "db/Dataset.h"
#include "db/Errors.h"
#include "platform/Session.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace rulestest;

class TestImageFiling : public QObject {
    Q_OBJECT

    std::unique_ptr<Practice> m_practice;
    std::unique_ptr<data::TDmForm> m_dm;
    int m_patient = 0;
    int m_other = 0;

    int stored() const { return count(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM Photos")); }
    data::ImageRecord record(const QString& name, int tooth, int patient) const
    {
        return { name, QStringLiteral("X-Ray"), QStringLiteral("Periapical"),
            QDateTime(QDate(2026, 3, 2), QTime(9, 30)), QDateTime(QDate(2026, 3, 3), QTime(10, 0)), tooth,
            QStringLiteral("distal caries"), patient };
    }

private Q_SLOTS:
    void init()
    {
        m_practice = std::make_unique<Practice>();
        m_dm = m_practice->openNew();
        m_other = addPatient(*m_dm, QStringLiteral("Other"));
        m_patient = addPatient(*m_dm, QStringLiteral("Current"));
    }
    void cleanup()
    {
        m_dm.reset();
        m_practice.reset();
    }

    void storesTheRowInTheCurrentSession()
    {
        const QVariant session = m_dm->patients().PatientsTable->value(u"TherapySessionID");
        QVERIFY(!session.isNull());
        QCOMPARE(
            data::fileImage(*m_dm, record(QStringLiteral("XR-260302-36.png"), 36, m_patient)), QString());
        db::Dataset& photos = *m_dm->clinical().PhotosTable;
        QVERIFY(!photos.isEditing());
        QCOMPARE(stored(), 1);
        QCOMPARE(photos.recordCount(), 1);
        db::Query row(*m_dm->Database,
            QStringLiteral("SELECT PhotoName, Category, Subject, Remarks, ToothNumber, RecDate, SaveDate, "
                           "PatID, SessionID FROM Photos"));
        row.exec();
        QVERIFY(row.next());
        QCOMPARE(row.value(0).toString(), QStringLiteral("XR-260302-36.png"));
        QCOMPARE(row.value(1).toString(), QStringLiteral("X-Ray"));
        QCOMPARE(row.value(2).toString(), QStringLiteral("Periapical"));
        QCOMPARE(row.value(3).toString(), QStringLiteral("distal caries"));
        QCOMPARE(row.value(4).toInt(), 36);
        QCOMPARE(row.value(5).toDate(), QDate(2026, 3, 2));
        QCOMPARE(row.value(6).toDate(), QDate(2026, 3, 3));
        QCOMPARE(row.value(7).toInt(), m_patient);
        QCOMPARE(row.value(8), session);
    }

    // Another patient's image goes into that patient's current session; the windows, which show
    // the current patient (with an edit open, even), are not disturbed.
    void filesAnotherPatientsImageInTheirSession()
    {
        db::Dataset& photos = *m_dm->clinical().PhotosTable;
        QCOMPARE(data::fileImage(*m_dm, record(QStringLiteral("a.png"), 11, m_patient)), QString());
        photos.edit();
        photos.setValue(u"Subject", QStringLiteral("typed"));
        QCOMPARE(data::fileImage(*m_dm, record(QStringLiteral("other.png"), 21, m_other)), QString());
        QCOMPARE(photos.value(u"Subject").toString(), QStringLiteral("typed"));
        QCOMPARE(photos.recordCount(), 1);
        photos.post();
        const QVariantMap other { { QStringLiteral("p"), m_other } };
        QCOMPARE(
            count(*m_dm->Database,
                QStringLiteral(
                    "SELECT COUNT(*) FROM Photos f JOIN Patient p ON p.PatientID = f.PatID "
                    "WHERE f.PatID = :p AND f.SessionID = p.TherapySessionID AND f.PhotoName = 'other.png' "
                    "AND f.ToothNumber = 21"),
                other),
            1);
        QCOMPARE(stored(), 2);
    }

    void refusesAndStoresNothing_data()
    {
        // patient: 0 the current one, -1 the other one, else as given
        testsupport::addRows<QString, int, int, QString>({ "name", "tooth", "patient", "reason" },
            {
                { "unknown patient", "a.png", 11, 9999, "There is no patient 9999" },
                { "tooth 19", "a.png", 19, 0, "not a tooth number" },
                { "tooth 56", "a.png", 56, 0, "not a tooth number" },
                { "tooth 9", "a.png", 9, 0, "not a tooth number" },
                { "tooth 90", "a.png", 90, 0, "not a tooth number" },
                { "tooth 255", "a.png", 255, 0, "not a tooth number" },
                { "empty name", "", 11, 0, "must be a file name" },
                { "blank name", "  ", 11, 0, "must be a file name" },
                { "parent folder", "../x", 11, 0, "must be a file name" },
                { "dot dot", "..", 11, 0, "must be a file name" },
                { "absolute path", "/etc/passwd", 11, 0, "must be a file name" },
                { "sub folder", "x12/a.png", 11, 0, "must be a file name" },
                { "backslash", "..\\a.png", 11, 0, "must be a file name" },
                { "longer than the field", QString(31, QLatin1Char('a')), 11, 0, "longer than 30" },
            });
    }
    void refusesAndStoresNothing()
    {
        QFETCH(QString, name);
        QFETCH(int, tooth);
        QFETCH(int, patient);
        QFETCH(QString, reason);
        const int id = patient == 0 ? m_patient : patient == -1 ? m_other : patient;
        testsupport::MessageRecorder messages;
        const QString problem = data::fileImage(*m_dm, record(name, tooth, id));
        QVERIFY2(problem.contains(reason), qPrintable(problem));
        QCOMPARE(stored(), 0);
        QVERIFY(!m_dm->clinical().PhotosTable->isEditing());
        QVERIFY(messages.shown().isEmpty()); // the caller is told, nobody at the screen
    }

    // A link (or a folder) under the image's name in the patient's folder is never filed, for
    // the current patient or another; a regular file is.
    void onlyARegularFileIsFiled()
    {
        QTemporaryDir root;
        platform::session().dataRoot = root.path();
        const QString elsewhere = root.filePath(QStringLiteral("secret.txt"));
        QFile secret(elsewhere);
        QVERIFY(secret.open(QIODevice::WriteOnly));
        secret.write("not a picture of this patient");
        secret.close();
        for (const int patient : { m_patient, m_other }) {
            const QDir folder(data::imageFolderOf(patient));
            QVERIFY(QDir().mkpath(folder.path()));
            QVERIFY(QFile::link(elsewhere, folder.filePath(QStringLiteral("link.png"))));
            QVERIFY(folder.mkdir(QStringLiteral("folder.png")));
            QFile picture(folder.filePath(QStringLiteral("plain.png")));
            QVERIFY(picture.open(QIODevice::WriteOnly));
            picture.close();
            for (const char* name : { "link.png", "folder.png" }) {
                const QString problem
                    = data::fileImage(*m_dm, record(QString::fromLatin1(name), 11, patient));
                QVERIFY2(problem.contains(QLatin1String("no regular file")), qPrintable(problem));
            }
            QCOMPARE(stored(), patient == m_patient ? 0 : 1);
            QCOMPARE(data::fileImage(*m_dm, record(QStringLiteral("plain.png"), 11, patient)), QString());
        }
        QCOMPARE(stored(), 2);
    }

    void waitsForAnEditOfTheImages()
    {
        QCOMPARE(data::fileImage(*m_dm, record(QStringLiteral("a.png"), 11, m_patient)), QString());
        db::Dataset& photos = *m_dm->clinical().PhotosTable;
        photos.edit();
        photos.setValue(u"Subject", QStringLiteral("typed"));
        QVERIFY(data::fileImage(*m_dm, record(QStringLiteral("b.png"), 21, m_patient))
                    .contains(QLatin1String("being edited")));
        QCOMPARE(photos.value(u"Subject").toString(), QStringLiteral("typed"));
        photos.post();
        QCOMPARE(stored(), 1);
    }

    // The database refusing the row: the error goes to the caller, and nothing is stored or
    // left pending to be stored by the next filing.
    void aRefusedStoreLeavesNothingBehind()
    {
        refuseWrites(*m_dm->Database, QStringLiteral("INSERT"), QStringLiteral("Photos"));
        QVERIFY_THROWS_EXCEPTION(
            db::DatabaseError, data::fileImage(*m_dm, record(QStringLiteral("a.png"), 11, m_patient)));
        db::Dataset& photos = *m_dm->clinical().PhotosTable;
        QVERIFY(!photos.isEditing());
        QVERIFY(!photos.hasPendingUpdates());
        QCOMPARE(photos.recordCount(), 0);
        allowWrites(*m_dm->Database, QStringLiteral("Photos"));
        QCOMPARE(data::fileImage(*m_dm, record(QStringLiteral("b.png"), 21, m_patient)), QString());
        QCOMPARE(stored(), 1);
        QCOMPARE(photos.recordCount(), 1);
    }

    void everyFdiToothIsAccepted()
    {
        int accepted = 0;
        for (int n = 0; n < 100; ++n)
            accepted += data::isToothNumber(n) ? 1 : 0;
        QCOMPARE(accepted, 1 + 32 + 20); // the whole mouth, the permanent and the primary teeth
        QVERIFY(data::isToothNumber(48) && data::isToothNumber(85) && !data::isToothNumber(86)
            && !data::isToothNumber(49));
    }
};

QTEST_GUILESS_MAIN(TestImageFiling)
#include "tst_imagefiling.moc"
