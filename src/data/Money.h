#pragma once

#include "platform/CurrencySwitch.h"

#include <QList>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QVariant>

namespace data {

// Every amount is kept twice in one row: in the local currency and in EURO, in two float
// fields whose names differ by the suffix "EURO", bound by local = EURO x rate.
struct MoneyPair {
    QString local; // "Cost"
    QString euro; // "CostEURO"
};

// The pairs, in their order of search.
const QList<MoneyPair>& moneyPairs();
// The other field of a pair, or an empty string for a field that is not an amount.
QString moneyTwin(const QString& field);
bool isLocalMoneyField(const QString& field);
bool isEuroMoneyField(const QString& field);
// The field of the pair that the windows show in the given mode; other fields as they are.
QString moneyFieldForMode(const QString& field, bool euroMode);

// One record's fields as the conversion needs them; the dataset implements it.
class MoneyFields {
public:
    virtual ~MoneyFields() = default;
    // True when the record has the field as a stored or calculated field (look-ups count
    // as absent: they are copies of another table's amounts).
    virtual bool hasField(const QString& name) const = 0;
    virtual QVariant value(const QString& name) const = 0;
    virtual void setValue(const QString& name, const QVariant& value) = 0;
};

// Completes every pair the record has both fields of: in EURO mode local := EURO x rate,
// otherwise EURO := local / rate. An empty amount leaves an empty twin. Nothing is rounded.
void convertTwins(MoneyFields& record, double rate, bool euroMode);

// How the platform writes amounts of the local currency.
struct CurrencyConvention {
    QLocale locale; // separators: the program's locale
    QString symbol;
    int decimals = 2;
    // Where the symbol goes: 0 before ("S1"), 1 after ("1S"), 2 before with a blank ("S 1"),
    // 3 after with a blank ("1 S"). Any other value shows the number alone.
    int format = 3;

    static CurrencyConvention fromLocale(const QLocale& locale);
};

// The look of one kind of money field: the number with thousands separators and fixed
// decimals between a prefix and a suffix for display, the plain number for editing.
struct MoneyFormat {
    QString prefix;
    QString suffix;
    int decimals = 2;
    int editDecimals = 2; // at most, trailing zeros dropped
    // The same as format strings of the older system (",0.00 €", "#.##"). The display pattern
    // is empty when the field keeps its designed format.
    QString displayPattern;
    QString editPattern;

    QString display(double value, const QLocale& locale) const;
    QString edit(double value, const QLocale& locale) const;
};

MoneyFormat euroMoneyFormat();
MoneyFormat localMoneyFormat(const CurrencyConvention& convention);
// Totals of grid footers and printouts.
QString formatMoney(double value, bool euroMode, const CurrencyConvention& convention);

// The program-wide money state: the EURO display mode (on at start, never stored) and the
// rate, local units per EURO, which is never 0 or below.
class MoneyState : public platform::CurrencySwitch {
    Q_OBJECT
public:
    static constexpr double kDefaultRate = 340.75;

    explicit MoneyState(QObject* parent = nullptr);

    bool singleCurrency() const override { return m_rate == 1.0; }
    bool euroMode() const override { return m_euroMode; }
    void setEuroMode(bool on) override;
    QList<std::pair<QString, QString>> amountFields() const override;
    QString localText(double value) const override
    {
        return formatMoney(value, singleCurrency(), m_convention);
    }

    double rate() const { return m_rate; }
    // Throws db::DatabaseError "The currency exchange rate must be greater than 0".
    void setRate(double rate);

    const CurrencyConvention& convention() const { return m_convention; }
    void setConvention(const CurrencyConvention& convention) { m_convention = convention; }

    void convertTwins(MoneyFields& record) const { data::convertTwins(record, m_rate, m_euroMode); }
    QString FormatMoney(double value) const
    {
        return formatMoney(value, m_euroMode || singleCurrency(), m_convention);
    }
    // With one currency both fields of a pair are euros and look alike.
    MoneyFormat localFormat() const
    {
        return singleCurrency() ? euroMoneyFormat() : localMoneyFormat(m_convention);
    }

Q_SIGNALS:
    void rateChanged(double rate);

private:
    bool m_euroMode = true;
    double m_rate = kDefaultRate;
    CurrencyConvention m_convention = CurrencyConvention::fromLocale(QLocale());
};

} // namespace data
