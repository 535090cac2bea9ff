#include "finance/LedgerSource.h"

#include "data/DmUnit.h"
#include "data/Domain.h"

namespace finance {

LedgerCaptions captionsOf(LedgerSource source)
{
    switch (source) {
    case LedgerSource::Patients:
        return { QStringLiteral("Patients"), QStringLiteral("Patient"), QStringLiteral("Debt"),
            QStringLiteral("Payment"), QStringLiteral("Debts"), QStringLiteral("Payments") };
    case LedgerSource::Suppliers:
        return { QStringLiteral("Suppliers"), QStringLiteral("Supplier"), QStringLiteral("Debt"),
            QStringLiteral("Payment"), QStringLiteral("Debts"), QStringLiteral("Payments") };
    case LedgerSource::DentalLabs:
        return { QStringLiteral("Dental Labs"), QStringLiteral("Dental Lab"), QStringLiteral("Debt"),
            QStringLiteral("Payment"), QStringLiteral("Debts"), QStringLiteral("Payments") };
    case LedgerSource::Other:
        break;
    }
    return { QStringLiteral("Dental Clinic (Other)"), QStringLiteral("Name"), QStringLiteral("Payable"),
        QStringLiteral("Receivable"), QStringLiteral("Payable"), QStringLiteral("Receivable") };
}

db::Dataset* ledgerView(data::TDmForm& dm, LedgerSource source)
{
    switch (source) {
    case LedgerSource::Patients:
        return dm.finance().PatientEconomTable;
    case LedgerSource::Suppliers:
        return dm.finance().SupplierEconomTable;
    case LedgerSource::DentalLabs:
        return dm.finance().LabEconomTable;
    case LedgerSource::Other:
        break;
    }
    return dm.finance().DentEconomicsTable;
}

db::DataSource* ledgerSourceOf(data::TDmForm& dm, LedgerSource source)
{
    return dm.sourceOf(ledgerView(dm, source));
}

bool ledgerRowShown(LedgerTab tab, bool receiptsOnly, bool otherSources, const QVariant& sign, bool receipted,
    const QVariant& transactionType)
{
    const bool payment = data::holds(sign, data::Sign::Receivable);
    if ((tab == LedgerTab::Receivable && !payment) || (tab == LedgerTab::Payable && payment))
        return false;
    if (receiptsOnly && !receipted)
        return false;
    return !otherSources || data::holds(transactionType, data::TransactionType::Practice);
}

} // namespace finance
