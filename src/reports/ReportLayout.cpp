#include "reports/ReportLayout.h"

#include "reports/Report.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

namespace reports {
namespace {

const QColor kInk(Qt::black);
const QColor kRule(0x80, 0x80, 0x80);
const QColor kShade(0xE8, 0xE8, 0xE8);

// Places blocks top to bottom, starting a new page when the next piece does not fit.
class Layouter {
public:
    Layouter(const Report& report, QPaintDevice& device, const QSizeF& pageSize)
        : m_report(report)
        , m_device(device)
        , m_width(pageSize.width())
        , m_pageHeight(pageSize.height())
        , m_body(report.font())
        , m_bold(report.font())
        , m_small(report.font())
    {
        m_bold.setBold(true);
        m_small.setPointSizeF(report.font().pointSizeF() * 0.85);
        m_padding = mm(1.2);
        m_top = lineHeight(m_small) + mm(3);
        m_bottom = m_pageHeight - lineHeight(m_small) - mm(3);
        newPage();
    }

    QList<ReportPage> run()
    {
        for (const Report::Block& block : m_report.blocks())
            std::visit([this](const auto& b) { place(b); }, block);
        addHeadersAndFooters();
        return m_pages;
    }

private:
    double mm(double millimetres) const { return millimetres * m_device.logicalDpiY() / 25.4; }
    double lineHeight(const QFont& font) const { return QFontMetricsF(font, &m_device).lineSpacing(); }
    double textHeight(const QFont& font, double width, const QString& text) const
    {
        if (text.isEmpty())
            return lineHeight(font);
        return QFontMetricsF(font, &m_device).boundingRect(QRectF(0, 0, std::max(width, 1.0), 1e9), Qt::TextWordWrap, text).height();
    }

    void newPage()
    {
        m_pages.append(ReportPage{});
        m_y = m_top;
    }
    // Starts a new page unless `height` fits below, or the page is still empty.
    void ensure(double height)
    {
        if (m_y + height > m_bottom && m_y > m_top)
            newPage();
    }
    void text(const QRectF& rect, const QString& text, const QFont& font, int flags)
    {
        m_pages.last().items.append({PageItem::Kind::Text, rect, text, font, flags, kInk, {}});
    }
    void line(double x1, double x2, double y)
    {
        m_pages.last().items.append({PageItem::Kind::Line, QRectF(x1, y, x2 - x1, 0), {}, {}, 0, kRule, {}});
    }
    void fill(const QRectF& rect)
    {
        m_pages.last().items.append({PageItem::Kind::Fill, rect, {}, {}, 0, kShade, {}});
    }

    void place(const Report::Title& title)
    {
        QFont big = m_bold;
        big.setPointSizeF(m_body.pointSizeF() * 1.6);
        const double height = textHeight(big, m_width, title.text);
        ensure(height + lineHeight(m_body) * title.lines.size());
        text(QRectF(0, m_y, m_width, height), title.text, big, Qt::AlignHCenter | Qt::TextWordWrap);
        m_y += height;
        for (const QString& l : title.lines) {
            const double h = textHeight(m_body, m_width, l);
            text(QRectF(0, m_y, m_width, h), l, m_body, Qt::AlignHCenter | Qt::TextWordWrap);
            m_y += h;
        }
        m_y += mm(4);
    }

    void place(const Report::Text& paragraph)
    {
        // Line by line, so that a long text runs on over pages.
        const QFont& font = paragraph.bold ? m_bold : m_body;
        for (const QString& l : paragraph.text.split(QLatin1Char('\n'))) {
            const double height = textHeight(font, m_width, l);
            ensure(height);
            text(QRectF(0, m_y, m_width, height), l, font, Qt::AlignLeft | Qt::TextWordWrap);
            m_y += height;
        }
        m_y += mm(1);
    }

    void place(const Report::Field& field)
    {
        const double labelWidth = m_width * 0.3;
        const double valueWidth = m_width - labelWidth;
        const double height = std::max(textHeight(m_bold, labelWidth, field.label), textHeight(m_body, valueWidth, field.value));
        ensure(height);
        text(QRectF(0, m_y, labelWidth - m_padding, height), field.label, m_bold, Qt::AlignLeft | Qt::TextWordWrap);
        text(QRectF(labelWidth, m_y, valueWidth, height), field.value, m_body, Qt::AlignLeft | Qt::TextWordWrap);
        m_y += height + mm(0.5);
    }

    void place(const Report::Picture& picture)
    {
        if (picture.image.isNull())
            return;
        QSizeF size = picture.image.size();
        size.scale(QSizeF(m_width, std::min(mm(picture.maxHeightMm), m_bottom - m_top)), Qt::KeepAspectRatio);
        ensure(size.height());
        m_pages.last().items.append({PageItem::Kind::Picture, QRectF((m_width - size.width()) / 2, m_y, size.width(), size.height()), {}, {}, 0, {}, picture.image});
        m_y += size.height() + mm(2);
    }

    void place(const Report::Space& space) { m_y += mm(space.mm); }

    void place(const Report::PageBreak&)
    {
        if (m_y > m_top)
            newPage();
    }

