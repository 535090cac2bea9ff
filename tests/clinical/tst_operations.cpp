// The operations catalogue, its symbol chooser and the operation picker of the chart.
#include "clinical/ChartServices.h"
#include "clinical/OperationsEntryUnit.h"
#include "clinical/OperationsUnit.h"
#include "clinical/SelectBitmapUnit.h"
#include "clinical/SymbolArt.h"
#include "ClinicFixture.h"
#include "data/demo/DemoCatalogues.h"
#include "support/DataTable.h"
#include "support/RecordFrameFor.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBLookupCombo.h"

#include <QApplication>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

using namespace clinictest;
using clinical::TOperationsEntryForm;
using clinical::TOperationsForm;
using clinical::TSelectBitmapForm;

namespace {

constexpr double kRate = data::MoneyState::kDefaultRate;

std::shared_ptr<const clinical::SymbolArt> art()
{
    static std::shared_ptr<const clinical::SymbolArt> shared(clinical::SymbolArt::fromProgramDir());
    return shared;
}

} // namespace

class TestOperations : public QObject {
    Q_OBJECT

    Clinic m_clinic;

    std::unique_ptr<data::TDmForm> practice(double patientDiscount = 10)
    {
        auto dm = m_clinic.open();
        addOperation(*dm, {1, QStringLiteral("Free check"), 0, 0, 2});
        addOperation(*dm, {2, QStringLiteral("Filling"), 50, 14.67, 2, true, false, true, 4});
        addOperation(*dm, {3, QStringLiteral("Crown"), 280, 280 / kRate, 4, false, true, false, 12});
        clinictest::addPatient(*dm, QStringLiteral("Picky"), patientDiscount);
        return dm;
    }

private Q_SLOTS:
    void init() { testsupport::signInWithFullRights(); }

    void initTestCase() { QVERIFY2(art()->canPreview(), "the artwork is built beside the program"); }

    // The demo practice's operations paint symbols the library beside the program has.
    void demoOperationsHaveTheirSymbols()
    {
        const clinical::TSymbolContainer& library = *art()->library();
        for (const data::demo::DemoOperation& op : data::demo::operations()) {
            if (op.symbol != data::demo::symbol::None)
                QVERIFY2(library.FindOffset(op.symbol) != 0, op.description);
        }
    }

    void pickerFollowsTheOperation_data()
    {
        testsupport::addRows<int, double, double, double, double>(
            { "operation", "patientDiscount", "discount", "cost", "costEuro" },
            {
                { "patient 10%, price 50 (14.67 €)", 2, 10.0, 10.0, 45.0, 13.203 },
                { "free operation: no discount", 1, 10.0, 0.0, 0.0, 0.0 },
                { "no standing discount", 3, 0.0, 0.0, 280.0, 280 / kRate },
            });
    }
    void pickerFollowsTheOperation()
    {
        QFETCH(int, operation);
        QFETCH(double, patientDiscount);
        QFETCH(double, discount);
        QFETCH(double, cost);
        QFETCH(double, costEuro);
        auto dm = practice(patientDiscount);
        TOperationsForm picker(*dm, art().get());
        const int group = operation == 3 ? 4 : 2;
        QVERIFY(picker.prepare(group, data::TreatmentLevel::Implementation));
        QVERIFY(dm->clinical().OperationsTable->locate(QStringLiteral("OperID"), operation));
        const db::Dataset& work = *dm->clinical().TempHistTable;
        QCOMPARE(work.value(u"OperID").toInt(), operation);
        QCOMPARE(work.value(u"Discount").toDouble(), discount);
        QVERIFY(qAbs(work.value(u"Cost").toDouble() - cost) < 1e-9);
        QVERIFY(qAbs(work.value(u"CostEURO").toDouble() - costEuro) < 1e-9);
        QCOMPARE(work.value(u"DentistID").toInt(), dm->defaultDentist());
        QVERIFY(!picker.SymbolImage->pixmap().isNull());
    }

    void pickerListsItsGroup_data()
    {
        testsupport::addRows<int, int, int, int, bool>(
            { "group", "chartLevel", "role", "operations", "prices" },
            {
                { "plan", 2, 1, 0, 2, true },
                { "initial situation", 2, 0, 0, 2, false },
                { "restricted role", 4, 2, 1, 1, false },
                { "empty group", 9, 2, 0, 0, true },
            });
    }
    void pickerListsItsGroup()
    {
        QFETCH(int, group);
        QFETCH(int, chartLevel);
        QFETCH(int, role);
        QFETCH(int, operations);
        QFETCH(bool, prices);
        auto dm = practice();
        platform::session().role = platform::UserRole(role);
        TOperationsForm picker(*dm, art().get());
        QCOMPARE(picker.prepare(group, data::TreatmentLevel(chartLevel)), operations > 0);
        picker.show();
        QCOMPARE(dm->clinical().OperationsTable->recordCount(), operations);
        QCOMPARE(picker.OkBtn->isEnabled(), operations > 0);
        QCOMPARE(picker.PriceBox->isVisible(), prices);
        picker.reject();
        // The catalogue lists every operation again.
        TOperationsEntryForm catalogue(*dm, nullptr, art());
        catalogue.show();
        QCOMPARE(dm->clinical().OperationsTable->recordCount(), 3);
    }

