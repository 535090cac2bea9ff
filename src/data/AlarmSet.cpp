#include "data/AlarmSet.h"

#include "data/schema/Schema.h"
#include "db/Dataset.h"

namespace data {

namespace {
AlarmSet& loaded()
{
    static AlarmSet set;
    return set;
}
} // namespace

const AlarmSet& AlarmSet::current()
{
    return loaded();
}

void AlarmSet::setCurrent(const AlarmSet& set)
{
    loaded() = set;
}

AlarmSet AlarmSet::load(const platform::Settings& settings)
{
    AlarmSet set;
    const db::TableDef* history = schemaTable(u"CartAnamnestica");
    if (!history)
        return set;
    for (int position = 0; position < history->fields.size(); ++position) {
        const db::FieldDef& field = history->fields[position];
        if (field.type != db::FieldType::Boolean || field.name == QLatin1String("Saluta")
            || field.name == QLatin1String("Periodiche"))
            continue;
        if (position < kPositions && settings.patientHistImageAlarm(QStringLiteral("AnamnesticaTable") + field.name))
            set.m_bits.set(size_t(position));
    }
    return set;
}

bool AlarmSet::raisedBy(const std::function<QVariant(int position)>& valueAt) const
{
    for (int position = 0; position < kPositions; ++position) {
        if (m_bits.test(size_t(position)) && valueAt(position).toBool())
            return true;
    }
    return false;
}

bool AlarmSet::raisedByRow(const db::Dataset& history) const
{
    if (!history.isActive() || history.isEmpty())
        return false;
    return raisedBy([&history](int position) {
        return position < history.fieldCount() ? history.field(position).value() : QVariant();
    });
}

} // namespace data
