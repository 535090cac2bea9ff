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
        s << "Table                 read  imported  refused\n";
        for (const Table& t : tables)
            s << "  " << qSetFieldWidth(18) << Qt::left << t.table << qSetFieldWidth(0) << Qt::right << ' '
              << qSetFieldWidth(6) << t.read << qSetFieldWidth(10) << t.imported << qSetFieldWidth(9)
              << t.refused << qSetFieldWidth(0) << '\n';
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
