#pragma once
// Tagged Image File Format writer. Not built yet: registered with its name, masks and option, and
// refuses to save.
#include "codec/ImageFileFormat.h"

namespace imaging {

class TTiffFileFormat : public TImageFileFormat {
public:
    explicit TTiffFileFormat(TOptionTable& options);

protected:
    void ValidateOptions() override;

    int32_t m_compression = 1;   // option 65: index into none, LZW, PackBits, Deflate, JPEG
};

} // namespace imaging
