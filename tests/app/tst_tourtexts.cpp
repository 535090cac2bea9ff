// What a Greek user reads: every caption, title, header and hint of every window of the tour,
// as rendered by the program itself, is Greek or a name that stays as it is.
#include "support/DataTable.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

// Latin words that a Greek program shows as they are: names, abbreviations, formats.
const QStringList kKept { QStringLiteral("HIV"), QStringLiteral("PDF"), QStringLiteral("CSV"),
    QStringLiteral("EURO"), QStringLiteral("SQL"), QStringLiteral("Quarn"), QStringLiteral("Orvane"),
    QStringLiteral("Lumetrix"), QStringLiteral("Visa"), QStringLiteral("mail"), QStringLiteral("Email"),
    QStringLiteral("TOLOCAL"), QStringLiteral("TOEURO") };

// A text with a Latin word of three letters or more that is not kept; file names, paths and
// addresses are data.
bool plainlyEnglish(const QString& text)
{
    static const QRegularExpression data(QStringLiteral(R"(^(/|\w+://)|\.(png|jpe?g|pdf)$)"));
    if (data.match(text.trimmed()).hasMatch())
        return false;
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{3,}"));
    QString rest = text;
    rest.remove(QRegularExpression(QStringLiteral("%\\d")));
    for (auto match = word.globalMatch(rest); match.hasNext();) {
        if (!kKept.contains(match.next().captured()))
            return true;
    }
    return false;
}

} // namespace

class TestTourTexts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theRuleSeesEnglish_data()
    {
        testsupport::addRows<QString, bool>({ "text", "english" },
            {
                { "Greek", QStringLiteral("Αποθήκευση"), false },
                { "Greek with a kept name", QStringLiteral("Φορέας HIV"), false },
                { "English word", QStringLiteral("Calendar"), true },
                { "English inside Greek", QStringLiteral("Κλινική εξέταση, Tooth 0"), true },
                { "a picture's file", QStringLiteral("XR-240309-36-1.png"), false },
                { "a path", QStringLiteral("/tmp/orvane/Data"), false },
                { "placeholders", QStringLiteral("%1 / %2"), false },
            });
    }
    void theRuleSeesEnglish()
    {
        QFETCH(QString, text);
        QFETCH(bool, english);
        QCOMPARE(plainlyEnglish(text), english);
    }

    void everyWindowOfTheTourReadsGreek()
    {
        QTemporaryDir out;
        QProcess tour;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ORVANE_CONFIG_DIR"), out.filePath(QStringLiteral("config")));
        tour.setProcessEnvironment(env);
        tour.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("orvane")),
            { QStringLiteral("--screenshot-tour"), out.filePath(QStringLiteral("shots")) });
        QVERIFY(tour.waitForFinished(300000));
        QVERIFY2(tour.exitCode() == 0, tour.readAllStandardError().constData());
        QFile texts(out.filePath(QStringLiteral("shots/texts.tsv")));
        QVERIFY(texts.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList english;
        int read = 0;
        QTextStream in(&texts);
        while (!in.atEnd()) {
            const QString line = in.readLine();
            ++read;
            if (plainlyEnglish(line.section(u'\t', 2)))
                english.append(line);
        }
        QVERIFY2(read > 1000, qPrintable(QStringLiteral("only %1 texts read").arg(read)));
        english.removeDuplicates();
        QVERIFY2(english.isEmpty(),
            qPrintable(QStringLiteral("%1 English texts:\n").arg(english.size()) + english.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TestTourTexts)
#include "tst_tourtexts.moc"
