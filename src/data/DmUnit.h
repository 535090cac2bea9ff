#pragma once

#include "data/AppointmentsArea.h"
#include "data/AuditTrail.h"
#include "data/ClinicalArea.h"
#include "data/DataDirectory.h"
#include "data/FinanceArea.h"
#include "data/LedgerBalance.h"
#include "data/ListsArea.h"
#include "data/Money.h"
#include "data/PatientsArea.h"
#include "data/SuppliesArea.h"
#include "db/Dataset.h"
#include "db/Errors.h"
#include "platform/MessageTexts.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace db {
class ChangeWatcher;
class Connection;
class DataSource;
class Generators;
class UpdateGroup;
struct ConnectionProfile;
} // namespace db

namespace platform {
class Settings;
enum class MultiUserType;
} // namespace platform

namespace data {

// A view could not be opened at start; `table()` is the table (or query) being opened.
class DmOpenError : public db::DatabaseError {
public:
    DmOpenError(const QString& table, const QString& cause);
    const QString& table() const { return m_table; }

private:
    QString m_table;
};

// The message shown when the data cannot be opened at start: a stand-alone or server
// workstation points at its own repair command, a client names the table it could not reach.
QString openFailureMessage(platform::MultiUserType type, const QString& table, const platform::MessageTexts& texts);

// Age in whole years, rounded (30 years and 7 months give 31); a baby counts as 1; empty
// without a birth date.
QVariant patientAge(const QDate& birthDate, const QDate& today);
// "Last First", or the last name alone when there is no first name.
QString fullName(const QVariant& last, const QVariant& first);

// The data module: one object for the whole run. Owns the database connection, the identifier
// generators and the areas (lists, patients, appointments, supplies and lab work, clinical
// records, finance), each of which owns its views (db::Dataset, objectName is the view's
// name, a data source beside each) and record rules; keeps the services every area and window
// shares; and opens every view at start.
//
//     auto dm = data::TDmForm::connect(profile);          // DmOpenError when there is no database
//     dm->openAtStart(settings, [&](int percent) { status.setProgress(percent); });
//     dm->patients().PatientsTable->first();
class TDmForm : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kDatabaseName = "PallavorDB";
    using Progress = std::function<void(int percent)>;

    // Builds every view on the connections; nothing is opened yet.
    explicit TDmForm(DataConnections connections, QObject* parent = nullptr);
    ~TDmForm() override;

    // Connects to the database of a profile (an SQLite data directory must already hold one).
    // Throws DmOpenError naming the database when it cannot be reached.
    static std::unique_ptr<TDmForm> connect(const db::ConnectionProfile& profile, QObject* parent = nullptr);

    ListsArea& lists() { return *m_lists; }
    PatientsArea& patients() { return *m_patients; }
    AppointmentsArea& appointments() { return *m_appointments; }
    SuppliesArea& supplies() { return *m_supplies; }
    ClinicalArea& clinical() { return *m_clinical; }
    FinanceArea& finance() { return *m_finance; }

    // The start: default dentist, EURO rate, money formats, old appointments, then every view
    // in the start-up order with the progress at each mark (0 … 100). On a failure every view
    // is closed again and DmOpenError names the table being opened (it is also left in
    // platform::session().openingTable for the start-up window).
    void openAtStart(const platform::Settings& settings, const Progress& progress = {}, QDate today = QDate::currentDate());

    // Opens a view and translates its fields' display labels (once per view).
    void OpenTable(db::Dataset& view);
    // Closes every view and writes the database log into the file. Never throws: a failure is
    // logged in exceptions.log and its text returned (empty when all went well).
    QString closeAll() noexcept;
    // The database could only be opened for reading (see db::Connection::isReadOnly()).
    bool isReadOnly() const;
    // What the user should be told after openAtStart(): the data can only be read, the record
    // numbers are locked. The start shows them; the commands without windows print them.
    const QStringList& startNotices() const { return m_startNotices; }

    // Takes the next identifier of a generator, named by its table ("LastPat") or its view
    // ("LastPatTable").
    qint32 NextID(const QString& generator);
    // Reads the view again, so that other workstations' changes show (every commit is on the
    // disk already); a closed view is opened for the moment.
    void FlushTable(db::Dataset& view);

    // Every view and query by name (exact, then ignoring case); nullptr when there is none.
    db::Dataset* findView(QStringView name) const;
    db::DataSource* findSource(QStringView name) const;
    const QList<db::Dataset*>& views() const { return m_views; }
    db::DataSource* sourceOf(const db::Dataset* view) const;
    // False for the queries whose statement a window sets before each use.
    static bool hasStatement(const db::Dataset& view);

    db::Connection& connection() const { return *Database; }
    db::Generators& generators() const { return *m_generators; }
    MoneyState& money() { return m_money; }
    const platform::MessageTexts& lang() const { return *Lang; }

    int defaultDentist() const { return m_defaultDentist; }
    // Keeps the default dentist for new rows and writes it to the settings.
    void setDefaultDentist(int dentistId, platform::Settings settings);
    const QString& openingTable() const { return m_openingTable; }

    // Gives the money fields of every view with amounts their display and edit formats.
    void applyMoneyFormats();
    // Completes the money pairs of the view's row being edited with the current rate: in EURO
    // mode the local amounts from the EURO ones, otherwise the reverse.
    void ConvertTwins(db::Dataset& view);
    // True while ConvertTwins is writing: amounts it completes are no user's input.
    bool convertingTwins() const { return m_convertingTwins; }
    // The views whose rows are completed before and after their area's rule at every post.
    QList<db::Dataset*> moneyViews();

