// SPDX-License-Identifier: MIT
#pragma once
// JPEG 2000 writer (OpenJPEG): a JP2 file or a bare code stream, encoded into memory.
#include "codec/ImageFileFormat.h"

namespace imaging {

// The compression rate of the single quality layer: raw / target, where raw is the image's byte
// size and target = raw * 100 / (115 - quality)^2 + 550 + 142 * (channels - 1), all in 32-bit
// floating point.
float Jpeg2000Rate(int32_t width, int32_t height, int bytesPerPixel, int channels, int quality);

class TJpeg2000FileFormat : public TImageFileFormat {
public:
    explicit TJpeg2000FileFormat(TOptionTable& options);

protected:
    void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images) override;
    void ConvertForWriting(TImageData& image, const TImageFormatInfo& info) override;

    int32_t m_quality = 80;            // option 55
    int32_t m_codeStreamOnly = 0;      // option 56: bare code stream instead of a JP2 file
    int32_t m_losslessCompression = 0; // option 57
};

} // namespace imaging
