#include "clinical/ChartPictures.h"

#include "clinical/ArtworkFiles.h"
#include "clinical/SymbolContainer.h"

#include <QDir>
#include <QPainter>

#include <cstring>

namespace clinical {

namespace {

// A picture beside the program; a missing or damaged one is noted in `damaged` and stands in
// as a white picture of its size, so that the chart still draws what it can.
QImage loadPicture(const QDir& dir, const QString& name, QSize size, QStringList& damaged,
    QImage::Format format = QImage::Format_RGB32)
{
    QImage image(dir.filePath(name));
    if (image.isNull()) {
        damaged.append(dir.filePath(name));
        image = QImage(size, format);
        image.fill(format == QImage::Format_RGB32 ? Qt::white : Qt::transparent);
        return image;
    }
    return image.convertToFormat(format);
}

// Baby pictures sit two pixels left of the tooth rectangle.
int babyShift(ChartKind kind) { return kind == ChartKind::Baby ? -2 : 0; }

} // namespace

ChartPictures ChartPictures::load(const QString& directory)
{
    QStringList damaged;
    ChartPictures pictures = loadWhatIsThere(directory, damaged);
    if (!damaged.isEmpty())
        throw ArtworkError(QStringLiteral("The picture %1 is missing or damaged.").arg(damaged.constFirst()));
    return pictures;
}

ChartPictures ChartPictures::loadWhatIsThere(const QString& directory, QStringList& damaged)
{
    const QDir dir(directory);
    ChartPictures p;
    const QSize chart(ChartWidth, ChartHeight);
    p.m_adult = loadPicture(dir, artwork::adultChart(), chart, damaged);
    p.m_baby = loadPicture(dir, artwork::babyChart(), chart, damaged);
    for (int slot = 0; slot < SlotCount; ++slot)
        p.m_adultTeeth.append(loadPicture(dir, artwork::adultTooth(slot), QSize(SlotWidth(slot), ToothHeight), damaged));
    for (int i = 0; i < 10; ++i)
        p.m_babyTeeth.append(loadPicture(dir, artwork::babyTooth(i), QSize(ToothWidth(i, ChartKind::Baby), ToothHeight), damaged));
    // The left side's teeth are the right side's mirrored, once and not at every redraw.
    for (const QImage& tooth : p.m_adultTeeth)
        p.m_adultTeethMirrored.append(tooth.mirrored(true, false));
    for (const QImage& tooth : p.m_babyTeeth)
        p.m_babyTeethMirrored.append(tooth.mirrored(true, false));
    const QSize fullMouth(artwork::FullMouthWidth, artwork::FullMouthHeight);
    p.m_fullMouthFull = loadPicture(dir, artwork::fullMouthFull(), fullMouth, damaged);
    p.m_fullMouthEmpty = loadPicture(dir, artwork::fullMouthEmpty(), fullMouth, damaged);
    for (int icon = 0; icon < 3; ++icon)
        p.m_markers.append(loadPicture(dir, artwork::marker(icon), QSize(artwork::MarkerWidth, artwork::MarkerHeight), damaged,
            QImage::Format_ARGB32_Premultiplied));
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
    const bool adult = kind == ChartKind::Adult;
    const QList<QImage>& teeth
        = right ? (adult ? m_adultTeeth : m_babyTeeth) : (adult ? m_adultTeethMirrored : m_babyTeethMirrored);
    if (own < 0 || own >= teeth.size())
        return {};
    return teeth.at(own);
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
    // The rows do not overlap (two images): said so, the compiler does the AND four pixels at a time.
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb* __restrict from
            = reinterpret_cast<const QRgb*>(source.constScanLine(y - at.y())) + (area.left() - at.x());
        QRgb* __restrict to = reinterpret_cast<QRgb*>(chart.scanLine(y)) + area.left();
        const int width = area.width();
        for (int x = 0; x < width; ++x)
            to[x] &= from[x] | 0xff000000u;
    }
}

namespace {

// A picture copied over the chart as it is. Row by row when both are 32-bit: a painter made
// for each of a chart's two hundred teeth costs more than the copy.
void CopyPicture(QImage& chart, const QImage& picture, QPoint at)
{
    const bool plain = chart.format() == QImage::Format_RGB32 && picture.format() == QImage::Format_RGB32;
    if (!plain) {
        QPainter(&chart).drawImage(at, picture);
        return;
    }
    const QRect area = QRect(at, picture.size()) & chart.rect();
    const qsizetype bytes = qsizetype(area.width()) * sizeof(QRgb);
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memcpy(reinterpret_cast<QRgb*>(chart.scanLine(y)) + area.left(),
            reinterpret_cast<const QRgb*>(picture.constScanLine(y - at.y())) + (area.left() - at.x()), bytes);
}

} // namespace

bool DrawSymbolOnTooth(QImage& chart, ChartKind kind, const ChartPictures& pictures,
                       const TSymbolContainer& library, qint32 id, int index, bool transparent)
{
    if (index == WholeMouthIndex) {
        QPainter(&chart).drawImage(FullMouthPosition, pictures.fullMouth(true));
        return true;
    }
    const auto symbol = library.PaintableSymbol(id, ToothNumberOf(index, kind), true);
    if (!symbol)
        return false;
    if (!transparent)
        CopyPicture(chart, pictures.bareTooth(index, kind), BareToothPosition(index, kind));
    PaintSymbol(chart, *symbol, SymbolPosition(index, kind));
    return true;
}

void DrawFullMouth(QImage& chart, const ChartPictures& pictures, bool full)
{
    QPainter(&chart).drawImage(FullMouthPosition, pictures.fullMouth(full));
}

} // namespace clinical
