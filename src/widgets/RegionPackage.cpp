#include "widgets/RegionPackage.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QPainter>
#include <QSaveFile>

#include <zlib.h>

namespace widgets {

namespace {

const QByteArray signature = QByteArrayLiteral("TMapImage");
// Far above any strip; a stream that inflates past this is not one of ours.
constexpr qsizetype maxInflated = 64 * 1024 * 1024;
constexpr quint32 maxSide = 8192;

QByteArray deflate(const QByteArray& data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    QByteArray out(static_cast<qsizetype>(size), '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.constData()),
                  static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw RegionPackageError(QStringLiteral("The region package could not be compressed."));
    out.resize(static_cast<qsizetype>(size));
    return out;
}

QByteArray inflate(const QByteArray& data)
{
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        throw RegionPackageError(QStringLiteral("The region package could not be read (zlib)."));
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    zs.avail_in = static_cast<uInt>(data.size());
    QByteArray out;
    char chunk[16384];
    int rc = Z_OK;
    while (rc == Z_OK) {
        zs.next_out = reinterpret_cast<Bytef*>(chunk);
        zs.avail_out = sizeof chunk;
        rc = ::inflate(&zs, Z_NO_FLUSH);
        out.append(chunk, static_cast<qsizetype>(sizeof chunk - zs.avail_out));
        if (out.size() > maxInflated)
            rc = Z_MEM_ERROR;
    }
    inflateEnd(&zs);
    if (rc == Z_BUF_ERROR)
        throw RegionPackageError(QStringLiteral("The region package is truncated."));
    if (rc != Z_STREAM_END)
        throw RegionPackageError(QStringLiteral("The region package is not a valid compressed stream."));
    return out;
}

void check(const QDataStream& in, const char* what)
{
    if (in.status() != QDataStream::Ok)
        throw RegionPackageError(QStringLiteral("The region package is truncated (%1).").arg(QLatin1String(what)));
}

// Refuses counts that the remaining bytes cannot hold, before anything is allocated.
void checkRoom(const QDataStream& in, quint64 count, quint64 bytesEach, const char* what)
{
    const qint64 left = in.device()->bytesAvailable();
    if (count * bytesEach > static_cast<quint64>(left))
        throw RegionPackageError(QStringLiteral("The region package is damaged (%1).").arg(QLatin1String(what)));
}

QImage readPicture(QDataStream& in)
{
    quint32 length = 0;
    in >> length;
    check(in, "picture");
    checkRoom(in, length, 1, "picture size");
    QByteArray png(static_cast<qsizetype>(length), '\0');
    in.readRawData(png.data(), static_cast<int>(length));
    QImage image;
    if (!image.loadFromData(png, "PNG"))
        throw RegionPackageError(QStringLiteral("The region package holds a damaged picture."));
    return image;
}

Region readRegion(QDataStream& in)
{
    Region region;
    quint16 nameLength = 0;
    in >> nameLength;
    check(in, "region name");
    checkRoom(in, nameLength, 1, "region name");
    QByteArray name(nameLength, '\0');
    in.readRawData(name.data(), nameLength);
    region.name = QString::fromUtf8(name);
    quint32 polygons = 0;
    in >> polygons;
    check(in, "region");
    checkRoom(in, polygons, 4, "polygon count");
    for (quint32 p = 0; p < polygons; ++p) {
        quint32 points = 0;
        in >> points;
        check(in, "polygon");
        checkRoom(in, points, 8, "point count");
        QPolygonF polygon;
        polygon.reserve(points);
        for (quint32 k = 0; k < points; ++k) {
            float x = 0, y = 0;
            in >> x >> y;
            polygon.append(QPointF(x, y));
        }
        check(in, "points");
        region.polygons.append(polygon);
    }
    return region;
}

} // namespace

QPainterPath Region::path() const
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill); // polygons come from toFillPolygons()
    for (const QPolygonF& polygon : polygons)
        path.addPolygon(polygon);
    path.closeSubpath();
    return path;
}

