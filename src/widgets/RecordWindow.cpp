#include "widgets/RecordWindow.h"

#include "widgets/RecordFrame.h"

#include "db/DataSource.h"
#include "db/Dataset.h"

#include <QWidget>

namespace widgets {

RecordWindow::~RecordWindow() = default;

QWidget* RecordWindow::recordWidget()
{
    return dynamic_cast<QWidget*>(this);
}

bool RecordWindow::settleChanges()
{
    const db::DataSource* source = mainSource();
    db::Dataset* view = source ? source->dataset() : nullptr;
    return !view || askToPost(*view);
}

void RecordWindow::claimRecordCommands()
{
    if (RecordFrame* frame = RecordFrame::current())
        frame->claim(*this);
}

void RecordWindow::releaseRecordCommands()
{
    if (RecordFrame* frame = RecordFrame::current())
        frame->release(*this);
}

bool RecordWindow::holdsRecordCommands() const
{
    const RecordFrame* frame = RecordFrame::current();
    return frame && frame->holder() == this;
}

bool RecordWindow::askToPost(db::Dataset& view)
{
    const RecordFrame* frame = RecordFrame::current();
    return !frame || frame->askToPost(view);
}

} // namespace widgets
