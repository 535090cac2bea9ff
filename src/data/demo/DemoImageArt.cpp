#include "data/demo/DemoImageArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

namespace data::demo {

namespace {

// One tooth standing up: a crown over one or two tapering roots, centred at x.
QPainterPath toothPath(double x, double top, double width, double height, int roots)
{
    QPainterPath path;
    const double crown = height * 0.38;
    path.addRoundedRect(QRectF(x - width / 2, top, width, crown), width * 0.3, width * 0.3);
    const double rootWidth = width / (roots == 1 ? 1.6 : 2.6);
    for (int r = 0; r < roots; ++r) {
        const double cx = roots == 1 ? x : x - width / 4 + r * width / 2;
        QPainterPath root;
        root.moveTo(cx - rootWidth / 2, top + crown * 0.8);
        root.lineTo(cx + rootWidth / 2, top + crown * 0.8);
        root.quadTo(cx + rootWidth / 3, top + height * 0.8, cx, top + height);
        root.quadTo(cx - rootWidth / 3, top + height * 0.8, cx - rootWidth / 2, top + crown * 0.8);
        path = path.united(root);
    }
    return path;
}

int rootsOf(int tooth)
{
    const int place = tooth % 10;
    return place >= 6 ? 2 : 1;
}

} // namespace

QImage drawRadiograph(int tooth, quint32 seed, QSize size)
{
    QRandomGenerator random(seed);
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient film(size.width() / 2.0, size.height() / 2.0, size.width() * 0.7);
    film.setColorAt(0, QColor(70, 70, 70));
    film.setColorAt(1, QColor(18, 18, 18));
    p.fillRect(image.rect(), film);
    // Bone, grainy.
    for (int i = 0; i < size.width() * size.height() / 60; ++i) {
        const int grey = 60 + static_cast<int>(random.bounded(50u));
        p.setPen(QColor(grey, grey, grey));
        p.drawPoint(static_cast<int>(random.bounded(static_cast<quint32>(size.width()))),
            static_cast<int>(random.bounded(static_cast<quint32>(size.height()))));
    }
    const double w = size.width() / 4.2;
    const double h = size.height() * 0.85;
    const bool upper = (tooth / 10) % 2 == 1 || tooth / 10 == 6 || tooth / 10 == 5;
    for (int n = -1; n <= 1; ++n) {
        const double x = size.width() / 2.0 + n * w * 1.15;
        QPainterPath path = toothPath(x, size.height() * 0.06, w, h, rootsOf(tooth));
        QLinearGradient enamel(0, 0, 0, size.height());
        enamel.setColorAt(0, QColor(235, 235, 235));
        enamel.setColorAt(0.4, QColor(190, 190, 190));
        enamel.setColorAt(1, QColor(150, 150, 150));
        p.fillPath(path, enamel);
        // Pulp and canals, darker inside.
        p.fillPath(
            toothPath(x, size.height() * 0.16, w * 0.35, h * 0.82, rootsOf(tooth)), QColor(95, 95, 95));
        if (n == 0 && random.bounded(3u) == 0) // a filling shows white
            p.fillRect(QRectF(x - w * 0.25, size.height() * 0.08, w * 0.5, h * 0.12), QColor(252, 252, 252));
    }
    p.end();
    if (upper)
        image = image.mirrored(false, true);
    return image.convertToFormat(QImage::Format_Grayscale8);
}

QImage drawIntraoralPhoto(int tooth, quint32 seed, QSize size)
{
    QRandomGenerator random(seed);
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient mouth(size.width() / 2.0, size.height() / 2.0, size.width() * 0.6);
    mouth.setColorAt(0, QColor(120, 30, 40));
    mouth.setColorAt(1, QColor(40, 8, 12));
    p.fillRect(image.rect(), mouth);
    // Gums.
    QPainterPath gum;
    gum.addRoundedRect(
        QRectF(size.width() * 0.04, size.height() * 0.18, size.width() * 0.92, size.height() * 0.64), 80, 60);
    p.fillPath(gum, QColor(214, 120, 128));
    // Teeth along an arch, the asked one in the middle.
    const int count = 5;
    const double w = size.width() * 0.8 / count;
    for (int n = 0; n < count; ++n) {
        const double x = size.width() * 0.1 + n * w;
        const double lift = std::abs(n - count / 2) * size.height() * 0.03;
        QRectF crown(x + 3, size.height() * 0.28 + lift, w - 6, size.height() * 0.44 - 2 * lift);
        // The asked tooth in the middle: a molar shows its broad chewing surface.
        if (n == count / 2 && tooth % 10 >= 6)
            crown.adjust(-w * 0.08, -lift, w * 0.08, 0);
        QLinearGradient shade(crown.topLeft(), crown.bottomLeft());
        const int tint = static_cast<int>(random.bounded(20u));
        shade.setColorAt(0, QColor(250 - tint, 246 - tint, 228 - tint));
        shade.setColorAt(1, QColor(222 - tint, 210 - tint, 180 - tint));
        QPainterPath path;
        path.addRoundedRect(crown, w * 0.3, w * 0.3);
        p.fillPath(path, shade);
        p.setPen(QPen(QColor(170, 150, 120), 1));
        p.drawPath(path);
    }
    // A light reflection, as from the camera's ring light.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawEllipse(QPointF(size.width() * 0.5, size.height() * 0.35), w * 0.18, w * 0.1);
    p.end();
    return image;
}

} // namespace data::demo
