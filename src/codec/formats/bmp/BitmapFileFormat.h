// SPDX-License-Identifier: MIT
#pragma once
// Windows bitmap writer: uncompressed rows bottom-up, 8 bits with a palette (run-length encoded
// when option 12 is on), 16 bits with bit fields, 24 and 32 bits.
#include "codec/ImageFileFormat.h"

namespace imaging {

class TBitmapFileFormat : public TImageFileFormat {
public:
    explicit TBitmapFileFormat(TOptionTable& options);

protected:
    void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images) override;
    void ConvertForWriting(TImageData& image, const TImageFormatInfo& info) override;

    int32_t m_useRLE = -1;   // option 12: run-length encoding of 8-bit images
};

} // namespace imaging
