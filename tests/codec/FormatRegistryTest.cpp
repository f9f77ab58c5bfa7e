// SPDX-License-Identifier: MIT
// The writer registry: order, names and masks, choice of writer by file name, the format rows it
// is made from, and the writers that are registered but not built yet.
#include "support/codec/CodecFixtures.h"

#include "codec/FormatRegistry.h"
#include "codec/formats/png/NetworkGraphicsFileFormat.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace imaging;

namespace {

struct WriterRow {
    const char* name;
    std::vector<std::string> masks;
    bool canSave;
};

const WriterRow Writers[] = {
    {"X Window Pixmap", {"*.xpm"}, false},
    {"ZSoft Paintbrush Image", {"*.pcx"}, false},
    {"Photoshop Image", {"*.psd", "*.pdd"}, true},
    {"Tagged Image File Format", {"*.tif", "*.tiff"}, true},
    {"JPEG 2000 Image", {"*.jp2", "*.j2k", "*.j2c", "*.jpx", "*.jpc"}, true},
    {"Portable Bit Map", {"*.pbm"}, false},
    {"Portable Gray Map", {"*.pgm"}, true},
    {"Portable Pixel Map", {"*.ppm"}, true},
    {"Portable Arbitrary Map", {"*.pam"}, true},
    {"Portable Float Map", {"*.pfm"}, true},
    {"Truevision Targa Image", {"*.tga"}, true},
    {"DirectDraw Surface", {"*.dds"}, true},
    {"Graphics Interchange Format", {"*.gif"}, true},
    {"Joint Photographic Experts Group Image", {"*.jpg", "*.jpeg", "*.jfif", "*.jpe", "*.jif"}, true},
    {"Portable Network Graphics", {"*.png"}, true},
    {"Multiple Network Graphics", {"*.mng"}, true},
    {"JPEG Network Graphics", {"*.jng"}, true},
    {"Windows Bitmap Image", {"*.bmp", "*.dib"}, true},
    {"Windows Icon", {"*.ico"}, true},
    {"Windows Cursor", {"*.cur"}, true},
};

} // namespace

TEST(FormatRegistry, HoldsEveryWriterInRegistryOrder)
{
    TImaging codec;
    const auto& writers = codec.Registry.Writers();
    ASSERT_EQ(writers.size(), std::size(Writers));
    for (size_t i = 0; i < writers.size(); ++i) {
        SCOPED_TRACE(Writers[i].name);
        EXPECT_EQ(writers[i]->Name(), Writers[i].name);
        EXPECT_EQ(writers[i]->Masks(), Writers[i].masks);
        EXPECT_EQ(writers[i]->CanSave(), Writers[i].canSave);
        EXPECT_FALSE(writers[i]->CanLoad());
    }
}

TEST(FormatRegistry, FindsTheWriterByTheNamePartOfAPath)
{
    TImaging codec;
    const struct {
        const char* fileName;
        const char* writer;   // nullptr: none
    } cases[] = {
        {"hello_world.jpg", "Joint Photographic Experts Group Image"},
        {"HELLO.JPG", "Joint Photographic Experts Group Image"},
        {"a.Jpg", "Joint Photographic Experts Group Image"},
        {"a.JPEG", "Joint Photographic Experts Group Image"},
        {"a.jfif", "Joint Photographic Experts Group Image"},
        {"a.jpe", "Joint Photographic Experts Group Image"},
        {"a.jif", "Joint Photographic Experts Group Image"},
        {"/tmp/out/a.png", "Portable Network Graphics"},
        {"C:\\Bilder\\a.Png", "Portable Network Graphics"},
        {"c:a.bmp", "Windows Bitmap Image"},
        {"a.dib", "Windows Bitmap Image"},
        {"a.tiff", "Tagged Image File Format"},
        {"a.j2k", "JPEG 2000 Image"},
        {"a.pdd", "Photoshop Image"},
        {"a.gif", "Graphics Interchange Format"},
        {"a.mng", "Multiple Network Graphics"},
        {"a.jng", "JPEG Network Graphics"},
        {"a.pfm", "Portable Float Map"},
        {"bild.tar.png", "Portable Network Graphics"},
        {"a.xyz", nullptr},
        {"noextension", nullptr},
        {"", nullptr},
        {"dir.png/file", nullptr},      // the folder's extension does not count
        {"dir.jpg\\file", nullptr},
        {"a.png.txt", nullptr},
        {"a.jpg ", nullptr},            // the whole name must match
        {".png", "Portable Network Graphics"},
        {"a.ICO", "Windows Icon"},
        {"a.Cur", "Windows Cursor"},
    };
    for (const auto& c : cases) {
        const TImageFileFormat* writer = codec.Registry.FindWriterForFileName(c.fileName);
        if (c.writer)
            EXPECT_TRUE(writer && writer->Name() == c.writer) << "'" << c.fileName << "'";
        else
            EXPECT_EQ(writer, nullptr) << "'" << c.fileName << "' gave " << writer->Name();
    }
    // The process-wide registry answers the same.
    ASSERT_NE(FindWriterForFileName("x.PNG"), nullptr);
    EXPECT_EQ(FindWriterForFileName("x.PNG")->Name(), "Portable Network Graphics");
}

