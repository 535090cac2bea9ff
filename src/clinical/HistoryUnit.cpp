#include "clinical/HistoryUnit.h"
#include "data/Domain.h"
#include "widgets/CloseButton.h"
#include "widgets/WindowDesign.h"

#include "clinical/CostRules.h"
#include "clinical/MasitikesUnit.h"
#include "data/DmUnit.h"
#include "db/ControlsDisabled.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "platform/MessageService.h"
#include "platform/Session.h"
#include "widgets/CheckColumnDelegate.h"
#include "widgets/CurrencyMode.h"
#include "widgets/DBCalcEdit.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBLookupCombo.h"
#include "widgets/Language.h"
#include "widgets/RecordButtons.h"
#include "widgets/WindowPlacement.h"
#include "widgets/WindowService.h"

#include <QApplication>
#include <QCoreApplication>
#include <QScopedValueRollback>
#include <QEvent>
#include <QShowEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace clinical {
namespace {

bool medical()
{
    return platform::session().edition == platform::Edition::Medical;
}

} // namespace

THistoryForm::THistoryForm(data::TDmForm& dm, QWidget* parent)
    : QDialog(parent)
    , MasitikesForm(new TMasitikesForm(this))
    , m_dm(dm)
    , m_level(medical() ? data::TreatmentLevel::Implementation : data::TreatmentLevel::Plan)
{
    widgets::designWindow(*this, "HistoryForm", QStringLiteral("Treatment History"), { 712, 450 });
    new widgets::WindowPlacement(this);

    buildGrid();
    QWidget* editors = buildEditors();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(Grid, 1);
    layout->addWidget(editors);
    layout->addLayout(buildButtons());
    buildPopup();

    Lang = new widgets::TLanguage(this);
    QStringList paths;
    for (QLabel* label : std::as_const(m_labels))
        paths.append(QStringLiteral("HistoryForm.%1.Caption").arg(label->objectName()));
    for (const char* name : {"CostBox", "ImplementPlanBtn", "DeleteBtn", "CloseBtn", "PerToothItem", "ChewingSurfacesItem", "OkItem", "NotOkItem"})
        paths.append(QStringLiteral("HistoryForm.%1.Caption").arg(QLatin1String(name)));
    paths.append(QStringLiteral("HistoryForm.dxDBGrid1.Columns"));
    Lang->setProperties(paths);

    bindEditors();
    widgets::followCurrencyMode(this, m_dm.money());
}

THistoryForm::~THistoryForm() = default;

db::Dataset* THistoryForm::view() const
{
    return m_dm.clinical().historyView(m_level);
}

db::DataSource* THistoryForm::source() const
{
    return m_dm.sourceOf(view());
}

void THistoryForm::setLevel(data::TreatmentLevel level, bool toothFilter)
{
    m_level = medical() ? data::TreatmentLevel::Implementation : level;
    m_toothFilter = toothFilter && !medical();
    bindEditors();
    applyVisibility();
    if (holdsRecordCommands())
        claimRecordCommands(); // the view of the new level
}

void THistoryForm::buildGrid()
{
    Grid = new widgets::DBGrid(this);
    Grid->setObjectName(QStringLiteral("dxDBGrid1"));
    Grid->setReadOnly(true);
    Grid->setDataSource(source()); // before the columns, which need the fields for their widths
    Grid->setColumns({{QStringLiteral("Date"), QStringLiteral("Date"), 90}, {QStringLiteral("OperDescr"), QStringLiteral("Operation"), 170},
        {QStringLiteral("ToothNum"), QStringLiteral("Tooth No."), 65}, {QStringLiteral("Price"), QStringLiteral("Price"), 70},
        {QStringLiteral("Discount"), QStringLiteral("Discount (%)"), 80}, {QStringLiteral("Cost"), QStringLiteral("Cost"), 70},
        {QStringLiteral("IOFld"), QStringLiteral(" "), 22}, {QStringLiteral("Dentist"), QStringLiteral("Dentist"), 80},
        {QStringLiteral("Material"), QStringLiteral("Material"), 80}, {QStringLiteral("DentalLab"), QStringLiteral("Dental Lab"), 80},
        {QStringLiteral("Color"), QStringLiteral("Color"), 50}});
    Grid->view()->setItemDelegateForColumn(ReceiptColumn, new widgets::CheckColumnDelegate(Grid));
    Grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) { PopupMenu->popup(Grid->mapToGlobal(at)); });
    Grid->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Grid->view(), &QWidget::customContextMenuRequested, this,
        [this](const QPoint& at) { PopupMenu->popup(Grid->view()->viewport()->mapToGlobal(at)); });
}

