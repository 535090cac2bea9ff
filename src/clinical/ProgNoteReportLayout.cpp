#include "clinical/ProgNoteReportLayout.h"

#include "reports/LayoutFile.h"

namespace clinical {

namespace {

ProgNoteReportLayout readLayout(const reports::LayoutFile& file)
{
    ProgNoteReportLayout layout;
    layout.title = file.text("Title", layout.title);
    layout.patientLines = file.choice("PatientLines", layout.patientLines);
    layout.footer = file.text("Footer", layout.footer);
    layout.fontPoints = file.number("FontSize", layout.fontPoints);
    return layout;
}

} // namespace

QStringList ProgNoteReportLayout::knownPatientLines()
{
    return { QStringLiteral("Phones"), QStringLiteral("Mobile"), QStringLiteral("Address"),
        QStringLiteral("Zip"), QStringLiteral("Blood group"), QStringLiteral("Occupation") };
}

ProgNoteReportLayout ProgNoteReportLayout::load()
{
    const auto file = reports::LayoutFile::besideProgram(fileName());
    return file ? readLayout(*file) : ProgNoteReportLayout {};
}

ProgNoteReportLayout ProgNoteReportLayout::fromFile(const QString& path)
{
    return readLayout(reports::LayoutFile(path));
}

} // namespace clinical
