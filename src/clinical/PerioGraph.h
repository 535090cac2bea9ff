#pragma once

#include "clinical/PerioModel.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

namespace platform {
class Settings;
}

namespace clinical {

// The colours of the graph and the pocket depth from which a bar counts as a risk.
struct PerioColors {
    QColor gm { 128, 128, 128 };
    QColor bl { 255, 0, 0 };
    QColor pdLower { 0, 128, 0 };
    QColor pdGreater { 255, 0, 0 };
    QColor plaque { Qt::black };
    QColor mob { Qt::black };
    QColor peri { Qt::black };
    QColor fur { Qt::black };
    int riskLevel = 4;

    static PerioColors read(const platform::Settings& settings);
    void write(platform::Settings& settings) const;
    // The settings keep colours as integers with red in the low byte.
    static QColor fromBgr(int bgr);
    static int toBgr(const QColor& colour);
    bool operator==(const PerioColors&) const = default;
};

// Draws the periodontal chart over the picture of the two jaws: recession lines, pocket bars,
// bleeding boxes, periapical, plaque, mobility and furcation marks, and the notes icon. The
// pictures are read from the program directory when first drawn; a missing one stops the
// drawing there with an ArtworkError.
class PerioGraph {
public:
    explicit PerioGraph(QString directory);

    void setColors(const PerioColors& colors) { m_colors = colors; }
    const PerioColors& colors() const { return m_colors; }

    // The whole graph.
    void drawAll(QImage& image, const perio::Chart& chart);
    // One tooth after a value changed: its column with the line into the next column.
    void drawTooth(QImage& image, const perio::Chart& chart, int tooth);
    // The part of the graph a change of this tooth repaints.
    static QRect toothArea(int tooth, const QSize& size);
    static QSize graphSize();

    // Where the marks go (public for the tests): the base line of a site and its margin.
    static int baseLine(int tooth, int site);
    static int marginOf(int tooth, int site, int recession);

private:
    const QImage& picture(QImage& slot, const QString& name);
    void paintTooth(QPainter& p, const perio::Chart& chart, int tooth, int height);
    void paintSites(QPainter& p, const perio::Chart& chart, int tooth);
    void paintToothMarks(QPainter& p, const perio::Tooth& values, int tooth);
    void paintFurcation(QPainter& p, int tooth, perio::Field entrance, int grade);

    QString m_directory;
    PerioColors m_colors;
    QImage m_all;
    QImage m_oneUp;
    QImage m_oneDown;
    QImage m_notes;
};

} // namespace clinical
