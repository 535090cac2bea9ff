#pragma once

#include "reports/ReportTable.h"

#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QString>

#include <variant>
#include <vector>

namespace reports {

// A report as a run of blocks (title, text, label and value lines, tables, pictures, space,
// page breaks) with a page header and footer. Laying it out on a paint device makes its pages;
// the same pages go to the preview, a printer and a PDF file.
class Report {
public:
    struct Title {
        QString text;
        QStringList lines; // below the title, smaller
    };
    struct Text {
        QString text;
        bool bold = false;
    };
    struct Field {
        QString label;
        QString value;
    };
    struct Picture {
        QImage image;
        double maxHeightMm = 80;
    };
    struct Space {
        double mm = 5;
    };
    struct PageBreak { };
    using Block = std::variant<Title, Text, Field, ReportTable, Picture, Space, PageBreak>;

    explicit Report(QString title = {});

    const QString& title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }

    // Texts at the top of every page, left and right.
    void setPageHeader(const QString& left, const QString& right = {});
    const QString& headerLeft() const { return m_headerLeft; }
    const QString& headerRight() const { return m_headerRight; }
    // The line at the foot of every page: "%1" the page's number, "%2" the number of pages.
    void setPageFooter(const QString& format) { m_footer = format; }
    const QString& pageFooter() const { return m_footer; }

    const QPageLayout& pageLayout() const { return m_pageLayout; }
    void setPageLayout(const QPageLayout& layout) { m_pageLayout = layout; }
    // The body font; titles and headers are made from it. DejaVu Sans writes Greek too.
    const QFont& font() const { return m_font; }
    void setFont(const QFont& font) { m_font = font; }

    void addTitle(const QString& text, const QStringList& lines = {}) { m_blocks.emplace_back(Title{text, lines}); }
    void addText(const QString& text, bool bold = false) { m_blocks.emplace_back(Text{text, bold}); }
    void addField(const QString& label, const QString& value) { m_blocks.emplace_back(Field{label, value}); }
    void addTable(ReportTable table) { m_blocks.emplace_back(std::move(table)); }
    void addPicture(const QImage& image, double maxHeightMm = 80) { m_blocks.emplace_back(Picture{image, maxHeightMm}); }
    void addSpace(double mm) { m_blocks.emplace_back(Space{mm}); }
    void addPageBreak() { m_blocks.emplace_back(PageBreak{}); }
    const std::vector<Block>& blocks() const { return m_blocks; }

private:
    QString m_title;
    QString m_headerLeft;
    QString m_headerRight;
    QString m_footer = QStringLiteral("Page %1 of %2");
    QPageLayout m_pageLayout;
    QFont m_font;
    std::vector<Block> m_blocks;
};

} // namespace reports
