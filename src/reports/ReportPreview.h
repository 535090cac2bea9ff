#pragma once

#include "reports/Report.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

class QPrintPreviewWidget;

namespace reports {

namespace detail {
// Made before the dialog, which keeps a pointer to it.
struct PreviewPrinter {
    QPrinter m_ownPrinter{QPrinter::HighResolution};
};
} // namespace detail

// The print preview of a report: maximised, at 100 percent, its pages drawn by the same
// routine as the printout and the PDF file. Keeps its own copy of the report.
class ReportPreview : private detail::PreviewPrinter, public QPrintPreviewDialog {
public:
    explicit ReportPreview(Report report, QWidget* parent = nullptr);

    QPrintPreviewWidget* previewWidget() const { return m_preview; }

private:
    Report m_report;
    QPrintPreviewWidget* m_preview = nullptr;
};

} // namespace reports
