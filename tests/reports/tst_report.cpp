#include "db/DatasetFixture.h"
#include "support/DataTable.h"

#include "reports/Report.h"
#include "reports/ReportLayout.h"
#include "reports/ReportOutput.h"
#include "reports/ReportPreview.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

QString money(const QVariant& value)
{
    return value.isNull() ? QString() : QLocale().toString(value.toDouble(), 'f', 2) + QStringLiteral(" €");
}

// A history of two teeth long enough for several pages.
reports::Report historyReport(int rowsPerTooth)
{
    reports::Report report(QStringLiteral("Ιστορικό Θεραπειών"));
    report.setPageHeader(QStringLiteral("Οδοντιατρείο Orvane"), QStringLiteral("06/12/2026"));
    report.addTitle(QStringLiteral("Ιστορικό Θεραπειών"), {QStringLiteral("Therapy session 2")});
    report.addField(QStringLiteral("Ασθενής"), QStringLiteral("Παπαδόπουλος Γιώργος"));
    reports::ReportColumn cost{QStringLiteral("Κόστος"), 1, Qt::AlignRight, true, money};
    reports::ReportTable table({{QStringLiteral("Date"), 1}, {QStringLiteral("Εργασία"), 3}, cost});
    table.setTotalCaptions(QStringLiteral("Σύνολο δοντιού"), QStringLiteral("Γενικό σύνολο"));
    for (int tooth : {11, 21}) {
        table.beginGroup(QStringLiteral("Δόντι %1").arg(tooth));
        for (int i = 0; i < rowsPerTooth; ++i)
            table.addRow({QDate(2026, 1, 1).addDays(i), QStringLiteral("Σφράγιση %1").arg(i), 10.0 + tooth});
    }
    report.addTable(table);
    return report;
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT

private:
    QString pdfText(const QString& pdf)
    {
        QProcess process;
        process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        if (!process.waitForFinished(30000) || process.exitCode() != 0)
            return {};
        return QString::fromUtf8(process.readAllStandardOutput());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QFAIL("pdftotext (poppler-utils) is needed: scripts/install-deps.sh installs it");
    }

    void pdfHoldsTheTextsTotalsAndPageNumbers()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("history.pdf"));
        QString error;
        QVERIFY2(reports::exportPdf(historyReport(40), file, &error), qPrintable(error));
        const QString text = pdfText(file);
        QVERIFY2(!text.isEmpty(), "pdftotext read nothing");
        for (const QString& expected : {QStringLiteral("Ιστορικό Θεραπειών"), QStringLiteral("Παπαδόπουλος Γιώργος"), QStringLiteral("Δόντι 11"),
                 QStringLiteral("Σφράγιση 39"), QStringLiteral("Σύνολο δοντιού"), QStringLiteral("Γενικό σύνολο"),
                 // 40 x 21 and 40 x 31, and both
                 QStringLiteral("840.00 €"), QStringLiteral("1,240.00 €"), QStringLiteral("2,080.00 €")})
            QVERIFY2(text.contains(expected), qPrintable(expected));
        const int pages = static_cast<int>(text.count(QLatin1Char('\f')));
        QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
        for (int page = 1; page <= pages; ++page)
            QVERIFY2(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(pages)), qPrintable(QString::number(page)));
        // The captions head the table on every page it runs over, below the page header.
        QCOMPARE(text.count(QStringLiteral("Εργασία")), pages);
        QCOMPARE(text.count(QStringLiteral("Οδοντιατρείο Orvane")), pages);
    }

    void pagesFollowTheContent_data()
    {
        testsupport::addRows<int, int, int, int>({ "rowsPerTooth", "pageBreaks", "minPages", "maxPages" },
            {
                { "short", 3, 0, 1, 1 },
                { "page breaks", 3, 2, 3, 3 },
                { "long table", 100, 0, 3, 8 },
            });
    }
    void pagesFollowTheContent()
    {
        QFETCH(int, rowsPerTooth);
        QFETCH(int, pageBreaks);
        QFETCH(int, minPages);
        QFETCH(int, maxPages);
        reports::Report report = historyReport(rowsPerTooth);
        for (int i = 0; i < pageBreaks; ++i) {
            report.addPageBreak();
            report.addText(QStringLiteral("after a break"));
        }
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(report.pageLayout());
        const int pages = reports::renderReport(report, writer);
        QVERIFY2(pages >= minPages && pages <= maxPages, qPrintable(QString::number(pages)));
        // Nothing drawn below the page's printable area.
        const QSizeF area = writer.pageLayout().paintRectPixels(writer.logicalDpiX()).size();
        for (const reports::ReportPage& page : reports::layoutReport(report, writer, area)) {
            for (const reports::PageItem& item : page.items)
                QVERIFY(item.rect.bottom() <= area.height() + 0.5);
        }
    }

    void previewIsMaximisedAtFullSizeWithTheSamePages()
    {
        reports::ReportPreview preview(historyReport(40));
        QVERIFY(preview.windowState() & Qt::WindowMaximized);
        preview.show();
        QVERIFY(preview.previewWidget());
        QTRY_VERIFY(preview.previewWidget()->pageCount() >= 2);
        QCOMPARE(preview.previewWidget()->zoomMode(), QPrintPreviewWidget::CustomZoom);
        QCOMPARE(preview.previewWidget()->zoomFactor(), 1.0);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(historyReport(40).pageLayout());
        QCOMPARE(preview.previewWidget()->pageCount(), reports::renderReport(historyReport(40), writer));
        preview.close();
    }

    void tableFromAViewGroupsAndTotalsInTheFieldsFormat()
    {
        fixture::Database database;
        database.addHistory(1, 7, 100, 12.5);
        database.addHistory(2, 7, 100, 7.25);
        database.addHistory(3, 7, 200, 30);
        auto history = database.view(fixture::history());
        history->setOrderBy({QStringLiteral("OperID")});
        history->open();
        history->field(u"Cost").setDisplayFormat(QStringLiteral(",0.00 €"));
        history->last();
        const reports::ReportTable table = reports::ReportTable::fromDataset(*history,
            {{QStringLiteral("ID"), QString()}, {QStringLiteral("Cost"), QStringLiteral("Cost")}}, {QStringLiteral("Cost")},
            QStringLiteral("OperID"), QStringLiteral("Operation"));
        QCOMPARE(history->currentRow(), 2); // the cursor stayed
        QStringList shown;
        for (const reports::ReportTable::Row& row : table.rows())
            shown << row.cells.join(u'|');
        QCOMPARE(shown, (QStringList{QStringLiteral("Operation 100"), QStringLiteral("1|12.50 €"), QStringLiteral("2|7.25 €"),
                            QStringLiteral("Total|19.75 €"), QStringLiteral("Operation 200"), QStringLiteral("3|30.00 €"),
                            QStringLiteral("Total|30.00 €"), QStringLiteral("Total|49.75 €")}));
        QCOMPARE(table.total(1), 49.75);
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
