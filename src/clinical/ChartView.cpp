#include "clinical/ChartView.h"

#include "clinical/ToothGeometry.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

namespace clinical {

ChartView::ChartView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("imTeeth"));
    setFixedSize(ChartWidth, ChartHeight);
    setCursor(Qt::PointingHandCursor);
}

void ChartView::setImage(const QImage& image)
{
    m_image = image;
    update();
}

QSize ChartView::sizeHint() const
{
    return {ChartWidth, ChartHeight};
}

void ChartView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, m_image);
}

void ChartView::mousePressEvent(QMouseEvent* event)
{
    Q_EMIT pressed(event->position().toPoint());
}

void ChartView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && rect().contains(at))
        Q_EMIT clicked(at);
    Q_EMIT released(at);
}

void ChartView::contextMenuEvent(QContextMenuEvent* event)
{
    Q_EMIT menuRequested(event->pos(), event->globalPos());
}

} // namespace clinical
