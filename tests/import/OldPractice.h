#pragma once

// A small practice of the old installation, written as Paradox tables with pxlib's writer.

#include "data/schema/Schema.h"
#include "import/ParadoxWriter.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QHash>
#include <QList>
#include <QTime>
#include <QVariant>

namespace testsupport {

// Rows by field name; written in the table's field order.
using OldRow = QHash<QString, QVariant>;

struct OldTable {
    QString name;
    QList<OldRow> rows;
};

inline void writeOldTable(const QString& directory, const QString& table, const QList<OldRow>& rows,
    int codePage = 1253, const QString& fileName = {})
{
    const db::TableDef* def = data::schemaTable(table);
    import::ParadoxWriter writer(
        QDir(directory).filePath(fileName.isEmpty() ? table + QStringLiteral(".DB") : fileName),
        import::ParadoxWriter::fieldsOf(*def), codePage);
    for (const OldRow& row : rows) {
        QVariantList values;
        for (const db::FieldDef& field : def->fields)
            values.append(row.value(field.name));
        writer.append(values);
    }
}

// A generator file of the old installation: one row, one number.
inline void writeOldGenerator(const QString& directory, const QString& name, int last)
{
    import::ParadoxWriter writer(QDir(directory).filePath(name + QStringLiteral(".DB")),
        { { QStringLiteral("LastID"),
            import::ParadoxType::Long } });
    writer.append({ last });
}

// Three patients with Greek names and memos (one longer than its record part), their sessions,
// treatment rows, ledger rows, appointments and medical histories.
inline QList<OldTable> smallPractice()
{
    const QString longRemark
        = QStringLiteral("Αλλεργία στην πενικιλλίνη. ").repeated(14); // past the 240 bytes in the record
    QList<OldTable> tables;
    tables.append({ QStringLiteral("Patient"),
        {
            { { "PatientID", 1 }, { "LastName", QStringLiteral("Παπαδόπουλος") },
                { "FirstName", QStringLiteral("Γιώργος") }, { "FatherName", QStringLiteral("Νικόλαος") },
                { "BirthDate", QDate(1961, 4, 23) }, { "Sex", true }, { "Remarks", longRemark },
                { "RecDate", QDate(2003, 1, 15) }, { "RecTime", QTime(10, 30) }, { "TherapySessionID", 2 },
                { "Discount", 10 }, { "ActiveTherapySession", true },
                { "FolderCode", QStringLiteral("\\xrays\\x1") } },
            { { "PatientID", 2 }, { "LastName", QStringLiteral("Οικονόμου") },
                { "FirstName", QStringLiteral("Ελένη") }, { "BirthDate", QDate(1975, 12, 1) },
                { "Sex", false }, { "Remarks", QStringLiteral("Σύντομη σημείωση") },
                { "RecallReason", QStringLiteral("Καθαρισμός") }, { "RecallDate", QDate(2004, 6, 1) },
                { "TherapySessionID", 3 }, { "NotActive", false } },
            { { "PatientID", 3 }, { "LastName", QStringLiteral("Smith") },
                { "FirstName", QStringLiteral("John") }, { "Email", QStringLiteral("j@example.org") },
                { "TypeProtectionFamily", 1 } },
        } });
    tables.append({ QStringLiteral("Sessions"),
        {
            { { "SessionID", 1 }, { "PatientID", 1 }, { "SessionNum", 1 }, { "Completed", true },
                { "ShowAllTeeth", true } },
            { { "SessionID", 2 }, { "PatientID", 1 }, { "SessionNum", 2 }, { "Completed", false } },
            { { "SessionID", 3 }, { "PatientID", 2 }, { "SessionNum", 1 } },
        } });
    tables.append({ QStringLiteral("History"),
        {
            { { "ID", 1 }, { "PatientID", 1 }, { "TherapySessionID", 1 }, { "OperID", 4 }, { "ToothNum", 16 },
                { "TreatmentLevel", 2 }, { "Date", QDate(2003, 2, 1) }, { "Cost", 50.5 },
                { "CostEURO", 50.5 }, { "Price", 50.5 }, { "PriceEURO", 50.5 }, { "Discount", 0.0 },
                { "IOFld", true }, { "Color", QStringLiteral("A2") } },
            { { "ID", 2 }, { "PatientID", 1 }, { "TherapySessionID", 2 }, { "OperID", 7 }, { "ToothNum", 21 },
                { "TreatmentLevel", 1 }, { "Date", QDate(2004, 3, 9) }, { "Cost", 0.0 } },
            { { "ID", 5 }, { "PatientID", 2 }, { "TherapySessionID", 3 }, { "OperID", 4 }, { "ToothNum", 36 },
                { "TreatmentLevel", 2 }, { "Date", QDate(2004, 5, 2) }, { "Cost", 120.0 },
                { "IOFld", false } },
        } });
    tables.append({ QStringLiteral("PatEconomics"),
        {
            { { "EconomID", 1 }, { "PatientID", 1 }, { "HistoryID", 1 }, { "Date", QDate(2003, 2, 1) },
                { "Sign", 1 }, { "Credit", 50.5 }, { "Description", QStringLiteral("Σφράγιση, Δόντι 16") } },
            { { "EconomID", 2 }, { "PatientID", 1 }, { "Date", QDate(2003, 2, 8) }, { "Sign", -1 },
                { "Credit", 50.5 }, { "ReceiptNo", QStringLiteral("Α-17") } },
        } });
    tables.append({ QStringLiteral("Appointments"),
        {
            { { "AppID", 1 }, { "PatID", 1 }, { "PatName", QStringLiteral("Παπαδόπουλος Γιώργος") },
                { "Date", QDate(2004, 9, 14) }, { "StartTime", QStringLiteral("20") },
                { "Details", QStringLiteral("Έλεγχος μετά την εξαγωγή") }, { "Duration", 2 },
                { "DocID", 1 } },
            { { "AppID", 2 }, { "PatID", -1 }, { "PatName", QStringLiteral("Άγνωστος") },
                { "Date", QDate(2004, 9, 15) }, { "StartTime", QStringLiteral("4") }, { "Duration", 1 } },
        } });
    tables.append({ QStringLiteral("CartAnamnestica"),
        {
            { { "PatID", 1 }, { "DocID", 1 }, { "Saluta", true }, { "Allergie", true },
                { "AllergieEdit", QStringLiteral("Πενικιλλίνη") } },
            { { "PatID", 2 }, { "Saluta", false } },
        } });
    return tables;
}

inline void writePractice(const QString& directory, const QList<OldTable>& tables, int codePage = 1253)
{
    QDir().mkpath(directory);
    for (const OldTable& table : tables)
        writeOldTable(directory, table.name, table.rows, codePage);
}

} // namespace testsupport
