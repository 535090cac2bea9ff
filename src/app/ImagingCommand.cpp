#include "app/ImagingCommand.h"

#include <QProcess>

namespace app {

std::optional<QString> ImagingCommand::build(
    const QString& commandTemplate, const ImagingPatient& patient, const QString& xRaysRoot)
{
    QString command = commandTemplate;
    command.replace(QStringLiteral("%PatientID"), QString::number(patient.patientId))
        .replace(QStringLiteral("%FirstName"), patient.firstName)
        .replace(QStringLiteral("%LastName"), patient.lastName)
        .replace(QStringLiteral("%BirthDate"), patient.birthDate.toString(QStringLiteral("dd/MM/yyyy")))
        .replace(QStringLiteral("%Sex"), patient.sex)
        .replace(QStringLiteral("%XRaysPath"), xRaysRoot);
    if (command.size() > kMaxLength)
        return std::nullopt;
    return command;
}

bool ImagingCommand::start(const QString& commandLine)
{
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty())
        return false;
    const QString program = arguments.takeFirst();
    return QProcess::startDetached(program, arguments);
}

} // namespace app
