#include "app/ToolBarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace app {
namespace {

constexpr int kSize = 64; // drawn large, shown at 32

const QColor kInk(0x1f, 0x3a, 0x68);
const QColor kPaper(0xfd, 0xfd, 0xf8);

void magnifier(QPainter& p)
{
    p.setPen(QPen(kInk, 5));
    p.setBrush(QColor(0xcf, 0xe8, 0xff));
    p.drawEllipse(QRectF(8, 8, 32, 32));
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x2b), 9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(37, 37), QPointF(55, 55));
}

void patientCard(QPainter& p)
{
    p.setPen(QPen(kInk, 3));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(6, 12, 52, 40), 5, 5);
    p.setBrush(QColor(0x4a, 0x86, 0xc8));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(13, 20, 14, 14));
    p.drawChord(QRectF(9, 33, 22, 22), 0, 180 * 16);
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    for (int y : { 24, 32, 40 })
        p.drawLine(QPointF(34, y), QPointF(51, y));
}

void tooth(QPainter& p)
{
    QPainterPath path;
    path.moveTo(14, 14);
    path.cubicTo(20, 4, 28, 10, 32, 12);
    path.cubicTo(36, 10, 44, 4, 50, 14);
    path.cubicTo(55, 24, 50, 32, 47, 40);
    path.cubicTo(45, 50, 44, 58, 40, 58);
    path.cubicTo(36, 58, 36, 44, 32, 44);
    path.cubicTo(28, 44, 28, 58, 24, 58);
    path.cubicTo(20, 58, 19, 50, 17, 40);
    path.cubicTo(14, 32, 9, 24, 14, 14);
    p.setPen(QPen(kInk, 3));
    p.setBrush(QColor(0xff, 0xff, 0xf4));
    p.drawPath(path);
    p.setPen(QPen(QColor(0x9a, 0xc4, 0xe8), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(20, 14, 12, 10), 90 * 16, 90 * 16);
}

void coins(QPainter& p)
{
    p.setPen(QPen(QColor(0x8a, 0x6a, 0x10), 3));
    for (int i = 0; i < 3; ++i) {
        p.setBrush(QColor(0xf2, 0xc9, 0x4c));
        p.drawEllipse(QRectF(6 + i * 4, 40 - i * 8, 30, 14));
    }
    p.setBrush(QColor(0xf7, 0xd8, 0x6a));
    p.drawEllipse(QRectF(28, 14, 30, 30));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(22);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x8a, 0x6a, 0x10));
    p.drawText(QRectF(28, 14, 30, 30), Qt::AlignCenter, QStringLiteral("€"));
}

void picture(QPainter& p)
{
    p.setPen(QPen(kInk, 3));
    p.setBrush(QColor(0xd8, 0xee, 0xff));
    p.drawRect(QRectF(6, 12, 52, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xb9, 0x2c));
    p.drawEllipse(QRectF(40, 17, 10, 10));
    QPainterPath hills;
    hills.moveTo(8, 50);
    hills.lineTo(24, 28);
    hills.lineTo(36, 42);
    hills.lineTo(44, 34);
    hills.lineTo(56, 50);
    hills.closeSubpath();
    p.setBrush(QColor(0x3f, 0x8f, 0x4f));
    p.drawPath(hills);
}

void xray(QPainter& p)
{
    p.setPen(QPen(kInk, 3));
    p.setBrush(QColor(0x22, 0x2a, 0x33));
    p.drawRoundedRect(QRectF(6, 10, 52, 44), 4, 4);
    p.setPen(QPen(QColor(0xe8, 0xf0, 0xf8), 4, Qt::SolidLine, Qt::RoundCap));
    for (int x : { 20, 32, 44 }) {
        p.drawLine(QPointF(x, 18), QPointF(x, 34));
        p.drawLine(QPointF(x - 3, 34), QPointF(x - 4, 46));
        p.drawLine(QPointF(x + 3, 34), QPointF(x + 4, 46));
    }
}

void calendar(QPainter& p)
{
    p.setPen(QPen(kInk, 3));
    p.setBrush(kPaper);
    p.drawRect(QRectF(8, 12, 48, 44));
    p.setBrush(QColor(0xc8, 0x3c, 0x3c));
    p.drawRect(QRectF(8, 12, 48, 11));
    p.setPen(QPen(kInk, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20, 7), QPointF(20, 16));
    p.drawLine(QPointF(44, 7), QPointF(44, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x86, 0xc8));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawRect(QRectF(13 + col * 11, 28 + row * 9, 7, 6));
}

void notes(QPainter& p)
{
    p.setPen(QPen(kInk, 3));
    p.setBrush(QColor(0xff, 0xf6, 0xb8));
    p.drawRect(QRectF(10, 8, 38, 50));
    p.setPen(QPen(QColor(0x8a, 0x9a, 0xaa), 2));
    for (int y = 20; y <= 50; y += 8)
        p.drawLine(QPointF(15, y), QPointF(43, y));
    p.setPen(QPen(QColor(0x2b, 0x5f, 0xa8), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(56, 18), QPointF(36, 46));
}

void history(QPainter& p)
{
    p.setPen(QPen(kInk, 3));
    p.setBrush(kPaper);
    p.drawRect(QRectF(6, 8, 40, 48));
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    for (int y = 18; y <= 46; y += 9)
        p.drawLine(QPointF(12, y), QPointF(38, y));
    p.setPen(QPen(kInk, 3));
    p.setBrush(QColor(0xcf, 0xe8, 0xff));
    p.drawEllipse(QRectF(32, 32, 26, 26));
    p.drawLine(QPointF(45, 45), QPointF(45, 37));
    p.drawLine(QPointF(45, 45), QPointF(51, 45));
}

} // namespace

QIcon toolBarIcon(int imageIndex)
{
    using Draw = void (*)(QPainter&);
    static constexpr Draw kDrawings[] = { magnifier, patientCard, tooth, coins, picture, nullptr, xray, calendar, notes, history };
    if (imageIndex < 0 || imageIndex >= int(std::size(kDrawings)) || !kDrawings[imageIndex])
        return {};
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    kDrawings[imageIndex](painter);
    painter.end();
    return QIcon(pixmap);
}

} // namespace app
