// Checks the artwork the build draws into the program directory.
#include "clinical/ArtworkFiles.h"
#include "clinical/ChartPictures.h"
#include "clinical/SymbolCatalog.h"
#include "clinical/SymbolContainer.h"
#include "clinical/ToothGeometry.h"
#include "support/DataTable.h"
#include "widgets/RegionPackage.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTest>

using namespace clinical;
namespace files = clinical::artwork;

Q_DECLARE_METATYPE(clinical::ChartKind)

class TestArtwork : public QObject {
    Q_OBJECT

    QDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        m_dir = QDir(qEnvironmentVariable("ORVANE_PROGRAM_DIR"));
        QVERIFY2(QFileInfo::exists(path(files::symbolData())),
                 "the artwork is missing: build the 'artwork' target first");
    }

    void pictureSizes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("adult chart") << files::adultChart() << QSize(542, 292);
        QTest::newRow("baby chart") << files::babyChart() << QSize(542, 292);
        for (int slot = 0; slot < SlotCount; ++slot)
            QTest::addRow("tooth %d", slot) << files::adultTooth(slot) << QSize(SlotWidth(slot), 124);
        for (int i = 0; i < 10; ++i)
            QTest::addRow("baby tooth %d", i) << files::babyTooth(i) << QSize(ToothWidth(i, ChartKind::Baby), 124);
        QTest::newRow("full mouth, full") << files::fullMouthFull() << QSize(34, 41);
        QTest::newRow("full mouth, empty") << files::fullMouthEmpty() << QSize(34, 41);
        for (int icon = 0; icon < 3; ++icon)
            QTest::addRow("marker %d", icon) << files::marker(icon) << QSize(19, 18);
        for (int group = 1; group <= 12; ++group)
            QTest::addRow("group %d", group) << files::groupTool(group) << QSize(32, 32);
        QTest::newRow("dental logo") << files::dentalLogo() << QSize(262, 92);
        QTest::newRow("medical logo") << files::medicalLogo() << QSize(262, 92);
        QTest::newRow("perio") << files::perioAll() << QSize(592, 392);
        QTest::newRow("perio notes") << files::perioNotes() << QSize(16, 14);
        QTest::newRow("perio missing upper") << files::perioOneUp() << QSize(33, 160);
        QTest::newRow("perio missing lower") << files::perioOneDown() << QSize(33, 160);
    }
    void pictureSizes()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QImage image(path(name));
        QVERIFY2(!image.isNull(), qPrintable(name));
        QCOMPARE(image.size(), size);
    }

    void libraryHoldsEveryCatalogueSymbol()
    {
        const qint64 n = static_cast<qint64>(SymbolCatalog.size());
        QVERIFY(n >= 24);
        QCOMPARE(QFileInfo(path(files::symbolData())).size(), 4 + 35716 * n);
        QCOMPARE(QFileInfo(path(files::symbolIndex())).size(), 8 * n);
        const TSymbolContainer library(path(files::symbolData()), path(files::symbolIndex()));
        QSet<QByteArray> distinct;
        for (const SymbolInfo& info : SymbolCatalog) {
            QVERIFY(info.group >= 1 && info.group <= 12);
            for (const int tooth : {16, 46}) {
                const auto image = library.LoadSymbol(ToInt(info.id), tooth, true);
                QVERIFY(image.has_value());
                const QImage rgb = image->convertToFormat(QImage::Format_RGB32);
                QImage blank(rgb.size(), QImage::Format_RGB32);
                blank.fill(Qt::white);
                QVERIFY2(rgb != blank, info.description.data());
                const QByteArray bytes(reinterpret_cast<const char*>(rgb.constBits()), rgb.sizeInBytes());
                QVERIFY2(!distinct.contains(bytes), qPrintable(QStringLiteral("%1 looks like another symbol on %2")
                                                                   .arg(QLatin1String(info.description.data()))
                                                                   .arg(tooth)));
                distinct.insert(bytes);
            }
        }
    }

    // Painted with the chart's own code, each symbol changes only its tooth's column, and
    // mostly where the tooth is drawn.
    void symbolsLandOnTheirTooth_data()
    {
        QTest::addColumn<ChartKind>("kind");
        QTest::addColumn<int>("tooth");
        for (int t : {18, 11, 26, 48, 35, 41})
            QTest::addRow("adult %d", t) << ChartKind::Adult << t;
        for (int t : {55, 63, 84, 71})
            QTest::addRow("baby %d", t) << ChartKind::Baby << t;
    }
    void symbolsLandOnTheirTooth()
    {
        QFETCH(ChartKind, kind);
        QFETCH(int, tooth);
        const auto pictures = ChartPictures::load(m_dir.path());
        const TSymbolContainer library(path(files::symbolData()), path(files::symbolIndex()));
        const int index = ToothIndexOf(tooth, kind);
        const QRect column = ToothRect(index, kind).translated(kind == ChartKind::Baby ? -2 : 0, 0);
        const QImage clean = pictures.cleanChart(kind);
        for (const SymbolInfo& info : SymbolCatalog) {
            QImage chart = clean.copy();
            QVERIFY(DrawSymbolOnTooth(chart, kind, pictures, library, ToInt(info.id), index, info.transparent));
            int changed = 0, onTooth = 0;
            for (int y = 0; y < chart.height(); ++y) {
                // the tooth's span on this row: from its first to its last drawn pixel
                int first = column.right() + 1, last = column.left() - 1;
                for (int x = column.left(); x <= column.right(); ++x)
                    if (clean.pixel(x, y) != qRgb(255, 255, 255)) {
                        first = std::min(first, x);
                        last = x;
                    }
                for (int x = 0; x < chart.width(); ++x) {
                    if (chart.pixel(x, y) == clean.pixel(x, y))
                        continue;
                    QVERIFY2(column.adjusted(0, 0, 0, 20).contains(x, y),
                             qPrintable(QStringLiteral("%1 spills to %2,%3").arg(QLatin1String(info.description.data())).arg(x).arg(y)));
                    ++changed;
                    onTooth += x >= first && x <= last ? 1 : 0;
                }
            }
            QVERIFY2(changed > 0, info.description.data());
            if (info.id == SymbolId::ImpactedTooth)
                continue; // drawn around the tooth
            QVERIFY2(onTooth * 2 >= changed, qPrintable(QStringLiteral("%1 is beside the tooth (%2 of %3)")
                                                             .arg(QLatin1String(info.description.data()))
                                                             .arg(onTooth)
                                                             .arg(changed)));
        }
    }

    void stripsHoldFiveSurfacesPerTooth_data()
    {
        testsupport::addRows<QString, ChartKind, bool>({ "name", "kind", "upper" },
            {
                { "upper", files::upperStrip(), ChartKind::Adult, true },
                { "lower", files::lowerStrip(), ChartKind::Adult, false },
                { "upper baby", files::upperBabyStrip(), ChartKind::Baby, true },
                { "lower baby", files::lowerBabyStrip(), ChartKind::Baby, false },
            });
    }
    void stripsHoldFiveSurfacesPerTooth()
    {
        QFETCH(QString, name);
        QFETCH(ChartKind, kind);
        QFETCH(bool, upper);
        const widgets::RegionPackage pkg = widgets::ReadRegionPackage(path(name));
        QCOMPARE(pkg.picture.size(), QSize(542, 37));
        int teeth = 0;
        for (int i = 0; i <= HighestIndex(kind); ++i) {
            if (IsUpperIndex(i, kind) != upper)
                continue;
            ++teeth;
            const int tooth = ToothNumberOf(i, kind);
            const QRect rect = ToothRect(i, kind);
            QRectF bounds[SurfaceCount];
            for (int k = 0; k < SurfaceCount; ++k) {
                const int r = pkg.find(SurfaceRegionName(tooth, k));
                QVERIFY2(r >= 0, qPrintable(SurfaceRegionName(tooth, k)));
                bounds[k] = pkg.regions[r].path().boundingRect();
                QVERIFY(bounds[k].width() > 1 && bounds[k].height() > 1);
                QVERIFY2(bounds[k].left() >= rect.left() - 3 && bounds[k].right() <= rect.right() + 1
                             && bounds[k].top() >= 0 && bounds[k].bottom() <= 37,
                         qPrintable(SurfaceRegionName(tooth, k)));
            }
            // a occlusal in the middle; b mesial towards the midline, c distal away from it
            QVERIFY(qAbs(bounds[1].center().x() - 271) < qAbs(bounds[2].center().x() - 271));
            // d buccal away from the chart, e lingual towards it
            QCOMPARE(bounds[3].center().y() < bounds[4].center().y(), upper);
            QVERIFY(bounds[0].contains(QPointF(bounds[0].center())));
        }
        QCOMPARE(pkg.regions.size(), teeth * SurfaceCount);
    }

    void surfaceEditorHasTheFiveLetters()
    {
        const widgets::RegionPackage pkg = widgets::ReadRegionPackage(path(files::surfaceEditor()));
        QCOMPARE(pkg.regions.size(), SurfaceCount);
        for (int k = 0; k < SurfaceCount; ++k)
            QVERIFY(pkg.find(QString(QChar(u'a' + k))) >= 0);
    }
};

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