int RegionPackage::find(const QString& name) const
{
    for (qsizetype i = 0; i < regions.size(); ++i)
        if (regions[i].name == name)
            return static_cast<int>(i);
    return -1;
}

QImage RenderRegions(const RegionPackage& package, const QHash<int, QColor>& fills)
{
    QImage out = package.picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    for (auto it = fills.cbegin(); it != fills.cend(); ++it)
        if (it.key() >= 0 && it.key() < package.regions.size())
            p.fillPath(package.regions[it.key()].path(), it.value());
    if (!package.overlay.isNull())
        p.drawImage(0, 0, package.overlay);
    return out;
}

QByteArray SerializeRegionPackage(const RegionPackage& package)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::SinglePrecision);
    out.writeRawData(signature.constData(), static_cast<int>(signature.size()));
    out << RegionPackageVersion << quint32(package.picture.width()) << quint32(package.picture.height());
    QList<QImage> pictures{package.picture};
    if (!package.overlay.isNull())
        pictures.append(package.overlay);
    out << quint32(pictures.size());
    for (const QImage& picture : pictures) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        out << quint32(png.size());
        out.writeRawData(png.constData(), static_cast<int>(png.size()));
    }
    out << quint32(package.regions.size());
    for (const Region& region : package.regions) {
        const QByteArray name = region.name.toUtf8();
        out << quint16(name.size());
        out.writeRawData(name.constData(), static_cast<int>(name.size()));
        out << quint32(region.polygons.size());
        for (const QPolygonF& polygon : region.polygons) {
            out << quint32(polygon.size());
            for (const QPointF& point : polygon)
                out << float(point.x()) << float(point.y());
        }
    }
    return deflate(payload);
}

RegionPackage ParseRegionPackage(const QByteArray& fileBytes)
{
    const QByteArray payload = inflate(fileBytes);
    if (!payload.startsWith(signature))
        throw RegionPackageError(QStringLiteral("This is not a region package (bad signature)."));
    QBuffer buffer;
    buffer.setData(payload);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(signature.size());
    QDataStream in(&buffer);
    in.setByteOrder(QDataStream::LittleEndian);
    in.setFloatingPointPrecision(QDataStream::SinglePrecision);

    quint32 version = 0, width = 0, height = 0, pictures = 0;
    in >> version;
    check(in, "version");
    if (version != RegionPackageVersion)
        throw RegionPackageError(QStringLiteral("The region package has version %1; version %2 is expected.")
                                     .arg(version)
                                     .arg(RegionPackageVersion));
    in >> width >> height >> pictures;
    check(in, "header");
    if (width == 0 || height == 0 || width > maxSide || height > maxSide || pictures < 1 || pictures > 2)
        throw RegionPackageError(QStringLiteral("The region package has a damaged header."));

    RegionPackage package;
    package.picture = readPicture(in);
    if (pictures == 2)
        package.overlay = readPicture(in);
    if (package.picture.size() != QSize(int(width), int(height))
        || (!package.overlay.isNull() && package.overlay.size() != package.picture.size()))
        throw RegionPackageError(QStringLiteral("The region package's pictures do not match its size."));

    quint32 regions = 0;
    in >> regions;
    check(in, "region count");
    checkRoom(in, regions, 6, "region count");
    for (quint32 r = 0; r < regions; ++r)
        package.regions.append(readRegion(in));
    return package;
}

RegionPackage ReadRegionPackage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RegionPackageError(QStringLiteral("Cannot open the region package %1: %2").arg(path, file.errorString()));
    try {
        return ParseRegionPackage(file.readAll());
    } catch (const RegionPackageError& e) {
        throw RegionPackageError(QStringLiteral("%1: %2").arg(path, e.message()));
    }
}

void WriteRegionPackage(const QString& path, const RegionPackage& package)
{
    QSaveFile file(path);
    const QByteArray bytes = SerializeRegionPackage(package);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw RegionPackageError(QStringLiteral("Cannot write the region package %1: %2").arg(path, file.errorString()));
}

} // namespace widgets
