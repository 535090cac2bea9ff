#include "Artwork.h"

#include "ChartArt.h"
#include "IconArt.h"
#include "StripArt.h"
#include "SymbolArt.h"

#include "clinical/ArtworkFiles.h"
#include "clinical/ToothGeometry.h"

#include <QDir>
#include <QImage>

#include <stdexcept>

namespace artwork {

namespace files = clinical::artwork;
using clinical::ChartKind;

namespace {

void save(const QImage& image, const QDir& dir, const QString& name)
{
    if (!image.save(dir.filePath(name)))
        throw std::runtime_error(qPrintable(QStringLiteral("cannot write %1").arg(dir.filePath(name))));
}

void writeChart(const QDir& dir)
{
    const QImage adult = RenderChart(ChartKind::Adult);
    const QImage baby = RenderChart(ChartKind::Baby);
    save(adult, dir, files::adultChart());
    save(baby, dir, files::babyChart());
    for (int i = 0; i < clinical::SlotCount; ++i)
        save(CutBareTooth(adult, i, ChartKind::Adult), dir, files::adultTooth(i));
    for (int i = 0; i < 10; ++i)
        save(CutBareTooth(baby, i, ChartKind::Baby), dir, files::babyTooth(i));
    save(RenderFullMouth(true), dir, files::fullMouthFull());
    save(RenderFullMouth(false), dir, files::fullMouthEmpty());
    for (int icon = 0; icon < 3; ++icon)
        save(RenderMarker(icon), dir, files::marker(icon));
}

} // namespace

void WriteAll(const QString& dirPath)
{
    const QDir dir(dirPath);
    writeChart(dir);
    WriteSymbolLibrary(dir.filePath(files::symbolData()), dir.filePath(files::symbolIndex()));
    widgets::WriteRegionPackage(dir.filePath(files::upperStrip()), BuildStrip(ChartKind::Adult, true));
    widgets::WriteRegionPackage(dir.filePath(files::lowerStrip()), BuildStrip(ChartKind::Adult, false));
    widgets::WriteRegionPackage(dir.filePath(files::upperBabyStrip()), BuildStrip(ChartKind::Baby, true));
    widgets::WriteRegionPackage(dir.filePath(files::lowerBabyStrip()), BuildStrip(ChartKind::Baby, false));
    widgets::WriteRegionPackage(dir.filePath(files::surfaceEditor()), BuildSurfaceEditor());
    for (int group = 1; group <= 12; ++group)
        save(RenderGroupTool(group), dir, files::groupTool(group));
    save(RenderLogo(false), dir, files::dentalLogo());
    save(RenderLogo(true), dir, files::medicalLogo());
    save(RenderSplashBanner(), dir, files::splashBanner());
    save(RenderPerioChart(), dir, files::perioAll());
    save(RenderPerioMissing(true), dir, files::perioOneUp());
    save(RenderPerioMissing(false), dir, files::perioOneDown());
    save(RenderPerioNotes(), dir, files::perioNotes());
}

} // namespace artwork
