#include "images/ImageCell.h"

#include <QEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentMap>

#include <numeric>

namespace images {

QImage readScaledImage(const QString& path, const QSize& box, QString* error)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage image;
    if (!reader.canRead()) {
        if (error)
            *error = QFileInfo::exists(path) ? QStringLiteral("not a picture")
                                             : QStringLiteral("file not found");
        return image;
    }
    const QSize full = reader.size();
    if (full.isValid() && box.isValid() && (full.width() > box.width() || full.height() > box.height())) {
        reader.setScaledSize(full.scaled(box, Qt::KeepAspectRatio));
        // A picture shown at a fraction of its size: the decoder's fast path is good enough.
        reader.setQuality(40);
    }
    if (!reader.read(&image)) {
        if (error)
            *error = reader.errorString();
        return QImage();
    }
    return image;
}

ImageCell::ImageCell(CaptionPlace caption, QWidget* parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setAutoFillBackground(true);
    Picture = new QLabel(this);
    Picture->setAlignment(Qt::AlignCenter);
    Picture->setMinimumSize(60, 45);
    Picture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    Picture->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(2);
    if (caption != CaptionPlace::None) {
        Caption = new QLabel(this);
        Caption->setAlignment(Qt::AlignCenter);
        Caption->setAutoFillBackground(true);
        Caption->installEventFilter(this);
        Caption->setTextInteractionFlags(Qt::NoTextInteraction);
    }
    if (caption == CaptionPlace::Above)
        layout->addWidget(Caption);
    layout->addWidget(Picture, 1);
    if (caption == CaptionPlace::Below)
        layout->addWidget(Caption);
    paintColors();
}

QString ImageCell::captionText() const
{
    return Caption ? Caption->text() : QString();
}

void ImageCell::blank()
{
    m_path.clear();
    m_image = QImage();
    m_placeholder = false;
    Picture->clear();
    if (Caption)
        Caption->clear();
    Picture->update();
}

QSize ImageCell::readSize() const
{
    return Picture->size().expandedTo(QSize(240, 180));
}

void ImageCell::showFile(const QString& path, const QString& caption)
{
    QString error;
    const QImage image = readScaledImage(path, readSize(), &error);
    showRead({ path, caption }, image, error);
}

void ImageCell::showFiles(const QList<ImageCell*>& cells, const QList<File>& files)
{
    struct Read {
        QImage image;
        QString error;
    };
    QList<QSize> sizes;
    for (int k = 0; k < files.size() && k < cells.size(); ++k)
        sizes << cells[k]->readSize();
    QList<int> order(sizes.size());
    std::iota(order.begin(), order.end(), 0);
    const QList<Read> read = QtConcurrent::blockingMapped(order, [&](int k) {
        Read r;
        r.image = readScaledImage(files[k].path, sizes[k], &r.error);
        return r;
    });
    for (int k = 0; k < cells.size(); ++k) {
        if (k < read.size())
            cells[k]->showRead(files[k], read[k].image, read[k].error);
        else
            cells[k]->blank();
    }
}

void ImageCell::showRead(const File& file, const QImage& image, const QString& error)
{
    blank();
    m_path = file.path;
    if (Caption)
        Caption->setText(file.caption);
    m_image = image;
    m_placeholder = m_image.isNull();
    const QString name = QFileInfo(file.path).fileName();
    Picture->setToolTip(m_placeholder ? name + QStringLiteral(": ") + error : name);
    showImage();
}

void ImageCell::showImage()
{
    if (m_path.isEmpty()) {
        Picture->clear();
        return;
    }
    const QSize area = Picture->size().boundedTo(QSize(4000, 4000)).expandedTo(QSize(40, 30));
    if (m_placeholder) {
        QPixmap sign(area);
        sign.fill(QColor(235, 235, 235));
        QPainter p(&sign);
        p.setPen(QPen(QColor(160, 40, 40), 2));
        p.drawRect(sign.rect().adjusted(1, 1, -2, -2));
        p.drawLine(sign.rect().topLeft(), sign.rect().bottomRight());
        p.drawLine(sign.rect().topRight(), sign.rect().bottomLeft());
        p.setPen(Qt::black);
        QRect text = sign.rect().adjusted(4, 4, -4, -4);
        p.fillRect(QRect(text.left(), text.center().y() - 12, text.width(), 24), QColor(235, 235, 235));
        p.drawText(text, Qt::AlignCenter | Qt::TextWrapAnywhere,
            QStringLiteral("?  ") + QFileInfo(m_path).fileName());
        p.end();
        Picture->setPixmap(sign);
        return;
    }
    Picture->setPixmap(
        QPixmap::fromImage(m_image.scaled(area, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void ImageCell::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    showImage();
}

void ImageCell::setMarked(bool marked)
{
    m_marked = marked;
    paintColors();
}

void ImageCell::setMarkColors(const QColor& normal, const QColor& marked)
{
    m_normal = normal;
    m_markedColor = marked;
    paintColors();
}

void ImageCell::paintColors()
{
    QWidget* coloured = Caption ? static_cast<QWidget*>(Caption) : this;
    QPalette palette = coloured->palette();
    palette.setColor(QPalette::Window, m_marked ? m_markedColor : m_normal);
    if (Caption)
        palette.setColor(
            QPalette::WindowText, m_marked && m_markedColor.lightness() < 128 ? Qt::white : Qt::black);
    coloured->setPalette(palette);
}

bool ImageCell::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == Picture || watched == Caption) && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit clicked();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace images
