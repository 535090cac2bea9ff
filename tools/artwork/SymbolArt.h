#pragma once

#include "clinical/SymbolCatalog.h"

#include <QImage>
#include <QString>

namespace artwork {

// The picture of a symbol for one slot, slot width x 124, in palette colours on white.
QImage RenderSymbol(clinical::SymbolId id, int slot);

// Writes SYMBOLS.DAT with one record per catalogue entry, then its index.
void WriteSymbolLibrary(const QString& datPath, const QString& idxPath);

} // namespace artwork
