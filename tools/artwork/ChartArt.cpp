#include "ChartArt.h"

#include "clinical/ArtworkFiles.h"
#include "clinical/ChartPictures.h"

#include <QLinearGradient>
#include <QList>

#include <algorithm>
#include <QPainter>
#include <QRadialGradient>

namespace artwork {

using clinical::ChartKind;

namespace {

const QColor outlineColour(88, 84, 80);

struct Neck {
    double left, right, centre, cervical, halfNeck;
};

// Pink gingiva laid over the root necks of one jaw, scalloped between the teeth, fading
// towards the apices. `apical` is -1 for the upper jaw (roots point up), +1 for the lower.
void paintGum(QPainter& p, QList<Neck> necks, double apical, double depth)
{
    std::sort(necks.begin(), necks.end(), [](const Neck& a, const Neck& b) { return a.left < b.left; });
    double deepest = necks.first().cervical;
    for (const Neck& n : std::as_const(necks))
        deepest = apical < 0 ? std::max(deepest, n.cervical) : std::min(deepest, n.cervical);
    const double far = deepest + apical * depth;
    // the gum ends a little beyond the last teeth (the baby chart leaves the sides empty)
    const double start = std::max(0.0, necks.first().left - 6);
    const double end = std::min(double(clinical::ChartWidth), necks.last().right + 6);
    QPainterPath gum;
    gum.moveTo(start + 4, far);
    gum.quadTo(start, far, start, necks.first().cervical - apical * 4);
    for (qsizetype k = 0; k < necks.size(); ++k) {
        const Neck& n = necks[k];
        const double margin = n.cervical + apical * 2;
        const double nextEdge = k + 1 < necks.size() ? (n.right + necks[k + 1].left) / 2.0 : end;
        const double papilla = (k + 1 < necks.size() ? (n.cervical + necks[k + 1].cervical) / 2 : n.cervical)
            - apical * 7;
        const double prevEdge = k == 0 ? start : n.left;
        gum.cubicTo(prevEdge + 2, margin - apical * 3, n.centre - n.halfNeck, margin, n.centre, margin);
        gum.cubicTo(n.centre + n.halfNeck, margin, nextEdge - 2, papilla + apical * 2, nextEdge, papilla);
    }
    gum.quadTo(end, far, end - 4, far);
    gum.closeSubpath();
    QLinearGradient g(0, deepest - apical * 4, 0, far);
    g.setColorAt(0, QColor(232, 140, 152, 150));
    g.setColorAt(0.35, QColor(240, 170, 180, 90));
    g.setColorAt(1, QColor(250, 215, 220, 0));
    p.fillPath(gum, g);
}

} // namespace

void PaintTooth(QPainter& p, const ToothShape& t)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double n = t.halfNeck();
    const QColor rootEdge = t.proportions.primary ? QColor(228, 220, 200) : QColor(222, 204, 168);
    const QColor rootMid = t.proportions.primary ? QColor(250, 247, 238) : QColor(248, 238, 212);

    QLinearGradient rootShade(t.at(-n * 1.3, 0), t.at(n * 1.3, 0));
    rootShade.setColorAt(0, rootEdge);
    rootShade.setColorAt(0.45, rootMid);
    rootShade.setColorAt(1, rootEdge.darker(104));

