#pragma once

#include "widgets/DataAware.h"

#include <QLabel>

#include <functional>

namespace patients {

// The patient's photograph: the picture whose path the bound field holds (PNG, JPEG or any
// picture Qt reads), over the background picture "PhotoBack.bmp" of the program's directory.
// While the row is edited a double click chooses another file and "Clear Photo" empties the
// path. A file that cannot be read leaves the background and says why.
class PhotoBox : public QLabel, public widgets::DataAware {
    Q_OBJECT
public:
    explicit PhotoBox(QWidget* parent = nullptr);

    // The file dialog; replaceable for tests. Empty: nothing chosen.
    std::function<QString()> chooseFile;
    // Stores a picture's path in the field (the row must be edited).
    void setPhotoPath(const QString& path);
    void clearPhoto();
    // Whether a picture of the patient (not the background) is shown.
    bool showsPhoto() const { return m_showsPhoto; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void load();

    bool m_showsPhoto = false;
    QString m_shownPath;
};

} // namespace patients
