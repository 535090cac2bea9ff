// The ledger window offscreen: switching ledgers with an unsaved row, treatment charges kept
// from editing (the main window's Edit and Delete off on them), the descriptions read again as
// their list drops down, the tabs' rows and columns, the footer's colours, "OK" on a selection,
// receipts-only mode, the printed ledger read back from its PDF, and failures written to the
// exceptions log.

#include "FinanceFixture.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "support/RecordFrameFor.h"

#include "app/MainUnit.h"
#include "app/ReportCommands.h"
#include "finance/EconomicsUnit.h"
#include "finance/LedgerColors.h"
#include "finance/LedgerReport.h"
#include "finance/OtherSourcesDlg.h"
#include "platform/Directories.h"
#include "widgets/DBCalcEdit.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBGrid.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>

using platform::MessageService;

class TestEconomicsForm : public RulesTest {
    Q_OBJECT

    struct Window {
        std::unique_ptr<data::TDmForm> dm;
        std::unique_ptr<widgets::RecordFrame> frame;
        std::unique_ptr<finance::TEconomicsForm> form;
    };
    Window open()
    {
        Window w;
        w.dm = m_practice->open();
        w.frame = testsupport::recordFrameFor(*w.dm);
        RulesPractice::addPatient(*w.dm, QStringLiteral("Nikolaou"));
        RulesPractice::addSupplier(*w.dm, QStringLiteral("Dental Supplies"));
        RulesPractice::addLab(*w.dm, QStringLiteral("Crown Lab"));
        w.form = std::make_unique<finance::TEconomicsForm>(*w.dm);
        w.form->show();
        return w;
    }

private Q_SLOTS:
    void cleanup() { platform::session().receiptsOnly = false; }

    void switchingSourceSettlesTheUnsavedRow_data()
    {
        testsupport::addRows<int, int>({ "answer", "storedRows" },
            {
                { "No discards the row", int(MessageService::Answer::No), 0 },
                { "Yes posts it", int(MessageService::Answer::Yes), 1 },
            });
    }
    void switchingSourceSettlesTheUnsavedRow()
    {
        QFETCH(int, answer);
        QFETCH(int, storedRows);
        Window w = open();
        QVERIFY(w.form->setSource(finance::LedgerSource::DentalLabs));
        QCOMPARE(w.dm->ActiveSrc->dataset(), w.dm->finance().LabEconomTable);
        db::Dataset& labs = *w.dm->finance().LabEconomTable;
        labs.append();
        labs.setValue(u"CreditEURO", 12.5);
        testsupport::MessageRecorder messages;
        messages.answer(MessageService::Answer(answer));
        QVERIFY(w.form->setSource(finance::LedgerSource::Suppliers));
        QCOMPARE(messages.texts(),
            QStringList { QStringLiteral("There are unsaved changes. Do you want to post them?") });
        QCOMPARE(w.form->source(), finance::LedgerSource::Suppliers);
        QVERIFY(!labs.isEditing());
        QCOMPARE(RulesPractice::scalar(
                     *w.dm, QStringLiteral("SELECT COUNT(*) FROM DentEconomics WHERE TransactionType = 1"))
                     .toInt(),
            storedRows);
        QCOMPARE(w.dm->ActiveSrc->dataset(), w.dm->finance().SupplierEconomTable);
        QVERIFY(!labs.isFiltered()); // the window's filter left with the ledger
    }

    void treatmentChargesCannotBeEdited()
    {
        Window w = open();
        const int charge = financetest::treatmentCharge(*w.dm, 80);
        db::Dataset& ledger = *w.dm->finance().PatientEconomTable;
        const int payment = rulestest::ledgerRow(ledger, -1, 50.0);
        ledger.refresh();
        QVERIFY(ledger.locate(QStringLiteral("EconomID"), charge));
        QVERIFY_THROWS_EXCEPTION(db::Abort, ledger.edit());
        QVERIFY_THROWS_EXCEPTION(db::Abort, ledger.remove());
        QVERIFY(w.form->AmountEdit->dataLink()->isReadOnly());
        QVERIFY(ledger.locate(QStringLiteral("EconomID"), payment));
        QVERIFY(!w.form->AmountEdit->dataLink()->isReadOnly());
        ledger.edit(); // a payment is the window's own
        ledger.cancel();
        // Once the window is gone its rule goes too.
        w.form->close();
        w.form.reset();
        QVERIFY(ledger.locate(QStringLiteral("EconomID"), charge));
        ledger.edit();
        ledger.cancel();
    }

