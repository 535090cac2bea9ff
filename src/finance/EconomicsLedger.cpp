// The ledger window at work: switching ledgers and tabs, the filter, the footers, the receipt
// marks, the counterpart's search, activation and closing.

#include "finance/EconomicsUnit.h"

#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"
#include "db/DataSource.h"
#include "db/Errors.h"
#include "finance/LedgerColors.h"
#include "finance/LedgerReport.h"
#include "finance/OtherSourcesDlg.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "platform/Session.h"
#include "reports/ReportOutput.h"
#include "widgets/CurrencyMode.h"
#include "widgets/DBCalcEdit.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBLookupCombo.h"
#include "widgets/DBRadioGroup.h"
#include "widgets/DBText.h"
#include "widgets/Language.h"
#include "widgets/UserAction.h"
#include "widgets/WindowService.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace finance {

db::Dataset* TEconomicsForm::view() const
{
    return ledgerView(m_dm, m_source);
}

db::DataSource* TEconomicsForm::mainSource() const
{
    return ledgerSourceOf(m_dm, m_source);
}

bool TEconomicsForm::settleChanges()
{
    db::Dataset* v = view();
    return !v || askToPost(*v);
}

bool TEconomicsForm::setSource(LedgerSource source)
{
    if (!settleChanges())
        return false;
    removeFilter();
    m_source = source;
    m_onBehalf.clear();
    applySource();
    return true;
}

bool TEconomicsForm::setTab(LedgerTab tab)
{
    if (!settleChanges()) {
        TabSet->setCurrentIndex(static_cast<int>(m_tab));
        return false;
    }
    m_tab = tab;
    TabSet->setCurrentIndex(static_cast<int>(tab));
    applyVisibility();
    if (db::Dataset* v = view(); v && v->isActive())
        v->refresh();
    updateFooters();
    return true;
}

void TEconomicsForm::applySource()
{
    const LedgerCaptions captions = captionsOf(m_source);
    const auto tr = [this](const QString& text) { return Lang->Message(text); };
    SignRadio->setItems({ tr(captions.receivable), tr(captions.payable) });
    TabSet->setTabText(1, tr(captions.receivableTab));
    TabSet->setTabText(2, tr(captions.payableTab));
    NameLabel->setText(tr(captions.name));
    QStringList columns = Grid->columnCaptions();
    columns[PayableColumn] = tr(captions.payable);
    columns[ReceivableColumn] = tr(captions.receivable);
    Grid->setColumnCaptions(columns);
    setWindowTitle(
        tr(QStringLiteral("Financial Transactions")) + QStringLiteral(" - ") + tr(captions.sideBar));
    // The side bar shows the ledger chosen.
    for (int g = 0; g < SideBar->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = SideBar->topLevelItem(g);
        for (int i = 0; i < group->childCount(); ++i) {
            if (!group->isHidden()
                && group->child(i)->data(0, Qt::UserRole).toInt() == static_cast<int>(m_source))
                SideBar->setCurrentItem(group->child(i));
        }
    }

    db::Dataset* v = view();
    if (!v->isActive())
        m_dm.OpenTable(*v);
    bindEditors();
    if (holdsRecordCommands())
        claimRecordCommands(); // the commands follow the ledger chosen
    installFilter();
    v->last();
    fillDescriptions();
    applyVisibility();
    followRow();
    updateFooters();
}