    void pickerAsksOnlyWhatTheOperationRequires()
    {
        auto dm = practice();
        exec(*dm->Database, QStringLiteral("INSERT INTO MaterialDB (MaterialID, Description, MedicalUse) VALUES ('M1', 'Composite', TRUE)"));
        exec(*dm->Database, QStringLiteral("INSERT INTO DentalLabDB (DentalLabID, Company) VALUES (5, 'Lab Five')"));
        for (db::Dataset* view : {dm->supplies().DentalMaterialsTable, dm->supplies().DentalLabTable, dm->supplies().DentalLabForLookTable})
            view->refresh();
        TOperationsForm picker(*dm, art().get());
        picker.prepare(2, data::TreatmentLevel::Implementation);
        picker.show();
        QVERIFY(dm->clinical().OperationsTable->locate(QStringLiteral("OperID"), 2)); // material and colour
        const db::Dataset& work = *dm->clinical().TempHistTable;
        QCOMPARE(work.value(u"MaterialID").toString(), QStringLiteral("M1"));
        QVERIFY(work.value(u"DentalLabID").isNull());
        QVERIFY(picker.MaterialCombo->isEnabled());
        QVERIFY(!picker.LabCombo->isEnabled());
        QVERIFY(picker.ColorEdit->isEnabled());
        // Delete in a look-up clears it.
        picker.MaterialCombo->setFocus();
        QTest::keyClick(picker.MaterialCombo, Qt::Key_Delete);
        QVERIFY(work.value(u"MaterialID").isNull());

        QVERIFY(dm->clinical().OperationsTable->locate(QStringLiteral("OperID"), 1)); // nothing required
        QVERIFY(work.value(u"MaterialID").isNull());
        QVERIFY(!picker.MaterialCombo->isEnabled());
        QVERIFY(!picker.ColorEdit->isEnabled());
    }

    void pickerCostAndDiscount_data()
    {
        testsupport::addRows<bool, QString, double, double, double>(
            { "euro", "edited", "value", "discount", "cost" },
            {
                { "cost 40 of 50", false, "Cost", 40.0, 20.0, 40.0 },
                { "discount 50%", false, "Discount", 50.0, 50.0, 25.0 },
                { "EURO cost of half", true, "CostEURO", 7.335, 50.0, 45.0 }, // local cost untouched
            });
    }
    void pickerCostAndDiscount()
    {
        QFETCH(bool, euro);
        QFETCH(QString, edited);
        QFETCH(double, value);
        QFETCH(double, discount);
        QFETCH(double, cost);
        auto dm = practice();
        dm->money().setEuroMode(euro);
        TOperationsForm picker(*dm, art().get());
        picker.prepare(2, data::TreatmentLevel::Implementation);
        QVERIFY(dm->clinical().OperationsTable->locate(QStringLiteral("OperID"), 2));
        db::Dataset& work = *dm->clinical().TempHistTable;
        work.setValue(edited, value);
        if (edited == QLatin1String("Discount"))
            picker.DiscountEditExit();
        else
            picker.CostEditExit();
        QVERIFY(qAbs(work.value(u"Discount").toDouble() - discount) < 1e-9);
        QVERIFY(qAbs(work.value(u"Cost").toDouble() - cost) < 1e-9);
    }

    // The chart's group tool runs the picker; "Ok" leaves what the next clicks record.
    void chartPicksAnOperation_data() { testsupport::addSwitchRows("ok", "Ok", "Cancel"); }
    void chartPicksAnOperation()
    {
        QFETCH(bool, ok);
        auto dm = practice();
        clinical::currentOperation() = {};
        QTimer::singleShot(0, this, [ok] {
            auto* picker = qobject_cast<TOperationsForm*>(QApplication::activeModalWidget());
            QVERIFY(picker);
            picker->DateEdit->setDate(QDate(2026, 5, 4));
            (ok ? picker->OkBtn : picker->CancelBtn)->click();
        });
        QCOMPARE(clinical::ChartServices::instance().pickOperation(
                     *dm, 2, data::TreatmentLevel::Implementation, nullptr),
            ok);
        const clinical::CurrentOperation& op = clinical::currentOperation();
        QCOMPARE(dm->clinical().OperationsTable->value(u"Description").toString(), QStringLiteral("Filling")); // the first of group 2
        QCOMPARE(op.date, ok ? QDate(2026, 5, 4) : QDate());
        QCOMPARE(op.discount, ok ? 10.0 : 0.0);
        QCOMPARE(op.cost, ok ? 45.0 : 0.0);
        QVERIFY(qAbs(op.costEuro - (ok ? 13.203 : 0.0)) < 1e-9);
        QCOMPARE(op.dentistId, ok ? QString::number(dm->defaultDentist()) : QString());
    }

