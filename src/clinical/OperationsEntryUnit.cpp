#include "clinical/OperationsEntryUnit.h"
#include "widgets/CloseButton.h"

#include "clinical/SelectBitmapUnit.h"
#include "clinical/SymbolArt.h"
#include "clinical/SymbolBrowser.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "platform/Session.h"
#include "widgets/CheckColumnDelegate.h"
#include "widgets/CurrencyMode.h"
#include "widgets/DBCalcEdit.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/Language.h"
#include "widgets/NamedWidgets.h"
#include "widgets/RecordButtons.h"
#include "widgets/WindowService.h"

#include <QEvent>
#include <QShowEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace clinical {
namespace {

using widgets::bound;
using widgets::label;

constexpr int kGroups = 12;

widgets::DBCheckBox* check(QWidget* parent, const char* name, const QString& caption, db::DataSource* source, const QString& field)
{
    auto* box = bound<widgets::DBCheckBox>(parent, name, source, field);
    box->setText(caption);
    return box;
}

} // namespace

TOperationsEntryForm::TOperationsEntryForm(data::TDmForm& dm, QWidget* parent, std::shared_ptr<const SymbolArt> art)
    : QDialog(parent)
    , m_dm(dm)
    , m_art(art ? std::move(art) : std::shared_ptr<const SymbolArt>(SymbolArt::fromProgramDir()))
{
    setObjectName(QStringLiteral("OperationsEntryForm"));
    setWindowTitle(QStringLiteral("Operations"));
    setGeometry(10, 110, 580, 365);
    if (!m_dm.clinical().OperationsTable->isActive())
        m_dm.OpenTable(*m_dm.clinical().OperationsTable);

    buildGrid();
    QWidget* editors = buildEditors();
    CloseBtn = widgets::closeButton(*this, &QDialog::accept);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(recordButtons(this, {QStringLiteral("New"), QStringLiteral("Delete"), QStringLiteral("Edit"),
                                               QStringLiteral("Cancel"), QStringLiteral("Save")}),
        1);
    bottom->addWidget(widgets::currencyButton(this, m_dm.money()));
    bottom->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(Grid, 1);
    layout->addWidget(editors);
    layout->addLayout(bottom);

    if (m_art->canPreview())
        m_browser = std::make_unique<TSymbolBrowser>(*m_art->library(), *m_art->pictures(), SymbolImage, 1, 1);

    Lang = new widgets::TLanguage(this);
    QStringList paths;
    for (const char* name : {"OperationsEntryForm", "IdLabel", "DescriptionLabel", "CostLabel", "BitmapBox", "TransparentCheck", "AskBox",
             "MaterialCheck", "LabCheck", "ColorCheck", "GroupBox", "CloseBtn"})
        paths.append(QStringLiteral("OperationsEntryForm.%1.Caption").arg(QLatin1String(name)));
    paths.first() = QStringLiteral("OperationsEntryForm.Caption");
    paths.append(QStringLiteral("OperationsEntryForm.SelectBitmapBtn.Hint"));
    paths.append(QStringLiteral("OperationsEntryForm.dxDBGrid1.Columns"));
    Lang->setProperties(paths);

    connect(m_dm.clinical().OperationsSrc, &db::DataSource::dataChanged, this, &TOperationsEntryForm::followOperation);
    connect(m_dm.clinical().OperationsSrc, &db::DataSource::stateChanged, this, &TOperationsEntryForm::followState);
    applyEdition();
    widgets::followCurrencyMode(this, m_dm.money());
}

TOperationsEntryForm::~TOperationsEntryForm() = default;

void TOperationsEntryForm::buildGrid()
{
    Grid = new widgets::DBGrid(this);
    Grid->setObjectName(QStringLiteral("dxDBGrid1"));
    Grid->setReadOnly(true);
    Grid->setDataSource(m_dm.clinical().OperationsSrc);
    Grid->setColumns({{QStringLiteral("OperID"), QStringLiteral("ID"), 40}, {QStringLiteral("Description"), QStringLiteral("Description"), 200},
        {QStringLiteral("Cost"), QStringLiteral("Cost"), 80}, {QStringLiteral("BitmapID2"), QStringLiteral("Bitmap ID 2"), 70},
        {QStringLiteral("BitmapID"), QStringLiteral("Bitmap ID"), 60}, {QStringLiteral("GroupID"), QStringLiteral("Group ID"), 60},
        {QStringLiteral("Transparent"), QStringLiteral("Transparent"), 70}});
    Grid->view()->setItemDelegateForColumn(TransparentColumn, new widgets::CheckColumnDelegate(Grid));
    // Typing in the grid finds an operation by its description.
    Grid->view()->setCurrentIndex(Grid->view()->model()->index(0, DescriptionColumn));
}

