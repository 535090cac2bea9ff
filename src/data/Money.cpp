#include "data/Money.h"

#include "db/Errors.h"
#include "platform/Settings.h"

namespace data {
namespace {

const MoneyPair* findPair(const QString& field)
{
    for (const MoneyPair& pair : moneyPairs()) {
        if (pair.local == field || pair.euro == field)
            return &pair;
    }
    return nullptr;
}

QString euroSign()
{
    return QStringLiteral("€");
}

// ".00" for 2 decimals, "" for none.
QString decimalsPattern(int decimals)
{
    return decimals > 0 ? u'.' + QString(decimals, u'0') : QString();
}

} // namespace

const QList<MoneyPair>& moneyPairs()
{
    static const QList<MoneyPair> pairs = [] {
        QList<MoneyPair> list;
        for (const char* local : { "Balance", "Cost", "Credit", "Price", "OldPrice", "UnitPrice",
                 "TotalPrice", "RetailPrice", "TradePrice", "HospitalPrice", "PayableAmount",
                 "ReceivableAmount", "TempBalance", "SessBalance", "DeliveryPrice", "OrderPrice", "FinalCost",
                 "ReceiptCredit", "OutTotal", "InTotal" }) {
            const QString name = QString::fromLatin1(local);
            list.append({ name, name + QStringLiteral("EURO") });
        }
        return list;
    }();
    return pairs;
}

QString moneyTwin(const QString& field)
{
    const MoneyPair* pair = findPair(field);
    if (!pair)
        return {};
    return pair->local == field ? pair->euro : pair->local;
}

bool isLocalMoneyField(const QString& field)
{
    const MoneyPair* pair = findPair(field);
    return pair && pair->local == field;
}

bool isEuroMoneyField(const QString& field)
{
    const MoneyPair* pair = findPair(field);
    return pair && pair->euro == field;
}

QString moneyFieldForMode(const QString& field, bool euroMode)
{
    if (euroMode ? isLocalMoneyField(field) : isEuroMoneyField(field))
        return moneyTwin(field);
    return field;
}

void convertTwins(MoneyFields& record, double rate, bool euroMode)
{
    for (const MoneyPair& pair : moneyPairs()) {
        if (!record.hasField(pair.local) || !record.hasField(pair.euro))
            continue;
        const QString& from = euroMode ? pair.euro : pair.local;
        const QString& to = euroMode ? pair.local : pair.euro;
        const QVariant source = record.value(from);
        if (source.isNull()) {
            record.setValue(to, QVariant());
            continue;
        }
        const double amount = source.toDouble();
        record.setValue(to, euroMode ? amount * rate : amount / rate);
    }
}

CurrencyConvention CurrencyConvention::fromLocale(const QLocale& locale)
{
    CurrencyConvention c;
    c.locale = locale;
    c.symbol = locale.currencySymbol(QLocale::CurrencySymbol);
    // Qt tells the currency's decimals and the symbol's place only through a formatted
    // amount, so read them from one, with a marker standing in for the symbol.
    const QChar marker(0x00A4);
    const QString sample = locale.toCurrencyString(1.0, QString(marker));
    const qsizetype symbolAt = sample.indexOf(marker);
    const qsizetype point = sample.indexOf(locale.decimalPoint());
    c.decimals = 0;
    for (qsizetype i = point + 1; point >= 0 && i < sample.size() && sample[i].isDigit(); ++i)
        ++c.decimals;
    qsizetype firstDigit = 0;
    while (firstDigit < sample.size() && !sample[firstDigit].isDigit())
        ++firstDigit;
    const bool before = symbolAt < firstDigit;
    const qsizetype besideNumber = before ? symbolAt + 1 : symbolAt - 1;
    const bool blank = besideNumber >= 0 && besideNumber < sample.size() && sample[besideNumber].isSpace();
    c.format = before ? (blank ? 2 : 0) : (blank ? 3 : 1);
    return c;
}

QString MoneyFormat::display(double value, const QLocale& locale) const
{
    return prefix + locale.toString(value, 'f', decimals) + suffix;
}

QString MoneyFormat::edit(double value, const QLocale& locale) const
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = plain.toString(value, 'f', editDecimals);
    if (editDecimals > 0) {
        while (text.endsWith(plain.zeroDigit()))
            text.chop(1);
        if (text.endsWith(plain.decimalPoint()))
            text.chop(plain.decimalPoint().size());
    }
    return text;
}

MoneyFormat euroMoneyFormat()
{
    MoneyFormat f;
    f.suffix = u' ' + euroSign();
    f.decimals = 2;
    f.editDecimals = 2;
    f.displayPattern = QStringLiteral(",0.00 ") + euroSign();
    f.editPattern = QStringLiteral("#.##");
    return f;
}

MoneyFormat localMoneyFormat(const CurrencyConvention& convention)
{
    MoneyFormat f;
    f.decimals = convention.decimals;
    f.editDecimals = 5;
    f.editPattern = QStringLiteral("#.#####");
    const QString digits = QStringLiteral(",0") + decimalsPattern(convention.decimals);
    switch (convention.format) {
    case 1:
    case 3:
        f.suffix = u' ' + convention.symbol;
        f.displayPattern = digits + u' ' + convention.symbol;
        break;
    case 0:
    case 2:
        f.prefix = convention.symbol + u' ';
        f.displayPattern = convention.symbol + u' ' + digits;
        break;
    default:
        break; // the field keeps its designed format
    }
    return f;
}

QString formatMoney(double value, bool euroMode, const CurrencyConvention& convention)
{
    return (euroMode ? euroMoneyFormat() : localMoneyFormat(convention)).display(value, convention.locale);
}

MoneyState::MoneyState(QObject* parent)
    : platform::CurrencySwitch(parent)
{
}

void MoneyState::setEuroMode(bool on)
{
    if (singleCurrency())
        on = true;
    if (m_euroMode == on)
        return;
    m_euroMode = on;
    Q_EMIT euroModeChanged(on);
}

QList<std::pair<QString, QString>> MoneyState::amountFields() const
{
    QList<std::pair<QString, QString>> fields;
    for (const MoneyPair& pair : moneyPairs())
        fields.append({ pair.local, pair.euro });
    return fields;
}

void MoneyState::setRate(double rate)
{
    if (!(rate > 0))
        throw db::DatabaseError(QString::fromLatin1(platform::Settings::kInvalidRateMessage));
    if (rate == m_rate)
        return;
    const bool wasSingle = singleCurrency();
    m_rate = rate;
    Q_EMIT rateChanged(rate);
    if (singleCurrency() != wasSingle) {
        if (singleCurrency())
            setEuroMode(true); // the only currency there is
        Q_EMIT singleCurrencyChanged(singleCurrency());
    }
}

} // namespace data
