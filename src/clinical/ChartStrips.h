#pragma once

#include "widgets/Forward.h"
#include <QStringList>

#include "clinical/ToothGeometry.h"

#include <QColor>

namespace clinical {

// The four occlusal strips of the chart (37 pixels high each): the upper and lower strips of
// the adult chart and of the baby chart, of which the two of the current kind are shown.
class ChartStrips {
public:
    ChartStrips(widgets::RegionImage* babyUpper, widgets::RegionImage* upper, widgets::RegionImage* lower,
        widgets::RegionImage* babyLower);

    // Loads the packages beside the program; a missing or damaged one leaves its strip empty.
    // Returns the packages that are missing or damaged; their strips stay empty.
    QStringList load(const QString& directory);
    void show(ChartKind kind);
    void clearFills();
    // Fills the surfaces of `mask` (bit k: surface 'a' + k) of a tooth; each region is looked
    // for in the adult strips first, then the baby strips.
    void fillSurfaces(int toothNumber, int mask, const QColor& colour = QColor(255, 0, 0));

    widgets::RegionImage* upper() const { return m_upper; }
    widgets::RegionImage* lower() const { return m_lower; }
    widgets::RegionImage* babyUpper() const { return m_babyUpper; }
    widgets::RegionImage* babyLower() const { return m_babyLower; }

private:
    widgets::RegionImage* m_babyUpper;
    widgets::RegionImage* m_upper;
    widgets::RegionImage* m_lower;
    widgets::RegionImage* m_babyLower;
};

} // namespace clinical
