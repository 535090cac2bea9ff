// The two printouts of the patient file written as PDF and read back as text.
#include "PatientFormFixture.h"

#include "patients/PatientReports.h"
#include "reports/ReportOutput.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace patienttest;

namespace {

QString pdfText(const reports::Report& report, const QString& file)
{
    QString error;
    if (!reports::exportPdf(report, file, &error))
        return QStringLiteral("export failed: ") + error;
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The line of the text that holds `what`, squeezed of runs of blanks.
QString lineWith(const QString& text, const QString& what)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.contains(what))
            return line.simplified();
    }
    return {};
}

} // namespace

class TestPatientReports : public QObject {
    Q_OBJECT

    rulestest::Practice m_practice;
    QTemporaryDir m_out;

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QFAIL("pdftotext (poppler-utils) is needed: scripts/install-deps.sh installs it");
    }

    void medicalHistoryShowsTheTickedItems()
    {
        PatientFormFixture f(m_practice);
        const int patient = rulestest::addPatient(*f.dm, QStringLiteral("Ιωάννου"));
        exec(*f.dm->Database,
            QStringLiteral("UPDATE Patient SET FirstName = 'Ελένη' WHERE PatientID = :id"), id(patient));
        exec(*f.dm->Database,
            QStringLiteral("UPDATE CartAnamnestica SET Diabete = TRUE, Allergie = TRUE, AllergieEdit = 'penicillin', Other = 'Needs a calm room' "
                           "WHERE PatID = :id"),
            id(patient));
        reread(*f.dm);
        QVERIFY(f.goTo(patient));
        const QString text = pdfText(patients::medicalHistoryReport(*f.dm, f.lang), m_out.filePath(QStringLiteral("history.pdf")));
        QVERIFY2(text.contains(QStringLiteral("Ιωάννου Ελένη")), qPrintable(text));
        QCOMPARE(lineWith(text, QStringLiteral("Diabetes")), QStringLiteral("[X] Diabetes"));
        QCOMPARE(lineWith(text, QStringLiteral("Has Allergies")), QStringLiteral("[X] Has Allergies Which? penicillin"));
        QCOMPARE(lineWith(text, QStringLiteral("Smoker")), QStringLiteral("[ ] Smoker"));
        QVERIFY(text.contains(QStringLiteral("Needs a calm room")));
    }

    void questionnaireShowsAnswersUnderTheirMasters()
    {
        PatientFormFixture f(m_practice);
        const int patient = rulestest::addPatient(*f.dm, QStringLiteral("Asked"));
        for (const auto& [father, question, text] : {std::tuple{-1, 1, "Oral hygiene"}, std::tuple{1, 11, "Brushes twice a day"},
                 std::tuple{1, 12, "Uses dental tape"}, std::tuple{-1, 2, "Aesthetics"}}) {
            exec(*f.dm->Database, QStringLiteral("INSERT INTO QuestTemplate (FatherQuestionID, QuestionID, Question) VALUES (:f, :q, :t)"),
                {{QStringLiteral("f"), father}, {QStringLiteral("q"), question}, {QStringLiteral("t"), QLatin1String(text)}});
        }
        for (const auto& [father, question] : {std::pair{-1, 1}, std::pair{1, 2}}) {
            exec(*f.dm->Database,
                QStringLiteral("INSERT INTO QuestAnswer (PatientID, QuestionID, FatherQuestionID, QuestValue) VALUES (:p, :q, :f, TRUE)"),
                {{QStringLiteral("p"), patient}, {QStringLiteral("q"), question}, {QStringLiteral("f"), father}});
        }
        reread(*f.dm);
        QVERIFY(f.goTo(patient));
        const QString text = pdfText(patients::questionnaireReport(*f.dm, f.lang), m_out.filePath(QStringLiteral("quest.pdf")));
        QVERIFY2(text.contains(QStringLiteral("Patient's Questionary")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Asked")));
        QCOMPARE(lineWith(text, QStringLiteral("Oral hygiene")), QStringLiteral("[X] Oral hygiene"));
        QCOMPARE(lineWith(text, QStringLiteral("Brushes")), QStringLiteral("[ ] Brushes twice a day"));
        QCOMPARE(lineWith(text, QStringLiteral("tape")), QStringLiteral("[X] Uses dental tape"));
        QCOMPARE(lineWith(text, QStringLiteral("Aesthetics")), QStringLiteral("[ ] Aesthetics"));
        QVERIFY(text.indexOf(QStringLiteral("tape")) < text.indexOf(QStringLiteral("Aesthetics")));
        QVERIFY(text.contains(QStringLiteral("The Dentist")));
        QVERIFY(text.contains(QStringLiteral("Page 1")));
    }
};

QTEST_MAIN(TestPatientReports)
#include "tst_patientreports.moc"