    // The shared record commands follow the row: off on a treatment's charge, which the window
    // would refuse, on again on a payment; Delete does not ask about a row that would stay.
    void recordCommandsOffOnTreatmentCharges()
    {
        std::unique_ptr<data::TDmForm> dm = m_practice->open();
        RulesPractice::addPatient(*dm, QStringLiteral("Nikolaou"));
        platform::setConfigDirOverride(m_practice->settings().directory());
        platform::session().level = 255;
        app::TMainForm frame(platform::Edition::Dental);
        frame.setActiveSrc(dm->ActiveSrc);
        const auto records = testsupport::recordFrameFor(*dm);
        records->watchArea(frame.ClientArea);
        frame.show();
        auto* form = new finance::TEconomicsForm(*dm);
        frame.ClientArea->addSubWindow(form)->show();
        QCOMPARE(dm->ActiveSrc->tag(), finance::TEconomicsForm::FormCode);
        const int charge = financetest::treatmentCharge(*dm, 80);
        db::Dataset& ledger = *dm->finance().PatientEconomTable;
        const int payment = rulestest::ledgerRow(ledger, -1, 50.0);
        ledger.refresh();
        const QStringList onTheRow { QStringLiteral("EditRecordMenu"), QStringLiteral("DeleteRecordMenu"),
            QStringLiteral("Edit"), QStringLiteral("Delete") };
        const auto enabled = [&] {
            QList<bool> on;
            for (const QString& name : onTheRow)
                on.append(frame.action(name)->isEnabled());
            return on;
        };

        QVERIFY(ledger.locate(QStringLiteral("EconomID"), charge));
        QVERIFY(form->rowLocked());
        QCOMPARE(enabled(), QList<bool>(4, false));
        QVERIFY(frame.action(QStringLiteral("NewRecordMenu"))->isEnabled());
        testsupport::MessageRecorder messages;
        messages.answer(MessageService::Answer::Yes);
        frame.Records->Delete();
        frame.Records->Edit();
        QVERIFY(messages.shown().isEmpty());
        QCOMPARE(ledger.state(), db::DatasetState::Browse);

        QVERIFY(ledger.locate(QStringLiteral("EconomID"), payment));
        QVERIFY(!form->rowLocked());
        QCOMPARE(enabled(), QList<bool>(4, true));
        frame.Records->Edit();
        QCOMPARE(ledger.state(), db::DatasetState::Edit);
        frame.Records->Cancel();

        // A new row is the user's own until it is stored.
        QVERIFY(ledger.locate(QStringLiteral("EconomID"), charge));
        QCOMPARE(enabled(), QList<bool>(4, false));
        frame.Records->New();
        QVERIFY(!form->rowLocked());
        frame.Records->Cancel();
        QCOMPARE(enabled(), QList<bool>(4, !form->rowLocked()));
        platform::setConfigDirOverride({});
    }

