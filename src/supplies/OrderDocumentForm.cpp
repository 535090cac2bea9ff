// The frame shared by the order and delivery windows of materials and lab work.
#include "platform/MessageTexts.h"
#include "widgets/CloseButton.h"

#include "supplies/OrderDocumentForm.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "db/Errors.h"
#include "platform/MessageService.h"
#include "reports/Report.h"
#include "reports/ReportOutput.h"
#include "widgets/CurrencyMode.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBLookupCombo.h"
#include "widgets/DBMemo.h"
#include "widgets/DBText.h"
#include "widgets/Language.h"
#include "widgets/NamedWidgets.h"
#include "widgets/UserAction.h"
#include "widgets/WindowPlacement.h"
#include "widgets/WindowService.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>

namespace supplies {
OrderDocumentForm::OrderDocumentForm(data::TDmForm& dm, DocumentSetup setup, QWidget* parent)
    : QWidget(parent)
    , m_dm(dm)
    , m_setup(std::move(setup))
{
    setObjectName(m_setup.componentName);
    setWindowTitle(m_setup.caption);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(980, 640);
    new widgets::WindowPlacement(this);
    for (db::Dataset* view :
        { m_setup.counterparts, m_dm.lists().DentistsTable, m_setup.header, m_setup.lines }) {
        if (!view->isActive())
            m_dm.OpenTable(*view);
    }

    CounterpartCombo = new QComboBox(this);
    CounterpartCombo->setObjectName(QStringLiteral("CounterpartCombo"));
    CounterpartCombo->setMinimumWidth(260);
    fillCounterparts();
    connect(CounterpartCombo, &QComboBox::activated, this, [this](int index) { selectCounterpart(index); });

    HeaderGrid = new widgets::DBGrid(this);
    HeaderGrid->setObjectName(QStringLiteral("HeaderGrid"));
    HeaderGrid->setReadOnly(true);
    HeaderGrid->setDataSource(mainSource());
    HeaderGrid->setColumns(
        { { QStringLiteral("Date"),
              m_setup.delivery ? QStringLiteral("Delivery Date") : QStringLiteral("Date of Order"), 100 },
            { QStringLiteral("OrderCode"),
                m_setup.delivery ? QStringLiteral("Invoice Code") : QStringLiteral("Order Code"), 100 },
            { QStringLiteral("TotalItems"), QStringLiteral("Items"), 60 },
            { QStringLiteral("TotalPrice"), QStringLiteral("Total"), 100 } });
    HeaderGrid->setMinimumWidth(470);
    HeaderGrid->setMaximumWidth(500);

    Grid = new widgets::DBGrid(this);
    Grid->setObjectName(QStringLiteral("dxDBGrid1"));
    Grid->setDataSource(m_setup.linesSource);
    Grid->view()->setSelectionMode(QAbstractItemView::ExtendedSelection);
    GridMenu = new QMenu(this);
    GridMenu->setObjectName(QStringLiteral("GridMenu"));
    Grid->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Grid->view(), &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (!GridMenu->isEmpty())
            GridMenu->popup(Grid->view()->viewport()->mapToGlobal(at));
    });

    LineButtons = new QHBoxLayout;
    AddLineBtn = lineButton("AddLineBtn", QStringLiteral("+"));
    AddLineBtn->setToolTip(platform::MessageTexts::program().Message(QStringLiteral("Add Line")));
    DeleteLineBtn = lineButton("DeleteLineBtn", QStringLiteral("-"));
    DeleteLineBtn->setToolTip(platform::MessageTexts::program().Message(QStringLiteral("Delete Line")));
    connect(AddLineBtn, &QToolButton::clicked, this, &OrderDocumentForm::AddLineBtnClick);
    connect(DeleteLineBtn, &QToolButton::clicked, this, &OrderDocumentForm::DeleteLineBtnClick);

    PrintBtn = new QPushButton(QStringLiteral("Print"), this);
    PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
    PrintMenu = new QMenu(PrintBtn);
    PrintMenu->setObjectName(QStringLiteral("PrintMenu"));
    const auto printItem
        = [this](const char* name, const QString& caption, const std::function<void()>& run) {
              QAction* item = PrintMenu->addAction(caption);
              item->setObjectName(QLatin1String(name));
              connect(item, &QAction::triggered, this, run);
          };
    printItem("PreviewItem", QStringLiteral("Preview"), [this] { previewReport(); });
    printItem("PrinterItem", QStringLiteral("Printer"), [this] { printReport(); });
    printItem("PdfItem", QStringLiteral("PDF..."), [this] {
        const QString file
            = QFileDialog::getSaveFileName(this, windowTitle(), QString(), QStringLiteral("PDF (*.pdf)"));
        if (!file.isEmpty())
            exportPdf(file);
    });
    PrintBtn->setMenu(PrintMenu);
    CloseBtn = widgets::closeButton(*this);

    auto* top = new QHBoxLayout;
    auto* counterpartLabel
        = widgets::label(this, QStringLiteral("CounterpartLabel"), m_setup.counterpartCaption);
    counterpartLabel->setBuddy(CounterpartCombo);
    top->addWidget(counterpartLabel);
    top->addWidget(CounterpartCombo);
    top->addStretch(1);
    top->addWidget(widgets::currencyButton(this, m_dm.money()));
    top->addWidget(PrintBtn);
    top->addWidget(CloseBtn);

    auto* upper = new QHBoxLayout;
    upper->addWidget(HeaderGrid);
    upper->addWidget(buildHeader(), 1);

    auto* linesTitle = widgets::label(this, QStringLiteral("LinesLabel"), m_setup.linesTitle);
    LineButtons->insertWidget(0, linesTitle);
    LineButtons->insertStretch(1, 1);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    root->addLayout(top);
    root->addLayout(upper);
    root->addLayout(LineButtons);
    root->addWidget(Grid, 1);

    // A change of a line is a change of its header: Save (or the question on leaving) stores
    // them together. A line needs a header to belong to.
    const auto lineTouched = [this](db::Dataset&) {
        if (m_setup.header->isEmpty()) {
            platform::showWarning(Lang->Message(QStringLiteral("Make a new order first.")));
            throw db::Abort();
        }
        if (!m_setup.header->isEditing())
            m_setup.header->edit();
    };
    for (db::Dataset::Rules* rules :
        { &m_setup.lines->beforeInsert, &m_setup.lines->beforeEdit, &m_setup.lines->beforeDelete })
        m_rules.push_back(rules->add(data::Stage::Window, m_setup.componentName, lineTouched));
    connect(m_setup.counterparts, &db::Dataset::afterScroll, this, &OrderDocumentForm::followCounterpart);
    widgets::followCurrencyMode(this, m_dm.money());

    Lang = new widgets::TLanguage(this);
}