QWidget* THistoryForm::buildEditors()
{
    auto* panel = new QWidget(this);
    DateEdit = new widgets::DBDateEdit(panel);
    DateEdit->setObjectName(QStringLiteral("Edit1"));
    ToothCombo = new widgets::DBComboBox(panel);
    ToothCombo->setObjectName(QStringLiteral("ToothCombo"));
    ToothCombo->setEditable(false);
    for (int quadrant = 1; quadrant <= 4; ++quadrant) {
        for (int tooth = 1; tooth <= 8; ++tooth)
            ToothCombo->addItem(QString::number(quadrant * 10 + tooth));
    }
    const auto lookup = [panel](const char* name, db::DataSource* list, const QString& key, const QString& shown) {
        auto* combo = new widgets::DBLookupCombo(panel);
        combo->setObjectName(QLatin1String(name));
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(10);
        combo->setList(list, key, shown);
        return combo;
    };
    OperationCombo = lookup("OperationCombo", m_dm.sourceOf(m_dm.clinical().OperationsSortedForLook), QStringLiteral("OperID"), QStringLiteral("Description"));
    DentistCombo = lookup("DentistCombo", m_dm.lists().DentistsSrc, QStringLiteral("DocID"), QStringLiteral("LastName"));
    MaterialCombo = lookup("MaterialCombo", m_dm.supplies().DentalMaterialsSrc, QStringLiteral("MaterialID"), QStringLiteral("Description"));
    LabCombo = lookup("LabCombo", m_dm.sourceOf(m_dm.supplies().DentalLabForLookTable), QStringLiteral("DentalLabID"), QStringLiteral("Company"));
    // After the look-up has written the operation (and the data module's rule has run).
    connect(OperationCombo, &QComboBox::activated, this, &THistoryForm::OperationChosen);
    ColorEdit = new widgets::DBEdit(panel);
    ColorEdit->setObjectName(QStringLiteral("ColorEdit"));
    ReceiptCheck = new widgets::DBCheckBox(panel);
    ReceiptCheck->setObjectName(QStringLiteral("ReceiptCheck"));

    CostBox = new QGroupBox(panel);
    CostBox->setObjectName(QStringLiteral("CostBox"));
    DiscountEdit = new widgets::DBCalcEdit(CostBox);
    DiscountEdit->setObjectName(QStringLiteral("DiscountEdit"));
    CostEdit = new widgets::DBCalcEdit(CostBox);
    CostEdit->setObjectName(QStringLiteral("CostEdit"));
    connect(DiscountEdit, &QLineEdit::editingFinished, this, &THistoryForm::DiscountEditExit, Qt::QueuedConnection);
    connect(CostEdit, &QLineEdit::editingFinished, this, &THistoryForm::CostEditExit, Qt::QueuedConnection);
    DiscountEdit->setMinimumWidth(90);
    CostEdit->setMinimumWidth(90);

    const auto labelFor = [this, panel](QWidget* parent, QWidget* editor, const QString& caption) {
        auto* label = new QLabel(caption, parent ? parent : panel);
        label->setObjectName(editor->objectName() + QStringLiteral("Label"));
        label->setBuddy(editor);
        m_labels.append(label);
        return label;
    };
    auto* costLayout = new QGridLayout(CostBox);
    costLayout->addWidget(labelFor(CostBox, DiscountEdit, QStringLiteral("Discount (%)")), 0, 0);
    costLayout->addWidget(DiscountEdit, 0, 1);
    costLayout->addWidget(labelFor(CostBox, CostEdit, QStringLiteral("Cost")), 1, 0);
    costLayout->addWidget(CostEdit, 1, 1);

    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    const struct {
        QWidget* editor;
        const char* caption;
        int row;
        int column;
    } placed[] = {
        {DateEdit, "Date", 0, 0}, {ToothCombo, "Tooth No.", 0, 2}, {OperationCombo, "Operation", 1, 0}, {DentistCombo, "Dentist", 1, 2},
        {MaterialCombo, "Material", 2, 0}, {LabCombo, "Dental Lab", 2, 2}, {ColorEdit, "Color", 3, 0},
    };
    for (const auto& p : placed) {
        grid->addWidget(labelFor(nullptr, p.editor, QString::fromUtf8(p.caption)), p.row, p.column);
        grid->addWidget(p.editor, p.row, p.column + 1);
    }
    grid->addWidget(ReceiptCheck, 3, 3);
    grid->addWidget(CostBox, 0, 4, 4, 1);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 1);
    return panel;
}

