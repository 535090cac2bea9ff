// The dental chart's painting from the stored rows: the passes over the history views, the
// markers of the session's records, the cost of the view and the session balance.

#include "clinical/DentalChartUnit.h"

#include "clinical/ChartStrips.h"
#include "clinical/ChartView.h"
#include "data/ChartMarks.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "platform/Session.h"
#include "widgets/RegionImage.h"

#include <QLabel>
#include <QPainter>

namespace clinical {

namespace {

// Reads the rows of a view without moving its cursor.
class RowReader {
public:
    explicit RowReader(db::Dataset& view)
        : m_view(view)
        , m_tooth(index(u"ToothNum"))
        , m_oper(index(u"OperID"))
        , m_symbol(index(u"BitmapID"))
        , m_transparent(index(u"Transparent"))
        , m_surfaces(index(u"Masitikes"))
    {
    }

    ChartRow row(int r) const
    {
        ChartRow row;
        row.tooth = m_view.rowValue(r, m_tooth).toInt();
        const QVariant oper = m_view.rowValue(r, m_oper);
        row.operId = oper.isNull() ? 0 : oper.toInt();
        const QVariant symbol = m_view.rowValue(r, m_symbol);
        if (!symbol.isNull())
            row.symbol = symbol.toInt();
        row.transparent = m_view.rowValue(r, m_transparent).toBool();
        row.masitikes = m_view.rowValue(r, m_surfaces).toInt();
        return row;
    }

private:
    int index(QStringView name) const { return m_view.field(name).index(); }

    db::Dataset& m_view;
    int m_tooth, m_oper, m_symbol, m_transparent, m_surfaces;
};

QSet<int> teethOf(db::Dataset& view, QStringView field)
{
    QSet<int> teeth;
    if (!view.isActive())
        return teeth;
    const int column = view.field(field).index();
    for (int r = 0; r < view.recordCount(); ++r)
        teeth.insert(view.rowValue(r, column).toInt());
    return teeth;
}

} // namespace

void TDentalChartForm::Redraw()
{
    recomputeCost();
    m_strips->clearFills();
    m_painter->begin(m_kind);
    SetAdultChart(m_kind == ChartKind::Adult);
    m_strips->show(m_kind);
    const data::TreatmentLevel l = level();
    if (l != data::TreatmentLevel::Initial && platform::session().showInitialChart)
        paintPass(*levelView(data::TreatmentLevel::Initial));
    paintPass(*levelView(l));
    m_painter->paintMarks(readMarks());
    m_painter->finish();
    imTeeth->setImage(m_painter->image());
    updateSessionButtons();
}

void TDentalChartForm::paintPass(db::Dataset& view)
{
    if (!view.isActive())
        return;
    if (!view.isEditing())
        view.refresh(); // other workstations' rows show on every redraw
    const RowReader reader(view);
    const auto fill = [this](int tooth, int mask) { m_strips->fillSurfaces(tooth, mask); };
    for (int r = 0; r < view.recordCount(); ++r)
        m_painter->paintRow(reader.row(r), fill);
}

QImage TDentalChartForm::chartPicture() const
{
    const bool adult = m_kind == ChartKind::Adult;
    const QImage top = (adult ? m_strips->upper() : m_strips->babyUpper())->rendered();
    const QImage bottom = (adult ? m_strips->lower() : m_strips->babyLower())->rendered();
    QImage out(ChartWidth, top.height() + ChartHeight + bottom.height(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage((ChartWidth - top.width()) / 2, 0, top);
    p.drawImage(0, top.height(), m_painter->image());
    p.drawImage((ChartWidth - bottom.width()) / 2, top.height() + ChartHeight, bottom);
    return out;
}

ChartMarks TDentalChartForm::readMarks() const
{
    ChartMarks marks;
    marks.notes = teethOf(*m_dm.clinical().ToothNotesTable, u"ToothNum");
    marks.images = teethOf(*m_dm.clinical().PhotosTable, u"ToothNumber");
    marks.colours = teethOf(*m_dm.clinical().ToothColorTable, u"ToothNum");
    db::Dataset& endo = *m_dm.clinical().EndoTable;
    if (endo.isActive()) {
        marks.endo = teethOf(endo, u"ToothNum");
        return marks;
    }
    // The endodontic window keeps its view closed: not opened at every redraw for the marks.
    const db::Dataset& sessions = *m_dm.clinical().SessionsTable;
    if (sessions.isActive() && !sessions.isEmpty())
        marks.endo = data::endoTeethOfSession(*m_dm.Database, sessions.value(u"SessionID"));
    return marks;
}

// The sum of the view's costs in the session, in the currency shown; empty when it is zero.
void TDentalChartForm::recomputeCost()
{
    const data::TreatmentLevel l = level();
    db::Dataset& sessions = *m_dm.clinical().SessionsTable;
    QString text;
    if (l != data::TreatmentLevel::Initial && sessions.isActive() && !sessions.isEmpty()
        && !sessions.value(u"SessionID").isNull()) {
        const double sum
            = m_dm.clinical().sessionCost(sessions.value(u"SessionID"), l, m_dm.money().euroMode());
        if (sum != 0)
            text = m_dm.money().FormatMoney(sum);
    }
    CostText->setText(text);
}

void TDentalChartForm::recomputeBalance()
{
    db::Dataset& sessions = *m_dm.clinical().SessionsTable;
    if (!sessions.isActive() || sessions.isEmpty()) {
        BalanceText->clear();
        return;
    }
    const data::SessionBalance balance = m_dm.clinical().sessionBalance(sessions.value(u"SessionID"));
    BalanceText->setText(m_dm.money().FormatMoney(m_dm.money().euroMode() ? balance.euro : balance.local));
}

} // namespace clinical
