#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <utility>

namespace platform {

// The program-wide choice of the currency the windows show, local or EURO, with what a window
// needs to show the other one: the pairs of amount fields and the local currency's way of
// writing an amount. The data module keeps it; the windows follow it.
class CurrencySwitch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // A practice that works in euros only (its rate is 1) shows no second currency: no switch,
    // no hints of the other amount.
    virtual bool singleCurrency() const { return false; }
    virtual bool euroMode() const = 0;
    virtual void setEuroMode(bool on) = 0;
    void toggleEuroMode() { setEuroMode(!euroMode()); }
    // Every amount's fields (local, EURO), in their order of search.
    virtual QList<std::pair<QString, QString>> amountFields() const = 0;
    // An amount in the local currency as the practice writes it.
    virtual QString localText(double value) const = 0;

Q_SIGNALS:
    void euroModeChanged(bool euroMode);
    void singleCurrencyChanged(bool single);
};

} // namespace platform
