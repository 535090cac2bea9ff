#pragma once

#include "clinical/ToothGeometry.h"
#include "widgets/RegionPackage.h"

namespace artwork {

// The occlusal strip above (upper) or below (lower) a chart: five surface regions per tooth.
widgets::RegionPackage BuildStrip(clinical::ChartKind kind, bool upper);
// The chewing-surface editor's generic tooth with the regions "a" ... "e".
widgets::RegionPackage BuildSurfaceEditor();

} // namespace artwork
