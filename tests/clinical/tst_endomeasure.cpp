// The endodontic measurements window: the canals a tooth has, the chart's tooth filter, the
// editors, the measurements' checks, the notes pictures, the report and the close steps.
#include "clinical/EndoMeasureUnit.h"
#include "clinical/EndoNotesUnit.h"
#include "clinical/EndoReport.h"
#include "ClinicFixture.h"
#include "db/Dataset.h"
#include "reports/ReportOutput.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBMemo.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace clinical;
using rulestest::count;

namespace {

// The texts of a report's field lines and table cells, in order.
QStringList reportTexts(const reports::Report& report)
{
    QStringList texts;
    for (const reports::Report::Block& block : report.blocks()) {
        if (const auto* field = std::get_if<reports::Report::Field>(&block))
            texts << field->label << field->value;
        else if (const auto* table = std::get_if<reports::ReportTable>(&block)) {
            for (const reports::ReportTable::Row& row : table->rows())
                texts << row.cells;
        }
    }
    return texts;
}

} // namespace

class TestEndoMeasure : public QObject, clinictest::PatientFixture {
    Q_OBJECT

    db::Dataset& endo() const { return *m_dm->clinical().EndoTable; }

    // A stored record of the current session.
    void addRecord(int tooth, double length)
    {
        db::Dataset& view = endo();
        const bool wasOpen = view.isActive();
        if (!wasOpen)
            m_dm->OpenTable(view);
        view.append();
        view.setValue(u"ToothNum", tooth);
        view.setValue(u"MikosEggysGl", length);
        view.post();
        if (!wasOpen)
            view.close();
    }

private Q_SLOTS:
    void init() { openPatient(QStringLiteral("Georgiou")); }
    void cleanup() { closePatient(); }

    void canalsOfATooth_data()
    {
        testsupport::addRows<int, int>({ "tooth", "canals" },
            {
                { "12 upper lateral incisor", 12, 1 },
                { "16 upper first molar", 16, 5 },
                { "45 lower second premolar", 45, 1 },
                { "14 upper first premolar", 14, 5 },
                { "23 upper canine", 23, 1 },
                { "31 lower central incisor", 31, 1 },
                { "36 lower first molar", 36, 5 },
                { "53 deciduous canine", 53, 1 },
                { "61 deciduous incisor", 61, 1 },
                { "74 deciduous molar", 74, 5 },
                { "85 deciduous molar", 85, 5 },
            });
    }
    void canalsOfATooth()
    {
        QFETCH(int, tooth);
        QFETCH(int, canals);
        QCOMPARE(data::ClinicalArea::canalCount(tooth), canals);
        TEndoMeasureForm form(*m_dm, tooth);
        form.show();
        QCOMPARE(form.shownCanals(), canals);
        int shownEdits = 0;
        for (const TEndoMeasureForm::CanalControls& c : form.Canals)
            shownEdits += c.length->isVisibleTo(&form) + c.width->isVisibleTo(&form);
        QCOMPARE(shownEdits, 2 * canals);
        // One canal goes without its name, as plain length and width.
        QCOMPARE(form.Canals[0].label->isVisibleTo(&form), canals == 5);
        QCOMPARE(form.Grid->isColumnVisible(TEndoMeasureForm::FirstCanalColumn + 2), canals == 5);
        QVERIFY(!form.Grid->isColumnVisible(TEndoMeasureForm::ToothColumn));
        QVERIFY(!form.ToothCombo->isEnabled());
        form.reject();
    }

    // From the chart's tooth only that tooth's records; without the filter every tooth.
    void toothFilterAndItsEnd()
    {
        addRecord(16, 18.5);
        addRecord(16, 19);
        addRecord(21, 22);
        {
            TEndoMeasureForm form(*m_dm, 16);
            form.show();
            QCOMPARE(endo().recordCount(), 2);
            form.accept();
        }
        QVERIFY(!endo().isActive()); // opened for the window, closed with it
        TEndoMeasureForm all(*m_dm, 0);
        all.show();
        QCOMPARE(endo().recordCount(), 3);
        QVERIFY(all.Grid->isColumnVisible(TEndoMeasureForm::ToothColumn));
        QCOMPARE(all.shownCanals(), 5);
        all.accept();
    }

