#include "clinical/CostRules.h"

#include "db/Dataset.h"

namespace clinical {
namespace {

double amount(const db::Dataset& row, QStringView field)
{
    return row.value(field).toDouble(); // empty counts as 0
}

} // namespace

void costsFromDiscount(db::Dataset& row)
{
    const double keep = 1 - amount(row, u"Discount") / 100;
    row.setValue(u"Cost", keep * amount(row, u"Price"));
    row.setValue(u"CostEURO", keep * amount(row, u"PriceEURO"));
}

void discountLeft(db::Dataset& row)
{
    if (amount(row, u"Price") == 0 && amount(row, u"PriceEURO") == 0)
        row.setValue(u"Discount", 0);
    else
        costsFromDiscount(row);
}

void costLeft(db::Dataset& row, bool euroMode)
{
    const double price = amount(row, euroMode ? u"PriceEURO" : u"Price");
    const double cost = amount(row, euroMode ? u"CostEURO" : u"Cost");
    row.setValue(u"Discount", price == 0 ? 0.0 : (1 - cost / price) * 100);
}

} // namespace clinical
