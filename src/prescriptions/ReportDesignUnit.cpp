#include "prescriptions/ReportDesignUnit.h"
#include "widgets/CloseButton.h"
#include "widgets/WindowDesign.h"

#include "platform/MessageService.h"
#include "widgets/Language.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace prescriptions {
namespace {

enum Column {
    BandColumn,
    CaptionColumn,
    FieldColumn,
    XColumn,
    YColumn,
    WidthColumn,
    FontColumn,
    SizeColumn,
    BoldColumn,
    ColumnCount
};

QDoubleSpinBox* millimetres(QWidget* parent, double value, double max)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(0, max);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" mm"));
    box->setValue(value);
    return box;
}

} // namespace

TReportDesignForm::TReportDesignForm(PrescriptionLayout layout, QString fileName, QWidget* parent)
    : QDialog(parent)
    , m_fileName(std::move(fileName))
{
    widgets::designWindow(*this, "ReportDesignForm", QStringLiteral("Design Report"), { 900, 560 });
    Lang = new widgets::TLanguage(this);
    PageWidthEdit = millimetres(this, layout.pageMm.width(), 1000);
    PageHeightEdit = millimetres(this, layout.pageMm.height(), 1000);
    MarginEdit = millimetres(this, layout.marginMm, 100);
    TitleHeightEdit = millimetres(this, layout.titleHeightMm, 1000);
    DetailHeightEdit = millimetres(this, layout.detailHeightMm, 1000);
    auto* page = new QFormLayout;
    page->addRow(QStringLiteral("Page width"), PageWidthEdit);
    page->addRow(QStringLiteral("Page height"), PageHeightEdit);
    page->addRow(QStringLiteral("Margin"), MarginEdit);
    page->addRow(QStringLiteral("Title band"), TitleHeightEdit);
    page->addRow(QStringLiteral("Line band"), DetailHeightEdit);

    ItemsTable = new QTableWidget(0, ColumnCount, this);
    ItemsTable->setObjectName(QStringLiteral("ItemsTable"));
    ItemsTable->setHorizontalHeaderLabels({ QStringLiteral("Band"), QStringLiteral("Caption"),
        QStringLiteral("Field"), QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Width"),
        QStringLiteral("Font"), QStringLiteral("Size"), QStringLiteral("Bold") });
    ItemsTable->horizontalHeader()->setSectionResizeMode(CaptionColumn, QHeaderView::Stretch);
    for (const LayoutItem& item : layout.items)
        addRow(item);

    AddBtn = new QPushButton(QStringLiteral("Add"), this);
    connect(AddBtn, &QPushButton::clicked, this, [this] {
        addRow({ LayoutItem::Band::Detail, QStringLiteral("Text"), {}, QPointF(0, 0), 40,
            QFont(QStringLiteral("DejaVu Sans"), 10) });
    });
    RemoveBtn = new QPushButton(QStringLiteral("Remove"), this);
    connect(RemoveBtn, &QPushButton::clicked, this, [this] {
        if (ItemsTable->currentRow() >= 0)
            ItemsTable->removeRow(ItemsTable->currentRow());
    });
    SaveBtn = new QPushButton(QStringLiteral("Save"), this);
    connect(SaveBtn, &QPushButton::clicked, this, &TReportDesignForm::SaveBtnClick);
    CloseBtn = widgets::closeButton(*this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(AddBtn);
    buttons->addWidget(RemoveBtn);
    buttons->addStretch();
    buttons->addWidget(SaveBtn);
    buttons->addWidget(CloseBtn);
    auto* layoutBox = new QVBoxLayout(this);
    layoutBox->addLayout(page);
    layoutBox->addWidget(ItemsTable, 1);
    layoutBox->addLayout(buttons);
}

void TReportDesignForm::addRow(const LayoutItem& item)
{
    const int row = ItemsTable->rowCount();
    ItemsTable->insertRow(row);
    auto* band = new QComboBox(ItemsTable);
    band->addItems({ QStringLiteral("title"), QStringLiteral("detail") });
    band->setCurrentIndex(item.band == LayoutItem::Band::Title ? 0 : 1);
    ItemsTable->setCellWidget(row, BandColumn, band);
    ItemsTable->setItem(row, CaptionColumn, new QTableWidgetItem(item.caption));
    auto* field = new QComboBox(ItemsTable);
    field->addItem(QString());
    field->addItems(PrescriptionLayout::fieldNames());
    field->setCurrentText(item.field);
    ItemsTable->setCellWidget(row, FieldColumn, field);
    ItemsTable->setCellWidget(row, XColumn, millimetres(ItemsTable, item.mm.x(), 1000));
    ItemsTable->setCellWidget(row, YColumn, millimetres(ItemsTable, item.mm.y(), 1000));
    ItemsTable->setCellWidget(row, WidthColumn, millimetres(ItemsTable, item.widthMm, 1000));
    ItemsTable->setItem(row, FontColumn, new QTableWidgetItem(item.font.family()));
    auto* size = new QSpinBox(ItemsTable);
    size->setRange(4, 72);
    size->setValue(item.font.pointSize() > 0 ? item.font.pointSize() : 10);
    ItemsTable->setCellWidget(row, SizeColumn, size);
    auto* bold = new QCheckBox(ItemsTable);
    bold->setChecked(item.font.bold());
    ItemsTable->setCellWidget(row, BoldColumn, bold);
}

PrescriptionLayout TReportDesignForm::layout() const
{
    PrescriptionLayout layout;
    layout.pageMm = QSizeF(PageWidthEdit->value(), PageHeightEdit->value());
    layout.marginMm = MarginEdit->value();
    layout.titleHeightMm = TitleHeightEdit->value();
    layout.detailHeightMm = DetailHeightEdit->value();
    for (int row = 0; row < ItemsTable->rowCount(); ++row) {
        LayoutItem item;
        item.band = static_cast<QComboBox*>(ItemsTable->cellWidget(row, BandColumn))->currentIndex() == 0
            ? LayoutItem::Band::Title
            : LayoutItem::Band::Detail;
        item.caption = ItemsTable->item(row, CaptionColumn)->text();
        item.field = static_cast<QComboBox*>(ItemsTable->cellWidget(row, FieldColumn))->currentText();
        item.mm = QPointF(static_cast<QDoubleSpinBox*>(ItemsTable->cellWidget(row, XColumn))->value(),
            static_cast<QDoubleSpinBox*>(ItemsTable->cellWidget(row, YColumn))->value());
        item.widthMm = static_cast<QDoubleSpinBox*>(ItemsTable->cellWidget(row, WidthColumn))->value();
        item.font = QFont(ItemsTable->item(row, FontColumn)->text(),
            static_cast<QSpinBox*>(ItemsTable->cellWidget(row, SizeColumn))->value());
        item.font.setBold(static_cast<QCheckBox*>(ItemsTable->cellWidget(row, BoldColumn))->isChecked());
        layout.items.append(item);
    }
    return layout;
}

bool TReportDesignForm::SaveBtnClick()
{
    const PrescriptionLayout edited = layout();
    // Saved, it would be refused when the prescriptions load it and they would print without it.
    if (const QString why = edited.problem(); !why.isEmpty()) {
        platform::showError(
            Lang->Message(QStringLiteral("The layout cannot be saved: %1")).arg(Lang->Message(why)));
        return false;
    }
    QString error;
    if (!edited.save(m_fileName, &error)) {
        platform::showError(Lang->Message(QStringLiteral("Cannot write %1: %2")).arg(m_fileName, error));
        return false;
    }
    return true;
}

} // namespace prescriptions
