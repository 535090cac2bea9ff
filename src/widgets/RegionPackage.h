#pragma once

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>

#include <stdexcept>

// A picture with named regions, stored as one zlib stream. Inflated, the stream holds
// (little-endian): "TMapImage", uint32 version 2, uint32 width, uint32 height,
// uint32 picture count and per picture a uint32 length and PNG bytes (0: the picture as
// shown, 1: optional lines drawn over filled regions), then uint32 region count and per
// region a uint16 length and UTF-8 name, uint32 polygon count and per polygon a uint32
// point count and float32 x/y pairs.
namespace widgets {

class RegionPackageError : public std::runtime_error {
public:
    explicit RegionPackageError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

struct Region {
    QString name;
    QList<QPolygonF> polygons;
    QPainterPath path() const;
};

struct RegionPackage {
    QImage picture;
    QImage overlay; // may be null
    QList<Region> regions;

    int find(const QString& name) const; // -1 when absent
};

inline constexpr quint32 RegionPackageVersion = 2;

// The picture as shown: the base picture, the filled regions (by index), the overlay lines.
QImage RenderRegions(const RegionPackage& package, const QHash<int, QColor>& fills);

QByteArray SerializeRegionPackage(const RegionPackage& package);
RegionPackage ParseRegionPackage(const QByteArray& fileBytes);

RegionPackage ReadRegionPackage(const QString& path);
void WriteRegionPackage(const QString& path, const RegionPackage& package);

} // namespace widgets
