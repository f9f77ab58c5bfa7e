#pragma once
// Graphics Interchange Format writer. Not built yet: registered with its name, masks and option,
// and refuses to save.
#include "codec/ImageFileFormat.h"

namespace imaging {

class TGIFFileFormat : public TImageFileFormat {
public:
    explicit TGIFFileFormat(TOptionTable& options);

protected:
    // Load all frames. Its id 56 is already held by the JPEG 2000 code-stream flag, so the
    // binding fails and this keeps its default.
    int32_t m_loadAnimated = -1;
};

} // namespace imaging