OrderDocumentForm::~OrderDocumentForm() = default;

QToolButton* OrderDocumentForm::lineButton(const char* name, const QString& caption)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    LineButtons->addWidget(button);
    return button;
}

QAction* OrderDocumentForm::gridItem(const char* name, const QString& caption)
{
    QAction* item = GridMenu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    return item;
}

QWidget* OrderDocumentForm::buildHeader()
{
    auto* box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("HeaderBox"));
    db::DataSource* source = mainSource();
    // The New command focuses the code on a delivery (DBEdit1), the order's code on an order (DBEdit2).
    IdEdit = widgets::bound<widgets::DBEdit>(box,
        m_setup.delivery ? QStringLiteral("IdEdit") : QStringLiteral("DBEdit1"), source,
        QStringLiteral("OrderID"));
    IdEdit->dataLink()->setReadOnly(true);
    IdEdit->setMaximumWidth(90);
    CodeEdit = widgets::bound<widgets::DBEdit>(box,
        m_setup.delivery ? QStringLiteral("DBEdit1") : QStringLiteral("DBEdit2"), source,
        QStringLiteral("OrderCode"));
    CodeEdit->setMaximumWidth(130);
    DateEdit = widgets::bound<widgets::DBDateEdit>(
        box, QStringLiteral("DateEdit"), source, QStringLiteral("Date"));
    DentistCombo = new widgets::DBLookupCombo(box);
    DentistCombo->setObjectName(QStringLiteral("DentistCombo"));
    DentistCombo->bindTo(source, QStringLiteral("DocID"));
    DentistCombo->setList(m_dm.lists().DentistsSrc, QStringLiteral("DocID"), QStringLiteral("LastName"));
    NotesMemo
        = widgets::bound<widgets::DBMemo>(box, QStringLiteral("NotesMemo"), source, QStringLiteral("Notes"));
    NotesMemo->setMaximumHeight(60);
    TotalItemsText = widgets::bound<widgets::DBText>(
        box, QStringLiteral("TotalItemsText"), source, QStringLiteral("TotalItems"));
    TotalPriceText = widgets::bound<widgets::DBText>(
        box, QStringLiteral("TotalPriceText"), source, QStringLiteral("TotalPrice"));
    QFont bold = TotalPriceText->font();
    bold.setBold(true);
    TotalPriceText->setFont(bold);

    auto* grid = new QGridLayout(box);
    const auto place
        = [&](QWidget* editor, const char* name, const QString& caption, int row, int column, int span = 1) {
              QLabel* label = widgets::label(box, QLatin1String(name), caption);
              label->setBuddy(editor);
              grid->addWidget(label, row, column);
              grid->addWidget(editor, row, column + 1, 1, span);
          };
    place(IdEdit, "IdLabel", QStringLiteral("Number"), 0, 0);
    place(CodeEdit, "CodeLabel",
        m_setup.delivery ? QStringLiteral("Invoice Code") : QStringLiteral("Order Code"), 0, 2);
    place(DateEdit, "DateLabel",
        m_setup.delivery ? QStringLiteral("Delivery Date") : QStringLiteral("Date of Order"), 1, 0);
    place(DentistCombo, "DentistLabel", QStringLiteral("Dentist"), 1, 2);
    place(NotesMemo, "NotesLabel", QStringLiteral("Notes"), 2, 0, 3);
    place(TotalItemsText, "TotalItemsLabel", QStringLiteral("Total Items"), 3, 0);
    place(TotalPriceText, "TotalPriceLabel", QStringLiteral("Total Price"), 3, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return box;
}