    // A description another workstation stored since the list was filled is offered when the
    // list drops down, and what the user typed stays.
    void descriptionsReadAgainOnDropDown()
    {
        Window w = open();
        db::Dataset& ledger = *w.dm->finance().PatientEconomTable;
        const QString stored = QStringLiteral("Implant deposit");
        db::Query(*w.dm->Database,
            QStringLiteral("INSERT INTO DentEconomics (EconomID, TransactionType, Sign, Description) "
                           "VALUES (9001, 2, -1, :text)"))
            .bind(QStringLiteral("text"), stored)
            .exec();
        widgets::DBComboBox* combo = w.form->DescriptionCombo;
        QCOMPARE(combo->findText(stored), -1);
        ledger.append();
        QTest::keyClicks(combo->lineEdit(), QStringLiteral("Cheque"));
        combo->showPopup();
        QVERIFY(combo->findText(stored) >= 0);
        QCOMPARE(combo->currentText(), QStringLiteral("Cheque"));
        combo->hidePopup();
        QCOMPARE(ledger.value(u"Description").toString(), QStringLiteral("Cheque"));
        ledger.cancel();
    }

    void tabsFilterRowsAndColumns_data()
    {
        testsupport::addRows<int, int, bool, bool, bool>(
            { "tab", "rows", "balance", "payable", "receivable" },
            {
                { "All", int(finance::LedgerTab::All), 3, true, true, true },
                { "Payments", int(finance::LedgerTab::Receivable), 1, false, false, true },
                { "Debts", int(finance::LedgerTab::Payable), 2, false, true, false },
            });
    }
    void tabsFilterRowsAndColumns()
    {
        QFETCH(int, tab);
        QFETCH(int, rows);
        QFETCH(bool, balance);
        QFETCH(bool, payable);
        QFETCH(bool, receivable);
        Window w = open();
        QVERIFY(w.form->setSource(finance::LedgerSource::Other));
        db::Dataset& ledger = *w.dm->finance().DentEconomicsTable;
        rulestest::ledgerRow(ledger, 1, 10.0);
        rulestest::ledgerRow(ledger, QVariant(), 20.0); // no direction counts as a debt
        rulestest::ledgerRow(ledger, -1, 5.0);
        RulesPractice::addRow(*w.dm->finance().SupplierEconomTable,
            { { "Sign", 1 }, { "CreditEURO", 7.0 } }); // not the practice's
        QVERIFY(w.form->setTab(finance::LedgerTab(tab)));
        QCOMPARE(ledger.recordCount(), rows);
        using Column = finance::TEconomicsForm::Column;
        QCOMPARE(w.form->Grid->isColumnVisible(Column::BalanceColumn), balance);
        QCOMPARE(w.form->Grid->isColumnVisible(Column::PayableColumn), payable);
        QCOMPARE(w.form->Grid->isColumnVisible(Column::ReceivableColumn), receivable);
        QVERIFY(w.form->Grid->isColumnVisible(Column::DescriptionColumn));
    }

    // One payment of 100 and no charge: -100 in teal; a charge left: maroon.
    void footerColours_data()
    {
        testsupport::addRows<int, double, QColor>({ "sign", "balance", "colour" },
            {
                { "payment only", -1, -100.0, finance::kTeal },
                { "charge only", 1, 100.0, finance::kMaroon },
            });
    }
    void footerColours()
    {
        QFETCH(int, sign);
        QFETCH(double, balance);
        QFETCH(QColor, colour);
        Window w = open();
        rulestest::ledgerRow(*w.dm->finance().PatientEconomTable, sign, 100.0);
        QCOMPARE(w.form->footerBalance(), balance);
        using Column = finance::TEconomicsForm::Column;
        QCOMPARE(w.form->Grid->footerText(Column::BalanceColumn), w.dm->money().FormatMoney(balance));
        QCOMPARE(w.form->Grid->footerColor(Column::BalanceColumn), colour);
        const QModelIndex cell = w.form->Grid->view()->model()->index(0, Column::BalanceColumn);
        QCOMPARE(finance::LedgerColorDelegate::colorOf(
                     finance::LedgerColorDelegate::BySign, cell.data(db::DatasetModel::ValueRole)),
            colour);
        // The footer follows the currency shown.
        w.dm->money().setEuroMode(false);
        QCOMPARE(w.form->Grid->footerText(Column::BalanceColumn),
            w.dm->money().FormatMoney(balance * kFinanceRate));
        w.dm->money().setEuroMode(true);
    }

