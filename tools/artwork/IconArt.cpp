#include "IconArt.h"

#include "ChartArt.h"
#include "SymbolArt.h"
#include "ToothModel.h"

#include "clinical/ArtworkFiles.h"
#include "clinical/SymbolCatalog.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <array>

namespace artwork {

namespace files = clinical::artwork;

namespace {

clinical::SymbolId firstOfGroup(int group)
{
    for (const clinical::SymbolInfo& info : clinical::SymbolCatalog)
        if (info.group == group)
            return info.id;
    return clinical::SymbolId::Crown;
}

// Symbols reaching into the roots show the whole tooth, the others its crown.
bool needsRoot(int group) { return group == 6 || group == 7 || group == 8 || group == 10; }

QFont font(int pixels, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

} // namespace

QImage RenderGroupTool(int group)
{
    constexpr int slot = 10; // lower first molar, crown up
    const ToothShape tooth = BuildTooth(slot, false);
    const QSize rectSize(int(tooth.width), 124);
    QImage alpha(rectSize, QImage::Format_ARGB32_Premultiplied);
    alpha.fill(Qt::transparent);
    {
        QPainter p(&alpha);
        PaintTooth(p, tooth);
    }
    QImage painted(rectSize, QImage::Format_RGB32);
    painted.fill(Qt::white);
    {
        QPainter p(&painted);
        p.drawImage(0, 0, alpha);
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.drawImage(0, 17, RenderSymbol(firstOfGroup(group), slot));
    }
    // opaque where the tooth or the symbol is
    QImage icon(rectSize, QImage::Format_ARGB32);
    for (int y = 0; y < rectSize.height(); ++y)
        for (int x = 0; x < rectSize.width(); ++x) {
            const QRgb c = painted.pixel(x, y);
            const bool shown = qAlpha(alpha.pixel(x, y)) > 0 || c != qRgb(255, 255, 255);
            icon.setPixel(x, y, shown ? (c | 0xFF000000) : 0);
        }
    const QRect crop(0, 14, rectSize.width(), needsRoot(group) ? 80 : 50);
    const QImage part = icon.copy(crop).scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage out(32, 32, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.drawImage((32 - part.width()) / 2, (32 - part.height()) / 2, part);
    p.setFont(font(9, true));
    p.setPen(QColor(40, 60, 110));
    p.drawText(QRect(0, 22, 31, 10), Qt::AlignRight | Qt::AlignBottom, QString::number(group));
    return out;
}

QImage RenderLogo(bool medical)
{
    QImage logo(files::LogoWidth, files::LogoHeight, QImage::Format_RGB32);
    logo.fill(Qt::white);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor deep = medical ? QColor(0, 110, 120) : QColor(28, 70, 150);
    const QColor light = medical ? QColor(90, 190, 190) : QColor(100, 160, 230);

    const QRectF badge(8, 10, 72, 72);
    QLinearGradient g(badge.topLeft(), badge.bottomRight());
    g.setColorAt(0, light);
    g.setColorAt(1, deep);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(badge, 16, 16);
    if (medical) {
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(36, 22, 16, 48), 3, 3);
        p.drawRoundedRect(QRectF(20, 38, 48, 16), 3, 3);
    } else {
        // a molar drawn in white, crown up
        QPainterPath t;
        t.moveTo(44, 30);
        t.cubicTo(52, 22, 66, 24, 66, 38);
        t.cubicTo(66, 48, 61, 54, 59, 64);
        t.cubicTo(57, 74, 52, 74, 51, 64);
        t.cubicTo(50, 56, 38, 56, 37, 64);
        t.cubicTo(36, 74, 31, 74, 29, 64);
        t.cubicTo(27, 54, 22, 48, 22, 38);
        t.cubicTo(22, 24, 36, 22, 44, 30);
        p.setBrush(Qt::white);
        p.drawPath(t);
    }
    p.setPen(deep);
    p.setFont(font(36, true));
    p.drawText(QRectF(92, 8, 170, 52), Qt::AlignLeft | Qt::AlignVCenter,
               medical ? QStringLiteral("Telvi") : QStringLiteral("Orvane"));
    p.setPen(QColor(110, 118, 130));
    p.setFont(font(13, false));
    p.drawText(QRectF(94, 58, 168, 22), Qt::AlignLeft | Qt::AlignVCenter,
               medical ? QStringLiteral("medical practice") : QStringLiteral("dental practice"));
    return logo;
}

QImage RenderSplashBanner()
{
    QImage banner(455, 64, QImage::Format_RGB32);
    QPainter p(&banner);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, banner.width(), 0);
    g.setColorAt(0, QColor(22, 58, 128));
    g.setColorAt(1, QColor(70, 140, 210));
    p.fillRect(banner.rect(), g);
    p.setPen(QPen(QColor(255, 255, 255, 40), 2));
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < 6; ++k)
        p.drawEllipse(QPointF(400, 120), 60 + 24 * k, 60 + 24 * k);
    return banner;
}

