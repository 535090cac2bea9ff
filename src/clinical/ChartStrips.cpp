#include "clinical/ChartStrips.h"

#include "clinical/ArtworkFiles.h"
#include "platform/ExceptionLog.h"
#include "widgets/RegionImage.h"

#include <QDir>

namespace clinical {

ChartStrips::ChartStrips(widgets::RegionImage* babyUpper, widgets::RegionImage* upper, widgets::RegionImage* lower,
    widgets::RegionImage* babyLower)
    : m_babyUpper(babyUpper)
    , m_upper(upper)
    , m_lower(lower)
    , m_babyLower(babyLower)
{
}

QStringList ChartStrips::load(const QString& directory)
{
    QStringList damaged;
    const QDir dir(directory);
    const std::pair<widgets::RegionImage*, QString> strips[] = {{m_upper, artwork::upperStrip()}, {m_lower, artwork::lowerStrip()},
        {m_babyUpper, artwork::upperBabyStrip()}, {m_babyLower, artwork::lowerBabyStrip()}};
    for (const auto& [strip, name] : strips) {
        try {
            strip->loadPackage(dir.filePath(name));
        } catch (const widgets::RegionPackageError& e) {
            // the chart works without its surfaces; the window says which package is damaged
            platform::exceptionLog::logException(e);
            damaged.append(dir.filePath(name));
        }
        strip->setFixedHeight(artwork::StripHeight);
    }
    return damaged;
}

void ChartStrips::show(ChartKind kind)
{
    const bool adult = kind == ChartKind::Adult;
    m_upper->setVisible(adult);
    m_lower->setVisible(adult);
    m_babyUpper->setVisible(!adult);
    m_babyLower->setVisible(!adult);
}

void ChartStrips::clearFills()
{
    for (widgets::RegionImage* strip : {m_upper, m_lower, m_babyUpper, m_babyLower})
        strip->clearFills();
}

void ChartStrips::fillSurfaces(int toothNumber, int mask, const QColor& colour)
{
    for (int k = 0; k < SurfaceCount; ++k) {
        if (!(mask & (1 << k)))
            continue;
        const QString region = SurfaceRegionName(toothNumber, k);
        for (widgets::RegionImage* strip : {m_upper, m_lower, m_babyUpper, m_babyLower}) {
            if (strip->fillRegion(region, colour))
                break;
        }
    }
}

} // namespace clinical
