// SPDX-License-Identifier: MIT
#include "core/i18n/FormatNames.h"
#include "core/settings/SettingsModel.h"

#include <gtest/gtest.h>

using namespace qp;

// The entries are stored in configuration files as they are: the list made from the format rows
// keeps every byte and the order.
TEST(FormatNames, TheGermanListMadeFromTheRowsIsTheStoredOne)
{
    const QStringList stored = {
        "*.jpg - JPEG-Bild",
        "*.png - Portable Network Graphics",
        "*.gif - Graphics Interchange Format",
        "*.bmp - Windows Bitmap",
        "*.dib - Windows Bitmap",
        "*.ico - Windows Icon",
        "*.cur - Windows Cursor",
        "*.psd - Photoshop Bild",
        "*.pdd - Photoshop Bild",
        "*.tif - Tagged Image File Format",
        "*.tiff - Tagged Image File Format",
        "*.jpeg - JPEG-Bild",
        "*.jfif - JPEG-Bild",
        "*.jpe - JPEG-Bild",
        "*.jif - JPEG-Bild",
        "*.mng - Multiple Network Graphics",
        QString::fromUtf8("*.jng - JPEG Network Graphics\u00B4"),
        "*.pgm - Portable Gray Map",
        "*.ppm - Portable Pixel Map",
        "*.pam - Portable Arbitrary Map",
        "*.pfm - Portable Float Map",
        "*.jp2 - JPEG 2000",
        "*.j2k - JPEG 2000",
        "*.j2c - JPEG 2000",
        "*.jpx - JPEG 2000",
        "*.jpc - JPEG 2000",
        "*.dds - DirectDraw Surface",
        "*.tga - Truevision Targa Bild",
    };
    EXPECT_EQ(SettingsModel::outputFormats(), stored);
}

TEST(FormatNames, EveryEntryGoesToEnglishAndBackExactly)
{
    const QStringList german = SettingsModel::outputFormats();
    ASSERT_EQ(german.size(), 28);
    const QStringList english = outputFormatsForLanguage("en");
    ASSERT_EQ(english.size(), german.size());
    for (qsizetype i = 0; i < german.size(); ++i) {
        // English reads "Image" for every "Bild" and nothing else changes.
        EXPECT_EQ(english[i], QString(german[i]).replace("Bild", "Image")) << german[i].toStdString();
        EXPECT_EQ(formatNameForLanguage(english[i], "de"), german[i]) << english[i].toStdString();
        EXPECT_EQ(formatNameForLanguage(german[i], "de"), german[i]);
        EXPECT_EQ(formatNameForLanguage(english[i], "en"), english[i]);
        // The extension part selects the format and survives both ways.
        EXPECT_EQ(english[i].section(" - ", 0, 0), german[i].section(" - ", 0, 0));
    }
    EXPECT_EQ(outputFormatsForLanguage("de"), german);
}

TEST(FormatNames, SingleTextsInBothDirections)
{
    struct Case {
        QString text;
        QString german;
        QString english;
    };
    const Case cases[] = {
        {"*.jpg - JPEG-Bild", "*.jpg - JPEG-Bild", "*.jpg - JPEG-Image"},
        {"*.jpg - JPEG-Image", "*.jpg - JPEG-Bild", "*.jpg - JPEG-Image"},
        // "Image" that belongs to the German name stays.
        {"*.tif - Tagged Image File Format", "*.tif - Tagged Image File Format", "*.tif - Tagged Image File Format"},
        {"*.tga - Truevision Targa Image", "*.tga - Truevision Targa Bild", "*.tga - Truevision Targa Image"},
        {"*.psd - Photoshop Bild", "*.psd - Photoshop Bild", "*.psd - Photoshop Image"},
        // The extension part is never touched, even where it holds the word.
        {"*.Bild - JPEG-Bild", "*.Bild - JPEG-Bild", "*.Bild - JPEG-Image"},
        {"*.Image - JPEG-Image", "*.Image - JPEG-Bild", "*.Image - JPEG-Image"},
        // A known name after another extension (hand-edited configuration) is still translated.
        {"*.tif - JPEG-Image", "*.tif - JPEG-Bild", "*.tif - JPEG-Image"},
        // Unknown names and texts without a name part are left as they are.
        {"*.jpg - Mein Bild", "*.jpg - Mein Bild", "*.jpg - Mein Bild"},
        {"*.jpg - Tagged Bild File Format", "*.jpg - Tagged Bild File Format", "*.jpg - Tagged Bild File Format"},
        {"*.jpg - jpeg-bild", "*.jpg - jpeg-bild", "*.jpg - jpeg-bild"},
        {"*.jpg", "*.jpg", "*.jpg"},
        {"JPEG-Bild", "JPEG-Bild", "JPEG-Bild"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatNameForLanguage(c.text, "de"), c.german) << c.text.toStdString();
        EXPECT_EQ(formatNameForLanguage(c.text, "en"), c.english) << c.text.toStdString();
    }
    // Any code other than "de" means English.
    EXPECT_EQ(formatNameForLanguage("*.jpg - JPEG-Bild", "fr"), "*.jpg - JPEG-Image");
}
