// SPDX-License-Identifier: MIT
#include "core/output/BitmapExchange.h"

#include "codec/ImagingError.h"
#include "codec/PixelAccess.h"

#include <cstring>

namespace qp {

using namespace imaging;

void BitmapToImageData(const QImage& source, TImageData& record)
{
    if (source.isNull()) {
        ReleaseImageData(record);
        return;
    }
    QImage image = source;
    TImageFormat format = ifA8R8G8B8;
    if (image.format() == QImage::Format_Indexed8) {
        format = ifIndex8;
    } else if (image.format() != QImage::Format_ARGB32 && image.format() != QImage::Format_RGB32) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        if (image.isNull())
            throw EImagingError(Format("Cannot find compatible data format for bitmap %p",
                                       static_cast<const void*>(&source)));
    }
    NewImageData(image.width(), image.height(), format, record);
    const size_t rowBytes = record.RowBytes();
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(record.Row(y), image.constScanLine(y), rowBytes);
    if (format == ifIndex8) {
        const QList<QRgb> table = image.colorTable();
        for (int i = 0; i < table.size() && i < static_cast<int>(record.Palette.size()); ++i) {
            const QRgb c = table[i];
            record.Palette[i] = {static_cast<uint8_t>(qBlue(c)), static_cast<uint8_t>(qGreen(c)),
                                 static_cast<uint8_t>(qRed(c)), 255};
        }
    }
}

void BitmapToR8G8B8ImageData(const QImage& image, TImageData& record)
{
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32) {
        BitmapToImageData(image, record);
        ConvertImageData(record, ifR8G8B8);
        return;
    }
    NewImageData(image.width(), image.height(), ifR8G8B8, record);
    for (int y = 0; y < image.height(); ++y)
        Bgrx32ToR8G8B8(image.constScanLine(y), record.Row(y), static_cast<size_t>(image.width()));
}

} // namespace qp
