#pragma once

#include "db/Connection.h"
#include "db/TableDef.h"

namespace bench {

// A practice-sized database: masters (think patients) each with the same number of detail
// rows (think treatment history), written once per run in one transaction.
class BenchData {
public:
    BenchData(const QString& directory, int masters, int detailsPerMaster);

    const db::ConnectionProfile& profile() const { return m_profile; }
    int masters() const { return m_masters; }
    int details() const { return m_masters * m_detailsPerMaster; }
    double generationMs() const { return m_generationMs; }

    static const db::TableDef& masterTable();
    static const db::TableDef& detailTable();
    // The name of master row `id`: unique, so that a locate by name has one answer.
    static QString masterName(int id);

private:
    db::ConnectionProfile m_profile;
    int m_masters;
    int m_detailsPerMaster;
    double m_generationMs = 0;
};

} // namespace bench
