// The periodontal chart window on a new practice: keys typed into the focused field (never the
// mouse unless a test is about a click), the automatic advance through a tooth and the walk,
// the teeth stored with the chart and read back, the colour settings and the report.
#include "clinical/ChartPictures.h"
#include "clinical/DentalChartUnit.h"
#include "clinical/PerioColorsUnit.h"
#include "clinical/PerioReport.h"
#include "clinical/PerioUnit.h"
#include "data/RulesFixture.h"
#include "db/Dataset.h"
#include "db/Errors.h"
#include "platform/Directories.h"
#include "platform/IniFile.h"
#include "reports/ReportOutput.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "widgets/RecordFrame.h"
#include "widgets/WindowService.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace clinical;
using perio::Field;
using rulestest::count;
using rulestest::exec;

namespace {

// What a field shows for a value, as typed: depths and recessions take two digits.
QString typed(Field f, int value)
{
    return perio::maxLength(f) == 2 ? QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'))
                                    : QString::number(value);
}

// Records the windows other windows ask the main window to open.
class OpenedWindows : public widgets::WindowService {
public:
    QWidget* openWindow(const QString& componentName) override
    {
        opened << componentName;
        return nullptr;
    }
    QWidget* findWindow(const QString&) const override { return nullptr; }
    QStringList opened;
};

} // namespace

class TestPerioForm : public QObject {
    Q_OBJECT

    std::unique_ptr<rulestest::Practice> m_practice;
    std::unique_ptr<data::TDmForm> m_dm;
    std::unique_ptr<TPerioForm> m_form;
    QByteArray m_programDir;
    int m_patient = 0;

    db::Dataset& charts() { return *m_dm->clinical().PeriTable; }
    QWidget* focused() const { return QApplication::focusWidget(); }
    Field focusedField() const
    {
        for (int i = 0; i < perio::FieldCount; ++i) {
            if (m_form->field(static_cast<Field>(i)) == focused())
                return static_cast<Field>(i);
        }
        return Field::FurD;
    }
    bool focusOn(Field f) const { return focused() == m_form->field(f); }
    // Keys to whatever field has the focus, one at a time, as the assistant types them.
    void type(const QString& keys)
    {
        for (QChar c : keys)
            QTest::keyClick(focused(), c.toLatin1());
    }
    void key(Qt::Key k) { QTest::keyClick(focused(), k); }

