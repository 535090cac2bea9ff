#include "data/DmArea.h"

#include "data/DmUnit.h"
#include "data/schema/Schema.h"
#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Dialect.h"
#include "db/Query.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"

namespace data {

DmArea::DmArea(TDmForm& dm)
    : QObject(&dm)
    , Database(dm.Database.get())
    , m_dm(dm)
{
}

ListsArea& DmArea::lists() const { return m_dm.lists(); }
PatientsArea& DmArea::patients() const { return m_dm.patients(); }
AppointmentsArea& DmArea::appointments() const { return m_dm.appointments(); }
SuppliesArea& DmArea::supplies() const { return m_dm.supplies(); }
ClinicalArea& DmArea::clinical() const { return m_dm.clinical(); }
FinanceArea& DmArea::finance() const { return m_dm.finance(); }

void DmArea::storeTogether(StoreGroup group)
{
    m_dm.m_storeGroups.push_back(std::move(group));
}

void DmArea::carriesMoney(db::Dataset* view, QStringList fields, MoneyView::Use use)
{
    m_dm.m_moneyViews.push_back({ view, std::move(fields), use });
}

db::Dataset* DmArea::table(const char* name, const char* tableName)
{
    const db::TableDef* def = schemaTable(QString::fromLatin1(tableName));
    Q_ASSERT_X(def, "DmArea::table", tableName);
    return m_dm.addView(name, def, {}, {});
}

db::Dataset* DmArea::table(const char* name, const db::TableDef& def)
{
    return m_dm.addView(name, &def, {}, {});
}

db::Dataset* DmArea::query(const char* name, const QString& sql, const QList<db::FieldDef>& fields)
{
    return m_dm.addView(name, nullptr, sql, fields);
}

db::DataSource* DmArea::sourceOf(const db::Dataset* view) const
{
    return m_dm.sourceOf(view);
}

void DmArea::lookup(db::Dataset* view, const db::FieldDef& def, const QString& keyField, db::Dataset* source, const QString& sourceKey,
    const QString& resultField)
{
    view->addLookupField(def, {keyField}, *source, {sourceKey}, resultField);
}

void DmArea::followParameters(db::Dataset* query, db::Dataset* master, const QStringList& params, bool alwaysOpen)
{
    auto follow = [query, master, params, alwaysOpen] {
        const bool hasRow = master->isActive() && !master->isEmpty();
        for (const QString& p : params)
            query->setParam(p, hasRow ? master->value(p) : QVariant());
        if (!query->isActive() && !alwaysOpen)
            return;
        try {
            query->close();
            query->open();
        } catch (const db::DatabaseError& e) {
            platform::exceptionLog::logException(e, query->objectName());
        }
    };
    QObject::connect(master, &db::Dataset::afterScroll, query, follow);
    QObject::connect(master, &db::Dataset::afterOpen, query, follow);
    QObject::connect(master, &db::Dataset::afterRefresh, query, follow);
}

qint32 DmArea::NextID(const QString& generator)
{
    return m_dm.NextID(generator);
}

void DmArea::OpenTable(db::Dataset& view)
{
    m_dm.OpenTable(view);
}

QString DmArea::message(const QString& text) const
{
    return m_dm.Lang->Message(text);
}

void DmArea::numberNewRow(db::Dataset& view)
{
    const db::TableDef& def = view.tableDef();
    const GeneratorDef* generator = generatorFor(def.name);
    Q_ASSERT_X(generator, "DmArea::numberNewRow", qPrintable(def.name));
    view.setValue(def.identifierField, NextID(generator->table));
}

void DmArea::rememberKey(db::Dataset& view, const QString& keyField)
{
    m_keyAtEdit.insert(&view, view.value(keyField));
}

void DmArea::refuseDuplicateKey(db::Dataset& view, const QString& keyField)
{
    const QVariant key = view.value(keyField);
    if (key.isNull())
        return;
    if (view.state() == db::DatasetState::Edit && m_keyAtEdit.value(&view) == key)
        return; // the row keeps its own key
    db::Query taken(*Database, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = :key")
                                   .arg(db::Dialect::quoted(view.tableDef().name), db::Dialect::quoted(keyField)));
    if (taken.bind(QStringLiteral("key"), key).scalar().toInt() == 0)
        return;
    platform::showError(message(QStringLiteral("The specified ID already exists")));
    throw db::Abort();
}

} // namespace data