    void chooserPages()
    {
        const clinical::TSymbolContainer& library = *art()->library();
        TSelectBitmapForm chooser(*art(), true);
        QCOMPARE(chooser.start(), 0);
        QVERIFY(!chooser.PrevBtn->isEnabled());
        QVERIFY(chooser.NextBtn->isEnabled());
        QCOMPARE(chooser.Previews.size(), TSelectBitmapForm::PageSize);
        QCOMPARE(chooser.Previews.first()->pixmap().size(), QSize(52, 124));
        const int last = library.IdentifierAt(library.count() - 1);
        int pages = 1;
        while (chooser.NextBtn->isEnabled()) {
            chooser.NextBtn->click();
            ++pages;
            QCOMPARE(chooser.start(), (pages - 1) * TSelectBitmapForm::PageSize);
            QVERIFY(chooser.PrevBtn->isEnabled());
        }
        QCOMPARE(pages, last / TSelectBitmapForm::PageSize + 1);
        chooser.PrevBtn->click();
        QCOMPARE(chooser.start(), (pages - 2) * TSelectBitmapForm::PageSize);
        QTest::mouseDClick(chooser.Previews[3], Qt::LeftButton);
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        QCOMPARE(chooser.selected(), (pages - 2) * TSelectBitmapForm::PageSize + 3);
    }

    void catalogueChoosesSymbolAndGroupWhileEditing()
    {
        auto dm = practice();
        const auto frame = testsupport::recordFrameFor(*dm);
        TOperationsEntryForm catalogue(*dm, nullptr, art());
        catalogue.show();
        QCOMPARE(dm->ActiveSrc->dataset(), dm->clinical().OperationsTable);
        QCOMPARE(dm->ActiveSrc->tag(), TOperationsEntryForm::FormCode);
        QVERIFY(dm->clinical().OperationsTable->locate(QStringLiteral("OperID"), 3));
        QVERIFY(!catalogue.SelectBitmapBtn->isEnabled());
        QVERIFY(!catalogue.GroupBtn->isEnabled());
        catalogue.chooseGroup(7);
        QCOMPARE(dm->clinical().OperationsTable->value(u"GroupID").toInt(), 4); // not while browsing
        QVERIFY(!catalogue.GroupImage->pixmap().isNull());

        dm->clinical().OperationsTable->edit();
        QVERIFY(catalogue.SelectBitmapBtn->isEnabled());
        QVERIFY(catalogue.GroupBtn->isEnabled());
        catalogue.GroupMenu->actions().at(6)->trigger();
        QCOMPARE(dm->clinical().OperationsTable->value(u"GroupID").toInt(), 7);
        // The chooser opens on the first symbols whatever the operation has (12 here).
        int start = -1;
        QTimer::singleShot(0, this, [&start] {
            auto* chooser = qobject_cast<TSelectBitmapForm*>(QApplication::activeModalWidget());
            QVERIFY(chooser);
            start = chooser->start();
            chooser->NextBtn->click();
            chooser->choose(2);
        });
        catalogue.SelectBitmapBtnClick();
        QCOMPARE(start, 0);
        QCOMPARE(dm->clinical().OperationsTable->value(u"BitmapID").toInt(), 10);
        dm->clinical().OperationsTable->post();
        QCOMPARE(scalar(*dm->Database, QStringLiteral("SELECT BitmapID FROM Operations WHERE OperID = 3")).toInt(), 10);
        QVERIFY(!catalogue.SelectBitmapBtn->isEnabled());
    }

    void medicalEditionHidesTheChartParts()
    {
        auto dm = practice();
        platform::session().edition = platform::Edition::Medical;
        TOperationsEntryForm catalogue(*dm, nullptr, art());
        catalogue.show();
        QVERIFY(!catalogue.BitmapBox->isVisible());
        QVERIFY(!catalogue.AskBox->isVisible());
        QVERIFY(!catalogue.GroupBox->isVisible());
        for (int column : {TOperationsEntryForm::Bitmap2Column, TOperationsEntryForm::BitmapColumn, TOperationsEntryForm::GroupColumn,
                 TOperationsEntryForm::TransparentColumn})
            QVERIFY(!catalogue.Grid->isColumnVisible(column));
        QVERIFY(catalogue.Grid->isColumnVisible(TOperationsEntryForm::CostColumn));
    }
};

QTEST_MAIN(TestOperations)
#include "tst_operations.moc"
