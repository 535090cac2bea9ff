#include "import/ParadoxImport.h"

#include "data/ImportTarget.h"
#include "data/ImportTargetLog.h"
#include "data/schema/Schema.h"
#include "db/Errors.h"
#include "import/FieldMapping.h"
#include "import/ImageFolders.h"
#include "import/NumbersInUse.h"
#include "import/ParadoxError.h"
#include "import/ParadoxTable.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <memory>
#include <vector>

namespace import {
namespace {

constexpr int kProgressEvery = 500; // rows

// A table file of the old directory and the table of ours it fills.
struct Source {
    QString file;
    const db::TableDef* table = nullptr;
    std::unique_ptr<ParadoxTable> reader;
    std::unique_ptr<FieldMapping> mapping;
    QList<std::pair<int, QString>> references; // old column, the table whose number it holds
    QSet<int> refused; // record numbers not to import
};

bool isPatientReference(const QString& field)
{
    return field == QLatin1String("PatientID") || field == QLatin1String("PatID");
}

class Importer {
public:
    Importer(const ImportOptions& options, ImportReport& report)
        : m_options(options)
        , m_report(report)
    {
    }

    void run();

private:
    void findTables();
    void openTable(const QFileInfo& file, const db::TableDef& table);
    void readGenerator(const QFileInfo& file, const data::GeneratorDef& generator);
    bool mayGoOn();
    void survey(Source& source);
    void write(data::ImportTarget& target, Source& source, ImportReport::Table& counts);
    QString keyOf(const Source& source, int record, const QVariantList& values) const;
    void noteNumbers(const Source& source, const QVariantList& values, bool imported);
    data::ImportLog log() const;
    data::ImportTarget::Values converted(
        const Source& source, const QVariantList& values, QString* refusal, QStringList* notes) const;
    void fail(const QString& file, const QString& reason) { m_report.failedFiles.append({ file, reason }); }
    void progress(ImportProgress::Phase phase, const QString& what)
    {
        if (m_options.progress)
            m_options.progress({ phase, what, m_done, m_total });
    }