    void place(const ReportTable& table)
    {
        const QList<ReportColumn>& columns = table.columns();
        if (columns.isEmpty())
            return;
        double shares = 0;
        for (const ReportColumn& c : columns)
            shares += std::max(c.width, 0.01);
        QList<double> x{0};
        for (const ReportColumn& c : columns)
            x << x.last() + m_width * std::max(c.width, 0.01) / shares;

        const auto rowHeight = [&](const QStringList& cells, const QFont& font) {
            double height = lineHeight(font);
            for (int c = 0; c < cells.size() && c < columns.size(); ++c)
                height = std::max(height, textHeight(font, x[c + 1] - x[c] - 2 * m_padding, cells[c]));
            return height + 2 * m_padding;
        };
        const auto drawCells = [&](const QStringList& cells, const QFont& font, double height) {
            for (int c = 0; c < cells.size() && c < columns.size(); ++c) {
                const QRectF cell(x[c] + m_padding, m_y + m_padding, x[c + 1] - x[c] - 2 * m_padding, height - 2 * m_padding);
                text(cell, cells[c], font, int(columns[c].alignment | Qt::AlignTop) | Qt::TextWordWrap);
            }
        };
        QStringList captions;
        for (const ReportColumn& c : columns)
            captions << c.caption;
        const double headerHeight = rowHeight(captions, m_bold);
        const auto drawHeader = [&] {
            fill(QRectF(0, m_y, m_width, headerHeight));
            drawCells(captions, m_bold, headerHeight);
            m_y += headerHeight;
            line(0, m_width, m_y);
        };

        const QList<ReportTable::Row> rows = table.rows();
        ensure(headerHeight + (rows.isEmpty() ? 0 : rowHeight(rows.first().cells, m_body)));
        drawHeader();
        for (int i = 0; i < rows.size(); ++i) {
            const ReportTable::Row& row = rows[i];
            const bool strong = row.kind != ReportTable::Row::Kind::Data;
            const QFont& font = strong ? m_bold : m_body;
            double height = row.kind == ReportTable::Row::Kind::GroupHeader ? textHeight(m_bold, m_width - 2 * m_padding, row.cells.value(0)) + 2 * m_padding
                                                                            : rowHeight(row.cells, font);
            // A group's header stays with its first row.
            double needed = height;
            if (row.kind == ReportTable::Row::Kind::GroupHeader && i + 1 < rows.size())
                needed += rowHeight(rows[i + 1].cells, m_body);
            if (m_y + needed > m_bottom) {
                newPage();
                drawHeader(); // the captions again on every page the table runs over
            }
            switch (row.kind) {
            case ReportTable::Row::Kind::GroupHeader:
                fill(QRectF(0, m_y, m_width, height));
                text(QRectF(m_padding, m_y + m_padding, m_width - 2 * m_padding, height - 2 * m_padding), row.cells.value(0), m_bold, Qt::AlignLeft | Qt::TextWordWrap);
                break;
            case ReportTable::Row::Kind::GroupFooter:
            case ReportTable::Row::Kind::Total:
                line(0, m_width, m_y);
                drawCells(row.cells, font, height);
                break;
            case ReportTable::Row::Kind::Data:
                drawCells(row.cells, font, height);
                break;
            }
            m_y += height;
            if (row.kind == ReportTable::Row::Kind::Total)
                line(0, m_width, m_y);
        }
        m_y += mm(3);
    }

    void addHeadersAndFooters()
    {
        const int count = static_cast<int>(m_pages.size());
        const double small = lineHeight(m_small);
        for (int i = 0; i < count; ++i) {
            ReportPage& page = m_pages[i];
            if (!m_report.headerLeft().isEmpty() || !m_report.headerRight().isEmpty()) {
                page.items.append({PageItem::Kind::Text, QRectF(0, 0, m_width, small), m_report.headerLeft(), m_small, Qt::AlignLeft, kInk, {}});
                page.items.append({PageItem::Kind::Text, QRectF(0, 0, m_width, small), m_report.headerRight(), m_small, Qt::AlignRight, kInk, {}});
                page.items.append({PageItem::Kind::Line, QRectF(0, small + mm(1), m_width, 0), {}, {}, 0, kRule, {}});
            }
            if (!m_report.pageFooter().isEmpty()) {
                QString footer = m_report.pageFooter();
                footer.replace(QStringLiteral("%1"), QString::number(i + 1)).replace(QStringLiteral("%2"), QString::number(count));
                page.items.append({PageItem::Kind::Text, QRectF(0, m_pageHeight - small, m_width, small), footer, m_small, Qt::AlignHCenter, kInk, {}});
            }
        }
    }

    const Report& m_report;
    QPaintDevice& m_device;
    double m_width;
    double m_pageHeight;
    QFont m_body;
    QFont m_bold;
    QFont m_small;
    double m_padding = 0;
    double m_top = 0;
    double m_bottom = 0;
    double m_y = 0;
    QList<ReportPage> m_pages;
};

} // namespace

QList<ReportPage> layoutReport(const Report& report, QPaintDevice& device, const QSizeF& pageSize)
{
    return Layouter(report, device, pageSize).run();
}

void paintPage(QPainter& painter, const ReportPage& page)
{
    for (const PageItem& item : page.items) {
        switch (item.kind) {
        case PageItem::Kind::Text:
            painter.setFont(item.font);
            painter.setPen(item.color);
            painter.drawText(item.rect, item.flags, item.text);
            break;
        case PageItem::Kind::Line:
            painter.setPen(QPen(item.color, 0));
            painter.drawLine(item.rect.topLeft(), item.rect.topRight());
            break;
        case PageItem::Kind::Fill:
            painter.fillRect(item.rect, item.color);
            break;
        case PageItem::Kind::Picture:
            painter.drawImage(item.rect, item.image);
            break;
        }
    }
}

} // namespace reports
