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
    Q_EMIT notifier().changed();
}

AlarmSetSignals& AlarmSet::notifier()
{
    static AlarmSetSignals signalling;
    return signalling;
}

bool AlarmSet::chosen(const platform::Settings& settings, const QString& fieldName)
{
    if (settings.alarmChosen())
        return settings.patientHistImageAlarm(QStringLiteral("AnamnesticaTable") + fieldName);
    static const QStringList matters { QStringLiteral("Anestetici"), QStringLiteral("Cuore"),
        QStringLiteral("Pressione"), QStringLiteral("Allergie"), QStringLiteral("Diabete"),
        QStringLiteral("Epatiti"), QStringLiteral("Renali"), QStringLiteral("Emorragie"),
        QStringLiteral("Epilepsy"), QStringLiteral("HIV"), QStringLiteral("Gravidanza") };
    return matters.contains(fieldName);
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
        if (position < kPositions && chosen(settings, field.name))
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

QStringList AlarmSet::findings(const db::Dataset& history) const
{
    QStringList labels;
    if (!history.isActive() || history.isEmpty())
        return labels;
    for (int position = 0; position < std::min(kPositions, history.fieldCount()); ++position) {
        if (m_bits.test(size_t(position)) && history.field(position).value().toBool())
            labels.append(history.field(position).label());
    }
    return labels;
}

QString AlarmSet::describe(const QStringList& findings, const platform::MessageTexts& texts)
{
    QStringList words;
    for (const QString& finding : findings)
        words.append(texts.Message(finding));
    return texts.Message(QStringLiteral("Medical History")) + QStringLiteral(": ")
        + words.join(QStringLiteral(", "));
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
