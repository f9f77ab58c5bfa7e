// SPDX-License-Identifier: MIT
#pragma once
// The PNG, MNG and JNG writers and their common base. All three are built from the chunk code of
// PngChunks; JNG and the lossy MNG frames take their JPEG streams from the JPEG writer's encoder.
#include "codec/ImageFileFormat.h"

#include <functional>

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

    // Encodes a 32-bit image of blue, green, red and one unused byte per pixel, rows stride bytes
    // apart, as the 24-bit truecolour file that writing it as an ifR8G8B8 record gives, without
    // making that record. The filtered rows go to filtered ((3 * width + 1) * height bytes) or,
    // when it is null, over the pixels themselves. False, with nothing done, when the options ask
    // for another pixel format: the record's way applies then. rowsFiltered is called once the
    // rows are filtered, before they are compressed.
    bool EncodeBgrx32(const uint8_t* pixels, size_t stride, int width, int height, uint8_t* filtered,
                      std::vector<uint8_t>& out, const std::function<void()>& rowsFiltered = {});

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