void TEconomicsForm::bindEditors()
{
    db::Dataset* v = view();
    db::DataSource* rows = mainSource();
    for (const QMetaObject::Connection& c : std::as_const(m_viewConnections))
        disconnect(c);
    m_viewConnections.clear();
    Grid->setDataSource(rows);
    const struct {
        widgets::DataAware* editor;
        const char* field;
    } bindings[] = {
        { DateEdit, "Date" },
        { DentistCombo, "DentistID" },
        { SignRadio, "Sign" },
        { AmountEdit, "Credit" },
        { ReceiptNoEdit, "ReceiptNo" },
        { ReceiptAmountEdit, "ReceiptCredit" },
        { DescriptionCombo, "Description" },
        { PaymentRadio, "PaymentType" },
        { PaymentTextEdit, "PaymentText" },
        { DueDateEdit, "DueDate" },
        { ChildNameText, "ChildName" },
    };
    for (const auto& b : bindings)
        b.editor->bindTo(
            m_source == LedgerSource::Patients || QLatin1String(b.field) != QLatin1String("ChildName")
                ? rows
                : nullptr,
            QString::fromLatin1(b.field));
    // The counterpart's name: the patient's, the company's, or the row's own for other sources.
    switch (m_source) {
    case LedgerSource::Patients:
        NameEdit->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("Name"));
        break;
    case LedgerSource::Suppliers:
        NameEdit->bindTo(m_dm.supplies().SuppliersSrc, QStringLiteral("Company"));
        break;
    case LedgerSource::DentalLabs:
        NameEdit->bindTo(m_dm.supplies().DentalLabSrc, QStringLiteral("Company"));
        break;
    case LedgerSource::Other:
        NameEdit->bindTo(rows, QStringLiteral("SourceName"));
        break;
    }
    NameEdit->dataLink()->setReadOnly(m_source != LedgerSource::Other);
    AddressText->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("Address"));
    JobText->bindTo(m_dm.patients().PatientsSrc, QStringLiteral("Job"));

    m_viewConnections << connect(rows, &db::DataSource::dataChanged, this, [this](const QString& field) {
        if (field.isEmpty() || field == QLatin1String("PaymentType") || field == QLatin1String("ChildID"))
            followRow();
    });
    m_viewConnections << connect(rows, &db::DataSource::stateChanged, this, &TEconomicsForm::followState);
    for (auto signal : { &db::Dataset::afterPost, &db::Dataset::afterDelete })
        m_viewConnections << connect(v, signal, this, &TEconomicsForm::updateFooters);
    m_viewConnections << connect(v, &db::Dataset::afterRefresh, this, &TEconomicsForm::updateFooters);
    // A supplier's stored balance is written after the ledger's row.
    if (m_source == LedgerSource::Suppliers || m_source == LedgerSource::DentalLabs) {
        db::Dataset* counterpart = m_source == LedgerSource::Suppliers ? m_dm.supplies().SuppliersTable
                                                                       : m_dm.supplies().DentalLabTable;
        m_viewConnections << connect(
            counterpart, &db::Dataset::afterPost, this, &TEconomicsForm::updateFooters);
        m_viewConnections << connect(
            counterpart, &db::Dataset::afterScroll, this, &TEconomicsForm::updateFooters);
    }
    if (m_source == LedgerSource::Patients)
        m_viewConnections << connect(
            m_dm.clinical().SessionsTable, &db::Dataset::afterScroll, this, &TEconomicsForm::updateFooters);
    widgets::applyCurrencyMode(this, widgets::currencyMode(m_dm.money()));
}

void TEconomicsForm::installFilter()
{
    db::Dataset* v = view();
    const bool other = m_source == LedgerSource::Other;
    m_filter = v->onFilterRecord.add(
        data::Stage::Window, QStringLiteral("EconomicsForm"), [this, other](const db::Dataset& ds) {
            return ledgerRowShown(m_tab, platform::receiptsOnly(), other, ds.value(u"Sign"),
                ds.value(u"IOFld").toBool(), other ? ds.value(u"TransactionType") : QVariant());
        });
    m_shown = v;
    if (v->isFiltered())
        v->refresh();
    else
        v->setFiltered(true); // reads the rows again
}

void TEconomicsForm::removeFilter()
{
    if (!m_shown)
        return;
    db::Dataset* previous = m_shown;
    m_shown = nullptr;
    m_filter.release();
    // The practice's ledger keeps its own filter of other sources.
    if (previous != m_dm.finance().DentEconomicsTable && previous->isFiltered())
        previous->setFiltered(false);
    else if (previous->isActive() && !previous->isEditing())
        previous->refresh();
}

void TEconomicsForm::setEditorVisible(QWidget* editor, bool visible)
{
    editor->setVisible(visible);
    for (QLabel* label : std::as_const(m_labels)) {
        if (label->buddy() == editor)
            label->setVisible(visible);
    }
}

