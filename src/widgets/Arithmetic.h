#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace widgets {

// The value of a sum typed into a number editor: numbers in the locale's notation (or with a
// '.'), + - * / and parentheses, e.g. "100*0.9" or "(12,5+7,5)/2". Nothing when the text is
// not such a sum or divides by zero.
std::optional<double> evaluateArithmetic(const QString& text, const QLocale& locale = QLocale());

// True when the text holds an operator after its first character: a sum rather than a number.
bool looksLikeArithmetic(const QString& text);

} // namespace widgets
