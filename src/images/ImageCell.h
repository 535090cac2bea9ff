#pragma once

#include "widgets/Forward.h"
#include <QFrame>
#include <QImage>
#include <QSize>
#include <QString>

namespace images {

// Reads a picture already scaled to fit `box`: the decoder scales (a JPEG decodes at a
// fraction of its size), so a page of thumbnails never holds the full pictures. A null image
// when the file is missing, truncated or not a picture; `error` says why.
QImage readScaledImage(const QString& path, const QSize& box, QString* error = nullptr);

// A picture with its file name as caption: the preview, a thumbnail, a slide-show cell. Showing
// a file clears the old picture first; a file that cannot be read shows a placeholder naming
// it. A click on the picture or the caption is reported; a marked cell colours its caption.
class ImageCell : public QFrame {
    Q_OBJECT
public:
    enum class CaptionPlace { None, Above, Below };
    ImageCell(CaptionPlace caption, QWidget* parent = nullptr);

    struct File {
        QString path;
        QString caption;
    };
    void showFile(const QString& path, const QString& caption);
    // A page of cells, each showing its file (a missing file leaves its cell blank). The files
    // are decoded side by side, one a core: a page of camera pictures is decode-bound.
    static void showFiles(const QList<ImageCell*>& cells, const QList<File>& files);
    void blank();
    void setMarked(bool marked);
    bool marked() const { return m_marked; }
    // Colours of the caption (or the whole panel when it has none): unmarked, marked.
    void setMarkColors(const QColor& normal, const QColor& marked);
    bool showsPlaceholder() const { return m_placeholder; }
    bool hasImage() const { return !m_image.isNull(); }
    QString path() const { return m_path; }
    QString captionText() const;

    QLabel* Picture;
    QLabel* Caption = nullptr;

signals:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void paintColors();
    void showImage();
    // Read at the size of the screen's largest cell, not of the file.
    QSize readSize() const;
    void showRead(const File& file, const QImage& image, const QString& error);

    QString m_path;
    QImage m_image;
    bool m_marked = false;
    bool m_placeholder = false;
    QColor m_normal = Qt::white;
    QColor m_markedColor = Qt::cyan;
};

} // namespace images
