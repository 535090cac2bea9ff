#include "PlainViews.h"

#include "Measure.h"

#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Dataset.h"
#include "db/RowStore.h"
#include "db/SqlBuilder.h"

#include <QSqlError>
#include <QSqlRecord>

namespace bench {

struct PlainViews::View {
    QString name;
    bool isQuery = false;
    bool filtered = false;
    int master = -1; // index of the master among the views, -1 when none is read here
    QStringList masterFields;
    int linkCount = 0; // leading conditions that carry the master's values
    db::ViewSpec shape;
    QVariantMap params;
    QSqlQuery rows;
    QSqlQuery locators;
    QSqlQuery byKey;
    QStringList columns; // of `first`, in order
    QVariantList first; // the first row read: what the details take their values from
};

PlainViews::PlainViews(const db::Connection& connection, const QList<db::Dataset*>& views)
    : m_connection(connection)
{
    // Masters first, whatever order the views were opened in.
    QList<db::Dataset*> pending = views;
    QList<db::Dataset*> ordered;
    while (!pending.isEmpty()) {
        const qsizetype before = pending.size();
        for (qsizetype i = 0; i < pending.size();) {
            db::Dataset* master = pending[i]->master() ? pending[i]->master()->dataset() : nullptr;
            if (master && pending.contains(master) && master != pending[i]) {
                ++i;
                continue;
            }
            ordered.append(pending.takeAt(i));
        }
        if (pending.size() == before)
            fail(QStringLiteral("the master links of the views go round in a circle"));
    }
    for (db::Dataset* source : std::as_const(ordered)) {
        auto view = std::make_unique<View>();
        view->name = source->objectName();
        view->isQuery = source->isQuery();
        view->filtered = source->isFiltered();
        if (view->isQuery) {
            view->params = source->params();
            view->rows = prepared(connection, source->statement());
        } else {
            view->shape = source->readSpec();
            view->columns = view->shape.columns;
            if (source->master()) {
                view->master = int(ordered.indexOf(source->master()->dataset()));
                view->masterFields = source->masterFields();
                view->linkCount = int(source->detailFields().size());
            }
            view->rows = prepared(connection, db::sql::selectRows(view->shape));
            view->locators = prepared(connection, db::sql::selectLocators(view->shape));
        }
        m_views.push_back(std::move(view));
    }
}

PlainViews::~PlainViews() = default;

void PlainViews::read(const QString& rootKey, const QVariant& rootValue)
{
    m_rootKey = rootKey;
    m_rootValue = rootValue;
    for (size_t i = 0; i < m_views.size(); ++i)
        readView(*m_views[i], int(i));
}

void PlainViews::keep(View& view, QSqlQuery& query, bool isFirst)
{
    const int columns = query.record().count();
    QVariantList row;
    row.reserve(columns);
    for (int c = 0; c < columns; ++c)
        row.append(query.value(c));
    if (isFirst) {
        if (view.isQuery && view.columns.isEmpty()) {
            for (int c = 0; c < columns; ++c)
                view.columns.append(query.record().fieldName(c));
        }
        view.first = std::move(row);
    }
    ++m_rowsRead;
}

void PlainViews::readView(View& view, int index)
{
    view.first.clear();
    if (view.isQuery)
        readQuery(view, index);
    else if (index == 0 && !m_rootKey.isEmpty())
        readByKey(view);
    else
        readTable(view);
}

void PlainViews::readQuery(View& view, int index)
{
    // Each parameter from the first column of its name read so far.
    for (auto it = view.params.begin(); it != view.params.end(); ++it) {
        for (int v = 0; v < index; ++v) {
            const View& earlier = *m_views[size_t(v)];
            const qsizetype at = earlier.columns.indexOf(it.key(), Qt::CaseInsensitive);
            if (at >= 0 && !earlier.first.isEmpty()) {
                it.value() = earlier.first.value(earlier.isQuery ? at : at + 1);
                break;
            }
        }
        view.rows.bindValue(QLatin1Char(':') + it.key(), it.value());
    }
    run(view.rows);
    for (bool isFirst = true; view.rows.next(); isFirst = false)
        keep(view, view.rows, isFirst);
    view.rows.finish();
}

void PlainViews::readByKey(View& view)
{
    // The first view is positioned by key, as a locate does.
    if (view.byKey.lastQuery().isEmpty())
        view.byKey = prepared(m_connection, db::sql::selectFirstRow(view.shape, {m_rootKey}));
    const QVariantList bound = db::sql::conditionValues(view.shape) + QVariantList{m_rootValue};
    for (int i = 0; i < bound.size(); ++i)
        view.byKey.bindValue(i, bound[i]);
    run(view.byKey);
    if (view.byKey.next())
        keep(view, view.byKey, true);
    view.byKey.finish();
}

void PlainViews::readTable(View& view)
{
    QVariantList bound = db::sql::conditionValues(view.shape);
    if (view.master >= 0) {
        const View& master = *m_views[size_t(view.master)];
        if (master.first.isEmpty())
            return; // a master without rows has no details
        for (int i = 0; i < view.linkCount; ++i) {
            const qsizetype at = master.columns.indexOf(view.masterFields.value(i), Qt::CaseInsensitive);
            bound[i] = master.first.value(master.isQuery ? at : at + 1); // the locator comes first
        }
    }
    for (int i = 0; i < bound.size(); ++i)
        view.rows.bindValue(i, bound[i]);
    run(view.rows);
    // As a view reads: values of the first rows, then only the locators of a long one.
    int count = 0;
    bool more = false;
    while (view.rows.next()) {
        if (!view.filtered && count == db::RowStore::kEagerRows) {
            more = true;
            break;
        }
        keep(view, view.rows, count == 0);
        ++count;
    }
    view.rows.finish();
    if (!more)
        return;
    for (int i = 0; i < bound.size(); ++i)
        view.locators.bindValue(i, bound[i]);
    run(view.locators);
    QList<qint64> locators;
    while (view.locators.next())
        locators.append(view.locators.value(0).toLongLong());
    view.locators.finish();
}

} // namespace bench
