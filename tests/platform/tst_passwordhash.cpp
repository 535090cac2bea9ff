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

    // A value marked as our hash but unusable is damaged: it matches nothing, not even itself
    // typed as a plain password, and takes no time to refuse.
    void malformedHashesAreNotHashes_data()
    {
        const QString key = QStringLiteral("$c2FsdA==$AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=");
        testsupport::addRows<QString, int>({ "stored", "form" },
            {
                { "plain", "pbkdf2", int(pw::StoredForm::Plain) },
                { "other scheme", "md5$1000" + key, int(pw::StoredForm::Plain) },
                { "missing key", "pbkdf2-sha256$1000$c2FsdA==$", int(pw::StoredForm::Damaged) },
                { "zero rounds", "pbkdf2-sha256$0" + key, int(pw::StoredForm::Damaged) },
                { "too few rounds", "pbkdf2-sha256$999" + key, int(pw::StoredForm::Damaged) },
                { "rounds that would freeze the login", "pbkdf2-sha256$2000000000" + key,
                    int(pw::StoredForm::Damaged) },
                { "one round beyond the bound", "pbkdf2-sha256$" + QString::number(pw::kMostRounds + 1) + key,
                    int(pw::StoredForm::Damaged) },
                { "rounds not a number", "pbkdf2-sha256$many" + key, int(pw::StoredForm::Damaged) },
            });
    }
    void malformedHashesAreNotHashes()
    {
        QFETCH(QString, stored);
        QFETCH(int, form);
        QVERIFY(!pw::isHashed(stored));
        QCOMPARE(int(pw::formOf(stored)), form);
        QCOMPARE(pw::matches(stored, stored), form == int(pw::StoredForm::Plain));
    }

    void roundsAtTheBoundsAreHashes()
    {
        for (const int rounds : { pw::kFewestRounds, pw::kMostRounds }) {
            const QString stored = pw::hash(QStringLiteral("pw"), rounds);
            QCOMPARE(pw::formOf(stored), pw::StoredForm::Hashed);
            QVERIFY(pw::matches(QStringLiteral("pw"), stored));
        }
    }
};

QTEST_GUILESS_MAIN(TestPasswordHash)
#include "tst_passwordhash.moc"
