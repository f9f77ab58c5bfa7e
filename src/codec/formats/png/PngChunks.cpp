// SPDX-License-Identifier: MIT
#include "codec/formats/png/PngChunks.h"

#include "codec/ImagingError.h"
#include "codec/ScratchPool.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <limits>
#include <new>

#include <libdeflate.h>

namespace imaging::png {

namespace {

constexpr size_t MaxChunkData = 0x7FFFFFFF;

// The Paeth predictor: of a (left), b (above) and c (above left), the one nearest to a + b - c,
// ties in the order a, b, c. Written without branches and in 16-bit arithmetic (every difference
// of bytes fits), so that whole rows vectorise with eight or more bytes per instruction.
inline uint8_t PaethPredictor(uint8_t a, uint8_t b, uint8_t c)
{
    const int16_t toA = static_cast<int16_t>(b - c);                      // p - a
    const int16_t toB = static_cast<int16_t>(a - c);                      // p - b
    const int16_t toC = static_cast<int16_t>(toA + toB);                  // p - c
    const int16_t pa = toA < 0 ? static_cast<int16_t>(-toA) : toA;
    const int16_t pb = toB < 0 ? static_cast<int16_t>(-toB) : toB;
    const int16_t pc = toC < 0 ? static_cast<int16_t>(-toC) : toC;
    const uint8_t bOrC = pb <= pc ? b : c;
    return pa <= pb && pa <= pc ? a : bOrC;
}

// Filters one row (without its filter byte) into out. prev is the previous unfiltered row, all
// zero for the first row; bpp the bytes of a whole pixel. Each filter has its own loop without
// dependencies between bytes (the predictors read the unfiltered row), so the compiler turns
// them into vector code.
void FilterRow(int filter, const uint8_t* __restrict row, const uint8_t* __restrict prev, size_t length,
               size_t bpp, uint8_t* __restrict out)
{
    const size_t head = std::min(bpp, length); // bytes without a left neighbour
    switch (filter) {
    case FilterSub:
        for (size_t i = 0; i < head; ++i)
            out[i] = row[i];
        for (size_t i = head; i < length; ++i)
            out[i] = static_cast<uint8_t>(row[i] - row[i - bpp]);
        return;
    case FilterUp:
        for (size_t i = 0; i < length; ++i)
            out[i] = static_cast<uint8_t>(row[i] - prev[i]);
        return;
    case FilterAverage:
        for (size_t i = 0; i < head; ++i)
            out[i] = static_cast<uint8_t>(row[i] - prev[i] / 2);
        for (size_t i = head; i < length; ++i)
            out[i] = static_cast<uint8_t>(row[i] - (row[i - bpp] + prev[i]) / 2);
        return;
    case FilterPaeth:
        // Without a left neighbour a = c = 0, and the predictor is the byte above.
        for (size_t i = 0; i < head; ++i)
            out[i] = static_cast<uint8_t>(row[i] - prev[i]);
        for (size_t i = head; i < length; ++i)
            out[i] = static_cast<uint8_t>(row[i] - PaethPredictor(row[i - bpp], prev[i], prev[i - bpp]));
        return;
    default:
        std::memcpy(out, row, length);
        return;
    }
}

// The usual heuristic: the filter whose output, read as signed bytes, has the smallest sum of
// magnitudes.
uint64_t FilterCost(const uint8_t* data, size_t length)
{
    uint64_t sum = 0;
    for (size_t i = 0; i < length; ++i)
        sum += static_cast<uint64_t>(std::abs(static_cast<int>(static_cast<int8_t>(data[i]))));
    return sum;
}

// A record row in PNG order: red first, multi-byte samples big-endian.
void ToPngOrder(const uint8_t* __restrict src, size_t width, const TPngLayout& layout, uint8_t* __restrict dst)
{
    if (layout.SampleBytes == 1 && !layout.SwapRedBlue) {
        std::memcpy(dst, src, width * static_cast<size_t>(layout.Samples));
        return;
    }
    if (layout.SampleBytes == 1 && layout.Samples == 3) {
        for (size_t x = 0; x < width; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
        return;
    }
    if (layout.SampleBytes == 1 && layout.Samples == 4) {
        for (size_t x = 0; x < width; ++x) {
            dst[4 * x] = src[4 * x + 2];
            dst[4 * x + 1] = src[4 * x + 1];
            dst[4 * x + 2] = src[4 * x];
            dst[4 * x + 3] = src[4 * x + 3];
        }
        return;
    }
    const size_t samples = static_cast<size_t>(layout.Samples);
    const size_t sampleBytes = static_cast<size_t>(layout.SampleBytes);
    const size_t pixelBytes = samples * sampleBytes;
    for (size_t x = 0; x < width; ++x) {
        const uint8_t* s = src + x * pixelBytes;
        uint8_t* d = dst + x * pixelBytes;
        for (size_t k = 0; k < samples; ++k) {
            size_t from = k;
            if (layout.SwapRedBlue && k == 0)
                from = 2;
            else if (layout.SwapRedBlue && k == 2)
                from = 0;
            for (size_t byte = 0; byte < sampleBytes; ++byte)
                d[k * sampleBytes + byte] = s[from * sampleBytes + (sampleBytes - 1 - byte)];
        }
    }
}

} // namespace

uint32_t ChunkCrc(const char* type, const uint8_t* data, size_t size)
{
    const uint32_t crc = libdeflate_crc32(0, type, 4);
    // A null buffer would start the checksum afresh: empty chunks (IEND) pass none.
    return size > 0 ? libdeflate_crc32(crc, data, size) : crc;
}

void WriteChunk(TMemoryStream& out, const char* type, const uint8_t* data, size_t size)
{
    if (size > MaxChunkData)
        throw EImagingError(Format("The %.4s chunk would hold %zu bytes, more than a chunk can hold.", type, size));
    out.WriteU32BE(static_cast<uint32_t>(size));
    out.Write(type, 4);
    out.Write(data, size);
    out.WriteU32BE(ChunkCrc(type, data, size));
}

void WriteChunk(TMemoryStream& out, const char* type, const std::vector<uint8_t>& data)
{
    WriteChunk(out, type, data.data(), data.size());
}

bool GetPngLayout(TImageFormat format, TPngLayout& layout)
{
    switch (format) {
    case ifIndex8: layout = {3, 8, 1, 1, false}; return true;
    case ifGray8: layout = {0, 8, 1, 1, false}; return true;
    case ifA8Gray8: layout = {4, 8, 2, 1, false}; return true;
    case ifGray16: layout = {0, 16, 1, 2, false}; return true;
    case ifA16Gray16: layout = {4, 16, 2, 2, false}; return true;
    case ifR8G8B8: layout = {2, 8, 3, 1, true}; return true;
    case ifA8R8G8B8: layout = {6, 8, 4, 1, true}; return true;
    case ifR16G16B16: layout = {2, 16, 3, 2, true}; return true;
    case ifA16R16G16B16: layout = {6, 16, 4, 2, true}; return true;
    case ifB16G16R16: layout = {2, 16, 3, 2, false}; return true;
    case ifA16B16G16R16: layout = {6, 16, 4, 2, false}; return true;
    default: return false;
    }
}

std::vector<uint8_t> ImageHeader(const TImageData& image, const TPngLayout& layout)
{
    return ImageHeader(image.Width, image.Height, layout);
}

std::vector<uint8_t> ImageHeader(int width, int height, const TPngLayout& layout)
{
    TMemoryStream header;
    header.WriteU32BE(static_cast<uint32_t>(width));
    header.WriteU32BE(static_cast<uint32_t>(height));
    header.WriteByte(layout.BitDepth);
    header.WriteByte(layout.ColorType);
    header.WriteByte(0);   // compression: deflate
    header.WriteByte(0);   // filter method: adaptive, five types
    header.WriteByte(0);   // no interlace
    return std::move(header.Bytes());
}

namespace {

// The filter of every row when the option fixes one; adaptive tells whether it is chosen per row.
int FixedFilter(const TPngLayout& layout, int filterOption, bool& adaptive)
{
    adaptive = filterOption == FilterAdaptive && layout.BitDepth >= 8 && layout.ColorType != 3;
    if (filterOption == FilterDefault)
        return layout.ColorType == 2 || layout.ColorType == 6 ? FilterPaeth : FilterNone;
    if (filterOption == FilterAdaptive || filterOption < FilterNone || filterOption > FilterPaeth)
        return FilterNone;
    return filterOption;
}

// Filters height rows of rowBytes bytes each into dst, each behind its filter byte. toPngOrder(y,
// row) puts row y in PNG order into row; it is called for row y before dst receives anything
// beyond the filtered rows before y, so dst may overlap the source rows as far as those allow.
template <typename ToPngOrderFn>
void FilterRows(size_t rowBytes, int height, const TPngLayout& layout, int filterOption, ToPngOrderFn toPngOrder,
                uint8_t* dst)
{
    const size_t bpp = static_cast<size_t>(layout.Samples * layout.SampleBytes);
    bool adaptive = false;
    const int fixedFilter = FixedFilter(layout, filterOption, adaptive);
    // Only the first row's predecessor has to be zero; current is written in full before use.
    std::unique_ptr<uint8_t[]> current(new uint8_t[rowBytes]);
    std::unique_ptr<uint8_t[]> previous(new uint8_t[rowBytes]());
    std::unique_ptr<uint8_t[]> trial(adaptive ? new uint8_t[rowBytes] : nullptr);
    for (int y = 0; y < height; ++y) {
        toPngOrder(y, current.get());
        int filter = fixedFilter;
        if (adaptive) {
            uint64_t best = std::numeric_limits<uint64_t>::max();
            for (int f = FilterNone; f <= FilterPaeth; ++f) {
                FilterRow(f, current.get(), previous.get(), rowBytes, bpp, trial.get());
                const uint64_t cost = FilterCost(trial.get(), rowBytes);
                if (cost < best) {
                    best = cost;
                    filter = f;
                }
            }
        }
        dst[0] = static_cast<uint8_t>(filter);
        FilterRow(filter, current.get(), previous.get(), rowBytes, bpp, dst + 1);
        dst += rowBytes + 1;
        current.swap(previous);
    }
}

} // namespace

std::vector<uint8_t> FilterImageRows(const TImageData& image, const TPngLayout& layout, int filterOption)
{
    const size_t rowBytes = image.RowBytes();
    const size_t width = static_cast<size_t>(image.Width);
    std::vector<uint8_t> out((rowBytes + 1) * static_cast<size_t>(image.Height));
    FilterRows(
        rowBytes, image.Height, layout, filterOption,
        [&](int y, uint8_t* row) { ToPngOrder(image.Row(y), width, layout, row); }, out.data());
    return out;
}

void FilterBgrx32Rows(const uint8_t* pixels, size_t stride, int width, int height, int filterOption, uint8_t* dst)
{
    TPngLayout layout;
    GetPngLayout(ifR8G8B8, layout);
    const size_t w = static_cast<size_t>(width);
    FilterRows(
        3 * w, height, layout, filterOption,
        [&](int y, uint8_t* row) {
            const uint8_t* src = pixels + static_cast<size_t>(y) * stride;
            for (size_t x = 0; x < w; ++x) {
                row[3 * x] = src[4 * x + 2];
                row[3 * x + 1] = src[4 * x + 1];
                row[3 * x + 2] = src[4 * x];
            }
        },
        dst);
}

std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& data, int level)
{
    std::vector<uint8_t> out;
    ZlibCompress(data.data(), data.size(), level, [&](const uint8_t* bytes, size_t size) {
        out.assign(bytes, bytes + size);
    });
    return out;
}

void ZlibCompress(const uint8_t* data, size_t size, int level, const std::function<void(const uint8_t*, size_t)>& take)
{
    // One shot: the whole input is at hand, and this is about twice as fast as streaming through
    // zlib at the same level.
    // A compressor holds large tables; it is kept for the next image, which reuses it at the same
    // level.
    struct Compressor {
        std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)> handle{nullptr,
                                                                                        libdeflate_free_compressor};
        int level = -1;
    };
    static ScratchPool<Compressor> compressors;
    const auto lease = compressors.take();
    Compressor& cached = *lease;
    if (!cached.handle || cached.level != level) {
        cached.handle.reset(libdeflate_alloc_compressor(level));
        cached.level = cached.handle ? level : -1;
    }
    libdeflate_compressor* const compressor = cached.handle.get();
    if (!compressor)
        throw EImagingError("Cannot start zlib compression.");
    // Rendered text compresses well: a quarter of the input is tried first, and only data that does
    // not fit is compressed again into a buffer of the worst-case size, so that a large image does
    // not hold a second buffer of its full size. The buffer is not cleared: of its pages only
    // those the stream reaches are ever touched.
    const size_t bound = libdeflate_zlib_compress_bound(compressor, size);
    for (size_t capacity = std::min(bound, size / 4 + 65536);; capacity = bound) {
        std::unique_ptr<uint8_t[]> out(new (std::nothrow) uint8_t[capacity]);
        if (!out)
            throw EImagingError("Out of memory while compressing image data.");
        const size_t written = libdeflate_zlib_compress(compressor, data, size, out.get(), capacity);
        if (written > 0) {
            take(out.get(), written);
            return;
        }
        if (capacity == bound)
            throw EImagingError("zlib compression failed.");
    }
}

