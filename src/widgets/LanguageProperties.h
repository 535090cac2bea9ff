#pragma once

#include "widgets/Language.h"

namespace widgets::languageProperties {

// The property `name` as a Qt property of `object` (names compared without case) holding a
// string, an integer or a string list.
std::optional<TranslatedProperty> metaProperty(QObject* object, const QString& name);
// The language file's own property names on stock Qt widgets and actions.
std::optional<TranslatedProperty> builtIn(QObject* object, const QString& name);

} // namespace widgets::languageProperties
