#include "reports/ReportOutput.h"

#include "reports/Report.h"
#include "reports/ReportLayout.h"
#include "reports/ReportPreview.h"

#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>

namespace reports {

int renderReport(const Report& report, QPagedPaintDevice& device)
{
    const QRectF area = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const QList<ReportPage> pages = layoutReport(report, device, area.size());
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0)
            device.newPage();
        paintPage(painter, pages[i]);
    }
    painter.end();
    return static_cast<int>(pages.size());
}

bool exportPdf(const Report& report, const QString& fileName, QString* error)
{
    QPdfWriter writer(fileName);
    writer.setPageLayout(report.pageLayout());
    writer.setTitle(report.title());
    writer.setCreator(QStringLiteral("Orvane"));
    if (renderReport(report, writer) > 0)
        return true;
    if (error)
        *error = QStringLiteral("The file \"%1\" cannot be written.").arg(QFileInfo(fileName).absoluteFilePath());
    return false;
}

void preparePrinter(QPrinter& printer, const Report& report)
{
    printer.setPageLayout(report.pageLayout());
    printer.setDocName(report.title());
    printer.setCreator(QStringLiteral("Orvane"));
}

bool printReport(const Report& report, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, report);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    renderReport(report, printer);
    return true;
}

void previewReport(const Report& report, QWidget* parent)
{
    ReportPreview preview(report, parent);
    preview.exec();
}

} // namespace reports