    const QPen outline(outlineColour, 1.1);
    if (!t.backRoot.isEmpty()) {
        p.setPen(QPen(outlineColour.lighter(140), 0.9));
        p.setBrush(rootEdge.darker(103));
        p.drawPath(t.backRoot);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(rootShade);
    p.drawPath(t.outline);

    // enamel: bright in the middle, cool at the sides, translucent at the occlusal edge
    const double w = t.halfCrown();
    QLinearGradient enamel(t.at(-w, 0), t.at(w, 0));
    const QColor side = t.proportions.primary ? QColor(226, 232, 240) : QColor(214, 220, 226);
    enamel.setColorAt(0, side);
    enamel.setColorAt(0.42, QColor(255, 255, 253));
    enamel.setColorAt(0.6, QColor(252, 252, 248));
    enamel.setColorAt(1, side.darker(103));
    p.setBrush(enamel);
    p.drawPath(t.crown);
    QLinearGradient edge(t.at(0, 0), t.at(0, t.crownHeight() * 0.35));
    edge.setColorAt(0, QColor(200, 214, 230, 110));
    edge.setColorAt(1, QColor(200, 214, 230, 0));
    p.setBrush(edge);
    p.drawPath(t.crown);

    // root canals, faint
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(226, 186, 170, 140), 0.9));
    for (const QPolygonF& canal : std::as_const(t.canals))
        p.drawPolyline(canal);

    // highlight on the mesial third of the crown
    QRadialGradient shine(t.at(w * 0.25, t.crownHeight() * 0.4), std::max(4.0, w * 0.6));
    shine.setColorAt(0, QColor(255, 255, 255, 170));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawPath(t.crown);

    // cervical line and outline
    QPainterPath cej;
    cej.moveTo(-n, t.crownHeight());
    cej.quadTo(0, t.crownHeight() + 5, n, t.crownHeight());
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(outlineColour.lighter(150), 0.8));
    p.drawPath(t.map(cej));
    p.setPen(outline);
    p.drawPath(t.outline);
    p.restore();
}

QImage RenderChart(ChartKind kind)
{
    const bool baby = kind == ChartKind::Baby;
    QImage chart(clinical::ChartWidth, clinical::ChartHeight, QImage::Format_RGB32);
    chart.fill(Qt::white);
    QPainter p(&chart);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // midline and occlusal plane, faint
    p.setPen(QPen(QColor(210, 214, 222), 1, Qt::DashLine));
    p.drawLine(QPointF(271, 2), QPointF(271, 290));
    p.setPen(QPen(QColor(228, 232, 238), 1));
    p.drawLine(QPointF(4, 146), QPointF(248, 146));
    p.drawLine(QPointF(294, 146), QPointF(538, 146));

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    QList<Neck> upperNecks, lowerNecks;
    for (int i = 0; i <= clinical::HighestIndex(kind); ++i) {
        const bool right = clinical::IsRightIndex(i, kind);
        const int own = right ? i : clinical::MirrorIndex(i, kind);
        const ToothShape tooth = BuildTooth(clinical::SymbolSlotOf(own, kind).slot, baby);
        const QRect rect = clinical::ToothRect(i, kind);
        const int shift = baby ? -2 : 0;
        p.save();
        if (right) {
            p.translate(rect.x() + shift, rect.y());
        } else {
            p.translate(rect.x() + shift + rect.width(), rect.y());
            p.scale(-1, 1);
        }
        PaintTooth(p, tooth);
        p.restore();
        const double neckY = rect.y() + tooth.at(0, tooth.crownHeight()).y();
        (tooth.upper ? upperNecks : lowerNecks)
            .append({double(rect.x() + shift), double(rect.right() + 1 + shift), rect.x() + shift + rect.width() / 2.0,
                     neckY, tooth.halfNeck()});

    }
    paintGum(p, upperNecks, -1, baby ? 30 : 40);
    paintGum(p, lowerNecks, 1, baby ? 30 : 40);
    for (int i = 0; i <= clinical::HighestIndex(kind); ++i) {
        const QRect rect = clinical::ToothRect(i, kind);
        const int shift = baby ? -2 : 0;
        const bool upper = clinical::IsUpperIndex(i, kind);
        const QRect label(rect.x() + shift, upper ? 125 : 160, rect.width(), 13);
        p.setPen(QColor(96, 104, 120));
        p.drawText(label, Qt::AlignCenter, QString::number(clinical::ToothNumberOf(i, kind)));
    }
    return chart;
}

