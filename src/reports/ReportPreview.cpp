#include "reports/ReportPreview.h"

#include "reports/ReportOutput.h"

#include <QPrintPreviewWidget>

namespace reports {

ReportPreview::ReportPreview(Report report, QWidget* parent)
    : QPrintPreviewDialog(&m_ownPrinter, parent)
    , m_report(std::move(report))
{
    preparePrinter(m_ownPrinter, m_report);
    setWindowTitle(m_report.title());
    connect(this, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) { renderReport(m_report, *target); });
    m_preview = findChild<QPrintPreviewWidget*>();
    if (m_preview) {
        m_preview->setZoomMode(QPrintPreviewWidget::CustomZoom);
        m_preview->setZoomFactor(1.0);
    }
    setWindowState(windowState() | Qt::WindowMaximized);
}

} // namespace reports
