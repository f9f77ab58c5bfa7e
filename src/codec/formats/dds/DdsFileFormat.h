#pragma once
// DirectDraw Surface writer. Not built yet: registered with its name, masks and options, and
// refuses to save.
#include "codec/ImageFileFormat.h"

namespace imaging {

class TDDSFileFormat : public TImageFileFormat {
public:
    explicit TDDSFileFormat(TOptionTable& options);

protected:
    void ValidateOptions() override;

    // Options 14 to 17: what the last loaded file held (nothing is ever loaded).
    int32_t m_loadedCubeMap = 0;
    int32_t m_loadedVolume = 0;
    int32_t m_loadedMipMapCount = 0;
    int32_t m_loadedDepth = 0;
    // Options 18 to 21: what to save.
    int32_t m_saveCubeMap = 0;
    int32_t m_saveVolume = 0;
    int32_t m_saveMipMapCount = 1;
    int32_t m_saveDepth = 1;
};

} // namespace imaging
