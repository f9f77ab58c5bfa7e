// SPDX-License-Identifier: MIT
#pragma once
// Exchange between rendered QImages and the codec's image data records.
#include "codec/ImageData.h"

#include <QImage>

namespace qp {

// Makes `record` a copy of the image: 32-bit images become A8R8G8B8, 8-bit indexed ones Index8
// with their colour table as palette; anything else is first converted to 32 bits. Raises
// imaging::EImagingError when the record cannot be created.
void BitmapToImageData(const QImage& image, imaging::TImageData& record);

// BitmapToImageData followed by the conversion to R8G8B8, as the run does for every image, without
// the 32-bit copy in between: the same record with a quarter less memory and one copy fewer.
void BitmapToR8G8B8ImageData(const QImage& image, imaging::TImageData& record);

} // namespace qp
