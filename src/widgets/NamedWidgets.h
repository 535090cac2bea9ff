#pragma once

#include "db/DataSource.h"

#include <QLabel>
#include <QString>

namespace widgets {

// Child widgets made with their designed object names: the language file and the tests find
// a window's controls by name.

// An editor of `field` of `source` (DBEdit, DBCheckBox, DBMemo …).
template<typename Editor>
Editor* bound(QWidget* parent, const QString& name, db::DataSource* source, const QString& field)
{
    auto* editor = new Editor(parent);
    editor->setObjectName(name);
    editor->bindTo(source, field);
    return editor;
}

inline QLabel* label(QWidget* parent, const QString& name, const QString& caption)
{
    auto* created = new QLabel(caption, parent);
    created->setObjectName(name);
    return created;
}

} // namespace widgets