void WritePngImageChunks(TMemoryStream& out, const TImageData& image, int filterOption, int level)
{
    TPngLayout layout;
    if (!TestImage(image) || !GetPngLayout(image.Format, layout))
        throw EImagingError(Format("PNG data cannot be made from this image. %s", ImageToStr(image).c_str()));

    WriteChunk(out, "IHDR", ImageHeader(image, layout));
    if (layout.ColorType == 3) {
        const size_t entries = static_cast<size_t>(GetFormatInfo(image.Format)->PaletteEntries);
        std::vector<uint8_t> plte;
        std::vector<uint8_t> trns;
        size_t lastTransparent = 0;
        for (size_t i = 0; i < entries; ++i) {
            const TColor32Rec& c = image.Palette[i];
            plte.insert(plte.end(), {c.R, c.G, c.B});
            trns.push_back(c.A);
            if (c.A != 255)
                lastTransparent = i + 1;
        }
        WriteChunk(out, "PLTE", plte);
        // Alpha of the entries up to the last one that is not opaque; none when all are.
        if (lastTransparent > 0)
            WriteChunk(out, "tRNS", trns.data(), lastTransparent);
    }
    {
        const std::vector<uint8_t> filtered = FilterImageRows(image, layout, filterOption);
        WriteCompressedChunk(out, "IDAT", filtered.data(), filtered.size(), level);
    }
    WriteChunk(out, "IEND", nullptr, 0);
}

void WriteCompressedChunk(TMemoryStream& out, const char* type, const uint8_t* data, size_t size, int level)
{
    ZlibCompress(data, size, level,
                 [&](const uint8_t* compressed, size_t length) { WriteChunk(out, type, compressed, length); });
}

void WriteBgrx32PngChunks(TMemoryStream& out, const uint8_t* pixels, size_t stride, int width, int height,
                          int filterOption, int level, uint8_t* filtered, const std::function<void()>& rowsFiltered)
{
    TPngLayout layout;
    GetPngLayout(ifR8G8B8, layout);
    WriteChunk(out, "IHDR", ImageHeader(width, height, layout));
    FilterBgrx32Rows(pixels, stride, width, height, filterOption, filtered);
    if (rowsFiltered)
        rowsFiltered();
    WriteCompressedChunk(out, "IDAT", filtered, (3 * static_cast<size_t>(width) + 1) * static_cast<size_t>(height),
                         level);
    WriteChunk(out, "IEND", nullptr, 0);
}

} // namespace imaging::png
