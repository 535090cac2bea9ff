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

QStringList AlarmSet::chosenFields(const platform::Settings& settings)
{
    static const QStringList matters { QStringLiteral("Anestetici"), QStringLiteral("Cuore"),
        QStringLiteral("Pressione"), QStringLiteral("Allergie"), QStringLiteral("Diabete"),
        QStringLiteral("Epatiti"), QStringLiteral("Renali"), QStringLiteral("Emorragie"),
        QStringLiteral("Epilepsy"), QStringLiteral("HIV"), QStringLiteral("Gravidanza") };
    QStringList names;
    const db::TableDef* history = schemaTable(u"CartAnamnestica");
    if (!history)
        return names;
    const bool workstationChose = settings.alarmChosen(); // read once: each question reads the file
    for (const db::FieldDef& field : history->fields) {
        if (field.type != db::FieldType::Boolean || field.name == QLatin1String("Saluta")
            || field.name == QLatin1String("Periodiche"))
            continue;
        if (workstationChose ? settings.patientHistImageAlarm(QStringLiteral("AnamnesticaTable") + field.name)
                             : matters.contains(field.name))
            names.append(field.name);
    }
    return names;
}

AlarmSet AlarmSet::load(const platform::Settings& settings)
{
    AlarmSet set;
    const QStringList names = chosenFields(settings);
    const db::TableDef* history = schemaTable(u"CartAnamnestica");
    for (int position = 0; history && position < std::min(int(history->fields.size()), kPositions);
         ++position) {
        if (names.contains(history->fields[position].name))
            set.m_bits.set(size_t(position));
    }
    return set;
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

} // namespace data
