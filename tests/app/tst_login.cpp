#include "app/LoginUnit.h"
#include "app/PasswordLib.h"
#include "platform/PasswordHash.h"
#include "platform/Session.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using platform::Edition;
using platform::Settings;

class TestLogin : public QObject {
    Q_OBJECT

    // A hash whose round count an edit made absurd: computing it would take hours.
    static inline const QString kFrozenHash
        = QStringLiteral("pbkdf2-sha256$2000000000$c2FsdA==$AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=");

    QTemporaryDir m_programDir; // no language file: messages stay in English
    QTemporaryDir m_config;

    Settings settings() const { return Settings(Edition::Dental, m_config.path()); }

    static QByteArray readAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("ORVANE_PROGRAM_DIR", m_programDir.path().toUtf8());
        Settings s = settings();
        s.setUser(QStringLiteral("anna"), 0, QStringLiteral("first"), QStringLiteral("second"));
        s.setUser(QStringLiteral("nikos"), 1, QStringLiteral("pw"), QString());
        s.setUser(QStringLiteral("same"), 0, QStringLiteral("x"), QStringLiteral("x"));
        s.setUser(QStringLiteral("odd"), 7, QStringLiteral("pw"), QString());
        s.setUser(QStringLiteral("frozen"), 0, kFrozenHash, QString());
    }

    void okButton_data()
    {
        const QString wrongPassword = QStringLiteral("Wrong Password!\nPlease try again.");
        const QString wrongUser = QStringLiteral("Wrong User!\nPlease try again.");
        // message: empty: the login closes with OK
        testsupport::addRows<QString, QString, QString, bool, int>(
            { "user", "password", "message", "receiptsOnly", "level" },
            {
                { "first password", "anna", "first", QString(), false, 255 },
                { "second password is receipts-only, with the role's commands", "anna", "second", QString(),
                    true, 255 },
                { "wrong password", "anna", "nope", wrongPassword, false, -1 },
                { "passwords compare with case", "anna", "FIRST", wrongPassword, false, -1 },
                { "restricted role", "nikos", "pw", QString(), false, 0 },
                { "empty second password opens nothing", "nikos", "", wrongPassword, false, -1 },
                { "equal passwords are receipts-only", "same", "x", QString(), true, 255 },
                { "unknown user, empty password", "ghost", "", wrongUser, false, -1 },
                { "unknown user, some password", "ghost", "pw", wrongPassword, false, -1 },
                { "role neither 0 nor 1", "odd", "pw", wrongUser, false, -1 },
                { "damaged hash typed as it stands", "frozen", kFrozenHash,
                    "The stored password of this user is damaged and opens nothing. Have it set again "
                    "(orvane --add-user frozen --replace).",
                    false, -1 },
            });
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

    // Whatever shape PV.INI is in (sections twice, empty copies, reordered, a stray byte), an
    // empty or wrong password never opens the program, and the last value of a key is the one
    // that counts.
    void noLayoutLetsAnEmptyOrWrongPasswordIn_data()
    {
        // right: empty: no password opens this user
        testsupport::addRows<QByteArray, QString, QString, int>({ "file", "user", "right", "level" },
            {
                { "empty section before the real one",
                    QByteArray("[Roles]\nannaRole=0\n[Passwords]\n[Passwords]\nannaPwd1=secret\n"), "anna",
                    "secret", 255 },
                { "empty section after the real one",
                    QByteArray("[Roles]\nannaRole=0\n[Passwords]\nannaPwd1=secret\n[Passwords]\n"), "anna",
                    "secret", 255 },
                { "later copy empties the password",
                    QByteArray("[Roles]\nannaRole=0\n[Passwords]\nannaPwd1=secret\n[Passwords]\nannaPwd1=\n"),
                    "anna", "", -1 },
                { "later copy changes the password",
                    QByteArray(
                        "[Passwords]\nannaPwd1=old\n[Roles]\nannaRole=0\n[passwords]\nannaPwd1=secret\n"),
                    "anna", "secret", 255 },
                { "key twice in one section",
                    QByteArray("[Roles]\nannaRole=0\n[Passwords]\nannaPwd1=old\nANNAPWD1=secret\n"), "anna",
                    "secret", 255 },
                { "later role restricts",
                    QByteArray("[Roles]\nannaRole=0\n[Passwords]\nannaPwd1=secret\n[Roles]\nannaRole=1\n"),
                    "anna", "secret", 0 },
                { "quoted empty passwords",
                    QByteArray("[Roles]\nannaRole=0\n[Passwords]\nannaPwd1=\"\"\nannaPwd2=''\n"), "anna", "",
                    -1 },
                { "no passwords section", QByteArray("[Roles]\nannaRole=0\n"), "anna", "", -1 },
                { "blanks around names",
                    QByteArray("[ Roles ]\n annaRole = 0\n[ Passwords ]\n annaPwd1 = secret \n"), "anna",
                    "secret", 255 },
                { "stray byte on another line",
                    QByteArray("[Roles]\n\xCE\x93\xCE\xB9\xCE\xAC\xCE\xBD\xCE\xBD\xCE\xB7\xCF\x82Role=0\n; "
                               "\xFF\xFE\n[Passwords]\n"
                               "\xCE\x93\xCE\xB9\xCE\xAC\xCE\xBD\xCE\xBD\xCE\xB7\xCF\x82Pwd1="
                               "\xCE\xBA\xCF\x89\xCE\xB4\n"),
                    QStringLiteral("Γιάννης"), QStringLiteral("κωδ"), 255 },
                { "older installation's code page",
                    QByteArray("[Roles]\r\n\xC3\xE9\xDC\xED\xED\xE7\xF2Role=1\r\n[Passwords]"
                               "\r\n\xC3\xE9\xDC\xED\xED\xE7\xF2Pwd1=\xEA\xF9\xE4\r\n"),
                    QStringLiteral("Γιάννης"), QStringLiteral("κωδ"), 0 },
                { "unknown user", QByteArray("[Passwords]\nghostPwd1=secret\n"), "ghost", "", -1 },
            });
    }
    void noLayoutLetsAnEmptyOrWrongPasswordIn()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, user);
        QFETCH(QString, right);
        QFETCH(int, level);
        QTemporaryDir config;
        QFile pv(QDir(config.path()).filePath(QStringLiteral("PV.INI")));
        QVERIFY(pv.open(QIODevice::WriteOnly));
        pv.write(file);
        pv.close();
        const auto logIn = [&](const QString& password) {
            platform::session() = platform::Session();
            testsupport::MessageRecorder messages;
            app::TLoginForm login(Settings(Edition::Dental, config.path()));
            login.show();
            login.UsernameEdt->setText(user); // typed keys would lose the Greek letters
            login.PasswordEdit->setText(password);
            QTest::mouseClick(login.OKBtn, Qt::LeftButton);
            return login.result() == QDialog::Accepted;
        };
        for (const QString& password : { QString(), QStringLiteral("wrong"), QStringLiteral(" "), QStringLiteral("secretx") })
            QVERIFY2(!logIn(password), qPrintable(QStringLiteral("\"%1\" was let in").arg(password)));
        QCOMPARE(readAll(pv.fileName()), file); // a failed login never rewrites the file
        if (!right.isEmpty()) {
            QVERIFY(logIn(right));
            QCOMPARE(platform::session().level, level);
            QVERIFY(!platform::session().receiptsOnly);
            // The plain password of the older file is replaced by its hash, which logs in too.
            const QString stored = Settings(Edition::Dental, config.path()).userPassword1(user);
            QVERIFY(platform::password::isHashed(stored));
            QVERIFY(!stored.contains(right));
            QVERIFY(logIn(right));
            QVERIFY(!logIn(QStringLiteral("wrong")));
        }
    }

    void plainPasswordsAreHashedAtTheFirstLogin_data()
    {
        testsupport::addRows<QString, bool>({ "typed", "receiptsOnly" },
            {
                { "with the first password", "first", false },
                { "with the second password", "second", true },
            });
    }
    void plainPasswordsAreHashedAtTheFirstLogin()
    {
        QFETCH(QString, typed);
        QFETCH(bool, receiptsOnly);
        QTemporaryDir config;
        const Settings s(Edition::Dental, config.path());
        Settings(s).setUser(QStringLiteral("eleni"), 0, QStringLiteral("first"),
            QStringLiteral("second")); // as an older installation wrote it
        const auto logIn = [&](const QString& password) {
            platform::session() = platform::Session();
            testsupport::MessageRecorder messages;
            app::TLoginForm login(s);
            login.show();
            login.UsernameEdt->setText(QStringLiteral("eleni"));
            login.PasswordEdit->setText(password);
            QTest::mouseClick(login.OKBtn, Qt::LeftButton);
            return login.result() == QDialog::Accepted;
        };
        QVERIFY(logIn(typed));
        QCOMPARE(platform::session().receiptsOnly, receiptsOnly);
        const QByteArray file = readAll(s.mainFilePath());
        QVERIFY(!file.contains("first"));
        QVERIFY(!file.contains("second"));
        // Both still open the program, each in its own mode.
        QVERIFY(logIn(QStringLiteral("first")));
        QVERIFY(!platform::session().receiptsOnly);
        QVERIFY(logIn(QStringLiteral("second")));
        QVERIFY(platform::session().receiptsOnly);
        QVERIFY(!logIn(QStringLiteral("firs")));
    }

    void aFailedTryHoldsOkForAMoment()
    {
        testsupport::MessageRecorder messages;
        app::TLoginForm login(settings());
        login.FailureDelayMs = 300;
        login.show();
        login.UsernameEdt->setText(QStringLiteral("anna"));
        login.PasswordEdit->setText(QStringLiteral("nope"));
        QTest::mouseClick(login.OKBtn, Qt::LeftButton);
        QVERIFY(!login.OKBtn->isEnabled());
        login.PasswordEdit->setText(QStringLiteral("first"));
        login.OKBtnClick(); // not yet
        QCOMPARE(login.result(), int(QDialog::Rejected));
        QTRY_VERIFY_WITH_TIMEOUT(login.OKBtn->isEnabled(), 2000);
        QTest::mouseClick(login.OKBtn, Qt::LeftButton);
        QCOMPARE(login.result(), int(QDialog::Accepted));
    }

    void addUserRefusesNamesThatReachOtherKeys_data()
    {
        testsupport::addRows<QString>({ "name" },
            {
                { "line break makes a second user", QStringLiteral("eve\n[Roles]\nmalloryRole=0") },
                { "carriage return", QStringLiteral("eve\rmalloryRole=0") },
                { "tab", QStringLiteral("ev\te") },
                { "equals sign", QStringLiteral("eve=0") },
                { "opening bracket", QStringLiteral("[Roles") },
                { "closing bracket", QStringLiteral("eve]") },
                { "comment mark", QStringLiteral(";eve") },
                { "blank", QStringLiteral("  ") },
            });
    }
    void addUserRefusesNamesThatReachOtherKeys()
    {
        QFETCH(QString, name);
        QTemporaryDir config;
        const Settings s(Edition::Dental, config.path());
        const QString error = app::addUser({ name, 1, QStringLiteral("pw"), {} }, s);
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(s.mainFilePath()));
        QVERIFY(!app::addUser({ QStringLiteral("eve"), 1, QStringLiteral("pw\nx"), {} }, s).isEmpty());
        QVERIFY(!QFile::exists(s.mainFilePath()));
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
        testsupport::addRows<int, QString, bool>({ "role", "password", "written" },
            {
                { "full", 0, "secret", true },
                { "restricted", 1, "secret", true },
                { "no such role", 2, "secret", false },
                { "no password", 0, "", false },
            });
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
        QCOMPARE(users.Role(), written ? platform::UserRole(role) : platform::UserRole::Unknown);
        if (written) {
            // The settings file holds no password text, only hashes that match it.
            QVERIFY(!readAll(s.mainFilePath()).contains(password.toUtf8()));
            QVERIFY(!readAll(s.mainFilePath()).contains("cash"));
            QVERIFY(platform::password::isHashed(users.Passwords().first));
            QVERIFY(platform::password::isHashed(users.Passwords().second));
            QVERIFY(users.Check(password) == app::TPasswordLib::Match::First);
            QVERIFY(users.Check(QStringLiteral("cash")) == app::TPasswordLib::Match::Second);
            QVERIFY(users.Check(QStringLiteral("Cash")) == app::TPasswordLib::Match::None);
        }
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
