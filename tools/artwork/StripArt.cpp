#include "StripArt.h"

#include "ToothModel.h"

#include "clinical/ArtworkFiles.h"

#include <QPainter>

#include <cmath>

namespace artwork {

using clinical::ChartKind;
using widgets::Region;
using widgets::RegionPackage;

namespace {

// Occlusal outline centred on (0, 0), buccal side towards -y.
QPainterPath occlusalOutline(ToothType type, double a, double b)
{
    QPainterPath p;
    switch (type) {
    case ToothType::Molar:
        p.addRoundedRect(QRectF(-a, -b, 2 * a, 2 * b), a * 0.45, b * 0.45);
        break;
    case ToothType::Premolar:
        p.addRoundedRect(QRectF(-a, -b, 2 * a, 2 * b), a * 0.8, b * 0.7);
        break;
    case ToothType::Canine:
        p.moveTo(0, -b);
        p.cubicTo(a * 0.6, -b, a, -b * 0.35, a, 0);
        p.cubicTo(a, b * 0.45, a * 0.45, b, 0, b);
        p.cubicTo(-a * 0.45, b, -a, b * 0.45, -a, 0);
        p.cubicTo(-a, -b * 0.35, -a * 0.6, -b, 0, -b);
        break;
    case ToothType::Incisor:
        p.moveTo(-a, -b * 0.35);
        p.cubicTo(-a * 0.7, -b * 1.15, a * 0.7, -b * 1.15, a, -b * 0.35);
        p.cubicTo(a, b * 0.35, a * 0.4, b, 0, b);
        p.cubicTo(-a * 0.4, b, -a, b * 0.35, -a, -b * 0.35);
        break;
    }
    return p;
}

// Distance from the centre to a convex outline along the ray at `angle`.
double reach(const QPolygonF& outline, double angle)
{
    const QPointF dir(std::cos(angle), std::sin(angle));
    double best = 0;
    for (qsizetype i = 0; i + 1 < outline.size(); ++i) {
        const QPointF a = outline[i], b = outline[i + 1];
        const QPointF e = b - a;
        const double den = dir.x() * e.y() - dir.y() * e.x();
        if (std::abs(den) < 1e-9)
            continue;
        const double t = (a.x() * e.y() - a.y() * e.x()) / den;     // along the ray
        const double u = (a.x() * dir.y() - a.y() * dir.x()) / den; // along the edge
        if (t > 0 && u >= -1e-9 && u <= 1 + 1e-9)
            best = std::max(best, t);
    }
    return best;
}

// The five surfaces of a convex outline: a centre, and the ring around it cut along the
// diagonals into top, right, bottom and left. Built by rays from the centre, since the
// outlines are convex; boolean path operations proved unreliable on these shapes.
struct Surfaces {
    QPolygonF occlusal, left, right, top, bottom;
    QList<QLineF> dividers;
};

Surfaces split(const QPainterPath& outer, ToothType type, double a, double b)
{
    const double ix = type == ToothType::Incisor ? 0.62 : 0.45;
    const double iy = type == ToothType::Incisor ? 0.22 : 0.45;
    QPainterPath rounded;
    rounded.addRoundedRect(QRectF(-a * ix, -b * iy, 2 * a * ix, 2 * b * iy), a * ix * 0.5, b * iy * 0.5);
    QPolygonF outerLine = outer.toFillPolygon();
    QPolygonF innerLine = rounded.toFillPolygon();
    if (outerLine.first() != outerLine.last())
        outerLine << outerLine.first();
    if (innerLine.first() != innerLine.last())
        innerLine << innerLine.first();
    auto point = [](double r, double angle) { return QPointF(r * std::cos(angle), r * std::sin(angle)); };
    auto innerReach = [&](double angle) { return std::min(reach(innerLine, angle), reach(outerLine, angle) - 0.5); };

    constexpr int steps = 24;
    const double corner = std::atan2(b, a); // angle of the bottom-right diagonal
    // wedges between diagonals, by angle: right, bottom, left, top (y grows downwards)
    const double bounds[5] = {-corner, corner, M_PI - corner, M_PI + corner, 2 * M_PI - corner};
    QPolygonF* wedges[4];
    Surfaces s;
    wedges[0] = &s.right;
    wedges[1] = &s.bottom;
    wedges[2] = &s.left;
    wedges[3] = &s.top;
    for (int w = 0; w < 4; ++w) {
        QPolygonF& poly = *wedges[w];
        for (int k = 0; k <= steps; ++k) {
            const double angle = bounds[w] + (bounds[w + 1] - bounds[w]) * k / steps;
            poly << point(reach(outerLine, angle), angle);
        }
        for (int k = steps; k >= 0; --k) {
            const double angle = bounds[w] + (bounds[w + 1] - bounds[w]) * k / steps;
            poly << point(innerReach(angle), angle);
        }
        s.dividers.append(QLineF(point(innerReach(bounds[w]), bounds[w]), point(reach(outerLine, bounds[w]), bounds[w])));
    }
    for (int k = 0; k < 4 * steps; ++k) {
        const double angle = 2 * M_PI * k / (4 * steps);
        s.occlusal << point(innerReach(angle), angle);
    }
    return s;
}

QList<QPolygonF> polygons(const QPolygonF& polygon, const QTransform& at) { return {at.map(polygon)}; }

struct StripPainters {
    QPainter& base;
    QPainter& overlay;
};

void drawTooth(StripPainters& p, const QPainterPath& outer, const Surfaces& s, const QTransform& at, ToothType type)
{
    const QPainterPath shape = at.map(outer);
    const QRectF r = shape.boundingRect();
    QRadialGradient shade(r.center() + QPointF(-r.width() * 0.15, -r.height() * 0.15), r.width() * 0.75);
    shade.setColorAt(0, QColor(255, 255, 252));
    shade.setColorAt(1, QColor(226, 228, 232));
    p.base.setPen(Qt::NoPen);
    p.base.setBrush(shade);
    p.base.drawPath(shape);

    p.overlay.setBrush(Qt::NoBrush);
    p.overlay.setPen(QPen(QColor(160, 160, 168), 0.8));
    for (const QLineF& divider : s.dividers)
        p.overlay.drawLine(at.map(divider));
    QPolygonF centre = at.map(s.occlusal);
    centre << centre.first();
    p.overlay.drawPolyline(centre);
    // fissures of the chewing surface, faint
    const QRectF c = s.occlusal.boundingRect();
    p.overlay.setPen(QPen(QColor(176, 150, 130, 170), 0.8));
    if (type == ToothType::Molar) {
        p.overlay.drawPolyline(at.map(QPolygonF{QPointF(c.left() + 1, c.center().y()), c.center(),
                                                QPointF(c.right() - 1, c.center().y())}));
        p.overlay.drawLine(at.map(QLineF(c.center(), QPointF(c.center().x() + c.width() * 0.15, c.top() + 1))));
        p.overlay.drawLine(at.map(QLineF(c.center(), QPointF(c.center().x() - c.width() * 0.15, c.bottom() - 1))));
    } else if (type == ToothType::Premolar) {
        p.overlay.drawLine(at.map(QLineF(c.left() + 1.5, c.center().y(), c.right() - 1.5, c.center().y())));
    }
    p.overlay.setPen(QPen(QColor(88, 84, 80), 1.2));
    p.overlay.drawPath(shape);
}

} // namespace

RegionPackage BuildStrip(ChartKind kind, bool upper)
{
    const bool baby = kind == ChartKind::Baby;
    const QSize size(clinical::ChartWidth, clinical::artwork::StripHeight);
    RegionPackage pkg;
    pkg.picture = QImage(size, QImage::Format_RGB32);
    pkg.picture.fill(Qt::white);
    pkg.overlay = QImage(size, QImage::Format_ARGB32_Premultiplied);
    pkg.overlay.fill(Qt::transparent);
    QPainter base(&pkg.picture), overlay(&pkg.overlay);
    base.setRenderHint(QPainter::Antialiasing);
    overlay.setRenderHint(QPainter::Antialiasing);
    StripPainters painters{base, overlay};

    for (int i = 0; i <= clinical::HighestIndex(kind); ++i) {
        if (clinical::IsUpperIndex(i, kind) != upper)
            continue;
        const bool right = clinical::IsRightIndex(i, kind);
        const int own = right ? i : clinical::MirrorIndex(i, kind);
        const ToothSpec proportions = BuildTooth(clinical::SymbolSlotOf(own, kind).slot, baby).proportions;
        const QRect rect = clinical::ToothRect(i, kind);
        const double depthFactor = proportions.type == ToothType::Premolar ? 1.12
            : proportions.type == ToothType::Incisor                      ? 0.75
                                                                   : 0.95;
        const double a = std::min(proportions.crownWidth, rect.width() - 3.0) / 2;
        const double b = std::min(a * 2 * depthFactor, 32.0) / 2;
        const QPainterPath outer = occlusalOutline(proportions.type, a, b);
        const Surfaces s = split(outer, proportions.type, a, b);

        // Upper strip: buccal on top. Lower strip: buccal at the bottom.
        QTransform at;
        at.translate(rect.x() + (baby ? -2 : 0) + rect.width() / 2.0, size.height() / 2.0);
        if (!upper)
            at.scale(1, -1);
        drawTooth(painters, outer, s, at, proportions.type);

        // Mesial faces the midline: right for the patient's right side, left otherwise.
        const QPolygonF& mesial = right ? s.right : s.left;
        const QPolygonF& distal = right ? s.left : s.right;
        const int tooth = clinical::ToothNumberOf(i, kind);
        const QPolygonF* byLetter[clinical::SurfaceCount] = {&s.occlusal, &mesial, &distal, &s.top, &s.bottom};
        for (int k = 0; k < clinical::SurfaceCount; ++k)
            pkg.regions.append(Region{clinical::SurfaceRegionName(tooth, k), polygons(*byLetter[k], at)});
    }
    return pkg;
}

RegionPackage BuildSurfaceEditor()
{
    const QSize size(150, 150);
    RegionPackage pkg;
    pkg.picture = QImage(size, QImage::Format_RGB32);
    pkg.picture.fill(Qt::white);
    pkg.overlay = QImage(size, QImage::Format_ARGB32_Premultiplied);
    pkg.overlay.fill(Qt::transparent);
    QPainter base(&pkg.picture), overlay(&pkg.overlay);
    base.setRenderHint(QPainter::Antialiasing);
    overlay.setRenderHint(QPainter::Antialiasing);
    overlay.setRenderHint(QPainter::TextAntialiasing);
    StripPainters painters{base, overlay};

    const double a = 62, b = 60;
    const QPainterPath outer = occlusalOutline(ToothType::Molar, a, b);
    const Surfaces s = split(outer, ToothType::Molar, a, b);
    QTransform at;
    at.translate(size.width() / 2.0, size.height() / 2.0);
    drawTooth(painters, outer, s, at, ToothType::Molar);

    // a occlusal, b mesial (right), c distal (left), d buccal (top), e lingual (bottom)
    const QPolygonF* byLetter[clinical::SurfaceCount] = {&s.occlusal, &s.right, &s.left, &s.top, &s.bottom};
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    font.setBold(true);
    overlay.setFont(font);
    overlay.setPen(QColor(70, 76, 90));
    for (int k = 0; k < clinical::SurfaceCount; ++k) {
        const QString name(QChar(u'a' + k));
        pkg.regions.append(Region{name, polygons(*byLetter[k], at)});
        const QPointF centre = at.map(byLetter[k]->boundingRect().center());
        overlay.drawText(QRectF(centre - QPointF(10, 10), QSizeF(20, 20)), Qt::AlignCenter, name);
    }
    return pkg;
}

} // namespace artwork
