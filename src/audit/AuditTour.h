#pragma once

#include "widgets/TourPages.h"

namespace data {
class TDmForm;
}

namespace audit {

// Registers the audit trail as pages of the screenshot tour.
void addAuditTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace audit
