// SPDX-License-Identifier: MIT
#include "support/codec/CodecFixtures.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#ifdef _WIN32
#include <random>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace imaging;

namespace codectest {

TImageData MakeRgbImage(int width, int height, unsigned pattern)
{
    TImageData image;
    NewImageData(width, height, ifR8G8B8, image);
    std::mt19937 random(pattern);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = image.Row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            if (pattern == 0) {
                p[0] = static_cast<uint8_t>(width > 1 ? 255 * x / (width - 1) : 128);    // blue
                p[1] = static_cast<uint8_t>(height > 1 ? 255 * y / (height - 1) : 64);  // green
                p[2] = static_cast<uint8_t>(255 - (p[0] + p[1]) / 2);                    // red
            } else {
                const uint32_t r = random();
                p[0] = static_cast<uint8_t>(r);
                p[1] = static_cast<uint8_t>(r >> 8);
                p[2] = static_cast<uint8_t>(r >> 16);
            }
        }
    }
    return image;
}

std::vector<uint8_t> RgbBytes(const TImageData& image)
{
    std::vector<uint8_t> out;
    out.reserve(image.Bits.size());
    for (size_t i = 0; i + 2 < image.Bits.size(); i += 3) {
        out.push_back(image.Bits[i + 2]);
        out.push_back(image.Bits[i + 1]);
        out.push_back(image.Bits[i]);
    }
    return out;
}

std::vector<uint16_t> ColourSamples(const TImageData& image)
{
    const size_t channels = image.Format == ifA8R8G8B8 ? 4 : 3;
    std::vector<uint16_t> out;
    out.reserve(image.Bits.size());
    for (size_t i = 0; i + channels <= image.Bits.size(); i += channels) {
        const uint8_t* p = image.Bits.data() + i;
        out.insert(out.end(), {p[2], p[1], p[0]});
        if (channels == 4)
            out.push_back(p[3]);
    }
    return out;
}

TempDir::TempDir()
{
#ifdef _WIN32
    std::random_device random;
    for (int attempt = 0;; ++attempt) {
        const fs::path candidate = fs::temp_directory_path() / ("qp-codec-" + std::to_string(random()));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            m_path = candidate;
            return;
        }
        if (attempt == 100)
            throw std::runtime_error("cannot create a temporary folder");
    }
#else
    std::string pattern = (fs::temp_directory_path() / "qp-codec-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern;
#endif
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::vector<uint8_t> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

uint32_t BE32(const std::vector<uint8_t>& b, size_t pos)
{
    return uint32_t(b.at(pos)) << 24 | uint32_t(b.at(pos + 1)) << 16 | uint32_t(b.at(pos + 2)) << 8 | b.at(pos + 3);
}

uint32_t LE32(const std::vector<uint8_t>& b, size_t pos)
{
    return uint32_t(b.at(pos)) | uint32_t(b.at(pos + 1)) << 8 | uint32_t(b.at(pos + 2)) << 16 | uint32_t(b.at(pos + 3)) << 24;
}

uint16_t LE16(const std::vector<uint8_t>& b, size_t pos)
{
    return static_cast<uint16_t>(b.at(pos) | b.at(pos + 1) << 8);
}

Difference Compare(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b)
{
    Difference d;
    if (a.size() != b.size() || a.empty()) {
        d.Mean = 1e9;
        d.Max = 1 << 30;
        return d;
    }
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const int diff = std::abs(int(a[i]) - int(b[i]));
        sum += diff;
        d.Max = std::max(d.Max, diff);
    }
    d.Mean = sum / static_cast<double>(a.size());
    return d;
}

std::vector<uint16_t> Widen(const std::vector<uint8_t>& bytes)
{
    return {bytes.begin(), bytes.end()};
}

} // namespace codectest
