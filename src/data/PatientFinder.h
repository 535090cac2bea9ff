#pragma once

#include <QList>
#include <QString>

#include <vector>

namespace db {
class Connection;
}

namespace data {

// One patient as the search box lists it.
struct FoundPatient {
    qint32 id = 0;
    QString name; // "LastName FirstName"
    QString phone; // the first phone there is
};

// The as-you-type patient search of the main window: every word typed must begin a surname or
// first name word, or (digits) be within a phone number or begin the patient's code; accents,
// case and the final sigma are ignored. The list is read once and searched in memory, in the
// order of surname and first name, so that a keystroke costs a scan, not a query.
class PatientFinder {
public:
    // Reads the patients again (a few hundred milliseconds for 50,000).
    void load(db::Connection& connection);
    qsizetype size() const { return qsizetype(m_entries.size()); }

    // At most `most` patients, in list order.
    QList<FoundPatient> find(const QString& typed, int most = 20) const;

    // Lower case without accents, a final sigma as any other: what is compared.
    static QString fold(const QString& text);

private:
    struct Entry {
        FoundPatient shown;
        QString words; // the folded names, each word after a blank: " papadopoulos giorgos"
        QString digits; // the phones' digits, each after a blank
        QString code; // the patient's code as text
        quint64 starts = 0; // a bit for each letter a name word begins with: most entries fail here
    };
    std::vector<Entry> m_entries;
};

} // namespace data
