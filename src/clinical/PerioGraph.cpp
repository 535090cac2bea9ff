#include "clinical/PerioGraph.h"

#include "clinical/ArtworkFiles.h"
#include "clinical/ChartPictures.h"
#include "platform/Directories.h"
#include "platform/Settings.h"

#include <QDir>
#include <QPainter>
#include <QPolygon>

namespace clinical {

using perio::Field;
using perio::ToothType;

namespace {

constexpr int kTextPixels = 9;

QFont smallFont()
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(kTextPixels);
    return f;
}

// Heights of the periapical mark and of the mobility text by tooth type.
int periapicalY(int tooth)
{
    const ToothType type = perio::typeOf(tooth);
    if (perio::isUpper(tooth)) {
        switch (type) {
        case ToothType::Incisor:
            return 25;
        case ToothType::Canine:
            return 50;
        case ToothType::Premolar:
            return 54;
        case ToothType::Molar:
            return 58;
        }
    }
    if (tooth % 10 == 8)
        return 352;
    switch (type) {
    case ToothType::Canine:
        return 364;
    case ToothType::Premolar:
        return 358;
    default:
        return 356;
    }
}

int mobilityY(int tooth)
{
    const ToothType type = perio::typeOf(tooth);
    if (perio::isUpper(tooth)) {
        switch (type) {
        case ToothType::Incisor:
            return 18;
        case ToothType::Canine:
            return 46;
        case ToothType::Premolar:
            return 50;
        case ToothType::Molar:
            return 54;
        }
    }
    if (tooth % 10 == 8)
        return 356;
    switch (type) {
    case ToothType::Canine:
        return 366;
    case ToothType::Premolar:
        return 362;
    default:
        return 360;
    }
}

// The two boxes of bleeding of a tooth: facial sites, then lingual.
std::pair<int, int> bleedingRows(int tooth, bool facial)
{
    if (perio::isUpper(tooth))
        return facial ? std::pair { 93, 104 } : std::pair { 197, 208 };
    return facial ? std::pair { 312, 322 } : std::pair { 207, 217 };
}

// Values beyond any real finding would run into the other side of the jaw.
int drawnDepth(int value)
{
    return qBound(0, value, 40);
}

int drawnRecession(int value)
{
    return qBound(-20, value, 40);
}

QRect rowBand(int tooth, int height)
{
    return perio::isUpper(tooth)
        ? QRect(0, 0, 16 * perio::ColumnWidth, perio::RowSplit)
        : QRect(0, perio::RowSplit, 16 * perio::ColumnWidth, height - perio::RowSplit);
}

} // namespace

