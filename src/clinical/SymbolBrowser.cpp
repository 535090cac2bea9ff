#include "clinical/SymbolBrowser.h"

#include "clinical/ChartPictures.h"
#include "clinical/SymbolContainer.h"

#include <QLabel>
#include <QPainter>

namespace clinical {

TSymbolBrowser::TSymbolBrowser(const TSymbolContainer& library, const ChartPictures& pictures, QLabel* target,
                               int num, int den)
    : m_library(library)
    , m_pictures(pictures)
    , m_target(target)
    , m_num(num)
    , m_den(den)
{
}

QImage TSymbolBrowser::Render(qint32 id, int index, bool chartSize, bool showTooth, ChartKind kind) const
{
    const QSize cell = cellSize();
    const int toothWidth = ToothWidth(index, kind) * m_num / m_den;
    const int left = (cell.width() - toothWidth) / 2;

    QImage out(cell, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    if (showTooth) {
        const QImage tooth = m_pictures.toothPicture(index, kind);
        if (!tooth.isNull())
            p.drawImage(QRect(left, 0, toothWidth, cell.height()), tooth);
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    }
    if (m_library.count() == 0)
        return out;
    // An identifier the library lacks previews the library's first symbol.
    const qint32 shown = m_library.IdentifierAt(m_library.FindPosition(id));
    const auto symbol = m_library.LoadSymbol(shown, ToothNumberOf(index, kind), chartSize);
    if (!symbol)
        return out;
    // Scaled like the tooth and placed at the symbol's offset on the chart (17 rows below the
    // tooth's top), so the preview matches what the chart paints.
    const QImage scaled = symbol->convertToFormat(QImage::Format_RGB32)
                              .scaled(symbol->width() * m_num / m_den, symbol->height() * m_num / m_den,
                                      Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const int shift = kind == ChartKind::Baby ? -2 * m_num / m_den : 0; // baby art sits 2 px left
    p.drawImage(QPoint(left + shift, 17 * m_num / m_den), scaled);
    return out;
}

void TSymbolBrowser::Draw(qint32 id, int index, bool chartSize, bool showTooth)
{
    if (m_target)
        m_target->setPixmap(QPixmap::fromImage(Render(id, index, chartSize, showTooth, CurrentChartKind())));
}

} // namespace clinical
