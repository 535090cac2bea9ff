#pragma once

#include <QList>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

// Buccal-view drawings of the teeth, shared by the chart pictures and the symbols so that a
// symbol sits exactly on the tooth it was drawn for. Shapes are built in a tooth frame
// (x = 0 on the tooth's axis, +x mesial; y = 0 at the occlusal edge, growing towards the
// apex) and mapped into "rectangle space": the tooth's 124-row rectangle on the chart.
namespace artwork {

enum class ToothType { Incisor, Canine, Premolar, Molar };

struct ToothSpec {
    ToothType type;
    double crownWidth;  // mesiodistal, at the contact points
    double neckWidth;   // at the cervical line
    double crownHeight;
    double rootLength;
    int roots;          // roots seen from the buccal side (1 or 2)
    bool palatalRoot;   // a third root behind the two buccal ones
    bool primary;
};

struct ToothShape {
    ToothSpec proportions;
    int slot = 0;
    bool upper = true;
    double width = 0;      // width of the tooth's rectangle
    QTransform toRect;     // tooth frame -> rectangle space
    QPainterPath outline;  // whole visible tooth, rectangle space
    QPainterPath crown;    // enamel part
    QPainterPath backRoot; // palatal root, drawn behind
    QPainterPath pulp;
    QList<QPolygonF> canals;

    QPointF at(double x, double y) const { return toRect.map(QPointF(x, y)); }
    // A path built in the tooth frame, mapped to rectangle space.
    QPainterPath map(const QPainterPath& framePath) const { return toRect.map(framePath); }
    double halfCrown() const { return proportions.crownWidth / 2; }
    double halfNeck() const { return proportions.neckWidth / 2; }
    double crownHeight() const { return proportions.crownHeight; }
    double toothLength() const { return proportions.crownHeight + proportions.rootLength; }
};

// Slot 0-15 are the permanent teeth 18-11 and 48-41; `primary` draws the deciduous tooth
// that borrows the slot on the baby chart.
ToothShape BuildTooth(int slot, bool primary);

// Row of the rectangle at which the occlusal edge lies.
double OcclusalRow(bool upper, bool primary);

} // namespace artwork
