#include "widgets/CurrencyMode.h"

#include "platform/CurrencySwitch.h"

#include <QLocale>
#include <QToolButton>

#include "db/Field.h"
#include "db/Dataset.h"
#include "db/DatasetModel.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBText.h"

#include <QLocale>

#include <algorithm>

namespace widgets {
namespace {

const QString kEuro = QStringLiteral("EURO");

// Keeps a control's hint on the amount of the other currency in the current row.
class TwinHint : public QObject {
public:
    TwinHint(QWidget* control, FieldDataLink* link)
        : QObject(control)
        , m_control(control)
        , m_link(link)
    {
        connect(link, &FieldDataLink::dataChanged, this, &TwinHint::refresh);
    }

    void set(const QString& twin, std::function<QString(double)> format)
    {
        m_twin = twin;
        m_format = std::move(format);
        refresh();
    }

private:
    void refresh()
    {
        if (m_twin.isEmpty()) {
            m_control->setToolTip({});
            return;
        }
        const db::Dataset* dataset = m_link->dataset();
        const db::Field* twin = dataset && dataset->isActive() ? dataset->findField(m_twin) : nullptr;
        // An empty amount counts as 0.
        m_control->setToolTip(twin ? m_format(twin->value().toDouble()) : QString());
    }

    QWidget* m_control;
    FieldDataLink* m_link;
    QString m_twin;
    std::function<QString(double)> m_format;
};

std::function<QString(double)> hintFormat(const CurrencyMode& mode)
{
    if (mode.euro) {
        if (mode.localHint)
            return mode.localHint;
        return [](double value) { return QLocale().toCurrencyString(value); };
    }
    if (mode.euroHint)
        return mode.euroHint;
    return [](double value) { return QLocale().toString(value, 'f', 3) + QStringLiteral(" €"); };
}

// The field to show instead of `field`, or nothing when the view lacks the twin.
QString wantedField(const db::Dataset* dataset, const QString& field, const CurrencyMode& mode)
{
    const QString wanted = mode.fieldFor(field);
    if (wanted.compare(field, Qt::CaseInsensitive) == 0 || !dataset || !dataset->findField(wanted))
        return {};
    return wanted;
}

void rebind(QWidget* control, FieldDataLink* link, const CurrencyMode& mode)
{
    const QString field = link->fieldName();
    if (mode.twinOf(field).isEmpty() || !link->dataset() || !link->dataset()->findField(mode.twinOf(field)))
        return; // not an amount, or the view has only one of the pair
    link->setFieldName(mode.fieldFor(field));
    TwinHint* hint = nullptr;
    for (QObject* child : control->children()) {
        if ((hint = dynamic_cast<TwinHint*>(child)))
            break;
    }
    if (!hint)
        hint = new TwinHint(control, link);
    hint->set(mode.single ? QString() : mode.twinOf(link->fieldName()), hintFormat(mode));
}

} // namespace

QString CurrencyMode::twinOf(const QString& field) const
{
    if (!pairs.isEmpty()) {
        for (const auto& [local, euroField] : pairs) {
            if (field.compare(local, Qt::CaseInsensitive) == 0)
                return euroField;
            if (field.compare(euroField, Qt::CaseInsensitive) == 0)
                return local;
        }
        return {};
    }
    if (field.size() > kEuro.size() && field.endsWith(kEuro, Qt::CaseInsensitive))
        return field.chopped(kEuro.size());
    return field.isEmpty() ? QString() : field + kEuro;
}

bool CurrencyMode::isEuroField(const QString& field) const
{
    if (pairs.isEmpty())
        return field.size() > kEuro.size() && field.endsWith(kEuro, Qt::CaseInsensitive);
    return std::any_of(pairs.begin(), pairs.end(), [&](const auto& pair) { return pair.second.compare(field, Qt::CaseInsensitive) == 0; });
}

QString CurrencyMode::fieldFor(const QString& field) const
{
    const QString twin = twinOf(field);
    if (twin.isEmpty())
        return field;
    return isEuroField(field) == euro ? field : twin;
}

void applyCurrencyMode(QWidget* window, const CurrencyMode& mode)
{
    if (!window)
        return;
    // Edit boxes (calculator edits among them) and labels, in creation order.
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (auto* edit = qobject_cast<DBEdit*>(control))
            rebind(edit, edit->dataLink(), mode);
        else if (auto* label = qobject_cast<DBText*>(control))
            rebind(label, label->dataLink(), mode);
    }
    for (DBGrid* grid : window->findChildren<DBGrid*>()) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            const db::Dataset* dataset = grid->datasetModel() ? grid->datasetModel()->dataset() : nullptr;
            const QString wanted = wantedField(dataset, grid->columnField(column), mode);
            if (!wanted.isEmpty())
                grid->setColumnField(column, wanted);
        }
    }
}

CurrencyMode currencyMode(const platform::CurrencySwitch& currency)
{
    CurrencyMode mode;
    mode.euro = currency.euroMode();
    mode.single = currency.singleCurrency();
    mode.pairs = currency.amountFields();
    mode.localHint = [&currency](double value) { return currency.localText(value); };
    mode.euroHint = [](double value) { return QLocale().toString(value, 'f', 3) + QStringLiteral(" €"); };
    return mode;
}

void followCurrencyMode(QWidget* window, platform::CurrencySwitch& currency)
{
    applyCurrencyMode(window, currencyMode(currency));
    const auto follow = [window, &currency] { applyCurrencyMode(window, currencyMode(currency)); };
    QObject::connect(&currency, &platform::CurrencySwitch::euroModeChanged, window, follow);
    QObject::connect(&currency, &platform::CurrencySwitch::singleCurrencyChanged, window, follow);
}

QToolButton* currencyButton(QWidget* parent, platform::CurrencySwitch& currency)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("CurrencyBtn"));
    const auto glyph = [button, &currency] {
        button->setText(currency.euroMode() ? QStringLiteral("€ → ¤") : QStringLiteral("¤ → €"));
        button->setToolTip(currency.euroMode() ? QStringLiteral("TOLOCAL") : QStringLiteral("TOEURO"));
    };
    glyph();
    // Shown only where there is a second currency to switch to.
    const auto place = [button, &currency] { button->setVisible(!currency.singleCurrency()); };
    place();
    QObject::connect(button, &QToolButton::clicked, &currency, &platform::CurrencySwitch::toggleEuroMode);
    QObject::connect(&currency, &platform::CurrencySwitch::euroModeChanged, button, glyph);
    QObject::connect(&currency, &platform::CurrencySwitch::singleCurrencyChanged, button, place);
    return button;
}

} // namespace widgets
