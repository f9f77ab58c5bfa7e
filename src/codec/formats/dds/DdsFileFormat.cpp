#include "DdsFileFormat.h"

#include "codec/CodecOptions.h"

namespace imaging {

TDDSFileFormat::TDDSFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "DirectDraw Surface";
    AddMasks("*.dds");
    options.RegisterOption(ImagingDDSLoadedCubeMap, &m_loadedCubeMap);
    options.RegisterOption(ImagingDDSLoadedVolume, &m_loadedVolume);
    options.RegisterOption(ImagingDDSLoadedMipMapCount, &m_loadedMipMapCount);
    options.RegisterOption(ImagingDDSLoadedDepth, &m_loadedDepth);
    options.RegisterOption(ImagingDDSSaveCubeMap, &m_saveCubeMap);
    options.RegisterOption(ImagingDDSSaveVolume, &m_saveVolume);
    options.RegisterOption(ImagingDDSSaveMipMapCount, &m_saveMipMapCount);
    options.RegisterOption(ImagingDDSSaveDepth, &m_saveDepth);
}

void TDDSFileFormat::ValidateOptions()
{
    // A cube map and a volume at once is not possible: the cube map wins.
    if (m_saveCubeMap != 0 && m_saveVolume != 0)
        m_saveVolume = 0;
    if (m_saveMipMapCount <= 0)
        m_saveMipMapCount = 1;
    if (m_saveDepth <= 0)
        m_saveDepth = 1;
}

} // namespace imaging
