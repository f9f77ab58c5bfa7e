#include "TiffFileFormat.h"

#include "codec/CodecOptions.h"

namespace imaging {

TTiffFileFormat::TTiffFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "Tagged Image File Format";
    AddMasks("*.tif,*.tiff");
    options.RegisterOption(ImagingTiffCompression, &m_compression);
}

void TTiffFileFormat::ValidateOptions()
{
    if (m_compression < 0 || m_compression > 4)
        m_compression = 1;
}

} // namespace imaging
