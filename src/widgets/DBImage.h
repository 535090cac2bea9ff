#pragma once

#include "widgets/DataAware.h"

#include <QImage>
#include <QLabel>

namespace widgets {

// A data-aware picture over a binary field holding a PNG or JPEG file: shown scaled to fit,
// keeping its proportions. Loading from a file stores PNG and JPEG files as they are and any
// other picture as PNG; clearing empties the field. The context menu offers both while the
// field can be changed.
class DBImage : public QLabel, public DataAware {
    Q_OBJECT
public:
    explicit DBImage(QWidget* parent = nullptr);

    QImage image() const { return m_image; }
    // False, with a message shown, when the file is not a picture or the field refuses it.
    bool loadFromFile(const QString& fileName);
    bool setImage(const QImage& image);
    bool clearImage();
    // Asks for a picture file and loads it.
    void chooseFile();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void load();
    void showScaled();

    QImage m_image;
};

} // namespace widgets
