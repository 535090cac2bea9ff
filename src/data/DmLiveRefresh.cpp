// Other workstations' changes shown without the Refresh command.
#include "data/DmUnit.h"

#include "data/schema/Schema.h"
#include "db/ChangeFeed.h"
#include "db/Connection.h"
#include "platform/ExceptionLog.h"

#include <QRegularExpression>

namespace data {

bool TDmForm::watchOtherWorkstations()
{
    QStringList tables;
    for (const db::TableDef& table : schemaTables())
        tables.append(table.name);
    m_watcher = std::make_unique<db::ChangeWatcher>(*Database, tables);
    QObject::connect(m_watcher.get(), &db::ChangeWatcher::tablesChanged, this, &TDmForm::followOtherWorkstations);
    m_watcher->setOtherConnections([this] { return !m_generatorStore || m_generatorStore->reconnect(); });
    QObject::connect(
        m_watcher.get(), &db::ChangeWatcher::serverAvailabilityChanged, this, [this](bool available) {
            platform::exceptionLog::logException(available
                    ? QStringLiteral("The database server answers again; the connections are open again.")
                    : QStringLiteral("The database server stopped answering."));
            Q_EMIT serverAvailabilityChanged(available);
        });
    m_followLater = std::make_unique<QTimer>();
    m_followLater->setSingleShot(true);
    m_followLater->setInterval(db::ChangeWatcher::kPollMs / 2);
    QObject::connect(m_followLater.get(), &QTimer::timeout, this, [this] { followOtherWorkstations({}); });
    try {
        return m_watcher->start();
    } catch (const db::DatabaseError& e) {
        // The program works without it, as with a database made before it: Refresh reads again.
        platform::exceptionLog::logException(e, QStringLiteral("Watching for other workstations' changes"));
        m_watcher.reset();
        return false;
    }
}

bool TDmForm::readsAnyOf(const db::Dataset& view, const QSet<QString>& tables)
{
    if (!view.isQuery())
        return tables.contains(view.tableDef().name.toLower());
    auto known = m_tablesOfStatement.find(view.statement());
    if (known == m_tablesOfStatement.end()) {
        // The names a statement mentions: a word that is also a table's name counts.
        static const QRegularExpression word(QStringLiteral("[A-Za-z_][A-Za-z0-9_]*"));
        QSet<QString> names;
        for (const QRegularExpressionMatch& m : word.globalMatch(view.statement()))
            names.insert(m.captured().toLower());
        known = m_tablesOfStatement.insert(view.statement(), names);
    }
    return known->intersects(tables);
}

void TDmForm::followOtherWorkstations(const QStringList& tables)
{
    if (!tables.isEmpty())
        Q_EMIT changedElsewhere(tables);
    for (const QString& table : tables)
        m_othersChanged.insert(table.toLower());
    if (m_othersChanged.isEmpty() && m_viewsToFollow.isEmpty())
        return;
    // Not in the middle of storing something of ours (a question asked half-way).
    if (Database->inTransaction()) {
        if (m_followLater)
            m_followLater->start();
        return;
    }
    const QSet<QString> changed = std::exchange(m_othersChanged, {});
    QSet<db::Dataset*> waiting = std::exchange(m_viewsToFollow, {});
    // Masters come before their details in the list, so a detail reads once its master stands.
    for (db::Dataset* view : std::as_const(m_views)) {
        if (!view->isActive() || (!waiting.contains(view) && !readsAnyOf(*view, changed)))
            continue;
        try {
            if (!view->refreshForOthers())
                m_viewsToFollow.insert(view);
        } catch (const std::exception& e) {
            // The server may be gone for the moment: the next change or Refresh tries again.
            platform::exceptionLog::logException(e, QStringLiteral("Reading %1 again for another workstation").arg(view->objectName()));
        }
    }
    if (!m_viewsToFollow.isEmpty() && m_followLater)
        m_followLater->start();
}

} // namespace data
