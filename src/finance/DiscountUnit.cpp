#include "finance/DiscountUnit.h"
#include "db/FieldFormat.h"

#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"
#include "db/Errors.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "widgets/CurrencyMode.h"
#include "widgets/Language.h"
#include "widgets/UserAction.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace finance {

void DiscountFigures::startFrom(double total, double totalEuro)
{
    price = total;
    priceEuro = totalEuro;
    percent = cost = costEuro = 0;
    finalCost = price;
    finalCostEuro = priceEuro;
}

void DiscountFigures::fromPercent(double p)
{
    percent = p;
    cost = p / 100 * price;
    costEuro = p / 100 * priceEuro;
    finalCost = price - cost;
    finalCostEuro = priceEuro - costEuro;
}

void DiscountFigures::fromAmount(double amount, bool euro)
{
    const double shownPrice = euro ? priceEuro : price;
    // Nothing to discount on a total of 0.
    fromPercent(shownPrice == 0 ? 0 : amount * 100 / shownPrice);
    (euro ? costEuro : cost) = shownPrice == 0 ? 0 : amount;
    finalCost = price - cost;
    finalCostEuro = priceEuro - costEuro;
}

void DiscountFigures::fromFinalCost(double final, bool euro)
{
    const double shownPrice = euro ? priceEuro : price;
    if (shownPrice == 0) {
        fromPercent(0);
        return;
    }
    fromPercent((1 - final / shownPrice) * 100);
    (euro ? finalCostEuro : finalCost) = final;
    cost = price - finalCost;
    costEuro = priceEuro - finalCostEuro;
}

TDiscountForm::TDiscountForm(data::TDmForm& dm, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
{
    setObjectName(QStringLiteral("DiscountForm"));
    setWindowTitle(QStringLiteral("Discount"));
    const auto edit = [this](const char* name, bool readOnly = false) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setReadOnly(readOnly);
        e->setAlignment(Qt::AlignRight);
        return e;
    };
    DateEdit = new QDateEdit(QDate::currentDate(), this);
    DateEdit->setDisplayFormat(db::fieldformat::defaultDatePattern());
    DateEdit->setObjectName(QStringLiteral("DateEdit"));
    DateEdit->setCalendarPopup(true);
    DentistCombo = new QComboBox(this);
    DentistCombo->setObjectName(QStringLiteral("DentistCombo"));
    PriceEdit = edit("PriceEdit", true);
    DiscountEdit = edit("DiscountEdit");
    CostEdit = edit("CostEdit");
    FinalCostEdit = edit("FinalCostEdit");
    connect(DiscountEdit, &QLineEdit::editingFinished, this, &TDiscountForm::DiscountEditExit);
    connect(CostEdit, &QLineEdit::editingFinished, this, &TDiscountForm::CostEditExit);
    connect(FinalCostEdit, &QLineEdit::editingFinished, this, &TDiscountForm::FinalCostEditExit);
    CurrencyBtn = widgets::currencyButton(this, m_dm.money());
    connect(&m_dm.money(), &data::MoneyState::euroModeChanged, this, &TDiscountForm::showFigures);

    auto* form = new QFormLayout;
    const auto row = [form, this](QWidget* editor, const char* caption) {
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        label->setObjectName(editor->objectName() + QStringLiteral("Label"));
        label->setBuddy(editor);
        form->addRow(label, editor);
    };
    row(DateEdit, "Date");
    row(DentistCombo, "Dentist");
    row(PriceEdit, "Cost");
    row(DiscountEdit, "Discount (%)");
    row(CostEdit, "Discount");
    row(FinalCostEdit, "Final Cost");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkBtn"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TDiscountForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(CurrencyBtn);
    bottom->addWidget(buttons, 1);
    layout->addLayout(bottom);

    Lang = new widgets::TLanguage(this);
    QStringList paths;
    for (const char* name : { "DateEditLabel", "DentistComboLabel", "PriceEditLabel", "DiscountEditLabel",
             "CostEditLabel", "FinalCostEditLabel", "OkBtn", "CancelBtn" })
        paths.append(QStringLiteral("DiscountForm.%1.Caption").arg(QLatin1String(name)));
    Lang->setProperties(paths);
    Lang->Translate();
    setWindowTitle(Lang->Message(windowTitle()));

    // The total of the session's treatments at the level the chart shows.
    const data::ChartContext* chart = m_dm.clinical().chart();
    const QVariant session = data::currentValue(*m_dm.clinical().SessionsTable, u"SessionID");
    m_chartOpen = chart != nullptr;
    m_level = chart ? chart->treatmentLevel() : data::TreatmentLevel::Implementation;
    data::SessionBalance total;
    if (chart && !session.isNull()) {
        try {
            total = m_dm.finance().treatmentsCost(session, m_level);
        } catch (const std::exception& e) {
            platform::exceptionLog::logException(e, QStringLiteral("Discount: the session's treatment cost"));
            platform::showError(QString::fromUtf8(e.what()));
        }
    }
    m_figures.startFrom(total.local, total.euro);
    fillDentists();
    showFigures();
    CostEdit->setFocus();
}

