#include "Artwork.h"

#include "ChartArt.h"

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
}

void WritePreviews(const QString& programDir, const QString& outDir)
{
    const QDir in(programDir), out(outDir);
    for (const QString& name : {files::adultChart(), files::babyChart()}) {
        const QImage chart(in.filePath(name));
        save(chart.scaled(chart.size() * 2), out, QStringLiteral("zoom_") + name);
    }
}

} // namespace artwork
