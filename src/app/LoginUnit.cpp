#include "app/LoginUnit.h"

#include "platform/MessageService.h"
#include "platform/Session.h"
#include "widgets/Language.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace app {

TLoginForm::TLoginForm(platform::Settings settings, QWidget* parent)
    : QDialog(parent)
    , UsernameLabel(new QLabel(QStringLiteral("Username:"), this))
    , PasswordLabel(new QLabel(QStringLiteral("Password"), this))
    , UsernameEdt(new QLineEdit(this))
    , PasswordEdit(new QLineEdit(this))
    , OKBtn(new QPushButton(QStringLiteral("OK"), this))
    , CancelBtn(new QPushButton(QStringLiteral("Cancel"), this))
    , Lang(new widgets::TLanguage(this,
          { QStringLiteral("LoginForm.Caption"), QStringLiteral("LoginForm.Label1.Caption"),
              QStringLiteral("LoginForm.Label2.Caption"), QStringLiteral("LoginForm.OKBtn.Caption"),
              QStringLiteral("LoginForm.CancelBtn.Caption") }))
    , m_passwords(std::move(settings))
{
    setObjectName(QStringLiteral("LoginForm"));
    setWindowTitle(QStringLiteral("Login"));
    UsernameLabel->setObjectName(QStringLiteral("Label1"));
    PasswordLabel->setObjectName(QStringLiteral("Label2"));
    UsernameEdt->setObjectName(QStringLiteral("UsernameEdt"));
    PasswordEdit->setObjectName(QStringLiteral("PasswordEdit"));
    PasswordEdit->setEchoMode(QLineEdit::Password);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto* fields = new QFormLayout;
    fields->addRow(UsernameLabel, UsernameEdt);
    fields->addRow(PasswordLabel, PasswordEdit);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(OKBtn, QDialogButtonBox::AcceptRole);
    buttons->addButton(CancelBtn, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    UsernameEdt->setMinimumWidth(200);
    setSizeGripEnabled(false);

    connect(OKBtn, &QPushButton::clicked, this, &TLoginForm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TLoginForm::showEvent(QShowEvent* event)
{
    Lang->Translate();
    PasswordEdit->clear();
    UsernameEdt->setFocus();
    QDialog::showEvent(event);
}

void TLoginForm::OKBtnClick()
{
    if (!OKBtn->isEnabled())
        return; // still waiting after a failure
    m_passwords.UserName = UsernameEdt->text();
    const QString typed = PasswordEdit->text();
    // An empty password opens nothing: not a user stored without one, nor one whose keys a
    // damaged or hand-edited settings file lost.
    const TPasswordLib::Match match = m_passwords.Check(typed);
    if (match == TPasswordLib::Match::None && m_passwords.HasDamagedPassword()) {
        refuseForAMoment();
        platform::showWarning(
            Lang->Message(QStringLiteral("The stored password of this user is damaged and opens "
                                         "nothing. Have it set again (orvane --add-user %1 "
                                         "--replace)."))
                .arg(m_passwords.UserName));
        return;
    }
    if (match == TPasswordLib::Match::None) {
        const TPasswordLib::PasswordPair stored = m_passwords.Passwords();
        const bool unknown = typed.isEmpty() && stored.first.isEmpty() && stored.second.isEmpty()
            && m_passwords.Role() == platform::UserRole::Unknown;
        refuseForAMoment();
        platform::showWarning(Lang->Message(unknown ? QStringLiteral("Wrong User!") : QStringLiteral("Wrong Password!"))
            + QLatin1Char('\n') + Lang->Message(QStringLiteral("Please try again.")));
        return;
    }
    const platform::UserRole role = m_passwords.Role();
    if (role == platform::UserRole::Unknown) {
        refuseForAMoment();
        platform::showWarning(Lang->Message(QStringLiteral("Wrong User!")) + QLatin1Char('\n')
            + Lang->Message(QStringLiteral("Please try again.")));
        return;
    }
    try {
        m_passwords.UpgradePlainPasswords();
    } catch (const platform::SettingsError&) {
        // A read-only PV.INI keeps its plain passwords; the login itself is sound.
    }
    platform::Session& session = platform::session();
    session.userName = m_passwords.UserName;
    session.receiptsOnly = match == TPasswordLib::Match::Second;
    // The second password keeps the user's role and commands; the amounts it shows are the
    // receipted ones, and what shows every amount (the audit trail) is closed to it.
    session.role = role;
    session.level = TPasswordLib::Level(role);
    accept();
}

void TLoginForm::refuseForAMoment()
{
    if (FailureDelayMs <= 0)
        return;
    OKBtn->setEnabled(false);
    QTimer::singleShot(FailureDelayMs, this, [this] { OKBtn->setEnabled(true); });
}

} // namespace app
