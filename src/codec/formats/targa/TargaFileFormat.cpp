#include "TargaFileFormat.h"

#include "codec/CodecOptions.h"

namespace imaging {

TTargaFileFormat::TTargaFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "Truevision Targa Image";
    AddMasks("*.tga");
    options.RegisterOption(ImagingTargaRLE, &m_useRLE);
}

} // namespace imaging
