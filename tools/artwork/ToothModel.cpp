#include "ToothModel.h"

#include "clinical/ToothGeometry.h"

#include <array>

namespace artwork {

namespace {

using T = ToothType;

// Upper 18-11, then lower 48-41 (pixels).
constexpr std::array<ToothSpec, 16> permanent{{
    {T::Molar, 28, 22, 25, 42, 2, true, false},
    {T::Molar, 31, 24, 27, 46, 2, true, false},
    {T::Molar, 33, 26, 28, 50, 2, true, false},
    {T::Premolar, 25, 18, 31, 50, 1, false, false},
    {T::Premolar, 26, 18, 31, 48, 2, false, false},
    {T::Canine, 28, 20, 37, 62, 1, false, false},
    {T::Incisor, 23, 17, 33, 48, 1, false, false},
    {T::Incisor, 31, 23, 38, 52, 1, false, false},
    {T::Molar, 33, 26, 25, 40, 2, false, false},
    {T::Molar, 34, 27, 26, 45, 2, false, false},
    {T::Molar, 35, 28, 27, 47, 2, false, false},
    {T::Premolar, 25, 18, 29, 49, 1, false, false},
    {T::Premolar, 23, 16, 29, 47, 1, false, false},
    {T::Canine, 26, 18, 37, 53, 1, false, false},
    {T::Incisor, 20, 14, 32, 44, 1, false, false},
    {T::Incisor, 19, 13, 31, 42, 1, false, false},
}};

// A deciduous tooth is drawn in the size of the permanent tooth whose slot it borrows, so
// that the shared symbols fit it; it differs in form: a constricted neck, a whiter crown and
// thin, flared molar roots.
ToothSpec primarySpec(int slot)
{
    ToothSpec s = permanent[static_cast<size_t>(slot)];
    s.primary = true;
    s.neckWidth *= 0.86;
    s.rootLength *= 0.92;
    return s;
}

// Crown outline from the distal neck over the occlusal edge to the mesial neck.
void addCrown(QPainterPath& p, const ToothSpec& s)
{
    const double w = s.crownWidth / 2, n = s.neckWidth / 2, h = s.crownHeight;
    const double contact = s.type == T::Incisor ? h * 0.22 : h * 0.33;
    p.moveTo(-n, h);
    p.cubicTo(-n - (w - n) * 0.6, h * 0.78, -w, contact + h * 0.22, -w, contact);
    switch (s.type) {
    case T::Incisor:
        p.cubicTo(-w, contact * 0.4, -w * 0.92, 1.5, -w * 0.7, 0.8);
        p.cubicTo(-w * 0.3, 0, w * 0.4, 0, w * 0.85, 0.6);
        p.cubicTo(w * 0.98, 1.0, w, contact * 0.5, w, contact);
        break;
    case T::Canine:
        p.cubicTo(-w, contact * 0.65, -w * 0.75, contact * 0.45, -w * 0.5, contact * 0.38);
        p.cubicTo(-w * 0.25, contact * 0.28, -w * 0.08, 0.6, 0.02 * w, 0);
        p.cubicTo(w * 0.15, 0.5, w * 0.35, contact * 0.3, w * 0.6, contact * 0.45);
        p.cubicTo(w * 0.85, contact * 0.55, w, contact * 0.75, w, contact * 0.95);
        break;
    case T::Premolar:
        p.cubicTo(-w, contact * 0.55, -w * 0.72, contact * 0.3, -w * 0.42, contact * 0.18);
        p.cubicTo(-w * 0.2, 0.6, -w * 0.05, 0, 0, 0);
        p.cubicTo(w * 0.1, 0, w * 0.28, 0.6, w * 0.48, contact * 0.2);
        p.cubicTo(w * 0.75, contact * 0.35, w, contact * 0.55, w, contact);
        break;
    case T::Molar: {
        const double groove = h * 0.13;
        p.cubicTo(-w, contact * 0.45, -w * 0.85, 0.8, -w * 0.5, 0.6);
        p.cubicTo(-w * 0.28, 0.4, -w * 0.1, groove * 0.6, 0, groove);
        p.cubicTo(w * 0.08, groove * 0.55, w * 0.25, 0, w * 0.5, 0);
        p.cubicTo(w * 0.85, 0, w, contact * 0.45, w, contact);
        break;
    }
    }
    p.cubicTo(w, contact + h * 0.22, n + (w - n) * 0.6, h * 0.78, n, h);
}

// Roots from the mesial neck round to the distal neck; roots lean distally (-x).
void addRoots(QPainterPath& p, const ToothSpec& s)
{
    const double n = s.neckWidth / 2, h = s.crownHeight, L = s.rootLength;
    const double apexY = h + L;
    if (s.roots == 1) {
        const double ax = -n * 0.18, r = std::max(1.6, n * 0.16);
        p.cubicTo(n * 1.02, h + L * 0.35, n * 0.62, h + L * 0.8, ax + r, apexY - r * 0.4);
        p.quadTo(ax, apexY + r * 0.2, ax - r, apexY - r * 0.5);
        p.cubicTo(-n * 0.75, h + L * 0.78, -n * 1.04, h + L * 0.32, -n, h);
        return;
    }
    // two roots: mesial and distal, furcation between them
    const double spread = s.primary ? 1.2 : 0.85;
    const double furY = h + L * (s.primary ? 0.18 : 0.3);
    const double mx = n * 0.55 * spread - n * 0.12, dx = -n * 0.6 * spread - n * 0.12;
    const double rw = n * (s.primary ? 0.22 : 0.3);
    p.cubicTo(n * (s.primary ? 1.25 : 1.05), h + L * 0.4, mx + rw * 1.2, apexY - L * 0.2, mx + rw * 0.45, apexY - 1);
    p.quadTo(mx, apexY + 0.8, mx - rw * 0.55, apexY - 1.5);
    p.cubicTo(mx - rw * 0.9, apexY - L * 0.3, n * 0.2, furY + 3, 0, furY);
    p.cubicTo(-n * 0.2, furY + 3, dx + rw * 0.9, apexY - L * 0.35, dx + rw * 0.5, apexY - 2.5);
    p.quadTo(dx - rw * 0.05, apexY - 0.8, dx - rw * 0.55, apexY - 3);
    p.cubicTo(dx - rw * 0.9 - (s.primary ? 2 : 0), apexY - L * 0.4, -n * 1.05, h + L * 0.35, -n, h);
}

QPainterPath palatalRoot(const ToothSpec& s)
{
    const double n = s.neckWidth / 2, h = s.crownHeight, L = s.rootLength * (s.primary ? 1.0 : 1.06);
    QPainterPath p;
    p.moveTo(n * 0.55, h);
    p.cubicTo(n * 0.6, h + L * 0.5, n * 0.35, h + L * 0.9, n * 0.05, h + L);
    p.quadTo(-n * 0.1, h + L + 1.5, -n * 0.3, h + L - 0.5);
    p.cubicTo(-n * 0.55, h + L * 0.85, -n * 0.6, h + L * 0.5, -n * 0.5, h);
    p.closeSubpath();
    return p;
}

void addPulp(ToothShape& t)
{
    const ToothSpec& s = t.proportions;
    const double n = s.neckWidth / 2, h = s.crownHeight, L = s.rootLength;
    QPainterPath chamber;
    const double top = h * (s.type == T::Molar ? 0.5 : 0.45);
    const double cw = n * (s.type == T::Molar ? 0.55 : 0.35);
    chamber.moveTo(-cw, h * 1.05);
    chamber.cubicTo(-cw, top + 3, -cw * 0.4, top, 0, top);
    chamber.cubicTo(cw * 0.4, top, cw, top + 3, cw, h * 1.05);
    chamber.closeSubpath();
    t.pulp = t.map(chamber);

    QList<QPolygonF> canals;
    auto canal = [&](double x0, double apexX, double apexY) {
        QPolygonF line;
        for (int k = 0; k <= 8; ++k) {
            const double f = k / 8.0;
            const double y = h * 1.02 + (apexY - 2.5 - h * 1.02) * f;
            line << QPointF(x0 + (apexX - x0) * f * f, y);
        }
        canals.append(line);
    };
    if (s.roots == 1) {
        canal(0, -n * 0.18, h + L);
    } else {
        const double spread = s.primary ? 1.2 : 0.85;
        canal(cw * 0.6, n * 0.55 * spread - n * 0.12, h + L);
        canal(-cw * 0.6, -n * 0.6 * spread - n * 0.12, h + L - 1.5);
    }
    for (const QPolygonF& c : std::as_const(canals))
        t.canals.append(t.toRect.map(c));
}

} // namespace

double OcclusalRow(bool upper, bool primary)
{
    if (upper)
        return 121;
    return primary ? 21 : 19;
}

ToothShape BuildTooth(int slot, bool primary)
{
    ToothShape t;
    t.proportions = primary ? primarySpec(slot) : permanent[static_cast<size_t>(slot)];
    t.slot = slot;
    t.upper = slot < 8;
    t.width = clinical::SlotWidth(slot);
    // Upper teeth hang down to the occlusal plane, lower teeth stand up from it.
    t.toRect = t.upper ? QTransform(1, 0, 0, -1, t.width / 2.0, OcclusalRow(true, primary))
                       : QTransform(1, 0, 0, 1, t.width / 2.0, OcclusalRow(false, primary));
    // Right-side slots: mesial (towards the midline) is to the right already.

    QPainterPath frame;
    addCrown(frame, t.proportions);
    addRoots(frame, t.proportions);
    frame.closeSubpath();
    t.outline = t.map(frame);

    const double n = t.proportions.neckWidth / 2, h = t.proportions.crownHeight;
    QPainterPath enamel; // everything occlusal of the cervical line, which bows apically
    enamel.moveTo(-40, -10);
    enamel.lineTo(40, -10);
    enamel.lineTo(40, h - 1);
    enamel.lineTo(n, h);
    enamel.quadTo(0, h + 5, -n, h);
    enamel.lineTo(-40, h - 1);
    enamel.closeSubpath();
    t.crown = t.map(frame.intersected(enamel));
    if (t.proportions.palatalRoot)
        t.backRoot = t.map(palatalRoot(t.proportions));
    addPulp(t);
    return t;
}

} // namespace artwork
