// SPDX-License-Identifier: MIT
#pragma once
// The portable map writers (PBM, PGM, PPM, PAM, PFM) and their common base: a text header and
// the samples, binary (16-bit samples big-endian, floats little-endian) or as decimal text.
// PBM is registered but never reached and refuses to save.
#include "codec/ImageFileFormat.h"

namespace imaging {

class TPortableMapFileFormat : public TImageFileFormat {
public:
    explicit TPortableMapFileFormat(TOptionTable& options);

protected:
    void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images) override;
    // The header of the image, which already has one of the writer's own formats; by default the
    // classic header of the gray and pixel maps.
    virtual void WriteHeader(TMemoryStream& stream, const TImageData& image, const TImageFormatInfo& info)
    {
        WriteClassicHeader(stream, image, info);
    }
    virtual bool WritesBinary() const { return m_saveBinary != 0; }

    int32_t m_saveBinary = -1;   // PGM option 50, PPM option 51; PAM and PFM are always binary
    // The format character after "P": binary and text form (PGM '5' and '2', PPM '6' and '3').
    char m_binaryId = 0;
    char m_textId = 0;

    // "P<id>", then width, height and the largest sample value, each on a line of its own.
    void WriteClassicHeader(TMemoryStream& stream, const TImageData& image, const TImageFormatInfo& info);
};

class TPBMFileFormat : public TPortableMapFileFormat {
public:
    explicit TPBMFileFormat(TOptionTable& options);

protected:
    void WriteHeader(TMemoryStream&, const TImageData&, const TImageFormatInfo&) override {}
};

class TPGMFileFormat : public TPortableMapFileFormat {
public:
    explicit TPGMFileFormat(TOptionTable& options);

protected:
    void ConvertForWriting(TImageData& image, const TImageFormatInfo& info) override;
};

class TPPMFileFormat : public TPortableMapFileFormat {
public:
    explicit TPPMFileFormat(TOptionTable& options);

protected:
    void ConvertForWriting(TImageData& image, const TImageFormatInfo& info) override;
};

class TPAMFileFormat : public TPortableMapFileFormat {
public:
    explicit TPAMFileFormat(TOptionTable& options);

protected:
    void ConvertForWriting(TImageData& image, const TImageFormatInfo& info) override;
    void WriteHeader(TMemoryStream& stream, const TImageData& image, const TImageFormatInfo& info) override;
    bool WritesBinary() const override { return true; }
};

// Rows are written from the last to the first: a float map's first row is the bottom one.
class TPFMFileFormat : public TPortableMapFileFormat {
public:
    explicit TPFMFileFormat(TOptionTable& options);

protected:
    void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images) override;
    void ConvertForWriting(TImageData& image, const TImageFormatInfo& info) override;
    void WriteHeader(TMemoryStream& stream, const TImageData& image, const TImageFormatInfo& info) override;
    bool WritesBinary() const override { return true; }
};

} // namespace imaging
