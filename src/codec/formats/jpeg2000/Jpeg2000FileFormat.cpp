#include "Jpeg2000FileFormat.h"

#include "codec/CodecOptions.h"

namespace imaging {

TJpeg2000FileFormat::TJpeg2000FileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "JPEG 2000 Image";
    AddMasks("*.jp2,*.j2k,*.j2c,*.jpx,*.jpc");
    options.RegisterOption(ImagingJpeg2000Quality, &m_quality);
    options.RegisterOption(ImagingJpeg2000CodeStreamOnly, &m_codeStreamOnly);
    options.RegisterOption(ImagingJpeg2000LosslessCompression, &m_losslessCompression);
}

} // namespace imaging
