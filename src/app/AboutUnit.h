#pragma once

#include "widgets/Forward.h"
#include <QDialog>

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
