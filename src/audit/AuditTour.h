#pragma once

#include "widgets/Forward.h"
#include "widgets/TourPages.h"

namespace audit {

// Registers the audit trail as pages of the screenshot tour.
void addAuditTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace audit
