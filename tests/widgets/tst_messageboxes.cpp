// The program's message boxes: their buttons in the language of the texts, and the answer
// given by the button pressed.
#include "platform/MessageService.h"
#include "support/DataTable.h"
#include "widgets/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestMessageBoxes : public QObject {
    Q_OBJECT

    QTemporaryDir m_program;

private slots:
    void initTestCase()
    {
        QFile language(m_program.filePath(QStringLiteral("Orvane.lng")));
        QVERIFY(language.open(QIODevice::WriteOnly));
        language.write("[Messages]\nYes=\xce\x9d\xce\xb1\xce\xb9\nNo=\xce\x8c\xcf\x87\xce\xb9\nCancel=\xce\x86\xce\xba\xcf\x85\xcf\x81\xce\xbf\n");
        language.close();
        qputenv("ORVANE_PROGRAM_DIR", m_program.path().toUtf8());
        widgets::useMessageBoxes();
    }
    void cleanupTestCase() { widgets::stopMessageBoxes(); }

    void buttonsSpeakTheLanguageAndAnswer_data()
    {
        using Kind = platform::MessageService::Kind;
        using Answer = platform::MessageService::Answer;
        const QString yes = QStringLiteral("Ναι");
        const QString no = QStringLiteral("Όχι");
        const QString cancel = QStringLiteral("Άκυρο");
        testsupport::addRows<int, QString, QStringList, int>({ "kind", "press", "shown", "answer" },
            {
                { "question, yes", int(Kind::Question), yes, QStringList { yes, no }, int(Answer::Yes) },
                { "question, no", int(Kind::Question), no, QStringList { yes, no }, int(Answer::No) },
                { "question with cancel", int(Kind::QuestionWithCancel), cancel,
                    QStringList { yes, no, cancel }, int(Answer::Cancel) },
                // No translation of OK in this file: the English caption stays.
                { "notice", int(Kind::Warning), QStringLiteral("OK"), QStringList { QStringLiteral("OK") },
                    int(Answer::Ok) },
            });
    }
    void buttonsSpeakTheLanguageAndAnswer()
    {
        QFETCH(int, kind);
        QFETCH(QString, press);
        QFETCH(QStringList, shown);
        QFETCH(int, answer);
        auto captions = std::make_shared<QStringList>();
        QTimer::singleShot(0, this, [captions, press] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QAbstractButton* chosen = nullptr;
            for (QAbstractButton* button : box->buttons()) {
                *captions << button->text();
                if (button->text() == press)
                    chosen = button;
            }
            if (chosen)
                chosen->click();
            else
                box->reject();
        });
        const auto given = platform::MessageService::current().show(
            platform::MessageService::Kind(kind), QString(), QStringLiteral("Τερματισμός προγράμματος;"));
        captions->sort();
        shown.sort();
        QCOMPARE(*captions, shown);
        QCOMPARE(int(given), answer);
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
