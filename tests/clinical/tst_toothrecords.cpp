// The tooth notes and tooth colour windows from the dental chart's pop-up: the row of
// (session, tooth) found or started, a note stored ending in a line break, an emptied record
// removed, and the chart's markers following at once (checked on the painted picture).
#include "clinical/ChartPainter.h"
#include "clinical/ChartServices.h"
#include "clinical/ChartView.h"
#include "clinical/DentalChartUnit.h"
#include "clinical/EndoMeasureUnit.h"
#include "clinical/ToothColorUnit.h"
#include "clinical/ToothNotesUnit.h"
#include "ClinicFixture.h"
#include "db/Dataset.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBMemo.h"
#include "widgets/Language.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace clinical;
using rulestest::count;

namespace {

// Answers the next modal window of type Form: `fill` types into it, then OK or Cancel.
template<typename Form> void answerNext(std::function<void(Form&)> fill, bool ok = true)
{
    QTimer::singleShot(0, [fill, ok] {
        auto* form = qobject_cast<Form*>(QApplication::activeModalWidget());
        QVERIFY(form);
        if (fill)
            fill(*form);
        (ok ? form->OKBtn : form->CancelBtn)->click();
    });
}

// Types into a combo box's edit as the user would, replacing what is there.
void typeInto(widgets::DBComboBox* combo, const QString& text)
{
    combo->lineEdit()->selectAll();
    QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
    QTest::keyClicks(combo->lineEdit(), text);
}

QRect markerRect(QPoint at)
{
    return QRect(at, QSize(19, 18));
}

} // namespace

class TestToothRecords : public QObject, clinictest::ChartFixture {
    Q_OBJECT

    void selectTooth(int tooth) { currentOperation().toothIndex = ToothIndexOf(tooth, ChartKind::Adult); }
    QImage picture() const { return m_chart->imTeeth->image(); }
    int notesRows(int tooth) const
    {
        return count(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM ToothNotes WHERE ToothNum = :t"),
            { { QStringLiteral("t"), tooth } });
    }
    QString storedNote(int tooth) const
    {
        return rulestest::scalar(*m_dm->Database,
            QStringLiteral("SELECT Notes FROM ToothNotes WHERE ToothNum = :t"),
            { { QStringLiteral("t"), tooth } })
            .toString();
    }
    void writeNote(int tooth, const QString& text)
    {
        selectTooth(tooth);
        answerNext<TToothNotesForm>([text](TToothNotesForm& form) { form.NotesMemo->setPlainText(text); });
        m_chart->NotesItem->trigger();
    }

private Q_SLOTS:
    void init() { openChart(); }
    void cleanup() { closeChart(); }

    void popupItemsAreOn()
    {
        for (QAction* item : { m_chart->NotesItem, m_chart->ColoringItem, m_chart->EndoItem })
            QVERIFY2(item->isEnabled(), qPrintable(item->text()));
    }

    // The note's marker shows as soon as the window closes, and goes with the emptied note.
    void noteMarkerFollowsTheNote()
    {
        const QRect marker
            = markerRect(ChartPainter::notePosition(ToothIndexOf(16, ChartKind::Adult), ChartKind::Adult));
        const QImage clean = picture();
        writeNote(16, QStringLiteral("Sensitive to cold"));
        QCOMPARE(notesRows(16), 1);
        QVERIFY(picture().copy(marker) != clean.copy(marker));

        writeNote(16, QStringLiteral("   \n "));
        QCOMPARE(notesRows(16), 0);
        QCOMPARE(picture().copy(marker), clean.copy(marker));
    }

