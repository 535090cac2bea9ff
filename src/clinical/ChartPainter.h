#pragma once

#include "clinical/ToothGeometry.h"

#include <QImage>
#include <QList>
#include <QSet>

#include <functional>
#include <optional>

namespace clinical {

class ChartPictures;
class TSymbolContainer;

// What the chart needs of one treatment row to paint it.
struct ChartRow {
    int tooth = 0;
    int operId = -1;
    std::optional<qint32> symbol; // empty: the operation has no symbol
    bool transparent = true;
    int masitikes = 0;
};

// Teeth (by number) that carry a marker of the session's records.
struct ChartMarks {
    QSet<int> notes;
    QSet<int> images;
    QSet<int> colours;
    QSet<int> endo;
};

// Paints the dental chart picture: the clean chart of a kind, the symbols of the rows in the
// order given, the markers and the full-mouth area. Surfaces are not part of the picture: the
// rows' masks are handed to `fillSurfaces` (the strips above and below the chart).
class ChartPainter {
public:
    using SurfaceFill = std::function<void(int tooth, int mask)>;

    // `library` may be missing: the chart then paints no symbols.
    ChartPainter(const ChartPictures& pictures, const TSymbolContainer* library);

    void begin(ChartKind kind);
    // One row of a pass; rows of the other kind, of teeth without a place and discount lines
    // (OperID -1) are skipped.
    void paintRow(const ChartRow& row, const SurfaceFill& fillSurfaces = {});
    // The symbol of an operation on tooth `index` (also the immediate picture of a click).
    void drawSymbol(int index, std::optional<qint32> symbol, bool transparent);
    void paintMarks(const ChartMarks& marks);
    // The full-mouth area in its state; the last step of a redraw.
    void finish();

    const QImage& image() const { return m_image; }
    QImage& image() { return m_image; }
    ChartKind kind() const { return m_kind; }
    bool fullMouthEmpty() const { return m_fullMouthEmpty; }

    // Marker places, for the tests and the report.
    static QPoint notePosition(int index, ChartKind kind);
    static QPoint imagePosition(int index, ChartKind kind);
    static QPoint colourPosition(int index, ChartKind kind);

private:
    const ChartPictures& m_pictures;
    const TSymbolContainer* m_library;
    QImage m_image;
    ChartKind m_kind = ChartKind::Adult;
    bool m_fullMouthEmpty = true;
};

// The tooth index under a point of the chart picture: the first tooth rectangle holding it,
// else the whole mouth (99) inside the full-mouth rectangle, else -1.
int HitTooth(QPoint point, ChartKind kind);
inline constexpr QRect FullMouthHitRect{QPoint(252, 115), QPoint(293, 165)};

// Central incisors: their symbols reach under the full-mouth area.
bool IsCentralIncisor(int toothNumber);

} // namespace clinical
