#include "clinical/WindowMoney.h"

#include "data/Money.h"

#include <QLocale>
#include <QToolButton>

namespace clinical {

widgets::CurrencyMode currencyMode(const data::MoneyState& money)
{
    widgets::CurrencyMode mode;
    mode.euro = money.euroMode();
    for (const data::MoneyPair& pair : data::moneyPairs())
        mode.pairs.append({pair.local, pair.euro});
    const data::CurrencyConvention convention = money.convention();
    mode.localHint = [convention](double value) { return data::formatMoney(value, false, convention); };
    mode.euroHint = [](double value) { return QLocale().toString(value, 'f', 3) + QStringLiteral(" €"); };
    return mode;
}

void followCurrencyMode(QWidget* window, data::MoneyState& money)
{
    widgets::applyCurrencyMode(window, currencyMode(money));
    QObject::connect(&money, &data::MoneyState::euroModeChanged, window, [window, &money] {
        widgets::applyCurrencyMode(window, currencyMode(money));
    });
}

QToolButton* currencyButton(QWidget* parent, data::MoneyState& money)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("CurrencyBtn"));
    const auto glyph = [button, &money] {
        button->setText(money.euroMode() ? QStringLiteral("€ → ¤") : QStringLiteral("¤ → €"));
        button->setToolTip(money.euroMode() ? QStringLiteral("TOLOCAL") : QStringLiteral("TOEURO"));
    };
    glyph();
    QObject::connect(button, &QToolButton::clicked, &money, &data::MoneyState::toggleEuroMode);
    QObject::connect(&money, &data::MoneyState::euroModeChanged, button, glyph);
    return button;
}

} // namespace clinical
