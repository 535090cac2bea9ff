#include "platform/IniFile.h"
#include "platform/Settings.h"
#include "support/DataTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using platform::Edition;
using platform::Settings;

class TestSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void missingFileGivesTheDefaults()
    {
        QTemporaryDir dir;
        const Settings s(Edition::Dental, dir.path());
        QCOMPARE(s.multiUserType(), platform::MultiUserType::StandAlone);
        QCOMPARE(s.lumetrixLink(), 1);
        QCOMPARE(s.visPathName(), QString());
        QCOMPARE(s.xRaysPath(QStringLiteral("/data")), QStringLiteral("/data"));
        QCOMPARE(s.defaultDoctorId(), 0);
        QCOMPARE(s.appointmentSlotMinutes(), 30);
        QCOMPARE(s.deleteAppointmentsAfterDays(), 30);
        QVERIFY(s.deleteOldAppointments());
        QVERIFY(s.autoBackUp());
        QVERIFY(!s.showInitialChart());
        QVERIFY(s.defaultAppointmentPatient());
        QVERIFY(s.showAllRemindersAtStartUp());
        QVERIFY(!s.toolBarVisible(false));
        QCOMPARE(s.windowsCache(), 0);
        QCOMPARE(s.euroRate(), 340.75);
        QVERIFY(!s.progNotesOn());
        QCOMPARE(s.userRole(QStringLiteral("admin")), std::nullopt);
        QCOMPARE(s.userPassword1(QStringLiteral("admin")), QString());
        QCOMPARE(s.perioColor(Settings::PerioColor::GM), 0x808080);
        QCOMPARE(s.perioColor(Settings::PerioColor::PDLower), 32768);
        QCOMPARE(s.perioColor(Settings::PerioColor::FUR), 0);
        QCOMPARE(s.pdRiskLevel(), 4);
        QVERIFY(!s.patientHistImageAlarm(QStringLiteral("AnamnesticaTableCuore")));
        QCOMPARE(s.appointmentGridDefaultColWidth(120), 120);
        QCOMPARE(Settings::readEdition(dir.path()), Edition::Dental);
        QVERIFY(!QFile::exists(s.mainFilePath())); // reading creates nothing
    }

    // Each edition keeps its own section and placement file; the keys are the file format.
    void writesUnderTheEditionsNames_data()
    {
        testsupport::addRows<Edition, QString>({ "edition", "section" },
            {
                { "dental", Edition::Dental, QStringLiteral("Orvane") },
                { "medical", Edition::Medical, QStringLiteral("Telvi") },
            });
    }

    void writesUnderTheEditionsNames()
    {
        QFETCH(Edition, edition);
        QFETCH(QString, section);
        QTemporaryDir dir;
        Settings s(edition, dir.path());
        s.setMultiUserType(platform::MultiUserType::Client);
        s.setDefaultDoctorId(7);
        s.setAppointmentSlotMinutes(20);
        s.setDeleteOldAppointments(false);
        s.setToolBarVisible(true);
        s.setEuroRate(400.5);
        s.setProgNotesOn(true);
        s.setPatientHistImageAlarm(QStringLiteral("AnamnesticaTableCuore"), true);
        s.setAppointmentGridDefaultColWidth(80);
        s.recordStart(QDate(2026, 12, 6));

        const platform::IniFile pv(dir.filePath(QStringLiteral("PV.INI")));
        QCOMPARE(pv.readString(section, QStringLiteral("MultiUserType")), QStringLiteral("1"));
        QCOMPARE(pv.readString(section, QStringLiteral("LastAccess")), QStringLiteral("06/12/2026"));
        QCOMPARE(pv.readString(section, QStringLiteral("DefaultDocIDEdit_Text")), QStringLiteral("7"));
        QCOMPARE(pv.readString(section, QStringLiteral("RxSpinEdit1_Value")), QStringLiteral("20"));
        QCOMPARE(pv.readString(section, QStringLiteral("DelApps")), QStringLiteral("0"));
        QCOMPARE(pv.readString(section, QStringLiteral("ToolBar_Visible")), QStringLiteral("1"));
        QCOMPARE(pv.readString(QStringLiteral("EURO"), QStringLiteral("Currency")), QStringLiteral("400.5"));
        QCOMPARE(
            pv.readString(QStringLiteral("Advanced"), QStringLiteral("ProgNotesOn")), QStringLiteral("y"));
        QCOMPARE(
            pv.readString(QStringLiteral("PatientHistImageAlarm"), QStringLiteral("AnamnesticaTableCuore")),
            QStringLiteral("1"));
        const platform::IniFile placement(dir.filePath(section + QStringLiteral(".INI")));
        QCOMPARE(placement.readInteger(
                     QStringLiteral("AppointmentForm"), QStringLiteral("AppointmentGrid_DefaultColWidth"), 0),
            80);

        QCOMPARE(s.multiUserType(), platform::MultiUserType::Client);
        QCOMPARE(s.appointmentSlotMinutes(), 20);
        QCOMPARE(s.euroRate(), 400.5);
        QVERIFY(s.progNotesOn());
        QCOMPARE(s.appointmentGridDefaultColWidth(120), 80);
    }

    void readsAnOlderInstallationsFile()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("pv.ini"))); // spelt in lower case on that workstation
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[ORVANE]\r\nRxSpinEdit2_Value=0\r\nShowInitialChart=1\r\n[Roles]\r\nmariaRole=1\r\n"
                "[Passwords]\r\nmariaPwd1=\xE1\xE2\xE3\r\n[EURO]\r\nCurrency=340,75\r\n[Advanced]"
                "\r\nProgNotesOn=Y\r\n"
                "[PerioColors]\r\nPDRiskLevel=5\r\n");
        f.close();
        const Settings s(Edition::Dental, dir.path());
        QCOMPARE(s.deleteAppointmentsAfterDays(), 0);
        QVERIFY(s.showInitialChart());
        QCOMPARE(s.userRole(QStringLiteral("maria")), 1);
        QCOMPARE(s.userPassword1(QStringLiteral("maria")), QStringLiteral("αβγ"));
        QCOMPARE(s.euroRate(), 340.75);
        QVERIFY(!s.progNotesOn()); // only a lower-case "y" turns them on
        QCOMPARE(s.pdRiskLevel(), 5);
    }

    void rateIsNeverZero_data()
    {
        QTest::addColumn<QString>("value");
        for (const char* value : { "0", "-3", "nan", "inf", "-inf", "abc", "" })
            QTest::newRow(value) << QString::fromLatin1(value);
    }
    void rateIsNeverZero()
    {
        QFETCH(QString, value);
        QTemporaryDir dir;
        Settings s(Edition::Dental, dir.path());
        QVERIFY_THROWS_EXCEPTION(platform::SettingsError, s.setEuroRate(0));
        QVERIFY_THROWS_EXCEPTION(platform::SettingsError, s.setEuroRate(-3));
        QVERIFY(!QFile::exists(s.mainFilePath()));

        // A rate in the file that is no positive number is named, not replaced.
        platform::IniFile pv(s.mainFilePath());
        pv.writeString(QStringLiteral("EURO"), QStringLiteral("Currency"), value);
        pv.save();
        try {
            s.euroRate();
            QFAIL("a bad rate was accepted");
        } catch (const platform::BadSetting& e) {
            QCOMPARE(e.key(), QStringLiteral("Currency"));
            QCOMPARE(e.value(), value);
            QVERIFY(e.message().contains(QStringLiteral("[EURO]")));
        }
    }

    void editionFromTheMakersFile_data()
    {
        testsupport::addRows<QString, std::optional<Edition>>({ "value", "expected" },
            {
                { "dental", QStringLiteral("dental"), std::optional(Edition::Dental) },
                { "medical", QStringLiteral("Medical"), std::optional(Edition::Medical) },
                { "edition name", QStringLiteral("Telvi"), std::optional(Edition::Medical) },
                { "unknown", QStringLiteral("veterinary"), std::optional<Edition>() },
            });
    }

    void editionFromTheMakersFile()
    {
        QFETCH(QString, value);
        QFETCH(std::optional<Edition>, expected);
        QTemporaryDir dir;
        platform::IniFile quarn(dir.filePath(QStringLiteral("Quarn.INI")));
        quarn.writeString(QStringLiteral("Advanced"), QStringLiteral("Edition"), value);
        quarn.save();
        QCOMPARE(Settings::readEdition(dir.path()), expected);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
