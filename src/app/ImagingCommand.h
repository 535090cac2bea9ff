#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace app {

// The patient fields an external imaging program is started with.
struct ImagingPatient {
    int patientId = 0;
    QString firstName;
    QString lastName;
    QDate birthDate;
    QString sex;
};

// The command line of the external imaging program: the template (VisPathName) with
// %PatientID, %FirstName, %LastName, %BirthDate (dd/mm/yyyy), %Sex and %XRaysPath replaced.
// A command longer than kMaxLength characters is refused (nothing), never cut: a cut command
// could start the program on the wrong patient folder.
class ImagingCommand {
public:
    static constexpr int kMaxLength = 499;

    static std::optional<QString> build(const QString& commandTemplate, const ImagingPatient& patient, const QString& xRaysRoot);
    // Starts the command line without waiting; false when it cannot be started.
    static bool start(const QString& commandLine);
};

} // namespace app
