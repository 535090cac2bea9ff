#include "clinical/ChartPictures.h"
#include "clinical/SymbolBrowser.h"
#include "clinical/SymbolContainer.h"
#include "clinical/SymbolFile.h"
#include "clinical/ToothGeometry.h"
#include "support/DataTable.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <optional>

using namespace clinical;
using symbols::SymbolLibraryError;

namespace {

// Builds library bytes by hand, straight from the layout, so the reader is checked against
// the layout rather than against its own writer.
void putInt(QByteArray& b, qint32 v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}

constexpr int widths[16] = {32, 36, 36, 30, 31, 34, 26, 36, 52, 38, 37, 30, 26, 30, 24, 25};

// Pixel (x, visual row y) of slot `slot` in record `id`.
int patternPixel(qint32 id, int slot, int x, int y) { return (x + 3 * y + slot + id) % 16; }

QByteArray record(qint32 id)
{
    QByteArray r;
    putInt(r, id);
    for (int slot = 0; slot < 16; ++slot) {
        const int w = widths[slot];
        const int rowBytes = ((w + 1) / 2 + 3) / 4 * 4;
        for (int stored = 0; stored < 124; ++stored) {
            const int y = 123 - stored; // rows bottom-up
            QByteArray row(rowBytes, '\0');
            for (int x = 0; x < w; ++x) {
                const auto v = static_cast<char>(patternPixel(id, slot, x, y));
                row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 == 0 ? v << 4 : v));
            }
            r.append(row);
        }
    }
    return r;
}

QByteArray library(const QList<qint32>& ids, std::optional<qint32> announced = {})
{
    QByteArray b;
    putInt(b, announced.value_or(static_cast<qint32>(ids.size())));
    for (qint32 id : ids)
        b.append(record(id));
    return b;
}