    void openForm()
    {
        m_form = std::make_unique<TPerioForm>(*m_dm);
        m_form->show();
        QApplication::setActiveWindow(m_form.get());
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    void newChart()
    {
        charts().insert();
        QVERIFY(charts().isEditing());
        QCOMPARE(m_form->currentTooth(), 18);
    }
    void reopen()
    {
        m_form.reset();
        openForm();
    }
    // A history row straight into the session, as the chart would store it.
    void addHistory(int operId, bool transparent, int level, int tooth)
    {
        if (count(*m_dm->Database, QStringLiteral("SELECT COUNT(*) FROM Operations WHERE OperID = :id"),
                { { QStringLiteral("id"), operId } })
            == 0)
            exec(*m_dm->Database,
                QStringLiteral("INSERT INTO Operations (OperID, Description, Cost, CostEURO, GroupID, "
                               "Transparent, RequireDentalLab, RequireMaterial, "
                               "RequireColor) VALUES (:id, 'op', 0, 0, 1, :t, FALSE, FALSE, FALSE)"),
                { { QStringLiteral("id"), operId }, { QStringLiteral("t"), transparent } });
        exec(*m_dm->Database,
            QStringLiteral("INSERT INTO History (ID, PatientID, TherapySessionID, OperID, ToothNum, "
                           "TreatmentLevel) VALUES (:id, :p, :s, :o, :t, :l)"),
            { { QStringLiteral("id"), 1000 + tooth * 10 + level }, { QStringLiteral("p"), m_patient },
                { QStringLiteral("s"), m_dm->clinical().SessionsTable->value(u"SessionID") },
                { QStringLiteral("o"), operId }, { QStringLiteral("t"), tooth },
                { QStringLiteral("l"), level } });
    }
    int storedRows(int tooth = 0)
    {
        return count(*m_dm->Database,
            QStringLiteral("SELECT COUNT(*) FROM PeriItem WHERE (:t = 0 OR ToothNum = :t)"),
            { { QStringLiteral("t"), tooth } });
    }

private Q_SLOTS:
    void initTestCase() { m_programDir = qgetenv("ORVANE_PROGRAM_DIR"); }

    void init()
    {
        m_practice = std::make_unique<rulestest::Practice>();
        qputenv("ORVANE_PROGRAM_DIR", m_programDir);
        platform::session() = platform::Session {};
        platform::setConfigDirOverride(m_practice->configDirectory());
        m_dm = m_practice->openNew();
        m_patient = rulestest::addPatient(*m_dm, QStringLiteral("Papadopoulos"));
        openForm();
    }

    void cleanup()
    {
        m_form.reset();
        m_dm.reset();
        m_practice.reset();
    }

    void openedFromTheChartsPerioButton()
    {
        OpenedWindows service;
        widgets::WindowService::setCurrent(&service);
        {
            TDentalChartForm chart(*m_dm);
            QVERIFY(chart.PerioBtn->isEnabled());
            chart.PerioBtn->click();
        }
        widgets::WindowService::setCurrent(nullptr);
        QCOMPARE(service.opened, QStringList { QStringLiteral("PerioForm") });
    }

    // The main window's record commands act on the chart while the window is active.
    void recordCommandsActOnTheChart()
    {
        db::DataSource active;
        widgets::RecordFrame frame(&active, {});
        frame.activate(*m_form);
        QCOMPARE(active.dataset(), &charts());
        QCOMPARE(active.tag(), 22);
        QCOMPARE(m_form->mainSource()->dataset(), &charts());
        m_form.reset();
        QCOMPARE(active.dataset(), nullptr); // the closed window leaves no chart behind
        m_dm->ActiveSrc = nullptr;
    }

    void advanceByWhatWasTyped_data()
    {
        testsupport::addRows<Field, QString, Field, int>({ "field", "keys", "focusAfter", "stored" },
            {
                { "PD '3' waits for a second digit", Field::PD1, "3", Field::PD1, 3 },
                { "PD '03' moves on", Field::PD1, "03", Field::PD2, 3 },
                { "PD '12' moves on", Field::PD2, "12", Field::PD3, 12 },
                { "last facial PD to plaque", Field::PD3, "04", Field::PlaqueOut, 4 },
                { "BoP '1' moves on", Field::BL1, "1", Field::BL2, 1 },
                { "Rec of site 3 to BoP of site 1", Field::GM3, "02", Field::BL1, 2 },
                { "MOB to Peri", Field::MOB, "2", Field::Periapidal, 2 },
                { "a key in Peri sets it and moves on", Field::Periapidal, " ", Field::FurM, 1 },
                { "furcation M to B", Field::FurM, "3", Field::FurB, 3 },
                { "letters are refused", Field::PD1, "a", Field::PD1, 0 },
                { "signs are refused", Field::BL2, "-+", Field::BL2, 0 },
                { "a letter between digits is dropped", Field::GM1, "0x5", Field::GM2, 5 },
            });
    }

    void advanceByWhatWasTyped()
    {
        QFETCH(Field, field);
        QFETCH(QString, keys);
        QFETCH(Field, focusAfter);
        QFETCH(int, stored);
        newChart();
        m_form->field(field)->setFocus();
        type(keys);
        QCOMPARE(focusedField(), focusAfter);
        QCOMPARE(m_form->chart().tooth(18)[field], stored);
        QCOMPARE(m_form->currentTooth(), 18);
    }

    void backKeysReturnToThePreviousField_data()
    {
        QTest::addColumn<int>("key");
        for (Qt::Key k : { Qt::Key_Left, Qt::Key_Up, Qt::Key_Home, Qt::Key_PageUp })
            QTest::newRow(qPrintable(QKeySequence(k).toString())) << int(k);
    }

    void backKeysReturnToThePreviousField()
    {
        QFETCH(int, key);
        newChart();
        m_form->field(Field::BL1)->setFocus();
        this->key(static_cast<Qt::Key>(key));
        QVERIFY(focusOn(Field::GM3));
        // A Tab goes on again, and the field is entered with its text selected.
        type(QStringLiteral("4")); // one digit: waits
        QVERIFY(focusOn(Field::GM3));
        this->key(Qt::Key_Tab);
        QVERIFY(focusOn(Field::BL1));
        QCOMPARE(m_form->chart().tooth(18)[Field::GM3], 4);
    }

    void leavingTheLastFieldGoesToTheNextTooth_data()
    {
        testsupport::addRows<int, int>({ "tooth", "next" },
            {
                { "18 to 17 after the lingual plaque", 18, 17 },
                { "11 to 21", 11, 21 },
                { "28 to 48", 28, 48 },
                { "48 to 47 after the facial plaque", 48, 47 },
                { "41 to 31", 41, 31 },
                { "38 stays", 38, 38 },
            });
    }

    void leavingTheLastFieldGoesToTheNextTooth()
    {
        QFETCH(int, tooth);
        QFETCH(int, next);
        newChart();
        m_form->ShowTooth(tooth);
        const Field last = perio::entryOrder(tooth).last();
        QCOMPARE(last, perio::isUpper(tooth) ? Field::PlaqueIn : Field::PlaqueOut);
        QVERIFY(focusOn(perio::entryOrder(tooth).first()));
        m_form->field(last)->setFocus();
        type(QStringLiteral("2"));
        QCOMPARE(m_form->currentTooth(), next);
        QCOMPARE(m_form->chart().tooth(tooth)[last], 2);
        if (next != tooth) {
            QVERIFY(focusOn(perio::isUpper(next) ? Field::GM1 : Field::GM4));
            QCOMPARE(m_form->ToothNo->text(), QString::number(next));
        }
    }

    void clickingARowLabelFocusesItsFirstField_data()
    {
        testsupport::addRows<int, QString, Field>({ "tooth", "label", "field" },
            {
                { "BoP facial", 16, "FacialBLLabel", Field::BL1 },
                { "PD lingual", 16, "LingualPDLabel", Field::PD4 },
                { "PI lingual", 36, "LingualPILabel", Field::PlaqueIn },
                { "MOB", 36, "MOBLabel", Field::MOB },
                { "L", 36, "FurLLabel", Field::FurL },
            });
    }

    void clickingARowLabelFocusesItsFirstField()
    {
        QFETCH(int, tooth);
        QFETCH(QString, label);
        QFETCH(Field, field);
        newChart();
        m_form->ShowTooth(tooth);
        auto* target = m_form->findChild<QLabel*>(label);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton);
        QVERIFY(focusOn(field));
    }

