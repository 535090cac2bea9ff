#include "data/Money.h"
#include "db/Errors.h"
#include "support/DataTable.h"

#include <QSet>
#include <QSignalSpy>
#include <QTest>

using data::CurrencyConvention;
using Fields = QVariantHash;
Q_DECLARE_METATYPE(CurrencyConvention)

namespace {

// A record as the dataset will offer it: some fields are look-ups of another table.
class FakeRecord : public data::MoneyFields {
public:
    FakeRecord(Fields fields, QSet<QString> lookups)
        : m_fields(std::move(fields))
        , m_lookups(std::move(lookups))
    {
    }
    bool hasField(const QString& name) const override
    {
        return m_fields.contains(name) && !m_lookups.contains(name);
    }
    QVariant value(const QString& name) const override { return m_fields.value(name); }
    void setValue(const QString& name, const QVariant& value) override { m_fields[name] = value; }
    const Fields& fields() const { return m_fields; }

private:
    Fields m_fields;
    QSet<QString> m_lookups;
};

CurrencyConvention convention(const char* locale, const QString& symbol, int decimals, int format)
{
    CurrencyConvention c;
    c.locale = QLocale(QString::fromLatin1(locale));
    c.symbol = symbol;
    c.decimals = decimals;
    c.format = format;
    return c;
}

} // namespace

