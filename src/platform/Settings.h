#pragma once

#include "platform/IniFile.h"

#include <QDate>
#include <QString>

#include <optional>

namespace platform {

enum class Edition { Dental = 0, Medical = 1 }; // the value is the edition flag

// "Orvane" or "Telvi": the database profile, the PV.INI section and the placement file stem.
QString editionName(Edition edition);

enum class MultiUserType { StandAlone = 0, Client = 1, Server = 2 };

// Every key of the workstation settings files, each with its default, so that no caller spells
// a file, section, key or default itself. Each call opens the file, reads or writes, and closes
// it: nothing is cached, as another window may have changed the file in between.
class Settings {
public:
    static constexpr const char* kMainFile = "PV.INI";
    static constexpr const char* kMakerFile = "Quarn.INI";
    static constexpr const char* kSavedViewsFile = "OrvaneSQL.INI";
    static constexpr const char* kLanguageFile = "Orvane.lng";
    static constexpr const char* kAliasFile = "Alias.INI";
    static constexpr double kDefaultEuroRate = 340.75;
    static constexpr const char* kInvalidRateMessage = "The currency exchange rate must be greater than 0";

    // `directory` empty: the workstation settings directory (configDir()).
    explicit Settings(Edition edition = Edition::Dental, QString directory = {});

    Edition edition() const { return m_edition; }
    QString section() const { return editionName(m_edition); }
    QString directory() const { return m_directory; }
    QString filePath(const QString& fileName) const;
    QString mainFilePath() const { return filePath(QString::fromLatin1(kMainFile)); }
    // Orvane.INI or Telvi.INI: one section per window, written by the placement store.
    QString placementFilePath() const;
    QString savedViewsFilePath() const { return filePath(QString::fromLatin1(kSavedViewsFile)); }

    // Quarn.INI [Advanced] Edition: "dental" (also when absent) or "medical"; the edition
    // names are accepted too. Nothing for any other value. Throws SettingsError when the file
    // cannot be read.
    static std::optional<Edition> readEdition(const QString& directory = {});
    static void writeEdition(Edition edition, const QString& directory = {});

    // PV.INI, section named after the edition.
    MultiUserType multiUserType() const; // 0 = stand-alone
    void setMultiUserType(MultiUserType type);
    QString lastAccess() const; // empty until the first start
    void setLastAccess(const QString& shortDate);
    // Written at every start: today in the platform's short date format.
    void recordStart(const QDate& today = QDate::currentDate());
    int lumetrixLink() const; // 1
    void setLumetrixLink(int value);
    QString visPathName() const; // empty, which means the program directory
    void setVisPathName(const QString& path);
    QString xRaysPath(const QString& dataRoot) const; // dataRoot when absent
    void setXRaysPath(const QString& path);
    int defaultDoctorId() const; // DefaultDocIDEdit_Text, "0"
    void setDefaultDoctorId(int id);
    int appointmentSlotMinutes() const; // RxSpinEdit1_Value, "30"
    void setAppointmentSlotMinutes(int minutes);
    int deleteAppointmentsAfterDays() const; // RxSpinEdit2_Value, 30
    void setDeleteAppointmentsAfterDays(int days);
    bool deleteOldAppointments() const; // DelApps, true
    void setDeleteOldAppointments(bool on);
    bool autoBackUp() const; // true
    void setAutoBackUp(bool on);
    // Where the backup at exit goes: the "Backups" folder beside the data when not set.
    QString backUpFolder(const QString& dataRoot) const;
    void setBackUpFolder(const QString& folder);
    bool showInitialChart() const; // false
    void setShowInitialChart(bool on);
    bool defaultAppointmentPatient() const; // true
    void setDefaultAppointmentPatient(bool on);
    bool showAllRemindersAtStartUp() const; // true
    void setShowAllRemindersAtStartUp(bool on);
    bool toolBarVisible(bool designed = true) const; // ToolBar_Visible, as designed
    void setToolBarVisible(bool visible);
    // ToolBar_Items: the main tool bar's items in the user's order, by name; empty as designed.
    QString toolBarItems() const;
    void setToolBarItems(const QString& items);
    int windowsCache() const; // 0; 1 once the network cache settings are applied
    void setWindowsCache(int value);

    // PV.INI [EURO] Currency: local units per EURO. A value that is not above 0 reads as
    // the default, so no conversion ever divides by 0.
    double euroRate() const; // 340.75 when absent; BadSetting when not a positive number
    bool hasEuroRate() const;
    // Throws SettingsError for a rate of 0 or below.
    void setEuroRate(double rate);

    // PV.INI [Advanced] ProgNotesOn: on only when exactly "y".
    bool progNotesOn() const; // "n"
    void setProgNotesOn(bool on);

    // PV.INI [Roles] user+"Role", [Passwords] user+"Pwd1"/"Pwd2", the passwords as written by
    // platform::password::hash() (or plain text from an older installation, until its next login).
    std::optional<int> userRole(const QString& user) const; // nothing when absent
    QString userPassword1(const QString& user) const; // empty when absent
    QString userPassword2(const QString& user) const;
    // Creating users is an administrator's command line task (orvane --add-user), not a window.
    void setUser(const QString& user, int role, const QString& password1, const QString& password2);
    void setUserPasswords(const QString& user, const QString& password1, const QString& password2);

    // The database profile named after the edition (the alias), in Alias.INI: the data
    // directory of the embedded database. Nothing when the profile does not exist.
    std::optional<QString> aliasPath() const;
    void setAliasPath(const QString& dataDirectory);
    void deleteAlias();

    // PV.INI [PerioColors]: colours as integers in the blue-green-red order of the older
    // platform (255 is red).
    enum class PerioColor { GM, BL, PDLower, PDGreater, Plaque, MOB, Peri, FUR };
    int perioColor(PerioColor which) const;
    void setPerioColor(PerioColor which, int bgr);
    int pdRiskLevel() const; // "4"
    void setPdRiskLevel(int millimetres);

    // Whether the workstation has chosen the alarm's findings at all (the section exists).
    bool alarmChosen() const;
    // PV.INI [PatientHistImageAlarm]: one boolean per yes/no field of the medical history,
    // keyed by the field's component name (AnamnesticaTableCuore); false when absent.
    bool patientHistImageAlarm(const QString& fieldComponent) const;
    void setPatientHistImageAlarm(const QString& fieldComponent, bool on);

    // Orvane.INI [AppointmentForm] AppointmentGrid_DefaultColWidth.
    int appointmentGridDefaultColWidth(int designed) const;
    void setAppointmentGridDefaultColWidth(int width);

private:
    IniFile mainFile() const { return IniFile(mainFilePath()); }
    template<typename Write> void writeMain(Write&& write) const;

    Edition m_edition;
    QString m_directory;
};

} // namespace platform
