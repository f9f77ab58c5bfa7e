#include "GifFileFormat.h"

#include "codec/CodecOptions.h"

namespace imaging {

TGIFFileFormat::TGIFFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "Graphics Interchange Format";
    AddMasks("*.gif");
    options.RegisterOption(56, &m_loadAnimated);
}

} // namespace imaging