namespace {

constexpr double kPerioScale = 0.6;
// The four base lines (gingival margins at no recession): upper facial and lingual, lower
// lingual and facial. Pockets and roots point away from the crowns: up above the split, down below.
constexpr std::array<double, 4> kPerioBases{70, 174, 241, 346};

double apicalOf(double base)
{
    return base < 189 ? -1 : 1;
}

// Millimetre guides (2 pixels per millimetre) beyond a base line, towards the apex.
void paintGuides(QPainter& p, double base, double width)
{
    p.setPen(QPen(QColor(236, 238, 244), 1));
    for (int mm = 2; mm <= 12; mm += 2)
        p.drawLine(QPointF(0, base + apicalOf(base) * 2 * mm + 0.5), QPointF(width, base + apicalOf(base) * 2 * mm + 0.5));
}

// A tooth of the graph: its neck on the base line, centred on `centreX`, seen from the
// facial or the lingual side (the lingual view is the facial one mirrored).
void paintPerioTooth(QPainter& p, const ToothShape& tooth, double centreX, double base, bool flip, bool ghost)
{
    const double cej = tooth.at(0, tooth.crownHeight()).y();
    p.save();
    p.translate(centreX, base);
    p.scale(flip ? -kPerioScale : kPerioScale, kPerioScale);
    p.translate(-tooth.width / 2, -cej);
    if (ghost) {
        p.setPen(QPen(QColor(176, 182, 196), 1.4, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tooth.outline);
    } else {
        p.setOpacity(base == 174 || base == 241 ? 0.6 : 0.85);
        PaintTooth(p, tooth);
    }
    p.restore();
}

// The gingiva over the roots: pink at the margin, fading towards the apex.
void paintGingiva(QPainter& p, double base, double width)
{
    const double dir = apicalOf(base);
    QLinearGradient g(0, base, 0, base + dir * 34);
    g.setColorAt(0, QColor(226, 120, 136, 120));
    g.setColorAt(0.3, QColor(236, 156, 168, 80));
    g.setColorAt(1, QColor(246, 200, 208, 0));
    p.fillRect(QRectF(0, std::min(base, base + dir * 34), width, 34), g);
    p.setPen(QPen(QColor(214, 110, 126, 150), 1));
    p.drawLine(QPointF(0, base + dir * 1.5), QPointF(width, base + dir * 1.5));
}

} // namespace

QImage RenderPerioChart()
{
    QImage chart(files::PerioWidth, files::PerioHeight, QImage::Format_RGB32);
    chart.fill(Qt::white);
    QPainter p(&chart);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    for (const double base : kPerioBases)
        paintGuides(p, base, chart.width());
    for (int column = 0; column < 16; ++column) {
        const double x0 = 37.0 * column;
        const int slot = column < 8 ? column : 15 - column;
        const bool mirrored = column >= 8;
        for (const double base : kPerioBases) {
            const bool upper = base < 189;
            const bool lingual = base == 174 || base == 241;
            paintPerioTooth(p, BuildTooth(upper ? slot : slot + 8, false), x0 + 18.5, base, mirrored != lingual, false);
        }
    }
    for (const double base : kPerioBases)
        paintGingiva(p, base, chart.width());
    for (int column = 0; column < 16; ++column) {
        const double x0 = 37.0 * column;
        p.setPen(QPen(QColor(226, 228, 234), 1));
        if (column > 0)
            p.drawLine(QPointF(x0 + 0.5, 0), QPointF(x0 + 0.5, chart.height()));
        // Numbers in the corners, clear of the marks and the notes icon.
        const int upperTooth = column < 8 ? 18 - column : 13 + column;
        const int lowerTooth = column < 8 ? 48 - column : 23 + column;
        p.setFont(font(8, true));
        p.setPen(QColor(120, 128, 144));
        p.drawText(QRectF(x0, 0, 35, 10), Qt::AlignRight | Qt::AlignTop, QString::number(upperTooth));
        p.drawText(QRectF(x0, chart.height() - 10, 35, 10), Qt::AlignRight | Qt::AlignBottom, QString::number(lowerTooth));
    }
    p.setPen(QPen(QColor(150, 156, 170), 1));
    for (const double base : kPerioBases)
        p.drawLine(QPointF(0, base + 0.5), QPointF(chart.width(), base + 0.5));
    p.setPen(QPen(QColor(110, 116, 130), 1.5));
    p.drawLine(QPointF(0, 189), QPointF(chart.width(), 189));
    p.drawLine(QPointF(296, 0), QPointF(296, chart.height()));
    return chart;
}

QImage RenderPerioMissing(bool upper)
{
    // The gap where the tooth was: the gum closes over the ridge, the tooth a dashed outline.
    QImage image(files::PerioOneWidth, files::PerioOneHeight, QImage::Format_RGB32);
    image.fill(QColor(250, 250, 252));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double top = upper ? 20 : 209; // where the graph draws it
    p.translate(0, -top);
    const std::array<double, 2> bases = upper ? std::array<double, 2>{70, 174} : std::array<double, 2>{241, 346};
    for (const double base : bases)
        paintGuides(p, base, image.width());
    for (const double base : bases)
        paintPerioTooth(p, BuildTooth(upper ? 3 : 11, false), 16.5, base, false, true);
    for (const double base : bases) {
        paintGingiva(p, base, image.width());
        p.setPen(QPen(QColor(150, 156, 170), 1));
        p.drawLine(QPointF(0, base + 0.5), QPointF(image.width(), base + 0.5));
    }
    return image;
}

QImage RenderPerioNotes()
{
    // a small yellow sheet with lines and a folded corner, like the chart's notes marker
    QImage image(files::PerioNotesWidth, files::PerioNotesHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath sheet;
    sheet.moveTo(2.5, 0.5);
    sheet.lineTo(10.5, 0.5);
    sheet.lineTo(13.5, 3.5);
    sheet.lineTo(13.5, 13.5);
    sheet.lineTo(2.5, 13.5);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(150, 120, 20), 1));
    p.setBrush(QColor(255, 236, 130));
    p.drawPath(sheet);
    p.drawLine(QPointF(10.5, 0.5), QPointF(10.5, 3.5));
    p.drawLine(QPointF(10.5, 3.5), QPointF(13.5, 3.5));
    p.setPen(QPen(QColor(160, 130, 40), 1));
    for (int y = 6; y <= 11; y += 2)
        p.drawLine(QPointF(4.5, y + 0.5), QPointF(11.5, y + 0.5));
    return image;
}

} // namespace artwork
