// SPDX-License-Identifier: MIT
#pragma once
// One descriptor row per output format: its extensions and their places in the format list, the
// key of its name in the text catalogue, what it keeps of transparency, the encoder options it
// offers, what an image needs in memory on its way into it, how its writer is made and whether
// it has the PNG fast path. The registry, the format list of both programs, the transparency
// notice, the format options window and the memory estimate all read these rows.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace imaging {

class TImageFileFormat;
class TOptionTable;

// What a format keeps of a transparent background.
enum class TFormatTransparency {
    None,       // no alpha: the background is drawn in
    Alpha,      // an alpha channel (or the icon formats' mask)
    OneColour,  // one palette colour is transparent
};

// The encoder options of the format options window.
enum class TFormatOption {
    Quality,      // out_quality: the quality of lossy (JPEG) data
    Progressive,  // progressivaktiv: progressive JPEG data
    Layers,       // psdlayers: the image as a layer too
};

// An option a format offers, and the codec option id that carries it to the writer.
struct TFormatOptionId {
    TFormatOption Option;
    int32_t Id;
};

struct TFormatExtension {
    const char* Extension;  // lower case, without "." ("jpg")
    int ListPlace;          // place in the format list (0 first), or NotListed
};
constexpr int NotListed = -1;

struct TFormatRow {
    const char* Id;                              // stable identifier ("jpeg")
    std::vector<TFormatExtension> Extensions;    // in the order of the writer's masks
    const char* NameKey;                         // key of the format's name in the text catalogue; nullptr when not listed
    TFormatTransparency Transparency;
    std::vector<TFormatOptionId> Options;
    int MemoryBytesPerPixel;                     // peak bytes per pixel from the drawn bitmap to the file in memory
    std::unique_ptr<TImageFileFormat> (*MakeWriter)(TOptionTable& options);
    bool PngFastPath;                            // its writer is the PNG writer, which encodes 32-bit bitmaps directly

    // The writer's masks ("*.jpg", "*.jpeg", ...).
    std::vector<std::string> Masks() const;
    bool Offers(TFormatOption option) const;
};

// Every row in registry order: the order decides which writer takes a name that several masks
// match, and which writer keeps an option id that two of them ask for.
const std::vector<TFormatRow>& FormatRows();

// One entry of the format list: a row and one of its extensions.
struct TFormatListEntry {
    const TFormatRow* Row;
    const char* Extension;
};
// The entries of the format list in list order.
const std::vector<TFormatListEntry>& FormatListEntries();

// The row that owns an extension (lower case ASCII, without "."), or nullptr.
const TFormatRow* FindFormatRowByExtension(const std::string& extension);

// Whether any row offers the option.
bool AnyFormatOffers(TFormatOption option);

// Bytes per pixel of a name without a row of its own.
constexpr int DefaultMemoryBytesPerPixel = 10;

} // namespace imaging
