#include "import/NumbersInUse.h"

#include "data/schema/Schema.h"

#include <algorithm>

namespace import {

void NumbersInUse::noteHighest(const QString& table, qint64 number)
{
    qint64& highest = m_highest[table];
    highest = std::max(highest, number);
}

void NumbersInUse::noteIdentifier(const QString& table, qint64 number, bool imported)
{
    if (number <= 0)
        return;
    noteHighest(table, number);
    if (imported)
        m_imported[table].insert(number);
}

void NumbersInUse::noteReference(const QString& table, const QString& target, qint64 number, bool imported)
{
    if (number <= 0) // no row, or someone not registered
        return;
    noteHighest(target, number);
    if (imported)
        ++m_references[target][number][table];
}

QList<std::pair<QString, qint64>> NumbersInUse::highestByGenerator() const
{
    QList<std::pair<QString, qint64>> highest;
    for (auto it = m_highest.cbegin(); it != m_highest.cend(); ++it) {
        if (const data::GeneratorDef* generator = data::generatorFor(it.key()))
            highest.append({ generator->table, it.value() });
    }
    return highest;
}

QList<data::ImportLog::Missing> NumbersInUse::notImported() const
{
    QList<data::ImportLog::Missing> list;
    for (auto target = m_references.cbegin(); target != m_references.cend(); ++target) {
        const QSet<qint64> imported = m_imported.value(target.key());
        data::ImportLog::Missing missing { target.key(), {}, {} };
        for (auto number = target.value().cbegin(); number != target.value().cend(); ++number) {
            if (imported.contains(number.key()))
                continue;
            missing.numbers.append(number.key());
            for (auto from = number.value().cbegin(); from != number.value().cend(); ++from)
                missing.referringRows[from.key()] += from.value();
        }
        std::sort(missing.numbers.begin(), missing.numbers.end());
        if (!missing.numbers.isEmpty())
            list.append(missing);
    }
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.table < b.table; });
    return list;
}

} // namespace import
