#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

#include <stdexcept>

// Byte layout of the symbol library SYMBOLS.DAT / SYMBOLS.IDX (little-endian):
// DAT = int32 count, then count records of an int32 identifier and the 16 slot images;
// a slot image is 4 bits per pixel, slot width x 124 rows, bottom-up, rows padded to 4 bytes.
// IDX = count entries of (int32 identifier, int32 record offset), ascending by identifier.
namespace clinical::symbols {

inline constexpr int SlotRows = 124;
inline constexpr qint64 RecordSize = 35716;
inline constexpr qint64 HeaderSize = 4;
inline constexpr qint64 IndexEntrySize = 8;

// Bytes per stored row of a slot: half the width rounded up, then up to a multiple of 4.
int RowBytes(int slot);
// Offset of slot k inside a record (the identifier comes first).
int SlotOffset(int slot);
int SlotBytes(int slot);

// The 16 colours the pixel values index.
const QList<QRgb>& Palette();
inline constexpr int White = 15;

// Packs a slot-sized picture into stored rows; colours map to the nearest palette entry.
QByteArray EncodeSlot(const QImage& picture, int slot);
// Unpacks `SlotBytes(slot)` bytes into an indexed picture with the palette.
QImage DecodeSlot(const char* data, int slot);

class SymbolLibraryError : public std::runtime_error {
public:
    explicit SymbolLibraryError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace clinical::symbols
