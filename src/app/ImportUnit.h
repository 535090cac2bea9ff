#pragma once

#include "widgets/Forward.h"
#include <QDialog>

namespace app {

// "Import old data…": the old installation's data directory and a new one, the import with
// its progress, then its report. The new data directory is not opened here: the practice
// starts on it when the data path is set to it.
class TImportForm : public QDialog {
    Q_OBJECT
public:
    explicit TImportForm(QWidget* parent = nullptr);

    QLabel* OldDirLabel;
    QLineEdit* OldDirEdit;
    QPushButton* OldDirBtn;
    QLabel* NewDirLabel;
    QLineEdit* NewDirEdit;
    QPushButton* NewDirBtn;
    QCheckBox* KeepGoingChk;
    QLabel* StatusLabel;
    QProgressBar* ProgressBar;
    QPlainTextEdit* ReportMemo;
    QPushButton* ImportBtn;
    QPushButton* CloseBtn;
    widgets::TLanguage* Lang;

    // Runs the import of the two directories shown; true when the new one was written.
    bool ImportBtnClick();

    // Not while the import runs: it cannot stop half-way.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void chooseDirectory(QLineEdit* edit);
    bool m_running = false;
};

} // namespace app
