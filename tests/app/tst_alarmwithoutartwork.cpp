// The medical-history alarm is a safety feature: the main window's first show loads it whatever
// artwork is missing beside the program, and the patient file then raises it.

#include "app/MainUnit.h"
#include "data/AlarmSet.h"
#include "patients/PatientFormFixture.h"
#include "platform/Directories.h"
#include "platform/IniFile.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "support/ReadOnlyDirectory.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace patienttest;

class TestAlarmWithoutArtwork : public QObject {
    Q_OBJECT

    rulestest::Practice m_practice;
    QTemporaryDir m_programs;
    int m_count = 0;

private Q_SLOTS:
    void initTestCase()
    {
        platform::setConfigDirOverride(m_practice.configDirectory());
        platform::IniFile pv(QDir(m_practice.configDirectory()).filePath(QStringLiteral("PV.INI")));
        pv.writeBool(
            QStringLiteral("PatientHistImageAlarm"), QStringLiteral("AnamnesticaTableAllergie"), true);
        pv.writeBool(QStringLiteral("Orvane"), QStringLiteral("ShowAllRemindersAtStartUp"), false);
        pv.save();
    }

    void cleanupTestCase() { platform::setConfigDirOverride({}); }

    void allergyAlarmShowsWhateverArtworkIsMissing_data()
    {
        // withLibrary: SYMBOLS.DAT there, its index not
        testsupport::addRows<bool, bool, QString>({ "withLibrary", "readOnly", "told" },
            {
                { "no symbol library", false, false, QStringLiteral("Symbols.Dat not exists") },
                { "no symbol library, read-only folder", false, true,
                    QStringLiteral("Symbols.Dat not exists") },
                { "no index, read-only folder", true, true, QStringLiteral("cannot be written") },
            });
    }
    void allergyAlarmShowsWhateverArtworkIsMissing()
    {
        QFETCH(bool, withLibrary);
        QFETCH(bool, readOnly);
        QFETCH(QString, told);
        const QString program = m_programs.filePath(QString::number(++m_count));
        QVERIFY(QDir().mkpath(program));
        if (withLibrary) {
            const QString built
                = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("SYMBOLS.DAT"));
            QVERIFY2(
                QFile::copy(built, QDir(program).filePath(QStringLiteral("SYMBOLS.DAT"))), qPrintable(built));
        }
        std::optional<testsupport::ReadOnlyDirectory> closed;
        if (readOnly) {
            closed.emplace(program);
            if (!closed->isReadOnly())
                QSKIP("this machine cannot close a directory to writing");
        }
        qputenv("ORVANE_PROGRAM_DIR", program.toUtf8());
        data::AlarmSet::setCurrent({});

        PatientFormFixture f(m_practice);
        const int patient = rulestest::addPatient(*f.dm, QStringLiteral("Allergic"));
        exec(*f.dm->Database, QStringLiteral("UPDATE CartAnamnestica SET Allergie = TRUE WHERE PatID = :id"),
            id(patient));
        reread(*f.dm);

        testsupport::MessageRecorder messages;
        app::TMainForm main(platform::Edition::Dental);
        main.show();
        QCoreApplication::processEvents();
        // Told once, in words, and the first show went on.
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY2(messages.texts().constFirst().contains(told), qPrintable(messages.texts().constFirst()));
        QVERIFY(messages.texts().constFirst().contains(QStringLiteral("without its symbols")));
        QVERIFY(!QFile::exists(QDir(program).filePath(QStringLiteral("SYMBOLS.IDX"))) || !readOnly);

        patients::TPatientForm& form = f.open();
        QVERIFY(f.goTo(patient));
        QCoreApplication::processEvents();
        QVERIFY(form.alarmRaised());
        qunsetenv("ORVANE_PROGRAM_DIR");
    }
};

QTEST_MAIN(TestAlarmWithoutArtwork)
#include "tst_alarmwithoutartwork.moc"
