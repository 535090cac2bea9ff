#include "app/FinanceWindows.h"

#include "app/MainUnit.h"
#include "app/WindowRegistry.h"
#include "data/DmUnit.h"
#include "finance/DiscountUnit.h"
#include "finance/EconomicsUnit.h"
#include "finance/EuroUnit.h"
#include "finance/LedgerReport.h"
#include "patients/SearchDlgUnit.h"
#include "platform/ExceptionLog.h"
#include "platform/Session.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace app {

void lendFinanceWindows(data::TDmForm& dm, TMainForm& main)
{
    WindowRegistry& registry = WindowRegistry::instance();
    registry.add(QStringLiteral("EconomicsForm"), WindowRegistry::Kind::Child, [&dm, &main](QWidget* parent) {
        finance::EconomicsHost host;
        host.searchPatient = [&main] { return main.Hooks.searchPatient && main.Hooks.searchPatient(); };
        host.searchCompany = [](db::Dataset& view, const QString& caption) {
            patients::TSearchDlg* dialog = patients::TSearchDlg::shared();
            return dialog && dialog->Run(view, caption) == 1;
        };
        return new finance::TEconomicsForm(dm, host, parent);
    });
    registry.add(QStringLiteral("DiscountForm"), WindowRegistry::Kind::Modal,
        [&dm](QWidget* parent) { return new finance::TDiscountForm(dm, parent); });
    registry.add(QStringLiteral("EuroForm"), WindowRegistry::Kind::Modal,
        [&dm](QWidget* parent) { return new finance::TEuroForm(dm, parent); });
    main.ApplyUserLevel();
}

int writeLedgerReport(
    const QString& dataDirectory, const QString& source, int id, const QString& pdfFile, QTextStream& errors)
{
    const std::optional<finance::LedgerSource> ledger = finance::ledgerSourceNamed(source);
    if (!ledger) {
        errors << "The source must be patient, supplier, lab or other.\n";
        return 2;
    }
    platform::Session& session = platform::session();
    session.dataDirectory = dataDirectory;
    session.dataRoot = QFileInfo(QDir::cleanPath(dataDirectory)).absolutePath();
    try {
        std::unique_ptr<data::TDmForm> dm
            = data::TDmForm::connect({ .name = QStringLiteral("report"), .dataDirectory = dataDirectory });
        dm->openAtStart(session.settings());
        return finance::writeLedgerReport(*dm, *ledger, id, pdfFile, errors);
    } catch (const std::exception& e) {
        platform::exceptionLog::logException(e, QStringLiteral("Ledger report of %1 %2").arg(source).arg(id));
        errors << e.what() << '\n';
        return 1;
    }
}

} // namespace app
