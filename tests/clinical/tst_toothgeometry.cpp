#include "clinical/ToothGeometry.h"
#include "support/DataTable.h"

#include <QTest>

using namespace clinical;

Q_DECLARE_METATYPE(clinical::ChartKind)

class TestToothGeometry : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { SetAdultChart(true); }

    void indexOfNumber_data()
    {
        const auto A = ChartKind::Adult;
        const auto B = ChartKind::Baby;
        testsupport::addRows<ChartKind, int, int>({ "kind", "tooth", "index" },
            {
                { "adult whole mouth", A, 0, 99 },
                { "baby whole mouth", B, 0, 99 },
                { "adult 19 unknown", A, 19, -1 },
                { "adult 56 unknown", A, 56, -1 },
                { "adult deciduous 55", A, 55, -1 },
                { "baby permanent 18", B, 18, -1 },
                { "baby 56 unknown", B, 56, -1 },
                { "adult 18 first", A, 18, 0 },
                { "adult 11", A, 11, 7 },
                { "adult 48", A, 48, 8 },
                { "adult 21", A, 21, 16 },
                { "adult 38 last", A, 38, 31 },
                { "baby 55 first", B, 55, 0 },
                { "baby 81", B, 81, 9 },
                { "baby 61", B, 61, 10 },
                { "baby 75 last", B, 75, 19 },
            });
    }
    void indexOfNumber()
    {
        QFETCH(ChartKind, kind);
        QFETCH(int, tooth);
        QFETCH(int, index);
        QCOMPARE(ToothIndexOf(tooth, kind), index);
        if (index != -1)
            QCOMPARE(ToothNumberOf(index, kind), tooth);
    }

    void everyIndexRoundTripsAndMirrorsWithinItsJaw_data()
    {
        testsupport::addRows<ChartKind>({ "kind" },
            {
                { "adult", ChartKind::Adult },
                { "baby", ChartKind::Baby },
            });
    }
    void everyIndexRoundTripsAndMirrorsWithinItsJaw()
    {
        QFETCH(ChartKind, kind);
        for (int i = 0; i <= HighestIndex(kind); ++i) {
            const int tooth = ToothNumberOf(i, kind);
            QCOMPARE(ToothIndexOf(tooth, kind), i);
            const int m = MirrorIndex(i, kind);
            QCOMPARE(MirrorIndex(m, kind), i);
            QVERIFY(IsRightIndex(i, kind) != IsRightIndex(m, kind));
            QCOMPARE(IsUpperIndex(m, kind), IsUpperIndex(i, kind));
            QCOMPARE(IsUpperTooth(tooth), IsUpperIndex(i, kind));
            // same tooth position on the other side: same second digit
            QCOMPARE(ToothNumberOf(m, kind) % 10, tooth % 10);
            QCOMPARE(ToothWidth(m, kind), ToothWidth(i, kind));
            // the charts are symmetric about x = 271
            QCOMPARE(ToothOrigin(m, kind).x(), ChartWidth - ToothOrigin(i, kind).x() - ToothWidth(i, kind));
        }
        QCOMPARE(ToothNumberOf(99, kind), 0);
        QCOMPARE(ToothNumberOf(HighestIndex(kind) + 1, kind), -1);
    }

    void rectanglesOfAJawDoNotOverlap_data() { everyIndexRoundTripsAndMirrorsWithinItsJaw_data(); }
    void rectanglesOfAJawDoNotOverlap()
    {
        QFETCH(ChartKind, kind);
        for (int i = 0; i <= HighestIndex(kind); ++i) {
            const QRect r = ToothRect(i, kind);
            QCOMPARE(r.height(), 124);
            QCOMPARE(r.top(), IsUpperIndex(i, kind) ? 0 : 159);
            QVERIFY(r.right() < ChartWidth);
            for (int j = i + 1; j <= HighestIndex(kind); ++j)
                QVERIFY2(!r.intersects(ToothRect(j, kind)), qPrintable(QStringLiteral("%1 and %2").arg(i).arg(j)));
        }
    }

    void tabulatedRectangles_data()
    {
        testsupport::addRows<ChartKind, int, QRect>({ "kind", "index", "rect" },
            {
                { "18", ChartKind::Adult, 0, QRect(0, 0, 32, 124) },
                { "48", ChartKind::Adult, 8, QRect(0, 159, 52, 124) },
                { "21", ChartKind::Adult, 16, QRect(279, 0, 36, 124) },
                { "38", ChartKind::Adult, 31, QRect(490, 159, 52, 124) },
                { "55", ChartKind::Baby, 0, QRect(94, 0, 36, 124) },
                { "64", ChartKind::Baby, 13, QRect(375, 0, 36, 124) },
                { "75", ChartKind::Baby, 19, QRect(395, 159, 38, 124) },
                { "whole mouth has none", ChartKind::Adult, 99, QRect() },
            });
    }
    void tabulatedRectangles()
    {
        QFETCH(ChartKind, kind);
        QFETCH(int, index);
        QFETCH(QRect, rect);
        QCOMPARE(ToothRect(index, kind), rect);
    }

    void symbolSlots_data()
    {
        testsupport::addRows<ChartKind, int, int, bool>({ "kind", "tooth", "slot", "flipped" },
            {
                { "18", ChartKind::Adult, 18, 0, false },
                { "28", ChartKind::Adult, 28, 0, true },
                { "38", ChartKind::Adult, 38, 8, true },
                { "41", ChartKind::Adult, 41, 15, false },
                { "24 odd width", ChartKind::Adult, 24, 4, true },
                { "55 as 17", ChartKind::Baby, 55, 1, false },
                { "65", ChartKind::Baby, 65, 1, true },
                { "53 as 13", ChartKind::Baby, 53, 5, false },
                { "81", ChartKind::Baby, 81, 15, false },
                { "75 as 47", ChartKind::Baby, 75, 9, true },
            });
    }
    void symbolSlots()
    {
        QFETCH(ChartKind, kind);
        QFETCH(int, tooth);
        QFETCH(int, slot);
        QFETCH(bool, flipped);
        const int index = ToothIndexOf(tooth, kind);
        QCOMPARE(SymbolSlotOf(index, kind), (SymbolSlot{slot, flipped}));
        // a slot has the width of the teeth that use it
        QCOMPARE(SlotWidth(slot), ToothWidth(index, kind));
    }

    void processWideFlagSelectsTheChart()
    {
        QVERIFY(IsAdultChart());
        QCOMPARE(ToothIndexOf(55), -1);
        QCOMPARE(HighestIndex(), 31);
        SetAdultChart(false);
        QCOMPARE(ToothIndexOf(55), 0);
        QCOMPARE(ToothOrigin(0), QPoint(94, 0));
        QCOMPARE(SymbolSlotOf(14), (SymbolSlot{1, true}));
        QCOMPARE(HighestIndex(), 19);
    }

    void surfaceRegionNames()
    {
        QCOMPARE(SurfaceRegionName(16, 2), QStringLiteral("16_c"));
        QCOMPARE(SurfaceRegionName(85, 0), QStringLiteral("85_a"));
        QCOMPARE(SurfaceRegionName(41, SurfaceCount - 1), QStringLiteral("41_e"));
    }
};

QTEST_GUILESS_MAIN(TestToothGeometry)
#include "tst_toothgeometry.moc"
