// Every English caption the order windows, their pickers and the files translate has its Greek
// line in the shipped language file (the windows list their captions when first shown).

#include "../data/RulesPractice.h"
#include "support/MessageRecorder.h"

#include "platform/IniFile.h"
#include "supplies/DeliveredLabOrderUnit.h"
#include "supplies/DeliveredMaterialsUnit.h"
#include "supplies/DentalLabEntryUnit.h"
#include "supplies/LabJobSelectionUnit.h"
#include "supplies/LabOrderUnit.h"
#include "supplies/MaterialEntryUnit.h"
#include "supplies/SelectMaterialUnit.h"
#include "supplies/SupplierOrderUnit.h"
#include "supplies/SuppliersEntryUnit.h"
#include "supplies/UndeliveredLabOrdersUnit.h"
#include "supplies/UndeliveredMaterialsUnit.h"
#include "widgets/CaptionLines.h"

#include <QDir>
#include <QTest>

class TestSuppliesTexts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyCaptionHasItsGreekLine()
    {
        RulesPractice practice;
        auto dm = practice.open();
        testsupport::MessageRecorder messages;
        std::vector<std::unique_ptr<QWidget>> windows;
        windows.emplace_back(new supplies::TSupplierOrderForm(*dm));
        windows.emplace_back(new supplies::TDeliveredMaterialsForm(*dm));
        windows.emplace_back(new supplies::TLabOrderForm(*dm));
        windows.emplace_back(new supplies::TDeliveredLabOrderForm(*dm));
        windows.emplace_back(new supplies::TUndeliveredMaterialsForm(*dm, true));
        windows.emplace_back(new supplies::TUndeliveredLabOrdersForm(*dm, false));
        windows.emplace_back(new supplies::TSelectMaterialForm(*dm));
        windows.emplace_back(new supplies::TLabJobSelectionForm(*dm));
        windows.emplace_back(new supplies::TSuppliersEntryForm(*dm));
        windows.emplace_back(new supplies::TDentalLabEntryForm(*dm));
        windows.emplace_back(new supplies::TmaterialEntryForm(*dm));

        const platform::IniFile shipped = captiontest::shippedLanguageFile();
        const QString section = QString::fromLatin1(widgets::TLanguage::kTranslations);
        QStringList missing;
        int checked = 0;
        for (const auto& window : windows) {
            window->setAttribute(Qt::WA_DeleteOnClose, false);
            window->show();
            const widgets::TLanguage* lang = window->findChild<widgets::TLanguage*>();
            QVERIFY(lang);
            for (const QString& path : lang->properties()) {
                ++checked;
                if (shipped.readString(section, path).trimmed().isEmpty())
                    missing << path;
            }
            window->hide();
        }
        QVERIFY(checked > 150);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u'\n')));
    }
};

QTEST_MAIN(TestSuppliesTexts)
#include "tst_suppliestexts.moc"
