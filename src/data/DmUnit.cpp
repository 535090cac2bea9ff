#include "data/DmUnit.h"

#include "data/schema/Schema.h"
#include "db/ChangeFeed.h"
#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Generators.h"
#include "db/Query.h"
#include "platform/ExceptionLog.h"
#include "platform/Session.h"
#include "platform/Settings.h"

#include <QFile>
#include <QRegularExpression>

namespace data {
namespace {

// The data source of a view is named after it: "Src" in place of "Table" (or of the query's
// suffix), otherwise appended.
QString sourceName(const QString& view)
{
    if (view == QLatin1String("FirstLastDateQRY"))
        return QStringLiteral("FirstLasDateSrc"); // the name the windows already bind to
    static const QRegularExpression suffix(QStringLiteral("(Table|Tbl|Qry|QRY|Query)(\\d*)$"));
    const QRegularExpressionMatch m = suffix.match(view);
    if (m.hasMatch())
        return view.left(m.capturedStart()) + QStringLiteral("Src") + m.captured(2);
    return view + QStringLiteral("Src");
}

} // namespace

DmOpenError::DmOpenError(const QString& table, const QString& cause)
    : db::DatabaseError(QStringLiteral("Could not open %1").arg(table), cause)
    , m_table(table)
{
}

QString openFailureMessage(platform::MultiUserType type, const QString& table, const platform::MessageTexts& lang)
{
    if (type == platform::MultiUserType::Client)
        return lang.Message(QStringLiteral("Could not access Server Database!")) + QStringLiteral("\nERROR: ") + table;
    return lang.Message(QStringLiteral("Corrupt Data! Please try to run orvane --repair-data."));
}

TDmForm::TDmForm(DataConnections connections, QObject* parent)
    : QObject(parent)
    , Database(std::move(connections.data))
    , m_generatorStore(std::move(connections.generatorStore))
    , m_generators(std::move(connections.generators))
{
    setObjectName(QStringLiteral("DmForm"));
    Lang = std::make_unique<platform::MessageTexts>();
    ActiveSrc = new db::DataSource(this);
    ActiveSrc->setObjectName(QStringLiteral("ActiveSrc"));
    m_lists = new ListsArea(*this);
    m_patients = new PatientsArea(*this);
    m_appointments = new AppointmentsArea(*this);
    m_supplies = new SuppliesArea(*this);
    m_clinical = new ClinicalArea(*this);
    m_finance = new FinanceArea(*this);
    // Look-up sources and masters before the views that use them.
    m_lists->declareViews();
    m_patients->declareViews();
    m_appointments->declareViews();
    m_supplies->declareViews();
    m_clinical->declareViews();
    m_supplies->declareLabViews();
    m_finance->declareViews();
    // The order of installation matters nowhere: every rule names its stage.
    m_lists->installRules();
    m_patients->installRules();
    m_appointments->installRules();
    m_supplies->installRules();
    m_clinical->installRules();
    m_finance->installRules();
    m_lists->declareStorage();
    m_patients->declareStorage();
    m_appointments->declareStorage();
    m_supplies->declareStorage();
    m_clinical->declareStorage();
    m_finance->declareStorage();
    installStoreGroups();
    installMoneyRules();
    // A rate set to 1 or away from it changes how the local amounts look.
    QObject::connect(&m_money, &MoneyState::singleCurrencyChanged, this, [this] { applyMoneyFormats(); });
    m_audit = std::make_unique<AuditTrail>(*Database);
}

TDmForm::~TDmForm()
{
    // Details and look-ups refer to their masters: close everything before anything goes.
    closeAll();
    qDeleteAll(m_views);
    m_views.clear();
}

std::unique_ptr<TDmForm> TDmForm::connect(const db::ConnectionProfile& profile, QObject* parent)
{
    const QString name = QString::fromLatin1(kDatabaseName);
    DataConnections connections;
    try {
        if (profile.driver == db::ConnectionProfile::Driver::SQLite) {
            // Opening would create an empty database; a missing one is a failure to reach it.
            const DataDirectory directory(profile.dataDirectory);
            if (!directory.hasDatabase())
                throw db::DatabaseError(QStringLiteral("There is no database in %1.").arg(profile.dataDirectory));
            if (!QFile::exists(directory.generatorStorePath()))
                throw MissingGeneratorStore(QStringLiteral("The identifier store %1 is missing.").arg(directory.generatorStorePath()));
        } else if (!DataDirectory(profile.location()).hasDatabase()) {
            throw db::DatabaseError(QStringLiteral("The database %1 holds no practice: run orvane --init-data %1 to make one there.").arg(profile.location()));
        }
        connections.data = db::Connection::open(profile);
        connections.generatorStore = db::Connection::openGeneratorStore(profile);
        connections.generators = std::make_unique<db::Generators>(*connections.generatorStore, generatorDefinitions());
    } catch (const db::DatabaseError& e) {
        platform::session().openingTable = name;
        std::throw_with_nested(DmOpenError(name, e.message()));
    }
    auto dm = std::make_unique<TDmForm>(std::move(connections), parent);
    if (profile.driver == db::ConnectionProfile::Driver::SQLite) {
        QFile stored(DataDirectory(profile.dataDirectory).recallQueryPath());
        if (stored.open(QIODevice::ReadOnly)) {
            QString body = QString::fromUtf8(stored.readAll()).trimmed();
            while (body.endsWith(QLatin1Char(';')))
                body.chop(1);
            dm->patients().PatientsToReviewQry->setQuery(*dm->Database, QStringLiteral("SELECT * FROM (\n%1\n) AS PatientsForRecall").arg(body));
        }
    }
    return dm;
}

db::Dataset* TDmForm::addView(const char* name, const db::TableDef* def, const QString& sql, const QList<db::FieldDef>& fields)
{
    auto* view = new db::Dataset; // deleted in the destructor, after every view is closed
    view->setObjectName(QLatin1String(name));
    if (def) {
        view->setTable(*Database, *def);
    } else if (!sql.isEmpty()) {
        // Every parameter starts empty, so that the query opens before anything sets it.
        QVariantMap params;
        for (const QString& p : db::parseNamedParameters(sql).names)
            params.insert(p, QVariant());
        view->setQuery(*Database, sql, params);
        if (!fields.isEmpty())
            view->setQueryFields(fields);
    }
    auto* source = new db::DataSource(view, this);
    source->setObjectName(sourceName(view->objectName()));
    m_views.append(view);
    m_sources.insert(view, source);
    return view;
}

bool TDmForm::hasStatement(const db::Dataset& view)
{
    return view.isQuery() || !view.tableDef().name.isEmpty();
}

db::Dataset* TDmForm::findView(QStringView name) const
{
    for (db::Dataset* view : m_views) {
        if (view->objectName() == name)
            return view;
    }
    for (db::Dataset* view : m_views) {
        if (view->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return view;
    }
    return nullptr;
}

db::DataSource* TDmForm::findSource(QStringView name) const
{
    for (db::DataSource* source : std::as_const(m_sources)) {
        if (source->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return source;
    }
    return nullptr;
}

db::DataSource* TDmForm::sourceOf(const db::Dataset* view) const
{
    return m_sources.value(view);
}

void TDmForm::OpenTable(db::Dataset& view)
{
    m_openingTable = view.tableDef().name.isEmpty() ? view.objectName() : view.tableDef().name;
    view.open();
    if (m_labelsTranslated.contains(&view))
        return;
    translateLabels(view, *Lang);
    m_labelsTranslated.insert(&view);
}

void translateLabels(db::Dataset& view, const platform::MessageTexts& texts)
{
    for (int i = 0; i < view.fieldCount(); ++i)
        view.field(i).setLabel(texts.Message(view.field(i).label()));
}

bool TDmForm::isReadOnly() const
{
    return Database->isReadOnly();
}

QString TDmForm::closeAll() noexcept
{
    // Runs at the very end too (the destructor): nothing may escape, and what fails is logged
    // and handed back. The data stays as the last commit left it.
    QString problem;
    const auto note = [&problem](const QString& what, const std::exception& e) {
        platform::exceptionLog::logException(e, what);
        if (problem.isEmpty())
            problem = QString::fromUtf8(e.what());
    };
    if (m_watcher)
        m_watcher->stop();
    m_viewsToFollow.clear();
    // Details first, so that no detail follows a master that is closing.
    for (auto it = m_views.crbegin(); it != m_views.crend(); ++it) {
        try {
            (*it)->close();
        } catch (const std::exception& e) {
            note(QStringLiteral("Closing %1").arg((*it)->objectName()), e);
        }
    }
    // The database file itself complete, for a backup of the directory taken after the end.
    try {
        Database->flush();
    } catch (const std::exception& e) {
        note(QStringLiteral("Writing the log into the database file at the end"), e);
    }
    return problem;
}

qint32 TDmForm::NextID(const QString& generator)
{
    for (const GeneratorDef& g : generatorTables()) {
        if (g.table.compare(generator, Qt::CaseInsensitive) == 0 || g.view.compare(generator, Qt::CaseInsensitive) == 0)
            return m_generators->next(g.table);
    }
    throw db::DatabaseError(QStringLiteral("There is no identifier generator %1.").arg(generator));
}

void TDmForm::FlushTable(db::Dataset& view)
{
    // Every commit is on the disk already (Connection): what is left is to read the view
    // again, so that other workstations' changes show.
    const bool openedHere = !view.isActive();
    if (openedHere)
        view.open();
    view.refresh();
    if (openedHere)
        view.close();
}

void TDmForm::setDefaultDentist(int dentistId, platform::Settings settings)
{
    m_defaultDentist = dentistId;
    settings.setDefaultDoctorId(dentistId);
}

} // namespace data
