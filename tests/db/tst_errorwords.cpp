// What the engine refuses reaches the user in the program's words: which value is wrong and how
// to mend it, or what happened and what to do, never the engine's own text.
#include "DatasetFixture.h"
#include "db/ErrorWords.h"
#include "db/Field.h"
#include "db/ServerUnavailable.h"

#include <functional>

namespace {

// The error a store throws, said in words; fails the test when nothing or something else is
// thrown.
template<typename Expected> QString wordsOf(const std::function<void()>& store)
{
    try {
        store();
    } catch (const Expected& e) {
        const QString words = db::inWords(e);
        if (!e.engineMessage().isEmpty() && words.contains(e.engineMessage()))
            return QStringLiteral("the engine's text reached the user: ") + words;
        return words;
    } catch (const std::exception& e) {
        return QStringLiteral("another error: ") + QString::fromUtf8(e.what());
    }
    return QStringLiteral("nothing was refused");
}

bool isGreek(const QString& text)
{
    return std::any_of(
        text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x370 && c.unicode() < 0x400; });
}

} // namespace

class TestErrorWords : public QObject {
    Q_OBJECT
private slots:
    void refusalsInTheUsersWords()
    {
        fixture::Database db;
        db.addPatient(1, QStringLiteral("Nikolaou"));
        auto patients = db.view(fixture::patients());
        patients->open();

        const QString duplicate = wordsOf<db::KeyConflict>([&] {
            patients->append();
            patients->setValue(u"PatientID", 1);
            patients->post();
        });
        QVERIFY2(
            isGreek(duplicate) && duplicate.contains(QString::fromUtf8("κωδικό")), qPrintable(duplicate));
        patients->cancel();

        patients->field(u"LastName").setRequired(true);
        const QString missing = wordsOf<db::MissingValue>([&] {
            patients->append();
            patients->setValue(u"PatientID", 2);
            patients->post();
        });
        QVERIFY2(isGreek(missing) && missing.contains(QString::fromUtf8("«Επώνυμο»")), qPrintable(missing));
        patients->cancel();

        const QString tooLong = wordsOf<db::TextTooLong>([&] {
            patients->edit();
            patients->setValue(u"FirstName", QString(31, QLatin1Char('x')));
        });
        QVERIFY2(isGreek(tooLong) && tooLong.contains(QStringLiteral("30")), qPrintable(tooLong));
        patients->cancel();

        db.exec(QStringLiteral("DELETE FROM Patient WHERE PatientID = 1"));
        const QString gone = wordsOf<db::DeletedElsewhere>([&] {
            patients->edit();
            patients->setValue(u"FirstName", QStringLiteral("Maria"));
            patients->post();
        });
        QVERIFY2(isGreek(gone) && gone.contains(QString::fromUtf8("άλλο σταθμό")), qPrintable(gone));
    }

    // A server's failure is told in its terms: its address and its own words, a refused user as
    // a refused user, never as this workstation's permissions or another program's lock.
    void serverFailuresInTheServersTerms_data()
    {
        QTest::addColumn<bool>("denied");
        QTest::addColumn<QString>("expected");
        QTest::newRow("out of reach") << false << QString::fromUtf8("δεν είναι προσβάσιμος");
        QTest::newRow("user without rights") << true << QString::fromUtf8("δεν επιτρέπει");
    }
    void serverFailuresInTheServersTerms()
    {
        QFETCH(bool, denied);
        QFETCH(QString, expected);
        const QString address = QStringLiteral("postgresql://clerk@db.example/practice");
        const QString words = denied
            ? QStringLiteral("permission denied for table Patient")
            : QStringLiteral("connection to server at \"db.example\" failed: Connection refused");
        QString told;
        try {
            try {
                if (denied)
                    throw db::AccessDenied(QStringLiteral("Cannot read Patient"), words);
                throw db::ServerUnavailable(QStringLiteral("Cannot reach the database ") + address, words);
            } catch (const db::DatabaseError& e) {
                std::throw_with_nested(std::runtime_error("opening the practice"));
            }
        } catch (const std::exception& e) {
            told = db::serverFailureInWords(e, address);
        }
        QVERIFY2(told.contains(address) && told.contains(words) && told.contains(expected), qPrintable(told));
        for (const char* misleading : { "δικαιώματα πρόσβασης", "κλειδωμ", "κατεστραμμ" })
            QVERIFY2(!told.contains(QString::fromUtf8(misleading)), qPrintable(told));

        // The windows' words carry the server's too, never this workstation's permissions.
        const QString inWindow = denied
            ? db::inWords(db::AccessDenied(QStringLiteral("Cannot store the record"), words))
            : db::inWords(db::ServerUnavailable(QStringLiteral("Cannot reach the database"), words));
        QVERIFY2(isGreek(inWindow) && inWindow.contains(words), qPrintable(inWindow));
        QVERIFY2(!inWindow.contains(QString::fromUtf8("δικαιώματα πρόσβασης")), qPrintable(inWindow));
    }
};

QTEST_GUILESS_MAIN(TestErrorWords)
#include "tst_errorwords.moc"
