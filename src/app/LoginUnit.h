#pragma once

#include "app/PasswordLib.h"
#include "widgets/Forward.h"

#include <QDialog>

namespace app {

// The login gate: decides the user's role, command level and receipts-only mode, which it
// leaves in platform::session() when it closes with OK.
class TLoginForm : public QDialog {
    Q_OBJECT
public:
    explicit TLoginForm(platform::Settings settings = platform::Settings(), QWidget* parent = nullptr);

    QLabel* UsernameLabel;
    QLabel* PasswordLabel;
    QLineEdit* UsernameEdt;
    QLineEdit* PasswordEdit;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    widgets::TLanguage* Lang;

    void OKBtnClick();
    // After a failed try OK stays disabled this long: guessing passwords takes time.
    int FailureDelayMs = 1000;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refuseForAMoment();

    TPasswordLib m_passwords;
};

} // namespace app