QLayout* THistoryForm::buildButtons()
{
    ImplementPlanBtn = new QPushButton(QStringLiteral("Implement Plan"), this);
    ImplementPlanBtn->setObjectName(QStringLiteral("ImplementPlanBtn"));
    DeleteBtn = new QPushButton(QStringLiteral("Delete"), this);
    DeleteBtn->setObjectName(QStringLiteral("DeleteBtn"));
    CloseBtn = widgets::closeButton(*this, &QDialog::accept);
    connect(ImplementPlanBtn, &QPushButton::clicked, this, &THistoryForm::ImplementPlanBtnClick);
    connect(DeleteBtn, &QPushButton::clicked, this, &THistoryForm::DeleteBtnClick);
    auto* row = new QHBoxLayout;
    row->addWidget(recordButtons(this, {QStringLiteral("New"), QStringLiteral("Edit"), QStringLiteral("Cancel"), QStringLiteral("Save")}), 1);
    row->addWidget(DeleteBtn);
    row->addWidget(ImplementPlanBtn);
    row->addWidget(widgets::currencyButton(this, m_dm.money()));
    row->addWidget(CloseBtn);
    return row;
}

void THistoryForm::buildPopup()
{
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    const auto item = [this](const char* name, const QString& caption) {
        QAction* created = PopupMenu->addAction(caption);
        created->setObjectName(QLatin1String(name));
        return created;
    };
    PerToothItem = item("PerToothItem", QStringLiteral("Per Tooth"));
    PerToothItem->setCheckable(true);
    ChewingSurfacesItem = item("ChewingSurfacesItem", QStringLiteral("Chewing Surfaces"));
    PopupMenu->addSeparator();
    OkItem = item("OkItem", QStringLiteral("OK"));
    NotOkItem = item("NotOkItem", QStringLiteral("Not OK"));
    connect(PerToothItem, &QAction::toggled, this, &THistoryForm::PerToothClick);
    connect(ChewingSurfacesItem, &QAction::triggered, this, &THistoryForm::ChewingSurfacesClick);
    connect(OkItem, &QAction::triggered, this, [this] { markReceipts(true); });
    connect(NotOkItem, &QAction::triggered, this, [this] { markReceipts(false); });
}

void THistoryForm::bindEditors()
{
    db::DataSource* rows = source();
    if (db::DataSource* previous = Grid->dataSource(); previous && previous != rows)
        disconnect(previous, nullptr, this, nullptr);
    Grid->setDataSource(rows);
    Grid->sortByColumn(DateColumn, Qt::DescendingOrder);
    Grid->setFooterSum(PriceColumn);
    Grid->setFooterSum(CostColumn);
    const struct {
        widgets::DataAware* editor;
        const char* field;
    } bindings[] = {
        {DateEdit, "Date"}, {ToothCombo, "ToothNum"}, {OperationCombo, "OperID"}, {DentistCombo, "DentistID"}, {MaterialCombo, "MaterialID"},
        {LabCombo, "DentalLabID"}, {ColorEdit, "Color"}, {DiscountEdit, "Discount"}, {CostEdit, "Cost"}, {ReceiptCheck, "IOFld"},
    };
    for (const auto& b : bindings)
        b.editor->bindTo(rows, QString::fromLatin1(b.field));
    connect(rows, &db::DataSource::dataChanged, this, &THistoryForm::followRow, Qt::UniqueConnection);
    connect(rows, &db::DataSource::stateChanged, this, &THistoryForm::applyVisibility, Qt::UniqueConnection);
    // The amounts of the mode in force, for the newly bound editors and columns.
    widgets::applyCurrencyMode(this, widgets::currencyMode(m_dm.money()));
    followRow();
}

void THistoryForm::setEditorVisible(QWidget* editor, bool visible)
{
    editor->setVisible(visible);
    for (QLabel* label : std::as_const(m_labels)) {
        if (label->buddy() == editor)
            label->setVisible(visible);
    }
}

