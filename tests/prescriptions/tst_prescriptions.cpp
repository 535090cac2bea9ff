// Medicines and prescriptions: the medicine choice, the form following the medicine, the line
// buttons, the medicines list beside an open prescriptions window, the report's layout file, its
// designer and its export.

#include "data/RulesPractice.h"
#include "db/DataSource.h"
#include "platform/Directories.h"
#include "prescriptions/MedicinesUnit.h"
#include "prescriptions/PrescriptionsUnit.h"
#include "prescriptions/ReportDesignUnit.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "support/RecordFrameFor.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QPdfWriter>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

struct Medicine {
    int id;
    const char* name;
    const char* morph;
    bool shown;
};
constexpr Medicine kMedicines[]
    = { { 1, "Amoxil", "capsules", true }, { 2, "Hidden", "syrup", false }, { 3, "Depon", "tablets", true } };

// The search dialog as the user works it: offers the rows the condition lets through and
// chooses the one named, when offered.
struct Chooser {
    QString wanted;
    QStringList offered;
    bool operator()(db::Dataset& view, const QString&, const QString& condition)
    {
        offered.clear();
        int chosen = -1;
        for (int row = 0; row < view.recordCount(); ++row) {
            if (condition == QLatin1String("Shown = TRUE")
                && !view.rowValue(row, view.field(u"Shown").index()).toBool())
                continue;
            const QString name = view.rowValue(row, view.field(u"Name").index()).toString();
            offered << name;
            if (name == wanted)
                chosen = row;
        }
        if (chosen < 0)
            return false;
        view.moveTo(chosen);
        return true;
    }
};

} // namespace

class TestPrescriptions : public RulesTest {
    Q_OBJECT

    std::unique_ptr<data::TDmForm> practice()
    {
        auto dm = m_practice->open();
        for (const Medicine& m : kMedicines)
            rulestest::exec(*dm->Database,
                QStringLiteral(
                    "INSERT INTO Medicines (ID, Name, Morph, Shown) VALUES (:id, :name, :morph, :shown)"),
                { { QStringLiteral("id"), m.id }, { QStringLiteral("name"), QLatin1String(m.name) },
                    { QStringLiteral("morph"), QLatin1String(m.morph) },
                    { QStringLiteral("shown"), m.shown } });
        RulesPractice::addPatient(*dm, QStringLiteral("Petrou"));
        return dm;
    }

private Q_SLOTS:
    void initTestCase() { QDir().mkpath(platform::programDir()); }

    void hiddenMedicinesOnlyWhenAskedFor_data()
    {
        testsupport::addSwitchRows("showAll", "all medicines", "shown medicines");
    }
    void hiddenMedicinesOnlyWhenAskedFor()
    {
        QFETCH(bool, showAll);
        auto dm = practice();
        const auto frame = testsupport::recordFrameFor(*dm);
        auto chooser = std::make_shared<Chooser>();
        chooser->wanted = QStringLiteral("Hidden");
        prescriptions::TPrescriptionsForm form(*dm,
            { [chooser](db::Dataset& v, const QString& c, const QString& w) { return (*chooser)(v, c, w); },
                {}, {} });
        form.show();
        form.ShowAllMedicinesChk->setChecked(showAll);
        dm->patients().PrescriptionsTable->append();
        form.NewMedicineClick();
        QCOMPARE(chooser->offered.contains(QStringLiteral("Hidden")), showAll);
        QCOMPARE(chooser->offered.size(), showAll ? 3 : 2);
        QCOMPARE(dm->patients().PrescrItemsTable->recordCount(), showAll ? 1 : 0);
        if (showAll)
            QCOMPARE(
                dm->patients().PrescrItemsTable->value(u"Medicine").toString(), QStringLiteral("Hidden"));
    }

    void morphFollowsTheMedicine()
    {
        auto dm = practice();
        const auto frame = testsupport::recordFrameFor(*dm);
        auto chooser = std::make_shared<Chooser>();
        chooser->wanted = QStringLiteral("Amoxil");
        prescriptions::TPrescriptionsForm form(*dm,
            { [chooser](db::Dataset& v, const QString& c, const QString& w) { return (*chooser)(v, c, w); },
                {}, {} });
        form.show();
        db::Dataset& lines = *dm->patients().PrescrItemsTable;
        dm->patients().PrescriptionsTable->append();
        form.NewMedicineClick();
        QCOMPARE(lines.value(u"Morph").toString(), QStringLiteral("capsules"));
        lines.setValue(u"Morph", QStringLiteral("powder"));
        lines.setValue(u"Amount", QStringLiteral("2 boxes"));
        QCOMPARE(lines.value(u"Morph").toString(), QStringLiteral("powder"));
        chooser->wanted = QStringLiteral("Depon");
        form.ChooseMedicine();
        QCOMPARE(lines.value(u"Medicine").toString(), QStringLiteral("Depon"));
        QCOMPARE(lines.value(u"Morph").toString(), QStringLiteral("tablets"));
        lines.setValue(u"Morph", QStringLiteral("effervescent"));
        dm->patients().PrescriptionsTable->setValue(u"Name", QStringLiteral("Pain"));
        dm->patients().PrescriptionsTable->post();
        QCOMPARE(rulestest::scalar(*dm->Database, QStringLiteral("SELECT Morph FROM PrescrItems")).toString(),
            QStringLiteral("effervescent"));
    }

