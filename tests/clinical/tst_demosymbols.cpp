#include "clinical/SymbolCatalog.h"
#include "data/demo/DemoCatalogues.h"

#include <QTest>

// The demo operations name symbols by number; the numbers must be those of the library.
class TestDemoSymbols : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void demoOperationsUseLibrarySymbols()
    {
        for (const data::demo::DemoOperation& op : data::demo::operations()) {
            if (op.symbol == data::demo::symbol::None)
                continue;
            const auto it = std::find_if(clinical::SymbolCatalog.begin(), clinical::SymbolCatalog.end(),
                [&](const clinical::SymbolInfo& info) { return clinical::ToInt(info.id) == op.symbol; });
            QVERIFY2(it != clinical::SymbolCatalog.end(), op.description);
            QVERIFY2(it->transparent == op.transparent, op.description); // drawn over the tooth or on a bare one alike
        }
    }
};

QTEST_GUILESS_MAIN(TestDemoSymbols)
#include "tst_demosymbols.moc"
