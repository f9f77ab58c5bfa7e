#pragma once
// Exchange between rendered QImages and the codec's image data records.
#include "codec/ImageData.h"

#include <QImage>

namespace qp {

// Makes `record` a copy of the image: 32-bit images become A8R8G8B8, 8-bit indexed ones Index8
// with their colour table as palette; anything else is first converted to 32 bits. Raises
// imaging::EImagingError when the record cannot be created.
void BitmapToImageData(const QImage& image, imaging::TImageData& record);

// The reverse, for the icon path: an A8R8G8B8 (or convertible) record as a 32-bit QImage.
QImage ImageDataToBitmap(const imaging::TImageData& record);

} // namespace qp