void TDiscountForm::fillDentists()
{
    db::Dataset& dentists = *m_dm.lists().DentistsTable;
    if (!dentists.isActive())
        m_dm.OpenTable(dentists);
    const int idField = dentists.field(u"DocID").index();
    const int nameField = dentists.field(u"LastName").index();
    for (int row = 0; row < dentists.recordCount(); ++row) {
        const QVariant id = dentists.rowValue(row, idField);
        if (!id.isNull())
            DentistCombo->addItem(dentists.rowValue(row, nameField).toString(), id.toInt());
    }
    // The default dentist is offered; the discount may be another's.
    DentistCombo->setCurrentIndex(DentistCombo->findData(m_dm.defaultDentist()));
}

QVariant TDiscountForm::dentistId() const
{
    // None chosen (the default is not in the list): the default's, as every new treatment gets.
    return DentistCombo->currentIndex() < 0 ? QVariant(m_dm.defaultDentist()) : DentistCombo->currentData();
}

QString TDiscountForm::amountText(double value) const
{
    return QLocale().toString(value, 'f', 2);
}

void TDiscountForm::showFigures()
{
    const bool euro = m_dm.money().euroMode();
    PriceEdit->setText(amountText(euro ? m_figures.priceEuro : m_figures.price));
    DiscountEdit->setText(QLocale().toString(m_figures.percent, 'f', 1));
    CostEdit->setText(amountText(euro ? m_figures.costEuro : m_figures.cost));
    FinalCostEdit->setText(amountText(euro ? m_figures.finalCostEuro : m_figures.finalCost));
    PriceEdit->setToolTip(m_dm.money().FormatMoney(euro ? m_figures.priceEuro : m_figures.price));
}

std::optional<double> TDiscountForm::numberIn(QLineEdit* editor)
{
    const QString text = editor->text().trimmed();
    if (text.isEmpty())
        return 0.0; // an empty box is no discount
    bool ok = false;
    double value = QLocale().toDouble(text, &ok);
    if (!ok)
        value = text.toDouble(&ok);
    if (!ok) {
        platform::showError(
            QStringLiteral("'%1' ").arg(text) + Lang->Message(QStringLiteral("is not a valid number")));
        editor->setFocus();
        return std::nullopt;
    }
    return value;
}

void TDiscountForm::DiscountEditExit()
{
    if (const std::optional<double> p = numberIn(DiscountEdit)) {
        m_figures.fromPercent(*p);
        showFigures();
    }
}

void TDiscountForm::CostEditExit()
{
    if (const std::optional<double> amount = numberIn(CostEdit)) {
        m_figures.fromAmount(*amount, m_dm.money().euroMode());
        showFigures();
    }
}

void TDiscountForm::FinalCostEditExit()
{
    if (const std::optional<double> final = numberIn(FinalCostEdit)) {
        m_figures.fromFinalCost(*final, m_dm.money().euroMode());
        showFigures();
    }
}

void TDiscountForm::accept()
{
    const std::optional<double> amount = numberIn(CostEdit);
    if (!amount)
        return;
    m_figures.fromAmount(*amount, m_dm.money().euroMode());
    if (!m_figures.isZero() && m_chartOpen) {
        // Refused, the dialog stays with its figures; nothing was stored.
        if (!widgets::runUserAction([this] {
                m_dm.finance().appendDiscount(
                    m_level, DateEdit->date(), dentistId(), m_figures.cost, m_figures.costEuro);
            }))
            return;
    }
    QDialog::accept();
}

} // namespace finance
