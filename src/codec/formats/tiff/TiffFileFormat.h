// SPDX-License-Identifier: MIT
#pragma once
// Tagged Image File Format writer (libtiff): one directory per image, the whole image in one strip,
// encoded into memory.
#include "codec/ImageFileFormat.h"

namespace imaging {

class TTiffFileFormat : public TImageFileFormat {
public:
    explicit TTiffFileFormat(TOptionTable& options);

protected:
    void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images) override;
    void ConvertForWriting(TImageData& image, const TImageFormatInfo& info) override;
    void ValidateOptions() override;

    int32_t m_compression = 1;   // option 65: index into none, LZW, PackBits, Deflate, JPEG
};

} // namespace imaging
