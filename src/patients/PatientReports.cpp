#include "patients/PatientReports.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "patients/MedicalHistoryFields.h"
#include "patients/QuestionnaireLists.h"
#include "widgets/Language.h"

namespace patients {
namespace {

QString patientName(data::TDmForm& dm)
{
    const db::Dataset& patients = *dm.patients().PatientsTable;
    if (!patients.isActive() || patients.isEmpty())
        return {};
    return patients.value(u"LastName").toString() + QLatin1Char(' ') + patients.value(u"FirstName").toString();
}

// The default dentist's letterhead: name, specialty, address, city, zip and phone.
QStringList dentistLines(data::TDmForm& dm, widgets::TLanguage& lang)
{
    db::Dataset& dentists = *dm.lists().DentistsTable;
    if (!dentists.isActive() || dentists.isEmpty())
        return {};
    const QStringList key{QStringLiteral("DocID")};
    const QVariantList id{dm.defaultDentist()};
    const auto value = [&](const char* field) { return dentists.lookup(key, id, QLatin1String(field)).toString(); };
    QStringList lines{(value("LastName") + QLatin1Char(' ') + value("FirstName")).trimmed(), value("Specialty"), value("Address"),
        value("CityName"), lang.Message(QStringLiteral("Zip:")) + QLatin1Char(' ') + value("Zip"),
        lang.Message(QStringLiteral("Phone:")) + QLatin1Char(' ') + value("Phone")};
    lines.removeAll(QString());
    return lines;
}

} // namespace

QString checkBoxLine(bool checked, const QString& text)
{
    return (checked ? QStringLiteral("[X] ") : QStringLiteral("[  ] ")) + text;
}

reports::Report questionnaireReport(data::TDmForm& dm, widgets::TLanguage& lang)
{
    reports::Report report(lang.Message(QStringLiteral("Patient's Questionary")));
    report.setPageFooter(lang.Message(QStringLiteral("Page")) + QStringLiteral(" %1"));
    report.addTitle(report.title(), dentistLines(dm, lang));
    report.addField(lang.Message(QStringLiteral("Patient")), patientName(dm));
    report.addSpace(4);
    for (const QuestionAnswer& master : patientQuestionnaire(dm)) {
        report.addText(checkBoxLine(master.checked, master.question), true);
        for (const QuestionAnswer& detail : master.details)
            report.addText(QStringLiteral("        ") + checkBoxLine(detail.checked, detail.question));
        report.addSpace(2);
    }
    report.addSpace(15);
    report.addText(lang.Message(QStringLiteral("The Dentist")));
    return report;
}

reports::Report medicalHistoryReport(data::TDmForm& dm, widgets::TLanguage& lang)
{
    reports::Report report(lang.Message(QStringLiteral("Patient Medical History")));
    report.addTitle(report.title());
    report.addField(lang.Message(QStringLiteral("Patient Full Name")), patientName(dm));
    report.addSpace(4);
    db::Dataset& history = *dm.patients().AnamnesticaTable;
    const bool hasRow = history.isActive() && (!history.isEmpty() || history.isEditing());
    for (const MedicalHistoryField& item : medicalHistoryFields()) {
        const bool checked = hasRow && history.value(QString::fromLatin1(item.field)).toBool();
        QString line = checkBoxLine(checked, lang.Message(QString::fromLatin1(item.caption)));
        if (item.which && hasRow) {
            const QString which = history.value(QString::fromLatin1(item.which)).toString();
            if (!which.isEmpty())
                line += QStringLiteral("   ") + lang.Message(QStringLiteral("Which?")) + QLatin1Char(' ') + which;
        }
        report.addText(line);
    }
    report.addSpace(4);
    report.addField(lang.Message(QStringLiteral("Other:")), hasRow ? history.value(u"Other").toString() : QString());
    return report;
}

} // namespace patients