void THistoryForm::applyVisibility()
{
    const bool receiptsOnly = platform::receiptsOnly();
    const bool fullRole = data::hasFullRole();
    const db::Dataset* rows = view();
    const bool sessionOpen = m_dm.clinical().SessionsTable->isActive() && !m_dm.clinical().SessionsTable->isEmpty()
        && !m_dm.clinical().SessionsTable->value(u"Completed").toBool();

    const bool prices = m_level != data::TreatmentLevel::Initial && fullRole;
    for (int column : {PriceColumn, DiscountColumn, CostColumn})
        Grid->setColumnVisible(column, prices);
    CostBox->setVisible(prices);
    Grid->setColumnVisible(DentistColumn, m_level != data::TreatmentLevel::Initial);
    const bool receipts = m_level == data::TreatmentLevel::Implementation && !receiptsOnly;
    Grid->setColumnVisible(ReceiptColumn, receipts);
    ReceiptCheck->setVisible(receipts);
    OkItem->setVisible(receipts);
    NotOkItem->setVisible(receipts);

    if (medical()) {
        for (int column : {ToothColumn, MaterialColumn, LabColumn})
            Grid->setColumnVisible(column, false);
        Grid->setColumnVisible(ColorColumn, !receiptsOnly);
        for (QWidget* editor : {static_cast<QWidget*>(ToothCombo), static_cast<QWidget*>(MaterialCombo), static_cast<QWidget*>(LabCombo),
                 static_cast<QWidget*>(ColorEdit)})
            setEditorVisible(editor, false);
        PerToothItem->setVisible(false);
        ImplementPlanBtn->setVisible(false);
        return;
    }
    Grid->setColumnVisible(ToothColumn, !m_toothFilter);
    ToothCombo->setEnabled(!m_toothFilter);
    Grid->setColumnVisible(MaterialColumn, !receiptsOnly);
    Grid->setColumnVisible(ColorColumn, !receiptsOnly);
    Grid->setColumnVisible(LabColumn, prices && !receiptsOnly);
    ImplementPlanBtn->setVisible(m_level == data::TreatmentLevel::Plan && sessionOpen && rows->isActive()
        && !rows->isEmpty() && !m_toothFilter);
}

void THistoryForm::followRow()
{
    const db::Dataset* rows = view();
    const bool any = rows->isActive() && !rows->isEmpty();
    MaterialCombo->dataLink()->setReadOnly(!(any && rows->value(u"RequireMaterial").toBool()));
    LabCombo->dataLink()->setReadOnly(!(any && rows->value(u"RequireLab").toBool()));
    if (m_toothFilter)
        ToothCombo->setEnabled(false);
}

QList<QVariant> THistoryForm::selectedIds() const
{
    db::Dataset* rows = view();
    QList<int> selected = Grid->selectedRows();
    if (selected.isEmpty() && rows->isActive() && !rows->isEmpty())
        selected.append(rows->currentRow());
    QList<QVariant> ids;
    const int idField = rows->field(u"ID").index();
    for (auto it = selected.crbegin(); it != selected.crend(); ++it)
        ids.append(rows->rowValue(*it, idField));
    return ids;
}

template<typename Step>
void THistoryForm::forEachSelected(const QList<QVariant>& ids, Step step)
{
    db::Dataset& rows = *view();
    for (const QVariant& id : ids) {
        if (rows.locate(QStringLiteral("ID"), id))
            step(rows);
    }
}

void THistoryForm::ImplementPlanBtnClick()
{
    db::Dataset& rows = *view();
    if (rows.isEmpty())
        return;
    const QList<QVariant> ids = selectedIds();
    const bool receiptsOnly = platform::receiptsOnly();
    forEachSelected(ids, [receiptsOnly](db::Dataset& row) {
        row.edit();
        row.setValue(u"Date", QDate::currentDate());
        row.setValue(u"TreatmentLevel", data::code(data::TreatmentLevel::Implementation));
        row.setValue(u"IOFld", receiptsOnly);
        row.post(); // the post charges the row to the patient
    });
    if (m_dm.clinical().HistPerSessionTable3->isActive())
        m_dm.clinical().HistPerSessionTable3->refresh();
    accept();
}

