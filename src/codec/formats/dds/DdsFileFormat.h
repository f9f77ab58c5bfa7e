// SPDX-License-Identifier: MIT
#pragma once
// DirectDraw Surface writer: a 128-byte header and the pixel data as stored, uncompressed or
// block-compressed. Mipmaps, cube maps and volumes are written when options 18 to 21 ask for
// them and the image list holds the images they need.
#include "codec/ImageFileFormat.h"

namespace imaging {

class TDDSFileFormat : public TImageFileFormat {
public:
    explicit TDDSFileFormat(TOptionTable& options);

protected:
    void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images) override;
    void ConvertForWriting(TImageData& image, const TImageFormatInfo& info) override;
    void ValidateOptions() override;

    // Options 14 to 17: what the last loaded file held (nothing is ever loaded).
    int32_t m_loadedCubeMap = 0;
    int32_t m_loadedVolume = 0;
    int32_t m_loadedMipMapCount = 0;
    int32_t m_loadedDepth = 0;
    // Options 18 to 21: what to save.
    int32_t m_saveCubeMap = 0;
    int32_t m_saveVolume = 0;
    int32_t m_saveMipMapCount = 1;
    int32_t m_saveDepth = 1;
};

} // namespace imaging
