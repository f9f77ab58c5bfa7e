#include "PsdFileFormat.h"

#include "codec/CodecOptions.h"

namespace imaging {

TPSDFileFormat::TPSDFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "Photoshop Image";
    AddMasks("*.psd,*.pdd");
    options.RegisterOption(ImagingPSDSaveAsLayer, &m_saveAsLayer);
}

} // namespace imaging
