#pragma once

#include "widgets/Forward.h"

// What leaving the discount and cost editors does to a treatment row (the operation picker's
// work row and the history rows alike): Price/PriceEURO, Discount and Cost/CostEURO, with
// empty amounts counting as 0.
namespace clinical {

// Cost := (1 - Discount / 100) x Price in both currencies.
void costsFromDiscount(db::Dataset& row);
// After the discount: the costs follow it, or the discount goes back to 0 when there is no price.
void discountLeft(db::Dataset& row);
// After the cost, in the currency shown: Discount := (1 - cost / price) x 100, 0 without a
// price. The other currency's cost is left as it is.
void costLeft(db::Dataset& row, bool euroMode);

} // namespace clinical