    void furcationFieldsFollowTheTooth_data()
    {
        testsupport::addRows<int, QList<Field>>({ "tooth", "shown" },
            {
                { "14: M D", 14, QList<Field> { Field::FurM, Field::FurD } },
                { "27: M B D", 27, QList<Field> { Field::FurM, Field::FurB, Field::FurD } },
                { "46: B L", 46, QList<Field> { Field::FurB, Field::FurL } },
                { "33: none", 33, QList<Field> {} },
            });
    }

    void furcationFieldsFollowTheTooth()
    {
        QFETCH(int, tooth);
        QFETCH(QList<Field>, shown);
        newChart();
        m_form->ShowTooth(tooth);
        QCOMPARE(m_form->FurBox->isVisible(), !shown.isEmpty());
        for (Field f : { Field::FurB, Field::FurL, Field::FurM, Field::FurD })
            QCOMPARE(m_form->field(f)->isVisible(), shown.contains(f));
    }

    // The findings and the treatments done hide a tooth with an opaque operation; the plan does not.
    void newChartTakesMissingTeethFromTheSession()
    {
        addHistory(501, false, 0, 46);
        addHistory(501, false, 2, 14);
        addHistory(501, false, 1, 25);
        addHistory(502, true, 0, 36);
        newChart();
        QVERIFY(m_form->chart().tooth(46).missing);
        QVERIFY(m_form->chart().tooth(14).missing);
        QVERIFY(!m_form->chart().tooth(25).missing);
        QVERIFY(!m_form->chart().tooth(36).missing);
        m_form->ShowTooth(47);
        m_form->NextTooth();
        QCOMPARE(m_form->currentTooth(), 45);
        m_form->PreviousTooth();
        QCOMPARE(m_form->currentTooth(), 47);
        // Typed through 47's last field, the walk skips 46 too.
        m_form->field(Field::PlaqueOut)->setFocus();
        type(QStringLiteral("1"));
        QCOMPARE(m_form->currentTooth(), 45);
        // Chosen on the graph, the missing tooth shows no fields.
        m_form->GraphClick(QPoint(perio::x0Of(46) + 5, 300));
        QCOMPARE(m_form->currentTooth(), 46);
        QVERIFY(!m_form->EntryPanel->isVisible());
        charts().post();
        QCOMPARE(count(*m_dm->Database,
                     QStringLiteral("SELECT COUNT(*) FROM PeriItem WHERE ToothNotExists = TRUE")),
            2);
    }

