#include "reports/Report.h"

#include <QMarginsF>
#include <QPageSize>

namespace reports {

Report::Report(QString title)
    : m_title(std::move(title))
    , m_pageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter)
    , m_font(QStringLiteral("DejaVu Sans"), 10)
{
}

void Report::setPageHeader(const QString& left, const QString& right)
{
    m_headerLeft = left;
    m_headerRight = right;
}

} // namespace reports
