// SPDX-License-Identifier: MIT
#pragma once
// Graphics Interchange Format writer: GIF89a, every image as Index8 with a local 256-entry colour
// table and LZW-compressed pixels. Other formats are reduced to Index8 by median cut first.
#include "codec/ImageFileFormat.h"

namespace imaging {

// The LZW image data of a GIF image (after the minimum code size byte), without sub-blocks:
// 8-bit indices, codes from 9 bits, a clear code first and whenever code 4094 has been
// assigned, the end code last.
std::vector<uint8_t> EncodeGifLzw(const uint8_t* indices, size_t count);

class TGIFFileFormat : public TImageFileFormat {
public:
    explicit TGIFFileFormat(TOptionTable& options);

protected:
    void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images) override;
    void ConvertForWriting(TImageData& image, const TImageFormatInfo& info) override;

    // Load all frames. Its id 56 is already held by the JPEG 2000 code-stream flag, so the
    // binding fails and this keeps its default.
    int32_t m_loadAnimated = -1;
};

} // namespace imaging
