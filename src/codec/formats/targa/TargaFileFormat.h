#pragma once
// Truevision Targa writer. Not built yet: registered with its name, masks and option, and refuses
// to save.
#include "codec/ImageFileFormat.h"

namespace imaging {

class TTargaFileFormat : public TImageFileFormat {
public:
    explicit TTargaFileFormat(TOptionTable& options);

protected:
    int32_t m_useRLE = 0;   // option 13
};

} // namespace imaging