QStringList OrderDocumentForm::translationPaths() const
{
    QStringList paths { m_setup.componentName + QStringLiteral(".Caption"),
        m_setup.componentName + QStringLiteral(".dxDBGrid1.Columns"),
        m_setup.componentName + QStringLiteral(".HeaderGrid.Columns") };
    for (const QObject* child : findChildren<QObject*>()) {
        const bool captioned = qobject_cast<const QLabel*>(child) || qobject_cast<const QPushButton*>(child)
            || qobject_cast<const QToolButton*>(child) || qobject_cast<const QAction*>(child);
        if (captioned && !child->objectName().isEmpty() && child->objectName() != QLatin1String("CurrencyBtn")
            && !child->objectName().endsWith(QLatin1String("Text")))
            paths << QStringLiteral("%1.%2.Caption").arg(m_setup.componentName, child->objectName());
    }
    return paths;
}

db::DataSource* OrderDocumentForm::mainSource() const
{
    return m_setup.headerSource;
}

void OrderDocumentForm::fillCounterparts()
{
    CounterpartCombo->clear();
    db::Dataset& counterparts = *m_setup.counterparts;
    const int key = counterparts.field(m_setup.counterpartKey).index();
    const int name = counterparts.field(u"Company").index();
    for (int row = 0; row < counterparts.recordCount(); ++row)
        CounterpartCombo->addItem(
            counterparts.rowValue(row, name).toString(), counterparts.rowValue(row, key));
    followCounterpart();
}

void OrderDocumentForm::followCounterpart()
{
    const db::Dataset& counterparts = *m_setup.counterparts;
    if (counterparts.isEmpty())
        return;
    const int index = CounterpartCombo->findData(counterparts.value(m_setup.counterpartKey));
    if (index >= 0)
        CounterpartCombo->setCurrentIndex(index);
}

bool OrderDocumentForm::selectCounterpart(int row)
{
    const QVariant key = CounterpartCombo->itemData(row);
    if (!m_dm.AskToPost(*m_setup.header)) {
        followCounterpart();
        return false;
    }
    m_setup.counterparts->locate(m_setup.counterpartKey, key);
    followCounterpart();
    return true;
}

