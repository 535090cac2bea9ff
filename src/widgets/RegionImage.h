#pragma once

#include "widgets/RegionPackage.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QWidget>

namespace widgets {

// A picture with named, clickable regions loaded from a region package. Regions can be
// filled with a colour; a click reports the region under the mouse.
class RegionImage : public QWidget {
    Q_OBJECT

public:
    explicit RegionImage(QWidget* parent = nullptr);

    // Replaces the picture and forgets all fills. A bad file raises RegionPackageError and
    // leaves the widget as it was.
    void loadPackage(const QString& path);
    void setPackage(RegionPackage package);
    const RegionPackage& package() const { return m_package; }

    int findRegion(const QString& name) const { return m_package.find(name); }
    QString regionName(int index) const;
    int regionAt(QPointF point) const; // -1 outside every region

    // Fills a region and repaints; false when the package has no such region.
    bool fillRegion(const QString& name, const QColor& colour);
    void fillRegion(int index, const QColor& colour);
    void clearFills();

    // The picture as painted: base, fills, then the overlay lines.
    QImage rendered() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void regionClicked(int index, const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    RegionPackage m_package;
    QList<QPainterPath> m_paths;
    QHash<int, QColor> m_fills;
    mutable QImage m_cache;
};

} // namespace widgets
