#include "platform/MessageService.h"
#include "platform/MessageTexts.h"
#include "support/DataTable.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using platform::MessageService;
using Kind = MessageService::Kind;
using Answer = MessageService::Answer;

namespace {

// Answers every message with one answer and counts what it was shown.
class Fixed final : public MessageService {
public:
    Fixed(Answer answer, int* shown)
        : m_answer(answer)
        , m_shown(shown)
    {
    }
    Answer show(Kind, const QString&, const QString&) override
    {
        ++*m_shown;
        return m_answer;
    }

private:
    Answer m_answer;
    int* m_shown;
};

Answer ask(Kind kind)
{
    switch (kind) {
    case Kind::Question:
        return platform::askYesNo(QStringLiteral("Delete this record?"), QStringLiteral("Are you sure?")) ? Answer::Yes
                                                                                                          : Answer::No;
    case Kind::QuestionWithCancel:
        return platform::askYesNoCancel(QStringLiteral("Post the changes?"), QStringLiteral("Confirm"));
    case Kind::Information:
        platform::showInformation(QStringLiteral("Empty DataBase"));
        break;
    case Kind::Warning:
        platform::showWarning(QStringLiteral("You forgot last name!"));
        break;
    case Kind::Error:
        platform::showError(QStringLiteral("The specified ID already exists"));
        break;
    }
    return Answer::Ok;
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestMessageService : public QObject {
    Q_OBJECT

    QTemporaryDir m_program;

    QString logPath() const { return m_program.filePath(QStringLiteral("exceptions.log")); }

private Q_SLOTS:
    void init()
    {
        qputenv("ORVANE_PROGRAM_DIR", m_program.path().toLocal8Bit());
        QFile::remove(logPath());
        MessageService::install(nullptr);
        MessageService::setDefault(nullptr);
    }

    // With no message boxes nobody can answer: a question gets the answer that changes
    // nothing and is recorded in the exceptions log; a plain message only goes to stderr.
    void unshownMessagesGetTheSafeAnswer_data()
    {
        testsupport::addRows<Kind, Answer, bool>({ "kind", "answer", "logged" },
            {
                { "yes/no", Kind::Question, Answer::No, true },
                { "yes/no/cancel", Kind::QuestionWithCancel, Answer::Cancel, true },
                { "information", Kind::Information, Answer::Ok, false },
                { "warning", Kind::Warning, Answer::Ok, false },
                { "error", Kind::Error, Answer::Ok, false },
            });
    }
    void unshownMessagesGetTheSafeAnswer()
    {
        QFETCH(Kind, kind);
        QFETCH(Answer, answer);
        QFETCH(bool, logged);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Message not shown: ")));
        QCOMPARE(ask(kind), answer);
        QCOMPARE(platform::safeAnswer(kind), answer);
        const QByteArray log = contents(logPath());
        QCOMPARE(log.contains("Question not shown"), logged);
    }

    // An installed service wins over the default; giving it back restores the default.
    void installedServiceWinsOverTheDefault()
    {
        int boxes = 0;
        int recorded = 0;
        MessageService::setDefault(std::make_unique<Fixed>(Answer::No, &boxes));
        QVERIFY(!platform::askYesNo(QStringLiteral("Program terminate"), QStringLiteral("Confirm")));

        auto previous = MessageService::install(std::make_unique<Fixed>(Answer::Yes, &recorded));
        QVERIFY(!previous); // the default is not handed out
        QVERIFY(platform::askYesNo(QStringLiteral("Program terminate"), QStringLiteral("Confirm")));
        QVERIFY(MessageService::install(std::move(previous))); // the recorder handed back

        QVERIFY(!platform::askYesNo(QStringLiteral("Program terminate"), QStringLiteral("Confirm")));
        QCOMPARE(boxes, 2);
        QCOMPARE(recorded, 1);
        QVERIFY(!QFile::exists(logPath()));
        MessageService::setDefault(nullptr);
    }

    // The messages section of the language file, with the text itself for what it lacks; of two
    // keys that differ only in case the later one counts, as everywhere in a settings file.
    void messageTexts_data()
    {
        testsupport::addRows<QString, QString, QString>({ "file", "text", "expected" },
            {
                { "translated", QStringLiteral("Orvane.lng"), QStringLiteral("Are you sure?"),
                    QStringLiteral("Είστε σίγουρος;") },
                { "key in another case", QStringLiteral("Orvane.lng"), QStringLiteral("are you SURE?"),
                    QStringLiteral("Είστε σίγουρος;") },
                { "only in the translations", QStringLiteral("Orvane.lng"),
                    QStringLiteral("MainForm.Caption"), QStringLiteral("MainForm.Caption") },
                { "blank translation", QStringLiteral("Orvane.lng"), QStringLiteral("Confirm"),
                    QStringLiteral("Confirm") },
                { "no file", QStringLiteral("Absent.lng"), QStringLiteral("Are you sure?"),
                    QStringLiteral("Are you sure?") },
            });
    }
    void messageTexts()
    {
        QFETCH(QString, file);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFile lng(m_program.filePath(QStringLiteral("Orvane.lng")));
        QVERIFY(lng.open(QIODevice::WriteOnly));
        lng.write("[Translations]\nMainForm.Caption=Orvane\n[Messages]\nARE YOU SURE?=earlier\nAre you sure?=Είστε σίγουρος;\nConfirm=\n");
        lng.close();
        const platform::MessageTexts texts(file);
        QCOMPARE(texts.Message(text), expected);
    }

    // A new language file is read afresh, not served from the one read before.
    void changingTheFileRereadsIt()
    {
        QFile other(m_program.filePath(QStringLiteral("Other.lng")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("[Messages]\nConfirm=Επιβεβαίωση\n");
        other.close();
        platform::MessageTexts texts(QStringLiteral("Absent.lng"));
        QCOMPARE(texts.Message(QStringLiteral("Confirm")), QStringLiteral("Confirm"));
        texts.setLanguageFile(QStringLiteral("Other.lng"));
        QCOMPARE(texts.Message(QStringLiteral("Confirm")), QStringLiteral("Επιβεβαίωση"));
    }
};

QTEST_GUILESS_MAIN(TestMessageService)
#include "tst_messageservice.moc"