void TEconomicsForm::applyVisibility()
{
    const bool receiptsOnly = platform::receiptsOnly();
    Grid->setColumnVisible(BalanceColumn, m_tab == LedgerTab::All);
    Grid->setColumnVisible(PayableColumn, m_tab != LedgerTab::Receivable);
    Grid->setColumnVisible(ReceivableColumn, m_tab != LedgerTab::Payable);
    for (int column : { ReceiptColumn, ReceiptCreditColumn, DescriptionColumn })
        Grid->setColumnVisible(column, !receiptsOnly);
    setEditorVisible(AmountEdit, !receiptsOnly);
    setEditorVisible(DescriptionCombo, !receiptsOnly);
    const bool patients = m_source == LedgerSource::Patients;
    setEditorVisible(AddressText, patients);
    setEditorVisible(JobText, patients);
    const bool marks = !receiptsOnly && patients && m_tab != LedgerTab::Receivable;
    OkItem->setVisible(marks);
    NotOkItem->setVisible(marks);
    const db::Dataset* v = view();
    const bool cash = !v->isActive() || v->isEmpty() || v->value(u"PaymentType").toInt() == 0;
    setEditorVisible(PaymentTextEdit, !cash);
    setEditorVisible(DueDateEdit, !cash);
    const bool onBehalf = patients && v->isActive() && !v->isEmpty() && !v->value(u"ChildID").isNull();
    OnBehalfLabel->setVisible(onBehalf);
    ChildNameText->setVisible(onBehalf);
}

// A patient's charge posted by a treatment.
bool TEconomicsForm::fromTreatment(const db::Dataset& ds) const
{
    return m_source == LedgerSource::Patients && data::holds(ds.value(u"Sign"), data::Sign::Payable)
        && !ds.value(u"HistoryID").isNull();
}

bool TEconomicsForm::rowLocked() const
{
    // A treatment's charge is changed through its treatment only.
    const db::Dataset* v = view();
    return v && v->isActive() && !v->isEmpty() && v->state() != db::DatasetState::Insert && fromTreatment(*v);
}

void TEconomicsForm::followRow()
{
    const bool locked = rowLocked();
    for (widgets::DataAware* editor :
        std::initializer_list<widgets::DataAware*> { DateEdit, DentistCombo, SignRadio, AmountEdit,
            ReceiptNoEdit, ReceiptAmountEdit, DescriptionCombo, PaymentRadio, PaymentTextEdit, DueDateEdit })
        editor->dataLink()->setReadOnly(locked);
    applyVisibility();
}

void TEconomicsForm::followState()
{
    const db::Dataset* v = view();
    const bool editing = v->isEditing();
    PrintBtn->setEnabled(!editing);
    CloseBtn->setEnabled(!editing);
    // The counterpart is chosen in browse state; a row of other sources names its own.
    SearchBtn->setEnabled(!editing || m_source == LedgerSource::Other);
    SideBar->setEnabled(true);
    followRow();
}

double TEconomicsForm::footerBalance() const
{
    const bool euro = m_dm.money().euroMode();
    switch (m_source) {
    case LedgerSource::Patients: {
        const QVariant session = data::currentValue(*m_dm.clinical().SessionsTable, u"SessionID");
        const data::SessionBalance b
            = session.isNull() ? data::SessionBalance {} : m_dm.clinical().sessionBalance(session);
        return euro ? b.euro : b.local;
    }
    case LedgerSource::Suppliers:
        return data::currentValue(*m_dm.supplies().SuppliersTable, euro ? u"BalanceEURO" : u"Balance")
            .toDouble();
    case LedgerSource::DentalLabs:
        return data::currentValue(*m_dm.supplies().DentalLabTable, euro ? u"BalanceEURO" : u"Balance")
            .toDouble();
    case LedgerSource::Other:
        break;
    }
    const data::SessionBalance total = m_dm.finance().otherSourcesTotal();
    return euro ? total.euro : total.local;
}

void TEconomicsForm::updateFooters()
{
    double balance = 0;
    try {
        balance = footerBalance();
    } catch (const std::exception& e) {
        // the footer keeps nothing rather than a stale figure
        platform::exceptionLog::logException(e, objectName());
    }
    Grid->setFooterText(BalanceColumn, m_dm.money().FormatMoney(balance));
    Grid->setFooterColor(BalanceColumn, balance >= 0 ? kMaroon : kTeal);
}

void TEconomicsForm::fillDescriptions()
{
    QStringList used;
    try {
        used = m_dm.finance().ledgerDescriptions();
    } catch (const std::exception& e) {
        platform::exceptionLog::logException(e, objectName());
    }
    if (used.isEmpty())
        return; // the designed list stays
    const QString typed = DescriptionCombo->currentText();
    const QSignalBlocker quiet(DescriptionCombo);
    DescriptionCombo->clear();
    DescriptionCombo->addItems(used);
    DescriptionCombo->setEditText(typed);
}