void THistoryForm::DeleteBtnClick()
{
    db::Dataset& rows = *view();
    if (rows.isEmpty() || (rows.isFiltered() && rows.value(u"ID").isNull())) {
        platform::showInformation(Lang->Message(QStringLiteral("Empty DataBase")));
        return;
    }
    if (!platform::askYesNo(Lang->Message(QStringLiteral("Delete this record?")), Lang->Message(QStringLiteral("Are you sure?"))))
        return;
    // The data module's rule removes each row's charge with it.
    const QList<QVariant> ids = selectedIds();
    std::optional<db::ControlsDisabled> quiet;
    if (ids.size() > 1)
        quiet.emplace(rows);
    forEachSelected(ids, [](db::Dataset& row) { row.remove(); });
}

void THistoryForm::markReceipts(bool receipted)
{
    db::Dataset& rows = *view();
    if (rows.isEmpty())
        return;
    const QList<QVariant> ids = selectedIds();
    m_dm.supplies().suspendLabItemsRefresh();
    try {
        db::ControlsDisabled quiet(rows);
        forEachSelected(ids, [receipted](db::Dataset& row) {
            row.edit();
            row.setValue(u"IOFld", receipted);
            row.post(); // the post updates the receipt amounts of the row's charge
        });
    } catch (...) {
        m_dm.supplies().resumeLabItemsRefresh();
        throw;
    }
    m_dm.supplies().resumeLabItemsRefresh();
}

void THistoryForm::PerToothClick(bool checked)
{
    Grid->setGroupColumn(checked ? ToothColumn : -1);
}

void THistoryForm::ChewingSurfacesClick()
{
    db::Dataset& rows = *view();
    const bool any = rows.isActive() && !rows.isEmpty();
    MasitikesForm->setTooth(any ? rows.value(u"ToothNum").toInt() : 0);
    MasitikesForm->setView(&rows);
    MasitikesForm->loadMask(any ? rows.value(u"ID") : QVariant());
    MasitikesForm->move(frameGeometry().topRight() + QPoint(4, 0));
    MasitikesForm->show();
    MasitikesForm->raise();
}

void THistoryForm::OperationChosen()
{
    db::Dataset& row = *view();
    db::Dataset& operations = *m_dm.clinical().OperationsTable;
    if (!row.isEditing() || !operations.isActive() || !operations.locate(QStringLiteral("OperID"), row.value(u"OperID")))
        return;
    row.setValue(u"Price", operations.value(u"Cost").toDouble());
    row.setValue(u"PriceEURO", operations.value(u"CostEURO").toDouble());
    costsFromDiscount(row);
}

void THistoryForm::DiscountEditExit()
{
    if (view()->isEditing())
        discountLeft(*view());
}

void THistoryForm::CostEditExit()
{
    if (view()->isEditing())
        costLeft(*view(), m_dm.money().euroMode());
}

void THistoryForm::windowActivated()
{
    applyVisibility();
}

void THistoryForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    Lang->Translate();
    m_dm.clinical().setOperationsGroup(0);
    if (!view()->isActive())
        m_dm.OpenTable(*view());
    if (m_surfacesOnShow)
        QMetaObject::invokeMethod(this, &THistoryForm::ChewingSurfacesClick, Qt::QueuedConnection); // beside the placed window
}

void THistoryForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible())
        focusLost();
    QDialog::changeEvent(event);
}

// Another window of the program took the focus (not one of this window's own, such as the
// chewing-surface editor): unsaved edits are kept or dropped now, or the window comes back.
void THistoryForm::focusLost()
{
    if (m_checkingFocus)
        return;
    for (QWidget* w = QApplication::activeWindow(); w; w = w->parentWidget()) {
        if (w == this)
            return;
    }
    if (!QApplication::activeWindow())
        return; // another program's window: this one is still the program's active window
    const QScopedValueRollback<bool> checking(m_checkingFocus, true);
    if (!askToPost(*view())) {
        raise();
        activateWindow();
    }
}

void THistoryForm::done(int result)
{
    if (!askToPost(*view()))
        return; // the user keeps the unsaved row: the window stays in front
    MasitikesForm->close();
    if (widgets::WindowService* service = widgets::WindowService::current())
        service->clearStatusPanels();
    // Hidden, it gives the commands back to the active child window: the chart redraws.
    QDialog::done(result);
}

} // namespace clinical
