#pragma once

#include "clinical/ToothGeometry.h"
#include "widgets/Forward.h"

#include <QImage>
#include <QSize>

namespace clinical {

class ChartPictures;
class TSymbolContainer;

// Previews one symbol on one tooth in an image control, scaled by num/den.
class TSymbolBrowser {
public:
    TSymbolBrowser(const TSymbolContainer& library, const ChartPictures& pictures, QLabel* target, int num, int den);

    static QSize CellSize(int num, int den) { return {52 * num / den, 124 * num / den}; }
    QSize cellSize() const { return CellSize(m_num, m_den); }

    // Renders the preview on the current chart kind and shows it in the target.
    void Draw(qint32 id, int index, bool chartSize, bool showTooth);
    QImage Render(qint32 id, int index, bool chartSize, bool showTooth, ChartKind kind) const;

private:
    const TSymbolContainer& m_library;
    const ChartPictures& m_pictures;
    QLabel* m_target;
    int m_num;
    int m_den;
};

} // namespace clinical
