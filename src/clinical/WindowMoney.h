#pragma once

#include "widgets/CurrencyMode.h"

class QToolButton;
class QWidget;

namespace data {
class MoneyState;
}

// The currency mode as the windows with amounts use it.
namespace clinical {

widgets::CurrencyMode currencyMode(const data::MoneyState& money);
// Shows the window's amounts in the mode now and again after every switch of the mode.
void followCurrencyMode(QWidget* window, data::MoneyState& money);
// The button that switches the mode for the whole program ("TOLOCAL" while EURO is shown,
// "TOEURO" otherwise).
QToolButton* currencyButton(QWidget* parent, data::MoneyState& money);

} // namespace clinical
