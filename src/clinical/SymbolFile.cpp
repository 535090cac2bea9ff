#include "clinical/SymbolFile.h"

#include "clinical/ToothGeometry.h"

namespace clinical::symbols {

int RowBytes(int slot) { return ((SlotWidth(slot) + 1) / 2 + 3) / 4 * 4; }

int SlotBytes(int slot) { return RowBytes(slot) * SlotRows; }

int SlotOffset(int slot)
{
    int offset = 4;
    for (int k = 0; k < slot; ++k)
        offset += SlotBytes(k);
    return offset;
}

const QList<QRgb>& Palette()
{
    static const QList<QRgb> palette{
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
        qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
    };
    return palette;
}

QByteArray EncodeSlot(const QImage& picture, int slot)
{
    const int width = SlotWidth(slot);
    QImage indexed = picture.convertToFormat(QImage::Format_RGB32)
                         .copy(0, 0, width, SlotRows)
                         .convertToFormat(QImage::Format_Indexed8, Palette(), Qt::ThresholdDither);
    const int rowBytes = RowBytes(slot);
    QByteArray out(SlotBytes(slot), '\0');
    for (int y = 0; y < SlotRows; ++y) {
        const uchar* src = indexed.constScanLine(y);
        char* row = out.data() + (SlotRows - 1 - y) * rowBytes; // bottom-up
        for (int x = 0; x < width; ++x) {
            const auto nibble = static_cast<uchar>(src[x] & 0x0F);
            uchar& byte = reinterpret_cast<uchar&>(row[x / 2]);
            byte |= (x % 2 == 0) ? static_cast<uchar>(nibble << 4) : nibble;
        }
    }
    return out;
}

QImage DecodeSlot(const char* data, int slot)
{
    const int width = SlotWidth(slot);
    const int rowBytes = RowBytes(slot);
    QImage image(width, SlotRows, QImage::Format_Indexed8);
    image.setColorTable(Palette());
    for (int y = 0; y < SlotRows; ++y) {
        const auto* row = reinterpret_cast<const uchar*>(data) + (SlotRows - 1 - y) * rowBytes;
        uchar* dst = image.scanLine(y);
        for (int x = 0; x < width; ++x)
            dst[x] = (x % 2 == 0) ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
    }
    return image;
}

} // namespace clinical::symbols