    void noPatientNoChart()
    {
        m_form.reset();
        m_dm = m_practice->openNew();
        openForm();
        testsupport::MessageRecorder messages;
        QVERIFY_THROWS_EXCEPTION(db::Abort, charts().insert());
        QVERIFY(!charts().isEditing());
        QCOMPARE(
            messages.texts(), QStringList { m_dm->lang().Message(QStringLiteral("There is no patient")) });
    }

    void fieldsAreReadOnlyWhileBrowsing()
    {
        newChart();
        type(QStringLiteral("03"));
        charts().post();
        QVERIFY(m_form->field(Field::GM2)->isReadOnly());
        m_form->field(Field::GM2)->setFocus();
        type(QStringLiteral("05"));
        QCOMPARE(m_form->chart().tooth(18)[Field::GM2], 0);
        charts().edit();
        QVERIFY(!m_form->field(Field::GM2)->isReadOnly());
    }

    // Every tooth typed from the keyboard alone, in the walk order, one chart stored.
    void keyboardOnlyFillsEveryTooth()
    {
        newChart();
        perio::Chart expected;
        int n = 0;
        for (int tooth : perio::walkOrder()) {
            QCOMPARE(m_form->currentTooth(), tooth);
            for (Field f : perio::entryOrder(tooth)) {
                QVERIFY2(
                    focusOn(f), qPrintable(QStringLiteral("%1 %2").arg(tooth).arg(perio::controlName(f))));
                const int value
                    = f == Field::Periapidal ? (tooth % 3 == 0) : (++n % (perio::maxLength(f) == 2 ? 13 : 4));
                expected.tooth(tooth)[f] = value;
                if (f == Field::Periapidal && value == 0)
                    key(Qt::Key_Tab); // nothing found: passed over
                else
                    type(f == Field::Periapidal ? QStringLiteral("*") : typed(f, value));
            }
        }
        QCOMPARE(m_form->currentTooth(), 38); // the walk ends there
        QVERIFY(m_form->chart() == expected);
        charts().post();
        QCOMPARE(storedRows(), 32);
        reopen();
        QVERIFY(m_form->chart() == expected);
    }

