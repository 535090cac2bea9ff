#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace widgets {

// The placement store of a window: its position, size and state kept in the placement file
// of the edition (Orvane.INI or Telvi.INI), one section named after the window's component
// name with the keys Left, Top, Width, Height and WindowState (0 normal, 1 minimised,
// 2 maximised). The window is placed when it is first shown and stored whenever it is hidden
// or closed. A window inside the frame is placed through its sub-window.
class WindowPlacement : public QObject {
    Q_OBJECT
public:
    // `filePath` empty: the placement file of this run's edition.
    explicit WindowPlacement(QWidget* window, QString filePath = {});

    QString filePath() const { return m_filePath; }
    // Both return false when there is nothing to do (no stored section, no window). A window
    // restored before it is shown is not restored again by its first show.
    bool restore();
    bool save();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* frameOf() const;

    QPointer<QWidget> m_window;
    QString m_filePath;
    bool m_restored = false;
};

} // namespace widgets