    const ImportOptions& m_options;
    ImportReport& m_report;
    std::vector<Source> m_sources;
    QList<std::pair<QString, qint64>> m_issued; // the old generators' last numbers, then the highest in use
    QSet<qint64> m_patients;
    QStringList m_absent; // tables of ours the old directory has no file of
    NumbersInUse m_numbers;
    qint64 m_done = 0;
    qint64 m_total = 0;
};

void Importer::findTables()
{
    QDir old(m_options.oldDirectory);
    for (const QFileInfo& file : old.entryInfoList(QDir::Files, QDir::Name)) {
        if (file.suffix().compare(QLatin1String("db"), Qt::CaseInsensitive) != 0)
            continue;
        const QString base = file.completeBaseName();
        if (const db::TableDef* table = data::schemaTable(base)) {
            openTable(file, *table);
            continue;
        }
        const data::GeneratorDef* generator = nullptr;
        for (const data::GeneratorDef& candidate : data::generatorTables()) {
            if (candidate.table.compare(base, Qt::CaseInsensitive) == 0)
                generator = &candidate;
        }
        if (generator)
            readGenerator(file, *generator);
        else
            fail(file.fileName(), QStringLiteral("not a table of this practice (another program's table?)"));
    }
    // Patients first: the other tables' rows are checked against them.
    std::stable_partition(m_sources.begin(), m_sources.end(),
        [](const Source& s) { return s.table->name == QLatin1String("Patient"); });
    QStringList absent;
    for (const db::TableDef& table : data::schemaTables()) {
        const bool present = std::any_of(
            m_sources.begin(), m_sources.end(), [&](const Source& s) { return s.table == &table; });
        const bool failed = std::any_of(
            m_report.failedFiles.begin(), m_report.failedFiles.end(), [&](const ImportReport::File& f) {
                return QFileInfo(f.file).completeBaseName().compare(table.name, Qt::CaseInsensitive) == 0;
            });
        if (!present && !failed)
            absent.append(table.name);
    }
    m_absent = absent;
    if (!absent.isEmpty())
        m_report.tableNotes.append(QStringLiteral("Not in the old directory, so left empty: %1.")
                                       .arg(absent.join(QStringLiteral(", "))));
}

void Importer::openTable(const QFileInfo& file, const db::TableDef& table)
{
    if (std::any_of(m_sources.begin(), m_sources.end(), [&](const Source& s) { return s.table == &table; })) {
        fail(file.fileName(),
            QStringLiteral("a second file of the table %1 (the names differ in letter case only)")
                .arg(table.name));
        return;
    }
    try {
        Source source;
        source.file = file.fileName();
        source.table = &table;
        source.reader = std::make_unique<ParadoxTable>(file.absoluteFilePath());
        source.mapping = std::make_unique<FieldMapping>(*source.reader, table);
        if (source.mapping->isEmpty()) {
            fail(file.fileName(),
                QStringLiteral("none of its fields is one of %1's: another program's table").arg(table.name));
            return;
        }
        if (!table.identifierField.isEmpty() && source.mapping->identifierColumn() < 0) {
            fail(file.fileName(),
                QStringLiteral("it has no field %1, which identifies the rows").arg(table.identifierField));
            return;
        }
        for (const FieldMapping::Column& column : source.mapping->columns()) {
            for (const data::NumberReference& reference : data::numberReferences()) {
                if (reference.table == table.name
                    && reference.field.compare(column.target->name, Qt::CaseInsensitive) == 0)
                    source.references.append({ column.source, reference.target });
            }
        }
        m_report.tableNotes += source.mapping->notes();
        m_total += 2 * source.reader->recordCount(); // read, then written
        m_sources.push_back(std::move(source));
    } catch (const ParadoxError& e) {
        fail(file.fileName(), e.reason());
    }
}

// A generator file holds one row whose one number is the last identifier given out.
void Importer::readGenerator(const QFileInfo& file, const data::GeneratorDef& generator)
{
    try {
        const ParadoxTable table(file.absoluteFilePath());
        if (table.recordCount() == 0)
            return;
        for (const QVariant& value : table.record(0)) {
            if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::Double) {
                m_issued.append({ generator.table, qint64(value.toDouble()) });
                return;
            }
        }
        fail(file.fileName(), QStringLiteral("the generator holds no number"));
    } catch (const ParadoxError& e) {
        fail(file.fileName(), e.reason());
    }
}

bool Importer::mayGoOn()
{
    if (m_report.failedFiles.isEmpty() || m_options.keepGoing)
        return true;
    m_report.failure = QStringLiteral(
        "%1 of the old files cannot be read (listed above). Run the import again with --keep-going "
        "to import the other tables without them.")
                           .arg(m_report.failedFiles.size());
    return false;
}

QString Importer::keyOf(const Source& source, int record, const QVariantList& values) const
{
    const int column = source.mapping->identifierColumn();
    if (column >= 0) {
        const QVariant key = values.value(source.mapping->columns()[column].source);
        if (!key.isNull())
            return QStringLiteral("%1 %2").arg(source.table->identifierField, key.toString());
    } else if (source.table->identifierField.isEmpty() && !source.table->indexes.isEmpty()) {
        // A table without an identifier: the fields of its first index name the row.
        QStringList fields;
        for (const QString& field : source.table->indexes.first().fields) {
            const int at = source.reader->fieldIndex(field);
            if (at >= 0 && !values.value(at).isNull())
                fields.append(QStringLiteral("%1 %2").arg(field, values.value(at).toString()));
        }
        if (!fields.isEmpty())
            return fields.join(QStringLiteral(", "));
    }
    return QStringLiteral("record %1").arg(record + 1);
}

// Every number a row holds counts as used, its own and those it refers to, whether the row is
// imported or not: the generators must never give one out again.
void Importer::noteNumbers(const Source& source, const QVariantList& values, bool imported)
{
    const int identifier = source.mapping->identifierColumn();
    if (identifier >= 0)
        m_numbers.noteIdentifier(source.table->name,
            values.value(source.mapping->columns()[identifier].source).toLongLong(), imported);
    for (const auto& [column, target] : source.references)
        m_numbers.noteReference(source.table->name, target, values.value(column).toLongLong(), imported);
}

data::ImportLog Importer::log() const
{
    data::ImportLog log;
    log.from = QDir(m_options.oldDirectory).absolutePath();
    log.at = QDateTime::currentDateTimeUtc();
    for (const ImportReport::Table& t : m_report.tables)
        log.tables.append({ t.table, t.file, t.read, t.imported, {} });
    for (const ImportReport::File& f : m_report.failedFiles) {
        const db::TableDef* table = data::schemaTable(QFileInfo(f.file).completeBaseName());
        const bool read = table
            && std::any_of(m_report.tables.begin(), m_report.tables.end(),
                [&](const ImportReport::Table& t) { return t.table == table->name; });
        if (table && !read)
            log.tables.append({ table->name, f.file, 0, 0, f.reason });
    }
    for (const QString& table : m_absent)
        log.tables.append({ table, {}, 0, 0, {} });
    for (const ImportReport::Row& r : m_report.refused)
        log.refused.append({ r.table, r.key, r.reason });
    log.missing = m_numbers.notImported();
    return log;
}

data::ImportTarget::Values Importer::converted(
    const Source& source, const QVariantList& values, QString* refusal, QStringList* notes) const
{
    data::ImportTarget::Values row;
    row.reserve(source.mapping->columns().size());
    for (const FieldMapping::Column& column : source.mapping->columns()) {
        QString note;
        QVariant value = FieldMapping::convert(values.value(column.source), *column.target, refusal, &note);
        if (!refusal->isEmpty())
            return {};
        if (notes && !note.isEmpty())
            notes->append(note);
        if (notes && isPatientReference(column.target->name) && source.table->name != QLatin1String("Patient")
            && value.toLongLong() > 0 && !m_patients.contains(value.toLongLong()))
            notes->append(QStringLiteral("its patient %1 is missing").arg(value.toLongLong()));
        row.append({ column.target->name, std::move(value) });
    }
    return row;
}

void Importer::survey(Source& source)
{
    progress(ImportProgress::Phase::Reading, source.file);
    QSet<QString> keys;
    const int identifier = source.mapping->identifierColumn();
    const bool patients = source.table->name == QLatin1String("Patient");
    for (int record = 0; record < source.reader->recordCount(); ++record) {
        bool undecodable = false;
        QStringList damaged;
        const QVariantList values = source.reader->record(record, &undecodable, &damaged);
        QString refusal = damaged.join(QStringLiteral("; "));
        QStringList notes;
        const data::ImportTarget::Values row
            = refusal.isEmpty() ? converted(source, values, &refusal, &notes) : data::ImportTarget::Values();
        if (refusal.isEmpty() && identifier >= 0) {
            const QVariant& key = row[identifier].second;
            if (key.isNull())
                refusal = QStringLiteral("it has no %1").arg(source.table->identifierField);
            else if (keys.contains(key.toString()))
                refusal = QStringLiteral("duplicate key: an earlier row has the same %1")
                              .arg(source.table->identifierField);
            else
                keys.insert(key.toString());
            if (refusal.isEmpty() && patients)
                m_patients.insert(key.toLongLong());
        }
        if (undecodable)
            notes.append(QStringLiteral("a text holds characters the code page %1 does not define")
                             .arg(source.reader->codePage().number()));
        const QString key = keyOf(source, record, values);
        if (!refusal.isEmpty()) {
            source.refused.insert(record);
            m_report.refused.append({ source.table->name, key, refusal });
        }
        noteNumbers(source, values, refusal.isEmpty());
        for (const QString& note : notes)
            m_report.notes.append({ source.table->name, key, note });
        if (++m_done % kProgressEvery == 0)
            progress(ImportProgress::Phase::Reading, source.file);
    }
}

void Importer::write(data::ImportTarget& target, Source& source, ImportReport::Table& counts)
{
    progress(ImportProgress::Phase::Writing, source.table->name);
    target.beginTable(source.table->name);
    for (int record = 0; record < source.reader->recordCount(); ++record) {
        ++counts.read;
        if (source.refused.contains(record)) {
            ++counts.refused;
        } else {
            QString refusal;
            const data::ImportTarget::Values row
                = converted(source, source.reader->record(record), &refusal, nullptr);
            if (!refusal.isEmpty()) // the file changed since it was read
                throw ParadoxError(QStringLiteral("%1 changed during the import (record %2)")
                                       .arg(source.file)
                                       .arg(record + 1));
            target.insert(source.table->name, row);
            ++counts.imported;
        }
        if (++m_done % kProgressEvery == 0)
            progress(ImportProgress::Phase::Writing, source.table->name);
    }
    target.commitTable();
    const qint64 stored = target.rowCount(source.table->name);
    if (stored != counts.imported)
        throw ParadoxError(QStringLiteral("%1 holds %2 rows after the import, %3 were written")
                               .arg(source.table->name)
                               .arg(stored)
                               .arg(counts.imported));
}

void Importer::run()
{
    const QFileInfo old(m_options.oldDirectory);
    if (!old.isDir() || !old.isReadable()) {
        m_report.failure = QStringLiteral("the old data directory %1 cannot be read")
                               .arg(QDir::toNativeSeparators(m_options.oldDirectory));
        return;
    }
    const QString targetPath = QDir::cleanPath(QDir(m_options.dataDirectory).absolutePath());
    const QDir targetDir(targetPath);
    if (targetDir.exists() && !targetDir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        m_report.failure = QStringLiteral("%1 is not empty; the import makes a new data directory")
                               .arg(QDir::toNativeSeparators(targetPath));
        return;
    }

    findTables();
    if (!mayGoOn())
        return;
    for (auto source = m_sources.begin(); source != m_sources.end();) {
        try {
            survey(*source);
            ++source;
        } catch (const ParadoxError& e) {
            fail(source->file, e.reason());
            m_total -= source->reader->recordCount(); // it will not be written
            source = m_sources.erase(source);
        }
    }
    if (!mayGoOn())
        return;
    m_issued += m_numbers.highestByGenerator();

    // The database is made beside the target and moved into place once complete.
    const QFileInfo targetInfo(targetPath);
    const QString root = targetInfo.absolutePath();
    const QString staging = QDir(root).filePath(QStringLiteral(".%1.importing").arg(targetInfo.fileName()));
    QDir(staging).removeRecursively();
    if (!QDir().mkpath(root)) {
        m_report.failure = QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(root));
        return;
    }
    try {
        {
            data::ImportTarget target(staging);
            for (Source& source : m_sources) {
                ImportReport::Table counts { source.file, source.table->name };
                write(target, source, counts);
                m_report.tables.append(counts);
            }
            m_report.generators = target.setGenerators(m_issued);
        }
        log().write(staging);
        ImageFolders images(old.absoluteFilePath(), root);
        images.stage();
        if (targetDir.exists() && !QDir(root).rmdir(targetInfo.fileName()))
            throw ParadoxError(QStringLiteral("the empty folder %1 cannot be replaced")
                                   .arg(QDir::toNativeSeparators(targetPath)));
        if (!QDir(root).rename(QFileInfo(staging).fileName(), targetInfo.fileName()))
            throw ParadoxError(QStringLiteral("the new database cannot be moved to %1")
                                   .arg(QDir::toNativeSeparators(targetPath)));
        m_report.written = true;
        m_report.images = images.moveIntoPlace();
        progress(ImportProgress::Phase::Done, {});
    } catch (const ParadoxError& e) {
        m_report.failure = e.reason();
    } catch (const db::DatabaseError& e) {
        m_report.failure = e.message();
    }
    if (!m_report.written) {
        QDir(staging).removeRecursively();
        ImageFolders::discard(root);
        m_report.tables.clear();
        m_report.generators.clear();
    }
}

} // namespace

QString ImportProgress::step() const
{
    switch (phase) {
    case Phase::Reading:
        return QStringLiteral("Reading %1").arg(what);
    case Phase::Writing:
        return QStringLiteral("Writing %1").arg(what);
    case Phase::Done:
        break;
    }
    return QStringLiteral("Done");
}

ImportReport importParadox(const ImportOptions& options)
{
    ImportReport report;
    Importer(options, report).run();
    return report;
}

} // namespace import
