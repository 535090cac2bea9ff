#include "widgets/RegionImage.h"

#include <QMouseEvent>
#include <QPainter>

namespace widgets {

RegionImage::RegionImage(QWidget* parent)
    : QWidget(parent)
{
}

void RegionImage::loadPackage(const QString& path) { setPackage(ReadRegionPackage(path)); }

void RegionImage::setPackage(RegionPackage package)
{
    m_package = std::move(package);
    m_paths.clear();
    for (const Region& region : std::as_const(m_package.regions))
        m_paths.append(region.path());
    m_fills.clear();
    m_cache = {};
    setFixedSize(m_package.picture.size());
    update();
}

QString RegionImage::regionName(int index) const
{
    return index >= 0 && index < m_package.regions.size() ? m_package.regions[index].name : QString();
}

int RegionImage::regionAt(QPointF point) const
{
    for (qsizetype i = m_paths.size() - 1; i >= 0; --i)
        if (m_paths[i].contains(point))
            return static_cast<int>(i);
    return -1;
}

bool RegionImage::fillRegion(const QString& name, const QColor& colour)
{
    const int index = findRegion(name);
    if (index < 0)
        return false;
    fillRegion(index, colour);
    return true;
}

void RegionImage::fillRegion(int index, const QColor& colour)
{
    if (index < 0 || index >= m_paths.size())
        return;
    m_fills.insert(index, colour);
    m_cache = {};
    update();
}

void RegionImage::clearFills()
{
    m_fills.clear();
    m_cache = {};
    update();
}

QImage RegionImage::rendered() const
{
    if (!m_cache.isNull() || m_package.picture.isNull())
        return m_cache;
    m_cache = RenderRegions(m_package, m_fills);
    return m_cache;
}

QSize RegionImage::sizeHint() const { return m_package.picture.isNull() ? QSize(1, 1) : m_package.picture.size(); }

void RegionImage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, rendered());
}

void RegionImage::mousePressEvent(QMouseEvent* event)
{
    const int index = regionAt(event->position());
    if (index >= 0)
        Q_EMIT regionClicked(index, regionName(index));
    QWidget::mousePressEvent(event);
}

} // namespace widgets
