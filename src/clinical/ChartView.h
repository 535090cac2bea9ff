#pragma once

#include <QImage>
#include <QWidget>

namespace clinical {

// The chart picture `imTeeth`: shows the painted chart at its own size and reports presses,
// clicks and releases in picture coordinates.
class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }
    QSize sizeHint() const override;

Q_SIGNALS:
    void pressed(QPoint point);
    void clicked(QPoint point);
    void released(QPoint point);
    void menuRequested(QPoint point, QPoint globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QImage m_image;
};

} // namespace clinical
