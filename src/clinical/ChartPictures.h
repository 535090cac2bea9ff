#pragma once

#include "clinical/ToothGeometry.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace clinical {

class TSymbolContainer;

class ArtworkError : public std::runtime_error {
public:
    explicit ArtworkError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// The chart's pictures as the build writes them beside the program.
class ChartPictures {
public:
    // Loads every picture from `directory`; a missing or unreadable one is an ArtworkError.
    static ChartPictures load(const QString& directory);
    // Loads what can be loaded: a missing or damaged picture is added to `damaged` (its path)
    // and replaced by a blank one of its size.
    static ChartPictures loadWhatIsThere(const QString& directory, QStringList& damaged);

    const QImage& cleanChart(ChartKind kind) const { return kind == ChartKind::Adult ? m_adult : m_baby; }
    // The clean picture of the current kind can be replaced (the catalogue keeps its own copy).
    void setCleanChart(ChartKind kind, const QImage& picture);
    const QImage& fullMouth(bool full) const { return full ? m_fullMouthFull : m_fullMouthEmpty; }
    const QImage& marker(int icon) const { return m_markers.at(icon); }

    // The tooth's rectangle (width x 124) cut from the clean chart.
    QImage toothPicture(int index, ChartKind kind) const;
    // The bare tooth for an opaque symbol; a left tooth gets its mirror's picture flipped.
    QImage bareTooth(int index, ChartKind kind) const;

private:
    QImage m_adult;
    QImage m_baby;
    QList<QImage> m_adultTeeth;
    QList<QImage> m_babyTeeth;
    QList<QImage> m_adultTeethMirrored;
    QList<QImage> m_babyTeethMirrored;
    QImage m_fullMouthFull;
    QImage m_fullMouthEmpty;
    QList<QImage> m_markers;
};

// Where the pictures of tooth `index` go on the chart.
inline constexpr QPoint FullMouthPosition{252, 115};
QPoint SymbolPosition(int index, ChartKind kind);
QPoint BareToothPosition(int index, ChartKind kind);

// Lays `symbol` over `chart` with a bitwise AND: white leaves the chart as it is.
void PaintSymbol(QImage& chart, const QImage& symbol, QPoint at);

// Draws symbol `id` on tooth `index` of a chart picture (RGB32): an opaque symbol first
// repaints the bare tooth; the whole mouth (index 99) shows the full-mouth picture.
// Returns false when nothing was drawn (the symbol is not in the library).
bool DrawSymbolOnTooth(QImage& chart, ChartKind kind, const ChartPictures& pictures,
                       const TSymbolContainer& library, qint32 id, int index, bool transparent);

// Draws the full-mouth area in its state (full: a row for the whole mouth exists).
void DrawFullMouth(QImage& chart, const ChartPictures& pictures, bool full);

} // namespace clinical