    void deleteMedicineOnlyWhileEditingWithLines()
    {
        auto dm = practice();
        const auto frame = testsupport::recordFrameFor(*dm);
        Chooser chooser { QStringLiteral("Depon"), {} };
        prescriptions::TPrescriptionsForm form(*dm, { std::ref(chooser), {}, {} });
        form.show();
        db::Dataset& prescription = *dm->patients().PrescriptionsTable;
        QVERIFY(!form.NewMedicineBtn->isEnabled());
        QVERIFY(!form.DeleteMedicineBtn->isEnabled());
        prescription.append();
        QVERIFY(form.NewMedicineBtn->isEnabled());
        QVERIFY(!form.DeleteMedicineBtn->isEnabled());
        form.NewMedicineClick();
        QVERIFY(form.DeleteMedicineBtn->isEnabled());
        QVERIFY(form.DeleteMedicine1->isEnabled());
        prescription.post();
        QCOMPARE(dm->patients().PrescrItemsTable->recordCount(), 1);
        QVERIFY(!form.DeleteMedicineBtn->isEnabled()); // browsing
        prescription.edit();
        QVERIFY(form.DeleteMedicineBtn->isEnabled());
        form.DeleteMedicineClick();
        QVERIFY(!form.DeleteMedicineBtn->isEnabled());
        QVERIFY(!form.DeleteMedicine1->isEnabled());
    }

    void medicinesListLeavesTheTableToPrescriptions_data()
    {
        testsupport::addSwitchRows("prescriptionsOpen", "prescriptions open", "prescriptions closed");
    }
    void medicinesListLeavesTheTableToPrescriptions()
    {
        QFETCH(bool, prescriptionsOpen);
        auto dm = practice();
        const auto frame = testsupport::recordFrameFor(*dm);
        std::unique_ptr<prescriptions::TPrescriptionsForm> open;
        if (prescriptionsOpen) {
            open = std::make_unique<prescriptions::TPrescriptionsForm>(*dm);
            open->show();
        } else {
            dm->patients().PrescriptionsTable->close();
        }
        {
            prescriptions::TMedicinesForm medicines(*dm);
            medicines.show();
            QCOMPARE(dm->ActiveSrc->dataset(), dm->lists().MedicinesTable);
            QCOMPARE(dm->ActiveSrc->tag(), 19);
            medicines.accept();
        }
        QCOMPARE(dm->lists().MedicinesTable->isActive(), prescriptionsOpen);
        if (open) {
            QVERIFY(open->close());
            QVERIFY(!dm->lists().MedicinesTable->isActive());
        }
    }

    void layoutFileRoundTrip()
    {
        const prescriptions::PrescriptionLayout builtIn = prescriptions::PrescriptionLayout::builtIn();
        prescriptions::PrescriptionLayout changed = builtIn;
        changed.items[0].mm = QPointF(12.5, 3);
        changed.items[0].font.setPointSize(16);
        changed.items.append({ prescriptions::LayoutItem::Band::Detail, QStringLiteral("Box"), {},
            QPointF(1, 2), 20, QFont() });
        const QString file = QDir(platform::programDir()).filePath(QStringLiteral("roundtrip.rtm"));
        QString error;
        QVERIFY2(changed.save(file, &error), qPrintable(error));
        const std::optional<prescriptions::PrescriptionLayout> loaded
            = prescriptions::PrescriptionLayout::load(file, &error);
        QVERIFY2(loaded, qPrintable(error));
        QCOMPARE(loaded->items.size(), changed.items.size());
        QCOMPARE(loaded->items[0].mm, QPointF(12.5, 3));
        QCOMPARE(loaded->items[0].font.pointSize(), 16);
        QCOMPARE(loaded->items.last().caption, QStringLiteral("Box"));
        QCOMPARE(loaded->items[1].field, builtIn.items[1].field);
    }

