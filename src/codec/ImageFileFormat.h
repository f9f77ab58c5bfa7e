// SPDX-License-Identifier: MIT
#pragma once
// Base class of every writer: its masks, the write driver and the conversion to a writable format.
#include "codec/ImageData.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace imaging {

class TOptionTable;

// Growable in-memory output that writers encode into.
class TMemoryStream {
public:
    void Write(const void* data, size_t count);
    void WriteByte(uint8_t b) { m_bytes.push_back(b); }
    void WriteU16LE(uint16_t v);
    void WriteU32LE(uint32_t v);
    void WriteU16BE(uint16_t v);
    void WriteU32BE(uint32_t v);
    void WriteString(const std::string& s) { Write(s.data(), s.size()); }
    // Overwrites bytes already written (for lengths that are known only afterwards).
    void PatchU32LE(size_t pos, uint32_t v);
    void PatchU32BE(size_t pos, uint32_t v);
    void PatchU16BE(size_t pos, uint16_t v);
    size_t Position() const { return m_bytes.size(); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    std::vector<uint8_t>& Bytes() { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

// Case-insensitive wildcard match of a whole name: "*" any run, "?" one character.
bool MatchFileNameMask(const std::string& name, const std::string& mask);
// The same on code points (bytes that are not UTF-8 count as one code point each).
bool MatchFileNameMask(const std::u32string& name, const std::u32string& mask);
// The code points of the name part of fileName (after the last "/", "\" or ":").
std::u32string FileNameCodePoints(const std::string& fileName);

class TImageFileFormat {
public:
    explicit TImageFileFormat(TOptionTable& options);
    virtual ~TImageFileFormat();
    TImageFileFormat(const TImageFileFormat&) = delete;
    TImageFileFormat& operator=(const TImageFileFormat&) = delete;

    const std::string& Name() const { return m_name; }
    bool CanLoad() const { return m_canLoad; }
    bool CanSave() const { return m_canSave; }
    bool IsMultiImageFormat() const { return m_isMultiImageFormat; }
    const std::vector<std::string>& Masks() const { return m_masks; }
    const std::set<TImageFormat>& SupportedFormats() const { return m_supportedFormats; }

    // True when one of the masks matches the name part of fileName (after the last "/", "\" or ":").
    bool TestFileName(const std::string& fileName) const;
    // The same for a name part already in code points: a search over all formats converts it once.
    bool TestNameCodePoints(const std::u32string& name) const;
    bool CanWriteDirectly(const TImageData& image) const;
    // Adds the masks of a comma-separated text, trimming each part. The registry gives each writer
    // the masks of its format row's extensions.
    void AddMasks(const std::string& masks);

    // Encodes the images into out (only the first when onlyFirst). False, with out untouched, when
    // the writer cannot save, the list is empty or an image is not valid; raises EImagingError on
    // failures while encoding.
    bool WriteImageToMemory(const TDynImageDataArray& images, std::vector<uint8_t>& out,
                            bool onlyFirst = true);
    // The same, written to a file (plain create-or-overwrite; the program uses the safe writer of
    // its output layer instead).
    bool WriteImageFile(const std::string& fileName, const TDynImageDataArray& images,
                        bool onlyFirst = true);

protected:
    // Index of the images to write in the current call.
    bool PrepareWrite(const TDynImageDataArray& images, int index);
    // The image itself when the writer takes its format, otherwise a converted copy in `copy`.
    const TImageData& MakeWritable(const TImageData& image, TImageData& copy);

    virtual void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images);
    virtual void ConvertForWriting(TImageData& image, const TImageFormatInfo& info);
    virtual void ValidateOptions() {}

    TOptionTable& m_options;
    std::string m_name;
    bool m_canLoad = false;
    bool m_canSave = false;
    bool m_isMultiImageFormat = false;
    std::set<TImageFormat> m_supportedFormats;
    std::vector<std::string> m_masks;
    std::vector<std::u32string> m_maskCodePoints;   // the masks, converted once
    int m_firstIdx = 0;
    int m_lastIdx = 0;

    // The writer can save and every image of the non-empty list is valid.
    virtual bool CanWriteList(const TDynImageDataArray& images) const;

private:
    // PrepareWrite and WriteImages into a fresh stream; out receives the bytes on success only.
    bool Encode(const TDynImageDataArray& images, int index, std::vector<uint8_t>& out);
};

} // namespace imaging
