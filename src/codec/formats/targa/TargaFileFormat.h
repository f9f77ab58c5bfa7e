// SPDX-License-Identifier: MIT
#pragma once
// Truevision Targa writer: true colour (24 or 32 bits, or 16 bits with one alpha bit), gray and
// 8-bit indexed images with a 24-bit colour map; rows top first, run-length encoded when option
// 13 is on. No image ID and no footer.
#include "codec/ImageFileFormat.h"

namespace imaging {

class TTargaFileFormat : public TImageFileFormat {
public:
    explicit TTargaFileFormat(TOptionTable& options);

protected:
    void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images) override;
    void ConvertForWriting(TImageData& image, const TImageFormatInfo& info) override;

    int32_t m_useRLE = 0;   // option 13
};

} // namespace imaging
