#include "app/LoginUnit.h"
#include "app/PasswordLib.h"
#include "platform/Session.h"
#include "support/MessageRecorder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using platform::Edition;
using platform::Settings;

class TestLogin : public QObject {
    Q_OBJECT

    QTemporaryDir m_programDir; // no language file: messages stay in English
    QTemporaryDir m_config;

    Settings settings() const { return Settings(Edition::Dental, m_config.path()); }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("ORVANE_PROGRAM_DIR", m_programDir.path().toUtf8());
        Settings s = settings();
        s.setUser(QStringLiteral("anna"), 0, QStringLiteral("first"), QStringLiteral("second"));
        s.setUser(QStringLiteral("nikos"), 1, QStringLiteral("pw"), QString());
        s.setUser(QStringLiteral("same"), 0, QStringLiteral("x"), QStringLiteral("x"));
        s.setUser(QStringLiteral("odd"), 7, QStringLiteral("pw"), QString());
    }

    void okButton_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message"); // empty: the login closes with OK
        QTest::addColumn<bool>("receiptsOnly");
        QTest::addColumn<int>("level");

        const QString wrongPassword = QStringLiteral("Wrong Password!\nPlease try again.");
        const QString wrongUser = QStringLiteral("Wrong User!\nPlease try again.");
        QTest::newRow("first password") << "anna" << "first" << QString() << false << 255;
        QTest::newRow("second password is receipts-only") << "anna" << "second" << QString() << true << 255;
        QTest::newRow("wrong password") << "anna" << "nope" << wrongPassword << false << -1;
        QTest::newRow("passwords compare with case") << "anna" << "FIRST" << wrongPassword << false << -1;
        QTest::newRow("restricted role") << "nikos" << "pw" << QString() << false << 0;
        QTest::newRow("empty second password opens nothing") << "nikos" << "" << wrongPassword << false << -1;
        QTest::newRow("equal passwords are receipts-only") << "same" << "x" << QString() << true << 255;
        QTest::newRow("unknown user, empty password") << "ghost" << "" << wrongUser << false << -1;
        QTest::newRow("unknown user, some password") << "ghost" << "pw" << wrongPassword << false << -1;
        QTest::newRow("role neither 0 nor 1") << "odd" << "pw" << wrongUser << false << -1;
    }

    void okButton()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QFETCH(bool, receiptsOnly);
        QFETCH(int, level);

        platform::session() = platform::Session();
        testsupport::MessageRecorder messages;
        app::TLoginForm login(settings());
        login.show();
        QTest::keyClicks(login.UsernameEdt, user);
        QTest::keyClicks(login.PasswordEdit, password);
        QTest::mouseClick(login.OKBtn, Qt::LeftButton);

        if (message.isEmpty()) {
            QVERIFY(messages.shown().isEmpty());
            QCOMPARE(login.result(), int(QDialog::Accepted));
            QCOMPARE(platform::session().userName, user);
            QCOMPARE(platform::session().receiptsOnly, receiptsOnly);
            QCOMPARE(platform::session().level, level);
        } else {
            QCOMPARE(messages.texts(), QStringList { message });
            QVERIFY(login.isVisible()); // the window stays for another try
            QCOMPARE(platform::session().level, -1);
        }
    }

    void showEmptiesThePassword()
    {
        app::TLoginForm login(settings());
        login.PasswordEdit->setText(QStringLiteral("left over"));
        login.show();
        QVERIFY(login.PasswordEdit->text().isEmpty());
    }

    void addUserWritesWhatTheLoginReads_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("written");
        QTest::newRow("full") << 0 << "secret" << true;
        QTest::newRow("restricted") << 1 << "secret" << true;
        QTest::newRow("no such role") << 2 << "secret" << false;
        QTest::newRow("no password") << 0 << "" << false;
    }

    void addUserWritesWhatTheLoginReads()
    {
        QFETCH(int, role);
        QFETCH(QString, password);
        QFETCH(bool, written);
        QTemporaryDir config;
        const Settings s(Edition::Dental, config.path());
        const QString error = app::addUser({ QStringLiteral("maria"), role, password, QStringLiteral("cash") }, s);
        QCOMPARE(error.isEmpty(), written);
        app::TPasswordLib users(s);
        users.UserName = QStringLiteral("maria");
        QCOMPARE(users.Role(), written ? role : int(app::TPasswordLib::UnknownUser));
        if (written) {
            QCOMPARE(users.Passwords().first, password);
            QCOMPARE(users.Passwords().second, QStringLiteral("cash"));
        }
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
