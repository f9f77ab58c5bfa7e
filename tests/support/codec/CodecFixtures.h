// SPDX-License-Identifier: MIT
#pragma once
// Fixtures of the image tests, without Qt: test images, a temporary folder, file access, reading
// numbers out of written bytes and comparing samples.
#include "codec/ImageData.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace codectest {

// An R8G8B8 record whose pixels are a colour gradient (pattern 0) or pseudo-random (pattern > 0,
// the seed).
imaging::TImageData MakeRgbImage(int width, int height, unsigned pattern = 0);
// The record's R8G8B8 pixels in the order red, green, blue.
std::vector<uint8_t> RgbBytes(const imaging::TImageData& image);
// The samples of an R8G8B8 or A8R8G8B8 record in the order red, green, blue (and alpha), as
// decoders give them.
std::vector<uint16_t> ColourSamples(const imaging::TImageData& image);

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

// Mean and largest absolute difference between equal-length sample lists.
struct Difference {
    double Mean = 0;
    int Max = 0;
};
Difference Compare(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b);
std::vector<uint16_t> Widen(const std::vector<uint8_t>& bytes);

} // namespace codectest
