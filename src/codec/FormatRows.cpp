// SPDX-License-Identifier: MIT
#include "codec/FormatRow.h"

#include "codec/CodecOptions.h"
#include "codec/formats/bmp/BitmapFileFormat.h"
#include "codec/formats/dds/DdsFileFormat.h"
#include "codec/formats/gif/GifFileFormat.h"
#include "codec/formats/ico/IconFileFormat.h"
#include "codec/formats/jpeg/JpegFileFormat.h"
#include "codec/formats/jpeg2000/Jpeg2000FileFormat.h"
#include "codec/formats/pcx/PcxFileFormat.h"
#include "codec/formats/png/NetworkGraphicsFileFormat.h"
#include "codec/formats/portablemap/PortableMapFileFormat.h"
#include "codec/formats/psd/PsdFileFormat.h"
#include "codec/formats/targa/TargaFileFormat.h"
#include "codec/formats/tiff/TiffFileFormat.h"
#include "codec/formats/xpm/XpmFileFormat.h"

#include <algorithm>

namespace imaging {

namespace {

template <class Writer>
std::unique_ptr<TImageFileFormat> Make(TOptionTable& options)
{
    return std::make_unique<Writer>(options);
}

using T = TFormatTransparency;
using O = TFormatOption;
constexpr int Default = DefaultMemoryBytesPerPixel;

} // namespace

const std::vector<TFormatRow>& FormatRows()
{
    // Memory: every format passes through the 32-bit bitmap and a copy of it (8 bytes per pixel)
    // and then encodes a 24-bit record into a file held in memory, which in the worst case is as
    // large as the pixels; measured on 3000 x 3000 images and rounded up with room for images that
    // compress badly.
    static const std::vector<TFormatRow> rows = {
        {"xpm", {{"xpm", NotListed}}, nullptr, T::None, {}, Default, Make<TXPMFileFormat>, false},
        {"pcx", {{"pcx", NotListed}}, nullptr, T::None, {}, Default, Make<TPCXFileFormat>, false},
        // The layer and the merged image: the pixels twice in the file.
        {"psd", {{"psd", 7}, {"pdd", 8}}, "psd", T::Alpha, {{O::Layers, ImagingPSDSaveAsLayer}}, 12,
         Make<TPSDFileFormat>, false},
        {"tiff", {{"tif", 9}, {"tiff", 10}}, "tiff", T::Alpha, {}, Default, Make<TTiffFileFormat>, false},
        // One 32-bit sample per channel and the code blocks.
        {"jpeg2000", {{"jp2", 21}, {"j2k", 22}, {"j2c", 23}, {"jpx", 24}, {"jpc", 25}}, "jpeg2000", T::Alpha, {}, 24,
         Make<TJpeg2000FileFormat>, false},
        {"pbm", {{"pbm", NotListed}}, nullptr, T::None, {}, Default, Make<TPBMFileFormat>, false},
        {"pgm", {{"pgm", 17}}, "pgm", T::None, {}, Default, Make<TPGMFileFormat>, false},
        {"ppm", {{"ppm", 18}}, "ppm", T::None, {}, Default, Make<TPPMFileFormat>, false},
        {"pam", {{"pam", 19}}, "pam", T::Alpha, {}, Default, Make<TPAMFileFormat>, false},
        // Four 32-bit floats per pixel, and three of them in the file.
        {"pfm", {{"pfm", 20}}, "pfm", T::None, {}, 50, Make<TPFMFileFormat>, false},
        {"targa", {{"tga", 27}}, "targa", T::Alpha, {}, Default, Make<TTargaFileFormat>, false},
        {"dds", {{"dds", 26}}, "dds", T::Alpha, {}, Default, Make<TDDSFileFormat>, false},
        {"gif", {{"gif", 2}}, "gif", T::OneColour, {}, Default, Make<TGIFFileFormat>, false},
        {"jpeg", {{"jpg", 0}, {"jpeg", 11}, {"jfif", 12}, {"jpe", 13}, {"jif", 14}}, "jpeg", T::None,
         {{O::Quality, ImagingJpegQuality}, {O::Progressive, ImagingJpegProgressive}}, Default,
         Make<TJpegFileFormat>, false},
        {"png", {{"png", 1}}, "png", T::Alpha, {}, 10, Make<TPNGFileFormat>, true},
        {"mng", {{"mng", 15}}, "mng", T::Alpha,
         {{O::Quality, ImagingMNGQuality}, {O::Progressive, ImagingMNGProgressive}}, 10, Make<TMNGFileFormat>,
         false},
        {"jng", {{"jng", 16}}, "jng", T::Alpha,
         {{O::Quality, ImagingJNGQuality}, {O::Progressive, ImagingJNGProgressive}}, 10, Make<TJNGFileFormat>,
         false},
        {"bmp", {{"bmp", 3}, {"dib", 4}}, "bmp", T::None, {}, Default, Make<TBitmapFileFormat>, false},
        // Bitmap copies, the alpha image and its PNG stream.
        {"ico", {{"ico", 5}}, "ico", T::Alpha, {}, 30, Make<TIconFileFormat>, false},
        {"cur", {{"cur", 6}}, "cur", T::Alpha, {}, 30, Make<TCursorFileFormat>, false},
    };
    return rows;
}

std::vector<std::string> TFormatRow::Masks() const
{
    std::vector<std::string> masks;
    for (const TFormatExtension& e : Extensions)
        masks.push_back(std::string("*.") + e.Extension);
    return masks;
}

bool TFormatRow::Offers(TFormatOption option) const
{
    return std::any_of(Options.begin(), Options.end(), [&](const TFormatOptionId& o) { return o.Option == option; });
}

const std::vector<TFormatListEntry>& FormatListEntries()
{
    static const std::vector<TFormatListEntry> entries = [] {
        std::vector<std::pair<int, TFormatListEntry>> placed;
        for (const TFormatRow& row : FormatRows())
            for (const TFormatExtension& e : row.Extensions)
                if (e.ListPlace != NotListed)
                    placed.push_back({e.ListPlace, {&row, e.Extension}});
        std::sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<TFormatListEntry> list;
        for (const auto& p : placed)
            list.push_back(p.second);
        return list;
    }();
    return entries;
}

const TFormatRow* FindFormatRowByExtension(const std::string& extension)
{
    for (const TFormatRow& row : FormatRows())
        for (const TFormatExtension& e : row.Extensions)
            if (extension == e.Extension)
                return &row;
    return nullptr;
}

bool AnyFormatOffers(TFormatOption option)
{
    const auto& rows = FormatRows();
    return std::any_of(rows.begin(), rows.end(), [&](const TFormatRow& row) { return row.Offers(option); });
}

} // namespace imaging
