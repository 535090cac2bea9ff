// The progress notes window: body systems, the one-system filter, stock answers at the caret of
// the last formatted text, formatting keys, large pastes, notes per session and the printout.
#include "clinical/ProgNotesUnit.h"
#include "ClinicFixture.h"
#include "data/UsualAnswersFile.h"
#include "db/Dataset.h"
#include "reports/Report.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "widgets/DBGrid.h"
#include "widgets/DBRichEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace clinical;
using rulestest::exec;

namespace {

enum System { Cardio = 1, Digestive = 2 };

// The text of a note's field as the user reads it.
QString plain(const QVariant& formatted)
{
    QTextDocument document;
    document.setHtml(formatted.toString());
    return document.toPlainText();
}

QStringList reportTexts(const reports::Report& report)
{
    QStringList texts;
    for (const reports::Report::Block& block : report.blocks()) {
        if (const auto* field = std::get_if<reports::Report::Field>(&block))
            texts << field->label + QStringLiteral(": ") + field->value;
        else if (const auto* text = std::get_if<reports::Report::Text>(&block))
            texts << text->text;
    }
    return texts;
}

} // namespace

class TestProgNotes : public QObject, clinictest::PatientFixture {
    Q_OBJECT

    db::Dataset& notes() const { return *m_dm->clinical().ProgNotesTbl; }
    void addSystems()
    {
        exec(*m_dm->Database,
            QStringLiteral("INSERT INTO PhysSystems (PhysSystemID, SystemDesc) VALUES (1, 'Cardiovascular'), "
                           "(2, 'Digestive')"));
    }
    void addNote(System system, const QString& brief, const QString& findings = {})
    {
        notes().append();
        notes().setValue(u"PhysSystemID", static_cast<int>(system));
        notes().setValue(u"BriefDesc", brief);
        notes().setValue(u"FmtdFindings", findings);
        notes().post();
    }

private Q_SLOTS:
    void init()
    {
        bool answersWritten = false;
        QString error;
        openPatient(QStringLiteral("Nikolaou"), [&] {
            const QString program = QString::fromUtf8(qgetenv("ORVANE_PROGRAM_DIR"));
            QDir().mkpath(program);
            answersWritten = data::usualanswers::write(QDir(program).filePath(data::usualanswers::fileName()),
                { { QStringLiteral("Caries"), QStringLiteral("<b>deep caries</b>") },
                    { QStringLiteral("Healthy"), QStringLiteral("no findings") } },
                &error);
        });
        QVERIFY2(answersWritten, qPrintable(error));
        exec(*m_dm->Database,
            QStringLiteral("UPDATE Patient SET Phone = '2101234567', BloodType = 'A+', Job = 'Teacher'"));
        m_dm->patients().PatientsTable->refresh();
    }

    void cleanup() { closePatient(); }

    void withoutSystemsTheWindowIsDisabled()
    {
        testsupport::MessageRecorder messages;
        TProgNotesForm form(*m_dm);
        form.show();
        QCOMPARE(messages.texts(),
            QStringList {
                QStringLiteral("No physical systems defined yet. Progress notes will be disabled.") });
        QVERIFY(!form.notesEnabled());
        QVERIFY(!form.NoteBox->isEnabled());
        QVERIFY(!notes().isActive());
        QVERIFY(m_dm->ActiveSrc->dataset() != &notes());
    }

    // Systems typed straight into their table are enough; the menu lists the stock answers.
    void opensWithSystemsAndAnswers()
    {
        addSystems();
        TProgNotesForm form(*m_dm);
        form.show();
        QVERIFY(form.notesEnabled());
        QVERIFY(notes().isActive());
        QCOMPARE(form.SystemCombo->count(), 2);
        QCOMPARE(m_dm->ActiveSrc->dataset(), &notes());
        QCOMPARE(m_dm->ActiveSrc->tag(), 1001);
        QStringList items;
        for (QAction* item : form.AnswersMenu->actions())
            items << item->text();
        QCOMPARE(items, (QStringList { QStringLiteral("Caries"), QStringLiteral("Healthy") }));
    }

    void newNoteDefaults()
    {
        addSystems();
        TProgNotesForm form(*m_dm);
        form.show();
        notes().append();
        QCOMPARE(notes().value(u"NoteDate").toDate(), QDate::currentDate());
        QCOMPARE(notes().value(u"DocID").toInt(), 1); // the workstation's default dentist
        QCOMPARE(notes().value(u"SessionID"), m_dm->clinical().SessionsTable->value(u"SessionID"));
        QCOMPARE(notes().value(u"PatientID"), m_dm->patients().PatientsTable->value(u"PatientID"));
        notes().cancel();
    }

