#pragma once

#include <QString>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace reports {

class Report;

// Lays the report out for the device and draws every page on it; the number of pages.
int renderReport(const Report& report, QPagedPaintDevice& device);
// Writes the report as a PDF file with its texts as text. False with the reason in `error`
// when the file cannot be written.
bool exportPdf(const Report& report, const QString& fileName, QString* error = nullptr);
// The report's page, title and creator on a printer.
void preparePrinter(QPrinter& printer, const Report& report);
// Asks for a printer and prints; false when the user cancels.
bool printReport(const Report& report, QWidget* parent = nullptr);
// The print preview (ReportPreview), modal; printing from it uses the same pages.
void previewReport(const Report& report, QWidget* parent = nullptr);

} // namespace reports
