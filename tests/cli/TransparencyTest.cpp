// SPDX-License-Identifier: MIT
// Images without a background: every format that keeps transparency stores the text colour with
// the glyphs' coverage as alpha, read back by independent decoders; GIF makes the background its
// one transparent colour; formats without transparency say so once and write the opaque image.
#include "support/CliFixture.h"
#include "support/codec/ExternalDecoders.h"

#include <QFile>

namespace {

using namespace qp::testing;
using codectest::Decoded;

constexpr uint16_t TextR = 0xC0, TextG = 0x30, TextB = 0x20;

class TransparencyTest : public CliFixture {
protected:
    // Writes "Hello Ŷg" as `name`.`format` and gives its path; `colours` are text and background.
    QString write(const QString& format, const QString& name, const QStringList& extra,
                  const QStringList& colours = {"#C03020", "#FFFF00"}, CliRun* run = nullptr)
    {
        QStringList args{"--no-start-config", "-q",  "--set", "label2=DejaVu Sans", "--set", "FSize=30",
                         "--set", "cb_antialias=1", "--set", "act_text_fontcolor=" + colours[0],
                         "--set", "act_text_hintergrund=" + colours[1], "-f", format, "--name", name};
        args << extra << "--" << QStringLiteral("Hello Ŷg");
        const CliRun r = cli(args);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        if (run)
            *run = r;
        return output(name + "." + format);
    }

    // The coverage of every pixel: the opaque image of white text on black, its red channel.
    std::vector<uint16_t> coverage()
    {
        const auto opaque = codectest::DecodeWithImageMagick(
            write("png", "coverage", {}, {"#FFFFFF", "#000000"}).toStdString(), 3);
        EXPECT_TRUE(opaque);
        std::vector<uint16_t> c;
        for (size_t i = 0; opaque && i < opaque->Samples.size(); i += 3)
            c.push_back(opaque->Samples[i]);
        return c;
    }
};

TEST_F(TransparencyTest, AlphaIsTheCoverageAndTheColourIsTheTextColour)
{
    if (!codectest::HaveImageMagick())
        GTEST_SKIP() << "ImageMagick missing";
    const std::vector<uint16_t> cover = coverage();
    ASSERT_FALSE(cover.empty());
    ASSERT_TRUE(std::count_if(cover.begin(), cover.end(), [](uint16_t c) { return c > 0 && c < 255; }) > 100);
    struct Case {
        const char* format;
        int colourTolerance;   // the colour of JNG goes through JPEG
        bool pillowToo;        // Pillow reads the alpha of this format as written
    };
    // PSD is read by Pillow alone: ImageMagick takes the alpha channel of a file without layers for a
    // saved selection, not for transparency.
    const Case cases[] = {{"png", 0, true}, {"tif", 0, true}, {"psd", 0, true}, {"tga", 0, true},
                          {"dds", 0, true}, {"pam", 0, false}, {"ico", 0, false}, {"cur", 0, false},
                          {"mng", 0, false}, {"jng", 1, false}, {"jp2", 0, true}, {"j2k", 0, true}};
    for (const Case& c : cases) {
        const std::string path = write(c.format, QStringLiteral("t_") + c.format, {"--set", "cb_transparent=1"}).toStdString();
        std::vector<std::optional<Decoded>> decoded;
        if (std::string(c.format) != "psd")
            decoded.push_back(codectest::DecodeWithImageMagick(path, 4));
        if (c.pillowToo && codectest::HavePillow())
            decoded.push_back(codectest::DecodeWithPillow(path, "RGBA"));
        for (const auto& d : decoded) {
            ASSERT_TRUE(d) << c.format;
            ASSERT_EQ(d->Samples.size(), 4 * cover.size()) << c.format;
            int wrongAlpha = 0, wrongColour = 0;
            for (size_t i = 0; i < cover.size(); ++i) {
                const uint16_t* p = &d->Samples[4 * i];
                wrongAlpha += p[3] != cover[i];
                wrongColour += p[3] != 0 && (std::abs(p[0] - TextR) > c.colourTolerance || std::abs(p[1] - TextG) > c.colourTolerance
                                             || std::abs(p[2] - TextB) > c.colourTolerance);
            }
            EXPECT_EQ(wrongAlpha, 0) << c.format << (d->Mode.empty() ? " ImageMagick" : " Pillow");
            EXPECT_EQ(wrongColour, 0) << c.format << (d->Mode.empty() ? " ImageMagick" : " Pillow");
        }
    }
}

TEST_F(TransparencyTest, GifMakesTheUntouchedBackgroundTransparent)
{
    if (!codectest::HaveImageMagick())
        GTEST_SKIP() << "ImageMagick missing";
    const std::vector<uint16_t> cover = coverage();
    const auto gif = codectest::DecodeWithImageMagick(write("gif", "t", {"--set", "cb_transparent=1"}).toStdString(), 4);
    const auto opaque = codectest::DecodeWithImageMagick(write("gif", "o", {}).toStdString(), 4);
    ASSERT_TRUE(gif && opaque);
    ASSERT_EQ(gif->Samples.size(), 4 * cover.size());
    int wrong = 0;
    for (size_t i = 0; i < cover.size(); ++i) {
        const uint16_t* t = &gif->Samples[4 * i];
        const uint16_t* o = &opaque->Samples[4 * i];
        // Untouched: transparent. Touched: opaque, as the image with its background shows it.
        wrong += cover[i] == 0 ? t[3] != 0 : (t[3] != 255 || t[0] != o[0] || t[1] != o[1] || t[2] != o[2]);
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(TransparencyTest, FormatsWithoutTransparencySaySoOnceAndWriteTheBackground)
{
    for (const char* format : {"jpg", "bmp", "ppm"}) {
        CliRun run;
        const QStringList perLine{"--per-line", "--set", "cb_transparent=1"};
        QStringList args{"--no-start-config", "-q", "--set", "cb_transparent=1", "-f", format, "--per-line",
                         "--", "one\ntwo\nthree"};
        run = cli(args);
        EXPECT_EQ(run.status, 0) << format;
        EXPECT_EQ(run.err.count("cannot store transparency: the background colour is used."), 1)
            << format << run.err.toStdString();
        // The same bytes as without the option.
        QFile with(output(QStringLiteral("two.") + format));
        ASSERT_TRUE(with.open(QIODevice::ReadOnly));
        const QByteArray withBytes = with.readAll();
        args.removeAt(3);
        args.removeAt(2);
        QDir(output()).removeRecursively();
        run = cli(args);
        EXPECT_FALSE(run.err.contains("transparency"));
        QFile without(output(QStringLiteral("two.") + format));
        ASSERT_TRUE(without.open(QIODevice::ReadOnly));
        EXPECT_EQ(withBytes, without.readAll()) << format;
    }
    // In German, with the format's German name.
    const CliRun german = cli({"--no-start-config", "-q", "--language", "de", "--set", "cb_transparent=1", "-f", "jpg",
                               "--", "eins"});
    EXPECT_TRUE(german.err.contains(
        "JPEG kann keine Transparenz speichern: Die Hintergrundfarbe wird verwendet."))
        << german.err.toStdString();
}

} // namespace