QByteArray index(const QList<QPair<qint32, qint32>>& entries)
{
    QByteArray b;
    for (const auto& [id, offset] : entries) {
        putInt(b, id);
        putInt(b, offset);
    }
    return b;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestSymbolLibrary : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString dat() const { return m_dir.filePath(QStringLiteral("SYMBOLS.DAT")); }
    QString idx() const { return m_dir.filePath(QStringLiteral("SYMBOLS.IDX")); }

private Q_SLOTS:
    void init() { SetAdultChart(true); }

    void slotLayoutMatchesTheFileFormat()
    {
        const int rowBytes[16] = {16, 20, 20, 16, 16, 20, 16, 20, 28, 20, 20, 16, 16, 16, 12, 16};
        const int offsets[16] = {4,     1988,  4468,  6948,  8932,  10916, 13396, 15380,
                                 17860, 21332, 23812, 26292, 28276, 30260, 32244, 33732};
        for (int k = 0; k < 16; ++k) {
            QCOMPARE(symbols::RowBytes(k), rowBytes[k]);
            QCOMPARE(symbols::SlotOffset(k), offsets[k]);
        }
        QCOMPARE(symbols::SlotOffset(15) + symbols::SlotBytes(15), symbols::RecordSize);
    }

    void rebuiltIndexIsSortedAndSized_data()
    {
        testsupport::addRows<QList<qint32>>({ "ids" },
            {
                { "empty", QList<qint32> {} },
                { "one", QList<qint32> { 7 } },
                { "unsorted", QList<qint32> { 9, 2, 30, 5 } },
            });
    }
    void rebuiltIndexIsSortedAndSized()
    {
        QFETCH(QList<qint32>, ids);
        writeFile(dat(), library(ids));
        QCOMPARE(QFileInfo(dat()).size(), 4 + 35716 * ids.size());
        TSymbolContainer::RebuildIndex(dat(), idx());
        QCOMPARE(QFileInfo(idx()).size(), 8 * ids.size());

        QFile f(idx());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        for (qsizetype i = 0; i < ids.size(); ++i) {
            const auto id = qFromLittleEndian<qint32>(bytes.constData() + 8 * i);
            const auto offset = qFromLittleEndian<qint32>(bytes.constData() + 8 * i + 4);
            if (i > 0)
                QVERIFY(qFromLittleEndian<qint32>(bytes.constData() + 8 * (i - 1)) <= id);
            QCOMPARE(offset, 4 + 35716 * ids.indexOf(id));
        }

        const TSymbolContainer c(dat(), idx());
        QCOMPARE(c.count(), ids.size());
        for (qsizetype k = 0; k < ids.size(); ++k) {
            QCOMPARE(c.FindOffset(ids[k]), 4 + 35716 * k);
            QCOMPARE(c.IdentifierAt(c.FindPosition(ids[k])), ids[k]);
        }
        QCOMPARE(c.FindOffset(1000), 0);
        QCOMPARE(c.FindPosition(1000), 0);
    }

    void loadsTheToothsSlotFlippedAndCut_data()
    {
        testsupport::addRows<int, bool, int, bool, int>({ "tooth", "chartSize", "slot", "flipped", "height" },
            {
                { "14 odd width", 14, true, 4, false, 120 },
                { "24 odd width flipped", 24, true, 4, true, 120 },
                { "36 odd width flipped", 36, false, 10, true, 95 },
                { "28", 28, false, 0, true, 105 },
                { "38", 38, true, 8, true, 115 },
                { "41", 41, false, 15, false, 95 },
                { "65 as 17 flipped", 65, true, 1, true, 120 },
                { "81 as 41", 81, true, 15, false, 115 },
                { "75 as 47 flipped", 75, false, 9, true, 95 },
            });
    }
    void loadsTheToothsSlotFlippedAndCut()
    {
        QFETCH(int, tooth);
        QFETCH(bool, chartSize);
        QFETCH(int, slot);
        QFETCH(bool, flipped);
        QFETCH(int, height);
        const qint32 id = 4;
        writeFile(dat(), library({1, id}));
        TSymbolContainer::RebuildIndex(dat(), idx());
        const TSymbolContainer c(dat(), idx());
        const auto image = c.LoadSymbol(id, tooth, chartSize);
        QVERIFY(image.has_value());
        const int w = widths[slot];
        QCOMPARE(image->size(), QSize(w, height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < w; ++x) {
                const int sourceX = flipped ? w - 1 - x : x;
                if (image->pixelIndex(x, y) != patternPixel(id, slot, sourceX, y))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
        QCOMPARE(image->pixel(0, 0), symbols::Palette().at(patternPixel(id, slot, flipped ? w - 1 : 0, 0)));
        // Asked again (kept), and ready to paint: the same picture.
        QCOMPARE(*c.LoadSymbol(id, tooth, chartSize), *image);
        const auto paintable = c.PaintableSymbol(id, tooth, chartSize);
        QVERIFY(paintable.has_value());
        QCOMPARE(paintable->format(), QImage::Format_RGB32);
        QCOMPARE(*paintable, image->convertToFormat(QImage::Format_RGB32));
    }

    void unknownIdentifierOrToothLoadsNothing()
    {
        writeFile(dat(), library({3}));
        TSymbolContainer::RebuildIndex(dat(), idx());
        const TSymbolContainer c(dat(), idx());
        QVERIFY(!c.LoadSymbol(2, 11, true));
        QVERIFY(!c.LoadSymbol(3, 19, true));
        QVERIFY(!c.LoadSymbol(3, 0, true));
        QVERIFY(c.LoadSymbol(3, 11, true));
    }

    void encodeDecodeKeepsPaletteColours()
    {
        QImage picture(31, 124, QImage::Format_RGB32);
        for (int y = 0; y < 124; ++y)
            for (int x = 0; x < 31; ++x)
                picture.setPixel(x, y, symbols::Palette().at((x * 7 + y) % 16));
        const QByteArray packed = symbols::EncodeSlot(picture, 4);
        QCOMPARE(packed.size(), symbols::SlotBytes(4));
        const QImage back = symbols::DecodeSlot(packed.constData(), 4);
        QCOMPARE(back.convertToFormat(QImage::Format_RGB32), picture);
        // padding nibble of the odd-width row stays zero
        QCOMPARE(static_cast<uchar>(packed.at(15)) & 0x0F, 0);
    }

    void damagedFilesAreClearErrors_data()
    {
        const QByteArray two = library({1, 2});
        const QByteArray goodIdx = index({{1, 4}, {2, 4 + 35716}});
        testsupport::addRows<QByteArray, QByteArray>({ "datBytes", "idxBytes" },
            {
                { "empty file", QByteArray(), QByteArray() },
                { "header cut", QByteArray("\x01\x00", 2), QByteArray() },
                { "truncated record", two.left(two.size() - 100), goodIdx },
                { "count larger than file", library({ 1, 2 }, 1000), goodIdx },
                { "count negative", library({ 1 }, -5), QByteArray() },
                { "index past end", two, index({ { 1, 4 }, { 2, 4 + 2 * 35716 } }) },
                { "index inside a record", two, index({ { 1, 4 }, { 2, 40 } }) },
                { "index too short", two, goodIdx.left(12) },
                { "index unsorted", two, index({ { 2, 4 + 35716 }, { 1, 4 } }) },
            });
    }
    void damagedFilesAreClearErrors()
    {
        QFETCH(QByteArray, datBytes);
        QFETCH(QByteArray, idxBytes);
        writeFile(dat(), datBytes);
        writeFile(idx(), idxBytes);
        try {
            TSymbolContainer c(dat(), idx());
            QFAIL("a damaged library was accepted");
        } catch (const SymbolLibraryError& e) {
            QVERIFY(!e.message().isEmpty());
        }
    }

    void rebuildRefusesATruncatedLibrary()
    {
        writeFile(dat(), library({1, 2}).chopped(1));
        QVERIFY_THROWS_EXCEPTION(SymbolLibraryError, TSymbolContainer::RebuildIndex(dat(), idx()));
        QVERIFY_THROWS_EXCEPTION(SymbolLibraryError,
                                 TSymbolContainer(m_dir.filePath(QStringLiteral("none.dat")), idx()));
    }

    void browserCells_data()
    {
        testsupport::addRows<int, int, QSize>({ "num", "den", "cell" },
            {
                { "chart preview 3/5", 3, 5, QSize(31, 74) },
                { "picker 19/20", 19, 20, QSize(49, 117) },
                { "chooser 1/1", 1, 1, QSize(52, 124) },
            });
    }
    void browserCells()
    {
        QFETCH(int, num);
        QFETCH(int, den);
        QFETCH(QSize, cell);
        QCOMPARE(TSymbolBrowser::CellSize(num, den), cell);
    }

    // The preview: the tooth stretched into the cell, the symbol ANDed over it at its chart
    // offset; an identifier the library lacks shows the first symbol.
    void browserRendersSymbolOverTooth_data()
    {
        testsupport::addRows<qint32, bool, QRgb>({ "id", "showTooth", "onSymbol" },
            {
                { "black alone", 5, false, qRgb(0, 0, 0) },
                { "red alone", 9, false, qRgb(255, 0, 0) },
                { "absent shows the first", 7, false, qRgb(0, 0, 0) },
                { "red over yellow tooth", 9, true, qRgb(255, 0, 0) },
                { "red over green tooth is black", 9, true, qRgb(0, 0, 0) },
            });
    }
    void browserRendersSymbolOverTooth()
    {
        QFETCH(qint32, id);
        QFETCH(bool, showTooth);
        QFETCH(QRgb, onSymbol);
        QByteArray b;
        putInt(b, 2);
        putInt(b, 9);
        b.append(QByteArray(35712, char(0x99))); // red
        putInt(b, 5);
        b.append(QByteArray(35712, '\0')); // black
        writeFile(dat(), b);
        TSymbolContainer::RebuildIndex(dat(), idx());
        const TSymbolContainer c(dat(), idx());

        const bool green = QByteArray(QTest::currentDataTag()).contains("green");
        QImage clean(ChartWidth, ChartHeight, QImage::Format_RGB32);
        clean.fill(green ? QColor(0, 255, 0) : QColor(255, 255, 0));
        ChartPictures pictures;
        pictures.setCleanChart(ChartKind::Adult, clean);
        const TSymbolBrowser browser(c, pictures, nullptr, 1, 1);
        const QImage cell = browser.Render(id, 2, false, showTooth, ChartKind::Adult);
        QCOMPARE(cell.size(), QSize(52, 124));
        const int left = (52 - 36) / 2;
        QCOMPARE(cell.pixel(left + 18, 60), onSymbol);
        QCOMPARE(cell.pixel(left + 18, 5), showTooth ? clean.pixel(0, 0) : qRgb(255, 255, 255)); // above the symbol
        QCOMPARE(cell.pixel(2, 60), qRgb(255, 255, 255));                                         // beside the tooth
    }

    // A black symbol ANDed onto tooth 28 darkens exactly its place, nothing on other teeth.
    void symbolLandsOnItsTooth_data()
    {
        testsupport::addRows<int>({ "tooth" },
            {
                { "upper right 16", 16 },
                { "upper left 28", 28 },
                { "lower left 38", 38 },
                { "lower right 44", 44 },
            });
    }
    void symbolLandsOnItsTooth()
    {
        QFETCH(int, tooth);
        QByteArray b;
        putInt(b, 1);
        putInt(b, 0);
        b.append(QByteArray(35712, '\0')); // all black
        writeFile(dat(), b);
        TSymbolContainer::RebuildIndex(dat(), idx());
        const TSymbolContainer c(dat(), idx());

        QImage chart(ChartWidth, ChartHeight, QImage::Format_RGB32);
        chart.fill(QColor(200, 180, 160));
        const ChartPictures none;
        const int i = ToothIndexOf(tooth, ChartKind::Adult);
        QVERIFY(DrawSymbolOnTooth(chart, ChartKind::Adult, none, c, 0, i, true));
        QRect dark;
        for (int y = 0; y < chart.height(); ++y)
            for (int x = 0; x < chart.width(); ++x)
                if (chart.pixel(x, y) == qRgb(0, 0, 0))
                    dark |= QRect(x, y, 1, 1);
        const QRect r = ToothRect(i, ChartKind::Adult);
        QCOMPARE(dark.left(), r.left());
        QCOMPARE(dark.width(), r.width());
        QCOMPARE(dark.top(), r.top() + 17);
        QCOMPARE(dark.height(), IsUpperTooth(tooth) ? 120 : 115);
    }
};

QTEST_MAIN(TestSymbolLibrary)
#include "tst_symbollibrary.moc"
