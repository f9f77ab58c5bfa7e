// SPDX-License-Identifier: MIT
#pragma once
// The independent decoders (ImageMagick, Pillow, pngcheck and other command-line tools) that
// written files are checked with, and the one way the tests run an external program. No Qt, so
// that the codec's tests can use it too.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace codectest {

// Runs a program (found on the path) without a shell; true when it exited with 0. Its standard
// output goes to out, its standard error is discarded.
bool RunTool(const std::vector<std::string>& args, std::string& out);
// The standard output of a program that exited with 0; nothing otherwise.
std::optional<std::string> ToolOutput(const std::vector<std::string>& args);

// A decoded picture: samples interleaved, Channels per pixel.
struct Decoded {
    int Width = 0;
    int Height = 0;
    int Channels = 0;
    std::string Mode;            // Pillow's mode name (empty for ImageMagick)
    std::vector<uint16_t> Samples;
};

// Whether a program of the Linux side can be run (never in the Windows build of the tests).
bool IsExecutable(const std::filesystem::path& program);

// Which decoders are there. Debian's interpreter is used for Pillow, since another python3 on
// the path may lack it.
bool HaveImageMagick();
bool HavePillow();
bool HavePngcheck();

// Debian's ImageMagick `convert`, else whatever `convert` is on the path; empty when there is none.
const std::string& ImageMagickProgram();
// Debian's Python interpreter (the one Pillow is installed for).
inline const char* const PythonProgram = "/usr/bin/python3";

// ImageMagick: every pixel of one image of the file (`scene`, the first by default) as red, green,
// blue (channels 3) or with alpha (4), at 8 or 16 bits.
std::optional<Decoded> DecodeWithImageMagick(const std::filesystem::path& file, int channels, int depth = 8,
                                             int scene = 0);
// Pillow: converted to mode "RGB" or "RGBA"; Mode tells the mode the file opened in.
std::optional<Decoded> DecodeWithPillow(const std::filesystem::path& file, const std::string& mode = "RGB");
// pngcheck's verdict; its output goes to message.
bool PngcheckPasses(const std::filesystem::path& file, std::string& message);

// Expects ImageMagick and, with `pillow`, Pillow (those that are installed) to read `file` as a
// picture of the given size whose samples (red, green, blue, and alpha with 4 channels) are
// `expected`. `significant`, when given, is applied to the decoded samples first (to drop bits the
// file does not hold).
using SampleFilter = std::function<std::vector<uint16_t>(std::vector<uint16_t>)>;
void ExpectDecodersReadBack(const std::filesystem::path& file, int width, int height, int channels,
                            const std::vector<uint16_t>& expected, bool pillow = true,
                            const SampleFilter& significant = {});

} // namespace codectest
