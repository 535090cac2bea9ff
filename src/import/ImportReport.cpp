#include "import/ImportReport.h"

#include <QTextStream>

namespace import {

QString ImportReport::text() const
{
    QString out;
    QTextStream s(&out);
    if (!failedFiles.isEmpty()) {
        s << "Files that could not be imported:\n";
        for (const File& f : failedFiles)
            s << "  " << f.file << ": " << f.reason << '\n';
    }
    if (!tables.isEmpty()) {
        auto line = [&s](const QString& table, const QString& read, const QString& imported,
                        const QString& refused) {
            s << "  " << table.leftJustified(20) << read.rightJustified(8) << imported.rightJustified(10)
              << refused.rightJustified(9) << '\n';
        };
        line(QStringLiteral("Table"), QStringLiteral("read"), QStringLiteral("imported"),
            QStringLiteral("refused"));
        for (const Table& t : tables)
            line(t.table, QString::number(t.read), QString::number(t.imported), QString::number(t.refused));
    }
    if (!refused.isEmpty()) {
        s << "Rows refused:\n";
        for (const Row& r : refused)
            s << "  " << r.table << ", " << r.key << ": " << r.reason << '\n';
    }
    if (!notes.isEmpty()) {
        s << "Rows imported as they were, although:\n";
        for (const Row& r : notes)
            s << "  " << r.table << ", " << r.key << ": " << r.reason << '\n';
    }
    for (const QString& line : tableNotes)
        s << line << '\n';
    if (!generators.isEmpty())
        s << "Identifiers continue after: " << generators.join(QStringLiteral(", ")) << '\n';
    for (const QString& line : images)
        s << line << '\n';
    if (written)
        s << "The import is complete.\n";
    else
        s << "Nothing was imported: " << failure << '\n';
    return out;
}

} // namespace import
