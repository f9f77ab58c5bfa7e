#include "PngChunks.h"

#include "codec/ImagingError.h"

#include <cstdlib>
#include <limits>
#include <new>

#include <zlib.h>

namespace imaging::png {

namespace {

constexpr size_t MaxChunkData = 0x7FFFFFFF;

uint8_t PaethPredictor(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return static_cast<uint8_t>(a);
    return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Filters one row (without its filter byte) into out. prev is the previous unfiltered row, all
// zero for the first row; bpp the bytes of a whole pixel.
void FilterRow(int filter, const uint8_t* row, const uint8_t* prev, size_t length, size_t bpp, uint8_t* out)
{
    for (size_t i = 0; i < length; ++i) {
        const int x = row[i];
        const int a = i >= bpp ? row[i - bpp] : 0;
        const int b = prev[i];
        const int c = i >= bpp ? prev[i - bpp] : 0;
        int predicted = 0;
        switch (filter) {
        case FilterSub: predicted = a; break;
        case FilterUp: predicted = b; break;
        case FilterAverage: predicted = (a + b) / 2; break;
        case FilterPaeth: predicted = PaethPredictor(a, b, c); break;
        default: break;
        }
        out[i] = static_cast<uint8_t>(x - predicted);
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
void ToPngOrder(const uint8_t* src, size_t width, const TPngLayout& layout, uint8_t* dst)
{
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
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(type), 4);
    while (size > 0) {
        const uInt part = static_cast<uInt>(size > 0x40000000 ? 0x40000000 : size);
        crc = crc32(crc, data, part);
        data += part;
        size -= part;
    }
    return static_cast<uint32_t>(crc);
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
    TMemoryStream header;
    header.WriteU32BE(static_cast<uint32_t>(image.Width));
    header.WriteU32BE(static_cast<uint32_t>(image.Height));
    header.WriteByte(layout.BitDepth);
    header.WriteByte(layout.ColorType);
    header.WriteByte(0);   // compression: deflate
    header.WriteByte(0);   // filter method: adaptive, five types
    header.WriteByte(0);   // no interlace
    return std::move(header.Bytes());
}

std::vector<uint8_t> FilterImageRows(const TImageData& image, const TPngLayout& layout, int filterOption)
{
    const size_t rowBytes = image.RowBytes();
    const size_t bpp = static_cast<size_t>(layout.Samples * layout.SampleBytes);
    const size_t width = static_cast<size_t>(image.Width);

    int fixedFilter = filterOption;
    const bool adaptive = filterOption == FilterAdaptive && layout.BitDepth >= 8 && layout.ColorType != 3;
    if (filterOption == FilterDefault)
        fixedFilter = layout.ColorType == 2 || layout.ColorType == 6 ? FilterPaeth : FilterNone;
    else if (filterOption == FilterAdaptive || filterOption < FilterNone || filterOption > FilterPaeth)
        fixedFilter = FilterNone;

    std::vector<uint8_t> out((rowBytes + 1) * static_cast<size_t>(image.Height));
    std::vector<uint8_t> current(rowBytes), previous(rowBytes, 0), trial(adaptive ? rowBytes : 0);
    uint8_t* dst = out.data();
    for (int y = 0; y < image.Height; ++y) {
        ToPngOrder(image.Row(y), width, layout, current.data());
        int filter = fixedFilter;
        if (adaptive) {
            uint64_t best = std::numeric_limits<uint64_t>::max();
            for (int f = FilterNone; f <= FilterPaeth; ++f) {
                FilterRow(f, current.data(), previous.data(), rowBytes, bpp, trial.data());
                const uint64_t cost = FilterCost(trial.data(), rowBytes);
                if (cost < best) {
                    best = cost;
                    filter = f;
                }
            }
        }
        dst[0] = static_cast<uint8_t>(filter);
        FilterRow(filter, current.data(), previous.data(), rowBytes, bpp, dst + 1);
        dst += rowBytes + 1;
        current.swap(previous);
    }
    return out;
}

std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& data, int level)
{
    z_stream z{};
    if (deflateInit(&z, level) != Z_OK)
        throw EImagingError("Cannot start zlib compression.");
    // The stream is ended on every path, also when an exception passes.
    struct End {
        z_stream* z;
        ~End() { deflateEnd(z); }
    } end{&z};

    std::vector<uint8_t> out;
    try {
        out.resize(deflateBound(&z, static_cast<uLong>(data.size())));
    } catch (const std::bad_alloc&) {
        throw EImagingError("Out of memory while compressing image data.");
    }
    z.next_in = const_cast<Bytef*>(data.data());
    z.next_out = out.data();
    size_t inLeft = data.size();
    size_t outLeft = out.size();
    constexpr size_t step = std::numeric_limits<uInt>::max();
    int result = Z_OK;
    while (result == Z_OK) {
        z.avail_in = static_cast<uInt>(inLeft < step ? inLeft : step);
        z.avail_out = static_cast<uInt>(outLeft < step ? outLeft : step);
        const uInt givenIn = z.avail_in, givenOut = z.avail_out;
        result = deflate(&z, inLeft <= step ? Z_FINISH : Z_NO_FLUSH);
        inLeft -= givenIn - z.avail_in;
        outLeft -= givenOut - z.avail_out;
        if (result == Z_BUF_ERROR && (z.avail_in != givenIn || z.avail_out != givenOut))
            result = Z_OK;   // progress was made; the next round goes on
    }
    if (result != Z_STREAM_END)
        throw EImagingError(Format("zlib compression failed (%d).", result));
    out.resize(out.size() - outLeft);
    return out;
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
        std::vector<uint8_t> compressed;
        {
            const std::vector<uint8_t> filtered = FilterImageRows(image, layout, filterOption);
            compressed = ZlibCompress(filtered, level);
        }
        WriteChunk(out, "IDAT", compressed);
    }
    WriteChunk(out, "IEND", nullptr, 0);
}

} // namespace imaging::png