QWidget* TOperationsEntryForm::buildEditors()
{
    auto* panel = new QWidget(this);
    db::DataSource* source = m_dm.clinical().OperationsSrc;

    IdEdit = bound<widgets::DBEdit>(panel, "IdEdit", source, QStringLiteral("OperID"));
    IdEdit->dataLink()->setReadOnly(true);
    IdEdit->setMaximumWidth(60);
    DescriptionEdit = bound<widgets::DBEdit>(panel, "Edit1", source, QStringLiteral("Description"));
    CostEdit = bound<widgets::DBCalcEdit>(panel, "CostEdit", source, QStringLiteral("Cost"));
    auto* fields = new QFormLayout;
    fields->addRow(label(panel, "IdLabel", QStringLiteral("ID")), IdEdit);
    fields->addRow(label(panel, "DescriptionLabel", QStringLiteral("Description")), DescriptionEdit);
    fields->addRow(label(panel, "CostLabel", QStringLiteral("Cost")), CostEdit);

    BitmapBox = new QGroupBox(QStringLiteral("Bitmap "), panel);
    BitmapBox->setObjectName(QStringLiteral("BitmapBox"));
    BitmapEdit = bound<widgets::DBEdit>(BitmapBox, "BitmapEdit", source, QStringLiteral("BitmapID"));
    BitmapEdit->setMaximumWidth(50);
    TransparentCheck = check(BitmapBox, "TransparentCheck", QStringLiteral("Transparent"), source, QStringLiteral("Transparent"));
    SelectBitmapBtn = new QToolButton(BitmapBox);
    SelectBitmapBtn->setObjectName(QStringLiteral("SelectBitmapBtn"));
    SelectBitmapBtn->setText(QStringLiteral("..."));
    SelectBitmapBtn->setToolTip(QStringLiteral("Select bitmap"));
    connect(SelectBitmapBtn, &QToolButton::clicked, this, &TOperationsEntryForm::SelectBitmapBtnClick);
    SymbolImage = new QLabel(BitmapBox);
    SymbolImage->setObjectName(QStringLiteral("Image1"));
    SymbolImage->setFixedSize(TSymbolBrowser::CellSize(1, 1));
    auto* bitmapLeft = new QVBoxLayout;
    auto* idRow = new QHBoxLayout;
    idRow->addWidget(BitmapEdit);
    idRow->addWidget(SelectBitmapBtn);
    bitmapLeft->addLayout(idRow);
    bitmapLeft->addWidget(TransparentCheck);
    bitmapLeft->addStretch();
    auto* bitmapLayout = new QHBoxLayout(BitmapBox);
    bitmapLayout->addLayout(bitmapLeft);
    bitmapLayout->addWidget(SymbolImage);

    AskBox = new QGroupBox(QStringLiteral("Ask Dentist for"), panel);
    AskBox->setObjectName(QStringLiteral("AskBox"));
    MaterialCheck = check(AskBox, "MaterialCheck", QStringLiteral("Material"), source, QStringLiteral("RequireMaterial"));
    LabCheck = check(AskBox, "LabCheck", QStringLiteral("Dental Lab"), source, QStringLiteral("RequireDentalLab"));
    ColorCheck = check(AskBox, "ColorCheck", QStringLiteral("Color"), source, QStringLiteral("RequireColor"));
    auto* askLayout = new QVBoxLayout(AskBox);
    askLayout->addWidget(MaterialCheck);
    askLayout->addWidget(LabCheck);
    askLayout->addWidget(ColorCheck);

    GroupBox = new QGroupBox(QStringLiteral("Group"), panel);
    GroupBox->setObjectName(QStringLiteral("GroupBox"));
    GroupEdit = bound<widgets::DBEdit>(GroupBox, "GroupEdit", source, QStringLiteral("GroupID"));
    GroupEdit->setMaximumWidth(40);
    GroupBtn = new QToolButton(GroupBox);
    GroupBtn->setObjectName(QStringLiteral("GroupBtn"));
    GroupBtn->setText(QStringLiteral("..."));
    GroupMenu = new QMenu(GroupBtn);
    GroupMenu->setObjectName(QStringLiteral("GroupMenu"));
    for (int group = 1; group <= kGroups; ++group) {
        QAction* item = GroupMenu->addAction(QIcon(groupToolPicture(group)), QString::number(group));
        connect(item, &QAction::triggered, this, [this, group] { chooseGroup(group); });
    }
    connect(GroupBtn, &QToolButton::clicked, this, [this] { GroupMenu->popup(GroupBtn->mapToGlobal(QPoint(0, GroupBtn->height()))); });
    GroupImage = new QLabel(GroupBox);
    GroupImage->setObjectName(QStringLiteral("GroupImage"));
    GroupImage->setFixedSize(34, 34);
    auto* groupLayout = new QHBoxLayout(GroupBox);
    groupLayout->addWidget(GroupEdit);
    groupLayout->addWidget(GroupBtn);
    groupLayout->addWidget(GroupImage);

    auto* right = new QVBoxLayout;
    right->addWidget(AskBox);
    right->addWidget(GroupBox);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(fields, 1);
    layout->addWidget(BitmapBox);
    layout->addLayout(right);
    return panel;
}

