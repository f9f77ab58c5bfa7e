// SPDX-License-Identifier: MIT
#include "codec/formats/jpeg2000/Jpeg2000FileFormat.h"

#include "codec/CodecOptions.h"
#include "codec/ImagingError.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include <openjpeg.h>

namespace imaging {

namespace {

constexpr int ResolutionLevels = 6;

struct CodecDeleter {
    void operator()(opj_codec_t* codec) const { opj_destroy_codec(codec); }
};
struct ImageDeleter {
    void operator()(opj_image_t* image) const { opj_image_destroy(image); }
};
struct StreamDeleter {
    void operator()(opj_stream_t* stream) const { opj_stream_destroy(stream); }
};

// Where OpenJPEG's output goes: the output stream from `base` on, with OpenJPEG's position in it.
// The callbacks run inside C code and never throw.
struct TOutput {
    std::vector<uint8_t>* bytes = nullptr;
    size_t base = 0;
    uint64_t position = 0;
};

OPJ_SIZE_T WriteFn(void* buffer, OPJ_SIZE_T count, void* userData)
{
    auto* out = static_cast<TOutput*>(userData);
    const uint64_t end = out->position + count;
    try {
        if (out->base + end > out->bytes->size())
            out->bytes->resize(out->base + end);
    } catch (...) {
        return static_cast<OPJ_SIZE_T>(-1);
    }
    std::memcpy(out->bytes->data() + out->base + out->position, buffer, count);
    out->position = end;
    return count;
}

OPJ_OFF_T SkipFn(OPJ_OFF_T count, void* userData)
{
    auto* out = static_cast<TOutput*>(userData);
    if (count < 0 && static_cast<uint64_t>(-count) > out->position)
        return -1;
    out->position = static_cast<uint64_t>(static_cast<int64_t>(out->position) + count);
    return count;
}

OPJ_BOOL SeekFn(OPJ_OFF_T offset, void* userData)
{
    if (offset < 0)
        return OPJ_FALSE;
    static_cast<TOutput*>(userData)->position = static_cast<uint64_t>(offset);
    return OPJ_TRUE;
}

// OpenJPEG's error messages, kept for the exception; warnings and information are dropped.
void ErrorCallback(const char* message, void* clientData)
{
    auto* errors = static_cast<std::string*>(clientData);
    try {
        std::string text(message ? message : "");
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        *errors += (errors->empty() ? "" : "; ") + text;
    } catch (...) {
    }
}

void QuietCallback(const char*, void*) {}

void Check(bool ok, const std::string& errors, const char* what)
{
    if (!ok)
        throw EImagingError("JPEG 2000 compression failed: " + (errors.empty() ? std::string(what) : errors));
}

// Resolution levels for an image: six, or fewer when a side is too short for them. Each level
// halves the image, and OpenJPEG refuses more levels than the shorter side allows (every level
// must keep at least one sample), so a 1x1 image is encoded with a single level and a 20x20 one
// with five.
int ResolutionsFor(int32_t width, int32_t height)
{
    const uint32_t shorter = static_cast<uint32_t>(std::min(width, height));
    int levels = ResolutionLevels;
    while (levels > 1 && (shorter >> (levels - 1)) == 0)
        --levels;
    return levels;
}

} // namespace

float Jpeg2000Rate(int32_t width, int32_t height, int bytesPerPixel, int channels, int quality)
{
    const float raw = static_cast<float>(width) * static_cast<float>(height) * static_cast<float>(bytesPerPixel);
    const float distance = 115.0f - static_cast<float>(quality);
    // At quality 115 the division gives infinity and the rate 0, which asks for lossless coding.
    const float target = raw * 100.0f / (distance * distance) + 550.0f + 142.0f * static_cast<float>(channels - 1);
    return raw / target;
}

TJpeg2000FileFormat::TJpeg2000FileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "JPEG 2000 Image";
    m_canSave = true;
    m_supportedFormats = {ifGray8, ifA8Gray8, ifGray16, ifA16Gray16, ifR8G8B8, ifA8R8G8B8, ifR16G16B16, ifA16R16G16B16};
    options.RegisterOption(ImagingJpeg2000Quality, &m_quality);
    options.RegisterOption(ImagingJpeg2000CodeStreamOnly, &m_codeStreamOnly);
    options.RegisterOption(ImagingJpeg2000LosslessCompression, &m_losslessCompression);
}

void TJpeg2000FileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    TImageFormat target;
    if (info.IsFloatingPoint)
        target = info.ChannelCount == 1 ? ifGray16 : ifA16R16G16B16;
    else if (info.HasGrayChannel)
        target = info.HasAlphaChannel ? ifA16Gray16 : ifGray16;
    else if (info.IsIndexed)
        target = ifA8R8G8B8;
    else if (info.BytesPerPixel / info.ChannelCount == 1)
        target = info.HasAlphaChannel ? ifA8R8G8B8 : ifR8G8B8;
    else
        target = info.HasAlphaChannel ? ifA16R16G16B16 : ifR16G16B16;
    ConvertImageData(image, target);
}

