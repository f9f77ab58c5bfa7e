// SPDX-License-Identifier: MIT
#pragma once
// The PNG, MNG and JNG writers and their common base. All three are built from the chunk code of
// PngChunks; JNG and the lossy MNG frames take their JPEG streams from the JPEG writer's encoder.
#include "codec/ImageFileFormat.h"

namespace imaging {

class TNetworkGraphicsFileFormat : public TImageFileFormat {
public:
    explicit TNetworkGraphicsFileFormat(TOptionTable& options);

protected:
    void ValidateOptions() override;

    int32_t m_preFilter = 5;          // row filter 0 to 6
    int32_t m_compressLevel = 5;      // zlib level 0 to 9
    int32_t m_lossyCompression = 0;   // MNG: frames as JPEG streams
    int32_t m_lossyAlpha = 0;         // alpha as a JPEG stream
    int32_t m_quality = 90;           // JPEG quality of lossy data
    int32_t m_progressive = 0;        // progressive JPEG streams
};

class TPNGFileFormat : public TNetworkGraphicsFileFormat {
public:
    explicit TPNGFileFormat(TOptionTable& options);

protected:
    void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images) override;
    void ConvertForWriting(TImageData& image, const TImageFormatInfo& info) override;
};

// One frame per image: PNG-type frames (IHDR, IDAT, IEND) by default, JNG-type frames when lossy
// compression (option 28) is on. Which pixel formats it takes directly follows that option.
class TMNGFileFormat : public TNetworkGraphicsFileFormat {
public:
    explicit TMNGFileFormat(TOptionTable& options);

protected:
    void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images) override;
    void ConvertForWriting(TImageData& image, const TImageFormatInfo& info) override;
    void ValidateOptions() override;
};

// JHDR, one JDAT with a complete JPEG stream, the alpha channel (if any) as IDAT or JDAA, IEND.
class TJNGFileFormat : public TNetworkGraphicsFileFormat {
public:
    explicit TJNGFileFormat(TOptionTable& options);

protected:
    void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images) override;
    void ConvertForWriting(TImageData& image, const TImageFormatInfo& info) override;
};

} // namespace imaging
