#include "finance/LedgerReport.h"
#include "db/FieldFormat.h"

#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "reports/ReportOutput.h"
#include "reports/ReportTable.h"

namespace finance {

LedgerReport buildLedgerReport(data::TDmForm& dm, LedgerSource source, db::Dataset& view)
{
    const auto tr = [&dm](const char* text) { return dm.lang().Message(QLatin1String(text)); };
    data::MoneyState& money = dm.money();
    const bool euro = money.euroMode();
    const auto amount = [&money](const QVariant& value) {
        return value.isNull() ? QString() : money.FormatMoney(value.toDouble());
    };

    LedgerReport out;
    reports::Report& report = out.report;
    report.setTitle(tr("Financial Transactions"));
    report.setPageFooter(tr("Page") + QStringLiteral(" %1 / %2"));
    QString name;
    if (source == LedgerSource::Patients)
        name = tr("Patient:") + QLatin1Char(' ')
            + data::currentValue(*dm.patients().PatientsTable, u"Name").toString();
    else if (source == LedgerSource::Suppliers)
        name = tr("Source:") + QLatin1Char(' ')
            + data::currentValue(*dm.supplies().SuppliersTable, u"Company").toString();
    else if (source == LedgerSource::DentalLabs)
        name = tr("Source:") + QLatin1Char(' ')
            + data::currentValue(*dm.supplies().DentalLabTable, u"Company").toString();
    else
        name = tr("Source:") + QLatin1Char(' ') + data::currentValue(view, u"SourceName").toString();
    report.addTitle(report.title(), { name });

    const bool other = source == LedgerSource::Other;
    const QString debtCaption = tr(other ? "Payable" : "Debt");
    const QString paymentCaption = tr(other ? "Receivable" : "Payment");
    const auto money3 = [](const QString& caption, double width) {
        reports::ReportColumn column { caption, width, Qt::AlignRight, false, {} };
        column.format = [](const QVariant& v) { return v.toString(); };
        return column;
    };
    reports::ReportTable table(
        { { tr("Date"), 1.4, Qt::AlignLeft, false, {} }, { tr("Dentist"), 1.8, Qt::AlignLeft, false, {} },
            { tr("Description"), 2.4, Qt::AlignLeft, false, {} }, money3(debtCaption, 1.3),
            money3(paymentCaption, 1.3), money3(tr("Balance"), 1.4) });
    const int date = view.field(u"Date").index();
    const int dentist = view.field(u"Dentist").index();
    const int description = view.field(u"Description").index();
    const int payable = view.field(euro ? u"PayableAmountEURO" : u"PayableAmount").index();
    const int receivable = view.field(euro ? u"ReceivableAmountEURO" : u"ReceivableAmount").index();
    for (int row = 0; row < view.recordCount(); ++row) {
        const QVariant debt = view.rowValue(row, payable);
        const QVariant payment = view.rowValue(row, receivable);
        out.debt += debt.toDouble();
        out.payment += payment.toDouble();
        table.addRow({ db::fieldformat::dateText(view.rowValue(row, date).toDate()),
            view.rowValue(row, dentist), view.rowValue(row, description), amount(debt), amount(payment),
            money.FormatMoney(out.debt - out.payment) });
        ++out.rows;
    }
    report.addTable(std::move(table));
    report.addSpace(4);
    report.addField(debtCaption, money.FormatMoney(out.debt));
    report.addField(paymentCaption, money.FormatMoney(out.payment));
    report.addField(tr("Balance"), money.FormatMoney(out.debt - out.payment));
    return out;
}

std::optional<LedgerSource> ledgerSourceNamed(const QString& name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("patient"))
        return LedgerSource::Patients;
    if (n == QLatin1String("supplier"))
        return LedgerSource::Suppliers;
    if (n == QLatin1String("lab"))
        return LedgerSource::DentalLabs;
    if (n == QLatin1String("other"))
        return LedgerSource::Other;
    return std::nullopt;
}

int writeLedgerReport(
    data::TDmForm& dm, LedgerSource source, int id, const QString& pdfFile, QTextStream& errors)
{
    const auto find = [&](db::Dataset& view, const QString& key, const char* what) {
        if (view.locate(key, id))
            return true;
        errors << "There is no " << what << ' ' << id << ".\n";
        return false;
    };
    switch (source) {
    case LedgerSource::Patients: {
        db::Dataset& patients = *dm.patients().PatientsTable;
        if (!find(patients, QStringLiteral("PatientID"), "patient"))
            return 1;
        // The patient's current session, as the window shows it.
        const QVariant session = patients.value(u"TherapySessionID");
        if (!session.isNull())
            dm.clinical().SessionsTable->locate(QStringLiteral("SessionID"), session);
        break;
    }
    case LedgerSource::Suppliers:
        if (!find(*dm.supplies().SuppliersTable, QStringLiteral("SupplierID"), "supplier"))
            return 1;
        break;
    case LedgerSource::DentalLabs:
        if (!find(*dm.supplies().DentalLabTable, QStringLiteral("DentalLabID"), "dental lab"))
            return 1;
        break;
    case LedgerSource::Other:
        break;
    }
    db::Dataset& view = *ledgerView(dm, source);
    if (!view.isActive())
        dm.OpenTable(view);
    view.refresh();
    const LedgerReport ledger = buildLedgerReport(dm, source, view);
    if (ledger.rows == 0) {
        errors << dm.lang().Message(QStringLiteral("No data to print.")) << '\n';
        return 1;
    }
    QString error;
    if (!reports::exportPdf(ledger.report, pdfFile, &error)) {
        errors << error << '\n';
        return 1;
    }
    return 0;
}

} // namespace finance