    void stockAnswerAtTheCaret()
    {
        addSystems();
        TProgNotesForm form(*m_dm);
        form.show();
        addNote(Cardio, QStringLiteral("check"), QStringLiteral("Hello world"));
        notes().edit();
        QTest::mouseClick(form.FindingsEdit->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
        QCOMPARE(form.lastText(), form.FindingsEdit);
        QTextCursor caret = form.FindingsEdit->textCursor();
        caret.setPosition(5); // after "Hello"
        form.FindingsEdit->setTextCursor(caret);
        form.InsertAnswer(QStringLiteral("Caries"));
        QCOMPARE(form.FindingsEdit->toPlainText(), QStringLiteral("Hellodeep caries world"));
        notes().post();
        QCOMPARE(plain(notes().value(u"FmtdFindings")), QStringLiteral("Hellodeep caries world"));
        QVERIFY(notes().value(u"FmtdFindings").toString().contains(QStringLiteral("font-weight")));
        QCOMPARE(plain(notes().value(u"FmtdTherapy")), QString());
    }

    // While a note is only browsed its texts take no typing; Edit opens them.
    void textsTakeTypingOnlyWhileEdited()
    {
        addSystems();
        TProgNotesForm form(*m_dm);
        form.show();
        addNote(Cardio, QStringLiteral("check"), QStringLiteral("Hello"));
        QVERIFY(!notes().isEditing());
        form.FindingsEdit->setFocus();
        form.FindingsEdit->moveCursor(QTextCursor::End);
        QTest::keyClicks(form.FindingsEdit, QStringLiteral(" typed"));
        QCOMPARE(form.FindingsEdit->toPlainText(), QStringLiteral("Hello"));
        QVERIFY(!notes().isEditing());
        notes().edit();
        form.FindingsEdit->moveCursor(QTextCursor::End);
        QTest::keyClicks(form.FindingsEdit, QStringLiteral(" typed"));
        QCOMPARE(form.FindingsEdit->toPlainText(), QStringLiteral("Hello typed"));
        notes().post();
        QCOMPARE(plain(notes().value(u"FmtdFindings")), QStringLiteral("Hello typed"));
    }

    void stockAnswerWithoutFocusedTextDoesNothing()
    {
        addSystems();
        TProgNotesForm form(*m_dm);
        form.show();
        addNote(Cardio, QStringLiteral("check"), QStringLiteral("Hello"));
        QVERIFY(!form.lastText());
        form.InsertAnswer(QStringLiteral("Caries"));
        QCOMPARE(notes().state(), db::DatasetState::Browse);
        QCOMPARE(plain(notes().value(u"FmtdFindings")), QStringLiteral("Hello"));
    }

    void oneSystemFilter()
    {
        addSystems();
        TProgNotesForm form(*m_dm);
        form.show();
        addNote(Cardio, QStringLiteral("a"));
        addNote(Digestive, QStringLiteral("b"));
        addNote(Digestive, QStringLiteral("c"));
        form.SystemCombo->setCurrentIndex(form.SystemCombo->findData(static_cast<int>(Digestive)));
        form.OneSystemCheck->setChecked(true);
        QCOMPARE(notes().recordCount(), 2);
        form.SystemCombo->setCurrentIndex(form.SystemCombo->findData(static_cast<int>(Cardio)));
        QCOMPARE(notes().recordCount(), 1);
        QCOMPARE(notes().value(u"BriefDesc").toString(), QStringLiteral("a"));
        form.OneSystemCheck->setChecked(false);
        QCOMPARE(notes().recordCount(), 3);
    }

    // Notes are per session and are not carried over.
    void previousSessionNoteNotListed()
    {
        addSystems();
        TProgNotesForm form(*m_dm);
        form.show();
        addNote(Cardio, QStringLiteral("first session"));
        testsupport::MessageRecorder messages;
        m_dm->clinical().EndSession();
        QVERIFY(m_dm->clinical().NewSession());
        QCOMPARE(notes().recordCount(), 0);
    }

    void formattingKeys_data()
    {
        testsupport::addRows<int>({ "key" },
            {
                { "Ctrl+B", int(Qt::Key_B) },
                { "Ctrl+I", int(Qt::Key_I) },
                { "Ctrl+U", int(Qt::Key_U) },
            });
    }
    void formattingKeys()
    {
        QFETCH(int, key);
        addSystems();
        TProgNotesForm form(*m_dm);
        form.show();
        addNote(Cardio, QStringLiteral("x"), QStringLiteral("plain words"));
        notes().edit();
        form.TherapyEdit->setPlainText(QStringLiteral("plain words"));
        QTextCursor selection = form.TherapyEdit->textCursor();
        selection.setPosition(0);
        selection.setPosition(5, QTextCursor::KeepAnchor);
        form.TherapyEdit->setTextCursor(selection);
        QTest::keyClick(form.TherapyEdit, Qt::Key(key), Qt::ControlModifier);
        const QTextCharFormat format = form.TherapyEdit->document()->begin().begin().fragment().charFormat();
        QCOMPARE(format.fontWeight() > QFont::Normal, key == Qt::Key_B);
        QCOMPARE(format.fontItalic(), key == Qt::Key_I);
        QCOMPARE(format.fontUnderline(), key == Qt::Key_U);
        QCOMPARE(form.TherapyEdit->toPlainText(), QStringLiteral("plain words")); // the keys type nothing
        notes().post();
        QCOMPARE(plain(notes().value(u"FmtdTherapy")), QStringLiteral("plain words"));
    }

    // A megabyte of pasted HTML with pictures: quick, kept as text without the pictures.
    void largePasteWithoutPictures()
    {
        addSystems();
        TProgNotesForm form(*m_dm);
        form.show();
        addNote(Cardio, QStringLiteral("x"));
        notes().edit();
        QString html = QStringLiteral("<html><body>");
        while (html.size() < 1'000'000)
            html
                += QStringLiteral("<p>line <b>bold</b> <img src=\"data:image/png;base64,iVBORw0KGgo=\"></p>");
        html += QStringLiteral("</body></html>");
        QMimeData pasted;
        pasted.setHtml(html);
        form.FindingsEdit->setFocus();
        QElapsedTimer clock;
        clock.start();
        form.FindingsEdit->insertHtml(pasted.html());
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        notes().post(); // the window's rule writes the text still pending
        const QString stored = notes().value(u"FmtdFindings").toString();
        QVERIFY(stored.contains(QStringLiteral("line")));
        QVERIFY(!stored.contains(QStringLiteral("<img")));
    }

    void printedNote()
    {
        addSystems();
        TProgNotesForm form(*m_dm);
        form.show();
        addNote(Cardio, QStringLiteral("first"), QStringLiteral("<b>murmur</b>"));
        addNote(Digestive, QStringLiteral("second"));
        addNote(Cardio, QStringLiteral("third"));
        notes().locate(QStringLiteral("BriefDesc"), QStringLiteral("first"));
        const QStringList one = reportTexts(form.report(false));
        QVERIFY(one.contains(QStringLiteral("Nikolaou"))
            || one.join(QLatin1Char('|')).contains(QStringLiteral("Nikolaou")));
        QVERIFY(one.contains(QString::fromUtf8("Τηλέφωνα: 2101234567")));
        QVERIFY(one.contains(QString::fromUtf8("Ομάδα αίματος: A+")));
        QVERIFY(one.contains(QString::fromUtf8("Επάγγελμα: Teacher")));
        QVERIFY(one.contains(QStringLiteral("murmur")));
        QCOMPARE(one.filter(QString::fromUtf8("Σύντομη περιγραφή")).size(), 1);
        const QStringList system = reportTexts(form.report(true));
        QCOMPARE(system.filter(QString::fromUtf8("Σύντομη περιγραφή")).size(), 2); // the cardiovascular notes

        // A layout file renames the note, keeps the patient lines it lists in its order and
        // ignores a name it does not know.
        QTemporaryDir dir;
        const QString path = dir.filePath(ProgNoteReportLayout::fileName());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Layout]\nTitle=Clinic note\nPatientLines=Occupation, Nickname, Phones\nFontSize=14\n");
        file.close();
        form.setReportLayout(ProgNoteReportLayout::fromFile(path));
        const reports::Report laidOut = form.report(false);
        QCOMPARE(laidOut.title(), QStringLiteral("Clinic note"));
        QCOMPARE(laidOut.font().pointSizeF(), 14.0);
        const QStringList texts = reportTexts(laidOut);
        const auto at = [&texts](const char* start) {
            for (int i = 0; i < texts.size(); ++i) {
                if (texts[i].startsWith(QString::fromUtf8(start)))
                    return i;
            }
            return -1;
        };
        QVERIFY(at("Επάγγελμα") >= 0 && at("Επάγγελμα") < at("Τηλέφωνα"));
        QCOMPARE(at("Ομάδα αίματος"), -1);
        QCOMPARE(at("Κινητό"), -1);
    }
};

QTEST_MAIN(TestProgNotes)
#include "tst_prognotes.moc"
