#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace app {

// Help > About: the version and date of the program file, and Prog.bmp when it is present.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* FileDate;
    QPushButton* OKButton;
};

} // namespace app
