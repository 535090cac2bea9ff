// The stock answers file beside the program: written whole at every change and read back, a
// missing file created empty, a corrupt one reported and left as it is.
#include "data/DmUnit.h"
#include "data/RulesFixture.h"
#include "data/UsualAnswersFile.h"
#include "db/Dataset.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace ua = data::usualanswers;

class TestUsualAnswers : public QObject {
    Q_OBJECT

    std::unique_ptr<rulestest::Practice> m_practice;
    std::unique_ptr<data::TDmForm> m_dm;
    QString m_file;

    QByteArray fileBytes() const
    {
        QFile file(m_file);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeBytes(const QByteArray& bytes)
    {
        QFile file(m_file);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private Q_SLOTS:
    void init()
    {
        m_practice = std::make_unique<rulestest::Practice>(); // the program directory is its own
        QDir().mkpath(QString::fromUtf8(qgetenv("ORVANE_PROGRAM_DIR")));
        m_dm = m_practice->openNew();
        m_file = QDir(QString::fromUtf8(qgetenv("ORVANE_PROGRAM_DIR"))).filePath(ua::fileName());
    }

    void cleanup()
    {
        m_dm.reset();
        m_practice.reset();
    }

    void roundTrip()
    {
        const QList<data::UsualAnswer> answers { { QStringLiteral("Πόνος στη μάσηση"),
                                                     QStringLiteral("<p><b>Έντονος</b> πόνος</p>") },
            { QStringLiteral("Empty text"), QString() },
            { QStringLiteral("Quotes \" and \\ and\nlines"), QStringLiteral("x") } };
        QString error;
        QVERIFY(ua::write(m_file, answers, &error));
        const ua::ReadResult read = ua::read(m_file);
        QCOMPARE(read.status, ua::ReadResult::Status::Read);
        QCOMPARE(read.answers, answers);
    }

    void corruptFiles_data()
    {
        testsupport::addRows<QByteArray>({ "bytes" },
            {
                { "not JSON", QByteArray("AnswerName;AnswerMemo\r\nx;y") },
                { "cut short",
                    QByteArray(
                        R"({"format": "Orvane usual answers", "version": 1, "answers": [{"name": "a",)") },
                { "another document", QByteArray(R"({"answers": []})") },
                { "later version",
                    QByteArray(R"({"format": "Orvane usual answers", "version": 7, "answers": []})") },
                { "answer without text",
                    QByteArray(
                        R"({"format": "Orvane usual answers", "version": 1, "answers": [{"name": "a"}]})") },
            });
    }
    // Reported, left as it is, and the answers start empty and cannot be stored over it.
    void corruptFiles()
    {
        QFETCH(QByteArray, bytes);
        writeBytes(bytes);
        QCOMPARE(ua::read(m_file).status, ua::ReadResult::Status::Corrupt);
        testsupport::MessageRecorder messages;
        m_dm->clinical().loadUsualAnswers();
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY(messages.texts().first().contains(m_file));
        db::Dataset& view = *m_dm->clinical().UsualAnswersTbl;
        QVERIFY(view.isActive());
        QCOMPARE(view.recordCount(), 0);
        QVERIFY(view.isReadOnly());
        QCOMPARE(fileBytes(), bytes);
    }

    void missingFileIsCreatedEmpty()
    {
        QVERIFY(!QFile::exists(m_file));
        testsupport::MessageRecorder messages;
        m_dm->clinical().loadUsualAnswers();
        QVERIFY(messages.shown().isEmpty());
        QCOMPARE(m_dm->clinical().UsualAnswersTbl->recordCount(), 0);
        const ua::ReadResult read = ua::read(m_file);
        QCOMPARE(read.status, ua::ReadResult::Status::Read);
        QVERIFY(read.answers.isEmpty());
    }

    // Every post and delete writes the file; the next start reads what was written.
    void postsWriteTheFile()
    {
        m_dm->clinical().loadUsualAnswers();
        db::Dataset& view = *m_dm->clinical().UsualAnswersTbl;
        for (const char* name : { "Caries", "Abscess" }) {
            view.append();
            view.setValue(u"AnswerName", QString::fromLatin1(name));
            view.setValue(u"AnswerMemo", QStringLiteral("<b>%1</b>").arg(QLatin1String(name)));
            view.post();
        }
        QCOMPARE(ua::read(m_file).answers.size(), 2);
        view.locate(QStringLiteral("AnswerName"), QStringLiteral("Caries"));
        view.remove();
        const ua::ReadResult read = ua::read(m_file);
        QCOMPARE(read.answers.size(), 1);
        QCOMPARE(read.answers.first().name, QStringLiteral("Abscess"));

        m_dm->clinical().loadUsualAnswers();
        QCOMPARE(view.recordCount(), 1);
        QCOMPARE(view.value(u"AnswerMemo").toString(), QStringLiteral("<b>Abscess</b>"));
    }

    void answerNeedsAName()
    {
        m_dm->clinical().loadUsualAnswers();
        testsupport::MessageRecorder messages;
        db::Dataset& view = *m_dm->clinical().UsualAnswersTbl;
        view.append();
        view.setValue(u"AnswerMemo", QStringLiteral("text"));
        QVERIFY_THROWS_EXCEPTION(db::Abort, view.post());
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY(view.isEditing());
        view.cancel();
        QVERIFY(ua::read(m_file).answers.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestUsualAnswers)
#include "tst_usualanswers.moc"
