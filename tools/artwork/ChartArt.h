#pragma once

#include "ToothModel.h"

#include "clinical/ToothGeometry.h"

#include <QImage>

class QPainter;

namespace artwork {

// Paints one tooth in rectangle space (the painter already placed on the rectangle).
void PaintTooth(QPainter& p, const ToothShape& tooth);

// The clean chart of a kind, 542 x 292.
QImage RenderChart(clinical::ChartKind kind);
// The bare tooth picture of a right-side index, cut from the clean chart where the chart
// repaints it.
QImage CutBareTooth(const QImage& chart, int index, clinical::ChartKind kind);

QImage RenderFullMouth(bool full);
QImage RenderMarker(int icon);

} // namespace artwork
