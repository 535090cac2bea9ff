#pragma once

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace data {

// A field that holds the number of a row of another table (History.PatientID: a patient).
struct NumberReference {
    QString table;
    QString field;
    QString target; // the table whose identifier the number is
};
// Every such field of our record formats.
const QList<NumberReference>& numberReferences();

// What an import of an old installation left out, kept in the new data directory so that
// --check-data tells a table left empty or short on purpose, and rows that refer to rows that
// were not imported, from damage to the database.
struct ImportLog {
    static constexpr const char* kFileName = "ImportReport.json";

    struct Table {
        QString table; // ours: History
        QString file; // History.DB; empty when the old directory had none
        qint64 read = 0;
        qint64 imported = 0;
        QString unreadable; // why the file could not be read; empty when it was
    };
    struct Row {
        QString table;
        QString key; // "PatientID 12"
        QString reason;
    };
    // Numbers of `table` that rows imported refer to, although no row of that number was imported.
    struct Missing {
        QString table;
        QList<qint64> numbers; // ascending
        QMap<QString, qint64> referringRows; // by referring table
    };

    QString from; // the old directory
    QDateTime at;
    QList<Table> tables;
    QList<Row> refused;
    QList<Missing> missing;

    // A table of ours the import left empty although the old practice had rows for it or had
    // no file of it at all.
    bool leftEmpty(const QString& table) const;
    // A number of `table` that rows refer to and the import did not bring.
    bool notBrought(const QString& table, qint64 number) const;
    // One sentence for each table left empty or short, and each table whose rows refer to
    // rows not imported; empty when the import brought everything.
    QStringList leftOut() const;

    // Written into, and read from, the data directory; nothing when it has none (a practice
    // made otherwise). db::DatabaseError when it cannot be written or read.
    void write(const QString& directory) const;
    static std::optional<ImportLog> read(const QString& directory);
};

} // namespace data
