#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <utility>

class QToolButton;
class QWidget;

namespace platform {
class CurrencySwitch;
}

namespace widgets {

// What the currency switch needs to know: the mode, the money pairs (local, EURO) and how the
// hints write the amount of the other currency. Without pairs, a field "X" pairs with "XEURO".
struct CurrencyMode {
    bool euro = true;
    // Euros only: the amounts carry no hint of another currency.
    bool single = false;
    QList<std::pair<QString, QString>> pairs;
    // The local amount as the hint of a control showing EURO; the default is the locale's
    // currency format.
    std::function<QString(double)> localHint;
    // The EURO amount as the hint of a control showing the local field; the default is the
    // number with 3 decimals followed by " €".
    std::function<QString(double)> euroHint;

    // The field to show in this mode for a bound field; the field itself when it is no amount.
    QString fieldFor(const QString& field) const;
    bool isEuroField(const QString& field) const;
    // The other field of the pair, empty when the field is no amount.
    QString twinOf(const QString& field) const;
};

// Walks the window's data-aware edit boxes, calculator edits and labels and rebinds each one
// bound to an amount to the field of the mode, with the other currency's amount as its hint
// (kept up to date as the row changes); then every grid column bound to an amount. Footer sums
// stay with their columns and so follow. Walking twice in opposite modes restores every field.
void applyCurrencyMode(QWidget* window, const CurrencyMode& mode);

// The mode of the program's switch, as the windows with amounts use it.
CurrencyMode currencyMode(const platform::CurrencySwitch& currency);
// Shows the window's amounts in the mode now and again after every switch of the mode.
void followCurrencyMode(QWidget* window, platform::CurrencySwitch& currency);
// The button that switches the mode for the whole program ("TOLOCAL" while EURO is shown,
// "TOEURO" otherwise).
QToolButton* currencyButton(QWidget* parent, platform::CurrencySwitch& currency);

} // namespace widgets