bool TOperationsEntryForm::editing() const
{
    return m_dm.clinical().OperationsTable->isEditing();
}

void TOperationsEntryForm::followOperation()
{
    const db::Dataset& operations = *m_dm.clinical().OperationsTable;
    const bool any = operations.isActive() && !operations.isEmpty();
    const QVariant symbol = any ? operations.value(u"BitmapID") : QVariant();
    if (m_browser && !symbol.isNull())
        m_browser->Draw(symbol.toInt(), TSelectBitmapForm::PreviewIndex, false, operations.value(u"Transparent").toBool());
    else
        SymbolImage->clear(); // an operation without a symbol paints nothing
    GroupImage->setPixmap(any ? groupToolPicture(operations.value(u"GroupID").toInt()) : QPixmap());
}

void TOperationsEntryForm::followState()
{
    SelectBitmapBtn->setEnabled(editing());
    GroupBtn->setEnabled(editing());
}

void TOperationsEntryForm::SelectBitmapBtnClick()
{
    if (!editing())
        return;
    TSelectBitmapForm chooser(*m_art, m_dm.clinical().OperationsTable->value(u"Transparent").toBool(), this);
    if (chooser.exec() == QDialog::Accepted && editing())
        m_dm.clinical().OperationsTable->setValue(u"BitmapID", chooser.selected());
}

void TOperationsEntryForm::chooseGroup(int group)
{
    if (editing())
        m_dm.clinical().OperationsTable->setValue(u"GroupID", group);
}

void TOperationsEntryForm::applyEdition()
{
    if (platform::session().edition != platform::Edition::Medical)
        return;
    for (QWidget* box : {static_cast<QWidget*>(BitmapBox), static_cast<QWidget*>(AskBox), static_cast<QWidget*>(GroupBox)})
        box->hide();
    for (int column : {Bitmap2Column, BitmapColumn, GroupColumn, TransparentColumn})
        Grid->setColumnVisible(column, false);
}

db::DataSource* TOperationsEntryForm::mainSource() const
{
    return m_dm.clinical().OperationsSrc;
}

void TOperationsEntryForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    Lang->Translate();
    m_dm.clinical().setOperationsGroup(0); // the picker's group filter is not the catalogue's
    m_dm.clinical().OperationsTable->first();
    followOperation();
    followState();
}

void TOperationsEntryForm::done(int result)
{
    if (!askToPost(*m_dm.clinical().OperationsTable))
        return; // the user keeps the unsaved operation: the window stays
    if (widgets::WindowService* service = widgets::WindowService::current())
        service->clearStatusPanels();
    QDialog::done(result);
}

} // namespace clinical
