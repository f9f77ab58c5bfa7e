#pragma once
// JPEG 2000 writer. Not built yet: registered with its name, masks and options, and refuses to save.
#include "codec/ImageFileFormat.h"

namespace imaging {

class TJpeg2000FileFormat : public TImageFileFormat {
public:
    explicit TJpeg2000FileFormat(TOptionTable& options);

protected:
    int32_t m_quality = 80;            // option 55
    int32_t m_codeStreamOnly = 0;      // option 56: bare code stream instead of a JP2 file
    int32_t m_losslessCompression = 0; // option 57
};

} // namespace imaging