QList<QVariant> TEconomicsForm::selectedIds() const
{
    db::Dataset* v = view();
    QList<int> rows = Grid->selectedRows();
    if (rows.isEmpty() && v->isActive() && !v->isEmpty())
        rows.append(v->currentRow());
    QList<QVariant> ids;
    const int id = v->field(u"EconomID").index();
    for (int row : std::as_const(rows))
        ids.append(v->rowValue(row, id));
    return ids;
}

void TEconomicsForm::markReceipts(bool receipted)
{
    if (m_source != LedgerSource::Patients || platform::receiptsOnly() || m_tab == LedgerTab::Receivable
        || !settleChanges())
        return;
    const QList<QVariant> ids = selectedIds();
    m_marking = true;
    widgets::runUserAction([&] { m_dm.finance().markCharges(ids, receipted); });
    m_marking = false;
    updateFooters();
}

void TEconomicsForm::setPerDentist(bool on)
{
    PerDentistItem->setChecked(on);
    Grid->setGroupColumn(on ? DentistColumn : -1);
}

void TEconomicsForm::prepareNew()
{
    // A member who does not pay is charged in the family head's ledger.
    m_onBehalf.clear();
    if (m_source == LedgerSource::Patients
        && m_dm.finance().PatientEconomTable->state() != db::DatasetState::Insert)
        m_onBehalf = m_dm.finance().chargeOnBehalf();
    focusAmount();
}

void TEconomicsForm::focusAmount()
{
    if (AmountEdit->isVisible())
        AmountEdit->setFocus();
    else
        ReceiptAmountEdit->setFocus();
}

void TEconomicsForm::refreshDetails()
{
    fillDescriptions();
    updateFooters();
}

void TEconomicsForm::SearchBtnClick()
{
    db::Dataset* v = view();
    switch (m_source) {
    case LedgerSource::Patients:
        if (m_host.searchPatient)
            m_host.searchPatient();
        break;
    case LedgerSource::Suppliers:
        if (m_host.searchCompany)
            m_host.searchCompany(
                *m_dm.supplies().SuppliersTable, Lang->Message(QStringLiteral("Search for Supplier")));
        break;
    case LedgerSource::DentalLabs:
        if (m_host.searchCompany)
            m_host.searchCompany(
                *m_dm.supplies().DentalLabTable, Lang->Message(QStringLiteral("Search for Dental Lab")));
        break;
    case LedgerSource::Other: {
        QStringList names;
        try {
            names = m_dm.finance().otherSourceNames();
        } catch (const std::exception& e) {
            platform::exceptionLog::logException(
                e, QStringLiteral("Financial Transactions: the other sources' names"));
            platform::showError(QString::fromUtf8(e.what()));
            return;
        }
        TOtherSourcesDlg dialog(names, this);
        if (dialog.exec() == QDialog::Accepted && v->isEditing())
            v->setValue(u"SourceName", dialog.chosenName());
        break;
    }
    }
    updateFooters();
}

void TEconomicsForm::PrintBtnClick()
{
    const LedgerReport ledger = buildLedgerReport(m_dm, m_source, *view());
    if (ledger.rows == 0) {
        platform::showWarning(Lang->Message(QStringLiteral("No data to print.")));
        return;
    }
    reports::previewReport(ledger.report, this);
}

void TEconomicsForm::windowActivated()
{
    if (m_closing)
        return;
    if (!m_shown)
        installFilter();
    widgets::applyCurrencyMode(this, widgets::currencyMode(m_dm.money()));
    updateFooters();
}

void TEconomicsForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    Lang->Translate();
    for (QTreeWidgetItem* item :
        SideBar->findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive))
        item->setText(0, Lang->Message(item->text(0)));
    TabSet->setTabText(0, Lang->Message(QStringLiteral("All")));
    setSource(LedgerSource::Patients);
}

void TEconomicsForm::closeEvent(QCloseEvent* event)
{
    m_closing = true;
    m_tab = LedgerTab::All;
    removeFilter();
    for (db::Dataset* v : { m_dm.finance().PatientEconomTable, m_dm.finance().SupplierEconomTable,
             m_dm.finance().LabEconomTable }) {
        if (v->isFiltered())
            v->setFiltered(false);
    }
    for (const QMetaObject::Connection& c : std::as_const(m_viewConnections))
        disconnect(c);
    m_viewConnections.clear();
    if (widgets::WindowService* service = widgets::WindowService::current())
        service->clearStatusPanels();
    event->accept();
}

} // namespace finance
