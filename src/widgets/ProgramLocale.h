#pragma once

#include <QLocale>
#include <QString>

namespace widgets {

// The locale of the language file beside the program ("[Locale] Name=el_GR"; Greek when the file
// or the key is absent) becomes every QLocale's default, and Qt's own dialogs speak its
// language through "qt_<language>.qm" beside the program when there is one. Returns the locale.
QLocale useProgramLocale();

} // namespace widgets
