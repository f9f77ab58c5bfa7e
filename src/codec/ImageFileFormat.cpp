// SPDX-License-Identifier: MIT
#include "codec/ImageFileFormat.h"

#include "codec/CodecOptions.h"
#include "codec/ImagingError.h"

#include <filesystem>
#include <fstream>
#include <new>

namespace imaging {

// ---------------------------------------------------------------------------------------------
// TMemoryStream

void TMemoryStream::Write(const void* data, size_t count)
{
    if (count == 0)
        return;
    const auto* p = static_cast<const uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), p, p + count);
}

void TMemoryStream::WriteU16LE(uint16_t v)
{
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    Write(b, 2);
}

void TMemoryStream::WriteU32LE(uint32_t v)
{
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                          static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    Write(b, 4);
}

void TMemoryStream::WriteU16BE(uint16_t v)
{
    const uint8_t b[2] = {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    Write(b, 2);
}

void TMemoryStream::WriteU32BE(uint32_t v)
{
    const uint8_t b[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                          static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    Write(b, 4);
}

void TMemoryStream::PatchU32LE(size_t pos, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        m_bytes.at(pos + i) = static_cast<uint8_t>(v >> (8 * i));
}

void TMemoryStream::PatchU32BE(size_t pos, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        m_bytes.at(pos + i) = static_cast<uint8_t>(v >> (24 - 8 * i));
}

void TMemoryStream::PatchU16BE(size_t pos, uint16_t v)
{
    m_bytes.at(pos) = static_cast<uint8_t>(v >> 8);
    m_bytes.at(pos + 1) = static_cast<uint8_t>(v);
}

// ---------------------------------------------------------------------------------------------
// File name masks

namespace {

// Code points of a UTF-8 text; a byte that does not start a valid sequence stands for itself,
// so any name can be matched.
std::u32string CodePoints(const std::string& text)
{
    std::u32string out;
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = -1;   // continuation bytes of the sequence; -1 for a byte that cannot start one
        char32_t cp = b;
        if (b < 0x80) {
            extra = 0;
        } else if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            cp = b & 0x1Fu;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            cp = b & 0x0Fu;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            cp = b & 0x07u;
        }
        bool ok = extra >= 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= n || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        if (!ok) {
            out += static_cast<char32_t>(b);
            ++i;
        } else {
            out += cp;
            i += static_cast<size_t>(extra) + 1;
        }
    }
    return out;
}

char32_t FoldCase(char32_t c)
{
    return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
}

// The part of a path after its last "/", "\" or ":".
std::string NamePart(const std::string& fileName)
{
    const size_t pos = fileName.find_last_of("/\\:");
    return pos == std::string::npos ? fileName : fileName.substr(pos + 1);
}

std::string Trim(const std::string& s)
{
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const size_t last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

} // namespace

bool MatchFileNameMask(const std::string& fileName, const std::string& fileMask)
{
    return MatchFileNameMask(CodePoints(fileName), CodePoints(fileMask));
}

std::u32string FileNameCodePoints(const std::string& fileName)
{
    return CodePoints(NamePart(fileName));
}

bool MatchFileNameMask(const std::u32string& name, const std::u32string& mask)
{
    constexpr size_t none = std::u32string::npos;
    size_t n = 0, m = 0;
    size_t starMask = none, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == U'*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == U'?' || FoldCase(mask[m]) == FoldCase(name[n]))) {
            ++n;
            ++m;
        } else if (starMask != none) {
            // Let the last "*" take one more character and try again from there.
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == U'*')
        ++m;
    return m == mask.size();
}

// ---------------------------------------------------------------------------------------------
// TImageFileFormat

TImageFileFormat::TImageFileFormat(TOptionTable& options) : m_options(options) {}

TImageFileFormat::~TImageFileFormat() = default;

void TImageFileFormat::AddMasks(const std::string& masks)
{
    size_t start = 0;
    while (start <= masks.size()) {
        size_t comma = masks.find(',', start);
        if (comma == std::string::npos)
            comma = masks.size();
        const std::string mask = Trim(masks.substr(start, comma - start));
        if (!mask.empty()) {
            m_masks.push_back(mask);
            m_maskCodePoints.push_back(CodePoints(mask));
        }
        start = comma + 1;
    }
}

bool TImageFileFormat::TestFileName(const std::string& fileName) const
{
    return TestNameCodePoints(FileNameCodePoints(fileName));
}

bool TImageFileFormat::TestNameCodePoints(const std::u32string& name) const
{
    for (const std::u32string& mask : m_maskCodePoints)
        if (MatchFileNameMask(name, mask))
            return true;
    return false;
}

bool TImageFileFormat::CanWriteDirectly(const TImageData& image) const
{
    return m_supportedFormats.count(image.Format) != 0;
}

