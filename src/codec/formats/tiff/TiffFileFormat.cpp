// SPDX-License-Identifier: MIT
#include "codec/formats/tiff/TiffFileFormat.h"

#include "codec/CodecOptions.h"
#include "codec/ImagingError.h"

#include <algorithm>
#include <bit>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include <tiffio.h>

namespace imaging {

namespace {

// The compressions that option 65 chooses from, by index.
constexpr uint16_t Compressions[] = {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_PACKBITS,
                                     COMPRESSION_DEFLATE, COMPRESSION_JPEG};

// The file libtiff writes: a region of the output stream that starts at `base`, with libtiff's
// file position, and what libtiff reported. libtiff calls back into it through the procedures
// below; none of them throws, since they run inside C code.
struct TTiffFile {
    std::vector<uint8_t>* bytes = nullptr;
    size_t base = 0;
    uint64_t position = 0;
    std::string error;      // the first error
    std::string warnings;   // kept to explain a later error; not fatal on their own

    uint64_t Size() const { return bytes->size() - base; }
};

TTiffFile& FileOf(thandle_t handle)
{
    return *static_cast<TTiffFile*>(handle);
}

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size)
{
    TTiffFile& file = FileOf(handle);
    if (size < 0 || file.position >= file.Size())
        return 0;
    const uint64_t count = std::min<uint64_t>(static_cast<uint64_t>(size), file.Size() - file.position);
    std::memcpy(buffer, file.bytes->data() + file.base + file.position, count);
    file.position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t size)
{
    TTiffFile& file = FileOf(handle);
    if (size < 0)
        return -1;
    const uint64_t end = file.position + static_cast<uint64_t>(size);
    try {
        if (end > file.Size())
            file.bytes->resize(file.base + end);   // a gap left by a seek beyond the end reads as zeros
    } catch (...) {
        return -1;
    }
    std::memcpy(file.bytes->data() + file.base + file.position, buffer, static_cast<size_t>(size));
    file.position = end;
    return size;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence)
{
    TTiffFile& file = FileOf(handle);
    uint64_t origin = 0;
    if (whence == SEEK_CUR)
        origin = file.position;
    else if (whence == SEEK_END)
        origin = file.Size();
    else if (whence != SEEK_SET)
        return static_cast<toff_t>(-1);
    // libtiff passes backward moves as the unsigned form of a negative offset.
    const uint64_t target = origin + offset;
    if (target > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        return static_cast<toff_t>(-1);
    file.position = target;
    return target;
}

int CloseProc(thandle_t)
{
    return 0;
}

toff_t SizeProc(thandle_t handle)
{
    return FileOf(handle).Size();
}

int MapProc(thandle_t, void**, toff_t*)
{
    return 0;   // no mapping: libtiff reads through ReadProc
}

void UnmapProc(thandle_t, void*, toff_t) {}

std::string FormatMessage(const char* module, const char* fmt, va_list args)
{
    char text[1024];
    std::vsnprintf(text, sizeof text, fmt, args);
    return module && *module ? std::string(module) + ": " + text : std::string(text);
}

// Both handlers return 1, so libtiff does not pass the message on to its global handlers.
int ErrorHandler(TIFF*, void* userData, const char* module, const char* fmt, va_list args)
{
    auto* file = static_cast<TTiffFile*>(userData);
    if (file->error.empty()) {
        try {
            file->error = FormatMessage(module, fmt, args);
        } catch (...) {
        }
    }
    return 1;
}

int WarningHandler(TIFF*, void* userData, const char* module, const char* fmt, va_list args)
{
    auto* file = static_cast<TTiffFile*>(userData);
    try {
        file->warnings += (file->warnings.empty() ? "" : "; ") + FormatMessage(module, fmt, args);
    } catch (...) {
    }
    return 1;
}

struct OpenOptionsDeleter {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};
struct TiffDeleter {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffDeleter>;

// Raises the error libtiff reported (or `what` when it reported none) when ok is false or an
// error was reported.
void Check(bool ok, const TTiffFile& file, const char* what)
{
    if (ok && file.error.empty())
        return;
    std::string message = "TIFF writing failed: " + (file.error.empty() ? std::string(what) : file.error);
    if (!file.warnings.empty())
        message += " (warnings: " + file.warnings + ")";
    throw EImagingError(message);
}

// One row as libtiff takes it: a private copy (libtiff may change the buffer it is given, for
// example when it swaps bytes or applies a predictor), red first for RGB formats, and multi-byte
// samples in the machine's byte order.
void PrepareRow(const uint8_t* src, size_t width, const TImageFormatInfo& info, bool swapRedBlue, uint8_t* dst)
{
    const size_t pixelBytes = static_cast<size_t>(info.BytesPerPixel);
    const size_t sampleBytes = pixelBytes / static_cast<size_t>(info.ChannelCount);
    std::memcpy(dst, src, width * pixelBytes);
    if (swapRedBlue)
        for (uint8_t* p = dst; p < dst + width * pixelBytes; p += pixelBytes)
            std::swap_ranges(p, p + sampleBytes, p + 2 * sampleBytes);
    if constexpr (std::endian::native == std::endian::big) {
        if (sampleBytes > 1)
            for (uint8_t* p = dst; p < dst + width * pixelBytes; p += sampleBytes)
                std::reverse(p, p + sampleBytes);
    }
}

void WriteDirectory(TIFF* tif, TTiffFile& file, const TImageData& image, int compressionIndex)
{
    const TImageFormatInfo& info = *GetFormatInfo(image.Format);
    const uint16_t samples = static_cast<uint16_t>(info.ChannelCount);
    const uint16_t bitsPerSample = static_cast<uint16_t>(info.BytesPerPixel / info.ChannelCount * 8);
    const bool rgb = !info.IsIndexed && !info.HasGrayChannel && info.ChannelCount >= 3;
    uint16_t photometric = PHOTOMETRIC_RGB;
    if (info.IsIndexed)
        photometric = PHOTOMETRIC_PALETTE;
    else if (info.HasGrayChannel || info.ChannelCount == 1)
        photometric = PHOTOMETRIC_MINISBLACK;

    uint16_t compression = Compressions[compressionIndex];
    const bool jpegAllowed = bitsPerSample == 8 && (samples == 1 || samples == 3) && !info.HasAlphaChannel &&
                             !info.IsIndexed;
    if (compression == COMPRESSION_JPEG && !jpegAllowed)
        compression = COMPRESSION_LZW;

    const uint32_t width = static_cast<uint32_t>(image.Width);
    const uint32_t height = static_cast<uint32_t>(image.Height);
    bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width) && TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height) &&
              TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric) &&
              TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
              TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bitsPerSample) &&
              TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples) &&
              TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, info.IsFloatingPoint ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_UINT) &&
              TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    if (ok && info.HasAlphaChannel) {
        // The last sample is alpha; without this tag readers would not know what it is.
        const uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
        ok = TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    Check(ok, file, "a tag could not be set");

    // Asked with the height as the request, libtiff's default strip size is the height: the whole
    // image goes into one strip. The compression is set first, since its codec may have a say.
    const uint32_t rowsPerStrip = TIFFDefaultStripSize(tif, height);
    if (rowsPerStrip != height)
        throw EImagingError(Format("TIFF writing failed: libtiff proposes strips of %u rows for an image of %u rows.",
                                   rowsPerStrip, height));
    Check(TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip), file, "the strip size could not be set");

    if (info.IsIndexed) {
        std::vector<uint16_t> red(256, 0), green(256, 0), blue(256, 0);
        const size_t entries = std::min<size_t>(image.Palette.size(), 256);
        for (size_t i = 0; i < entries; ++i) {
            red[i] = static_cast<uint16_t>(image.Palette[i].R * 257);
            green[i] = static_cast<uint16_t>(image.Palette[i].G * 257);
            blue[i] = static_cast<uint16_t>(image.Palette[i].B * 257);
        }
        Check(TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data()), file,
              "the colour map could not be set");
    }

    std::vector<uint8_t> row(image.RowBytes());
    for (uint32_t y = 0; y < height; ++y) {
        PrepareRow(image.Row(static_cast<int>(y)), width, info, rgb, row.data());
        Check(TIFFWriteScanline(tif, row.data(), y, 0) >= 0, file, "a row could not be written");
    }
    Check(TIFFWriteDirectory(tif) != 0, file, "the directory could not be written");
}

} // namespace

