// SPDX-License-Identifier: MIT
#include "CodecTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

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

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "qp-codec-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern;
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

namespace {

// Runs a program without a shell; true when it ran and exited with 0. Its standard output is
// collected in out, standard error discarded.
bool Run(const std::vector<std::string>& args, std::string& out)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    const pid_t pid = fork();
    if (pid < 0) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        return false;
    }
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        if (FILE* null = std::fopen("/dev/null", "w"))
            dup2(fileno(null), STDERR_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    out.clear();
    char buffer[65536];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Executable(const fs::path& p)
{
    return access(p.c_str(), X_OK) == 0;
}

// Debian's ImageMagick, else whatever `convert` is on the path.
std::string ConvertProgram()
{
    static const std::string program = [] {
        if (Executable("/usr/bin/convert"))
            return std::string("/usr/bin/convert");
        std::string out;
        return Run({"convert", "-version"}, out) ? std::string("convert") : std::string();
    }();
    return program;
}

const char* const PythonProgram = "/usr/bin/python3";

} // namespace

bool HaveImageMagick()
{
    return !ConvertProgram().empty();
}

bool HavePillow()
{
    static const bool have = [] {
        std::string out;
        return Executable(PythonProgram) && Run({PythonProgram, "-c", "import PIL.Image"}, out);
    }();
    return have;
}

bool HavePngcheck()
{
    static const bool have = [] {
        std::string out;
        Run({"pngcheck", "-h"}, out);
        return !out.empty();
    }();
    return have;
}

std::optional<Decoded> DecodeWithImageMagick(const fs::path& file, int channels, int depth)
{
    std::string size;
    if (!Run({ConvertProgram(), file.string() + "[0]", "-format", "%w %h", "info:"}, size))
        return std::nullopt;
    Decoded d;
    if (std::sscanf(size.c_str(), "%d %d", &d.Width, &d.Height) != 2)
        return std::nullopt;
    std::string raw;
    const std::string target = channels == 4 ? "rgba:-" : "rgb:-";
    if (!Run({ConvertProgram(), file.string() + "[0]", "-depth", std::to_string(depth), "-endian", "LSB", target}, raw))
        return std::nullopt;
    d.Channels = channels;
    const size_t count = static_cast<size_t>(d.Width) * d.Height * channels;
    if (raw.size() != count * (depth == 16 ? 2 : 1))
        return std::nullopt;
    d.Samples.resize(count);
    for (size_t i = 0; i < count; ++i)
        d.Samples[i] = depth == 16 ? static_cast<uint16_t>(static_cast<uint8_t>(raw[2 * i]) |
                                                           static_cast<uint8_t>(raw[2 * i + 1]) << 8)
                                   : static_cast<uint8_t>(raw[i]);
    return d;
}

std::optional<Decoded> DecodeWithPillow(const fs::path& file, const std::string& mode)
{
    static const char* const script =
        "import sys\n"
        "from PIL import Image\n"
        "im = Image.open(sys.argv[1])\n"
        "im.load()\n"
        "data = im.convert(sys.argv[2]).tobytes()\n"
        "sys.stdout.buffer.write(b'%d %d %s\\n' % (im.width, im.height, im.mode.encode()))\n"
        "sys.stdout.buffer.write(data)\n";
    std::string out;
    if (!Run({PythonProgram, "-c", script, file.string(), mode}, out))
        return std::nullopt;
    const size_t newline = out.find('\n');
    if (newline == std::string::npos)
        return std::nullopt;
    Decoded d;
    char pillowMode[32] = {};
    if (std::sscanf(out.substr(0, newline).c_str(), "%d %d %31s", &d.Width, &d.Height, pillowMode) != 3)
        return std::nullopt;
    d.Mode = pillowMode;
    d.Channels = static_cast<int>(mode.size());
    const size_t count = static_cast<size_t>(d.Width) * d.Height * d.Channels;
    if (out.size() - newline - 1 != count)
        return std::nullopt;
    d.Samples.resize(count);
    for (size_t i = 0; i < count; ++i)
        d.Samples[i] = static_cast<uint8_t>(out[newline + 1 + i]);
    return d;
}

bool PngcheckPasses(const fs::path& file, std::string& message)
{
    return Run({"pngcheck", "-v", file.string()}, message);
}

bool RunTool(const std::vector<std::string>& args, std::string& out)
{
    return Run(args, out);
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
