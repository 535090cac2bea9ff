// The ledger window: its controls, the side bar and the popup.

#include "finance/EconomicsUnit.h"
#include "widgets/CloseButton.h"

#include "data/DmUnit.h"
#include "db/DatasetModel.h"
#include "db/DataSource.h"
#include "db/Errors.h"
#include "finance/LedgerColors.h"
#include "platform/Session.h"
#include "widgets/CheckColumnDelegate.h"
#include "widgets/CurrencyMode.h"
#include "widgets/DBCalcEdit.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBLookupCombo.h"
#include "widgets/DBRadioGroup.h"
#include "widgets/DBText.h"
#include "widgets/GridLayoutStore.h"
#include "widgets/Language.h"
#include "widgets/WindowPlacement.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace finance {

TEconomicsForm::TEconomicsForm(data::TDmForm& dm, EconomicsHost host, QWidget* parent)
    : QWidget(parent)
    , m_dm(dm)
    , m_host(std::move(host))
{
    setObjectName(QStringLiteral("EconomicsForm"));
    setWindowTitle(QStringLiteral("Financial Transactions"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(900, 600);
    new widgets::WindowPlacement(this);

    buildSideBar();
    QWidget* editors = buildEditors();
    buildGrid();
    new widgets::GridLayoutStore(Grid, this);
    buildPopup();

    TabSet = new QTabBar(this);
    TabSet->setObjectName(QStringLiteral("TabSet"));
    TabSet->addTab(QStringLiteral("All"));
    TabSet->addTab(QStringLiteral("Payments"));
    TabSet->addTab(QStringLiteral("Debts"));
    connect(TabSet, &QTabBar::tabBarClicked, this, [this](int index) {
        // The tab moves only once unsaved changes are settled.
        if (index >= 0 && index != TabSet->currentIndex())
            setTab(static_cast<LedgerTab>(index));
    });

    PrintBtn = new QPushButton(QStringLiteral("Print"), this);
    PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
    CloseBtn = widgets::closeButton(*this);
    connect(PrintBtn, &QPushButton::clicked, this, &TEconomicsForm::PrintBtnClick);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(TabSet);
    buttons->addStretch(1);
    buttons->addWidget(widgets::currencyButton(this, m_dm.money()));
    buttons->addWidget(PrintBtn);
    buttons->addWidget(CloseBtn);

    auto* right = new QVBoxLayout;
    right->addWidget(editors);
    right->addLayout(buttons);
    right->addWidget(Grid, 1);
    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    root->addWidget(SideBar);
    root->addLayout(right, 1);

    Lang = new widgets::TLanguage(this);
    QStringList paths;
    for (QLabel* label : std::as_const(m_labels))
        paths.append(QStringLiteral("EconomicsForm.%1.Caption").arg(label->objectName()));
    for (const char* name : { "PrintBtn", "CloseBtn", "OkItem", "NotOkItem", "PerDentistItem",
             "OnBehalfLabel", "SignRadio", "PaymentRadio" })
        paths.append(QStringLiteral("EconomicsForm.%1.Caption").arg(QLatin1String(name)));
    paths.append(QStringLiteral("EconomicsForm.PaymentRadio.Items"));
    paths.append(QStringLiteral("EconomicsForm.dxDBGrid1.Columns"));
    Lang->setProperties(paths);

    // A treatment's charge changes only through its treatment; "OK" marks it all the same.
    const auto treatmentCharge = [this](db::Dataset& ds) {
        if (!m_marking && fromTreatment(ds))
            throw db::Abort();
    };
    m_rules.push_back(m_dm.finance().PatientEconomTable->beforeEdit.add(
        data::Stage::Window, QStringLiteral("EconomicsForm"), treatmentCharge));
    m_rules.push_back(m_dm.finance().PatientEconomTable->beforeDelete.add(
        data::Stage::Window, QStringLiteral("EconomicsForm"), treatmentCharge));
    m_dm.finance().financeChargedMember = [this] { return m_onBehalf; };
    connect(&m_dm.money(), &data::MoneyState::euroModeChanged, this, [this] {
        widgets::applyCurrencyMode(this, widgets::currencyMode(m_dm.money()));
        updateFooters();
    });
}

TEconomicsForm::~TEconomicsForm()
{
    m_dm.finance().financeChargedMember = nullptr;
    for (const QMetaObject::Connection& c : std::as_const(m_viewConnections))
        disconnect(c);
}

void TEconomicsForm::buildSideBar()
{
    SideBar = new QTreeWidget(this);
    SideBar->setObjectName(QStringLiteral("SideBar"));
    SideBar->setHeaderHidden(true);
    SideBar->setRootIsDecorated(false);
    SideBar->setMaximumWidth(170);
    SideBar->setMinimumWidth(150);
    // The full edition keeps all four ledgers; the medical one patients and the practice only.
    const bool medical = platform::session().edition == platform::Edition::Medical;
    const QList<QList<LedgerSource>> groups = { { LedgerSource::Patients, LedgerSource::Suppliers,
                                                    LedgerSource::DentalLabs, LedgerSource::Other },
        { LedgerSource::Patients, LedgerSource::Other } };
    for (int g = 0; g < groups.size(); ++g) {
        auto* group = new QTreeWidgetItem(SideBar, { QStringLiteral("Financial") });
        group->setFlags(Qt::ItemIsEnabled);
        QFont bold = group->font(0);
        bold.setBold(true);
        group->setFont(0, bold);
        for (LedgerSource source : groups[g]) {
            auto* item = new QTreeWidgetItem(group, { captionsOf(source).sideBar });
            item->setData(0, Qt::UserRole, static_cast<int>(source));
        }
        group->setExpanded(true);
        group->setHidden(medical != (g == 1));
    }
    connect(SideBar, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        const QVariant tag = item->data(0, Qt::UserRole);
        if (!tag.isNull())
            setSource(static_cast<LedgerSource>(tag.toInt()));
    });
}

QLabel* TEconomicsForm::labelFor(QWidget* editor, const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(editor->objectName() + QStringLiteral("Label"));
    label->setBuddy(editor);
    m_labels.append(label);
    return label;
}

QWidget* TEconomicsForm::buildEditors()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("UpperPanel"));
    const auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    NameEdit = new widgets::DBEdit(panel);
    named(NameEdit, "NameEdit");
    NameLabel = labelFor(NameEdit, QStringLiteral("Patient"), panel);
    SearchBtn = new QToolButton(panel);
    named(SearchBtn, "SearchBtn");
    SearchBtn->setText(QStringLiteral("..."));
    connect(SearchBtn, &QToolButton::clicked, this, &TEconomicsForm::SearchBtnClick);
    DateEdit = new widgets::DBDateEdit(panel);
    named(DateEdit, "DateEdit");
    DentistCombo = new widgets::DBLookupCombo(panel);
    named(DentistCombo, "DentistCombo");
    DentistCombo->setList(m_dm.lists().DentistsSrc, QStringLiteral("DocID"), QStringLiteral("LastName"));
    SignRadio = new widgets::DBRadioGroup(QStringLiteral("Transaction Type"), panel);
    named(SignRadio, "SignRadio");
    SignRadio->setItems({ QStringLiteral("Payment"), QStringLiteral("Debt") });
    SignRadio->setValues({ -1, 1 });
    SignRadio->setColumns(2);
    AmountEdit = new widgets::DBCalcEdit(panel);
    named(AmountEdit, "AmountEdit");
    ReceiptNoEdit = new widgets::DBEdit(panel);
    named(ReceiptNoEdit, "ReceiptNoEdit");
    ReceiptAmountEdit = new widgets::DBCalcEdit(panel);
    named(ReceiptAmountEdit, "ReceiptAmountEdit");
    DescriptionCombo = new widgets::DBComboBox(panel);
    named(DescriptionCombo, "DescriptionCombo");
    DescriptionCombo->addItems(
        { QStringLiteral("Payment"), QStringLiteral("Old Debt"), QStringLiteral("Discount") });
    // Another workstation may have stored new descriptions since the list was filled.
    connect(
        DescriptionCombo, &widgets::DBComboBox::aboutToShowPopup, this, &TEconomicsForm::fillDescriptions);
    PaymentRadio = new widgets::DBRadioGroup(QStringLiteral("Payment Method"), panel);
    named(PaymentRadio, "PaymentRadio");
    PaymentRadio->setItems(
        { QStringLiteral("Cash"), QStringLiteral("Credit Card"), QStringLiteral("Cheque") });
    PaymentRadio->setValues({ 0, 1, 2 });
    PaymentRadio->setColumns(3);
    connect(PaymentRadio, &widgets::DBRadioGroup::itemClicked, this, [this](int index) {
        // Cash has no bank and no due date.
        db::Dataset* v = view();
        if (index == 0 && v && v->isEditing()) {
            v->setValue(u"PaymentText", QVariant());
            v->setValue(u"DueDate", QVariant());
        }
        applyVisibility();
    });
    PaymentTextEdit = new widgets::DBEdit(panel);
    named(PaymentTextEdit, "PaymentTextEdit");
    DueDateEdit = new widgets::DBDateEdit(panel);
    named(DueDateEdit, "DueDateEdit");
    AddressText = new widgets::DBText(panel);
    named(AddressText, "AddressText");
    JobText = new widgets::DBText(panel);
    named(JobText, "JobText");
    OnBehalfLabel = new QLabel(QStringLiteral("On behalf of"), panel);
    named(OnBehalfLabel, "OnBehalfLabel");
    ChildNameText = new widgets::DBText(panel);
    named(ChildNameText, "ChildNameText");
    OnBehalfLabel->setBuddy(ChildNameText);

    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(NameEdit, 1);
    nameRow->addWidget(SearchBtn);
    grid->addWidget(NameLabel, 0, 0);
    grid->addLayout(nameRow, 0, 1, 1, 3);
    grid->addWidget(labelFor(AddressText, QStringLiteral("Address"), panel), 1, 0);
    grid->addWidget(AddressText, 1, 1);
    grid->addWidget(labelFor(JobText, QStringLiteral("Occupation"), panel), 1, 2);
    grid->addWidget(JobText, 1, 3);
    const struct {
        QWidget* editor;
        const char* caption;
        int row;
        int column;
    } placed[] = {
        { DateEdit, "Date", 2, 0 },
        { DentistCombo, "Dentist", 2, 2 },
        { AmountEdit, "Amount", 3, 0 },
        { DescriptionCombo, "Description", 3, 2 },
        { ReceiptNoEdit, "Receipt No.", 4, 0 },
        { ReceiptAmountEdit, "Receipt Amount", 4, 2 },
        { PaymentTextEdit, "Bank Name - Cheque No.", 6, 0 },
        { DueDateEdit, "Date Due", 6, 2 },
    };
    for (const auto& p : placed) {
        grid->addWidget(labelFor(p.editor, QString::fromUtf8(p.caption), panel), p.row, p.column);
        grid->addWidget(p.editor, p.row, p.column + 1);
    }
    grid->addWidget(SignRadio, 0, 4, 2, 1);
    grid->addWidget(PaymentRadio, 5, 0, 1, 4);
    grid->addWidget(OnBehalfLabel, 2, 4);
    grid->addWidget(ChildNameText, 3, 4);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 2);
    return panel;
}

