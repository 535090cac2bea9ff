#include "widgets/FieldDataLink.h"

#include "db/ErrorWords.h"
#include "widgets/UserAction.h"

#include "platform/MessageTexts.h"

#include "db/DataSource.h"
#include "db/Dataset.h"
#include "db/Errors.h"
#include "db/Field.h"
#include "platform/MessageService.h"

#include <QScopedValueRollback>

namespace widgets {

FieldDataLink::FieldDataLink(QObject* control)
    : QObject(control)
{
}

db::DataSource* FieldDataLink::dataSource() const
{
    return m_source.data();
}

void FieldDataLink::setDataSource(db::DataSource* source)
{
    if (m_source == source)
        return;
    for (const auto& c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_source = source;
    if (source) {
        m_connections << connect(source, &db::DataSource::stateChanged, this, &FieldDataLink::stateChanged);
        m_connections << connect(source, &db::DataSource::dataChanged, this, &FieldDataLink::sourceDataChanged);
        m_connections << connect(source, &db::DataSource::datasetChanged, this, &FieldDataLink::bind);
        m_connections << connect(source, &QObject::destroyed, this, [this] {
            m_connections.clear();
            bind();
        });
    }
    bind();
}

void FieldDataLink::setFieldName(const QString& fieldName)
{
    if (m_fieldName == fieldName)
        return;
    m_fieldName = fieldName;
    bind();
}

void FieldDataLink::bind()
{
    emit stateChanged();
    emit dataChanged();
}

void FieldDataLink::sourceDataChanged(const QString& fieldName)
{
    if (m_writing)
        return; // the control already shows what it wrote
    const db::Field* f = field();
    // Look-up and calculated fields change with the fields they are made from.
    const bool derived = f && f->kind() != db::FieldKind::Data;
    if (fieldName.isEmpty() || derived || fieldName.compare(m_fieldName, Qt::CaseInsensitive) == 0)
        emit dataChanged();
}

db::Dataset* FieldDataLink::dataset() const
{
    return m_source ? m_source->dataset() : nullptr;
}

db::Field* FieldDataLink::field() const
{
    db::Dataset* ds = dataset();
    if (!ds || !ds->isActive() || !m_source->isEnabled() || m_fieldName.isEmpty())
        return nullptr;
    return ds->findField(m_fieldName);
}

bool FieldDataLink::isEditing() const
{
    const db::DatasetState state = m_source ? m_source->state() : db::DatasetState::Inactive;
    return state == db::DatasetState::Edit || state == db::DatasetState::Insert || state == db::DatasetState::SetKey;
}

void FieldDataLink::setReadOnly(bool readOnly)
{
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    emit stateChanged();
}

bool FieldDataLink::canModify() const
{
    const db::Field* f = field();
    if (m_readOnly || !f || f->isReadOnly() || f->dataset().isReadOnly())
        return false;
    return isEditing() || m_source->autoEdit();
}

QVariant FieldDataLink::value() const
{
    const db::Field* f = field();
    return f ? f->value() : QVariant();
}

QString FieldDataLink::displayText() const
{
    const db::Field* f = field();
    return f ? f->displayText() : QString();
}

QString FieldDataLink::editText() const
{
    const db::Field* f = field();
    return f ? f->editText() : QString();
}

bool FieldDataLink::edit()
{
    if (!canModify())
        return false;
    if (isEditing())
        return true;
    try {
        dataset()->edit();
    } catch (const db::DatabaseError& e) {
        widgets::showDatabaseError(e);
        return false;
    } catch (const db::Abort&) {
        return false;
    }
    return isEditing();
}

bool FieldDataLink::write(const QVariant& value, QString* error)
{
    if (!edit())
        return false;
    db::Field* f = field();
    if (!f)
        return false;
    const QScopedValueRollback<bool> writing(m_writing, true);
    try {
        f->setValue(value);
    } catch (const db::DatabaseError& e) {
        const QString text = db::inWords(e);
        if (error)
            *error = text;
        else
            platform::showError(text);
        return false;
    } catch (const db::Abort&) {
        return false;
    }
    return true;
}

} // namespace widgets
