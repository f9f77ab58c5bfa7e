// SPDX-License-Identifier: MIT
#pragma once
// Building blocks of the PNG, MNG and JNG streams: signatures, chunks with their CRC, and the
// PNG-style image data (IHDR fields, row filters, zlib compression).
#include "codec/ImageFileFormat.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace imaging::png {

constexpr std::array<uint8_t, 8> PngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::array<uint8_t, 8> MngSignature = {0x8A, 'M', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::array<uint8_t, 8> JngSignature = {0x8B, 'J', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// CRC-32 over the chunk type and data.
uint32_t ChunkCrc(const char* type, const uint8_t* data, size_t size);
// Length (big-endian), the four-letter type, the data and the CRC. Raises EImagingError when the
// data is longer than a chunk can hold (2^31 - 1 bytes).
void WriteChunk(TMemoryStream& out, const char* type, const uint8_t* data, size_t size);
void WriteChunk(TMemoryStream& out, const char* type, const std::vector<uint8_t>& data);

// Row filter types, and the two choices of the row-filter option beyond them.
enum TPngFilter : int32_t {
    FilterNone = 0, FilterSub = 1, FilterUp = 2, FilterAverage = 3, FilterPaeth = 4,
    FilterDefault = 5,    // Paeth for truecolour (with and without alpha), none otherwise
    FilterAdaptive = 6,   // chosen per row
};

// How a pixel format is stored in PNG-style image data.
struct TPngLayout {
    uint8_t ColorType = 0;     // 0 gray, 2 truecolour, 3 indexed, 4 gray + alpha, 6 truecolour + alpha
    uint8_t BitDepth = 0;
    int Samples = 0;           // per pixel
    int SampleBytes = 0;
    bool SwapRedBlue = false;  // the record stores blue first
};
// False for the formats that cannot be stored as they are.
bool GetPngLayout(TImageFormat format, TPngLayout& layout);

// The 13 bytes of an IHDR chunk.
std::vector<uint8_t> ImageHeader(const TImageData& image, const TPngLayout& layout);
std::vector<uint8_t> ImageHeader(int width, int height, const TPngLayout& layout);

// Every row in PNG order (red first, samples big-endian) behind its filter byte, filtered as the
// row-filter option says.
std::vector<uint8_t> FilterImageRows(const TImageData& image, const TPngLayout& layout, int filterOption);

// The rows of a 32-bit image whose pixels are blue, green, red and one unused byte each (the
// toolkit's 32-bit order), rows stride bytes apart, filtered as 24-bit truecolour rows: the same
// bytes FilterImageRows gives for the image as an ifR8G8B8 record. dst takes
// (3 * width + 1) * height bytes. It may be the image's own memory: a filtered row ends before the
// next source row begins (3 * width + 1 <= 4 * width <= stride), and each source row is read
// before its place is written, so the image can be filtered in place.
void FilterBgrx32Rows(const uint8_t* pixels, size_t stride, int width, int height, int filterOption, uint8_t* dst);

// One zlib-format stream of data at the given level (0 to 9), made in one shot with libdeflate.
std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& data, int level);
// The same stream, handed to take while it is in the compressor's own buffer.
void ZlibCompress(const uint8_t* data, size_t size, int level, const std::function<void(const uint8_t*, size_t)>& take);
// A chunk of the given type holding data as one zlib stream.
void WriteCompressedChunk(TMemoryStream& out, const char* type, const uint8_t* data, size_t size, int level);

// IHDR, PLTE and tRNS for indexed images, one IDAT with all rows, IEND. The image must have a
// PNG layout.
void WritePngImageChunks(TMemoryStream& out, const TImageData& image, int filterOption, int level);
// The same chunks for a 32-bit image of FilterBgrx32Rows's order, written as 24-bit truecolour:
// the bytes WritePngImageChunks gives for it as an ifR8G8B8 record. The filtered rows go to
// filtered ((3 * width + 1) * height bytes), which may be the image's own memory. rowsFiltered,
// when given, learns that filtering is done, before the compressor starts: memory beyond the
// filtered rows can go then.
void WriteBgrx32PngChunks(TMemoryStream& out, const uint8_t* pixels, size_t stride, int width, int height,
                          int filterOption, int level, uint8_t* filtered,
                          const std::function<void()>& rowsFiltered = {});

} // namespace imaging::png
