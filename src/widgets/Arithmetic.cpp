#include "widgets/Arithmetic.h"

#include <cmath>

namespace widgets {
namespace {

// Recursive descent: sum := product (('+'|'-') product)*; product := factor (('*'|'/') factor)*;
// factor := ('+'|'-') factor | '(' sum ')' | number.
class Parser {
public:
    Parser(const QString& text, const QLocale& locale)
        : m_text(text)
        , m_locale(locale)
    {
    }

    std::optional<double> parse()
    {
        const std::optional<double> value = sum();
        skipBlanks();
        if (!value || m_pos != m_text.size() || !std::isfinite(*value))
            return std::nullopt;
        return value;
    }

private:
    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    bool take(QChar c)
    {
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    std::optional<double> sum()
    {
        std::optional<double> value = product();
        while (value) {
            if (take(QLatin1Char('+'))) {
                const auto rhs = product();
                value = rhs ? std::optional(*value + *rhs) : std::nullopt;
            } else if (take(QLatin1Char('-'))) {
                const auto rhs = product();
                value = rhs ? std::optional(*value - *rhs) : std::nullopt;
            } else {
                break;
            }
        }
        return value;
    }

    std::optional<double> product()
    {
        std::optional<double> value = factor();
        while (value) {
            if (take(QLatin1Char('*'))) {
                const auto rhs = factor();
                value = rhs ? std::optional(*value * *rhs) : std::nullopt;
            } else if (take(QLatin1Char('/'))) {
                const auto rhs = factor();
                value = rhs && *rhs != 0.0 ? std::optional(*value / *rhs) : std::nullopt;
            } else {
                break;
            }
        }
        return value;
    }

    std::optional<double> factor()
    {
        if (take(QLatin1Char('-'))) {
            const auto value = factor();
            return value ? std::optional(-*value) : std::nullopt;
        }
        if (take(QLatin1Char('+')))
            return factor();
        if (take(QLatin1Char('('))) {
            const auto value = sum();
            return value && take(QLatin1Char(')')) ? value : std::nullopt;
        }
        return number();
    }

    std::optional<double> number()
    {
        skipBlanks();
        const QChar decimal = m_locale.decimalPoint().at(0);
        const QChar group = m_locale.groupSeparator().isEmpty() ? QChar() : m_locale.groupSeparator().at(0);
        const qsizetype start = m_pos;
        while (m_pos < m_text.size()
            && (m_text[m_pos].isDigit() || m_text[m_pos] == decimal || m_text[m_pos] == QLatin1Char('.') || (!group.isNull() && m_text[m_pos] == group)))
            ++m_pos;
        const QString token = m_text.mid(start, m_pos - start);
        if (token.isEmpty())
            return std::nullopt;
        bool ok = false;
        double value = m_locale.toDouble(token, &ok);
        if (!ok)
            value = QLocale::c().toDouble(token, &ok);
        return ok ? std::optional(value) : std::nullopt;
    }

    const QString& m_text;
    const QLocale& m_locale;
    qsizetype m_pos = 0;
};

} // namespace

std::optional<double> evaluateArithmetic(const QString& text, const QLocale& locale)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    return Parser(text, locale).parse();
}

bool looksLikeArithmetic(const QString& text)
{
    const QString t = text.trimmed();
    for (qsizetype i = 1; i < t.size(); ++i) {
        if (QStringLiteral("+-*/()").contains(t[i]))
            return true;
    }
    return t.startsWith(QLatin1Char('('));
}

} // namespace widgets
