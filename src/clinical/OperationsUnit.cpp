#include "clinical/OperationsUnit.h"
#include "data/Domain.h"
#include "db/FieldFormat.h"

#include "clinical/CostRules.h"
#include "clinical/SelectBitmapUnit.h"
#include "clinical/SymbolArt.h"
#include "clinical/SymbolBrowser.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "platform/Session.h"
#include "widgets/CurrencyMode.h"
#include "widgets/DBCalcEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBLookupCombo.h"
#include "widgets/Language.h"

#include <QApplication>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace clinical {
namespace {

widgets::DBLookupCombo* lookupCombo(QWidget* parent, const char* name, db::DataSource* source, const QString& field, db::DataSource* list,
    const QString& key, const QString& shown)
{
    auto* combo = new widgets::DBLookupCombo(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(12);
    combo->setList(list, key, shown);
    combo->bindTo(source, field);
    return combo;
}

// Enabled controls show the window colour, disabled ones the button face.
void paintEnabled(QWidget* control, bool enabled)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base, QApplication::palette().color(enabled ? QPalette::Base : QPalette::Button));
    control->setPalette(palette);
}

} // namespace

TOperationsForm::TOperationsForm(data::TDmForm& dm, const SymbolArt* art, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
{
    setObjectName(QStringLiteral("OperationsForm"));
    setWindowTitle(QStringLiteral("Operations"));
    if (!m_dm.clinical().TempHistTable->isActive())
        m_dm.OpenTable(*m_dm.clinical().TempHistTable);

    OperationsList = new widgets::DBGrid(this);
    OperationsList->setObjectName(QStringLiteral("OperationsList"));
    OperationsList->setReadOnly(true);
    OperationsList->setDataSource(m_dm.clinical().OperationsSrc);
    OperationsList->setColumns({{QStringLiteral("Description"), QString(), 0}});
    OperationsList->view()->horizontalHeader()->hide();
    OperationsList->view()->horizontalHeader()->setStretchLastSection(true);
    OperationsList->view()->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(OperationsList, &widgets::DBGrid::rowActivated, this, [this] {
        if (OkBtn->isEnabled())
            accept();
    });

    SymbolImage = new QLabel(this);
    SymbolImage->setObjectName(QStringLiteral("Image1"));
    SymbolImage->setToolTip(QStringLiteral("Επιλέξτε ένα σχέδιο"));
    SymbolImage->setFixedSize(TSymbolBrowser::CellSize(19, 20));
    SymbolImage->setFrameStyle(QFrame::Box | QFrame::Plain);
    if (art && art->canPreview())
        m_browser = std::make_unique<TSymbolBrowser>(*art->library(), *art->pictures(), SymbolImage, 19, 20);

    OkBtn = new QPushButton(QStringLiteral("Ok"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(OperationsList, 1);
    top->addWidget(SymbolImage, 0, Qt::AlignTop);
    top->addWidget(buildDetails());
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(buildPrices(), 1);
    bottom->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);

    Lang = new widgets::TLanguage(this);
    QStringList paths{QStringLiteral("OperationsForm.Caption"), QStringLiteral("OperationsForm.Image1.Hint")};
    for (const char* name : {"DateLabel", "DentistLabel", "MaterialLabel", "LabLabel", "ColorLabel", "PriceBox", "PriceLabel", "DiscountLabel",
             "CostLabel", "OkBtn", "CancelBtn"})
        paths.append(QStringLiteral("OperationsForm.%1.Caption").arg(QLatin1String(name)));
    Lang->setProperties(paths);
    Lang->Translate();

    connect(m_dm.clinical().OperationsSrc, &db::DataSource::dataChanged, this, [this] {
        if (m_following)
            followOperation();
    });
    connect(m_dm.clinical().TempHistTable, &db::Dataset::fieldChanged, this, &TOperationsForm::positionChosen);
    widgets::followCurrencyMode(this, m_dm.money());
}

TOperationsForm::~TOperationsForm() = default;

QWidget* TOperationsForm::buildDetails()
{
    auto* panel = new QWidget(this);
    db::DataSource* work = m_dm.clinical().TempHistSrc;
    DateEdit = new QDateEdit(QDate::currentDate(), panel);
    DateEdit->setDisplayFormat(db::fieldformat::defaultDatePattern());
    DateEdit->setObjectName(QStringLiteral("DateEdit"));
    DateEdit->setCalendarPopup(true);
    DentistCombo = lookupCombo(panel, "DentistCombo", work, QStringLiteral("DentistID"), m_dm.lists().DentistsSrc, QStringLiteral("DocID"),
        QStringLiteral("LastName"));
    MaterialCombo = lookupCombo(panel, "MaterialCombo", work, QStringLiteral("MaterialID"), m_dm.supplies().DentalMaterialsSrc,
        QStringLiteral("MaterialID"), QStringLiteral("Description"));
    LabCombo = lookupCombo(panel, "LabCombo", work, QStringLiteral("DentalLabID"), m_dm.supplies().DentalLabSrc, QStringLiteral("DentalLabID"),
        QStringLiteral("Company"));
    for (QWidget* combo : {static_cast<QWidget*>(DentistCombo), static_cast<QWidget*>(MaterialCombo), static_cast<QWidget*>(LabCombo)})
        combo->installEventFilter(this);
    ColorEdit = new widgets::DBEdit(panel);
    ColorEdit->setObjectName(QStringLiteral("ColorEdit"));
    ColorEdit->bindTo(work, QStringLiteral("Color"));

    auto* form = new QFormLayout(panel);
    form->setContentsMargins(0, 0, 0, 0);
    const auto row = [panel, form](const char* name, const QString& caption, QWidget* editor) {
        auto* label = new QLabel(caption, panel);
        label->setObjectName(QLatin1String(name));
        form->addRow(label, editor);
    };
    row("DateLabel", QStringLiteral("Date"), DateEdit);
    row("DentistLabel", QStringLiteral("Dentist"), DentistCombo);
    row("MaterialLabel", QStringLiteral("Material"), MaterialCombo);
    row("LabLabel", QStringLiteral("Dental Lab"), LabCombo);
    row("ColorLabel", QStringLiteral("Color"), ColorEdit);
    panel->setMinimumWidth(250);
    return panel;
}

QGroupBox* TOperationsForm::buildPrices()
{
    PriceBox = new QGroupBox(this);
    PriceBox->setObjectName(QStringLiteral("PriceBox"));
    db::DataSource* work = m_dm.clinical().TempHistSrc;
    PriceEdit = new widgets::DBEdit(PriceBox);
    PriceEdit->setObjectName(QStringLiteral("PriceEdit"));
    PriceEdit->bindTo(work, QStringLiteral("Price"));
    PriceEdit->dataLink()->setReadOnly(true);
    DiscountEdit = new widgets::DBCalcEdit(PriceBox);
    DiscountEdit->setObjectName(QStringLiteral("DiscountEdit"));
    DiscountEdit->bindTo(work, QStringLiteral("Discount"));
    CostEdit = new widgets::DBCalcEdit(PriceBox);
    CostEdit->setObjectName(QStringLiteral("CostEdit"));
    CostEdit->bindTo(work, QStringLiteral("Cost"));
    // Queued: the calculator edit stores its sum when it is left, after editingFinished.
    connect(DiscountEdit, &QLineEdit::editingFinished, this, &TOperationsForm::DiscountEditExit, Qt::QueuedConnection);
    connect(CostEdit, &QLineEdit::editingFinished, this, &TOperationsForm::CostEditExit, Qt::QueuedConnection);

    auto* layout = new QHBoxLayout(PriceBox);
    const auto add = [this, layout](const char* name, const QString& caption, QWidget* editor) {
        auto* label = new QLabel(caption, PriceBox);
        label->setObjectName(QLatin1String(name));
        layout->addWidget(label);
        layout->addWidget(editor);
    };
    add("PriceLabel", QStringLiteral("Price"), PriceEdit);
    add("DiscountLabel", QStringLiteral("Discount (%)"), DiscountEdit);
    add("CostLabel", QStringLiteral("Cost"), CostEdit);
    layout->addWidget(widgets::currencyButton(PriceBox, m_dm.money()));
    return PriceBox;
}

bool TOperationsForm::prepare(int group, data::TreatmentLevel chartLevel)
{
    setGeometry(70, 180, 600, 260);
    PriceBox->setVisible(chartLevel != data::TreatmentLevel::Initial && data::hasFullRole());
    OkBtn->setEnabled(true);
    DateEdit->setDate(QDate::currentDate());

    db::Dataset& work = *m_dm.clinical().TempHistTable;
    if (work.isEditing())
        work.cancel();
    work.cancelUpdates();
    work.append();
    m_following = true;

    db::Dataset& operations = *m_dm.clinical().OperationsTable;
    if (!operations.isActive())
        m_dm.OpenTable(operations);
    m_dm.clinical().setOperationsGroup(group);
    operations.first();
    const bool patient = m_dm.patients().PatientsTable->isActive() && !m_dm.patients().PatientsTable->isEmpty();
    if (!operations.isEmpty() && patient) {
        work.setValue(u"OperID", operations.value(u"OperID"));
        work.setValue(u"DentistID", m_dm.defaultDentist());
    } else {
        OkBtn->setEnabled(false);
    }
    followOperation();
    return OkBtn->isEnabled();
}

bool TOperationsForm::execForGroup(int group, data::TreatmentLevel chartLevel)
{
    prepare(group, chartLevel);
    return exec() == QDialog::Accepted;
}

QDate TOperationsForm::date() const
{
    return DateEdit->date();
}

void TOperationsForm::requireLookup(widgets::DBLookupCombo* combo, bool required, const QVariant& current)
{
    combo->dataLink()->setReadOnly(!required);
    paintEnabled(combo, required);
    m_dm.clinical().TempHistTable->setValue(combo->fieldName(), required ? current : QVariant());
}

void TOperationsForm::followOperation()
{
    db::Dataset& work = *m_dm.clinical().TempHistTable;
    const db::Dataset& operations = *m_dm.clinical().OperationsTable;
    if (!work.isEditing())
        return;
    const bool any = operations.isActive() && !operations.isEmpty();
    const auto flag = [&](QStringView name) { return any && operations.value(name).toBool(); };
    const QVariant symbol = any ? operations.value(u"BitmapID") : QVariant();
    if (m_browser && !symbol.isNull())
        m_browser->Draw(symbol.toInt(), TSelectBitmapForm::PreviewIndex, false, flag(u"Transparent"));
    else
        SymbolImage->clear();

    if (any)
        work.setValue(u"OperID", operations.value(u"OperID"));
    const auto currentOf = [](const db::Dataset* table, QStringView key) {
        return table->isActive() && !table->isEmpty() ? table->value(key) : QVariant();
    };
    requireLookup(MaterialCombo, flag(u"RequireMaterial"), currentOf(m_dm.supplies().DentalMaterialsTable, u"MaterialID"));
    requireLookup(LabCombo, flag(u"RequireDentalLab"), currentOf(m_dm.supplies().DentalLabTable, u"DentalLabID"));
    ColorEdit->dataLink()->setReadOnly(!flag(u"RequireColor"));
    ColorEdit->setEnabled(flag(u"RequireColor"));
    paintEnabled(ColorEdit, flag(u"RequireColor"));
    work.setValue(u"Color", QVariant());

    const double price = any ? operations.value(u"Cost").toDouble() : 0;
    const double priceEuro = any ? operations.value(u"CostEURO").toDouble() : 0;
    work.setValue(u"Price", price);
    work.setValue(u"PriceEURO", priceEuro);
    const bool free = price == 0 && priceEuro == 0;
    work.setValue(u"Discount", free ? QVariant(0) : currentOf(m_dm.patients().PatientsTable, u"Discount").toDouble());
    costsFromDiscount(work);
}

void TOperationsForm::DiscountEditExit()
{
    if (m_dm.clinical().TempHistTable->isEditing())
        discountLeft(*m_dm.clinical().TempHistTable);
}

void TOperationsForm::CostEditExit()
{
    if (m_dm.clinical().TempHistTable->isEditing())
        costLeft(*m_dm.clinical().TempHistTable, m_dm.money().euroMode());
}

// A choice in a look-up positions its table, where the next history row takes it from.
void TOperationsForm::positionChosen(const QString& fieldName)
{
    const QVariant value = m_dm.clinical().TempHistTable->value(fieldName);
    if (value.isNull())
        return;
    if (fieldName == QLatin1String("MaterialID"))
        m_dm.supplies().DentalMaterialsTable->locate(fieldName, value);
    else if (fieldName == QLatin1String("DentalLabID"))
        m_dm.supplies().DentalLabTable->locate(fieldName, value);
    else if (fieldName == QLatin1String("DentistID"))
        m_dm.lists().DentistsTable->locate(QStringLiteral("DocID"), value);
}

bool TOperationsForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        auto* combo = qobject_cast<widgets::DBLookupCombo*>(watched);
        if (combo && combo->dataLink()->canModify()) {
            combo->dataLink()->write(QVariant());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TOperationsForm::done(int result)
{
    m_following = false;
    QDialog::done(result);
}

} // namespace clinical
