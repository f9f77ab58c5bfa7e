#pragma once
// Photoshop document writer. Not built yet: registered with its name, masks and option, and
// refuses to save.
#include "codec/ImageFileFormat.h"

namespace imaging {

class TPSDFileFormat : public TImageFileFormat {
public:
    explicit TPSDFileFormat(TOptionTable& options);

protected:
    int32_t m_saveAsLayer = -1;   // option 70: add the image as a layer as well
};

} // namespace imaging
