#include "platform/PasswordHash.h"
#include "support/DataTable.h"

#include <QTest>

namespace pw = platform::password;

class TestPasswordHash : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hashIsSaltedSlowAndOpaque()
    {
        const QString a = pw::hash(QStringLiteral("κωδικός"));
        const QString b = pw::hash(QStringLiteral("κωδικός"));
        QVERIFY(a != b); // a salt of its own each time
        QVERIFY(pw::isHashed(a));
        QVERIFY(!a.contains(QStringLiteral("κωδικός")));
        QVERIFY(a.section(QLatin1Char('$'), 1, 1).toInt() >= 100000);
        QVERIFY(pw::matches(QStringLiteral("κωδικός"), a));
        QVERIFY(pw::matches(QStringLiteral("κωδικός"), b));
    }

    void matches_data()
    {
        const QString hashed = pw::hash(QStringLiteral("secret"), 1000);
        QString tampered = hashed;
        tampered[tampered.size() - 3]
            = tampered[tampered.size() - 3] == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
        testsupport::addRows<QString, QString, bool>({ "typed", "stored", "expected" },
            {
                { "hash, right", "secret", hashed, true },
                { "hash, wrong", "secreT", hashed, false },
                { "hash, prefix", "secre", hashed, false },
                { "hash, empty typed", "", pw::hash(QString(), 1000), false },
                { "hash altered", "secret", tampered, false },
                { "plain, right", "secret", "secret", true },
                { "plain, longer", "secrets", "secret", false },
                { "plain, empty stored", "x", "", false },
                { "plain, both empty", "", "", false },
                { "the stored hash typed as the password", hashed, hashed, false },
            });
    }
    void matches()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(bool, expected);
        QCOMPARE(pw::matches(typed, stored), expected);
    }

    void malformedHashesAreNotHashes_data()
    {
        testsupport::addRows<QString>({ "stored" },
            {
                { "plain", "pbkdf2" },
                { "missing key", "pbkdf2-sha256$1000$c2FsdA==$" },
                { "zero rounds", "pbkdf2-sha256$0$c2FsdA==$AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=" },
                { "rounds that would freeze the login",
                    "pbkdf2-sha256$2000000000$c2FsdA==$AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=" },
                { "other scheme", "md5$1000$c2FsdA==$AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=" },
            });
    }
    void malformedHashesAreNotHashes()
    {
        QFETCH(QString, stored);
        QVERIFY(!pw::isHashed(stored));
    }
};

QTEST_GUILESS_MAIN(TestPasswordHash)
#include "tst_passwordhash.moc"
