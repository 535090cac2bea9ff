#include "prescriptions/MedicinesUnit.h"
#include "widgets/CloseButton.h"
#include "widgets/WindowDesign.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "widgets/CheckColumnDelegate.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBMemo.h"
#include "widgets/Language.h"
#include "widgets/NamedWidgets.h"
#include "widgets/RecordButtons.h"
#include "widgets/WindowService.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace prescriptions {

using widgets::bound;
using widgets::label;

TMedicinesForm::TMedicinesForm(data::TDmForm& dm, Search search, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_search(std::move(search))
{
    widgets::designWindow(*this, "MedicinesForm", QStringLiteral("Medicines"), { 960, 680 });
    db::Dataset& medicines = *m_dm.lists().MedicinesTable;
    if (!medicines.isActive())
        m_dm.OpenTable(medicines);

    Grid = new widgets::DBGrid(this);
    Grid->setObjectName(QStringLiteral("dxDBGrid1"));
    Grid->setReadOnly(true);
    Grid->setDataSource(m_dm.lists().MedicinesSrc);
    Grid->setColumns({ { QStringLiteral("Name"), QStringLiteral("Name"), 230 },
        { QStringLiteral("Category"), QStringLiteral("Category"), 140 },
        { QStringLiteral("Morph"), QStringLiteral("Morph"), 130 },
        { QStringLiteral("Company"), QStringLiteral("Company"), 140 },
        { QStringLiteral("RetailPrice"), QStringLiteral("Retail Price"), 90 },
        { QStringLiteral("Shown"), QStringLiteral("Shown"), 60 } });

    Grid->view()->setItemDelegateForColumn(5, new widgets::CheckColumnDelegate(Grid));
    SearchBtn = new QPushButton(QStringLiteral("Search"), this);
    SearchBtn->setObjectName(QStringLiteral("SearchBtn"));
    connect(SearchBtn, &QPushButton::clicked, this, &TMedicinesForm::SearchBtnClick);
    CloseBtn = widgets::closeButton(*this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(widgets::recordButtons(this), 1);
    bottom->addWidget(SearchBtn);
    bottom->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Grid, 1);
    layout->addWidget(buildEditors());
    layout->addLayout(bottom);

    Lang = new widgets::TLanguage(this);
    QStringList paths { QStringLiteral("MedicinesForm.Caption"),
        QStringLiteral("MedicinesForm.dxDBGrid1.Columns"),
        QStringLiteral("MedicinesForm.ShownCheck.Caption") };
    for (const char* name : { "NameLabel", "CategoryLabel", "DrasticLabel", "CompanyLabel", "EOFLabel",
             "MorphLabel", "QuantityLabel", "RetailLabel", "TradeLabel", "HospitalLabel", "IndicationLabel",
             "ContraLabel", "InstructionsLabel", "CommentsLabel", "SearchBtn", "CloseBtn" })
        paths << QStringLiteral("MedicinesForm.%1.Caption").arg(QLatin1String(name));
    Lang->setProperties(paths);
    connect(&medicines, &db::Dataset::stateChanged, this, [this] { updateButtons(); });
}

QWidget* TMedicinesForm::buildEditors()
{
    auto* panel = new QWidget(this);
    db::DataSource* source = m_dm.lists().MedicinesSrc;
    const auto edit = [&](const char* name, const char* field) {
        return bound<widgets::DBEdit>(panel, QLatin1String(name), source, QLatin1String(field));
    };
    const auto memo = [&](const char* name, const char* field) {
        auto* m = bound<widgets::DBMemo>(panel, QLatin1String(name), source, QLatin1String(field));
        m->setMinimumHeight(54);
        return m;
    };
    NameEdit = edit("DBEdit2", "Name");
    CategoryEdit = edit("CategoryEdit", "Category");
    DrasticEdit = edit("DrasticEdit", "Drastic");
    CompanyEdit = edit("CompanyEdit", "Company");
    EOFEdit = edit("EOFEdit", "EOF");
    MorphEdit = edit("MorphEdit", "Morph");
    QuantityEdit = edit("QuantityEdit", "Quantity");
    RetailPriceEdit = edit("RetailPriceEdit", "RetailPrice");
    TradePriceEdit = edit("TradePriceEdit", "TradePrice");
    HospitalPriceEdit = edit("HospitalPriceEdit", "HospitalPrice");
    IndicationMemo = memo("IndicationMemo", "Indication");
    ContraIndicationMemo = memo("ContraIndicationMemo", "ContraIndication");
    InstructionsMemo = memo("InstructionsMemo", "Instructions");
    CommentsMemo = memo("CommentsMemo", "Comments");
    ShownCheck
        = bound<widgets::DBCheckBox>(panel, QStringLiteral("ShownCheck"), source, QStringLiteral("Shown"));
    ShownCheck->setText(QStringLiteral("Shown"));

    auto* left = new QFormLayout;
    left->addRow(label(panel, QStringLiteral("NameLabel"), QStringLiteral("Name")), NameEdit);
    left->addRow(label(panel, QStringLiteral("CategoryLabel"), QStringLiteral("Category")), CategoryEdit);
    left->addRow(label(panel, QStringLiteral("DrasticLabel"), QStringLiteral("Drastic")), DrasticEdit);
    left->addRow(label(panel, QStringLiteral("CompanyLabel"), QStringLiteral("Company")), CompanyEdit);
    left->addRow(label(panel, QStringLiteral("EOFLabel"), QStringLiteral("EOF")), EOFEdit);
    left->addRow(label(panel, QStringLiteral("MorphLabel"), QStringLiteral("Morph")), MorphEdit);
    left->addRow(label(panel, QStringLiteral("QuantityLabel"), QStringLiteral("Quantity")), QuantityEdit);
    left->addRow(
        label(panel, QStringLiteral("RetailLabel"), QStringLiteral("Retail Price")), RetailPriceEdit);
    left->addRow(label(panel, QStringLiteral("TradeLabel"), QStringLiteral("Trade Price")), TradePriceEdit);
    left->addRow(
        label(panel, QStringLiteral("HospitalLabel"), QStringLiteral("Hospital Price")), HospitalPriceEdit);
    left->addRow(QString(), ShownCheck);
    auto* memos = new QGridLayout;
    memos->addWidget(label(panel, QStringLiteral("IndicationLabel"), QStringLiteral("Indication")), 0, 0);
    memos->addWidget(IndicationMemo, 1, 0);
    memos->addWidget(label(panel, QStringLiteral("ContraLabel"), QStringLiteral("ContraIndication")), 0, 1);
    memos->addWidget(ContraIndicationMemo, 1, 1);
    memos->addWidget(label(panel, QStringLiteral("InstructionsLabel"), QStringLiteral("Instructions")), 2, 0);
    memos->addWidget(InstructionsMemo, 3, 0);
    memos->addWidget(label(panel, QStringLiteral("CommentsLabel"), QStringLiteral("Comments")), 2, 1);
    memos->addWidget(CommentsMemo, 3, 1);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left, 2);
    layout->addLayout(memos, 3);
    return panel;
}

db::DataSource* TMedicinesForm::mainSource() const
{
    return m_dm.lists().MedicinesSrc;
}

void TMedicinesForm::prepareNew()
{
    NameEdit->setFocus();
}

void TMedicinesForm::updateButtons()
{
    const bool browsing = m_dm.lists().MedicinesTable->state() == db::DatasetState::Browse;
    SearchBtn->setEnabled(browsing && bool(m_search));
    CloseBtn->setEnabled(browsing);
}

void TMedicinesForm::windowActivated()
{
    updateButtons();
}

void TMedicinesForm::SearchBtnClick()
{
    if (m_search)
        m_search(*m_dm.lists().MedicinesTable, Lang->Message(QStringLiteral("Search for Medicines")), {});
}

void TMedicinesForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    Lang->Translate();
    updateButtons();
}

void TMedicinesForm::done(int result)
{
    db::Dataset& medicines = *m_dm.lists().MedicinesTable;
    if (!askToPost(medicines))
        return;
    // The prescriptions' lines look their medicines up in it.
    if (!m_dm.patients().PrescriptionsTable->isActive())
        medicines.close();
    QDialog::done(result);
}

} // namespace prescriptions
