#include "clinical/ChartPainter.h"

#include "clinical/ChartPictures.h"
#include "clinical/SymbolContainer.h"

#include <QFont>
#include <QPainter>

namespace clinical {

namespace {

constexpr QRgb kMaroon = 0xff800000;

bool onKind(int tooth, ChartKind kind)
{
    return kind == ChartKind::Adult ? tooth < 50 : tooth > 50;
}

int markerTop(int index, ChartKind kind)
{
    return IsUpperIndex(index, kind) ? 2 : ChartHeight - 20;
}

} // namespace

ChartPainter::ChartPainter(const ChartPictures& pictures, const TSymbolContainer* library)
    : m_pictures(pictures)
    , m_library(library)
{
}

void ChartPainter::begin(ChartKind kind)
{
    m_kind = kind;
    m_fullMouthEmpty = true;
    m_image = m_pictures.cleanChart(kind);
    m_image.detach();
}

void ChartPainter::paintRow(const ChartRow& row, const SurfaceFill& fillSurfaces)
{
    if (!onKind(row.tooth, m_kind) || row.operId == -1)
        return;
    const int index = ToothIndexOf(row.tooth, m_kind);
    if (index == NoIndex)
        return;
    if (row.symbol)
        drawSymbol(index, row.symbol, row.transparent);
    if (row.masitikes > 0 && fillSurfaces)
        fillSurfaces(row.tooth, row.masitikes);
}

void ChartPainter::drawSymbol(int index, std::optional<qint32> symbol, bool transparent)
{
    if (index == WholeMouthIndex) {
        DrawFullMouth(m_image, m_pictures, true);
        m_fullMouthEmpty = false;
        return;
    }
    if (symbol && m_library)
        DrawSymbolOnTooth(m_image, m_kind, m_pictures, *m_library, *symbol, index, transparent);
}

QPoint ChartPainter::notePosition(int index, ChartKind kind)
{
    return {ToothOrigin(index, kind).x() + 10, markerTop(index, kind)};
}

QPoint ChartPainter::imagePosition(int index, ChartKind kind)
{
    return {ToothOrigin(index, kind).x() + 3, markerTop(index, kind)};
}

QPoint ChartPainter::colourPosition(int index, ChartKind kind)
{
    const int half = ChartHeight / 2;
    return {ToothOrigin(index, kind).x() + 6, IsUpperIndex(index, kind) ? half - 23 : half + 28};
}

void ChartPainter::paintMarks(const ChartMarks& marks)
{
    QPainter p(&m_image);
    const auto each = [this](const QSet<int>& teeth, const std::function<void(int index)>& draw) {
        for (int tooth : teeth) {
            if (!onKind(tooth, m_kind))
                continue;
            const int index = ToothIndexOf(tooth, m_kind);
            if (index != NoIndex && index != WholeMouthIndex)
                draw(index);
        }
    };
    each(marks.notes, [&](int i) { p.drawImage(notePosition(i, m_kind), m_pictures.marker(0)); });
    each(marks.images, [&](int i) { p.drawImage(imagePosition(i, m_kind), m_pictures.marker(1)); });
    each(marks.colours, [&](int i) { p.drawImage(colourPosition(i, m_kind), m_pictures.marker(2)); });
    QFont bold;
    bold.setPointSize(8);
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(QColor::fromRgb(kMaroon));
    each(marks.endo, [&](int i) {
        const int top = IsUpperIndex(i, m_kind) ? 2 : ChartHeight - 15;
        p.drawText(QRect(ToothOrigin(i, m_kind).x() + 10, top, 20, 14), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("E"));
    });
}

void ChartPainter::finish()
{
    DrawFullMouth(m_image, m_pictures, !m_fullMouthEmpty);
}

int HitTooth(QPoint point, ChartKind kind)
{
    for (int i = 0; i <= HighestIndex(kind); ++i) {
        if (ToothRect(i, kind).contains(point))
            return i;
    }
    return FullMouthHitRect.contains(point) ? WholeMouthIndex : NoIndex;
}

bool IsCentralIncisor(int toothNumber)
{
    switch (toothNumber) {
    case 11: case 21: case 31: case 41: case 51: case 61: case 71: case 81:
        return true;
    default:
        return false;
    }
}

} // namespace clinical