class TestMoney : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void convertTwins_data()
    {
        testsupport::addRows<bool, Fields, QStringList, Fields>({ "euroMode", "before", "lookups", "after" },
            {
                { "100 EURO stores 34075 local", true, Fields { { "Cost", 0.0 }, { "CostEURO", 100.0 } },
                    QStringList(), Fields { { "Cost", 34075.0 }, { "CostEURO", 100.0 } } },
                { "34075 local stores 100 EURO", false, Fields { { "Cost", 34075.0 }, { "CostEURO", 0.0 } },
                    QStringList(), Fields { { "Cost", 34075.0 }, { "CostEURO", 100.0 } } },
                { "no rounding", false, Fields { { "Price", 1.0 }, { "PriceEURO", 0.0 } }, QStringList(),
                    Fields { { "Price", 1.0 }, { "PriceEURO", 1.0 / 340.75 } } },
                { "every pair of the record, other fields untouched", true,
                    Fields { { "Balance", 0.0 }, { "BalanceEURO", 2.0 }, { "InTotal", 0.0 },
                        { "InTotalEURO", 0.5 }, { "Notes", "x" } },
                    QStringList(),
                    Fields { { "Balance", 681.5 }, { "BalanceEURO", 2.0 }, { "InTotal", 170.375 },
                        { "InTotalEURO", 0.5 }, { "Notes", "x" } } },
                { "one field of a pair is left alone", true, Fields { { "Price", 5.0 }, { "CostEURO", 7.0 } },
                    QStringList(), Fields { { "Price", 5.0 }, { "CostEURO", 7.0 } } },
                { "look-up fields are skipped", true, Fields { { "Cost", 1.0 }, { "CostEURO", 2.0 } },
                    QStringList { "Cost" }, Fields { { "Cost", 1.0 }, { "CostEURO", 2.0 } } },
                { "empty amount empties its twin", true,
                    Fields { { "Credit", 9.0 }, { "CreditEURO", QVariant() } }, QStringList(),
                    Fields { { "Credit", QVariant() }, { "CreditEURO", QVariant() } } },
            });
    }

    void convertTwins()
    {
        QFETCH(bool, euroMode);
        QFETCH(Fields, before);
        QFETCH(QStringList, lookups);
        QFETCH(Fields, after);
        FakeRecord record(before, QSet<QString>(lookups.begin(), lookups.end()));
        data::MoneyState state;
        state.setEuroMode(euroMode);
        state.convertTwins(record);
        QCOMPARE(record.fields(), after);
    }

    void pairsAndTwins_data()
    {
        testsupport::addRows<QString, QString, QString, QString>(
            { "field", "twin", "shownInEuro", "shownInLocal" },
            {
                { "local", "Cost", "CostEURO", "CostEURO", "Cost" },
                { "euro", "SessBalanceEURO", "SessBalance", "SessBalanceEURO", "SessBalance" },
                { "not an amount", "Discount", "", "Discount", "Discount" },
                { "names are exact", "cost", "", "cost", "cost" },
            });
    }

    void pairsAndTwins()
    {
        QFETCH(QString, field);
        QFETCH(QString, twin);
        QFETCH(QString, shownInEuro);
        QFETCH(QString, shownInLocal);
        QCOMPARE(data::moneyTwin(field), twin);
        QCOMPARE(data::moneyFieldForMode(field, true), shownInEuro);
        QCOMPARE(data::moneyFieldForMode(field, false), shownInLocal);
        // switching twice returns to the first field
        QCOMPARE(data::moneyFieldForMode(data::moneyFieldForMode(field, false), true),
            data::moneyFieldForMode(field, true));
    }

    void rateIsNeverZeroOrBelow()
    {
        data::MoneyState state;
        QCOMPARE(state.rate(), 340.75);
        QSignalSpy changed(&state, &data::MoneyState::rateChanged);
        for (double bad : { 0.0, -340.75 }) {
            try {
                state.setRate(bad);
                QFAIL("a rate of 0 or below was accepted");
            } catch (const db::DatabaseError& e) {
                QCOMPARE(e.message(), QStringLiteral("The currency exchange rate must be greater than 0"));
            }
        }
        QCOMPARE(state.rate(), 340.75);
        state.setRate(400);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(state.rate(), 400.0);
    }

    void formats_data()
    {
        testsupport::addRows<CurrencyConvention, bool, double, QString, QString, QString>(
            { "currency", "euroMode", "value", "text", "displayPattern", "edit" },
            {
                { "euro", convention("en_US", "$", 2, 0), true, 12500.5, "12,500.50 €", ",0.00 €",
                    "12500.5" },
                { "euro, Greek separators", convention("el_GR", "€", 2, 3), true, 1234.567, "1.234,57 €",
                    ",0.00 €", "1234,57" },
                { "symbol after, no decimals", convention("el_GR", "Δρχ", 0, 3), false, 12500.0, "12.500 Δρχ",
                    ",0 Δρχ", "12500" },
                { "symbol after without blank", convention("en_US", "Dr", 2, 1), false, 0.5, "0.50 Dr",
                    ",0.00 Dr", "0.5" },
                { "symbol before", convention("en_US", "$", 2, 0), false, 1234.5, "$ 1,234.50", "$ ,0.00",
                    "1234.5" },
                { "symbol before, three decimals", convention("en_US", "KD", 3, 2), false, 34075.123456,
                    "KD 34,075.123", "KD ,0.000", "34075.12346" },
                { "other format: number alone", convention("en_US", "$", 2, 9), false, 1234.5, "1,234.50", "",
                    "1234.5" },
            });
    }

    void formats()
    {
        QFETCH(CurrencyConvention, currency);
        QFETCH(bool, euroMode);
        QFETCH(double, value);
        QFETCH(QString, text);
        QFETCH(QString, displayPattern);
        QFETCH(QString, edit);
        QCOMPARE(data::formatMoney(value, euroMode, currency), text);
        const data::MoneyFormat format
            = euroMode ? data::euroMoneyFormat() : data::localMoneyFormat(currency);
        QCOMPARE(format.displayPattern, displayPattern);
        QCOMPARE(format.editPattern, euroMode ? QStringLiteral("#.##") : QStringLiteral("#.#####"));
        QCOMPARE(format.edit(value, currency.locale), edit);
    }

    void conventionFromLocale_data()
    {
        testsupport::addRows<QString, QString, int, int>({ "locale", "symbol", "decimals", "format" },
            {
                { "el_GR", "el_GR", "€", 2, 3 },
                { "en_US", "en_US", "$", 2, 0 },
                { "ja_JP", "ja_JP", "￥", 0, 0 },
                { "nl_NL", "nl_NL", "€", 2, 2 },
                { "de_CH", "de_CH", "CHF", 2, 3 },
            });
    }

    void conventionFromLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, symbol);
        QFETCH(int, decimals);
        QFETCH(int, format);
        const CurrencyConvention c = CurrencyConvention::fromLocale(QLocale(locale));
        QCOMPARE(c.symbol, symbol);
        QCOMPARE(c.decimals, decimals);
        QCOMPARE(c.format, format);
    }
};

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
