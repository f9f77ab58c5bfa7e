// SPDX-License-Identifier: MIT
#pragma once
// Helpers of the codec tests: test images, a temporary folder, file access and the independent
// decoders (ImageMagick, Pillow, pngcheck) that round trips are checked with.
#include "codec/ImageData.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace codectest {

// An R8G8B8 record whose pixels are a colour gradient (pattern 0) or pseudo-random (pattern > 0,
// the seed).
imaging::TImageData MakeRgbImage(int width, int height, unsigned pattern = 0);
// The record's R8G8B8 pixels in the order red, green, blue.
std::vector<uint8_t> RgbBytes(const imaging::TImageData& image);

// A folder of its own below the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::filesystem::path File(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

std::vector<uint8_t> ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

uint32_t BE32(const std::vector<uint8_t>& b, size_t pos);
uint32_t LE32(const std::vector<uint8_t>& b, size_t pos);
uint16_t LE16(const std::vector<uint8_t>& b, size_t pos);

// A decoded picture: samples interleaved, Channels per pixel.
struct Decoded {
    int Width = 0;
    int Height = 0;
    int Channels = 0;
    std::string Mode;            // Pillow's mode name (empty for ImageMagick)
    std::vector<uint16_t> Samples;
};

// Which decoders are there. Debian's interpreter is used for Pillow, since another python3 on
// the path may lack it.
bool HaveImageMagick();
bool HavePillow();
bool HavePngcheck();

// ImageMagick: every pixel as red, green, blue (channels 3) or with alpha (4), at 8 or 16 bits.
std::optional<Decoded> DecodeWithImageMagick(const std::filesystem::path& file, int channels, int depth = 8);
// Pillow: converted to mode "RGB" or "RGBA"; Mode tells the mode the file opened in.
std::optional<Decoded> DecodeWithPillow(const std::filesystem::path& file, const std::string& mode = "RGB");
// pngcheck's verdict; its output goes to message.
bool PngcheckPasses(const std::filesystem::path& file, std::string& message);

// Runs a program (found on the path) without a shell; true when it exited with 0. Its standard
// output goes to out, its standard error is discarded.
bool RunTool(const std::vector<std::string>& args, std::string& out);

// Mean and largest absolute difference between equal-length sample lists.
struct Difference {
    double Mean = 0;
    int Max = 0;
};
Difference Compare(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b);
std::vector<uint16_t> Widen(const std::vector<uint8_t>& bytes);

} // namespace codectest