void TJpeg2000FileFormat::WriteImages(TMemoryStream& stream, const TDynImageDataArray& images)
{
    TImageData copy;
    const TImageData& image = MakeWritable(images[static_cast<size_t>(m_firstIdx)], copy);
    const TImageFormatInfo& info = *GetFormatInfo(image.Format);
    const int channels = info.ChannelCount;
    const size_t sampleBytes = static_cast<size_t>(info.BytesPerPixel / channels);
    const bool gray = info.HasGrayChannel;

    // The record's channels in component order: red, green, blue (alpha last), or gray (alpha last).
    static constexpr int ColourOrder[] = {2, 1, 0, 3};
    static constexpr int GrayOrder[] = {0, 1};
    const int* order = gray ? GrayOrder : ColourOrder;

    opj_image_cmptparm_t parameters[4];
    std::memset(parameters, 0, sizeof parameters);
    for (int c = 0; c < channels; ++c) {
        parameters[c].dx = 1;
        parameters[c].dy = 1;
        parameters[c].w = static_cast<OPJ_UINT32>(image.Width);
        parameters[c].h = static_cast<OPJ_UINT32>(image.Height);
        parameters[c].prec = static_cast<OPJ_UINT32>(sampleBytes * 8);
        parameters[c].sgnd = 0;
    }
    std::unique_ptr<opj_image_t, ImageDeleter> j2kImage(
        opj_image_create(static_cast<OPJ_UINT32>(channels), parameters, gray ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB));
    if (!j2kImage)
        throw EImagingError("JPEG 2000 compression failed: out of memory.");
    j2kImage->x0 = 0;
    j2kImage->y0 = 0;
    j2kImage->x1 = static_cast<OPJ_UINT32>(image.Width);
    j2kImage->y1 = static_cast<OPJ_UINT32>(image.Height);

    const size_t pixels = static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height);
    const size_t pixelBytes = static_cast<size_t>(info.BytesPerPixel);
    for (int c = 0; c < channels; ++c) {
        opj_image_comp_t& component = j2kImage->comps[c];
        component.alpha = info.HasAlphaChannel && c == channels - 1 ? 1 : 0;
        const uint8_t* s = image.Bits.data() + static_cast<size_t>(order[c]) * sampleBytes;
        OPJ_INT32* d = component.data;
        if (sampleBytes == 1) {
            for (size_t i = 0; i < pixels; ++i, s += pixelBytes)
                d[i] = s[0];
        } else {
            for (size_t i = 0; i < pixels; ++i, s += pixelBytes)
                d[i] = s[0] | s[1] << 8;   // 16-bit samples are stored little-endian
        }
    }

    opj_cparameters_t encoder;
    opj_set_default_encoder_parameters(&encoder);
    encoder.cp_disto_alloc = 1;
    encoder.tcp_numlayers = 1;
    encoder.numresolution = ResolutionsFor(image.Width, image.Height);
    // The library's default wavelet (the reversible 5/3 one) for lossy and lossless files alike;
    // a lossy file differs only by the rate of its layer.
    encoder.tcp_rates[0] = m_losslessCompression
                               ? 0.0f
                               : Jpeg2000Rate(image.Width, image.Height, info.BytesPerPixel, channels, m_quality);

    std::string errors;
    std::unique_ptr<opj_codec_t, CodecDeleter> codec(
        opj_create_compress(m_codeStreamOnly ? OPJ_CODEC_J2K : OPJ_CODEC_JP2));
    if (!codec)
        throw EImagingError("JPEG 2000 compression failed: the encoder could not be created.");
    opj_set_error_handler(codec.get(), ErrorCallback, &errors);
    opj_set_warning_handler(codec.get(), QuietCallback, nullptr);
    opj_set_info_handler(codec.get(), QuietCallback, nullptr);
    Check(opj_setup_encoder(codec.get(), &encoder, j2kImage.get()), errors, "the encoder parameters were refused");

    TOutput output;
    output.bytes = &stream.Bytes();
    output.base = stream.Position();
    std::unique_ptr<opj_stream_t, StreamDeleter> j2kStream(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_FALSE));
    if (!j2kStream)
        throw EImagingError("JPEG 2000 compression failed: out of memory.");
    opj_stream_set_user_data(j2kStream.get(), &output, nullptr);
    opj_stream_set_write_function(j2kStream.get(), WriteFn);
    opj_stream_set_skip_function(j2kStream.get(), SkipFn);
    opj_stream_set_seek_function(j2kStream.get(), SeekFn);

    Check(opj_start_compress(codec.get(), j2kImage.get(), j2kStream.get()), errors, "the encoding could not start");
    Check(opj_encode(codec.get(), j2kStream.get()), errors, "the encoding failed");
    Check(opj_end_compress(codec.get(), j2kStream.get()), errors, "the encoding could not be finished");
}

} // namespace imaging
