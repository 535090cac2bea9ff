#pragma once

#include <QImage>

namespace artwork {

QImage RenderGroupTool(int group);    // 32 x 32, groups 1-12
QImage RenderLogo(bool medical);      // 262 x 92
QImage RenderSplashBanner();          // the splash window's upper picture
QImage RenderPerioChart();            // both jaws, facial and lingual
QImage RenderPerioMissing(bool upper); // covers a missing tooth's column
QImage RenderPerioNotes();              // marks a tooth with notes on the graph

} // namespace artwork
