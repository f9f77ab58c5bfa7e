// SPDX-License-Identifier: MIT
#include "codec/formats/jpeg/JpegFileFormat.h"

#include "codec/CodecOptions.h"
#include "codec/ImagingError.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace imaging {

namespace {

constexpr size_t OutputBufferSize = 16384;

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back to
// the point set in RunCompressor, which hands the message on as an exception.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// Collects the compressed data in a fixed buffer and appends it to the output stream whenever
// the buffer is full, and once more at the end.
struct Destination {
    jpeg_destination_mgr pub;
    TMemoryStream* out;
    JOCTET buffer[OutputBufferSize];
};

// The compressor and everything libjpeg points into; destroying it releases libjpeg's memory,
// whichever way the encoding ended.
struct Compressor {
    jpeg_compress_struct cinfo;
    ErrorManager error;
    Destination destination;
    bool created = false;

    Compressor()
    {
        std::memset(&cinfo, 0, sizeof cinfo);
        std::memset(&error, 0, sizeof error);
        std::memset(&destination, 0, sizeof destination);
    }
    ~Compressor()
    {
        if (created)
            jpeg_destroy_compress(&cinfo);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    auto* error = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (error->message[0] == '\0')
        (*cinfo->err->format_message)(cinfo, error->message);
    std::longjmp(error->jump, 1);
}

void OutputMessage(j_common_ptr) {}   // warnings are not printed

[[noreturn]] void FailWrite(j_compress_ptr cinfo)
{
    auto* error = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(error->message, sizeof error->message, "%s", "Out of memory while storing JPEG data.");
    cinfo->err->msg_code = JERR_FILE_WRITE;
    (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
    std::abort();   // error_exit does not return
}

bool Append(Destination* d, size_t count)
{
    try {
        d->out->Write(d->buffer, count);
        return true;
    } catch (...) {
        return false;
    }
}

void InitDestination(j_compress_ptr cinfo)
{
    auto* d = reinterpret_cast<Destination*>(cinfo->dest);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = OutputBufferSize;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo)
{
    auto* d = reinterpret_cast<Destination*>(cinfo->dest);
    if (!Append(d, OutputBufferSize))
        FailWrite(cinfo);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = OutputBufferSize;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo)
{
    auto* d = reinterpret_cast<Destination*>(cinfo->dest);
    if (!Append(d, OutputBufferSize - d->pub.free_in_buffer))
        FailWrite(cinfo);
}

// The whole compression. Runs below the jump point of RunCompressor and holds no object with a
// destructor, so a jump back from libjpeg skips nothing that needs cleaning up.
void Compress(Compressor& c, const TImageData& image, int quality, bool progressive, JSAMPLE* row)
{
    c.created = true;   // destroying a compressor that was only partly created is safe
    jpeg_create_compress(&c.cinfo);
    c.destination.pub.init_destination = InitDestination;
    c.destination.pub.empty_output_buffer = EmptyOutputBuffer;
    c.destination.pub.term_destination = TermDestination;
    c.cinfo.dest = &c.destination.pub;

    const bool gray = image.Format == ifGray8;
    c.cinfo.image_width = static_cast<JDIMENSION>(image.Width);
    c.cinfo.image_height = static_cast<JDIMENSION>(image.Height);
    c.cinfo.input_components = gray ? 1 : 3;
#ifdef JCS_EXTENSIONS
    // The record holds blue, green, red, an order libjpeg reads as it is: the rows go to the
    // library straight from the record, several at a time.
    constexpr bool direct = true;
    c.cinfo.in_color_space = gray ? JCS_GRAYSCALE : JCS_EXT_BGR;
#else
    const bool direct = gray;
    c.cinfo.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
#endif
    jpeg_set_defaults(&c.cinfo);
    jpeg_set_quality(&c.cinfo, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&c.cinfo);
    jpeg_start_compress(&c.cinfo, TRUE);

    const size_t width = static_cast<size_t>(image.Width);
    constexpr JDIMENSION batch = 16;
    JSAMPROW rows[batch];
    while (c.cinfo.next_scanline < c.cinfo.image_height) {
        const JDIMENSION first = c.cinfo.next_scanline;
        JDIMENSION count = 1;
        if (direct) {
            count = std::min(batch, c.cinfo.image_height - first);
            for (JDIMENSION k = 0; k < count; ++k)   // libjpeg only reads the rows
                rows[k] = const_cast<JSAMPLE*>(image.Row(static_cast<int>(first + k)));
        } else {
            // libjpeg takes red, green, blue.
            const uint8_t* src = image.Row(static_cast<int>(first));
            for (size_t x = 0; x < width; ++x) {
                row[3 * x] = src[3 * x + 2];
                row[3 * x + 1] = src[3 * x + 1];
                row[3 * x + 2] = src[3 * x];
            }
            rows[0] = row;
        }
        jpeg_write_scanlines(&c.cinfo, rows, count);
    }
    jpeg_finish_compress(&c.cinfo);
}

// Sets the jump point for libjpeg's errors. Returns false when libjpeg reported one.
bool RunCompressor(Compressor& c, const TImageData& image, int quality, bool progressive, JSAMPLE* row)
{
    c.cinfo.err = jpeg_std_error(&c.error.pub);
    c.error.pub.error_exit = ErrorExit;
    c.error.pub.output_message = OutputMessage;
    if (setjmp(c.error.jump))
        return false;
    Compress(c, image, quality, progressive, row);
    return true;
}

} // namespace

void EncodeJpeg(const TImageData& image, int quality, bool progressive, TMemoryStream& out)
{
    if (!TestImage(image) || (image.Format != ifGray8 && image.Format != ifR8G8B8))
        throw EImagingError(Format("JPEG data cannot be made from this image. %s", ImageToStr(image).c_str()));
    std::vector<JSAMPLE> row(image.RowBytes());
    auto compressor = std::make_unique<Compressor>();
    compressor->destination.out = &out;
    if (!RunCompressor(*compressor, image, quality, progressive, row.data()))
        throw EImagingError(Format("JPEG compression failed: %s", compressor->error.message));
}

TJpegFileFormat::TJpegFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "Joint Photographic Experts Group Image";
    m_canSave = true;
    m_supportedFormats = {ifGray8, ifR8G8B8};
    options.RegisterOption(ImagingJpegQuality, &m_quality);
    options.RegisterOption(ImagingJpegProgressive, &m_progressive);
}

void TJpegFileFormat::ValidateOptions()
{
    if (m_quality < 1 || m_quality > 100)
        m_quality = 90;
}

void TJpegFileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    ConvertImageData(image, info.HasGrayChannel ? ifGray8 : ifR8G8B8);
}

void TJpegFileFormat::WriteImages(TMemoryStream& stream, const TDynImageDataArray& images)
{
    TImageData copy;
    const TImageData& image = MakeWritable(images[static_cast<size_t>(m_firstIdx)], copy);
    EncodeJpeg(image, m_quality, m_progressive != 0, stream);
}

} // namespace imaging
