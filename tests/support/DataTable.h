#pragma once

// A Qt Test data table written as it reads: the columns' types and names once, then a row a
// line, its name first.

#include <QTest>

#include <array>
#include <initializer_list>
#include <tuple>

namespace testsupport {

template<typename... Columns>
void addRows(const std::array<const char*, sizeof...(Columns)>& names,
    std::initializer_list<std::tuple<const char*, Columns...>> rows)
{
    for (const char* name : names) {
        if (!name)
            qFatal("a data table names fewer columns than it has types");
    }
    std::size_t column = 0;
    (QTest::addColumn<Columns>(names[column++]), ...);
    for (const auto& row : rows)
        std::apply(
            [](const char* tag, const Columns&... values) { (QTest::newRow(tag) << ... << values); }, row);
}

// A table of one switch: the test runs with `column` true (the row `whenTrue`), then false.
inline void addSwitchRows(const char* column, const char* whenTrue, const char* whenFalse)
{
    addRows<bool>({ column }, { { whenTrue, true }, { whenFalse, false } });
}

} // namespace testsupport