QImage CutBareTooth(const QImage& chart, int index, ChartKind kind)
{
    const QPoint at = clinical::BareToothPosition(index, kind);
    QImage bare(clinical::ToothWidth(index, kind), clinical::ToothHeight, QImage::Format_RGB32);
    bare.fill(Qt::white); // lower teeth run past the chart's bottom edge
    QPainter(&bare).drawImage(QPoint(0, 0), chart, QRect(at, bare.size()));
    return bare;
}

QImage RenderFullMouth(bool full)
{
    QImage image(clinical::artwork::FullMouthWidth, clinical::artwork::FullMouthHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(1.5, 1.5, 31, 38);
    p.setPen(QPen(full ? QColor(30, 70, 160) : QColor(170, 176, 188), 1.2));
    p.setBrush(full ? QColor(214, 228, 250) : QColor(250, 251, 253));
    p.drawRoundedRect(frame, 5, 5);
    // two dental arches, upper and lower, as rings of small teeth
    const QColor tooth = full ? QColor(40, 80, 170) : QColor(150, 156, 168);
    for (int jaw = 0; jaw < 2; ++jaw) {
        const double cy = jaw == 0 ? 17.5 : 23.5;
        const double dir = jaw == 0 ? -1 : 1;
        for (int k = 0; k < 7; ++k) {
            const double a = (k - 3) * 0.42;
            const QPointF c(17 + 11 * std::sin(a), cy + dir * 11 * std::cos(a) * 0.95);
            p.setPen(QPen(tooth, 0.8));
            p.setBrush(full ? tooth.lighter(150) : Qt::white);
            p.drawEllipse(c, k == 3 ? 2.0 : 2.3, 2.0);
        }
    }
    return image;
}

QImage RenderMarker(int icon)
{
    QImage image(clinical::artwork::MarkerWidth, clinical::artwork::MarkerHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (icon) {
    case 0: { // notes: a yellow sheet with lines and a folded corner
        QPainterPath sheet;
        sheet.moveTo(3, 1.5);
        sheet.lineTo(12.5, 1.5);
        sheet.lineTo(16, 5);
        sheet.lineTo(16, 16.5);
        sheet.lineTo(3, 16.5);
        sheet.closeSubpath();
        p.setPen(QPen(QColor(150, 120, 20), 1));
        p.setBrush(QColor(255, 236, 130));
        p.drawPath(sheet);
        p.setPen(QPen(QColor(160, 130, 40), 1));
        for (int y = 7; y <= 14; y += 3)
            p.drawLine(QPointF(5.5, y), QPointF(13.5, y));
        break;
    }
    case 1: { // images: a small camera
        p.setPen(QPen(QColor(40, 50, 70), 1));
        p.setBrush(QColor(90, 110, 150));
        p.drawRoundedRect(QRectF(1.5, 5.5, 16, 10), 2, 2);
        p.drawRect(QRectF(5.5, 3, 5, 2.5));
        p.setBrush(QColor(200, 225, 255));
        p.drawEllipse(QPointF(9.5, 10.5), 3.4, 3.4);
        break;
    }
    default: { // colour: a shade drop
        QPainterPath drop;
        drop.moveTo(9.5, 1.5);
        drop.cubicTo(12, 6, 15.5, 8.5, 15.5, 11.5);
        drop.cubicTo(15.5, 15, 12.8, 16.8, 9.5, 16.8);
        drop.cubicTo(6.2, 16.8, 3.5, 15, 3.5, 11.5);
        drop.cubicTo(3.5, 8.5, 7, 6, 9.5, 1.5);
        QLinearGradient g(3, 0, 16, 0);
        g.setColorAt(0, QColor(255, 246, 214));
        g.setColorAt(1, QColor(214, 176, 104));
        p.setPen(QPen(QColor(120, 90, 40), 1));
        p.setBrush(g);
        p.drawPath(drop);
        break;
    }
    }
    return image;
}

} // namespace artwork