    std::unique_ptr<db::Connection> Database;
    // The translations of the messages the rules show and of the field labels.
    std::unique_ptr<platform::MessageTexts> Lang;
    db::DataSource* ActiveSrc = nullptr;

    // --- storing changes (DmStore.cpp) ---
    // After a post or delete of a master view its group of views with cached updates is
    // written in one transaction and the group's tables are flushed; after a cancel the group's
    // pending changes are dropped. Every master's after-rules call these; rules call them
    // directly only when they need the same outside a post.
    void storeGroup(db::Dataset& master);
    void discardGroup(db::Dataset& master);
    // True while the view's posts stay pending (a StoreHold, or a companion of a master in edit).
    bool storeHeld(const db::Dataset& view) const;
    // While it lives, posts and deletes of these views stay pending instead of being stored:
    // for a dialog that keeps changes over several posts until OK (storeGroup) or Cancel.
    class StoreHold {
    public:
        StoreHold(TDmForm& dm, const QList<db::Dataset*>& views);
        ~StoreHold();
        StoreHold(const StoreHold&) = delete;
        StoreHold& operator=(const StoreHold&) = delete;

    private:
        TDmForm& m_dm;
        QList<db::Dataset*> m_views;
    };
    // The save question for a window that is left with unsaved changes: posts at once with
    // `autoPost`, otherwise asks Yes (post), No (cancel) or Cancel (false, the edit stays open).
    // A post refused by a rule also gives false. True at once when nothing is being edited.
    bool AskToPost(db::Dataset& view, bool autoPost = false);
    // An index on the view's table over its first field; needs the database to itself.
    void AddIndex(db::Dataset& view);

    // --- other workstations (DmLiveRefresh.cpp) ---
    // From now on every open view of a table another workstation changes is read again within
    // a second, keeping its current row; a view in edit keeps the user's row and is read once
    // it is stored or cancelled. False when the database has no change feed (one made before
    // it: --repair-data adds it); the Refresh command works either way.
    bool watchOtherWorkstations();
    // The tables the data module is told other workstations changed.
    void followOtherWorkstations(const QStringList& tables);

Q_SIGNALS:
    // A patient and the rows stored with it were written: a family window and the main
    // window's status refresh.
    void patientStored();
    // A new or edited patient was cancelled: the patient window shows the row again.
    void patientDiscarded();
    // A patient was refused for want of a last name: the patient window focuses that box.
    void lastNameMissing();
    // A periodontal chart row was started, put into edit or is about to be stored: an open
    // periodontal chart window refreshes its controls.
    void perioChanged();
    // Another workstation changed these tables (their names as the change feed gives them).
    void changedElsewhere(const QStringList& tables);
    // The database server stopped answering (false) or answers again (true), its connections
    // opened again by themselves.
    void serverAvailabilityChanged(bool available);

private:
    friend class DmArea;
    // A view on a table of the schema, or of a statement, registered with its data source.
    db::Dataset* addView(const char* name, const db::TableDef* def, const QString& sql, const QList<db::FieldDef>& fields);
    void installMoneyRules();
    void readSettings(const platform::Settings& settings);
    void moveGeneratorsBehindUse();

    std::unique_ptr<db::Connection> m_generatorStore;
    std::unique_ptr<db::Generators> m_generators;
    MoneyState m_money;
    QList<db::Dataset*> m_views;
    QHash<const db::Dataset*, db::DataSource*> m_sources;
    QSet<const db::Dataset*> m_labelsTranslated;
    int m_defaultDentist = 0;
    QString m_openingTable;
    QStringList m_startNotices;
    bool m_convertingTwins = false;

    // Areas in the order they are built: each may use the views of those before it.
    ListsArea* m_lists = nullptr;
    PatientsArea* m_patients = nullptr;
    AppointmentsArea* m_appointments = nullptr;
    SuppliesArea* m_supplies = nullptr;
    ClinicalArea* m_clinical = nullptr;
    FinanceArea* m_finance = nullptr;

    // Storing changes (DmStore.cpp); the areas declare the groups and the money views.
    void installStoreGroups();
    const StoreGroup* storeGroupOf(const db::Dataset& master) const;
    std::vector<StoreGroup> m_storeGroups;
    QHash<const db::Dataset*, db::Dataset*> m_companionOf; // stored with this master while it is edited
    QHash<const db::Dataset*, int> m_storeHolds;
    std::vector<MoneyView> m_moneyViews;

    // Other workstations (DmLiveRefresh.cpp); the watcher goes before the connection.
    bool readsAnyOf(const db::Dataset& view, const QSet<QString>& tables);
    std::unique_ptr<db::ChangeWatcher> m_watcher;
    std::unique_ptr<QTimer> m_followLater;
    QSet<QString> m_othersChanged; // lower-case table names not followed yet
    QSet<db::Dataset*> m_viewsToFollow; // were in edit when their table changed
    QHash<QString, QSet<QString>> m_tablesOfStatement;
    // Last, so that it stops recording before anything of the connection goes.
    std::unique_ptr<AuditTrail> m_audit;
};

// The field labels of a view in the language of the texts, as the data module shows them.
void translateLabels(db::Dataset& view, const platform::MessageTexts& texts);

} // namespace data
