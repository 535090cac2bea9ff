#include "data/DataCommands.h"

#include "data/DataDirectory.h"
#include "data/DemoPractice.h"
#include "db/Errors.h"

#include <QTextStream>

namespace data {
namespace {

void list(QTextStream& stream, const QStringList& lines)
{
    for (const QString& line : lines)
        stream << "  " << line << '\n';
}

int check(const DataDirectory& dir, QTextStream& out, QTextStream& err)
{
    const QStringList problems = dir.check();
    if (problems.isEmpty()) {
        out << dir.path() << ": the database matches this program.\n";
        return 0;
    }
    out.flush();
    err << dir.path() << ": " << problems.size() << (problems.size() == 1 ? " problem" : " problems") << ":\n";
    list(err, problems);
    return 1;
}

} // namespace

int runDataCommand(DataCommand command, const QString& directory, QTextStream& out, QTextStream& err)
{
    const DataDirectory dir(directory);
    try {
        switch (command) {
        case DataCommand::Init:
            dir.create();
            out << "Created an empty database in " << dir.path() << ".\n";
            return 0;
        case DataCommand::Check:
            return check(dir, out, err);
        case DataCommand::Repair: {
            const QStringList done = dir.repair();
            out << dir.path() << ":\n";
            list(out, done);
            return check(dir, out, err);
        }
        case DataCommand::Demo: {
            const DemoPracticeCounts counts = createDemoDirectory(directory);
            out << "Created the demo practice in " << dir.path() << ": " << counts.patients << " patients, " << counts.historyRows
                << " treatment rows, " << counts.charges << " charges, " << counts.payments << " payments, " << counts.appointments
                << " appointments.\n";
            return 0;
        }
        }
    } catch (const db::DatabaseError& e) {
        err << e.message() << '\n';
        return 1;
    }
    return 1;
}

} // namespace data
