#pragma once

#include <QString>

namespace artwork {

// Writes every picture, the symbol library and the region packages into `dir`.
void WriteAll(const QString& dir);
// Paints every symbol on the charts with the program's own loading and painting code.
void WritePreviews(const QString& programDir, const QString& outDir);

} // namespace artwork