    void okOnTheSelection()
    {
        Window w = open();
        const int first = financetest::treatmentCharge(*w.dm, 80);
        const int second = financetest::treatmentCharge(*w.dm, 20);
        db::Dataset& ledger = *w.dm->finance().PatientEconomTable;
        rulestest::ledgerRow(ledger, -1, 50.0);
        ledger.refresh();
        QVERIFY(w.form->OkItem->isVisible());
        w.form->Grid->view()->selectAll();
        w.form->markReceipts(true);
        QCOMPARE(RulesPractice::scalar(*w.dm,
                     QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE IOFld = TRUE AND Sign = 1"))
                     .toInt(),
            2);
        QCOMPARE(
            RulesPractice::scalar(*w.dm, QStringLiteral("SELECT COUNT(*) FROM History WHERE IOFld = TRUE"))
                .toInt(),
            2);
        QVERIFY(ledger.locate(QStringLiteral("EconomID"), first) && ledger.value(u"IOFld").toBool());
        QVERIFY(ledger.locate(QStringLiteral("EconomID"), second)
            && ledger.value(u"ReceiptCreditEURO").toDouble() == 20.0);
    }

    // Per dentist: each group's header shows its debts less its payments under the balance.
    void perDentistGroups()
    {
        Window w = open();
        RulesPractice::addRow(*w.dm->lists().DentistsTable, { { "LastName", "Alexiou" } });
        const int first = w.dm->lists().DentistsTable->value(u"DocID").toInt();
        RulesPractice::addRow(*w.dm->lists().DentistsTable, { { "LastName", "Vlachou" } });
        const int second = w.dm->lists().DentistsTable->value(u"DocID").toInt();
        db::Dataset& ledger = *w.dm->finance().PatientEconomTable;
        rulestest::ledgerRow(ledger, 1, 100.0, { { "DentistID", first } });
        rulestest::ledgerRow(ledger, -1, 30.0, { { "DentistID", first } });
        rulestest::ledgerRow(ledger, 1, 50.0, { { "DentistID", second } });
        w.form->setPerDentist(true);
        QStringList groups;
        const QAbstractItemModel* shown = w.form->Grid->view()->model();
        for (int row = 0; row < shown->rowCount(); ++row) {
            if (w.form->Grid->datasetRowOf(row) < 0)
                groups << shown->index(row, finance::TEconomicsForm::BalanceColumn).data().toString();
        }
        QCOMPARE(groups, (QStringList { w.dm->money().FormatMoney(70), w.dm->money().FormatMoney(50) }));
        w.form->setPerDentist(false);
        QCOMPARE(w.form->Grid->view()->model()->rowCount(), ledger.recordCount());
    }

    // Receipts only: the unreceipted charge is gone, amounts and marks are hidden.
    void receiptsOnlyMode()
    {
        Window w = open();
        db::Dataset& ledger = *w.dm->finance().PatientEconomTable;
        rulestest::ledgerRow(ledger, 1, 70.0); // never marked
        rulestest::ledgerRow(ledger, -1, 30.0, { { "ReceiptNo", "R-1" }, { "ReceiptCreditEURO", 30.0 } });
        platform::session().receiptsOnly = true;
        QVERIFY(w.form->setSource(finance::LedgerSource::Patients));
        QCOMPARE(ledger.recordCount(), 1);
        QCOMPARE(ledger.value(u"BalanceEURO").toDouble(), -30.0);
        QVERIFY(w.form->AmountEdit->isHidden());
        using Column = finance::TEconomicsForm::Column;
        for (int column : { Column::ReceiptColumn, Column::ReceiptCreditColumn, Column::DescriptionColumn })
            QVERIFY(!w.form->Grid->isColumnVisible(column));
        QVERIFY(!w.form->OkItem->isVisible());
        QCOMPARE(w.form->footerBalance(), -30.0);
    }

    // "Other Sources": typing finds the first name that begins with the text; with no names
    // the typed text is the name.
    void otherSourcesChoice_data()
    {
        const QStringList names
            = { QStringLiteral("Electricity"), QStringLiteral("Rent"), QStringLiteral("Rentokil") };
        testsupport::addRows<QStringList, QString, QString>({ "names", "typed", "chosen" },
            {
                { "prefix, any case", names, "ren", "Rent" },
                { "longer prefix", names, "Rento", "Rentokil" },
                { "no match keeps the row", names, "x", "Electricity" },
                { "empty list", QStringList(), "Landlord", "Landlord" },
            });
    }
    void otherSourcesChoice()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        finance::TOtherSourcesDlg dialog(names);
        QTest::keyClicks(dialog.SearchEdit, typed);
        QCOMPARE(dialog.chosenName(), chosen);
    }