    void editorsFollowTheState()
    {
        addRecord(26, 20);
        TEndoMeasureForm form(*m_dm, 26);
        form.show();
        QVERIFY(!form.Canals[0].length->isEnabled());
        endo().edit();
        QVERIFY(form.Canals[0].length->isEnabled());
        QVERIFY(!form.ToothCombo->isEnabled()); // the chart's tooth stays
        endo().cancel();
        QVERIFY(!form.Canals[0].length->isEnabled());
        form.accept();
    }

    void lettersRefusedAtTheKeyboard()
    {
        addRecord(26, 20);
        TEndoMeasureForm form(*m_dm, 26);
        form.show();
        endo().edit();
        widgets::DBEdit* length = form.Canals[1].length;
        length->setFocus();
        QTest::keyClicks(length, QStringLiteral("1a2b.5x"));
        QCOMPARE(length->text(), QStringLiteral("12.5"));
        endo().cancel();
        form.accept();
    }

    void measurementRange_data()
    {
        testsupport::addRows<double, bool>({ "value", "stored" },
            {
                { "longest", 99.999, true },
                { "zero", 0.0, true },
                { "above", 100.0, false },
                { "negative", -0.5, false },
            });
    }
    void measurementRange()
    {
        QFETCH(double, value);
        QFETCH(bool, stored);
        testsupport::MessageRecorder messages;
        TEndoMeasureForm form(*m_dm, 0);
        form.show();
        endo().append();
        endo().setValue(u"ToothNum", 36);
        endo().setValue(u"DievrApoPar", value);
        bool refused = false;
        try {
            endo().post();
        } catch (const db::Abort&) {
            refused = true;
        }
        QCOMPARE(refused, !stored);
        QCOMPARE(endo().isEditing(), !stored); // the typed record waits for a correction
        QCOMPARE(messages.shown().size(), stored ? 0 : 1);
        if (!stored) {
            QVERIFY(messages.texts().first().contains(endo().field(u"DievrApoPar").label()));
            endo().cancel();
        }
        QCOMPARE(count(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM Endo")), stored ? 1 : 0);
        form.accept();
    }

    // The notes button shows the written sheet once its canal has notes.
    void notesButtonPicture()
    {
        addRecord(17, 20);
        TEndoMeasureForm form(*m_dm, 17);
        form.show();
        QToolButton* button = form.Canals[TEndoMeasureForm::Palatal].notesBtn;
        QCOMPARE(button->objectName(), QStringLiteral("YpBtn"));
        QVERIFY(!button->property("hasNotes").toBool());
        QTimer::singleShot(0, [] {
            auto* notes = qobject_cast<TEndoNotesFrm*>(QApplication::activeModalWidget());
            QVERIFY(notes);
            notes->NotesMemo->setPlainText(QStringLiteral("calcified"));
            notes->OKBtn->click();
        });
        button->click();
        QVERIFY(button->property("hasNotes").toBool());
        QVERIFY(!form.Canals[TEndoMeasureForm::NearTongue].notesBtn->property("hasNotes").toBool());
        QCOMPARE(endo().value(u"YperoiaNotes").toString(), QStringLiteral("calcified"));
        endo().post();
        form.accept();
    }

    void closingAsksAboutAnOpenRecord()
    {
        testsupport::MessageRecorder messages;
        messages.answer(platform::MessageService::Answer::No);
        TEndoMeasureForm form(*m_dm, 0);
        form.show();
        endo().append();
        endo().setValue(u"ToothNum", 11);
        form.accept();
        QCOMPARE(messages.shown().size(), 1);
        QCOMPARE(count(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM Endo")), 0);
        QVERIFY(!endo().isActive());
    }

    void reportOfTheListedRecords()
    {
        addRecord(46, 21.25);
        addRecord(12, 23);
        TEndoMeasureForm form(*m_dm, 46);
        form.show();
        const reports::Report report = form.report();
        QCOMPARE(report.title(), QStringLiteral("Endodontic Treatment Measurements"));
        const QStringList texts = reportTexts(report);
        QVERIFY(texts.contains(QStringLiteral("46")));
        QVERIFY(!texts.contains(QStringLiteral("12"))); // another tooth's record
        QVERIFY(texts.contains(QStringLiteral("Near Tongue")));
        QVERIFY(texts.contains(QLocale().toString(21.25, 'f', 2)));
        QVERIFY(!texts.contains(QStringLiteral("Far Cheek"))); // no measurement, no line
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("endo.pdf"));
        QString error;
        QVERIFY2(reports::exportPdf(report, pdf, &error), qPrintable(error));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(4) == "%PDF");
        form.accept();
    }
};

QTEST_MAIN(TestEndoMeasure)
#include "tst_endomeasure.moc"
