#include "patients/PhotoBox.h"

#include "platform/Directories.h"
#include "platform/MessageService.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QImageReader>
#include <QMenu>

namespace patients {
namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 200;

QPixmap scaled(const QImage& image)
{
    return QPixmap::fromImage(image.scaled(kWidth, kHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace

PhotoBox::PhotoBox(QWidget* parent)
    : QLabel(parent)
    , DataAware(this)
{
    setFixedSize(kWidth, kHeight);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAlignment(Qt::AlignCenter);
    connect(dataLink(), &widgets::FieldDataLink::dataChanged, this, &PhotoBox::load);
    chooseFile = [this] {
        return QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("Pictures (*.png *.jpg *.jpeg *.bmp)"));
    };
    load();
}

void PhotoBox::load()
{
    const QString path = dataLink()->value().toString();
    if (path == m_shownPath && (m_showsPhoto || !pixmap().isNull()))
        return;
    m_shownPath = path;
    m_showsPhoto = false;
    const QImage background(platform::programFile(QStringLiteral("PhotoBack.bmp")));
    setPixmap(background.isNull() ? QPixmap() : scaled(background));
    if (path.isEmpty())
        return;
    QImageReader reader(path);
    const QImage photo = reader.read();
    if (photo.isNull()) {
        platform::showError(path + QStringLiteral(": ") + reader.errorString());
        return;
    }
    setPixmap(scaled(photo));
    m_showsPhoto = true;
}

void PhotoBox::setPhotoPath(const QString& path)
{
    if (dataLink()->write(path))
        load();
}

void PhotoBox::clearPhoto()
{
    if (dataLink()->write(QVariant()))
        load();
}

void PhotoBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLabel::mouseDoubleClickEvent(event);
    if (!dataLink()->isEditing() || !chooseFile)
        return;
    const QString path = chooseFile();
    if (!path.isEmpty())
        setPhotoPath(path);
}

void PhotoBox::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* clear = menu.addAction(QStringLiteral("Clear Photo"));
    clear->setEnabled(dataLink()->isEditing());
    if (menu.exec(event->globalPos()) == clear)
        clearPhoto();
}

} // namespace patients