TTiffFileFormat::TTiffFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "Tagged Image File Format";
    m_canSave = true;
    m_isMultiImageFormat = true;
    m_supportedFormats = {ifIndex8, ifGray8, ifA8Gray8, ifGray16, ifGray32, ifA16Gray16, ifR8G8B8,
                          ifA8R8G8B8, ifR16G16B16, ifA16R16G16B16, ifR32F, ifA32R32G32B32F, ifR16F,
                          ifA16R16G16B16F};
    options.RegisterOption(ImagingTiffCompression, &m_compression);
}

void TTiffFileFormat::ValidateOptions()
{
    if (m_compression < 0 || m_compression > 4)
        m_compression = 1;
}

void TTiffFileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    TImageFormat target;
    if (info.RBSwapFormat != ifUnknown && m_supportedFormats.count(info.RBSwapFormat))
        target = info.RBSwapFormat;
    else if (info.IsFloatingPoint)
        target = info.ChannelCount == 1 ? ifR32F : ifA32R32G32B32F;
    else if (info.HasAlphaChannel)
        target = info.HasGrayChannel ? ifA16Gray16 : ifA8R8G8B8;
    else
        target = info.HasGrayChannel ? ifGray32 : ifR8G8B8;
    ConvertImageData(image, target);
}

void TTiffFileFormat::WriteImages(TMemoryStream& stream, const TDynImageDataArray& images)
{
    TTiffFile file;
    file.bytes = &stream.Bytes();
    file.base = stream.Position();

    std::unique_ptr<TIFFOpenOptions, OpenOptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options)
        throw EImagingError("TIFF writing failed: out of memory.");
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), ErrorHandler, &file);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), WarningHandler, &file);

    // Declared after `file`, so it is closed before the handlers' target goes away.
    TiffPtr tif(TIFFClientOpenExt("memory", "w", &file, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc,
                                  MapProc, UnmapProc, options.get()));
    Check(tif != nullptr, file, "the output could not be opened");

    for (int i = m_firstIdx; i <= m_lastIdx; ++i) {
        TImageData copy;
        const TImageData& image = MakeWritable(images[static_cast<size_t>(i)], copy);
        WriteDirectory(tif.get(), file, image, m_compression);
    }
    TIFFClose(tif.release());
    Check(true, file, "");
}

} // namespace imaging