bool TImageFileFormat::PrepareWrite(const TDynImageDataArray& images, int index)
{
    ValidateOptions();
    if (!m_canSave || images.empty())
        return false;
    const int count = static_cast<int>(images.size());
    if (m_isMultiImageFormat) {
        if (index == -1) {
            m_firstIdx = 0;
            m_lastIdx = count - 1;
        } else {
            if (index < 0 || index >= count)
                index = 0;
            m_firstIdx = m_lastIdx = index;
        }
    } else {
        if (index < 0 || index >= count)
            index = 0;
        m_firstIdx = m_lastIdx = index;
    }
    for (int i = m_firstIdx; i <= m_lastIdx; ++i)
        if (!TestImage(images[static_cast<size_t>(i)]))
            return false;
    return true;
}

const TImageData& TImageFileFormat::MakeWritable(const TImageData& image, TImageData& copy)
{
    const TImageFormat forced = m_options.GetOption(ImagingSaveOverrideFormat);
    if (IsValidFormat(forced)) {
        CloneImageData(image, copy);
        ConvertImageData(copy, forced);
    } else if (CanWriteDirectly(image)) {
        return image;
    } else {
        CloneImageData(image, copy);
    }
    if (!CanWriteDirectly(copy))
        ConvertForWriting(copy, *GetFormatInfo(copy.Format));
    if (!CanWriteDirectly(copy))
        throw EImagingError(Format("Image Format \"%s\" cannot write images of format \"%s\".",
                                   m_name.c_str(), GetFormatName(copy.Format)));
    return copy;
}

void TImageFileFormat::WriteImages(TMemoryStream&, const TDynImageDataArray&)
{
    throw EImagingError(Format("Image Format \"%s\" does not support saving images.", m_name.c_str()));
}

void TImageFileFormat::ConvertForWriting(TImageData&, const TImageFormatInfo&) {}

bool TImageFileFormat::Encode(const TDynImageDataArray& images, int index, std::vector<uint8_t>& out)
{
    if (!PrepareWrite(images, index))
        return false;
    TMemoryStream stream;
    try {
        WriteImages(stream, images);
    } catch (const std::bad_alloc&) {
        throw EImagingError(Format("Out of memory while writing an image as \"%s\".", m_name.c_str()));
    }
    out = std::move(stream.Bytes());
    return true;
}

bool TImageFileFormat::CanWriteList(const TDynImageDataArray& images) const
{
    if (!m_canSave || images.empty())
        return false;
    for (const TImageData& image : images)
        if (!TestImage(image))
            return false;
    return true;
}

bool TImageFileFormat::WriteImageToMemory(const TDynImageDataArray& images, std::vector<uint8_t>& out,
                                          bool onlyFirst)
{
    if (!CanWriteList(images))
        return false;
    // Several images for a single-image writer cannot share one buffer: only the files branch of
    // WriteImageFile can write them, one file each.
    if (!m_isMultiImageFormat && !onlyFirst && images.size() > 1)
        return false;
    return Encode(images, onlyFirst ? 0 : -1, out);
}

namespace {

void WriteBytesToFile(const std::string& fileName, const std::vector<uint8_t>& bytes)
{
    // The name is UTF-8; a filesystem path made from it keeps every character on every platform.
    const std::filesystem::path path(std::u8string(fileName.begin(), fileName.end()));
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        throw EImagingError(Format("Cannot create file \"%s\".", fileName.c_str()));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        throw EImagingError(Format("Cannot write file \"%s\".", fileName.c_str()));
}

// fileName with number (three digits at least) put before its extension.
std::string NumberedFileName(const std::string& fileName, int number)
{
    const size_t separator = fileName.find_last_of("/\\:");
    size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        dot = fileName.size();
    return fileName.substr(0, dot) + Format("%.3d", number) + fileName.substr(dot);
}

} // namespace

bool TImageFileFormat::WriteImageFile(const std::string& fileName, const TDynImageDataArray& images,
                                      bool onlyFirst)
{
    if (!CanWriteList(images))
        return false;
    if (m_isMultiImageFormat || onlyFirst || images.size() == 1) {
        // Encoded in full before the file is touched, so a failed encoding leaves no file.
        std::vector<uint8_t> bytes;
        if (!Encode(images, onlyFirst ? 0 : -1, bytes))
            return false;
        WriteBytesToFile(fileName, bytes);
        return true;
    }
    for (size_t i = 0; i < images.size(); ++i) {
        std::vector<uint8_t> bytes;
        if (!Encode(images, static_cast<int>(i), bytes))
            return false;
        WriteBytesToFile(NumberedFileName(fileName, static_cast<int>(i)), bytes);
    }
    return true;
}

} // namespace imaging
