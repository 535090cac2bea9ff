#include "platform/Settings.h"

#include "platform/Directories.h"

#include <QDir>
#include <QLocale>

#include <cmath>
#include <limits>

#include <type_traits>

namespace platform {
namespace {

// Keys of the edition's section of PV.INI, each with its default.
struct BoolKey {
    const char* name;
    bool defaultValue;
};
struct IntKey {
    const char* name;
    int defaultValue;
};

constexpr IntKey kMultiUserType { "MultiUserType", 0 };
constexpr IntKey kLumetrixLink { "LumetrixLink", 1 };
constexpr IntKey kDefaultDocId { "DefaultDocIDEdit_Text", 0 };
constexpr IntKey kSlotMinutes { "RxSpinEdit1_Value", 30 };
constexpr IntKey kDeleteAfterDays { "RxSpinEdit2_Value", 30 };
constexpr IntKey kWindowsCache { "WindowsCache", 0 };
constexpr BoolKey kDelApps { "DelApps", true };
constexpr BoolKey kAutoBackUp { "AutoBackUp", true };
constexpr BoolKey kShowInitialChart { "ShowInitialChart", false };
constexpr BoolKey kDefaultAppointmentPatient { "DefaultAppointmentPatient", true };
constexpr BoolKey kShowAllReminders { "ShowAllRemindersAtStartUp", true };
constexpr const char* kLastAccess = "LastAccess";
constexpr const char* kVisPathName = "VisPathName";
constexpr const char* kXRaysPath = "XRaysPath";
constexpr const char* kToolBarVisible = "ToolBar_Visible";
constexpr const char* kToolBarItems = "ToolBar_Items";

constexpr const char* kEuroSection = "EURO";
constexpr const char* kEuroRate = "Currency";
constexpr const char* kAdvancedSection = "Advanced";
constexpr const char* kProgNotesOn = "ProgNotesOn";
constexpr const char* kEditionKey = "Edition";
constexpr const char* kRolesSection = "Roles";
constexpr const char* kAliasDriver = "Driver";
constexpr const char* kAliasPath = "Path";
constexpr const char* kPasswordsSection = "Passwords";
constexpr const char* kPerioSection = "PerioColors";
constexpr IntKey kPdRiskLevel { "PDRiskLevel", 4 };
constexpr const char* kAlarmSection = "PatientHistImageAlarm";
constexpr const char* kAppointmentFormSection = "AppointmentForm";
constexpr const char* kDefaultColWidth = "AppointmentGrid_DefaultColWidth";

// In the order of Settings::PerioColor.
constexpr IntKey kPerioColors[] = {
    { "GMColor", 0x808080 },
    { "BLColor", 255 },
    { "PDLowerColor", 32768 },
    { "PDGreaterColor", 255 },
    { "PlaqueColor", 0 },
    { "MOBColor", 0 },
    { "PeriColor", 0 },
    { "FURColor", 0 },
};

QString str(const char* latin1)
{
    return QString::fromLatin1(latin1);
}

QString directoryOrDefault(const QString& directory)
{
    return directory.isEmpty() ? configDir() : directory;
}

} // namespace

QString editionName(Edition edition)
{
    return edition == Edition::Medical ? QStringLiteral("Telvi") : QStringLiteral("Orvane");
}

Settings::Settings(Edition edition, QString directory)
    : m_edition(edition)
    , m_directory(directoryOrDefault(directory))
{
}

QString Settings::filePath(const QString& fileName) const
{
    return findFileNoCase(m_directory, fileName);
}

QString Settings::placementFilePath() const
{
    return filePath(section() + QStringLiteral(".INI"));
}

template<typename Write> void Settings::writeMain(Write&& write) const
{
    IniFile file = mainFile();
    write(file);
    file.save();
}

std::optional<Edition> Settings::readEdition(const QString& directory)
{
    const IniFile file(findFileNoCase(directoryOrDefault(directory), str(kMakerFile)));
    const QString value = file.readString(str(kAdvancedSection), str(kEditionKey), QStringLiteral("dental"));
    const auto is = [&value](const char* name) { return value.compare(str(name), Qt::CaseInsensitive) == 0; };
    if (is("dental") || is("Orvane"))
        return Edition::Dental;
    if (is("medical") || is("Telvi"))
        return Edition::Medical;
    return std::nullopt;
}

void Settings::writeEdition(Edition edition, const QString& directory)
{
    IniFile file(findFileNoCase(directoryOrDefault(directory), str(kMakerFile)));
    file.writeString(str(kAdvancedSection), str(kEditionKey),
        edition == Edition::Medical ? QStringLiteral("medical") : QStringLiteral("dental"));
    file.save();
}

namespace {

// Reads and writes of one key of the edition's section, so each accessor below is one line.
int get(const Settings& s, IntKey key)
{
    return IniFile(s.mainFilePath()).readInteger(s.section(), str(key.name), key.defaultValue);
}

bool get(const Settings& s, BoolKey key)
{
    return IniFile(s.mainFilePath()).readBool(s.section(), str(key.name), key.defaultValue);
}

template<typename Key, typename Value> void put(const Settings& s, Key key, Value value)
{
    IniFile file(s.mainFilePath());
    if constexpr (std::is_same_v<Value, bool>)
        file.writeBool(s.section(), str(key.name), value);
    else
        file.writeInteger(s.section(), str(key.name), value);
    file.save();
}

} // namespace

// clang-format off: one line per key reads as the table it is
int Settings::lumetrixLink() const
{
    return get(*this, kLumetrixLink);
}
void Settings::setLumetrixLink(int value)
{
    put(*this, kLumetrixLink, value);
}
int Settings::defaultDoctorId() const
{
    return get(*this, kDefaultDocId);
}
void Settings::setDefaultDoctorId(int id)
{
    put(*this, kDefaultDocId, id);
}
int Settings::appointmentSlotMinutes() const
{
    return get(*this, kSlotMinutes);
}
void Settings::setAppointmentSlotMinutes(int minutes)
{
    put(*this, kSlotMinutes, minutes);
}
int Settings::deleteAppointmentsAfterDays() const
{
    return get(*this, kDeleteAfterDays);
}
void Settings::setDeleteAppointmentsAfterDays(int days)
{
    put(*this, kDeleteAfterDays, days);
}
int Settings::windowsCache() const
{
    return get(*this, kWindowsCache);
}
void Settings::setWindowsCache(int value)
{
    put(*this, kWindowsCache, value);
}
bool Settings::deleteOldAppointments() const
{
    return get(*this, kDelApps);
}
void Settings::setDeleteOldAppointments(bool on)
{
    put(*this, kDelApps, on);
}
bool Settings::autoBackUp() const
{
    return get(*this, kAutoBackUp);
}
void Settings::setAutoBackUp(bool on)
{
    put(*this, kAutoBackUp, on);
}
bool Settings::showInitialChart() const
{
    return get(*this, kShowInitialChart);
}
void Settings::setShowInitialChart(bool on)
{
    put(*this, kShowInitialChart, on);
}
bool Settings::defaultAppointmentPatient() const
{
    return get(*this, kDefaultAppointmentPatient);
}
void Settings::setDefaultAppointmentPatient(bool on)
{
    put(*this, kDefaultAppointmentPatient, on);
}
bool Settings::showAllRemindersAtStartUp() const
{
    return get(*this, kShowAllReminders);
}
void Settings::setShowAllRemindersAtStartUp(bool on)
{
    put(*this, kShowAllReminders, on);
}
// clang-format on

MultiUserType Settings::multiUserType() const
{
    switch (get(*this, kMultiUserType)) {
    case 1:
        return MultiUserType::Client;
    case 2:
        return MultiUserType::Server;
    default:
        return MultiUserType::StandAlone;
    }
}

void Settings::setMultiUserType(MultiUserType type)
{
    put(*this, kMultiUserType, int(type));
}

QString Settings::lastAccess() const
{
    return mainFile().readString(section(), str(kLastAccess));
}

void Settings::setLastAccess(const QString& shortDate)
{
    writeMain([&](IniFile& f) { f.writeString(section(), str(kLastAccess), shortDate); });
}

void Settings::recordStart(const QDate& today)
{
    setLastAccess(today.toString(QStringLiteral("dd/MM/yyyy"))); // the program's short date
}

QString Settings::visPathName() const
{
    return mainFile().readString(section(), str(kVisPathName));
}

void Settings::setVisPathName(const QString& path)
{
    writeMain([&](IniFile& f) { f.writeString(section(), str(kVisPathName), path); });
}

QString Settings::backUpFolder(const QString& dataRoot) const
{
    const QString folder = mainFile().readString(section(), QStringLiteral("BackUpFolder"));
    return folder.trimmed().isEmpty() ? QDir(dataRoot).filePath(QStringLiteral("Backups")) : folder;
}

void Settings::setBackUpFolder(const QString& folder)
{
    writeMain([&](IniFile& f) { f.writeString(section(), QStringLiteral("BackUpFolder"), folder); });
}

QString Settings::xRaysPath(const QString& dataRoot) const
{
    return mainFile().readString(section(), str(kXRaysPath), dataRoot);
}

void Settings::setXRaysPath(const QString& path)
{
    writeMain([&](IniFile& f) { f.writeString(section(), str(kXRaysPath), path); });
}

bool Settings::toolBarVisible(bool designed) const
{
    return mainFile().readBool(section(), str(kToolBarVisible), designed);
}

void Settings::setToolBarVisible(bool visible)
{
    writeMain([&](IniFile& f) { f.writeBool(section(), str(kToolBarVisible), visible); });
}

QString Settings::toolBarItems() const
{
    return mainFile().readString(section(), str(kToolBarItems));
}

void Settings::setToolBarItems(const QString& items)
{
    writeMain([&](IniFile& f) { f.writeString(section(), str(kToolBarItems), items); });
}

double Settings::euroRate() const
{
    const IniFile file = mainFile();
    if (!file.contains(str(kEuroSection), str(kEuroRate)))
        return kDefaultEuroRate;
    // Every amount is completed with the rate: one that is not a positive number is refused
    // rather than replaced, so that no amount is stored with a rate nobody chose.
    const double rate = file.readFloat(str(kEuroSection), str(kEuroRate), std::numeric_limits<double>::quiet_NaN());
    if (!(rate > 0) || !std::isfinite(rate))
        throw BadSetting(file.path(), str(kEuroSection), str(kEuroRate), file.readString(str(kEuroSection), str(kEuroRate)),
            QStringLiteral("the rate must be a number greater than 0, such as 340.75"));
    return rate;
}

bool Settings::hasEuroRate() const
{
    return mainFile().contains(str(kEuroSection), str(kEuroRate));
}

void Settings::setEuroRate(double rate)
{
    if (!(rate > 0))
        throw SettingsError(QString::fromLatin1(kInvalidRateMessage));
    writeMain([&](IniFile& f) { f.writeFloat(str(kEuroSection), str(kEuroRate), rate); });
}

bool Settings::progNotesOn() const
{
    return mainFile().readString(str(kAdvancedSection), str(kProgNotesOn), QStringLiteral("n")) == u"y";
}

void Settings::setProgNotesOn(bool on)
{
    writeMain([&](IniFile& f) {
        f.writeString(
            str(kAdvancedSection), str(kProgNotesOn), on ? QStringLiteral("y") : QStringLiteral("n"));
    });
}

std::optional<int> Settings::userRole(const QString& user) const
{
    const IniFile file = mainFile();
    const QString key = user + QStringLiteral("Role");
    if (!file.contains(str(kRolesSection), key))
        return std::nullopt;
    return file.readInteger(str(kRolesSection), key, -1);
}

QString Settings::userPassword1(const QString& user) const
{
    return mainFile().readString(str(kPasswordsSection), user + QStringLiteral("Pwd1"));
}

QString Settings::userPassword2(const QString& user) const
{
    return mainFile().readString(str(kPasswordsSection), user + QStringLiteral("Pwd2"));
}

void Settings::setUser(const QString& user, int role, const QString& password1, const QString& password2)
{
    writeMain([&](IniFile& f) {
        f.writeInteger(str(kRolesSection), user + QStringLiteral("Role"), role);
        f.writeString(str(kPasswordsSection), user + QStringLiteral("Pwd1"), password1);
        f.writeString(str(kPasswordsSection), user + QStringLiteral("Pwd2"), password2);
    });
}

void Settings::setUserPasswords(const QString& user, const QString& password1, const QString& password2)
{
    writeMain([&](IniFile& f) {
        f.writeString(str(kPasswordsSection), user + QStringLiteral("Pwd1"), password1);
        f.writeString(str(kPasswordsSection), user + QStringLiteral("Pwd2"), password2);
    });
}

std::optional<QString> Settings::aliasPath() const
{
    const IniFile file(filePath(str(kAliasFile)));
    if (!file.contains(section(), str(kAliasPath)))
        return std::nullopt;
    return file.readString(section(), str(kAliasPath));
}

void Settings::setAliasPath(const QString& dataDirectory)
{
    IniFile file(filePath(str(kAliasFile)));
    file.writeString(section(), str(kAliasDriver), QStringLiteral("SQLITE"));
    file.writeString(section(), str(kAliasPath), dataDirectory);
    file.save();
}

void Settings::deleteAlias()
{
    IniFile file(filePath(str(kAliasFile)));
    file.removeSection(section());
    file.save();
}

int Settings::perioColor(PerioColor which) const
{
    const IntKey& key = kPerioColors[int(which)];
    return mainFile().readInteger(str(kPerioSection), str(key.name), key.defaultValue);
}

void Settings::setPerioColor(PerioColor which, int bgr)
{
    const IntKey& key = kPerioColors[int(which)];
    writeMain([&](IniFile& f) { f.writeInteger(str(kPerioSection), str(key.name), bgr); });
}

int Settings::pdRiskLevel() const
{
    return mainFile().readInteger(str(kPerioSection), str(kPdRiskLevel.name), kPdRiskLevel.defaultValue);
}

void Settings::setPdRiskLevel(int millimetres)
{
    writeMain([&](IniFile& f) { f.writeInteger(str(kPerioSection), str(kPdRiskLevel.name), millimetres); });
}

bool Settings::alarmChosen() const
{
    return mainFile().hasSection(str(kAlarmSection));
}

bool Settings::patientHistImageAlarm(const QString& fieldComponent) const
{
    return mainFile().readBool(str(kAlarmSection), fieldComponent, false);
}

void Settings::setPatientHistImageAlarm(const QString& fieldComponent, bool on)
{
    writeMain([&](IniFile& f) { f.writeBool(str(kAlarmSection), fieldComponent, on); });
}

int Settings::appointmentGridDefaultColWidth(int designed) const
{
    return IniFile(placementFilePath())
        .readInteger(str(kAppointmentFormSection), str(kDefaultColWidth), designed);
}

void Settings::setAppointmentGridDefaultColWidth(int width)
{
    IniFile file(placementFilePath());
    file.writeInteger(str(kAppointmentFormSection), str(kDefaultColWidth), width);
    file.save();
}

} // namespace platform
