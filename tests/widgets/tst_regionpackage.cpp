#include "support/DataTable.h"
#include "widgets/RegionImage.h"
#include "widgets/RegionPackage.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <zlib.h>

using namespace widgets;

namespace {

// Two regions side by side on a 40 x 20 white picture with a black frame overlay.
RegionPackage sample()
{
    RegionPackage p;
    p.picture = QImage(40, 20, QImage::Format_RGB32);
    p.picture.fill(Qt::white);
    p.overlay = QImage(40, 20, QImage::Format_ARGB32);
    p.overlay.fill(Qt::transparent);
    for (int x = 0; x < 40; ++x)
        p.overlay.setPixel(x, 0, qRgb(0, 0, 0));
    p.regions.append({QStringLiteral("11_a"), {QPolygonF(QRectF(0, 0, 20, 20))}});
    p.regions.append({QStringLiteral("11_b"), {QPolygonF(QRectF(20, 0, 20, 20)), QPolygonF(QRectF(0, 30, 5, 5))}});
    return p;
}

QByteArray zlib(const QByteArray& raw)
{
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    QByteArray out(static_cast<qsizetype>(size), '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.constData()),
              static_cast<uLong>(raw.size()), 6);
    out.resize(static_cast<qsizetype>(size));
    return out;
}

QByteArray unzlib(const QByteArray& packed)
{
    uLongf size = 1 << 20;
    QByteArray out(static_cast<qsizetype>(size), '\0');
    uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(packed.constData()),
               static_cast<uLong>(packed.size()));
    out.resize(static_cast<qsizetype>(size));
    return out;
}

QByteArray withUInt32(QByteArray raw, qsizetype at, quint32 value)
{
    qToLittleEndian(value, raw.data() + at);
    return raw;
}

} // namespace

class TestRegionPackage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTripKeepsPicturesAndRegions()
    {
        const QByteArray bytes = SerializeRegionPackage(sample());
        QVERIFY(unzlib(bytes).startsWith("TMapImage\x02\x00\x00\x00"));
        const RegionPackage back = ParseRegionPackage(bytes);
        QCOMPARE(back.picture.size(), QSize(40, 20));
        QCOMPARE(back.overlay.pixel(5, 0), qRgb(0, 0, 0));
        QCOMPARE(back.regions.size(), 2);
        QCOMPARE(back.find(QStringLiteral("11_b")), 1);
        QCOMPARE(back.find(QStringLiteral("11_c")), -1);
        QCOMPARE(back.regions[1].polygons.size(), 2);
        QCOMPARE(back.regions[1].polygons[0], QPolygonF(QRectF(20, 0, 20, 20)));
    }

    void damagedPackagesAreClearErrors_data()
    {
        const QByteArray good = SerializeRegionPackage(sample());
        const QByteArray raw = unzlib(good);
        QByteArray badSignature = raw;
        badSignature[0] = 'X';
        testsupport::addRows<QByteArray, QString>({ "bytes", "says" },
            {
                { "empty file", QByteArray(), "truncated" },
                { "not compressed", raw, "not a valid" },
                { "truncated zlib", good.left(good.size() / 2), "truncated" },
                { "bad signature", zlib(badSignature), "signature" },
                { "wrong version", zlib(withUInt32(raw, 9, 3)), "version 3" },
                { "payload cut in the header", zlib(raw.left(15)), "truncated" },
                { "payload cut in a region", zlib(raw.chopped(6)), "" },
                { "huge width", zlib(withUInt32(raw, 13, 0xFFFFFFFF)), "header" },
                { "picture longer than file", zlib(withUInt32(raw, 25, 0x7FFFFFFF)), "damaged" },
                { "region count huge",
                    zlib(withUInt32(raw,
                        raw.indexOf("\x04\x00"
                                    "11_a")
                            - 4,
                        0xFFFFFFF0)),
                    "damaged" },
            });
    }
    void damagedPackagesAreClearErrors()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        try {
            ParseRegionPackage(bytes);
            QFAIL("a damaged package was accepted");
        } catch (const RegionPackageError& e) {
            QVERIFY2(e.message().contains(says), qPrintable(e.message()));
        }
    }

    void missingFileNamesThePath()
    {
        try {
            ReadRegionPackage(QStringLiteral("/nonexistent/Upper.pkg"));
            QFAIL("no error");
        } catch (const RegionPackageError& e) {
            QVERIFY(e.message().contains(QStringLiteral("/nonexistent/Upper.pkg")));
        }
    }

    void regionImageFillsAndReportsClicks()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.pkg"));
        WriteRegionPackage(path, sample());

        RegionImage image;
        image.loadPackage(path);
        QCOMPARE(image.size(), QSize(40, 20));
        QCOMPARE(image.findRegion(QStringLiteral("11_a")), 0);
        QCOMPARE(image.findRegion(QStringLiteral("48_a")), -1);
        QVERIFY(!image.fillRegion(QStringLiteral("48_a"), Qt::red));

        QVERIFY(image.fillRegion(QStringLiteral("11_b"), QColor(255, 0, 0)));
        const QImage shown = image.rendered();
        QCOMPARE(shown.pixel(30, 10), qRgb(255, 0, 0));
        QCOMPARE(shown.pixel(10, 10), qRgb(255, 255, 255));
        QCOMPARE(shown.pixel(30, 0), qRgb(0, 0, 0)); // overlay stays on top of the fill

        QSignalSpy clicked(&image, &RegionImage::regionClicked);
        QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(30, 10));
        QCOMPARE(clicked.size(), 2);
        QCOMPARE(clicked[0][1].toString(), QStringLiteral("11_a"));
        QCOMPARE(clicked[1][0].toInt(), 1);

        // a bad file leaves the loaded package in place
        QFile bad(dir.filePath(QStringLiteral("bad.pkg")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("garbage");
        bad.close();
        QVERIFY_THROWS_EXCEPTION(RegionPackageError, image.loadPackage(bad.fileName()));
        QCOMPARE(image.findRegion(QStringLiteral("11_b")), 1);
        QCOMPARE(image.rendered().pixel(30, 10), qRgb(255, 0, 0));

        image.clearFills();
        QCOMPARE(image.rendered().pixel(30, 10), qRgb(255, 255, 255));
    }
};

QTEST_MAIN(TestRegionPackage)
#include "tst_regionpackage.moc"