    void lineBreakAppendedOnce_data()
    {
        testsupport::addRows<QString, QString>({ "typed", "stored" },
            {
                // Lines end with a carriage return, as in the imported notes.
                { "without a final break", "Crack on the distal wall", "Crack on the distal wall\r" },
                { "with one", "Two lines\nend\n", "Two lines\rend\r" },
                { "imported, with carriage returns", "Old\rnote\r", "Old\rnote\r" },
            });
    }
    void lineBreakAppendedOnce()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        writeNote(21, typed);
        QCOMPARE(storedNote(21), stored);
    }

    // A second opening edits the same row, its caret at the end of the text.
    void secondOpeningEditsTheSameRow()
    {
        writeNote(36, QStringLiteral("first"));
        selectTooth(36);
        QString shown;
        int caret = -1;
        answerNext<TToothNotesForm>([&](TToothNotesForm& form) {
            shown = form.NotesMemo->toPlainText();
            caret = form.NotesMemo->textCursor().position();
            QCOMPARE(form.windowTitle(),
                form.Lang->Message(QStringLiteral("Tooth Notes No")) + QStringLiteral(" 36"));
            form.NotesMemo->moveCursor(QTextCursor::End);
            form.NotesMemo->insertPlainText(QStringLiteral("second"));
        });
        m_chart->NotesItem->trigger();
        QCOMPARE(shown, QStringLiteral("first\n"));
        QCOMPARE(caret, shown.size());
        QCOMPARE(notesRows(36), 1);
        QCOMPARE(storedNote(36), QStringLiteral("first\rsecond\r"));
    }

    void cancelStoresNothing()
    {
        selectTooth(11);
        answerNext<TToothNotesForm>(
            [](TToothNotesForm& form) { form.NotesMemo->setPlainText(QStringLiteral("typed")); }, false);
        m_chart->NotesItem->trigger();
        QCOMPARE(notesRows(11), 0);
        QVERIFY(!m_dm->clinical().ToothNotesTable->isEditing());
    }

    // The periodontal chart opens the same window for a tooth of a session.
    void openedForASessionAndTooth()
    {
        const QVariant session = m_dm->clinical().SessionsTable->value(u"SessionID");
        answerNext<TToothNotesForm>(
            [](TToothNotesForm& form) { form.NotesMemo->setPlainText(QStringLiteral("pocket 5 mm")); });
        TToothNotesForm::Show(*m_dm, session, 46);
        QCOMPARE(storedNote(46), QStringLiteral("pocket 5 mm\r"));
        QCOMPARE(
            count(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM ToothNotes WHERE SessionID = :s"),
                { { QStringLiteral("s"), session } }),
            1);
    }

    void colourRecordKeptOrRemoved_data()
    {
        testsupport::addRows<QString, QString, QString, bool>({ "guide", "near", "notes", "kept" },
            {
                { "only notes", "", "", "matches the crown on 21", true },
                { "shade guide and a shade", "Vita Classical", "A2", "", true },
                { "blanks only", "  ", " ", "  ", false },
            });
    }
    void colourRecordKeptOrRemoved()
    {
        QFETCH(QString, guide);
        QFETCH(QString, near);
        QFETCH(QString, notes);
        QFETCH(bool, kept);
        const QRect marker
            = markerRect(ChartPainter::colourPosition(ToothIndexOf(11, ChartKind::Adult), ChartKind::Adult));
        const QImage clean = picture();
        selectTooth(11);
        answerNext<TToothColorForm>([&](TToothColorForm& form) {
            typeInto(form.ColorListCombo, guide);
            typeInto(form.NearCombo, near);
            form.NotesMemo->setPlainText(notes);
        });
        m_chart->ColoringItem->trigger();
        QCOMPARE(
            count(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM ToothColor WHERE ToothNum = 11")),
            kept ? 1 : 0);
        QCOMPARE(picture().copy(marker) != clean.copy(marker), kept);
    }

    void emptiedColourRecordGoes()
    {
        selectTooth(22);
        answerNext<TToothColorForm>(
            [](TToothColorForm& form) { typeInto(form.FarCombo, QStringLiteral("B1")); });
        m_chart->ColoringItem->trigger();
        QCOMPARE(
            count(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM ToothColor WHERE ToothNum = 22")), 1);
        answerNext<TToothColorForm>([](TToothColorForm& form) {
            QCOMPARE(form.FarCombo->currentText(), QStringLiteral("B1"));
            typeInto(form.FarCombo, QString());
        });
        m_chart->ColoringItem->trigger();
        QCOMPARE(
            count(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM ToothColor WHERE ToothNum = 22")), 0);
    }

    // The endodontic window opens on the pressed tooth with the chart's filter; closing it
    // lifts the filter and the chart shows the record's "E" at once.
    void endoFromTheChart()
    {
        const int index = ToothIndexOf(12, ChartKind::Adult);
        const QRect letter(ToothOrigin(index, ChartKind::Adult).x() + 10, 2, 20, 14);
        const QImage clean = picture();
        selectTooth(12);
        int canals = 0;
        bool filtered = false;
        QTimer::singleShot(0, [&] {
            auto* endo = qobject_cast<TEndoMeasureForm*>(QApplication::activeModalWidget());
            QVERIFY(endo);
            canals = endo->shownCanals();
            filtered = m_chart->toothFilter();
            db::Dataset& rows = *m_dm->clinical().EndoTable;
            rows.append();
            QCOMPARE(rows.value(u"ToothNum").toInt(), 12); // the chart's tooth
            rows.setValue(u"MikosEggysGl", 21.5);
            rows.post();
            endo->CloseBtn->click();
        });
        m_chart->EndoItem->trigger();
        QCOMPARE(canals, 1);
        QVERIFY(filtered);
        QVERIFY(!m_chart->toothFilter());
        QVERIFY(!m_dm->clinical().EndoTable->isActive());
        QCOMPARE(count(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM Endo WHERE ToothNum = 12")), 1);
        QVERIFY(picture().copy(letter) != clean.copy(letter));
    }

    // Without a patient the window only shows: OK is off and nothing is started.
    void withoutPatientOnlyShows()
    {
        m_chart.reset();
        m_dm = m_clinic->open();
        bool okEnabled = true;
        answerNext<TToothNotesForm>(
            [&](TToothNotesForm& form) { okEnabled = form.OKBtn->isEnabled(); }, false);
        TToothNotesForm::Show(*m_dm, {}, 11);
        QVERIFY(!okEnabled);
        QVERIFY(!m_dm->clinical().ToothNotesTable->isEditing());
        QCOMPARE(count(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM ToothNotes")), 0);
    }
};

QTEST_MAIN(TestToothRecords)
#include "tst_toothrecords.moc"
