#include "PortableMapFileFormat.h"

#include "codec/CodecOptions.h"

namespace imaging {

TPortableMapFileFormat::TPortableMapFileFormat(TOptionTable& options) : TImageFileFormat(options) {}

TPBMFileFormat::TPBMFileFormat(TOptionTable& options) : TPortableMapFileFormat(options)
{
    m_name = "Portable Bit Map";
    AddMasks("*.pbm");
}

TPGMFileFormat::TPGMFileFormat(TOptionTable& options) : TPortableMapFileFormat(options)
{
    m_name = "Portable Gray Map";
    AddMasks("*.pgm");
    options.RegisterOption(ImagingPGMSaveBinary, &m_saveBinary);
}

TPPMFileFormat::TPPMFileFormat(TOptionTable& options) : TPortableMapFileFormat(options)
{
    m_name = "Portable Pixel Map";
    AddMasks("*.ppm");
    options.RegisterOption(ImagingPPMSaveBinary, &m_saveBinary);
}

TPAMFileFormat::TPAMFileFormat(TOptionTable& options) : TPortableMapFileFormat(options)
{
    m_name = "Portable Arbitrary Map";
    AddMasks("*.pam");
}

TPFMFileFormat::TPFMFileFormat(TOptionTable& options) : TPortableMapFileFormat(options)
{
    m_name = "Portable Float Map";
    AddMasks("*.pfm");
}

} // namespace imaging
