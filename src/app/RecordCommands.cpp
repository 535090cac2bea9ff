#include "app/RecordCommands.h"

#include "widgets/RecordFrame.h"
#include "widgets/RecordWindow.h"
#include "widgets/UserAction.h"


#include "db/DataSource.h"
#include "db/Dataset.h"
#include "db/Errors.h"
#include "db/Field.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "widgets/Language.h"

namespace app {

using db::DatasetState;


RecordCommands::RecordCommands(widgets::TLanguage* lang, QObject* parent)
    : QObject(parent)
    , m_lang(lang)
{
}

void RecordCommands::setActiveSrc(db::DataSource* source)
{
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_activeSrc = source;
    if (source) {
        m_connections.append(connect(source, &db::DataSource::stateChanged, this, &RecordCommands::stateChanged));
        m_connections.append(connect(source, &db::DataSource::datasetChanged, this, &RecordCommands::stateChanged));
        // A row the window locks turns Edit and Delete off as it becomes current.
        m_connections.append(
            connect(source, &db::DataSource::dataChanged, this, [this](const QString& field) {
                if (field.isEmpty())
                    emit stateChanged();
            }));
    }
    emit stateChanged();
}

db::Dataset* RecordCommands::dataset() const
{
    return m_activeSrc ? m_activeSrc->dataset() : nullptr;
}

widgets::RecordWindow* RecordCommands::activeWindow() const
{
    const widgets::RecordFrame* frame = widgets::RecordFrame::current();
    return frame ? frame->holder() : nullptr;
}

bool RecordCommands::rowLocked() const
{
    const widgets::RecordWindow* window = activeWindow();
    return window && window->rowLocked();
}

bool RecordCommands::looksEmpty(const db::Dataset& dataset)
{
    if (dataset.isEmpty())
        return true;
    return dataset.isFiltered() && dataset.fieldCount() > 0 && dataset.field(0).asString().isEmpty();
}

void RecordCommands::New()
{
    // A row being inserted is posted first, then a new one is started; a failure of either
    // leaves the view as the error left it, without a word (the rules have spoken already).
    for (;;) {
        db::Dataset* view = dataset();
        if (!view)
            return;
        if (widgets::RecordWindow* window = activeWindow())
            window->prepareNew();
        try {
            if (view->state() == DatasetState::Insert) {
                view->post();
                continue;
            }
            view->insert();
        } catch (const std::exception& e) {
            platform::exceptionLog::logException(e, QStringLiteral("New"));
        }
        return;
    }
}

db::Dataset* RecordCommands::rowToActOn() const
{
    db::Dataset* view = dataset();
    if (view && looksEmpty(*view)) {
        platform::showInformation(m_lang->Message(QStringLiteral("Empty DataBase")));
        return nullptr;
    }
    return view;
}

void RecordCommands::Edit()
{
    if (rowLocked())
        return;
    if (db::Dataset* view = rowToActOn())
        widgets::runUserAction([view] { view->edit(); });
}

void RecordCommands::Delete()
{
    // Not asked about a row that would stay anyway.
    if (rowLocked())
        return;
    db::Dataset* view = rowToActOn();
    if (!view)
        return;
    if (platform::askYesNo(m_lang->Message(QStringLiteral("Delete this record?")), m_lang->Message(QStringLiteral("Are you sure?"))))
        widgets::runUserAction([view] { view->remove(); });
}

void RecordCommands::Cancel()
{
    if (widgets::RecordWindow* window = activeWindow())
        window->cancelDetails();
    if (db::Dataset* view = dataset())
        widgets::runUserAction([view] { view->cancel(); });
}

void RecordCommands::Save()
{
    db::Dataset* view = dataset();
    if (!view)
        return;
    const DatasetState state = view->state();
    if (state == DatasetState::Edit || state == DatasetState::Insert || state == DatasetState::SetKey)
        widgets::runUserAction([view] { view->post(); });
}

void RecordCommands::move(void (db::Dataset::*step)())
{
    if (db::Dataset* view = dataset(); view && view->isActive())
        (view->*step)();
}

void RecordCommands::First()
{
    move(&db::Dataset::first);
}

void RecordCommands::Prior()
{
    move(&db::Dataset::prior);
}

void RecordCommands::Next()
{
    move(&db::Dataset::next);
}

void RecordCommands::Last()
{
    move(&db::Dataset::last);
}

} // namespace app
