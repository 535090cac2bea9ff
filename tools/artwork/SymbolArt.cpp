#include "SymbolArt.h"

#include "ToothModel.h"

#include "clinical/SymbolContainer.h"
#include "clinical/SymbolFile.h"
#include "clinical/ToothGeometry.h"

#include <QPainter>
#include <QSaveFile>
#include <QtEndian>

#include <stdexcept>

namespace artwork {

using clinical::SymbolId;

namespace {

enum Colour { Black, Maroon, Green, Olive, Navy, Purple, Teal, Grey, Silver, Red, Lime, Yellow, Blue, Fuchsia, Aqua };

QColor c(Colour k) { return QColor::fromRgb(clinical::symbols::Palette().at(k)); }

// Draws one symbol on a slot canvas; coordinates are those of the tooth's rectangle.
class SymbolPainter {
public:
    SymbolPainter(QPainter& p, const ToothShape& t)
        : p(p)
        , t(t)
        , w(t.halfCrown())
        , n(t.halfNeck())
        , h(t.crownHeight())
        , L(t.proportions.rootLength)
    {
    }

    void draw(SymbolId id);

private:
    QPainterPath box(double x0, double y0, double x1, double y1) const
    {
        QPainterPath b;
        b.addRect(QRectF(QPointF(x0, y0), QPointF(x1, y1)).normalized());
        return t.map(b);
    }
    QPainterPath ellipse(double cx, double cy, double rx, double ry) const
    {
        QPainterPath e;
        e.addEllipse(QPointF(cx, cy), rx, ry);
        return t.map(e);
    }

