#pragma once

#include "widgets/Forward.h"
#include <QDialog>

namespace app {

// The progress window of the start: "Αρχικοποίηση δεδομένων" with a bar and "n/100" while the
// data module opens its views.
class TStatusFrm : public QDialog {
    Q_OBJECT
public:
    explicit TStatusFrm(QWidget* parent = nullptr);

    QLabel* StatusLabel;
    QProgressBar* ProgressBar;
    QLabel* ProgressLabel;
    QPushButton* CancelBtn;

    // 0..100; paints at once, as the start-up does not return to the event loop meanwhile.
    void setProgress(int percent);
    int progress() const;
};

} // namespace app
