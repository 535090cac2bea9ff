#pragma once

#include <QString>
#include <QStringList>

namespace clinical {

// The look of the printed progress note that a layout file beside the program may change:
// "ProgNotesRpt.rtm", an INI file with the section [Layout] and the keys Title, PatientLines
// (the patient's lines in order, by their names: Phones, Mobile, Address, Zip, Blood group,
// Occupation), Footer (%1 the page, %2 the pages) and FontSize (points).
struct ProgNoteReportLayout {
    QString title = QString::fromUtf8("Σημείωμα προόδου (Progress Note)");
    QStringList patientLines = knownPatientLines();
    QString footer = QStringLiteral("Page %1 of %2");
    double fontPoints = 0; // the report's own size

    static QString fileName() { return QStringLiteral("ProgNotesRpt.rtm"); }
    static QStringList knownPatientLines();
    // The file beside the program when it is there, else the built-in layout.
    static ProgNoteReportLayout load();
    static ProgNoteReportLayout fromFile(const QString& path);
};

} // namespace clinical