    void ledgerReportPdf()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed (poppler-utils)");
        Window w = open();
        w.form->close();
        db::Dataset& ledger = *w.dm->finance().PatientEconomTable;
        rulestest::ledgerRow(ledger, 1, 250.0, { { "Description", "Crown 26" } });
        rulestest::ledgerRow(ledger, -1, 100.0, { { "Description", "Cash at the desk" } });
        const int patient = w.dm->patients().PatientsTable->value(u"PatientID").toInt();
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("ledger.pdf"));
        QString errors;
        QTextStream stream(&errors);
        QCOMPARE(finance::writeLedgerReport(*w.dm, finance::LedgerSource::Patients, patient, pdf, stream), 0);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
        QVERIFY(text.waitForFinished());
        const QString read = QString::fromUtf8(text.readAllStandardOutput());
        for (const QString& expected : { QStringLiteral("Financial Transactions"), QStringLiteral("Nikolaou"),
                 QStringLiteral("Crown 26"), QStringLiteral("Cash at the desk"),
                 w.dm->money().FormatMoney(250), w.dm->money().FormatMoney(150) })
            QVERIFY2(read.contains(expected), qPrintable(expected + QStringLiteral(" missing in:\n") + read));

        // An empty ledger prints nothing.
        QCOMPARE(finance::writeLedgerReport(*w.dm, finance::LedgerSource::Suppliers,
                     w.dm->supplies().SuppliersTable->value(u"SupplierID").toInt(), pdf, stream),
            1);
        QVERIFY(errors.contains(QStringLiteral("No data to print.")));
    }

    // What went wrong is told, and written to the exceptions log with what was being done.
    void failuresAreLogged()
    {
        QTemporaryDir program;
        const QByteArray programDir = qgetenv("ORVANE_PROGRAM_DIR");
        qputenv("ORVANE_PROGRAM_DIR", program.path().toUtf8());
        const auto logged = [&] {
            QFile log(QDir(program.path()).filePath(QStringLiteral("exceptions.log")));
            return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
        };

        // The ledger report of a data directory that is not there.
        QString errors;
        QTextStream stream(&errors);
        QCOMPARE(app::writeLedgerReport(program.filePath(QStringLiteral("missing")),
                     QStringLiteral("patient"), 7, program.filePath(QStringLiteral("ledger.pdf")), stream),
            1);
        QVERIFY(!errors.isEmpty());
        QVERIFY2(logged().contains(QStringLiteral("Ledger report of patient 7: ")), qPrintable(logged()));

        // The names of the other sources cannot be read.
        Window w = open();
        QVERIFY(w.form->setSource(finance::LedgerSource::Other));
        db::Query::run(*w.dm->Database,
            QStringLiteral("ALTER TABLE DentEconomics RENAME COLUMN SourceName TO SourceNameGone"));
        testsupport::MessageRecorder messages;
        w.form->SearchBtnClick();
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY2(logged().contains(QStringLiteral("Financial Transactions: the other sources' names: ")),
            qPrintable(logged()));
        qputenv("ORVANE_PROGRAM_DIR", programDir);
    }
};

QTEST_MAIN(TestEconomicsForm)
#include "tst_economicsform.moc"
