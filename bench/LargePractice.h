#pragma once

#include <QDate>
#include <QList>
#include <QString>

namespace data {
class TDmForm;
}

namespace bench {

class Context;

// How large a practice is.
struct PracticeSize {
    int patients = 50000;
    int historyRows = 1000000;
    int ledgerRows = 300000;
    int appointments = 100000;

    QString key() const;
    // The large practice, or a tenth of it with --quick.
    static PracticeSize forRun(const Context& context);
};

// A large practice for the data module's measures: the demo practice's catalogues, dentists and
// a few full patients, then many patients with two sessions each, their treatment history,
// ledgers and appointments written by prepared inserts in one transaction. A few patients are
// made for the measures:
//  - one whose only session holds kLedgerRows ledger rows;
//  - kHeavyPatients with kHeavyHistory history rows each and something of every dependant
//    (sessions, ledger, medical history, family, recalls, answers, perio, endo, notes,
//    colours, photos).
// Generating takes a while at full size, so the result is kept under the build directory,
// keyed by the size, and copied for each run (the measures write to it).
class LargePractice {
public:
    static constexpr int kLedgerRows = 2000;
    static constexpr int kHeavyPatients = 6;
    static constexpr int kHeavyHistory = 500;
    static inline const QDate kToday {2026, 12, 7};

    LargePractice(Context& context, PracticeSize size);

    // A fresh copy of the practice's data directory.
    QString copy(const QString& name) const;
    const PracticeSize& size() const { return m_size; }
    double generationMs() const { return m_generationMs; } // 0 when it came from the cache

    int ledgerPatient() const { return m_ledgerPatient; }
    const QList<int>& heavyPatients() const { return m_heavyPatients; }
    // Ordinary patients, each with a current session, in a fixed order.
    const QList<int>& ordinaryPatients() const { return m_ordinary; }

private:
    void generate(const QString& path);
    void readMarks(const QString& path);

    Context& m_context;
    PracticeSize m_size;
    QString m_cached;
    double m_generationMs = 0;
    int m_ledgerPatient = 0;
    QList<int> m_heavyPatients;
    QList<int> m_ordinary;
};

// A level-2 treatment row through the history view of the current session, as the dental chart
// enters one; its charge follows by the data module's rules.
void enterTreatment(data::TDmForm& dm, int operation, double euro, int tooth);

} // namespace bench
