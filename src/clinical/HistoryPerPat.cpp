#include "clinical/HistoryPerPat.h"
#include "data/Domain.h"
#include "db/FieldFormat.h"
#include "reports/LayoutFile.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "platform/Directories.h"
#include "platform/Session.h"
#include "widgets/Language.h"

#include <QLocale>

#include <algorithm>

namespace clinical {

namespace {

const char* const kSentences[] = {"Initial Situation", "has been examined into my dental clinic and he needs the following operations:",
    "has undergone the following dental operations:"};

struct HistoryLine {
    QVariant dentistId;
    QString dentist;
    QHash<QString, QVariant> values;
};

// The rows of the view in the report's date range, grouped by dentist in their order.
QList<HistoryLine> readLines(db::Dataset& view, const HistoryReportOptions& o)
{
    QList<HistoryLine> lines;
    if (!view.isActive())
        return lines;
    const QStringList fields{QStringLiteral("Date"), QStringLiteral("OperDescr"), QStringLiteral("ToothNum"), QStringLiteral("CostEURO"),
        QStringLiteral("DentalLab"), QStringLiteral("Material"), QStringLiteral("Color"), QStringLiteral("PriceEURO"),
        QStringLiteral("DentistID"), QStringLiteral("Dentist")};
    QList<int> columns;
    for (const QString& f : fields)
        columns << view.field(f).index();
    for (int r = 0; r < view.recordCount(); ++r) {
        HistoryLine line;
        for (int i = 0; i < fields.size(); ++i)
            line.values.insert(fields[i], view.rowValue(r, columns[i]));
        const QDate date = line.values.value(QStringLiteral("Date")).toDate();
        if ((o.from.isValid() && date < o.from) || (o.to.isValid() && date > o.to))
            continue;
        line.dentistId = line.values.value(QStringLiteral("DentistID"));
        line.dentist = line.values.value(QStringLiteral("Dentist")).toString();
        lines.append(line);
    }
    std::stable_sort(lines.begin(), lines.end(), [](const HistoryLine& a, const HistoryLine& b) { return a.dentistId.toInt() < b.dentistId.toInt(); });
    return lines;
}

QString euro(const QVariant& v, const data::MoneyState& money)
{
    return data::formatMoney(v.toDouble(), true, money.convention());
}

} // namespace

namespace {

HistoryReportLayout readLayout(const reports::LayoutFile& file)
{
    HistoryReportLayout layout;
    layout.chartHeightMm = file.number("ChartHeightMm", layout.chartHeightMm);
    layout.columns = file.choice("Columns", layout.columns);
    layout.footer = file.text("Footer", layout.footer);
    return layout;
}

} // namespace

HistoryReportLayout HistoryReportLayout::load()
{
    const auto file = reports::LayoutFile::besideProgram(fileName());
    return file ? readLayout(*file) : HistoryReportLayout {};
}

HistoryReportLayout HistoryReportLayout::fromFile(const QString& path)
{
    return readLayout(reports::LayoutFile(path));
}

reports::Report BuildHistoryReport(data::TDmForm& dm, const QImage& chart, const QString& title, const HistoryReportOptions& o,
    const HistoryReportLayout& layout)
{
    const platform::MessageTexts& lang = dm.lang();
    const auto tr = [&lang](const char* text) { return lang.Message(QString::fromUtf8(text)); };
    const data::TreatmentLevel level = o.level;
    const bool money = level != data::TreatmentLevel::Initial && o.cost && !platform::receiptsOnly();
    const bool diagram = o.parts != HistoryReportOptions::Parts::FinancialOnly;
    const bool rows = o.parts != HistoryReportOptions::Parts::DiagramOnly;

    reports::Report report(tr("Dental Chart") + QLatin1Char(' ') + title);
    report.setPageFooter(tr("Page") + layout.footer.mid(layout.footer.indexOf(QLatin1Char(' '))));
    report.setPageHeader(db::fieldformat::dateText(QDate::currentDate()));
    if (diagram)
        report.addPicture(chart, layout.chartHeightMm);

    // The treating dentist's card.
    QStringList card;
    db::Dataset& dentists = *dm.lists().DentistsTable;
    QVariant doc = dm.defaultDentist();
    if (dentists.isActive() && dentists.lookup({QStringLiteral("DocID")}, {doc}, QStringLiteral("DocID")).isNull() && !dentists.isEmpty())
        doc = dentists.value(u"DocID"); // no default dentist: the current one
    if (dentists.isActive()) {
        const auto of = [&](const char* f) {
            return dentists.lookup({QStringLiteral("DocID")}, {doc}, QString::fromLatin1(f)).toString();
        };
        card << (of("LastName") + QLatin1Char(' ') + of("FirstName")).trimmed() << of("Specialty") << of("Address")
             << tr("Zip:") + QLatin1Char(' ') + of("Zip") + QStringLiteral("  ") + of("CityName") << tr("Phone:") + QLatin1Char(' ') + of("Phone");
    }
    card.removeAll(QString());
    report.addTitle(tr("Dental Chart") + QLatin1Char(' ') + title, card);
    if (diagram && !o.notes.isEmpty())
        report.addText(o.notes);
    if (!rows)
        return report;

    const QString patient = dm.patients().PatientsTable->isActive() && !dm.patients().PatientsTable->isEmpty() ? dm.patients().PatientsTable->value(u"Name").toString() : QString();
    report.addSpace(3);
    report.addText(tr("The patient") + QLatin1Char(' ') + patient + QLatin1Char(' ')
            + (level == data::TreatmentLevel::Initial ? QString() : tr(kSentences[data::code(level)])),
        true);

    // Columns as the layout orders them, those switched off left out.
    QList<reports::ReportColumn> columns;
    QStringList keys;
    const QHash<QString, QString> fieldOf{{QStringLiteral("Date"), QStringLiteral("Date")}, {QStringLiteral("Operation"), QStringLiteral("OperDescr")},
        {QStringLiteral("Tooth"), QStringLiteral("ToothNum")}, {QStringLiteral("Cost"), QStringLiteral("CostEURO")},
        {QStringLiteral("Dental Lab"), QStringLiteral("DentalLab")}, {QStringLiteral("Material"), QStringLiteral("Material")},
        {QStringLiteral("Color"), QStringLiteral("Color")}};
    const auto moneyFormat = [&dm](const QVariant& v) { return euro(v, dm.money()); };
    for (const QString& c : layout.columns) {
        if ((c == QLatin1String("Cost") && !money) || (c == QLatin1String("Material") && !o.material)
            || (c == QLatin1String("Dental Lab") && !o.lab) || (c == QLatin1String("Color") && !o.color))
            continue;
        reports::ReportColumn column{lang.Message(c), c == QLatin1String("Operation") ? 3.0 : c == QLatin1String("Tooth") ? 0.9 : 1.4};
        if (c == QLatin1String("Date"))
            column.format = [](const QVariant& v) { return v.toDate().toString(QStringLiteral("dd/MM/yyyy")); };
        if (c == QLatin1String("Cost")) {
            column.alignment = Qt::AlignRight;
            column.total = true;
            column.format = moneyFormat;
        }
        columns << column;
        keys << fieldOf.value(c);
    }
    if (money && o.showPrice) {
        columns << reports::ReportColumn{tr("Default Price:"), 1.4, Qt::AlignRight, true, moneyFormat};
        keys << QStringLiteral("PriceEURO");
    }
    reports::ReportTable table(columns);
    table.setTotalCaptions(tr("Total"), tr("TOTAL :"));
    QVariant group;
    bool first = true;
    db::Dataset& view = *dm.clinical().historyView(level);
    for (const HistoryLine& line : readLines(view, o)) {
        if (first || line.dentistId != group) {
            table.beginGroup(tr("Dentist:") + QLatin1Char(' ') + line.dentist);
            group = line.dentistId;
            first = false;
        }
        QVariantList values;
        for (const QString& k : keys)
            values << line.values.value(k);
        table.addRow(values);
    }
    report.addTable(table);
    return report;
}

} // namespace clinical