void OrderDocumentForm::prepareNew()
{
    CodeEdit->setFocus();
}

void OrderDocumentForm::cancelDetails()
{
    if (m_setup.lines->isEditing())
        m_setup.lines->cancel();
}

void OrderDocumentForm::refreshDetails()
{
    if (!m_setup.lines->isEditing())
        m_setup.lines->refresh();
}

void OrderDocumentForm::AddLineBtnClick()
{
    if (widgets::runUserAction([this] { m_setup.lines->append(); }))
        Grid->view()->setFocus();
}

void OrderDocumentForm::DeleteLineBtnClick()
{
    db::Dataset& lines = *m_setup.lines;
    if (lines.isEmpty())
        return;
    if (lines.isEditing() && lines.state() == db::DatasetState::Insert) {
        lines.cancel();
        return;
    }
    widgets::runUserAction([&lines] { lines.remove(); });
}

bool OrderDocumentForm::postHeaderFirst()
{
    db::Dataset& header = *m_setup.header;
    return widgets::runUserAction([&header] {
        if (header.isEmpty() && !header.isEditing())
            header.append();
        if (header.isEditing())
            header.post();
    });
}

bool OrderDocumentForm::storeChanges()
{
    db::Dataset& header = *m_setup.header;
    if (header.isEmpty())
        return true;
    const bool stored = widgets::runUserAction([this, &header] {
        if (m_setup.lines->isEditing())
            m_setup.lines->post();
        if (!header.isEditing())
            header.edit();
        header.post();
    });
    // Nothing was stored: the changes wait, with the header edited, for Save or Cancel.
    if (!stored && !header.isEditing())
        widgets::runUserAction([&header] { header.edit(); });
    return stored;
}

reports::Report OrderDocumentForm::buildReport()
{
    const db::Dataset& header = *m_setup.header;
    reports::Report report(Lang->Message(m_setup.caption));
    report.addTitle(Lang->Message(m_setup.caption),
        { m_setup.counterparts->isEmpty() ? QString() : m_setup.counterparts->value(u"Company").toString() });
    if (!header.isEmpty()) {
        report.addField(Lang->Message(QStringLiteral("Number")), header.field(u"OrderID").displayText());
        report.addField(Lang->Message(m_setup.delivery ? QStringLiteral("Delivery Date")
                                                       : QStringLiteral("Date of Order")),
            header.field(u"Date").displayText());
        report.addField(
            Lang->Message(m_setup.delivery ? QStringLiteral("Invoice Code") : QStringLiteral("Order Code")),
            header.value(u"OrderCode").toString());
        report.addField(Lang->Message(QStringLiteral("Dentist")), header.value(u"Dentist").toString());
        report.addSpace(4);
        addReportLines(report);
        report.addSpace(4);
        const bool euro = m_dm.money().euroMode();
        report.addField(Lang->Message(QStringLiteral("Total Price")),
            m_dm.money().FormatMoney(header.value(euro ? u"TotalPriceEURO" : u"TotalPrice").toDouble()));
        if (!header.value(u"Notes").toString().isEmpty())
            report.addField(Lang->Message(QStringLiteral("Notes")), header.value(u"Notes").toString());
    }
    return report;
}

void OrderDocumentForm::previewReport()
{
    reports::previewReport(buildReport(), this);
}

void OrderDocumentForm::printReport()
{
    reports::printReport(buildReport(), this);
}

bool OrderDocumentForm::exportPdf(const QString& fileName)
{
    QString error;
    if (reports::exportPdf(buildReport(), fileName, &error))
        return true;
    platform::showError(error);
    return false;
}

void OrderDocumentForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    addLineColumns();
    addLineButtons();
    // The line grid's columns exist now: they show the currency of the moment too.
    widgets::applyCurrencyMode(this, widgets::currencyMode(m_dm.money()));
    Lang->setProperties(translationPaths());
    Lang->Translate();
    widgets::colourEditorsOnFocus(this);
}

} // namespace supplies
