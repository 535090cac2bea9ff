#include "clinical/EndoReport.h"
#include "db/FieldFormat.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "reports/ReportTable.h"

#include <QLocale>

namespace clinical {

namespace {

struct CanalFields {
    const char* caption;
    const char* length;
    const char* width;
    const char* notes;
};

const CanalFields kCanals[] = {
    { "Near Tongue", "MikosEggysGl", "DievrEggysGl", "EggysGlNotes" },
    { "Near Cheek", "MikosEggysPar", "DievrEggysPar", "EggysParNotes" },
    { "Yperoia", "MikosYperoia", "DievrYperoia", "YperoiaNotes" },
    { "Far Tongue", "MikosApoGl", "DievrApoGl", "ApoGlNotes" },
    { "Far Cheek", "MikosApoPar", "DievrApoPar", "ApoParNotes" },
};

} // namespace

reports::Report BuildEndoReport(data::TDmForm& dm, bool singleCanal)
{
    const platform::MessageTexts& lang = dm.lang();
    const auto tr = [&lang](const char* text) { return lang.Message(QString::fromLatin1(text)); };
    reports::Report report(tr("Endodontic Treatment Measurements"));
    db::Dataset& patients = *dm.patients().PatientsTable;
    const QString patient = patients.isActive() && !patients.isEmpty()
        ? data::fullName(patients.value(u"LastName"), patients.value(u"FirstName"))
        : QString();
    report.setPageHeader(patient, db::fieldformat::dateText(QDate::currentDate()));
    report.addTitle(report.title(), { patient });

    db::Dataset& endo = *dm.clinical().EndoTable;
    if (!endo.isActive())
        return report;
    const int date = endo.field(u"Date").index();
    const int tooth = endo.field(u"ToothNum").index();
    const int notes = endo.field(u"Notes").index();
    const auto number
        = [](const QVariant& v) { return v.isNull() ? QString() : QLocale().toString(v.toDouble(), 'f', 2); };
    for (int r = 0; r < endo.recordCount(); ++r) {
        report.addField(tr("Date"), db::fieldformat::dateText(endo.rowValue(r, date).toDate()));
        report.addField(tr("Tooth No."), endo.rowValue(r, tooth).toString());
        reports::ReportTable table({ { tr("Canal"), 2 }, { tr("Length"), 1, Qt::AlignRight },
            { tr("Width"), 1, Qt::AlignRight }, { tr("Notes"), 4 } });
        const int canals = singleCanal ? 1 : static_cast<int>(std::size(kCanals));
        for (int c = 0; c < canals; ++c) {
            const CanalFields& canal = kCanals[c];
            const QVariant length = endo.rowValue(r, endo.field(QString::fromLatin1(canal.length)).index());
            const QVariant width = endo.rowValue(r, endo.field(QString::fromLatin1(canal.width)).index());
            const QString canalNotes
                = endo.rowValue(r, endo.field(QString::fromLatin1(canal.notes)).index()).toString().trimmed();
            if (length.isNull() && width.isNull() && canalNotes.isEmpty())
                continue;
            table.addRow(
                { singleCanal ? tr("Canal") : tr(canal.caption), number(length), number(width), canalNotes });
        }
        report.addTable(std::move(table));
        const QString general = endo.rowValue(r, notes).toString().trimmed();
        if (!general.isEmpty())
            report.addField(tr("Notes"), general);
        report.addSpace(6);
    }
    return report;
}

} // namespace clinical
