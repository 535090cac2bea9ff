#include "clinical/ChartPictures.h"

#include "clinical/ArtworkFiles.h"
#include "clinical/SymbolContainer.h"

#include <QDir>
#include <QPainter>

namespace clinical {

namespace {

QImage loadPicture(const QDir& dir, const QString& name)
{
    QImage image(dir.filePath(name));
    if (image.isNull())
        throw ArtworkError(QStringLiteral("The picture %1 is missing or damaged.").arg(dir.filePath(name)));
    return image.convertToFormat(QImage::Format_RGB32);
}

// Baby pictures sit two pixels left of the tooth rectangle.
int babyShift(ChartKind kind) { return kind == ChartKind::Baby ? -2 : 0; }

} // namespace

ChartPictures ChartPictures::load(const QString& directory)
{
    const QDir dir(directory);
    ChartPictures p;
    p.m_adult = loadPicture(dir, artwork::adultChart());
    p.m_baby = loadPicture(dir, artwork::babyChart());
    for (int slot = 0; slot < SlotCount; ++slot)
        p.m_adultTeeth.append(loadPicture(dir, artwork::adultTooth(slot)));
    for (int i = 0; i < 10; ++i)
        p.m_babyTeeth.append(loadPicture(dir, artwork::babyTooth(i)));
    p.m_fullMouthFull = loadPicture(dir, artwork::fullMouthFull());
    p.m_fullMouthEmpty = loadPicture(dir, artwork::fullMouthEmpty());
    for (int icon = 0; icon < 3; ++icon) {
        QImage marker(dir.filePath(artwork::marker(icon)));
        if (marker.isNull())
            throw ArtworkError(QStringLiteral("The picture %1 is missing or damaged.")
                                   .arg(dir.filePath(artwork::marker(icon))));
        p.m_markers.append(marker.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    return p;
}

void ChartPictures::setCleanChart(ChartKind kind, const QImage& picture)
{
    (kind == ChartKind::Adult ? m_adult : m_baby) = picture.convertToFormat(QImage::Format_RGB32);
}

QImage ChartPictures::toothPicture(int index, ChartKind kind) const
{
    return cleanChart(kind).copy(ToothRect(index, kind));
}

QImage ChartPictures::bareTooth(int index, ChartKind kind) const
{
    const bool right = IsRightIndex(index, kind);
    const int own = right ? index : MirrorIndex(index, kind);
    const QList<QImage>& teeth = kind == ChartKind::Adult ? m_adultTeeth : m_babyTeeth;
    if (own < 0 || own >= teeth.size())
        return {};
    return right ? teeth.at(own) : teeth.at(own).mirrored(true, false);
}

QPoint SymbolPosition(int index, ChartKind kind)
{
    return ToothOrigin(index, kind) + QPoint(babyShift(kind), 17);
}

QPoint BareToothPosition(int index, ChartKind kind)
{
    const int drop = IsUpperIndex(index, kind) ? 0 : (kind == ChartKind::Adult ? 18 : 20);
    return ToothOrigin(index, kind) + QPoint(babyShift(kind), drop);
}

void PaintSymbol(QImage& chart, const QImage& symbol, QPoint at)
{
    // A plain loop over the scan lines: a painter's raster operation costs more than the AND.
    if (chart.format() != QImage::Format_RGB32 && chart.format() != QImage::Format_ARGB32) {
        QPainter p(&chart);
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.drawImage(at, symbol.convertToFormat(QImage::Format_RGB32));
        return;
    }
    const QImage source = symbol.convertToFormat(QImage::Format_RGB32);
    const QRect area = QRect(at, source.size()) & chart.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y - at.y())) + (area.left() - at.x());
        auto* to = reinterpret_cast<QRgb*>(chart.scanLine(y)) + area.left();
        for (int x = 0; x < area.width(); ++x)
            to[x] &= from[x] | 0xff000000u;
    }
}

bool DrawSymbolOnTooth(QImage& chart, ChartKind kind, const ChartPictures& pictures,
                       const TSymbolContainer& library, qint32 id, int index, bool transparent)
{
    if (index == WholeMouthIndex) {
        QPainter(&chart).drawImage(FullMouthPosition, pictures.fullMouth(true));
        return true;
    }
    const auto symbol = library.LoadSymbol(id, ToothNumberOf(index, kind), true);
    if (!symbol)
        return false;
    if (!transparent)
        QPainter(&chart).drawImage(BareToothPosition(index, kind), pictures.bareTooth(index, kind));
    PaintSymbol(chart, *symbol, SymbolPosition(index, kind));
    return true;
}

void DrawFullMouth(QImage& chart, const ChartPictures& pictures, bool full)
{
    QPainter(&chart).drawImage(FullMouthPosition, pictures.fullMouth(full));
}

} // namespace clinical