    // The designer saves only what the prescriptions can load again; anything else stays unsaved.
    void designerRefusesWhatTheReportCannotUse_data()
    {
        // reason: empty: saved
        testsupport::addRows<QString, QString>({ "change", "reason" },
            {
                { "sound", "", "" },
                { "page height 0", "page height", "impossible sizes" },
                { "bands taller than the page", "title band", "impossible sizes" },
                { "item without width", "item width", "impossible font size or width" },
            });
    }
    void designerRefusesWhatTheReportCannotUse()
    {
        QFETCH(QString, change);
        QFETCH(QString, reason);
        const QString file = QDir(platform::programDir()).filePath(QStringLiteral("designed.rtm"));
        QFile::remove(file);
        prescriptions::TReportDesignForm designer(prescriptions::PrescriptionLayout::builtIn(), file);
        if (change == QLatin1String("page height"))
            designer.PageHeightEdit->setValue(0);
        else if (change == QLatin1String("title band"))
            designer.TitleHeightEdit->setValue(designer.PageHeightEdit->value());
        else if (change == QLatin1String("item width"))
            static_cast<QDoubleSpinBox*>(designer.ItemsTable->cellWidget(0, 5))->setValue(0);
        testsupport::MessageRecorder messages;
        QCOMPARE(designer.SaveBtnClick(), reason.isEmpty());
        QCOMPARE(designer.layout().problem().isEmpty(), reason.isEmpty());
        if (!reason.isEmpty()) {
            QVERIFY(!QFile::exists(file));
            QCOMPARE(messages.texts().size(), 1);
            QVERIFY2(messages.texts().first().contains(reason), qPrintable(messages.texts().first()));
            return;
        }
        QVERIFY(messages.shown().isEmpty());
        QString error;
        QVERIFY2(prescriptions::PrescriptionLayout::load(file, &error), qPrintable(error));
    }

    void exportPdfWritesTheCurrentPrescription()
    {
        auto dm = practice();
        const auto frame = testsupport::recordFrameFor(*dm);
        prescriptions::TPrescriptionsForm form(*dm);
        form.show();
        db::Dataset& prescription = *dm->patients().PrescriptionsTable;
        QVERIFY(!form.ExportPdf1->isEnabled());
        prescription.append();
        prescription.setValue(u"Name", QStringLiteral("Pain"));
        prescription.post();
        QVERIFY(form.ExportPdf1->isEnabled());
        const QString pdf = QDir(platform::programDir()).filePath(QStringLiteral("exported.pdf"));
        testsupport::MessageRecorder messages;
        QVERIFY(form.ExportPdf(pdf));
        QFile written(pdf);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.read(5) == "%PDF-");
        QVERIFY(messages.shown().isEmpty());
        const QString nowhere = QDir(platform::programDir()).filePath(QStringLiteral("missing/folder/x.pdf"));
        QVERIFY(!form.ExportPdf(nowhere));
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.texts().first().startsWith(QStringLiteral("Cannot write ") + nowhere));
    }

    // A corrupt layout beside the program: the built-in layout prints, and the user hears it once.
    void corruptLayoutFallsBack()
    {
        auto dm = practice();
        const auto frame = testsupport::recordFrameFor(*dm);
        QFile file(prescriptions::TPrescriptionsForm::layoutFile());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("{ \"format\": \"orvane-report\", \"page\": ");
        file.close();
        testsupport::MessageRecorder messages;
        {
            prescriptions::TPrescriptionsForm first(*dm);
            QCOMPARE(first.layout().items.size(), prescriptions::PrescriptionLayout::builtIn().items.size());
            prescriptions::TPrescriptionsForm second(*dm);
        }
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY(messages.texts().first().contains(QStringLiteral("PrescriptionsRpt.rtm")));
        QVERIFY(file.remove());
    }

    void reportPages_data()
    {
        testsupport::addRows<int, int>({ "lines", "pages" },
            {
                { "one line", 1, 1 },
                { "a page of lines", 5, 1 },
                { "more than a page", 12, 2 },
            });
    }
    void reportPages()
    {
        QFETCH(int, lines);
        QFETCH(int, pages);
        prescriptions::PrescriptionValues values;
        values.title.insert(QStringLiteral("Dentist.LastName"), QStringLiteral("Georgiou"));
        for (int i = 0; i < lines; ++i)
            values.lines.append(
                { { QStringLiteral("Line.Medicine"), QStringLiteral("Medicine %1").arg(i) } });
        const QString pdf = QDir(platform::programDir()).filePath(QStringLiteral("prescription.pdf"));
        QPdfWriter writer(pdf);
        QCOMPARE(
            prescriptions::renderPrescription(prescriptions::PrescriptionLayout::builtIn(), values, writer),
            pages);
    }
};

QTEST_MAIN(TestPrescriptions)
#include "tst_prescriptions.moc"