    void randomChartComesBackExactly()
    {
        QRandomGenerator random(20261207);
        perio::Chart written;
        for (int tooth : perio::walkOrder()) {
            perio::Tooth& t = written.tooth(tooth);
            for (int i = 0; i < perio::FieldCount; ++i) {
                const Field f = static_cast<Field>(i);
                t[f] = f == Field::Periapidal ? random.bounded(2)
                                              : random.bounded(perio::maxLength(f) == 2 ? 100 : 10);
            }
            t.missing = random.bounded(8) == 0;
            if (random.bounded(4) == 0)
                t.notes = QStringLiteral("note %1\r").arg(tooth);
        }
        newChart();
        for (int tooth : perio::walkOrder()) {
            const perio::Tooth& t = written.tooth(tooth);
            m_form->ShowTooth(tooth);
            for (Field f : perio::entryOrder(tooth)) {
                m_form->ShowTooth(tooth); // the last field typed moves on to the next tooth
                m_form->field(f)->setFocus();
                if (f != Field::Periapidal)
                    m_form->field(f)->clear();
                if (f != Field::Periapidal || t[f])
                    type(f == Field::Periapidal ? QStringLiteral("*") : typed(f, t[f]));
            }
            m_form->setToothNotes(tooth, t.notes);
        }
        // Missing marks are not typed, and a tooth has fields only for its own furcations.
        const perio::Chart typedChart = m_form->chart();
        for (int tooth : perio::walkOrder()) {
            for (Field f : { Field::FurB, Field::FurL, Field::FurM, Field::FurD }) {
                if (!perio::furcationFields(tooth).contains(f))
                    written.tooth(tooth)[f] = 0;
            }
            written.tooth(tooth).missing = false;
        }
        QVERIFY(typedChart == written);
        charts().post();
        const QVariant chartId = charts().value(u"PeriID");
        reopen();
        QVERIFY(charts().locate(QStringLiteral("PeriID"), chartId));
        QVERIFY(m_form->chart() == written);
        QCOMPARE(
            storedRows(), 32 - [&] {
                int blank = 0;
                for (int t : perio::walkOrder())
                    blank += written.tooth(t).isBlank();
                return blank;
            }());
    }

    void clearedToothLosesItsRow()
    {
        newChart();
        m_form->ShowTooth(16);
        type(QStringLiteral("0305"));
        m_form->ShowTooth(21);
        type(QStringLiteral("02"));
        charts().post();
        QCOMPARE(storedRows(16), 1);
        QCOMPARE(storedRows(21), 1);
        charts().edit();
        m_form->ShowTooth(16);
        type(QStringLiteral("00"));
        QVERIFY(focusOn(Field::GM2));
        for (int i = 0; i < 2; ++i)
            key(Qt::Key_Backspace);
        QCOMPARE(m_form->chart().tooth(16)[Field::GM2], 0);
        QVERIFY(m_form->chart().tooth(16).isBlank());
        charts().post();
        QCOMPARE(storedRows(16), 0);
        QCOMPARE(storedRows(21), 1);
        // Cancel drops what was typed since the last save.
        charts().edit();
        m_form->ShowTooth(21);
        type(QStringLiteral("09"));
        charts().cancel();
        QCOMPARE(m_form->chart().tooth(21)[Field::GM1], 2);
    }

