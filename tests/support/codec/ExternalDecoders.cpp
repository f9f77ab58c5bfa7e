// SPDX-License-Identifier: MIT
#include "support/codec/ExternalDecoders.h"

#include "support/codec/CodecFixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace codectest {

#ifdef _WIN32
// The Windows build of the tests runs under Wine, where the decoders are Linux programs that a
// Windows program cannot start: there are none, and the checks that need them are skipped. The
// files the Windows programs write are decoded on the Linux side instead.
bool RunTool(const std::vector<std::string>&, std::string& out)
{
    out.clear();
    return false;
}
#else
bool RunTool(const std::vector<std::string>& args, std::string& out)
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
#endif

std::optional<std::string> ToolOutput(const std::vector<std::string>& args)
{
    std::string out;
    if (!RunTool(args, out))
        return std::nullopt;
    return out;
}

bool IsExecutable(const fs::path& p)
{
#ifdef _WIN32
    (void)p;
    return false;
#else
    return access(p.c_str(), X_OK) == 0;
#endif
}


const std::string& ImageMagickProgram()
{
    static const std::string program = [] {
        if (IsExecutable("/usr/bin/convert"))
            return std::string("/usr/bin/convert");
        std::string out;
        return RunTool({"convert", "-version"}, out) ? std::string("convert") : std::string();
    }();
    return program;
}

bool HaveImageMagick()
{
    return !ImageMagickProgram().empty();
}

bool HavePillow()
{
    static const bool have = [] {
        std::string out;
        return IsExecutable(PythonProgram) && RunTool({PythonProgram, "-c", "import PIL.Image"}, out);
    }();
    return have;
}

bool HavePngcheck()
{
    static const bool have = [] {
        std::string out;
        RunTool({"pngcheck", "-h"}, out);
        return !out.empty();
    }();
    return have;
}

std::optional<Decoded> DecodeWithImageMagick(const fs::path& file, int channels, int depth, int scene)
{
    const std::string image = file.string() + "[" + std::to_string(scene) + "]";
    std::string size;
    if (!RunTool({ImageMagickProgram(), image, "-format", "%w %h", "info:"}, size))
        return std::nullopt;
    Decoded d;
    if (std::sscanf(size.c_str(), "%d %d", &d.Width, &d.Height) != 2)
        return std::nullopt;
    std::string raw;
    const std::string target = channels == 4 ? "rgba:-" : "rgb:-";
    if (!RunTool({ImageMagickProgram(), image, "-depth", std::to_string(depth), "-endian", "LSB", target}, raw))
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
    if (!RunTool({PythonProgram, "-c", script, file.string(), mode}, out))
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
    return RunTool({"pngcheck", "-v", file.string()}, message);
}

void ExpectDecodersReadBack(const fs::path& file, int width, int height, int channels,
                            const std::vector<uint16_t>& expected, bool pillow, const SampleFilter& significant)
{
    const auto check = [&](const std::optional<Decoded>& decoded, const char* decoder) {
        ASSERT_TRUE(decoded) << decoder << " could not read the file";
        EXPECT_EQ(decoded->Width, width) << decoder;
        EXPECT_EQ(decoded->Height, height) << decoder;
        EXPECT_EQ(Compare(significant ? significant(decoded->Samples) : decoded->Samples, expected).Max, 0)
            << decoder;
    };
    if (HaveImageMagick())
        check(DecodeWithImageMagick(file, channels), "ImageMagick");
    if (pillow && HavePillow())
        check(DecodeWithPillow(file, channels == 4 ? "RGBA" : "RGB"), "Pillow");
}

} // namespace codectest
