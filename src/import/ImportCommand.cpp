#include "import/ImportCommand.h"

#include "import/ParadoxImport.h"

#include <QDir>
#include <QTextStream>

namespace import {

int runImportCommand(const QString& oldDirectory, const QString& dataDirectory, bool keepGoing,
    QTextStream& out, QTextStream& err)
{
    QString lastStep;
    ImportOptions options { oldDirectory, dataDirectory, keepGoing, [&](const ImportProgress& progress) {
                               if (progress.step() == lastStep)
                                   return;
                               lastStep = progress.step();
                               err << lastStep << "…\n";
                               err.flush();
                           } };
    const ImportReport report = importParadox(options);
    out << "Import of " << QDir::toNativeSeparators(oldDirectory) << " into "
        << QDir::toNativeSeparators(dataDirectory) << '\n';
    out << report.text();
    out.flush();
    if (!report.written) {
        err << "Nothing was imported: " << report.failure << '\n';
        return 1;
    }
    return 0;
}

} // namespace import