TEST(FormatRegistry, RowsGiveEachListPlaceOnceAndTheirWriterItsColumns)
{
    TImaging codec;
    const auto& rows = FormatRows();
    const auto& writers = codec.Registry.Writers();
    ASSERT_EQ(writers.size(), rows.size());
    std::vector<int> places;
    for (size_t i = 0; i < rows.size(); ++i) {
        const TFormatRow& row = rows[i];
        SCOPED_TRACE(row.Id);
        EXPECT_EQ(writers[i]->Masks(), row.Masks());
        // The fast path is the PNG writer's.
        EXPECT_EQ(row.PngFastPath, dynamic_cast<TPNGFileFormat*>(writers[i].get()) != nullptr);
        bool listed = false;
        for (const TFormatExtension& e : row.Extensions) {
            // The row is found by each extension and each name the extension ends.
            EXPECT_EQ(FindFormatRowByExtension(e.Extension), &row);
            EXPECT_EQ(codec.Registry.FindRowForFileName(std::string("a.") + e.Extension), &row);
            if (e.ListPlace != NotListed) {
                places.push_back(e.ListPlace);
                listed = true;
            }
        }
        // A listed format has a name in the text catalogue.
        EXPECT_EQ(listed, row.NameKey != nullptr);
    }
    // Places 0, 1, ... without a gap or a place taken twice.
    std::sort(places.begin(), places.end());
    for (size_t i = 0; i < places.size(); ++i)
        EXPECT_EQ(places[i], static_cast<int>(i));
    ASSERT_EQ(FormatListEntries().size(), places.size());
    EXPECT_STREQ(FormatListEntries().front().Extension, "jpg");
    EXPECT_EQ(codec.Registry.FindRowForFileName("a.xyz"), nullptr);
}

TEST(FormatRegistry, MasksMatchWholeNamesWithWildcardsIgnoringCase)
{
    const struct {
        const char* name;
        const char* mask;
        bool match;
    } cases[] = {
        {"abc", "a?c", true},        {"ac", "a?c", false},        {"abbc", "a?c", false},
        {"", "*", true},             {"", "?", false},            {"x", "", false},
        {"x.jpg", "*.JPG", true},    {"X.JPG", "*.jpg", true},    {"a.b.c", "*.c", true},
        {"abc", "*b", false},        {"abcb", "*b", true},        {"aXbXc", "a*b*c", true},
        {"aXbXd", "a*b*c", false},   {"a*c", "a*c", true},        {"abc", "**c", true},
        {"\xC3\xA4x.png", "?x.png", true},   // one character, two bytes
        {"\xC3\x84X.PNG", "*.png", true},
        {"\xFF.png", "?.png", true},          // a byte that is no character still counts as one
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchFileNameMask(c.name, c.mask), c.match) << "'" << c.name << "' ~ '" << c.mask << "'";
}

TEST(FormatRegistry, WritersNotBuiltYetRefuseToSave)
{
    TImaging codec;
    const TDynImageDataArray images{codectest::MakeRgbImage(4, 3)};
    codectest::TempDir dir;
    for (const auto& writer : codec.Registry.Writers()) {
        if (writer->CanSave())
            continue;
        SCOPED_TRACE(writer->Name());
        std::vector<uint8_t> out{1, 2, 3};
        EXPECT_FALSE(writer->WriteImageToMemory(images, out));
        EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3}));
        const auto file = dir.File("refused" + writer->Masks().front().substr(1));
        EXPECT_FALSE(writer->WriteImageFile(file.string(), images));
        EXPECT_FALSE(std::filesystem::exists(file));
    }
}
