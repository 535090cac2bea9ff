// The treatment history report as a PDF file, read back with pdftotext: the rows of one view
// grouped by dentist with their totals, the parts the options and the layout file leave out.
#include "clinical/HistoryPerPat.h"
#include "data/RulesFixture.h"
#include "db/Dataset.h"
#include "reports/ReportOutput.h"
#include "support/DataTable.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using rulestest::exec;

class TestHistoryReport : public QObject {
    Q_OBJECT

    std::unique_ptr<rulestest::Practice> m_practice;
    std::unique_ptr<data::TDmForm> m_dm;
    QTemporaryDir m_out;

    void addDentist(int id, const QString& name)
    {
        exec(*m_dm->Database, QStringLiteral("INSERT INTO Doctors (DocID, LastName, FirstName) VALUES (:id, :n, 'A')"),
            {{QStringLiteral("id"), id}, {QStringLiteral("n"), name}});
    }

    void addRow(db::Dataset& view, int level, int dentist, int tooth, double euro)
    {
        view.append();
        view.setValue(u"TreatmentLevel", level);
        view.setValue(u"OperID", 7);
        view.setValue(u"ToothNum", tooth);
        view.setValue(u"DentistID", dentist);
        view.setValue(u"Discount", 0);
        view.setValue(u"Price", euro * m_dm->money().rate());
        view.setValue(u"PriceEURO", euro);
        view.setValue(u"Cost", euro * m_dm->money().rate());
        view.setValue(u"CostEURO", euro);
        view.post();
    }

    QString pdfText(const clinical::HistoryReportOptions& options, const clinical::HistoryReportLayout& layout = {})
    {
        QImage chart(542, 366, QImage::Format_RGB32);
        chart.fill(Qt::white);
        const QString pdf = m_out.filePath(QStringLiteral("report.pdf"));
        QString error;
        const bool written = reports::exportPdf(clinical::BuildHistoryReport(*m_dm, chart, QStringLiteral("Treatment"), options, layout), pdf, &error);
        if (!written)
            qWarning() << error;
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        text.waitForFinished();
        return QString::fromUtf8(text.readAllStandardOutput());
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed (poppler-utils)");
    }

    void init()
    {
        m_practice = std::make_unique<rulestest::Practice>();
        platform::session() = platform::Session{};
        m_dm = m_practice->openNew();
        rulestest::addOperation(*m_dm, 7, QStringLiteral("Composite filling"), 0, 0);
        addDentist(1, QStringLiteral("Alexiou"));
        addDentist(2, QStringLiteral("Bakas"));
        m_dm->lists().DentistsTable->refresh();
        rulestest::addPatient(*m_dm, QStringLiteral("Papadopoulos"));
        m_dm->clinical().SessionsTable->append();
        m_dm->clinical().SessionsTable->setValue(u"SessionNum", 1);
        m_dm->clinical().SessionsTable->post();
        // Two dentists' treatments interleaved, and a plan row that is not printed with them.
        addRow(*m_dm->clinical().HistPerSessionTable3, 2, 2, 16, 100);
        addRow(*m_dm->clinical().HistPerSessionTable3, 2, 1, 26, 40);
        addRow(*m_dm->clinical().HistPerSessionTable3, 2, 2, 36, 25.5);
        addRow(*m_dm->clinical().HistPerSessionTable2, 1, 1, 11, 999);
    }

    void cleanup()
    {
        m_dm.reset();
        m_practice.reset();
    }

    void rowsGroupedByDentistWithTotals()
    {
        clinical::HistoryReportOptions options;
        options.level = data::TreatmentLevel::Implementation;
        const QString text = pdfText(options);
        const qsizetype alexiou = text.indexOf(QStringLiteral("Dentist: Alexiou"));
        const qsizetype bakas = text.indexOf(QStringLiteral("Dentist: Bakas"));
        QVERIFY2(alexiou >= 0 && bakas > alexiou, qPrintable(text));
        // Each group ends with its own total; the report with the sum of all.
        const QString first = text.mid(alexiou, bakas - alexiou);
        const QString second = text.mid(bakas);
        QVERIFY(first.contains(QStringLiteral("26")));
        QVERIFY(first.contains(QRegularExpression(QStringLiteral("Total\\s+40[.,]00 €"))));
        QVERIFY(second.contains(QRegularExpression(QStringLiteral("Total\\s+125[.,]50 €"))));
        QVERIFY(second.contains(QRegularExpression(QStringLiteral("TOTAL :\\s+165[.,]50 €"))));
        QVERIFY(!text.contains(QStringLiteral("999")));
    }

    void priceOnlyWhereItBelongs_data()
    {
        testsupport::addRows<int, bool, bool>({ "level", "receiptsOnly", "priced" },
            {
                { "plan", 1, false, true },
                { "initial situation", 0, false, false },
                { "treatments, receipts only", 2, true, false },
            });
    }
    void priceOnlyWhereItBelongs()
    {
        QFETCH(int, level);
        QFETCH(bool, receiptsOnly);
        QFETCH(bool, priced);
        platform::session().receiptsOnly = receiptsOnly;
        if (level == 0)
            addRow(*m_dm->clinical().HistPerSessionTable, 0, 1, 21, 12);
        clinical::HistoryReportOptions options;
        options.level = data::TreatmentLevel(level);
        const QString text = pdfText(options);
        QVERIFY2(text.contains(QStringLiteral("Dentist: Alexiou")), qPrintable(text));
        QCOMPARE(text.contains(QStringLiteral("€")), priced);
        QCOMPARE(text.contains(QStringLiteral("TOTAL :")), priced);
    }

    void layoutFileChoosesColumns()
    {
        const QString path = m_out.filePath(clinical::HistoryReportLayout::fileName());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Layout]\nColumns=Tooth, Operation, Nonsense\nFooter=Page %1\n");
        file.close();
        const clinical::HistoryReportLayout layout = clinical::HistoryReportLayout::fromFile(path);
        QCOMPARE(layout.columns, (QStringList{QStringLiteral("Tooth"), QStringLiteral("Operation")}));
        clinical::HistoryReportOptions options;
        const QString text = pdfText(options, layout);
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Tooth\\s+Operation"))), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("€")));
        QVERIFY(!text.contains(QStringLiteral("Date")));
    }

    void diagramOnlyLeavesTheRowsOut()
    {
        clinical::HistoryReportOptions options;
        options.parts = clinical::HistoryReportOptions::Parts::DiagramOnly;
        const QString text = pdfText(options);
        QVERIFY(text.contains(QStringLiteral("Dental Chart")));
        QVERIFY(!text.contains(QStringLiteral("Dentist:")));
        QVERIFY(!text.contains(QStringLiteral("TOTAL")));
    }
};

QTEST_MAIN(TestHistoryReport)
#include "tst_historyreport.moc"
