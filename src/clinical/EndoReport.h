#pragma once

#include "reports/Report.h"
#include "widgets/Forward.h"

namespace clinical {

// "Endodontic Treatment Measurements": the records the endodontic view lists now (the current
// tooth's or the session's), each with its date, tooth, the canals that have a measurement or
// notes, and its notes. `singleCanal`: the one canal of a single-rooted tooth, as "Canal".
reports::Report BuildEndoReport(data::TDmForm& dm, bool singleCanal = false);

} // namespace clinical
