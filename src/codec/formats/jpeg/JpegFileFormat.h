// SPDX-License-Identifier: MIT
#pragma once
// JPEG writer (libjpeg), and the JPEG encoder that the JNG and MNG writers use for their streams.
#include "codec/ImageFileFormat.h"

namespace imaging {

// Appends a complete JPEG stream of image to out: one gray component for Gray8, three RGB
// components for R8G8B8; libjpeg's defaults, quality with the baseline limit, and the simple
// progressive script when progressive. Raises EImagingError for other formats and for every error
// libjpeg reports.
void EncodeJpeg(const TImageData& image, int quality, bool progressive, TMemoryStream& out);

class TJpegFileFormat : public TImageFileFormat {
public:
    explicit TJpegFileFormat(TOptionTable& options);

protected:
    void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images) override;
    void ConvertForWriting(TImageData& image, const TImageFormatInfo& info) override;
    void ValidateOptions() override;

    int32_t m_quality = 90;      // option 10
    int32_t m_progressive = 0;   // option 11
};

} // namespace imaging