    void notesAreStoredWithALineEnd()
    {
        newChart();
        QSignalSpy asked(m_form.get(), &TPerioForm::toothNotesRequested);
        m_form->ShowTooth(24);
        m_form->NotesItem->trigger();
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.first().value(0).toInt(), 24);
        const QImage before = m_form->graph();
        m_form->setToothNotes(24, QStringLiteral("bleeds on brushing"));
        QCOMPARE(m_form->chart().tooth(24).notes, QStringLiteral("bleeds on brushing\r"));
        QVERIFY(m_form->graph() != before); // the icon
        m_form->setToothNotes(24, QStringLiteral("again\r"));
        QCOMPARE(m_form->chart().tooth(24).notes, QStringLiteral("again\r"));
        charts().post();
        reopen();
        QCOMPARE(m_form->chart().tooth(24).notes, QStringLiteral("again\r"));
        // Notes given to a chart being browsed put it into edit, so that they are kept.
        m_form->setToothNotes(25, QStringLiteral("new"));
        QVERIFY(charts().isEditing());
        charts().post();
        QCOMPARE(storedRows(25), 1);
        // A blank note leaves no notes behind.
        m_form->setToothNotes(25, QStringLiteral("  \r"));
        QVERIFY(m_form->chart().tooth(25).isBlank());
    }

    void missingPictureIsLoggedAndTheWindowGoesOn()
    {
        QTemporaryDir bare;
        qputenv("ORVANE_PROGRAM_DIR", bare.path().toUtf8());
        m_form.reset();
        openForm();
        newChart();
        type(QStringLiteral("04"));
        QCOMPARE(m_form->chart().tooth(18)[Field::GM1], 4);
        QVERIFY(focusOn(Field::GM2));
        QFile log(QDir(bare.path()).filePath(QStringLiteral("exceptions.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("PerioAll.bmp"));
        charts().post();
        QCOMPARE(storedRows(18), 1);
        qputenv("ORVANE_PROGRAM_DIR", m_programDir);
    }

    void coloursAreWrittenToTheSettingsOnOk()
    {
        newChart();
        m_form->ShowTooth(26);
        m_form->field(Field::PD2)->setFocus();
        type(QStringLiteral("05"));
        // A pocket of 5 at the default risk level 4 is red.
        const int x = perio::x0Of(26) + 7 + 10 + 1;
        QCOMPARE(m_form->graph().pixelColor(x, 65), QColor(255, 0, 0));

        TPerioColorsForm dialog(m_form->colors());
        QCOMPARE(dialog.LowerLabel->text(), QStringLiteral("< 4"));
        dialog.chooseColor = [](const QColor&, QWidget*) { return QColor(0, 0, 255); };
        dialog.ChooseBtns[TPerioColorsForm::PDLower]->click();
        dialog.RiskLevelEdit->setText(QStringLiteral("6"));
        QCOMPARE(dialog.GreaterLabel->text(), QStringLiteral(">= 6"));
        dialog.OKBtn->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        platform::Settings settings = platform::session().settings();
        dialog.colors().write(settings);
        const platform::IniFile ini(platform::configFile(QStringLiteral("PV.INI")));
        QCOMPARE(ini.readInteger(QStringLiteral("PerioColors"), QStringLiteral("PDLowerColor"), 0), 0xFF0000);
        QCOMPARE(ini.readString(QStringLiteral("PerioColors"), QStringLiteral("PDRiskLevel")),
            QStringLiteral("6"));
        QCOMPARE(PerioColors::read(settings), dialog.colors());
        m_form->setColors(PerioColors::read(settings));
        QCOMPARE(m_form->graph().pixelColor(x, 65), QColor(0, 0, 255));
    }

    void riskLevelMustBeANumber()
    {
        TPerioColorsForm dialog(PerioColors {});
        testsupport::MessageRecorder messages;
        dialog.RiskLevelEdit->setText(QString());
        dialog.OKBtn->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(messages.shown().size(), 1);
        dialog.CancelBtn->click();
        QCOMPARE(dialog.colors().riskLevel, 4);
    }

    void reportCarriesTheGraph()
    {
        newChart();
        type(QStringLiteral("0304"));
        charts().post();
        const reports::Report report = m_form->report();
        const platform::MessageTexts& lang = m_dm->lang();
        QCOMPARE(report.title(), lang.Message(QStringLiteral("Perio Measurements")));
        bool patient = false, picture = false;
        for (const reports::Report::Block& block : report.blocks()) {
            if (const auto* field = std::get_if<reports::Report::Field>(&block))
                patient = patient
                    || (field->label == lang.Message(QStringLiteral("Patient:"))
                        && field->value.contains(QStringLiteral("Papadopoulos")));
            if (const auto* image = std::get_if<reports::Report::Picture>(&block))
                picture = picture || image->image == m_form->graph();
        }
        QVERIFY(patient);
        QVERIFY(picture);
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("perio.pdf"));
        QString error;
        QVERIFY2(reports::exportPdf(report, pdf, &error), qPrintable(error));
        QVERIFY(QFileInfo(pdf).size() > 1000);
    }
};

QTEST_MAIN(TestPerioForm)
#include "tst_perioform.moc"