QColor PerioColors::fromBgr(int bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

int PerioColors::toBgr(const QColor& c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

PerioColors PerioColors::read(const platform::Settings& s)
{
    using C = platform::Settings::PerioColor;
    PerioColors c;
    c.gm = fromBgr(s.perioColor(C::GM));
    c.bl = fromBgr(s.perioColor(C::BL));
    c.pdLower = fromBgr(s.perioColor(C::PDLower));
    c.pdGreater = fromBgr(s.perioColor(C::PDGreater));
    c.plaque = fromBgr(s.perioColor(C::Plaque));
    c.mob = fromBgr(s.perioColor(C::MOB));
    c.peri = fromBgr(s.perioColor(C::Peri));
    c.fur = fromBgr(s.perioColor(C::FUR));
    c.riskLevel = s.pdRiskLevel();
    return c;
}

void PerioColors::write(platform::Settings& s) const
{
    using C = platform::Settings::PerioColor;
    s.setPerioColor(C::GM, toBgr(gm));
    s.setPerioColor(C::BL, toBgr(bl));
    s.setPerioColor(C::PDLower, toBgr(pdLower));
    s.setPerioColor(C::PDGreater, toBgr(pdGreater));
    s.setPerioColor(C::Plaque, toBgr(plaque));
    s.setPerioColor(C::MOB, toBgr(mob));
    s.setPerioColor(C::Peri, toBgr(peri));
    s.setPerioColor(C::FUR, toBgr(fur));
    s.setPdRiskLevel(riskLevel);
}

PerioGraph::PerioGraph(QString directory)
    : m_directory(std::move(directory))
{
}

QSize PerioGraph::graphSize()
{
    return { artwork::PerioWidth, artwork::PerioHeight };
}

const QImage& PerioGraph::picture(QImage& slot, const QString& name)
{
    if (slot.isNull()) {
        const QString path = platform::findFileNoCase(m_directory, name);
        if (!slot.load(path) || slot.isNull())
            throw ArtworkError(
                QStringLiteral("Cannot open file \"%1\".").arg(QDir(m_directory).filePath(name)));
    }
    return slot;
}

int PerioGraph::baseLine(int tooth, int site)
{
    const bool facial = site <= 3;
    if (perio::isUpper(tooth))
        return facial ? 70 : 174;
    return facial ? 346 : 241;
}

int PerioGraph::marginOf(int tooth, int site, int recession)
{
    const int towardsPocket = perio::isUpper(tooth) ? -1 : 1;
    return baseLine(tooth, site) + towardsPocket * 2 * drawnRecession(recession);
}

QRect PerioGraph::toothArea(int tooth, const QSize& size)
{
    // The recession lines between this tooth and its neighbours: from the previous tooth's last
    // site (10 pixels before the column) to 9 pixels into the next column, the pen's caps one more.
    return QRect(perio::x0Of(tooth) - 11, 0, perio::ColumnWidth + 23, size.height())
        .intersected(QRect(QPoint(0, 0), size));
}

void PerioGraph::drawAll(QImage& image, const perio::Chart& chart)
{
    if (image.size() != graphSize())
        image = QImage(graphSize(), QImage::Format_RGB32);
    QPainter p(&image);
    p.drawImage(0, 0, picture(m_all, artwork::perioAll()));
    for (int tooth : perio::walkOrder())
        paintTooth(p, chart, tooth, image.height());
}

void PerioGraph::drawTooth(QImage& image, const perio::Chart& chart, int tooth)
{
    if (image.size() != graphSize()) {
        drawAll(image, chart);
        return;
    }
    const QRect area = toothArea(tooth, image.size());
    QPainter p(&image);
    p.drawImage(area.topLeft(), picture(m_all, artwork::perioAll()), area);
    // Every tooth whose marks reach into the area, in both rows.
    const int column = perio::columnOf(tooth);
    for (int t : perio::walkOrder()) {
        const int c = perio::columnOf(t);
        if (c < column - 1 || c > column + 1)
            continue;
        p.save();
        p.setClipRect(area);
        paintTooth(p, chart, t, image.height());
        p.restore();
    }
}

void PerioGraph::paintTooth(QPainter& p, const perio::Chart& chart, int tooth, int height)
{
    const perio::Tooth& values = chart.tooth(tooth);
    const int x0 = perio::x0Of(tooth);
    if (values.missing) {
        if (perio::isUpper(tooth))
            p.drawImage(x0 + 2, 20, picture(m_oneUp, artwork::perioOneUp()));
        else
            p.drawImage(x0 + 2, 209, picture(m_oneDown, artwork::perioOneDown()));
        return;
    }
    const bool clipped = p.hasClipping();
    const QRegion outer = p.clipRegion();
    const auto clipTo = [&](const QRect& r) {
        if (clipped)
            p.setClipRegion(outer.intersected(r));
        else
            p.setClipRect(r);
    };
    // Lines and bars stay in the tooth's row; the line of the last site reaches the next tooth.
    clipTo(rowBand(tooth, height).intersected(QRect(x0, 0, perio::ColumnWidth + 12, height)));
    paintSites(p, chart, tooth);
    clipTo(QRect(x0, 0, perio::ColumnWidth, height));
    paintToothMarks(p, values, tooth);
    if (!values.notes.isEmpty())
        p.drawImage(
            x0 + 10, perio::isUpper(tooth) ? 5 : height - 15, picture(m_notes, artwork::perioNotes()));
    if (clipped)
        p.setClipRegion(outer);
    else
        p.setClipping(false);
}

void PerioGraph::paintSites(QPainter& p, const perio::Chart& chart, int tooth)
{
    const perio::Tooth& values = chart.tooth(tooth);
    const int x0 = perio::x0Of(tooth);
    const int towardsPocket = perio::isUpper(tooth) ? -1 : 1;
    const int right = perio::rightNeighbour(tooth);
    const QPen recession(m_colors.gm, 2);
    for (int s = 1; s <= 6; ++s) {
        const int k = s <= 3 ? s - 1 : s - 4;
        const int x = x0 + 7 + 10 * k;
        const int margin = marginOf(tooth, s, values.gm(s));
        p.setPen(recession);
        if (s != 3 && s != 6) {
            p.drawLine(x + 2, margin, x + 12, marginOf(tooth, s + 1, values.gm(s + 1)));
        } else if (right) {
            const int site = s == 3 ? 1 : 4;
            p.drawLine(x + 2, margin, x + 19, marginOf(right, site, chart.tooth(right).gm(site)));
        }
        const int depth = drawnDepth(values.pd(s));
        if (depth != 0) {
            const QColor colour = values.pd(s) >= m_colors.riskLevel ? m_colors.pdGreater : m_colors.pdLower;
            const int top = towardsPocket < 0 ? margin - 2 * depth : margin;
            p.fillRect(QRect(x, top, 4, 2 * depth), colour);
        }
    }
}

void PerioGraph::paintToothMarks(QPainter& p, const perio::Tooth& values, int tooth)
{
    const int x0 = perio::x0Of(tooth);
    const bool upper = perio::isUpper(tooth);
    p.setFont(smallFont());
    for (int s = 1; s <= 6; ++s) {
        const int bleeding = values.bleeding(s);
        if (bleeding == 0)
            continue;
        const int x = x0 + 7 + 10 * (s <= 3 ? s - 1 : s - 4);
        const auto [top, bottom] = bleedingRows(tooth, s <= 3);
        const QRect box(x - 3, top, 10, bottom - top);
        p.setPen(m_colors.bl);
        p.setBrush(Qt::white);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.drawText(box, Qt::AlignCenter, QString::number(bleeding));
    }
    p.setBrush(Qt::NoBrush);
    if (values[Field::Periapidal] != 0) {
        const QRect apex(x0 + 7, periapicalY(tooth), 23, 10);
        p.setPen(Qt::NoPen);
        p.setBrush(m_colors.peri);
        p.drawEllipse(apex);
        p.setBrush(QBrush(Qt::white, Qt::DiagCrossPattern));
        p.drawEllipse(apex);
        p.setBrush(Qt::NoBrush);
    }
    const auto text = [&p](int x, int y, const QString& s) {
        p.drawText(QRect(x, y, perio::ColumnWidth, 12), Qt::AlignLeft | Qt::AlignTop, s);
    };
    p.setPen(m_colors.plaque);
    if (values[Field::PlaqueOut] != 0)
        text(x0 + 9, upper ? 80 : 326, QStringLiteral("P%1").arg(values[Field::PlaqueOut]));
    if (values[Field::PlaqueIn] != 0)
        text(x0 + 9, upper ? 182 : 221, QStringLiteral("P%1").arg(values[Field::PlaqueIn]));
    if (values[Field::MOB] != 0) {
        p.setPen(m_colors.mob);
        text(x0 + 5, mobilityY(tooth), QStringLiteral("MOB%1").arg(values[Field::MOB]));
    }
    if (perio::drawsFurcation(tooth)) {
        for (Field entrance : { Field::FurB, Field::FurL, Field::FurD, Field::FurM }) {
            if (values[entrance] != 0)
                paintFurcation(p, tooth, entrance, values[entrance]);
        }
    }
}

void PerioGraph::paintFurcation(QPainter& p, int tooth, Field entrance, int grade)
{
    if (grade > 3)
        return;
    const int x0 = perio::x0Of(tooth);
    const bool upper = perio::isUpper(tooth);
    const bool premolar = tooth == 14 || tooth == 24;
    int f = 0;
    switch (entrance) {
    case Field::FurB:
        f = upper ? 15 : 7;
        break;
    case Field::FurD:
        f = premolar ? 23 : 26;
        break;
    case Field::FurL:
        f = 23;
        break;
    default:
        f = premolar ? 7 : 4;
        break;
    }
    int fx = x0 + f;
    if (tooth / 10 == 1 || tooth / 10 == 4)
        fx = 2 * (x0 + 18) - fx - 7; // the patient's right: mirrored in the column
    const int fy = upper ? 107 : 295;
    p.setPen(m_colors.fur);
    if (grade == 1) {
        const QPoint v[] = { { fx, fy }, { fx + 4, fy + 4 }, { fx + 8, fy - 1 } };
        p.drawPolyline(v, 3);
    } else {
        const QPoint v[] = { { fx, fy }, { fx + 4, fy + 4 }, { fx + 8, fy } };
        p.setBrush(grade == 3 ? QBrush(m_colors.fur) : QBrush());
        p.drawPolygon(v, 3);
        p.setBrush(Qt::NoBrush);
    }
    p.drawRect(QRect(fx - 1, fy + 4, 10, 12).adjusted(0, 0, -1, -1));
    const char* letter = entrance == Field::FurB ? "B"
        : entrance == Field::FurL                ? "L"
        : entrance == Field::FurM                ? "M"
                                                 : "D";
    p.drawText(QRect(fx, fy + 4, 9, 12), Qt::AlignLeft | Qt::AlignTop, QString::fromLatin1(letter));
}

} // namespace clinical
