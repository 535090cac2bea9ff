#pragma once

#include "data/ImportTargetLog.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <utility>

namespace import {

// The numbers an old practice uses: every row's identifier and every number a row refers to,
// of rows imported or refused alike, so that no generator gives one of them out again; and the
// numbers imported rows refer to that no imported row has.
class NumbersInUse {
public:
    void noteIdentifier(const QString& table, qint64 number, bool imported);
    void noteReference(const QString& table, const QString& target, qint64 number, bool imported);

    // The highest number in use of each generator's series, by generator table.
    QList<std::pair<QString, qint64>> highestByGenerator() const;
    // By table referred to, the numbers of it referred to and not imported; ascending.
    QList<data::ImportLog::Missing> notImported() const;

private:
    void noteHighest(const QString& table, qint64 number);

    QHash<QString, qint64> m_highest; // by table
    QHash<QString, QSet<qint64>> m_imported; // by table: the identifiers imported
    // By table referred to, by number: the referring rows of each table.
    QHash<QString, QHash<qint64, QHash<QString, qint64>>> m_references;
};

} // namespace import
