#include "widgets/DBImage.h"

#include "platform/MessageService.h"

#include <QBuffer>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <QMenu>

namespace widgets {

DBImage::DBImage(QWidget* parent)
    : QLabel(parent)
    , DataAware(this)
{
    setAlignment(Qt::AlignCenter);
    setMinimumSize(16, 16);
    connect(dataLink(), &FieldDataLink::dataChanged, this, &DBImage::load);
}

void DBImage::load()
{
    const QByteArray bytes = dataLink()->value().toByteArray();
    m_image = bytes.isEmpty() ? QImage() : QImage::fromData(bytes);
    showScaled();
}

void DBImage::showScaled()
{
    if (m_image.isNull()) {
        clear();
        return;
    }
    setPixmap(QPixmap::fromImage(m_image.scaled(contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void DBImage::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    showScaled();
}

bool DBImage::loadFromFile(const QString& fileName)
{
    QImageReader reader(fileName);
    const QByteArray format = reader.format().toLower();
    QImage image = reader.read();
    if (image.isNull()) {
        platform::showError(QStringLiteral("\"%1\" is not a picture: %2.").arg(fileName, reader.errorString()));
        return false;
    }
    if (format == "png" || format == "jpeg" || format == "jpg") {
        QFile file(fileName);
        if (file.open(QIODevice::ReadOnly))
            return dataLink()->write(file.readAll());
    }
    return setImage(image);
}

bool DBImage::setImage(const QImage& image)
{
    if (image.isNull())
        return clearImage();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return dataLink()->write(bytes);
}

bool DBImage::clearImage()
{
    return dataLink()->write(QVariant());
}

void DBImage::chooseFile()
{
    if (!dataLink()->canModify())
        return;
    const QString fileName = QFileDialog::getOpenFileName(this, QStringLiteral("Picture"), {},
        QStringLiteral("Pictures (*.png *.jpg *.jpeg *.bmp);;All files (*)"));
    if (!fileName.isEmpty())
        loadFromFile(fileName);
}

void DBImage::contextMenuEvent(QContextMenuEvent* event)
{
    if (!dataLink()->canModify())
        return;
    QMenu menu(this);
    menu.addAction(QStringLiteral("Load Picture..."), this, &DBImage::chooseFile);
    menu.addAction(QStringLiteral("Clear Picture"), this, &DBImage::clearImage)->setEnabled(!m_image.isNull());
    menu.exec(event->globalPos());
}

void DBImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLabel::mouseDoubleClickEvent(event);
    chooseFile();
}

} // namespace widgets
