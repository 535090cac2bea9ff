#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

class QPaintDevice;
class QPainter;

namespace reports {

class Report;

// One thing drawn on a page, in the device's pixels from the top left of the printable area.
struct PageItem {
    enum class Kind { Text, Line, Fill, Picture };
    Kind kind = Kind::Text;
    QRectF rect; // a line runs from the top left to the top right
    QString text;
    QFont font;
    int flags = 0; // alignment and wrapping of a text
    QColor color;
    QImage image;
};

struct ReportPage {
    QList<PageItem> items;
};

// Lays the report out on pages of `pageSize` pixels of `device` (its resolution sizes the
// fonts), with the page header and footer and the page numbers filled in.
QList<ReportPage> layoutReport(const Report& report, QPaintDevice& device, const QSizeF& pageSize);
// Draws one laid out page.
void paintPage(QPainter& painter, const ReportPage& page);

} // namespace reports