    void fill(const QPainterPath& path, Colour inside, Colour edge, double width = 1)
    {
        p.setPen(QPen(c(edge), width));
        p.setBrush(c(inside));
        p.drawPath(path);
    }
    void line(const QPolygonF& points, Colour colour, double width, Qt::PenStyle style = Qt::SolidLine)
    {
        p.setPen(QPen(c(colour), width, style, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(points);
    }
    QPolygonF framePoints(std::initializer_list<QPointF> points) const
    {
        QPolygonF out;
        for (const QPointF& q : points)
            out << t.at(q.x(), q.y());
        return out;
    }

    // Fills the part of `area` that lies on the crown (clipped, not cut with path operations,
    // which fail on some outlines).
    void fillInCrown(const QPainterPath& area, Colour inside, Colour edge, double width = 1,
                     Qt::PenStyle style = Qt::SolidLine)
    {
        p.save();
        p.setClipPath(t.crown);
        p.setPen(QPen(c(edge), width, style));
        p.setBrush(c(inside));
        p.drawPath(area);
        p.restore();
    }
    void caries(double cx, double cy, double rx, double ry) { fillInCrown(ellipse(cx, cy, rx, ry), Red, Maroon); }
    QPainterPath occlusalBox(double half, double depth) const { return box(-w * half, -3, w * half, h * depth); }
    QPainterPath proximalBox(double side, double depth) const
    {
        return side > 0 ? box(w * 0.22, -3, w + 4, h * depth) : box(-w - 4, -3, -w * 0.22, h * depth);
    }
    void crownCap(Colour inside, Colour edge)
    {
        fill(t.crown, inside, edge, 2);
        line(framePoints({{-n - 1, h}, {-n * 0.5, h + 2.5}, {n * 0.5, h + 2.5}, {n + 1, h}}), edge, 1);
    }
    // Bars to the neighbours, drawn over the crown's sides so they show on wide molars too.
    void connectors()
    {
        const double y = t.at(0, h * 0.45).y();
        const QRectF crown = t.crown.boundingRect();
        p.fillRect(QRectF(0, y - 2, crown.left() + 5, 4), c(Blue));
        p.fillRect(QRectF(crown.right() - 5, y - 2, t.width - crown.right() + 5, 4), c(Blue));
    }
    void hatchRoots(Colour colour)
    {
        p.save();
        // clip to the tooth beyond the cervical line (no path boolean operations: they
        // fail on some of these outlines)
        p.setClipPath(t.outline);
        p.setClipRect(box(-t.width, h + 3, t.width, h + L + 10).boundingRect(), Qt::IntersectClip);
        p.setPen(QPen(c(colour), 1));
        for (double x = -130; x < t.width + 10; x += 5)
            p.drawLine(QPointF(x, 0), QPointF(x + 140, 140));
        p.restore();
    }
    void cross(Colour colour)
    {
        const QRectF r = t.outline.boundingRect().adjusted(1, 1, -1, -1);
        p.setPen(QPen(c(colour), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(r.topLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomLeft());
    }
    void arrow(double y)
    {
        const double left = -t.width / 2 + 2, right = t.width / 2 - 2;
        line(framePoints({{left + 3, y}, {right - 3, y}}), Blue, 2);
        for (double side : {left, right}) {
            const double dir = side < 0 ? 1 : -1;
            QPainterPath head;
            head.moveTo(t.at(side, y));
            head.lineTo(t.at(side + dir * 6, y - 4));
            head.lineTo(t.at(side + dir * 6, y + 4));
            head.closeSubpath();
            fill(head, Blue, Blue);
        }
    }
    void implant();
    // Pink denture base over the gum, hatched so the tooth still shows through.
    void flange(double from, double to)
    {
        const double half = t.width / 2 + 1;
        QPainterPath base;
        base.moveTo(-half, from - 3);
        base.quadTo(0, from + 5, half, from - 3);
        base.lineTo(half, to);
        base.quadTo(0, to + 3, -half, to);
        base.closeSubpath();
        p.setPen(QPen(c(Purple), 1));
        p.setBrush(QBrush(c(Fuchsia), Qt::BDiagPattern));
        p.drawPath(t.map(base));
    }

    QPainter& p;
    const ToothShape& t;
    double w, n, h, L;
};

void SymbolPainter::implant()
{
    hatchRoots(Silver);
    const double top = h + 1, bottom = h + L * 0.82, half = n * 0.55;
    QPainterPath body;
    body.moveTo(-half, top);
    body.lineTo(half, top);
    body.lineTo(half * 0.8, bottom - 4);
    body.quadTo(0, bottom + 2, -half * 0.8, bottom - 4);
    body.closeSubpath();
    fill(t.map(body), Grey, Black);
    for (double y = top + 4; y < bottom - 3; y += 4)
        line(framePoints({{-half * 0.9, y}, {half * 0.9, y + 2}}), Black, 1);
    fill(box(-half * 0.6, h - 4, half * 0.6, top), Silver, Black);
    crownCap(Silver, Blue);
}

void SymbolPainter::draw(SymbolId id)
{
    switch (id) {
    case SymbolId::CariesOcclusal: caries(0, h * 0.12, w * 0.4, h * 0.17); break;
    case SymbolId::CariesMesial: caries(w * 0.78, h * 0.42, w * 0.34, h * 0.2); break;
    case SymbolId::CariesDistal: caries(-w * 0.78, h * 0.42, w * 0.34, h * 0.2); break;
    case SymbolId::CariesCervical: caries(0, h * 0.9, w * 0.55, h * 0.12); break;
    case SymbolId::CompositeOcclusal: fillInCrown(occlusalBox(0.5, 0.34), Aqua, Teal); break;
    case SymbolId::CompositeMesial: fillInCrown(proximalBox(1, 0.72), Aqua, Teal); break;
    case SymbolId::CompositeDistal: fillInCrown(proximalBox(-1, 0.72), Aqua, Teal); break;
    case SymbolId::CompositeCervical: fillInCrown(box(-w * 0.7, h * 0.74, w * 0.7, h + 4), Aqua, Teal); break;
    case SymbolId::AmalgamOcclusal: fillInCrown(occlusalBox(0.45, 0.38), Grey, Black); break;
    case SymbolId::AmalgamMesioOcclusal: fillInCrown(occlusalBox(0.45, 0.38).united(proximalBox(1, 0.62)), Grey, Black); break;
    case SymbolId::AmalgamDistoOcclusal: fillInCrown(occlusalBox(0.45, 0.38).united(proximalBox(-1, 0.62)), Grey, Black); break;
    case SymbolId::AmalgamMOD:
        fillInCrown(occlusalBox(0.45, 0.38).united(proximalBox(1, 0.62)).united(proximalBox(-1, 0.62)), Grey, Black);
        break;
    case SymbolId::Crown: crownCap(Silver, Blue); break;
    case SymbolId::BridgePontic:
        hatchRoots(Grey);
        crownCap(Silver, Blue);
        connectors();
        break;
    case SymbolId::BridgeAbutment:
        crownCap(Silver, Blue);
        connectors();
        break;
    case SymbolId::RootCanalFilling:
        fill(t.pulp, Red, Red);
        for (const QPolygonF& canal : t.canals)
            line(canal, Red, 3);
        break;
    case SymbolId::PostAndCore: {
        QPolygonF post = t.canals.first();
        post.resize(post.size() * 3 / 5);
        line(post, Grey, 4);
        line(post, Black, 1);
        fill(ellipse(0, h * 0.55, n * 0.45, h * 0.22), Grey, Black);
        fill(t.pulp, Grey, Black);
        break;
    }
    case SymbolId::Extraction: cross(Red); break;
    case SymbolId::MissingTooth: cross(Blue); break;
    case SymbolId::Implant: implant(); break;
    case SymbolId::Veneer: fillInCrown(box(-w - 3, -3, w + 3, h * 0.93), Lime, Green, 2); break;
    case SymbolId::Sealant: fillInCrown(box(-w * 0.7, -3, w * 0.7, h * 0.13), Green, Green); break;
    case SymbolId::ImpactedTooth: {
        p.setPen(QPen(c(Purple), 2, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(t.outline.boundingRect().adjusted(-1, -1, 1, 1), 6, 6);
        break;
    }
    case SymbolId::Fracture:
        line(framePoints({{w * 0.85, h * 0.05}, {-w * 0.15, h * 0.42}, {w * 0.35, h * 0.55}, {-w * 0.5, h * 1.02},
                          {-n * 0.1, h + L * 0.25}}),
             Black, 2);
        break;
    case SymbolId::PeriapicalLesion:
        for (const QPolygonF& canal : t.canals) {
            const QPointF apex = canal.last();
            QPainterPath lesion;
            lesion.addEllipse(apex + (t.upper ? QPointF(0, 5) : QPointF(0, -5)), 6, 6);
            fill(lesion, Red, Maroon);
        }
        break;
    case SymbolId::OrthodonticBracket: {
        const double y = t.at(0, h * 0.5).y();
        p.fillRect(QRectF(0, y - 0.5, t.width, 1.5), c(Black));
        fill(box(-w * 0.45, h * 0.36, w * 0.45, h * 0.64), Navy, Black);
        fill(box(-w * 0.15, h * 0.3, w * 0.15, h * 0.7), Blue, Navy);
        break;
    }
    case SymbolId::PartialDenture:
        flange(h + 1, h + 11);
        line(framePoints({{-w - 1, h * 0.7}, {-w * 0.7, h * 0.5}, {w * 0.7, h * 0.5}, {w + 1, h * 0.7}}), Navy, 2);
        fillInCrown(box(-w * 0.3, -3, w * 0.3, h * 0.12), Navy, Navy);
        break;
    case SymbolId::FullDenture:
        flange(h - 4, h + 18);
        p.setPen(QPen(c(Purple), 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(t.crown);
        break;
    case SymbolId::TemporaryFilling: {
        fillInCrown(occlusalBox(0.5, 0.36), Yellow, Black, 1, Qt::DotLine);
        break;
    }
    case SymbolId::InlayOnlay: {
        QPainterPath inlay = box(-w * 0.6, -3, w * 0.6, h * 0.22)
                                 .united(box(-w * 0.28, h * 0.2, w * 0.28, h * 0.45));
        fillInCrown(inlay, Olive, Black);
        break;
    }
    case SymbolId::Mobility:
        arrow(h * 0.3);
        arrow(h * 0.62);
        break;
    case SymbolId::Abrasion: {
        QPainterPath wedge;
        wedge.moveTo(-n * 0.95, h - 1);
        wedge.quadTo(0, h - 9, n * 0.95, h - 1);
        wedge.quadTo(0, h + 3, -n * 0.95, h - 1);
        fill(t.map(wedge), Maroon, Maroon);
        break;
    }
    }
}

void putInt(QByteArray& out, qint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    out.append(raw, 4);
}

} // namespace

QImage RenderSymbol(SymbolId id, int slot)
{
    const ToothShape tooth = BuildTooth(slot, false);
    QImage canvas(clinical::SlotWidth(slot), clinical::symbols::SlotRows, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    // Symbols are painted 17 rows below the top of the tooth's rectangle.
    p.translate(0, -17);
    SymbolPainter(p, tooth).draw(id);
    return canvas;
}

void WriteSymbolLibrary(const QString& datPath, const QString& idxPath)
{
    QByteArray out;
    putInt(out, static_cast<qint32>(clinical::SymbolCatalog.size()));
    for (const clinical::SymbolInfo& symbol : clinical::SymbolCatalog) {
        putInt(out, clinical::ToInt(symbol.id));
        for (int slot = 0; slot < clinical::SlotCount; ++slot)
            out.append(clinical::symbols::EncodeSlot(RenderSymbol(symbol.id, slot), slot));
    }
    QSaveFile file(datPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit())
        throw std::runtime_error(qPrintable(QStringLiteral("cannot write %1").arg(datPath)));
    clinical::TSymbolContainer::RebuildIndex(datPath, idxPath);
}

} // namespace artwork
