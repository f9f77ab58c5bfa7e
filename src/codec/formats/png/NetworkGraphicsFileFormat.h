#pragma once
// The PNG, MNG and JNG writers and their common base. PNG is built; MNG and JNG are registered
// with their names, masks and options and refuse to save for now.
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

class TMNGFileFormat : public TNetworkGraphicsFileFormat {
public:
    explicit TMNGFileFormat(TOptionTable& options);
};

class TJNGFileFormat : public TNetworkGraphicsFileFormat {
public:
    explicit TJNGFileFormat(TOptionTable& options);
};

} // namespace imaging
