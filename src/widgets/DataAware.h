#pragma once

#include "widgets/FieldDataLink.h"

namespace widgets {

// What every data-aware control offers: its source, its field and its link. A second base of
// the control's Qt class (not a QObject itself); the link is a child of the control.
class DataAware {
public:
    FieldDataLink* dataLink() const { return m_link; }
    db::DataSource* dataSource() const { return m_link->dataSource(); }
    void setDataSource(db::DataSource* source) { m_link->setDataSource(source); }
    QString fieldName() const { return m_link->fieldName(); }
    void setFieldName(const QString& fieldName) { m_link->setFieldName(fieldName); }
    void bindTo(db::DataSource* source, const QString& fieldName)
    {
        m_link->setFieldName(fieldName);
        m_link->setDataSource(source);
    }

protected:
    explicit DataAware(QObject* control)
        : m_link(new FieldDataLink(control))
    {
    }
    ~DataAware() = default;

private:
    FieldDataLink* m_link;
};

} // namespace widgets