void TEconomicsForm::buildGrid()
{
    Grid = new widgets::DBGrid(this);
    Grid->setObjectName(QStringLiteral("dxDBGrid1"));
    Grid->setReadOnly(true);
    Grid->setDataSource(mainSource());
    Grid->setColumns({ { QStringLiteral("Date"), QStringLiteral("Date"), 90 },
        { QStringLiteral("PayableAmount"), QStringLiteral("Debt"), 95 },
        { QStringLiteral("ReceivableAmount"), QStringLiteral("Payment"), 95 },
        { QStringLiteral("Balance"), QStringLiteral("Balance"), 100 },
        { QStringLiteral("IOFld"), QStringLiteral(" "), 22 },
        { QStringLiteral("Dentist"), QStringLiteral("Dentist"), 90 },
        { QStringLiteral("Description"), QStringLiteral("Description"), 170 },
        { QStringLiteral("ReceiptNo"), QStringLiteral("Receipt No."), 80 },
        { QStringLiteral("ReceiptCredit"), QStringLiteral("Receipt Amount"), 95 } });
    Grid->view()->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Grid->view()->setItemDelegateForColumn(ReceiptColumn, new widgets::CheckColumnDelegate(Grid));
    for (int column : { PayableColumn, ReceivableColumn, BalanceColumn })
        Grid->view()->setItemDelegateForColumn(column,
            new LedgerColorDelegate(column == BalanceColumn ? LedgerColorDelegate::BySign
                    : column == PayableColumn               ? LedgerColorDelegate::Payable
                                                            : LedgerColorDelegate::Receivable,
                Grid));
    Grid->setFooterSum(PayableColumn);
    Grid->setFooterSum(ReceivableColumn);
    Grid->setFooterColor(PayableColumn, kMaroon);
    Grid->setFooterColor(ReceivableColumn, kTeal);
    Grid->setFooterText(BalanceColumn, QString());
    // A dentist's group shows what is left of its debts after its payments.
    Grid->setGroupText(BalanceColumn, [this](const QList<int>& rows) {
        db::Dataset* v = view();
        const bool euro = m_dm.money().euroMode();
        const int payable = v->field(euro ? u"PayableAmountEURO" : u"PayableAmount").index();
        const int receivable = v->field(euro ? u"ReceivableAmountEURO" : u"ReceivableAmount").index();
        double left = 0;
        for (int row : rows)
            left += v->rowValue(row, payable).toDouble() - v->rowValue(row, receivable).toDouble();
        return m_dm.money().FormatMoney(left);
    });
    Grid->setContextMenuPolicy(Qt::CustomContextMenu);
    Grid->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Grid->view(), &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        applyVisibility();
        PopupMenu->popup(Grid->view()->viewport()->mapToGlobal(at));
    });
}

void TEconomicsForm::buildPopup()
{
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    const auto item = [this](const char* name, const QString& caption) {
        QAction* made = PopupMenu->addAction(caption);
        made->setObjectName(QLatin1String(name));
        return made;
    };
    OkItem = item("OkItem", QStringLiteral("OK"));
    NotOkItem = item("NotOkItem", QStringLiteral("Not OK"));
    PopupMenu->addSeparator();
    PerDentistItem = item("PerDentistItem", QStringLiteral("Per Dentist"));
    PerDentistItem->setCheckable(true);
    connect(OkItem, &QAction::triggered, this, [this] { markReceipts(true); });
    connect(NotOkItem, &QAction::triggered, this, [this] { markReceipts(false); });
    connect(PerDentistItem, &QAction::toggled, this, &TEconomicsForm::setPerDentist);
}

} // namespace finance
